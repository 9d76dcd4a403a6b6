// Command-line engine: calendar dates and times of day, read from and written as text.
#pragma once

#include <optional>
#include <string>

namespace tarvolin::cmdline {

/// A calendar date and time of day, to the millisecond. The default is the zero date
/// 1899/12/30 00:00:00.
struct TDateTime {
  int Year = 1899;
  int Month = 12;
  int Day = 30;
  int Hour = 0;
  int Minute = 0;
  int Second = 0;
  int Millisecond = 0;
  bool operator==(const TDateTime&) const = default;
};

/// What the "/" and ":" of a format stand for: the date and the time separator.
struct TDateTimeSeparators {
  std::string Date = "/";
  std::string Time = ":";
};

/// Formats with the tokens yyyy, mmm (month abbreviation), mm, dd, hh, nn (minutes), ss and
/// AM/PM (which also puts hh on the 12-hour clock, 0 and 12 both showing as 12); "/" and ":"
/// become the separators; anything else is copied. Numbers are padded with zeros to the
/// token's width, never cut.
std::string FormatDateTime(const std::string& format, const TDateTime& value,
                           const TDateTimeSeparators& separators = {});

/// Reads a date laid out as `layout` says ("yyyy/mm/dd", "mm/dd/yyyy", ...: the order of the
/// y, m and d fields and the separator between them) into the date fields of `value`. False,
/// and `value` unchanged, when the text is not a valid date in that layout.
bool ParseDate(const std::string& text, const std::string& layout, TDateTime& value);

/// Converts "yyyy/mm/dd hh:nn:ss" text (date or time may be left out; seconds are optional; a
/// "." starts a fraction of a second). Text with a time only takes today's date, spelled in
/// `dateFormat` (for example "mm/dd/yyyy") and read back in that layout. Nothing when the text
/// is not a valid date and time.
std::optional<TDateTime> StrToDateTimeToday(const std::string& text, const std::string& dateFormat);

}  // namespace tarvolin::cmdline
