// CPU feature detection, the forced dispatch level, kernel selection, and every hardware kernel
// checked against the portable one on random messages cut at random places.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <random>
#include <set>
#include <sstream>

#include "hash/blake2.h"
#include "hash/engines.h"
#include "hash/kernels.h"
#include "hash/sha1.h"
#include "hash/sha2.h"
#include "hash/sha3.h"
#include "hash/xxhash64.h"
#include "support/test_support.h"

namespace tarvolin::test {
namespace {

using platform::TCpuLevel;

// ---------------------------------------------------------------------------------------------
// Levels and features

TEST(CpuDispatch, ForcedLevelCapsTheFeatures) {
  const std::uint32_t detected = platform::DetectedCpuFeatures();
  const std::vector<TCpuLevel> levels = platform::AvailableCpuLevels();
  ASSERT_FALSE(levels.empty());
  EXPECT_EQ(levels.front(), TCpuLevel::Portable);
  EXPECT_EQ(levels.back(), platform::DetectedCpuLevel());
  for (std::size_t i = 0; i < levels.size(); ++i) {
    EXPECT_EQ(static_cast<std::size_t>(levels[i]), i) << "levels are contiguous";
    const TCpuLevelScope scope(levels[i]);
    EXPECT_EQ(platform::CpuLevel(), levels[i]);
    const std::uint32_t allowed = platform::CpuFeatures();
    EXPECT_EQ(allowed & ~detected, 0u) << "a level never adds a feature";
    EXPECT_LE(platform::CpuLevelOf(allowed), levels[i]) << "no feature above the level";
    // Every detected feature of the tiers up to the level stays usable.
    for (std::uint32_t bit = 1; bit != 0; bit <<= 1) {
      if ((detected & bit) != 0 && platform::CpuLevelOf(bit) <= levels[i]) {
        EXPECT_NE(allowed & bit, 0u) << "feature bit " << bit;
      }
    }
  }
  const TCpuLevelScope portable(TCpuLevel::Portable);
  EXPECT_EQ(platform::CpuFeatures(), 0u);
  EXPECT_TRUE(platform::HasCpuFeatures(0));
}

TEST(CpuDispatch, LevelAboveTheMachineIsLowered) {
  const TCpuLevelScope scope(TCpuLevel::Portable);
  EXPECT_EQ(platform::ForceCpuLevel(TCpuLevel::AVX512), platform::DetectedCpuLevel());
  EXPECT_EQ(platform::CpuLevel(), platform::DetectedCpuLevel());
  EXPECT_EQ(platform::CpuFeatures(), platform::DetectedCpuFeatures());
}

TEST(CpuDispatch, LevelNamesAndTiers) {
  for (const TCpuLevel level :
       {TCpuLevel::Portable, TCpuLevel::SSE41, TCpuLevel::AVX2, TCpuLevel::AVX512}) {
    EXPECT_EQ(platform::ParseCpuLevel(platform::CpuLevelName(level)), level);
  }
  EXPECT_EQ(platform::CpuLevelName(TCpuLevel::SSE41), "sse41");
  EXPECT_FALSE(platform::ParseCpuLevel("AVX2"));  // names are lower-case
  EXPECT_FALSE(platform::ParseCpuLevel(""));
  EXPECT_FALSE(platform::ParseCpuLevel("avx"));

  EXPECT_EQ(platform::CpuLevelOf(0), TCpuLevel::Portable);
  EXPECT_EQ(platform::CpuLevelOf(platform::kCpuSHA | platform::kCpuSSE41), TCpuLevel::SSE41);
  EXPECT_EQ(platform::CpuLevelOf(platform::kCpuSHA | platform::kCpuBMI2), TCpuLevel::AVX2);
  EXPECT_EQ(platform::CpuLevelOf(platform::kCpuAVX512VL | platform::kCpuSSSE3), TCpuLevel::AVX512);
}

using TTestFunction = int (*)();
int First() {
  return 1;
}
int Second() {
  return 2;
}
int Last() {
  return 3;
}

TEST(CpuDispatch, SelectKernelTakesTheFirstAllowedRow) {
  // A row no CPU has, a row for whatever this CPU has, then the portable row.
  const std::uint32_t detected = platform::DetectedCpuFeatures();
  const platform::TKernel<TTestFunction> table[] = {
      {"impossible", ~0u, First},
      {"detected", detected, Second},
      {"portable", 0, Last},
  };
  const TCpuLevelScope scope(platform::DetectedCpuLevel());
  EXPECT_EQ(platform::SelectKernel(table).Entry(), 2);
  platform::ForceCpuLevel(TCpuLevel::Portable);
  EXPECT_EQ(platform::SelectKernel(table).Entry(), detected != 0 ? 3 : 2);
}

#if defined(__linux__) && defined(__x86_64__)
// The kernel reports what the processor has and the OS enables; CPUID and XGETBV must agree.
TEST(CpuDispatch, DetectionAgreesWithProcCpuinfo) {
  std::ifstream cpuinfo("/proc/cpuinfo");
  std::string line;
  std::set<std::string> flags;
  while (std::getline(cpuinfo, line)) {
    if (line.rfind("flags", 0) != 0) continue;
    std::istringstream words(line.substr(line.find(':') + 1));
    for (std::string flag; words >> flag;) flags.insert(flag);
    break;
  }
  if (flags.empty()) GTEST_SKIP() << "SKIPPED LOUDLY: no flags line in /proc/cpuinfo";
  const std::pair<const char*, std::uint32_t> names[] = {
      {"ssse3", platform::kCpuSSSE3},       {"sse4_1", platform::kCpuSSE41},
      {"sha_ni", platform::kCpuSHA},        {"avx", platform::kCpuAVX},
      {"avx2", platform::kCpuAVX2},         {"bmi1", platform::kCpuBMI1},
      {"bmi2", platform::kCpuBMI2},         {"avx512f", platform::kCpuAVX512F},
      {"avx512vl", platform::kCpuAVX512VL}, {"avx512bw", platform::kCpuAVX512BW},
  };
  for (const auto& [name, bit] : names) {
    EXPECT_EQ(flags.count(name) == 1, (platform::DetectedCpuFeatures() & bit) != 0) << name;
  }
}
#endif

// Run by their own CTest entries with TARVOLIN_CPU_LEVEL set: the variable is read once, when
// the level is first needed, so the ordinary run (which forces levels) cannot test it.
TEST(CpuLevelEnvironment, DISABLED_VariableSetsTheStartingLevel) {
  const char* text = std::getenv("TARVOLIN_CPU_LEVEL");
  if (text == nullptr) GTEST_SKIP() << "run by CTest with TARVOLIN_CPU_LEVEL set";
  const std::optional<TCpuLevel> wanted = platform::ParseCpuLevel(text);
  const TCpuLevel detected = platform::DetectedCpuLevel();
  // An unknown name is ignored; a level above the machine is lowered to it.
  const TCpuLevel expected = wanted && *wanted < detected ? *wanted : detected;
  EXPECT_EQ(platform::CpuLevel(), expected);
  EXPECT_EQ(hash::TSHA1().KernelName(), std::string(hash::kernels::Sha1Kernel().Name));
  if (expected == TCpuLevel::Portable) {
    EXPECT_EQ(hash::TSHA2_512().KernelName(), "portable");
  }
}

// ---------------------------------------------------------------------------------------------
// Kernel selection

#if defined(TARVOLIN_X86_KERNELS)
// The tables offer each variant wherever its features are: a mis-wired row would otherwise
// silently leave the portable code running.
TEST(CpuDispatch, EachFamilyPicksItsVariantWhereTheCpuHasOne) {
  const std::uint32_t features = platform::DetectedCpuFeatures();
  const auto has = [&](std::uint32_t mask) { return (features & mask) == mask; };
  const TCpuLevelScope scope(platform::DetectedCpuLevel());
  const bool shaNi = has(platform::kCpuSHA | platform::kCpuSSSE3 | platform::kCpuSSE41);
  EXPECT_EQ(hash::TSHA1().KernelName(), shaNi ? "shani" : "portable");
  EXPECT_EQ(hash::TSHA2_256().KernelName(), shaNi ? "shani" : "portable");
  const std::uint32_t bmi = platform::kCpuBMI1 | platform::kCpuBMI2;
  const char* sha512 =
      has(platform::kCpuAVX512F | platform::kCpuAVX512VL | platform::kCpuAVX2 | bmi) ? "avx512"
      : has(platform::kCpuAVX2 | bmi)                                                ? "avx2"
                                                                                     : "portable";
  EXPECT_EQ(hash::TSHA2_512().KernelName(), sha512);
  EXPECT_EQ(hash::TSHA2_384().KernelName(), sha512);
  const char* sha3 = has(platform::kCpuAVX512F | platform::kCpuAVX2) ? "avx512"
                     : has(bmi)                                      ? "bmi2"
                                                                     : "portable";
  EXPECT_EQ(hash::TSHA3_256().KernelName(), sha3);
  EXPECT_EQ(hash::TSHA3_512().KernelName(), sha3);
  const std::uint32_t avx512vl =
      platform::kCpuAVX512F | platform::kCpuAVX512VL | platform::kCpuAVX2;
  const bool sse41 = has(platform::kCpuSSSE3 | platform::kCpuSSE41);
  const char* blake2s = has(avx512vl) ? "avx512" : sse41 ? "sse41" : "portable";
  EXPECT_EQ(hash::TBlake2S().KernelName(), blake2s);
  const char* blake2b = has(avx512vl) ? "avx512" : has(platform::kCpuAVX2) ? "avx2" : "portable";
  EXPECT_EQ(hash::TBlake2B().KernelName(), blake2b);
  EXPECT_EQ(hash::TXXHash64().KernelName(), has(platform::kCpuAVX2) ? "avx2" : "portable");
}
#endif

TEST(CpuDispatch, PortableLevelRunsPortableKernels) {
  const TCpuLevelScope scope(TCpuLevel::Portable);
  for (const TEngineInfo& engine : AllEngines()) {
    if (engine.KernelOf) {
      EXPECT_EQ(engine.KernelOf(*engine.Make()), "portable") << engine.Section;
    }
  }
}

// ---------------------------------------------------------------------------------------------
// Every kernel against the portable one

std::vector<TEngineKernel> VariantKernels() {
  std::vector<TEngineKernel> variants;
  for (const TEngineKernel& kernel : AllEngineKernels()) {
    if (!kernel.Kernel.empty() && kernel.Kernel != "portable") variants.push_back(kernel);
  }
  return variants;
}

class KernelDifferential : public ::testing::TestWithParam<TEngineKernel> {
 protected:
  hash::IHashPtr MakeAt(TCpuLevel level) {
    const TCpuLevelScope scope(level);
    return GetParam().Engine->Make();
  }
};

TEST_P(KernelDifferential, RandomMessagesAndSplitsMatchPortable) {
  const TEngineKernel& variant = GetParam();
  auto portable = MakeAt(TCpuLevel::Portable);
  auto engine = MakeAt(variant.Level);
  ASSERT_EQ(variant.Engine->KernelOf(*portable), "portable");
  ASSERT_EQ(variant.Engine->KernelOf(*engine), variant.Kernel);
  const auto block = static_cast<std::size_t>(engine->BlockSize());

  std::mt19937_64 random(std::hash<std::string>{}(variant.Name()));
  for (int round = 0; round < 150; ++round) {
    // Mostly short messages around a few blocks, some long enough for long runs of blocks.
    const std::size_t length = round % 10 == 9 ? random() % 300000 : random() % (block * 40 + 1);
    const Bytes message = RandomBytes(length, random());
    const std::string expected = ToHex(portable->HashBytes(message)->GetBytes());

    engine->Initialize();
    std::size_t done = 0;
    while (done < length) {
      // Pieces from one byte to many blocks, each from a copy at an odd offset.
      const std::size_t limit = random() % 4 == 0 ? block * 64 : block * 3;
      const std::size_t piece = std::min<std::size_t>(length - done, random() % limit + 1);
      const std::size_t shift = random() % 16;
      Bytes shifted(shift, 0x5C);
      shifted.insert(shifted.end(), message.begin() + static_cast<std::ptrdiff_t>(done),
                     message.begin() + static_cast<std::ptrdiff_t>(done + piece));
      engine->UpdateRange(shifted, shift, piece);
      done += piece;
    }
    ASSERT_EQ(ToHex(engine->Final()->GetBytes()), expected) << "length " << length;
  }
}

TEST_P(KernelDifferential, CloneKeepsItsKernelWhateverTheLevelNow) {
  const TEngineKernel& variant = GetParam();
  const Bytes data = RandomBytes(10000, 5);
  auto engine = MakeAt(variant.Level);
  engine->Initialize();
  engine->UpdateRange(data, 0, 4321);
  const TCpuLevelScope scope(TCpuLevel::Portable);
  auto clone = engine->Clone();
  EXPECT_EQ(variant.Engine->KernelOf(*clone), variant.Kernel);
  clone->UpdateRange(data, 4321, data.size() - 4321);
  EXPECT_EQ(ToHex(clone->Final()->GetBytes()),
            ToHex(variant.Engine->Make()->HashBytes(data)->GetBytes()));
}

std::string KernelName(const ::testing::TestParamInfo<TEngineKernel>& info) {
  return info.param.Name();
}

INSTANTIATE_TEST_SUITE_P(Variants, KernelDifferential, ::testing::ValuesIn(VariantKernels()),
                         KernelName);
// Builds without variants (TARVOLIN_SIMD=OFF, other processors) have nothing to compare.
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(KernelDifferential);

// A call with no blocks leaves the state alone, whatever the kernel does to load and store it.
TEST(CpuDispatch, KernelsWithNoBlocksKeepTheState) {
  for (const TCpuLevel level : platform::AvailableCpuLevels()) {
    const TCpuLevelScope scope(level);
    for (const auto* kernel : {&hash::kernels::Md5Kernel(), &hash::kernels::Sha1Kernel(),
                               &hash::kernels::Sha256Kernel()}) {
      std::uint32_t state[8] = {1, 2, 3, 4, 5, 6, 7, 8};
      kernel->Entry(state, nullptr, 0);
      EXPECT_EQ(state[4], 5u) << kernel->Name;
      for (std::uint32_t i = 0; i < 8; ++i) EXPECT_EQ(state[i], i + 1) << kernel->Name;
    }
    std::uint64_t state[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    hash::kernels::Sha512Kernel().Entry(state, nullptr, 0);
    for (std::uint64_t i = 0; i < 8; ++i) EXPECT_EQ(state[i], i + 1);
    // BLAKE2 kernels leave the byte counter alone too.
    std::uint32_t state32[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    std::uint32_t counter32[2] = {9, 10};
    hash::blake2::Blake2sKernel().Entry(state32, counter32, nullptr, 0, 64, 0, 0);
    for (std::uint32_t i = 0; i < 8; ++i) EXPECT_EQ(state32[i], i + 1);
    EXPECT_EQ(counter32[0], 9u);
    EXPECT_EQ(counter32[1], 10u);
    std::uint64_t counter64[2] = {9, 10};
    hash::blake2::Blake2bKernel().Entry(state, counter64, nullptr, 0, 128, 0, 0);
    for (std::uint64_t i = 0; i < 8; ++i) EXPECT_EQ(state[i], i + 1);
    EXPECT_EQ(counter64[0], 9u);
    EXPECT_EQ(counter64[1], 10u);
  }
}

}  // namespace
}  // namespace tarvolin::test
