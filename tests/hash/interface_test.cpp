// The shared engine machinery: results, errors, buffer size, memory, streams and files.
#include <gtest/gtest.h>

#include <filesystem>

#include "hash/engines.h"
#include "hash/md5.h"
#include "hash/sha2.h"
#include "hash/stream.h"
#include "support/test_support.h"

namespace tarvolin::test {
namespace {

using hash::THashResult;

TEST(HashResult, HexWithAndWithoutGrouping) {
  const THashResult r(Bytes{0x0A, 0x1B, 0x2C, 0x3D});
  EXPECT_EQ(r.ToHex(false), "0A1B2C3D");
  EXPECT_EQ(r.ToHex(true), "0A-1B-2C-3D");
  EXPECT_EQ(THashResult(Bytes{0xFE}).ToHex(true), "FE");
  EXPECT_EQ(THashResult(Bytes{}).ToHex(true), "");
}

TEST(HashResult, IntegerViewsAreBigEndianAndSizeChecked) {
  const THashResult four(Bytes{0x01, 0x02, 0x03, 0x04});
  EXPECT_EQ(four.ToUInt32(), 0x01020304u);
  EXPECT_EQ(THashResult(Bytes{0xFF, 0xFF, 0xFF, 0xFE}).ToInt32(), -2);
  EXPECT_EQ(THashResult(Bytes{0xAB}).ToUInt8(), 0xAB);
  EXPECT_EQ(THashResult(Bytes{0x12, 0x34}).ToUInt16(), 0x1234);
  EXPECT_EQ(THashResult(std::uint64_t{0x0102030405060708}).ToUInt64(), 0x0102030405060708u);
  EXPECT_EQ(THashResult(std::uint64_t{0x0102030405060708}).ToHex(), "0102030405060708");

  const THashResult eight(Bytes(8, 1));
  ExpectError<hash::EInvalidOperationError>(
      [&] { (void)eight.ToUInt32(); },
      "Current Data Structure cannot be Represented as an \"UInt32\" Type.",
      hash::THashErrorKind::InvalidOperation);
  ExpectError<hash::EInvalidOperationError>(
      [&] { (void)eight.ToUInt8(); },
      "Current Data Structure cannot be Represented as an \"UInt8\" Type.",
      hash::THashErrorKind::InvalidOperation);
  ExpectError<hash::EInvalidOperationError>(
      [&] { (void)eight.ToUInt16(); },
      "Current Data Structure cannot be Represented as an \"UInt16\" Type.",
      hash::THashErrorKind::InvalidOperation);
  ExpectError<hash::EInvalidOperationError>(
      [&] { (void)eight.ToInt32(); },
      "Current Data Structure cannot be Represented as an \"Int32\" Type.",
      hash::THashErrorKind::InvalidOperation);
  ExpectError<hash::EInvalidOperationError>(
      [&] { (void)four.ToUInt64(); },
      "Current Data Structure cannot be Represented as an \"UInt64\" Type.",
      hash::THashErrorKind::InvalidOperation);
}

TEST(HashResult, SameAsComparesBytesAndLengths) {
  const THashResult a(Bytes{1, 2, 3});
  EXPECT_TRUE(a.SameAs(THashResult(Bytes{1, 2, 3})));
  EXPECT_FALSE(a.SameAs(THashResult(Bytes{1, 2, 4})));
  EXPECT_FALSE(a.SameAs(THashResult(Bytes{1, 2})));
  EXPECT_FALSE(a.SameAs(THashResult(Bytes{1, 2, 3, 0})));
  EXPECT_EQ(a.HashCode(), THashResult(Bytes{1, 2, 3}).HashCode());
  EXPECT_NE(a.HashCode(), THashResult(Bytes{3, 2, 1}).HashCode());
}

TEST(HashEngine, BufferSizeMustBePositive) {
  hash::TMD5 md5;
  EXPECT_EQ(md5.BufferSize(), 65536);
  ExpectError<hash::EArgumentError>([&] { md5.SetBufferSize(0); },
                                    "\"BufferSize\" Must Be Greater Than Zero",
                                    hash::THashErrorKind::Argument);
  EXPECT_THROW(md5.SetBufferSize(-5), hash::EArgumentError);
  EXPECT_EQ(md5.BufferSize(), 65536);
  md5.SetBufferSize(7);
  EXPECT_EQ(md5.BufferSize(), 7);
  EXPECT_EQ(md5.Clone()->BufferSize(), 7);
}

TEST(HashEngine, SizesAndNames) {
  hash::TSHA2_384 sha384;
  EXPECT_EQ(sha384.Name(), "TSHA2_384");
  EXPECT_EQ(sha384.HashSize(), 48);
  EXPECT_EQ(sha384.BlockSize(), 128);
}

TEST(HashEngine, TextNeedsAnEncoding) {
  hash::TSHA2_256 sha;
  ExpectError<hash::EArgumentNilError>([&] { sha.HashText("abc", nullptr); },
                                       "Encoding Instance Cannot Be Nil",
                                       hash::THashErrorKind::ArgumentNil);
  // Text is hashed as its bytes, including bytes that are not valid UTF-8.
  const auto& utf8 = hash::TUTF8Encoding::Instance();
  EXPECT_EQ(sha.HashText("gr\xC3\xBC\xC3\x9F"
                         "e",
                         &utf8)
                ->ToHex(),
            sha.HashBytes(BytesOf("gr\xC3\xBC\xC3\x9F"
                                  "e"))
                ->ToHex());
  EXPECT_EQ(sha.HashText("\xFF\xFE", &utf8)->ToHex(), sha.HashBytes(Bytes{0xFF, 0xFE})->ToHex());
}

TEST(HashEngine, RangeOutsideTheArrayIsRefused) {
  hash::TMD5 md5;
  const Bytes data(10);
  EXPECT_THROW(md5.UpdateRange(data, 8, 3), hash::EIndexOutOfRangeError);
  EXPECT_THROW(md5.UpdateRange(data, 11, 0), hash::EIndexOutOfRangeError);
  EXPECT_NO_THROW(md5.UpdateRange(data, 10, 0));
}

TEST(HashEngine, MemoryInChunksOfAnyBufferSize) {
  const Bytes data = RandomBytes(100000, 5);
  hash::TSHA2_256 sha;
  const std::string expected = sha.HashBytes(data)->ToHex();
  EXPECT_EQ(sha.HashMemory(data.data(), static_cast<std::int64_t>(data.size()))->ToHex(), expected);
  sha.SetBufferSize(77);
  EXPECT_EQ(sha.HashMemory(data.data(), static_cast<std::int64_t>(data.size()))->ToHex(), expected);
  EXPECT_EQ(sha.HashMemory(nullptr, 5)->ToHex(), sha.HashBytes({})->ToHex());
}

TEST(HashEngine, Streams) {
  const Bytes data = RandomBytes(200000, 9);
  hash::TSHA2_512 sha;
  const std::string whole = sha.HashBytes(data)->ToHex();

  hash::TMemoryStream stream(data);
  EXPECT_EQ(sha.HashStream(&stream, -1)->ToHex(), whole);

  // From the current position, for a given length.
  stream.Seek(1000);
  const Bytes part(data.begin() + 1000, data.begin() + 71000);
  EXPECT_EQ(sha.HashStream(&stream, 70000)->ToHex(), sha.HashBytes(part)->ToHex());

  stream.Seek(static_cast<std::int64_t>(data.size()));
  EXPECT_EQ(sha.HashStream(&stream, -1)->ToHex(), sha.HashBytes({})->ToHex());

  stream.Seek(199990);
  ExpectError<hash::EIndexOutOfRangeError>([&] { sha.HashStream(&stream, 11); },
                                           "Current Index Is Out Of Range",
                                           hash::THashErrorKind::IndexOutOfRange);
  ExpectError<hash::EArgumentNilError>([&] { sha.HashStream(nullptr, -1); },
                                       "Input Stream Is Unassigned",
                                       hash::THashErrorKind::ArgumentNil);
}

TEST(HashEngine, FilesWholeAndInPart) {
  TScratchDir scratch;
  hash::TSHA2_256 sha;
  for (const std::size_t size : {0, 1, 65535, 65536, 65537, 200000}) {
    const Bytes data = RandomBytes(size, size);
    const std::string file = scratch.WriteFile(NumberedName("f", size), data);
    EXPECT_EQ(sha.HashFile(file)->ToHex(), sha.HashBytes(data)->ToHex()) << size;
  }
  const Bytes data = RandomBytes(200000, 200000);
  const std::string file = (scratch.Path() / "f200000").string();
  const Bytes middle(data.begin() + 70000, data.begin() + 170000);
  EXPECT_EQ(sha.HashFile(file, 70000, 100000)->ToHex(), sha.HashBytes(middle)->ToHex());
  const Bytes tail(data.begin() + 70000, data.end());
  EXPECT_EQ(sha.HashFile(file, 70000, -1)->ToHex(), sha.HashBytes(tail)->ToHex());
  EXPECT_THROW(sha.HashFile(file, 70000, 130001), hash::EIndexOutOfRangeError);
}

TEST(HashEngine, MissingFilesAndFoldersAreNotFiles) {
  TScratchDir scratch;
  hash::TMD5 md5;
  ExpectError<hash::EArgumentError>([&] { md5.HashFile((scratch.Path() / "missing").string()); },
                                    "Specified File Not Found", hash::THashErrorKind::Argument);
  EXPECT_THROW(md5.HashFile(scratch.Path().string()), hash::EArgumentError);
}

class TNoCloneEngine final : public hash::THash {
 public:
  TNoCloneEngine() : THash(1, 1) {}
  std::string Name() const override { return "TNoCloneEngine"; }
  void Initialize() override {}
  void TransformBytes(const std::uint8_t*, std::size_t) override {}
  hash::IHashResultPtr Final() override { return std::make_shared<THashResult>(Bytes{0}); }
};

TEST(HashEngine, CloneWithoutImplementationNamesTheEngine) {
  TNoCloneEngine engine;
  ExpectError<hash::ENotImplementedError>([&] { (void)engine.Clone(); },
                                          "Clone Not Yet Implemented For \"TNoCloneEngine\"",
                                          hash::THashErrorKind::NotImplemented);
}

}  // namespace
}  // namespace tarvolin::test
