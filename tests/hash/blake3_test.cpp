// BLAKE3: the published vectors with their extended output, keyed hashing, the output reader,
// and a differential check against b3sum over the tree sizes and splits that reach every path.
#include <gtest/gtest.h>

#include <limits>
#include <random>
#include <sstream>

#include "hash/blake3.h"
#include "hash/blake3_kernels.h"
#include "hash/engines.h"
#include "support/test_support.h"

namespace tarvolin::test {
namespace {

using hash::TBlake3;

const std::string kTestKey = "whats the Elvish word for friend";

/// The input of the published vectors: byte i is i mod 251.
Bytes PatternInput(std::size_t length) {
  Bytes input(length);
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

/// One published vector for one kernel.
struct TOfficialCase {
  TVectorRecord Record;
  TEngineKernel Kernel;
  friend void PrintTo(const TOfficialCase& c, std::ostream* os) {
    PrintTo(c.Record, os);
    *os << " " << c.Kernel.Name();
  }
};

std::vector<TOfficialCase> OfficialCases() {
  std::vector<TOfficialCase> cases;
  for (const TVectorRecord& record : OfficialRecords()) {
    for (const TEngineKernel& kernel : KernelsOf("Blake3")) cases.push_back({record, kernel});
  }
  return cases;
}

class Blake3Official : public ::testing::TestWithParam<TOfficialCase> {};

TEST_P(Blake3Official, DigestExtendedOutputAndPieces) {
  const TVectorRecord& record = GetParam().Record;
  const auto keyIt = record.Fields.find("Key");
  const Bytes key = keyIt == record.Fields.end() ? Bytes{} : FromHex(keyIt->second);
  const TCpuLevelScope scope(GetParam().Kernel.Level);
  TBlake3 engine(32, key);
  ASSERT_EQ(engine.KernelName(), GetParam().Kernel.Kernel);
  const Bytes input = PatternInput(std::stoul(record.Fields.at("Length")));
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
  Bytes output(131);
  std::size_t done = 0;
  for (std::size_t n : {1, 7, 56, 64, 3}) {
    EXPECT_EQ(reader.Read(output.data() + done, n), n);
    done += n;
  }
  EXPECT_EQ(reader.Offset(), 131u);
  EXPECT_EQ(ToHex(output), expected);
}

std::string RecordName(const ::testing::TestParamInfo<TOfficialCase>& info) {
  return info.param.Record.Section + "_" + info.param.Record.Fields.at("Length") + "_" +
         info.param.Kernel.Kernel;
}

INSTANTIATE_TEST_SUITE_P(Vectors, Blake3Official, ::testing::ValuesIn(OfficialCases()), RecordName);

TEST(Blake3, AllPublishedLengthsArePresent) {
  EXPECT_EQ(OfficialRecords().size(), 2u * 22);
}

TEST(Blake3, KeyMustHaveThirtyTwoBytes) {
  for (const std::size_t length : {1, 31, 33, 64}) {
    ExpectError([&] { TBlake3 engine(32, Bytes(length, 1)); },
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
  const Bytes input = PatternInput(5000);
  TBlake3 plain;
  plain.UpdateBytes(input);
  const Bytes stream = plain.FinalOutput(64);
  EXPECT_EQ(wide.HashBytes(input)->GetBytes(), stream);
  EXPECT_EQ(TBlake3(7).HashBytes(input)->GetBytes(), Bytes(stream.begin(), stream.begin() + 7));
}

TEST(Blake3, OutputReaderSeeksAndStopsAtTheLimit) {
  TBlake3 engine;
  engine.Initialize();
  engine.UpdateBytes(BytesOf("abc"));
  hash::TBlake3OutputReader reader = engine.FinalReader();
  Bytes all(300);
  ASSERT_EQ(reader.Read(all.data(), all.size()), 300u);
  // The engine is ready again and gives the same digest as before.
  EXPECT_EQ(engine.HashBytes(BytesOf("abc"))->GetBytes(), Bytes(all.begin(), all.begin() + 32));

  Bytes part(100);
  reader.Seek(130);
  ASSERT_EQ(reader.Read(part.data(), part.size()), 100u);
  EXPECT_EQ(part, Bytes(all.begin() + 130, all.begin() + 230));
  reader.Seek(0);
  ASSERT_EQ(reader.Read(part.data(), 10), 10u);
  EXPECT_EQ(Bytes(part.begin(), part.begin() + 10), Bytes(all.begin(), all.begin() + 10));

  constexpr std::uint64_t kLast = std::numeric_limits<std::uint64_t>::max();
  reader.Seek(kLast - 1);
  EXPECT_EQ(reader.Read(part.data(), 10), 1u);  // shortened, not wrapped
  EXPECT_EQ(reader.Offset(), kLast);
  ExpectError([&] { reader.Read(part.data(), 1); }, "\"Maximum Output Length is 2^64 Bytes",
              hash::THashErrorKind::ArgumentOutOfRange);
}

TEST(Blake3, KeyedCloneKeepsItsKey) {
  const Bytes input = PatternInput(2049);
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
    const Bytes data = RandomBytes(sizes[i], 3 * sizes[i] + 1);
    for (const bool useKey : {false, true}) {
      const std::string& expected = useKey ? (*keyed)[i] : (*plain)[i];
      TBlake3 engine(32, useKey ? BytesOf(kTestKey) : Bytes{});
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

// ---------------------------------------------------------------------------------------------
// Kernels

/// Every BLAKE3 kernel row this CPU runs, each with the lowest level that selects it.
std::vector<std::pair<platform::TCpuLevel, const hash::blake3::TKernelRow*>> KernelRows() {
  std::vector<std::pair<platform::TCpuLevel, const hash::blake3::TKernelRow*>> rows;
  for (const platform::TCpuLevel level : platform::AvailableCpuLevels()) {
    const TCpuLevelScope scope(level);
    const hash::blake3::TKernelRow* row = &hash::blake3::SelectKernels();
    if (rows.empty() || rows.back().second != row) rows.emplace_back(level, row);
  }
  return rows;
}

std::vector<std::uint32_t> RandomWords(std::size_t count, std::uint64_t seed) {
  const Bytes bytes = RandomBytes(4 * count, seed);
  std::vector<std::uint32_t> words(count);
  for (std::size_t i = 0; i < count; ++i) {
    words[i] = bytes[4 * i] | bytes[4 * i + 1] << 8 | bytes[4 * i + 2] << 16 |
               static_cast<std::uint32_t>(bytes[4 * i + 3]) << 24;
  }
  return words;
}

TEST(Blake3Kernels, EachLevelPicksItsRowAndThePortableLevelThePortableOne) {
  const TCpuLevelScope scope(platform::DetectedCpuLevel());
#if defined(TARVOLIN_X86_KERNELS)
  // A mis-wired row would otherwise silently leave the portable code running.
  const std::uint32_t sse41 = platform::kCpuSSE41 | platform::kCpuSSSE3;
  const std::uint32_t avx2 = sse41 | platform::kCpuAVX | platform::kCpuAVX2;
  const std::uint32_t avx512 = avx2 | platform::kCpuAVX512F | platform::kCpuAVX512VL;
  const std::uint32_t features = platform::DetectedCpuFeatures();
  const auto has = [&](std::uint32_t mask) { return (features & mask) == mask; };
  const char* expected = has(avx512)  ? "avx512"
                         : has(avx2)  ? "avx2"
                         : has(sse41) ? "sse41"
                                      : "portable";
#else
  const char* expected = "portable";
#endif
  EXPECT_EQ(TBlake3().KernelName(), expected);
  platform::ForceCpuLevel(platform::TCpuLevel::Portable);
  EXPECT_EQ(TBlake3().KernelName(), "portable");
  EXPECT_EQ(&hash::blake3::SelectKernels(), &hash::blake3::PortableKernels());
}

// The bulk entry points against the portable ones, for every count of chunks and parents up to
// a few passes of the widest kernel, at misaligned addresses, with counters whose low word
// wraps inside a pass, keyed and plain. Nothing past the last result may be written.
TEST(Blake3Kernels, BulkEntryPointsMatchPortable) {
  const hash::blake3::TKernelRow& portable = hash::blake3::PortableKernels();
  constexpr std::size_t kMaxItems = 53;
  const Bytes input = RandomBytes(kMaxItems * 1024 + 3, 17);
  const std::vector<std::uint32_t> children = RandomWords(kMaxItems * 16 + 1, 18);
  const std::vector<std::uint32_t> key = RandomWords(8, 19);
  std::mt19937_64 random(20);
  for (const auto& [level, row] : KernelRows()) {
    SCOPED_TRACE(row->Name);
    for (std::size_t n = 0; n <= kMaxItems; ++n) {
      const bool keyed = n % 2 == 1;
      const std::uint32_t* words = keyed ? key.data() : hash::blake3::kIv;
      const std::uint32_t flags = keyed ? hash::blake3::kKeyedHash : 0;
      const std::size_t shift = n % 4;
      // Low words from just below 2^32, so that some lanes carry into the high word.
      const std::uint64_t counter =
          n % 3 == 0 ? random() : (std::uint64_t{random() % 7} << 32) + 0xFFFFFFFFu - n % 19;

      std::vector<std::uint32_t> expected(8 * n + 8, 0xA5A5A5A5u);
      std::vector<std::uint32_t> actual(8 * n + 8, 0xA5A5A5A5u);
      portable.Entry.HashChunks(input.data() + shift, n, words, counter, flags, expected.data());
      row->Entry.HashChunks(input.data() + shift, n, words, counter, flags, actual.data());
      ASSERT_EQ(actual, expected) << n << " chunks, counter " << counter;

      std::fill(expected.begin(), expected.end(), 0x5A5A5A5Au);
      std::fill(actual.begin(), actual.end(), 0x5A5A5A5Au);
      portable.Entry.HashParents(children.data() + shift % 2, n, words, flags, expected.data());
      row->Entry.HashParents(children.data() + shift % 2, n, words, flags, actual.data());
      ASSERT_EQ(actual, expected) << n << " parents";
    }
  }
}

/// The digest of `message` fed in pieces that `nextPiece` chooses, from an engine at `level`.
template <typename TNext>
std::string Fed(platform::TCpuLevel level, const Bytes& key, const Bytes& message,
                TNext&& nextPiece, std::size_t outputLength = 32) {
  const TCpuLevelScope scope(level);
  TBlake3 engine(32, key);
  engine.Initialize();
  for (std::size_t done = 0; done < message.size();) {
    const std::size_t piece = std::min<std::size_t>(nextPiece(), message.size() - done);
    engine.UpdateRange(message, done, piece);
    done += piece;
  }
  return ToHex(engine.FinalOutput(outputLength));
}

// Every kernel against the portable one on whole messages: random lengths up to 70 chunks,
// chunk multiples (whose last chunk waits as a chaining value), and runs past the pending
// capacity, fed whole, in odd pieces, in whole chunks and in 64 KiB reads, keyed and plain.
TEST(Blake3Kernels, DifferentialOverLengthsAndSplits) {
  std::vector<std::size_t> lengths = {0,          1,          1023,
                                      1024,       1025,       2048,
                                      3 * 1024,   16 * 1024,  17 * 1024,
                                      64 * 1024,  65 * 1024,  65 * 1024 + 1,
                                      256 * 1024, 257 * 1024, 300 * 1024 + 77,
                                      600 * 1024};
  std::mt19937_64 random(33);
  for (int i = 0; i < 24; ++i) lengths.push_back(random() % (70 * 1024 + 1));
  for (int i = 0; i < 6; ++i) lengths.push_back((random() % 70 + 1) * 1024);

  for (const auto& [level, row] : KernelRows()) {
    if (level == platform::TCpuLevel::Portable) continue;
    SCOPED_TRACE(row->Name);
    for (std::size_t index = 0; index < lengths.size(); ++index) {
      const std::size_t length = lengths[index];
      const Bytes message = RandomBytes(length, 100 + index);
      const Bytes key = index % 2 == 0 ? Bytes{} : BytesOf(kTestKey);
      const auto whole = [&] { return length; };
      const std::string expected = Fed(platform::TCpuLevel::Portable, key, message, whole, 131);
      EXPECT_EQ(Fed(level, key, message, whole, 131), expected) << "whole, length " << length;
      std::mt19937 split(static_cast<std::uint32_t>(length));
      EXPECT_EQ(Fed(
                    level, key, message, [&] { return split() % 3000 + 1; }, 131),
                expected)
          << "odd pieces, length " << length;
      EXPECT_EQ(Fed(
                    level, key, message, [&] { return (split() % 5 + 1) * 1024; }, 131),
                expected)
          << "whole chunks, length " << length;
      EXPECT_EQ(Fed(
                    level, key, message, [] { return 65536; }, 131),
                expected)
          << "64 KiB reads, length " << length;
    }
  }
}

// A clone taken while chunk chaining values wait to be merged carries them along.
TEST(Blake3Kernels, CloneWithPendingChunksIsIndependent) {
  const Bytes data = RandomBytes(5 * 65536 + 3000, 44);
  for (const auto& [level, row] : KernelRows()) {
    SCOPED_TRACE(row->Name);
    const TCpuLevelScope scope(level);
    TBlake3 engine;
    engine.Initialize();
    engine.UpdateRange(data, 0, 3 * 65536);
    const hash::IHashPtr clone = engine.Clone();
    clone->UpdateRange(data, 3 * 65536, data.size() - 3 * 65536);
    engine.UpdateRange(data, 3 * 65536, 1000);
    EXPECT_EQ(clone->Final()->GetBytes(), TBlake3().HashBytes(data)->GetBytes());
    const Bytes head(data.begin(), data.begin() + 3 * 65536 + 1000);
    EXPECT_EQ(engine.Final()->GetBytes(), TBlake3().HashBytes(head)->GetBytes());
  }
}

}  // namespace
}  // namespace tarvolin::test
