// Command-line engine: calendar dates and times of day, read from and written as text.
#include "cmdline/date_time.h"

#include <algorithm>
#include <array>
#include <ctime>
#include <string_view>
#include <vector>

#include "cmdline/ascii_case.h"
#include "cmdline/engine_internal.h"

namespace tarvolin::cmdline {

namespace {

constexpr std::array<const char*, 12> kMonthNames = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                     "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// A number token of a format: the field it shows and the digits it is padded to.
struct NumberToken {
  std::string_view Token;
  int TDateTime::*Field;
  std::size_t Digits;
};

// In matching order; "mmm" is tried before all of them.
constexpr std::array<NumberToken, 6> kNumberTokens = {{{"yyyy", &TDateTime::Year, 4},
                                                       {"mm", &TDateTime::Month, 2},
                                                       {"dd", &TDateTime::Day, 2},
                                                       {"hh", &TDateTime::Hour, 2},
                                                       {"nn", &TDateTime::Minute, 2},
                                                       {"ss", &TDateTime::Second, 2}}};

constexpr std::string_view kMonthToken = "mmm";
constexpr std::string_view kAmPmToken = "AM/PM";

std::string ZeroPadded(int value, std::size_t digits) {
  std::string text = std::to_string(value);
  if (text.size() < digits) text.insert(0, digits - text.size(), '0');
  return text;
}

bool IsLeapYear(int year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
  static constexpr std::array<int, 12> kDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[static_cast<std::size_t>(month - 1)];
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

bool ParseTime(const std::string& text, TDateTime& value) {
  const std::vector<std::string> parts = detail::SplitAt(text, ':');
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

}  // namespace

std::string FormatDateTime(const std::string& format, const TDateTime& value,
                           const TDateTimeSeparators& separators) {
  const bool twelveHour = format.find(kAmPmToken) != std::string::npos;
  std::string text;
  std::size_t i = 0;
  const auto at = [&](std::string_view token) {
    return format.compare(i, token.size(), token) == 0;
  };
  while (i < format.size()) {
    if (at(kAmPmToken)) {
      text += value.Hour < 12 ? "AM" : "PM";
      i += kAmPmToken.size();
      continue;
    }
    if (at(kMonthToken)) {
      text += kMonthNames[static_cast<std::size_t>(value.Month - 1) % 12];
      i += kMonthToken.size();
      continue;
    }
    const auto* token = std::find_if(kNumberTokens.begin(), kNumberTokens.end(),
                                     [&](const NumberToken& t) { return at(t.Token); });
    if (token != kNumberTokens.end()) {
      int number = value.*token->Field;
      if (twelveHour && token->Field == &TDateTime::Hour)
        number = number % 12 == 0 ? 12 : number % 12;
      text += ZeroPadded(number, token->Digits);
      i += token->Token.size();
    } else if (format[i] == '/') {
      text += separators.Date;
      ++i;
    } else if (format[i] == ':') {
      text += separators.Time;
      ++i;
    } else {
      text += format[i++];
    }
  }
  return text;
}

bool ParseDate(const std::string& text, const std::string& layout, TDateTime& value) {
  const std::string lower = AsciiLowerCase(layout);
  const std::size_t separatorAt = lower.find_first_not_of("ymd");
  const char separator = separatorAt == std::string::npos ? '/' : lower[separatorAt];
  const std::vector<std::string> fields = detail::SplitAt(lower, separator);
  const std::vector<std::string> parts = detail::SplitAt(text, separator);
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
  for (const std::string& part : detail::SplitAt(body, ' ')) {
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
