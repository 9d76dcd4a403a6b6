// The seeded engines (XXHash64, MurmurHash3 x86/x64 128): seeded known answers, key handling,
// the reference verification values of MurmurHash3 and a differential check against xxhsum.
#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <sstream>

#include "hash/engines.h"
#include "hash/murmurhash3.h"
#include "hash/xxhash64.h"
#include "support/test_support.h"

namespace tarvolin::test {
namespace {

std::shared_ptr<hash::IKeyedHash> MakeKeyed(const std::string& section) {
  return std::dynamic_pointer_cast<hash::IKeyedHash>(MakeEngine(section));
}

/// The seed as a key of `length` bytes, least significant first.
Bytes SeedKey(std::uint64_t seed, std::int32_t length) {
  Bytes key;
  for (std::int32_t i = 0; i < length; ++i, seed >>= 8)
    key.push_back(static_cast<std::uint8_t>(seed));
  return key;
}

std::string Digest(hash::IHash& engine, const Bytes& data) {
  return ToHex(engine.HashBytes(data)->GetBytes());
}

// ---------------------------------------------------------------------------------------------
// Seeded known answers

std::vector<TVectorRecord> SeededRecords() {
  std::vector<TVectorRecord> seeded;
  for (auto& record : ReadVectorFolder(TestDataDir() / "hash" / "vectors")) {
    if (record.Fields.count("Seed") != 0) seeded.push_back(record);
  }
  return seeded;
}

class SeededVector : public ::testing::TestWithParam<TVectorRecord> {};

TEST_P(SeededVector, WholeAndInPieces) {
  const TVectorRecord& record = GetParam();
  auto engine = MakeKeyed(record.Section);
  ASSERT_NE(engine, nullptr) << "no keyed engine for section " << record.Section;
  engine->SetKey(SeedKey(std::stoull(record.Fields.at("Seed")), engine->KeyLength()));
  const Bytes input = RecordInput(record);
  const std::string expected = record.Fields.at("Out");

  EXPECT_EQ(Digest(*engine, input), expected);
  engine->Initialize();
  for (std::size_t offset = 0; offset < input.size(); offset += 5) {
    engine->UpdateRange(input, offset, std::min<std::size_t>(5, input.size() - offset));
  }
  EXPECT_EQ(ToHex(engine->Final()->GetBytes()), expected);
}

std::string RecordName(const ::testing::TestParamInfo<TVectorRecord>& info) {
  std::string name = info.param.Section + "_line" + std::to_string(info.param.Line);
  for (char& c : name) {
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  }
  return name;
}

INSTANTIATE_TEST_SUITE_P(Vectors, SeededVector, ::testing::ValuesIn(SeededRecords()), RecordName);

// ---------------------------------------------------------------------------------------------
// Key handling, the same contract for every seeded engine

struct TKeyedCase {
  std::string Section;
  std::int32_t KeyLength;
  friend void PrintTo(const TKeyedCase& c, std::ostream* os) { *os << c.Section; }
};

class KeyHandling : public ::testing::TestWithParam<TKeyedCase> {};

TEST_P(KeyHandling, ReadBackAndWrongLengths) {
  auto engine = MakeKeyed(GetParam().Section);
  ASSERT_NE(engine, nullptr);
  const std::int32_t n = GetParam().KeyLength;
  EXPECT_EQ(engine->KeyLength(), n);
  EXPECT_EQ(engine->Key(), Bytes(static_cast<std::size_t>(n), 0));

  const Bytes key = SeedKey(0x0807060504030201ULL, n);
  engine->SetKey(key);
  EXPECT_EQ(engine->Key(), key);

  for (const std::int32_t wrong : {n - 1, n + 1}) {
    try {
      engine->SetKey(Bytes(static_cast<std::size_t>(wrong), 0xEE));
      ADD_FAILURE() << "a key of " << wrong << " bytes was accepted";
    } catch (const hash::EArgumentError& error) {
      EXPECT_EQ(std::string(error.what()), "KeyLength Must Be Equal to " + std::to_string(n));
      EXPECT_EQ(error.Kind(), hash::THashErrorKind::Argument);
    }
    EXPECT_EQ(engine->Key(), key) << "a refused key must leave the seed alone";
  }

  engine->SetKey({});
  EXPECT_EQ(engine->Key(), Bytes(static_cast<std::size_t>(n), 0));
}

TEST_P(KeyHandling, SeedAppliesFromTheNextMessageOn) {
  auto engine = MakeKeyed(GetParam().Section);
  const Bytes key = SeedKey(0x1234567890abcdefULL, GetParam().KeyLength);
  // Short and long messages take different start paths in XXH64; both must honour the rule.
  for (const std::size_t size : {10u, 100u}) {
    const Bytes data = RandomBytes(size, size);
    engine->SetKey({});
    const std::string unseeded = Digest(*engine, data);

    engine->Initialize();
    engine->UpdateRange(data, 0, 4);
    engine->SetKey(key);  // mid-message: this message keeps the seed it was started with
    engine->UpdateRange(data, 4, size - 4);
    EXPECT_EQ(ToHex(engine->Final()->GetBytes()), unseeded) << "size " << size;

    const std::string seeded = Digest(*engine, data);
    EXPECT_NE(seeded, unseeded) << "size " << size;
    EXPECT_EQ(Digest(*engine->Clone(), data), seeded) << "a clone keeps the seed";

    engine->SetKey({});
    EXPECT_EQ(Digest(*engine, data), unseeded) << "an empty key returns to seed 0";
  }
}

TEST_P(KeyHandling, PendingBytesFromNonZeroStart) {
  // 3 bytes, then 30 bytes from inside a larger array, then the rest: bytes stay pending in the
  // engine's own buffer across calls and whole blocks come from an offset in the caller's array.
  auto engine = MakeKeyed(GetParam().Section);
  const Bytes data = RandomBytes(200, 9);
  const Bytes message(data.begin() + 7, data.begin() + 7 + 150);
  const std::string expected = Digest(*engine, message);
  engine->Initialize();
  engine->UpdateRange(data, 7, 3);
  engine->UpdateRange(data, 10, 30);
  engine->UpdateRange(data, 40, 1);
  engine->UpdateRange(data, 41, 116);
  EXPECT_EQ(ToHex(engine->Final()->GetBytes()), expected);
}

INSTANTIATE_TEST_SUITE_P(Engines, KeyHandling,
                         ::testing::Values(TKeyedCase{"XXHash64", 8},
                                           TKeyedCase{"MurmurHash3_x86_128", 4},
                                           TKeyedCase{"MurmurHash3_x64_128", 4}),
                         [](const auto& info) { return info.param.Section; });

TEST(KeyedEngines, NamesAndSizes) {
  const hash::TXXHash64 xxh;
  const hash::TMurmurHash3_x86_128 x86;
  const hash::TMurmurHash3_x64_128 x64;
  EXPECT_EQ(xxh.Name(), "TXXHash64");
  EXPECT_EQ(x86.Name(), "TMurmurHash3_x86_128");
  EXPECT_EQ(x64.Name(), "TMurmurHash3_x64_128");
  EXPECT_EQ(xxh.HashSize(), 8);
  EXPECT_EQ(xxh.BlockSize(), 32);
  EXPECT_EQ(x86.HashSize(), 16);
  EXPECT_EQ(x86.BlockSize(), 16);
  EXPECT_EQ(x64.HashSize(), 16);
  EXPECT_EQ(x64.BlockSize(), 16);
}

// ---------------------------------------------------------------------------------------------
// MurmurHash3 verification values of the reference test harness

/// Hashes key[i] = i for every length n in 0..255 with seed 256 - n, hashes the concatenated
/// digests with seed 0, and returns the first four bytes of that as a little-endian number. Both
/// steps use the reference's byte order, each lane little-endian, which is ours reversed per lane.
std::uint32_t VerificationValue(hash::IKeyedHash& engine, std::size_t laneBytes) {
  const auto referenceOrder = [laneBytes](Bytes digest) {
    for (std::size_t lane = 0; lane < digest.size(); lane += laneBytes) {
      std::reverse(digest.begin() + static_cast<std::ptrdiff_t>(lane),
                   digest.begin() + static_cast<std::ptrdiff_t>(lane + laneBytes));
    }
    return digest;
  };
  Bytes key(256);
  Bytes all;
  for (std::size_t n = 0; n < 256; ++n) {
    key[n] = static_cast<std::uint8_t>(n);
    engine.SetKey(SeedKey(256 - n, 4));
    const Bytes digest =
        referenceOrder(engine.HashBytes(hash::ByteSpan(key.data(), n))->GetBytes());
    all.insert(all.end(), digest.begin(), digest.end());
  }
  engine.SetKey({});
  const Bytes final = referenceOrder(engine.HashBytes(all)->GetBytes());
  return static_cast<std::uint32_t>(final[0] | (final[1] << 8) | (final[2] << 16) |
                                    (static_cast<std::uint32_t>(final[3]) << 24));
}

TEST(MurmurHash3, ReferenceVerificationValues) {
  // Every length from 0 to 255 with its own seed: all 15 tail lengths, several blocks, seeds.
  hash::TMurmurHash3_x86_128 x86;
  hash::TMurmurHash3_x64_128 x64;
  EXPECT_EQ(VerificationValue(x86, 4), 0xB3ECE62Au);
  EXPECT_EQ(VerificationValue(x64, 8), 0x6384BA69u);
}

// ---------------------------------------------------------------------------------------------
// XXH64 against xxhsum

TEST(XXHash64, XxhsumAgreesOnBytesAndFiles) {
  if (!HaveProgram("xxhsum")) GTEST_SKIP() << "SKIPPED LOUDLY: xxhsum is not available";
  std::vector<std::size_t> sizes;
  for (std::size_t n = 0; n <= 100; ++n) sizes.push_back(n);
  for (const std::size_t n : {65535u, 65536u, 65537u, (3u << 20) + 7, 5u << 20}) sizes.push_back(n);

  TScratchDir scratch;
  std::string command = "cd '" + scratch.Path().string() + "' && xxhsum -H1 2>/dev/null";
  for (const std::size_t size : sizes) {
    scratch.WriteFile(NumberedName("d", size), RandomBytes(size, 3 * size + 1));
    command += " d" + std::to_string(size);
  }
  const auto output = RunCommand(command);
  ASSERT_TRUE(output.has_value()) << "xxhsum failed: " << command;

  std::map<std::string, std::string> expected;  // file name -> digest
  std::istringstream lines(*output);
  for (std::string digest, name; lines >> digest >> name;) expected[name] = digest;
  ASSERT_EQ(expected.size(), sizes.size()) << *output;

  hash::TXXHash64 engine;
  for (const std::size_t size : sizes) {
    const std::string name = NumberedName("d", size);
    const std::string want = expected[name];
    ASSERT_EQ(want.size(), 16u) << "unexpected xxhsum line for " << name;
    EXPECT_EQ(Digest(engine, RandomBytes(size, 3 * size + 1)), want) << "bytes, size " << size;
    EXPECT_EQ(ToHex(engine.HashFile((scratch.Path() / name).string())->GetBytes()), want)
        << "file, size " << size;
  }
}

}  // namespace
}  // namespace tarvolin::test
