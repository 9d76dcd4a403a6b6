// Pieces of result lines: sizes, the denied marker, file dates, listing names.
#include <gtest/gtest.h>

#include "app/algorithms.h"
#include "app/lines.h"
#include "platform/path_names.h"
#include "platform/platform.h"

namespace tarvolin::app {
namespace {

TEST(ResultPieces, SizeTextWidensBeyondTwelveDigits) {
  EXPECT_EQ(SizeText(5), "{           5} ");
  EXPECT_EQ(SizeText(-1), "{          -1} ");
  EXPECT_EQ(SizeText(1234567890123456), "{1234567890123456} ");
  EXPECT_EQ(SizeTextUnsigned(18446744073709551615ULL), "{18446744073709551615} ");
}

TEST(ResultPieces, DeniedMarkerHasTheDigestWidth) {
  EXPECT_EQ(DeniedMarker(128), ":::DENIED" + std::string(119, ':'));
  EXPECT_EQ(DeniedMarker(32), ":::DENIED" + std::string(23, ':'));
  EXPECT_EQ(DeniedMarker(16).size(), 16u);
}

TEST(ResultPieces, DateOfMissingFileIsTheFallback) {
  EXPECT_EQ(DateOfFile("/no/such/file/anywhere"), "\"12/30/1899 00:00 AM\"");
  EXPECT_EQ(DateOfFile("/no/such/file/anywhere").size(), 21u);
}

TEST(ResultPieces, DatesWithoutFourDigitYearsAreTheFallback) {
  const auto date = [](int year) { return QuotedDate({year, 1, 1, 0, 0, 0}); };
  EXPECT_EQ(date(1), "\"01/01/0001 12:00 AM\"");
  EXPECT_EQ(date(9999), "\"01/01/9999 12:00 AM\"");
  EXPECT_EQ(date(10000), "\"12/30/1899 00:00 AM\"");
  EXPECT_EQ(date(0), "\"12/30/1899 00:00 AM\"");
  EXPECT_EQ(date(-1), "\"12/30/1899 00:00 AM\"");
}

// A name that could break a listing line is escaped; every other name stays as it is.
TEST(ResultPieces, ListingNamesWithLineBreaksAreEscaped) {
  std::string plain = "dir/a b.txt";
  EXPECT_FALSE(EscapeListingName(plain));
  EXPECT_EQ(plain, "dir/a b.txt");
  std::string forged = "zz\n0123 ?SHA256*payload\r";
  EXPECT_TRUE(EscapeListingName(forged));
  EXPECT_EQ(forged, "zz\\n0123 ?SHA256*payload\\r");
  std::string backslash = "a\\n";
  if (platform::IsPathSeparator('\\')) {
    EXPECT_FALSE(EscapeListingName(backslash));  // a separator, never part of a name
  } else {
    EXPECT_TRUE(EscapeListingName(backslash));
    EXPECT_EQ(backslash, "a\\\\n");
  }
}

TEST(ResultPieces, NameOf) {
  EXPECT_EQ(platform::NameOf("/a/b/c.txt"), "c.txt");
  EXPECT_EQ(platform::NameOf("c.txt"), "c.txt");
  EXPECT_EQ(platform::NameOf("/a/b/"), "");
}

}  // namespace
}  // namespace tarvolin::app
