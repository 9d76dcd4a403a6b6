// Command-line engine: the program's version record, the banner and the build line.
#include "cmdline/banner.h"

#include <array>
#include <cstring>
#include <ctime>
#include <exception>
#include <vector>

#include "cmdline/engine_internal.h"
#include "cmdline/exit_codes.h"
#include "cmdline/params.h"
#include "cmdline/screen.h"
#include "platform/path_names.h"
#include "platform/platform.h"
#include "version/version.h"

namespace tarvolin::cmdline {

TBuildInfo BuildInfo{version::BuildDate(), version::BuildDateTime(), version::Edition(),
                     version::Toolchain()};
TFileVersionInfoRec VersionInfo;
bool BannerShown = false;
bool AutoBanner = true;

namespace {

constexpr const char* kNotAvailable = "n/a";
constexpr std::array<const char*, 12> kMonthNames = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                     "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

std::string TwoDigits(int value) {
  std::string text = std::to_string(value);
  return text.size() < 2 ? "0" + text : text;
}

std::string FourDigits(int value) {
  std::string text = std::to_string(value);
  while (text.size() < 4) text.insert(text.begin(), '0');
  return text;
}

// Formats with the tokens yyyy, mmm (month abbreviation), mm, dd, hh, nn (minutes) and ss;
// anything else is copied.
std::string FormatDateTime(const std::string& format, const TDateTime& value) {
  std::string text;
  std::size_t i = 0;
  const auto at = [&](const char* token) {
    return format.compare(i, std::strlen(token), token) == 0;
  };
  while (i < format.size()) {
    if (at("yyyy")) {
      text += FourDigits(value.Year);
      i += 4;
    } else if (at("mmm")) {
      text += kMonthNames[static_cast<std::size_t>(value.Month - 1) % 12];
      i += 3;
    } else if (at("mm")) {
      text += TwoDigits(value.Month);
      i += 2;
    } else if (at("dd")) {
      text += TwoDigits(value.Day);
      i += 2;
    } else if (at("hh")) {
      text += TwoDigits(value.Hour);
      i += 2;
    } else if (at("nn")) {
      text += TwoDigits(value.Minute);
      i += 2;
    } else if (at("ss")) {
      text += TwoDigits(value.Second);
      i += 2;
    } else {
      text += format[i++];
    }
  }
  return text;
}

bool ParseNumber(const std::string& text, int& value) {
  if (text.empty() || text.size() > 4) return false;
  value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  return true;
}

std::vector<std::string> SplitAt(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::size_t from = 0;
  for (;;) {
    const std::size_t at = text.find(separator, from);
    parts.push_back(text.substr(from, at == std::string::npos ? std::string::npos : at - from));
    if (at == std::string::npos) return parts;
    from = at + 1;
  }
}

int DaysInMonth(int year, int month) {
  static constexpr std::array<int, 12> kDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[static_cast<std::size_t>(month - 1)];
}

// Reads a date laid out as `layout` says ("yyyy/mm/dd", "mm/dd/yyyy", ...): the order of the
// y, m and d fields and the separator between them.
bool ParseDate(const std::string& text, const std::string& layout, TDateTime& value) {
  const std::string lower = detail::LowerCase(layout);
  const std::size_t separatorAt = lower.find_first_not_of("ymd");
  const char separator = separatorAt == std::string::npos ? '/' : lower[separatorAt];
  const std::vector<std::string> fields = SplitAt(lower, separator);
  const std::vector<std::string> parts = SplitAt(text, separator);
  if (fields.size() != 3 || parts.size() != 3) return false;
  int year = -1;
  int month = -1;
  int day = -1;
  for (std::size_t i = 0; i < 3; ++i) {
    int number = 0;
    if (fields[i].empty() || !ParseNumber(parts[i], number)) return false;
    switch (fields[i][0]) {
      case 'y':
        year = number;
        break;
      case 'm':
        month = number;
        break;
      case 'd':
        day = number;
        break;
      default:
        return false;
    }
  }
  if (year < 1 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month)) {
    return false;
  }
  value.Year = year;
  value.Month = month;
  value.Day = day;
  return true;
}

bool ParseTime(const std::string& text, TDateTime& value) {
  const std::vector<std::string> parts = SplitAt(text, ':');
  if (parts.size() < 2 || parts.size() > 3) return false;
  int hour = 0;
  int minute = 0;
  int second = 0;
  if (!ParseNumber(parts[0], hour) || !ParseNumber(parts[1], minute)) return false;
  if (parts.size() == 3 && !ParseNumber(parts[2], second)) return false;
  if (hour > 23 || minute > 59 || second > 59) return false;
  value.Hour = hour;
  value.Minute = minute;
  value.Second = second;
  return true;
}

TDateTime Today() {
  const std::time_t now = std::time(nullptr);
  TDateTime today;
  if (const std::tm* local = std::localtime(&now)) {
    today.Year = local->tm_year + 1900;
    today.Month = local->tm_mon + 1;
    today.Day = local->tm_mday;
  }
  return today;
}

// The "FileVersion" parts: always four, missing parts shown as 0.
std::vector<std::string> VersionParts(const std::string& fileVersion) {
  std::vector<std::string> parts = SplitAt(fileVersion, '.');
  parts.resize(4);
  for (std::string& part : parts) {
    if (part.empty()) part = "0";
  }
  return parts;
}

}  // namespace

namespace detail {

void ResetBannerState() {
  VersionInfo = TFileVersionInfoRec{};
  BannerShown = false;
  AutoBanner = true;
}

}  // namespace detail

