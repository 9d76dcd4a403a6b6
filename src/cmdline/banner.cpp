// Command-line engine: the program's version record, the banner and the build line.
#include "cmdline/banner.h"

#include <exception>
#include <vector>

#include "cmdline/ascii_case.h"
#include "cmdline/date_time.h"
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

// The "FileVersion" parts: always four, missing parts shown as 0.
std::vector<std::string> VersionParts(const std::string& fileVersion) {
  std::vector<std::string> parts = detail::SplitAt(fileVersion, '.');
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
  record.FileName = upperCase ? AsciiUpperCase(name) : name;
  record.BaseName = ReplaceText(record.FileName, record.FileExt, "");
  if (upperCase) record.BaseName = AsciiUpperCase(record.BaseName);
  record.FileSize = std::to_string(platform::FileSizeOf(path)) + " bytes";

  try {
    const version::VersionStrings strings = version::QueryVersionStrings(path);
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

std::string BuildLine(const TFileVersionInfoRec& record) {
  const std::optional<TDateTime> buildTime = StrToDateTimeToday(BuildInfo.DateTime, "mm/dd/yyyy");
  const std::string buildPart =
      " was compiled on " +
      (buildTime ? FormatDateTime("dd mmm yyyy @ hh:00:00", *buildTime) : BuildInfo.DateTime);
  return record.FullNameVersion + BuildInfo.Edition + buildPart + " using " + BuildInfo.Toolchain;
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

  if (showBanner) {
    ErrorOut->WriteLine(record.Title + BuildInfo.Edition + datePart + "- " +
                        record.FileDescription);
    ErrorOut->WriteLine(record.Copyright);
    ErrorOut->WriteLine(record.Comments);
    ErrorOut->WriteLine("");
  }
  if (showBuild) {
    ErrorOut->WriteLine(BuildLine(record));
    ErrorOut->WriteLine("");
  }
  ErrorOut->Flush();
  BannerShown = true;
}

}  // namespace tarvolin::cmdline
