// Tests of the date and time texts: reading, today's date for a time alone, formatting.
#include "cmdline/date_time.h"

#include <gtest/gtest.h>

#include <ctime>

namespace tarvolin::cmdline {
namespace {

TEST(DateTimeText, Conversions) {
  const auto full = StrToDateTimeToday("2024/03/05 14:45:10", "mm/dd/yyyy");
  ASSERT_TRUE(full.has_value());
  EXPECT_EQ(*full, (TDateTime{2024, 3, 5, 14, 45, 10, 0}));
  EXPECT_EQ(StrToDateTimeToday("2024/03/05 14:45:10.5", "mm/dd/yyyy")->Millisecond, 500);
  EXPECT_EQ(StrToDateTimeToday("2024/03/05 14:45:10.98765", "mm/dd/yyyy")->Millisecond, 987);
  EXPECT_EQ(*StrToDateTimeToday("2024/02/29", "mm/dd/yyyy"), (TDateTime{2024, 2, 29}));
  EXPECT_EQ(*StrToDateTimeToday("1899/12/30 01:02", "mm/dd/yyyy"),
            (TDateTime{1899, 12, 30, 1, 2, 0, 0}));
  for (const char* bad : {"", "garbage", "2023/02/29", "2024/13/01", "2024/03/05 24:00",
                          "14:45:10 x", "2024/03/05 14:45:10.5x"}) {
    EXPECT_FALSE(StrToDateTimeToday(bad, "mm/dd/yyyy").has_value()) << bad;
  }

  // A time alone takes today's date, whichever layout spells it.
  const auto today = [] {
    const std::time_t now = std::time(nullptr);
    const std::tm* local = std::localtime(&now);
    return TDateTime{local->tm_year + 1900, local->tm_mon + 1, local->tm_mday, 14, 45, 0, 0};
  };
  const TDateTime before = today();
  const auto timeOnly = StrToDateTimeToday("14:45", "mm/dd/yyyy");
  const auto otherLayout = StrToDateTimeToday("14:45", "dd-mm-yyyy");
  const TDateTime after = today();
  ASSERT_TRUE(timeOnly.has_value());
  ASSERT_TRUE(otherLayout.has_value());
  EXPECT_TRUE(*timeOnly == before || *timeOnly == after);
  EXPECT_TRUE(*otherLayout == before || *otherLayout == after);
}

TEST(DateTimeText, Formatting) {
  const TDateTime evening{2024, 3, 5, 21, 7, 9, 0};
  EXPECT_EQ(FormatDateTime("dd mmm yyyy @ hh:nn:ss", evening), "05 Mar 2024 @ 21:07:09");
  // AM/PM puts the hour on the 12-hour clock; "/" and ":" become the separators given.
  EXPECT_EQ(FormatDateTime("mm/dd/yyyy hh:nn AM/PM", evening, {".", "h"}), "03.05.2024 09h07 PM");
  EXPECT_EQ(FormatDateTime("hh AM/PM", TDateTime{2024, 3, 5, 0, 0, 0, 0}), "12 AM");
  EXPECT_EQ(FormatDateTime("hh AM/PM", TDateTime{2024, 3, 5, 12, 0, 0, 0}), "12 PM");
  // Numbers are padded to the token's width and never cut.
  EXPECT_EQ(FormatDateTime("yyyy-dd", TDateTime{12, 1, 123, 0, 0, 0, 0}), "0012-123");
}

}  // namespace
}  // namespace tarvolin::cmdline
