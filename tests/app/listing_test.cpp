// Listing lines: every layout read into its parts, and written back.
#include "app/listing.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarvolin::app {
namespace {

using K = TListingLineKind;
using L = TListingLayout;
using C = THashChoices;

const std::string kMd5 = "900150983cd24fb0d6963f7d28e17f72";
const std::string kSha1 = "a9993e364706816aba3e25717850c26c9cd0d89d";
const std::string kSha256 = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
const std::string kDenied256 = ":::DENIED" + std::string(55, ':');

void ExpectLine(const std::string& text, K kind, L layout, C choice, const std::string& hex,
                const std::string& name) {
  SCOPED_TRACE(text);
  const TListingLine line = ParseListingLine(text);
  EXPECT_EQ(line.Kind, kind);
  EXPECT_EQ(line.Layout, layout);
  EXPECT_EQ(line.Choice, choice);
  EXPECT_EQ(line.Hex, hex);
  EXPECT_EQ(line.Name, name);
}

TEST(ListingLine, OwnLinesAsTheProgramWritesThem) {
  ExpectLine(kSha256 + " ?SHA256*a", K::Checksum, L::Own, C::SHA2_256, kSha256, "a");
  ExpectLine(kSha1 + std::string(89, ' ') + "?SHA1*dir/a b", K::Checksum, L::Own, C::SHA1, kSha1,
             "dir/a b");
  ExpectLine("{           3} " + kSha256 + " ?SHA256*a", K::Checksum, L::Own, C::SHA2_256, kSha256,
             "a");
  ExpectLine("{          -1} " + kSha1 + " ?SHA1*a", K::Checksum, L::Own, C::SHA1, kSha1, "a");
  ExpectLine("SHA2_256: " + kSha256 + " ?SHA256*a", K::Checksum, L::Own, C::SHA2_256, kSha256, "a");
  ExpectLine("     MD5: {  3} " + kMd5 + std::string(96, ' ') + " *a", K::Checksum, L::Own, C::MD5,
             kMd5, "a");
  ExpectLine("SHA2_256: " + kSha256 + " a", K::Checksum, L::Own, C::SHA2_256, kSha256, "a");
  ExpectLine(kSha256 + " ?SHA256*  -x (1) = y  ", K::Checksum, L::Own, C::SHA2_256, kSha256,
             "  -x (1) = y  ");
  // The tag decides; the prefix must agree with it.
  EXPECT_EQ(ParseListingLine(kSha1 + " ?SHA256*a").Kind, K::Malformed);
  EXPECT_EQ(ParseListingLine("SHA1: " + kSha256 + " ?SHA256*a").Kind, K::Malformed);
  EXPECT_EQ(ParseListingLine("SHA1: " + kSha256 + " a").Kind, K::Malformed);
}

TEST(ListingLine, NoDigestLines) {
  ExpectLine("\"12/08/2026 04:35 PM\" ?NOHASH*a", K::NoDigest, L::Own, C::None, "", "a");
  ExpectLine("NOHASH: {  3} \"08.12.2026 16:35\"    ?NOHASH*a b", K::NoDigest, L::Own, C::None, "",
             "a b");
  ExpectLine(kDenied256 + " ?SHA256*a", K::NoDigest, L::Own, C::SHA2_256, "", "a");
  ExpectLine(":::DENIED" + std::string(23, ':') + std::string(96, ' ') + " *a", K::NoDigest,
             L::Untagged, C::None, "", "a");
  ExpectLine(kDenied256 + " a", K::NoDigest, L::Untagged, C::None, "", "a");
  EXPECT_EQ(ParseListingLine("\"12/08/2026\" ?SHA256*a").Kind, K::Malformed);
  EXPECT_EQ(ParseListingLine(kSha256 + " ?NOHASH*a").Kind, K::Malformed);
}

// n blanks after the digest: 1 then '*' binary, 1 one-blank form, 2 text form whatever follows,
// 3 or more then '*' our padded MD5 line, else mostly the text form keeping the extra blanks.
TEST(ListingLine, UntaggedLinesByTheBlanksAfterTheDigest) {
  ExpectLine(kMd5 + " *a", K::Checksum, L::Untagged, C::None, kMd5, "a");
  ExpectLine(kMd5 + " a b", K::Checksum, L::Untagged, C::None, kMd5, "a b");
  ExpectLine(kMd5 + "  *a", K::Checksum, L::Untagged, C::None, kMd5, "*a");
  ExpectLine(kMd5 + "   a", K::Checksum, L::Untagged, C::None, kMd5, " a");
  ExpectLine(kMd5 + std::string(96, ' ') + " *a", K::Checksum, L::Untagged, C::None, kMd5, "a");
  // Blanks that pad a digest to a wider digest's width are our --all -i line's padding.
  ExpectLine(kMd5 + std::string(32, ' ') + " a", K::Checksum, L::Untagged, C::None, kMd5, "a");
  ExpectLine(kSha256 + "  ?SHA256*a", K::Checksum, L::Untagged, C::None, kSha256, "?SHA256*a");
  ExpectLine("ABCDEF0123456789  -dash ", K::Checksum, L::Untagged, C::None, "abcdef0123456789",
             "-dash ");
}

TEST(ListingLine, TaggedLines) {
  ExpectLine("SHA256 (a (1) = b) = " + kSha256, K::Checksum, L::Bsd, C::SHA2_256, kSha256,
             "a (1) = b");
  ExpectLine("MD5(x)= " + kMd5, K::Checksum, L::OpenSsl, C::MD5, kMd5, "x");
  ExpectLine("SHA2-256(x) =  " + kSha256 + " ", K::Checksum, L::OpenSsl, C::SHA2_256, kSha256, "x");
  const std::string b2(128, 'e');
  for (const char* algo : {"BLAKE2b", "BLAKE2b-512", "BLAKE2B-512"}) {
    ExpectLine(std::string(algo) + " (a) = " + b2, K::Checksum, L::Bsd, C::Blake2B, b2, "a");
  }
  EXPECT_EQ(ParseListingLine("BLAKE2b-256 (a) = " + kSha256).Kind, K::Malformed);
  EXPECT_EQ(ParseListingLine("CRC32 (a) = 01234567").Kind, K::Malformed);
}

TEST(ListingLine, EscapesLineEndsAndMark) {
  ExpectLine("\\" + kSha256 + " ?SHA256*a\\nb\\\\c\\r", K::Checksum, L::Own, C::SHA2_256, kSha256,
             "a\nb\\c\r");
  ExpectLine("\\SHA256 (a\\nb) = " + kSha256, K::Checksum, L::Bsd, C::SHA2_256, kSha256, "a\nb");
  ExpectLine(kMd5 + "  a\\n", K::Checksum, L::Untagged, C::None, kMd5, "a\\n");  // not escaped
  EXPECT_EQ(ParseListingLine("\\" + kMd5 + "  a\\t").Kind, K::Malformed);
  EXPECT_EQ(ParseListingLine("\\" + kMd5 + "  a\\").Kind, K::Malformed);

  const TListingLine first = ParseListingLine("\xEF\xBB\xBF" + kMd5 + "  a b \r", true);
  EXPECT_EQ(first.Kind, K::Checksum);
  EXPECT_EQ(first.Name, "a b ");
  EXPECT_EQ(ParseListingLine("\xEF\xBB\xBF" + kMd5 + "  a").Kind, K::Malformed);
}

TEST(ListingLine, CommentsAndMalformedLines) {
  for (const std::string text : {"", "  \t", " ; note", "# note", "\r"}) {
    EXPECT_EQ(ParseListingLine(text).Kind, K::Comment) << text;
  }
  const std::vector<std::string> bad = {kMd5,
                                        kMd5 + "  ",
                                        kMd5 + " *",
                                        kMd5.substr(1) + "  a",
                                        std::string("  a") + '\0',
                                        "not a listing line",
                                        "SHA256 () = " + kSha256,
                                        "SHA256 (a) = ",
                                        "{x} " + kMd5 + "  a",
                                        kMd5 + "\ta"};
  for (const std::string& text : bad) EXPECT_EQ(ParseListingLine(text).Kind, K::Malformed) << text;
}

TEST(ListingLine, AlgorithmNamesAndHexLengths) {
  EXPECT_EQ(ChoiceOfAlgorithmName("sha2-256"), C::SHA2_256);
  EXPECT_EQ(ChoiceOfAlgorithmName("SHA3_384"), C::SHA3_384);
  EXPECT_EQ(ChoiceOfAlgorithmName("blake2s256"), C::Blake2S);
  EXPECT_EQ(ChoiceOfAlgorithmName("BLAKE2"), C::Blake2B);
  EXPECT_EQ(ChoiceOfAlgorithmName("xxh64"), C::XXHash64);
  EXPECT_EQ(ChoiceOfAlgorithmName("MurmurHash3_x86_128"), C::MurmurHash3_x86);
  EXPECT_EQ(ChoiceOfAlgorithmName("MURMURHASH3-X64-128"), C::MurmurHash3_x64);
  for (const char* name : {"", "NOHASH", "None", "SHA512-256", "BLAKE2b-256", "XXH3"}) {
    EXPECT_EQ(ChoiceOfAlgorithmName(name), std::nullopt) << name;
  }
  EXPECT_EQ(ChoiceOfHexLength(16), C::XXHash64);
  EXPECT_EQ(ChoiceOfHexLength(96), C::SHA2_384);
  EXPECT_EQ(ChoiceOfHexLength(20), C::None);
}

TEST(ListingLine, RenderedLinesReadBack) {
  const std::vector<std::string> lines = {kSha256 + " ?SHA256*a",
                                          "MD5: " + kMd5 + " *a",
                                          kMd5 + "  a",
                                          kMd5 + "   lead",
                                          kMd5 + "  *star",
                                          "BLAKE2b (a\\b) = " + std::string(128, 'f'),
                                          "SHA1(a) = b)= " + kSha1,
                                          "\\" + kSha1 + " ?SHA1*x\\ny",
                                          "\"date\" ?NOHASH*a",
                                          kDenied256 + " ?SHA256*a",
                                          ":::DENIED" + std::string(23, ':') + " ?MD5*a",
                                          kDenied256 + "  a"};
  for (const std::string& text : lines) {
    SCOPED_TRACE(text);
    const TListingLine line = ParseListingLine(text);
    ASSERT_NE(line.Kind, K::Malformed);
    const std::string rendered = RenderListingLine(line);
    const TListingLine again = ParseListingLine(rendered);
    EXPECT_EQ(again.Kind, line.Kind) << rendered;
    EXPECT_EQ(again.Choice, line.Choice) << rendered;
    EXPECT_EQ(again.Hex, line.Hex) << rendered;
    EXPECT_EQ(again.Name, line.Name) << rendered;
  }
  TListingLine bsd = ParseListingLine("SHA256 (a) = " + kSha256);
  EXPECT_EQ(RenderListingLine(bsd), "SHA2_256 (a) = " + kSha256);
  bsd.Layout = L::OpenSsl;
  bsd.Name = "a\nb";
  EXPECT_EQ(RenderListingLine(bsd), "\\SHA2_256(a\\nb)= " + kSha256);
}

}  // namespace
}  // namespace tarvolin::app
