// Pieces of result lines: sizes, the denied marker, file dates.
#include <gtest/gtest.h>

#include "app/algorithms.h"
#include "app/lines.h"

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

TEST(ResultPieces, FileNamePart) {
  EXPECT_EQ(FileNamePart("/a/b/c.txt"), "c.txt");
  EXPECT_EQ(FileNamePart("c.txt"), "c.txt");
  EXPECT_EQ(FileNamePart("/a/b/"), "");
}

}  // namespace
}  // namespace tarvolin::app