void ReadFileVersionInfo(TFileVersionInfoRec& record, const std::string& fileName, bool upperCase) {
  record.Filled = false;
  for (std::string* field :
       {&record.Title, &record.FullNameVersion, &record.BaseNameVersion, &record.ProductName,
        &record.InternalName, &record.OriginalFilename, &record.FileVersion, &record.ProductVersion,
        &record.FileDescription, &record.CompanyName, &record.Copyright, &record.Comments,
        &record.FileSize}) {
    *field = kNotAvailable;
  }

  const std::string path = fileName.empty() ? platform::ProgramPath() : fileName;
  if (!platform::IsExistingFile(path)) {
    ErrorOut->WriteLine("File does not exist: " + path);
    ExitStatus = exit_code::kVersionFileMissing;
    return;
  }

  const std::string name = platform::NameOf(path);
  const std::size_t dot = name.rfind('.');
  record.FileDir = platform::FolderOf(path);
  record.FileExt = dot == std::string::npos ? std::string() : name.substr(dot);
  record.FileName = upperCase ? detail::UpperCase(name) : name;
  record.BaseName = ReplaceText(record.FileName, record.FileExt, "");
  if (upperCase) record.BaseName = detail::UpperCase(record.BaseName);
  record.FileSize = std::to_string(platform::FileSizeOf(path)) + " bytes";

  try {
    const version::TVersionStrings strings = version::QueryVersionStrings(path);
    const std::vector<std::string> parts =
        VersionParts(version::VersionString(strings, "FileVersion"));
    const std::string threeParts = parts[0] + "." + parts[1] + "." + parts[2];
    const std::string fourParts = threeParts + "." + parts[3];
    record.FullNameVersion = record.FileName + " v" + fourParts;
    record.BaseNameVersion = record.BaseName + " v" + fourParts;
    record.Title = record.BaseName + " v" + threeParts;
    record.FileDescription = version::VersionString(strings, "FileDescription");
    record.CompanyName = version::VersionString(strings, "CompanyName");
    // A copyright text that already starts with the word does not get it twice.
    record.Copyright = ReplaceText("Copyright " + version::VersionString(strings, "LegalCopyright"),
                                   "Copyright Copyright ", "Copyright ");
    record.Comments = version::VersionString(strings, "Comments");
    record.ProductName = version::VersionString(strings, "ProductName");
    record.InternalName = version::VersionString(strings, "InternalName");
    record.OriginalFilename = version::VersionString(strings, "OriginalFilename");
    record.ProductVersion = version::VersionString(strings, "ProductVersion");
    record.FileVersion = version::VersionString(strings, "FileVersion");
    record.Filled = true;
  } catch (const version::EVersionInfo&) {
    ErrorOut->WriteLine("File contains no resource info: " + path);
    ExitStatus = exit_code::kNoVersionResource;
  } catch (const std::exception&) {
    ErrorOut->WriteLine("Error obtaining version info from file: " + path);
    ExitStatus = exit_code::kVersionInfoFailed;
  }
}

void ShowBanner(TFileVersionInfoRec& record, bool showBuild, bool showBanner) {
  // Once shown, nothing more is written; the record is not read again either, so a reading
  // problem is not reported a second time.
  if (BannerShown) return;
  if (!record.Filled) ReadFileVersionInfo(record, "", true);

  TDateTime buildDate;
  const std::string datePart =
      " (" +
      (ParseDate(BuildInfo.Date, "yyyy/mm/dd", buildDate) ? FormatDateTime("dd mmm yyyy", buildDate)
                                                          : BuildInfo.Date) +
      ") ";
  const std::optional<TDateTime> buildTime = StrToDateTimeToday(BuildInfo.DateTime, "mm/dd/yyyy");
  const std::string buildPart =
      " was compiled on " +
      (buildTime ? FormatDateTime("dd mmm yyyy @ hh:00:00", *buildTime) : BuildInfo.DateTime);

  if (showBanner) {
    ErrorOut->WriteLine(record.Title + BuildInfo.Edition + datePart + "- " +
                        record.FileDescription);
    ErrorOut->WriteLine(record.Copyright);
    ErrorOut->WriteLine(record.Comments);
    ErrorOut->WriteLine("");
  }
  if (showBuild) {
    ErrorOut->WriteLine(record.FullNameVersion + BuildInfo.Edition + buildPart + " using " +
                        BuildInfo.Toolchain);
    ErrorOut->WriteLine("");
  }
  ErrorOut->Flush();
  BannerShown = true;
}

std::optional<TDateTime> StrToDateTimeToday(const std::string& text,
                                            const std::string& dateFormat) {
  TDateTime value;
  std::string body = text;
  const std::size_t dot = text.find('.');
  if (dot != std::string::npos) {
    // A fraction of a second, padded or cut to milliseconds.
    std::string fraction = text.substr(dot + 1);
    body = text.substr(0, dot);
    fraction.resize(3, '0');
    if (!ParseNumber(fraction, value.Millisecond)) return std::nullopt;
  }

  bool haveDate = false;
  bool haveTime = false;
  for (const std::string& part : SplitAt(body, ' ')) {
    if (part.empty()) continue;
    if (!haveDate && part.find('/') != std::string::npos) {
      if (!ParseDate(part, "yyyy/mm/dd", value)) return std::nullopt;
      haveDate = true;
    } else if (!haveTime && part.find(':') != std::string::npos) {
      if (!ParseTime(part, value)) return std::nullopt;
      haveTime = true;
    } else {
      return std::nullopt;
    }
  }
  if (!haveDate && !haveTime) return std::nullopt;
  if (!haveDate) {
    // A time alone: today's date, spelled as the caller's format and read back in it.
    if (!ParseDate(FormatDateTime(dateFormat, Today()), dateFormat, value)) return std::nullopt;
  }
  return value;
}

}  // namespace tarvolin::cmdline
