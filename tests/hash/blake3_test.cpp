// BLAKE3: the published vectors with their extended output, keyed hashing, the output reader,
// and a differential check against b3sum over the tree sizes and splits that reach every path.
#include <gtest/gtest.h>

#include <limits>
#include <random>
#include <sstream>

#include "hash/blake3.h"
#include "support/test_support.h"

namespace tarvolin::test {
namespace {

using hash::TBlake3;

const std::string kTestKey = "whats the Elvish word for friend";

template <typename F>
void ExpectError(F&& action, const std::string& message, hash::THashErrorKind kind) {
  try {
    action();
    ADD_FAILURE() << "no error raised; expected: " << message;
  } catch (const hash::EHashError& error) {
    EXPECT_EQ(error.what(), message);
    EXPECT_EQ(error.Kind(), kind);
  }
}

/// The input of the published vectors: byte i is i mod 251.
TBytes PatternInput(std::size_t length) {
  TBytes input(length);
  for (std::size_t i = 0; i < length; ++i) input[i] = static_cast<std::uint8_t>(i % 251);
  return input;
}

std::vector<TVectorRecord> OfficialRecords() {
  std::vector<TVectorRecord> records;
  for (auto& record : ReadVectorFolder(TestDataDir() / "hash" / "vectors")) {
    if (record.Section == "Blake3_Official" || record.Section == "Blake3_Keyed_Official") {
      records.push_back(record);
    }
  }
  return records;
}

class Blake3Official : public ::testing::TestWithParam<TVectorRecord> {};

TEST_P(Blake3Official, DigestExtendedOutputAndPieces) {
  const TVectorRecord& record = GetParam();
  const auto keyIt = record.Fields.find("Key");
  const TBytes key = keyIt == record.Fields.end() ? TBytes{} : FromHex(keyIt->second);
  TBlake3 engine(32, key);
  const TBytes input = PatternInput(std::stoul(record.Fields.at("Length")));
  const std::string expected = record.Fields.at("Out");
  ASSERT_EQ(expected.size(), 2u * 131);

  EXPECT_EQ(ToHex(engine.HashBytes(input)->GetBytes()), expected.substr(0, 64));
  engine.Initialize();
  engine.UpdateBytes(input);
  EXPECT_EQ(ToHex(engine.FinalOutput(131)), expected);

  // Byte by byte: no bulk path, every chunk held until the next byte arrives.
  for (std::size_t i = 0; i < input.size(); ++i) engine.UpdateRange(input, i, 1);
  EXPECT_EQ(ToHex(engine.FinalOutput(131)), expected);

  // Pieces that straddle chunks, leaving the chunk state part-filled before long runs.
  std::size_t offset = 0;
  for (std::size_t piece = 1; offset < input.size(); piece = piece * 7 % 5003 + 1) {
    const std::size_t n = std::min(piece, input.size() - offset);
    engine.UpdateRange(input, offset, n);
    offset += n;
  }
  // Read back in uneven pieces, which must join into the same stream.
  hash::TBlake3OutputReader reader = engine.FinalReader();
  TBytes output(131);
  std::size_t done = 0;
  for (std::size_t n : {1, 7, 56, 64, 3}) {
    EXPECT_EQ(reader.Read(output.data() + done, n), n);
    done += n;
  }
  EXPECT_EQ(reader.Offset(), 131u);
  EXPECT_EQ(ToHex(output), expected);
}

std::string RecordName(const ::testing::TestParamInfo<TVectorRecord>& info) {
  return info.param.Section + "_" + info.param.Fields.at("Length");
}

INSTANTIATE_TEST_SUITE_P(Vectors, Blake3Official, ::testing::ValuesIn(OfficialRecords()),
                         RecordName);

TEST(Blake3, AllPublishedLengthsArePresent) {
  EXPECT_EQ(OfficialRecords().size(), 2u * 22);
}

TEST(Blake3, KeyMustHaveThirtyTwoBytes) {
  for (const std::size_t length : {1, 31, 33, 64}) {
    ExpectError([&] { TBlake3 engine(32, TBytes(length, 1)); },
                "\"Key\" Length Must Not Be Greater Than 32, \"" + std::to_string(length) + "\"",
                hash::THashErrorKind::ArgumentOutOfRange);
  }
  ExpectError([] { TBlake3 engine(0); }, "BLAKE3 HashSize Must Be Greater Than Zero, \"0\"",
              hash::THashErrorKind::ArgumentOutOfRange);
  EXPECT_NO_THROW(TBlake3(32, BytesOf(kTestKey)));
  EXPECT_NO_THROW(TBlake3(32, {}));
}

TEST(Blake3, NameSizesAndLongerDigests) {
  EXPECT_EQ(TBlake3().Name(), "TBlake3_256");
  EXPECT_EQ(TBlake3().HashSize(), 32);
  EXPECT_EQ(TBlake3().BlockSize(), 64);
  TBlake3 wide(64);
  EXPECT_EQ(wide.Name(), "TBlake3_512");
  // A longer digest is the start of the same output stream.
  const TBytes input = PatternInput(5000);
  TBlake3 plain;
  plain.UpdateBytes(input);
  const TBytes stream = plain.FinalOutput(64);
  EXPECT_EQ(wide.HashBytes(input)->GetBytes(), stream);
  EXPECT_EQ(TBlake3(7).HashBytes(input)->GetBytes(), TBytes(stream.begin(), stream.begin() + 7));
}

TEST(Blake3, OutputReaderSeeksAndStopsAtTheLimit) {
  TBlake3 engine;
  engine.Initialize();
  engine.UpdateBytes(BytesOf("abc"));
  hash::TBlake3OutputReader reader = engine.FinalReader();
  TBytes all(300);
  ASSERT_EQ(reader.Read(all.data(), all.size()), 300u);
  // The engine is ready again and gives the same digest as before.
  EXPECT_EQ(engine.HashBytes(BytesOf("abc"))->GetBytes(), TBytes(all.begin(), all.begin() + 32));

  TBytes part(100);
  reader.Seek(130);
  ASSERT_EQ(reader.Read(part.data(), part.size()), 100u);
  EXPECT_EQ(part, TBytes(all.begin() + 130, all.begin() + 230));
  reader.Seek(0);
  ASSERT_EQ(reader.Read(part.data(), 10), 10u);
  EXPECT_EQ(TBytes(part.begin(), part.begin() + 10), TBytes(all.begin(), all.begin() + 10));

  constexpr std::uint64_t kLast = std::numeric_limits<std::uint64_t>::max();
  reader.Seek(kLast - 1);
  EXPECT_EQ(reader.Read(part.data(), 10), 1u);  // shortened, not wrapped
  EXPECT_EQ(reader.Offset(), kLast);
  ExpectError([&] { reader.Read(part.data(), 1); }, "\"Maximum Output Length is 2^64 Bytes",
              hash::THashErrorKind::ArgumentOutOfRange);
}

TEST(Blake3, KeyedCloneKeepsItsKey) {
  const TBytes input = PatternInput(2049);
  TBlake3 keyed(32, BytesOf(kTestKey));
  keyed.Initialize();
  keyed.UpdateRange(input, 0, 1500);
  auto clone = keyed.Clone();
  clone->UpdateRange(input, 1500, input.size() - 1500);
  EXPECT_EQ(clone->Final()->GetBytes(), keyed.HashBytes(input)->GetBytes());
  EXPECT_NE(clone->HashBytes(input)->GetBytes(), TBlake3().HashBytes(input)->GetBytes());
}

/// b3sum's output for each file, one line per file; nothing when b3sum is missing or fails.
std::optional<std::vector<std::string>> B3sum(const std::vector<std::string>& files,
                                              const std::string& keyFile) {
  if (!HaveProgram("b3sum")) return std::nullopt;
  std::string command = "b3sum --no-names --length 131";
  if (!keyFile.empty()) command += " --keyed";
  for (const std::string& file : files) command += " '" + file + "'";
  if (!keyFile.empty()) command += " < '" + keyFile + "'";
  const auto output = RunCommand(command);
  if (!output) return std::nullopt;
  std::vector<std::string> lines;
  std::istringstream in(*output);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  if (lines.size() != files.size()) return std::nullopt;
  return lines;
}

TEST(Blake3, B3sumAgreesOnRandomData) {
  // Sizes at chunk and block edges, at counts whose carries run through several stack levels,
  // and past a few 64 KiB reads.
  const std::vector<std::size_t> sizes = {0,
                                          1,
                                          63,
                                          64,
                                          65,
                                          1023,
                                          1024,
                                          1025,
                                          2048,
                                          2049,
                                          3 * 1024,
                                          3073,
                                          8 * 1024,
                                          8193,
                                          31 * 1024 + 5,
                                          65535,
                                          65536,
                                          65537,
                                          130 * 1024 + 1,
                                          1 << 20,
                                          (5 << 20) + 333};
  TScratchDir scratch;
  std::vector<std::string> files;
  for (const std::size_t size : sizes) {
    files.push_back(
        scratch.WriteFile("data" + std::to_string(size), RandomBytes(size, 3 * size + 1)));
  }
  const std::string keyFile = scratch.WriteFile("key", BytesOf(kTestKey));
  const auto plain = B3sum(files, "");
  const auto keyed = B3sum(files, keyFile);
  if (!plain || !keyed) GTEST_SKIP() << "SKIPPED LOUDLY: b3sum is not available";

  std::mt19937 random(42);
  for (std::size_t i = 0; i < sizes.size(); ++i) {
    const TBytes data = RandomBytes(sizes[i], 3 * sizes[i] + 1);
    for (const bool useKey : {false, true}) {
      const std::string& expected = useKey ? (*keyed)[i] : (*plain)[i];
      TBlake3 engine(32, useKey ? BytesOf(kTestKey) : TBytes{});
      EXPECT_EQ(ToHex(engine.HashFile(files[i])->GetBytes()), expected.substr(0, 64))
          << "file, size " << sizes[i] << (useKey ? ", keyed" : "");

      engine.UpdateBytes(data);
      EXPECT_EQ(ToHex(engine.FinalOutput(131)), expected) << "size " << sizes[i];

      // Random pieces from a byte up to a few chunks, so long runs start at every offset.
      std::size_t done = 0;
      while (done < data.size()) {
        const std::size_t piece = std::min<std::size_t>(
            data.size() - done, random() % 3 == 0 ? random() % 16 + 1 : random() % 9000 + 1);
        engine.UpdateRange(data, done, piece);
        done += piece;
      }
      EXPECT_EQ(ToHex(engine.FinalOutput(131)), expected) << "pieces, size " << sizes[i];
    }
  }
}

}  // namespace
}  // namespace tarvolin::test
