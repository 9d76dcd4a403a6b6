// CPU feature detection with CPUID and XGETBV, and the dispatch level in force.
#include "platform/cpu_features.h"

#include <atomic>
#include <cstdlib>
#include <string>

#if (defined(__x86_64__) || defined(__i386__)) && defined(__GNUC__)
#include <cpuid.h>
#define TARVOLIN_CPUID_GNU 1
#elif defined(_M_X64) || defined(_M_IX86)
#include <intrin.h>
#define TARVOLIN_CPUID_MSVC 1
#endif

namespace tarvolin::platform {

namespace {

// The features of each tier, indexed by TCpuLevel.
constexpr std::uint32_t kTierFeatures[kCpuLevelCount] = {
    0,
    kCpuSSSE3 | kCpuSSE41 | kCpuSHA,
    kCpuAVX | kCpuAVX2 | kCpuBMI1 | kCpuBMI2,
    kCpuAVX512F | kCpuAVX512VL | kCpuAVX512BW,
};

// What makes each tier complete: its features, except the SHA extensions, which many processors
// with SSE4.1 (and even AVX2) lack; the SHA kernels check for them, so the SSE4.1 kernels of the
// other families stay in use on such processors.
constexpr std::uint32_t kTierRequired[kCpuLevelCount] = {
    kTierFeatures[0],
    kTierFeatures[1] & ~kCpuSHA,
    kTierFeatures[2],
    kTierFeatures[3],
};

constexpr std::string_view kLevelNames[kCpuLevelCount] = {"portable", "sse41", "avx2", "avx512"};

struct TFeatureName {
  std::uint32_t Feature;
  std::string_view Name;
};

constexpr TFeatureName kFeatureNames[] = {
    {kCpuSSSE3, "ssse3"},       {kCpuSSE41, "sse4.1"},    {kCpuSHA, "sha"},
    {kCpuAVX, "avx"},           {kCpuAVX2, "avx2"},       {kCpuBMI1, "bmi1"},
    {kCpuBMI2, "bmi2"},         {kCpuAVX512F, "avx512f"}, {kCpuAVX512VL, "avx512vl"},
    {kCpuAVX512BW, "avx512bw"},
};

struct TRegisters {
  std::uint32_t Eax = 0, Ebx = 0, Ecx = 0, Edx = 0;
};

#if defined(TARVOLIN_CPUID_GNU)

bool Cpuid(std::uint32_t leaf, std::uint32_t subleaf, TRegisters& r) {
  if (static_cast<std::uint32_t>(__get_cpuid_max(leaf & 0x80000000u, nullptr)) < leaf) return false;
  __cpuid_count(leaf, subleaf, r.Eax, r.Ebx, r.Ecx, r.Edx);
  return true;
}

// XGETBV is emitted directly so that this file needs no XSAVE compiler flag.
std::uint64_t ReadXcr0() {
  std::uint32_t low = 0, high = 0;
  __asm__ volatile("xgetbv" : "=a"(low), "=d"(high) : "c"(0));
  return (static_cast<std::uint64_t>(high) << 32) | low;
}

#elif defined(TARVOLIN_CPUID_MSVC)

bool Cpuid(std::uint32_t leaf, std::uint32_t subleaf, TRegisters& r) {
  int regs[4];
  __cpuid(regs, static_cast<int>(leaf & 0x80000000u));
  if (static_cast<std::uint32_t>(regs[0]) < leaf) return false;
  __cpuidex(regs, static_cast<int>(leaf), static_cast<int>(subleaf));
  r = {static_cast<std::uint32_t>(regs[0]), static_cast<std::uint32_t>(regs[1]),
       static_cast<std::uint32_t>(regs[2]), static_cast<std::uint32_t>(regs[3])};
  return true;
}

std::uint64_t ReadXcr0() {
  return _xgetbv(0);
}

#endif

std::uint32_t Detect() {
  std::uint32_t features = 0;
#if defined(TARVOLIN_CPUID_GNU) || defined(TARVOLIN_CPUID_MSVC)
  const auto bit = [](std::uint32_t reg, int n) { return ((reg >> n) & 1u) != 0; };
  TRegisters leaf1;
  if (!Cpuid(1, 0, leaf1)) return 0;
  if (bit(leaf1.Ecx, 9)) features |= kCpuSSSE3;
  if (bit(leaf1.Ecx, 19)) features |= kCpuSSE41;

  // AVX state is usable only when the OS has enabled XSAVE and saves the XMM and YMM registers
  // (XCR0 bits 1 and 2); AVX-512 also needs the opmask and both ZMM halves (bits 5 to 7).
  bool ymmSaved = false;
  bool zmmSaved = false;
  if (bit(leaf1.Ecx, 27)) {  // OSXSAVE
    const std::uint64_t xcr0 = ReadXcr0();
    ymmSaved = (xcr0 & 0x06) == 0x06;
    zmmSaved = ymmSaved && (xcr0 & 0xE0) == 0xE0;
  }
  if (ymmSaved && bit(leaf1.Ecx, 28)) features |= kCpuAVX;

  TRegisters leaf7;
  if (Cpuid(7, 0, leaf7)) {
    if (bit(leaf7.Ebx, 3)) features |= kCpuBMI1;
    if (bit(leaf7.Ebx, 8)) features |= kCpuBMI2;
    if (bit(leaf7.Ebx, 29)) features |= kCpuSHA;
    if ((features & kCpuAVX) != 0 && bit(leaf7.Ebx, 5)) features |= kCpuAVX2;
    if (zmmSaved && bit(leaf7.Ebx, 16)) {
      features |= kCpuAVX512F;
      if (bit(leaf7.Ebx, 30)) features |= kCpuAVX512BW;
      if (bit(leaf7.Ebx, 31)) features |= kCpuAVX512VL;
    }
  }
#endif
  return features;
}

// The highest tier with any of `features`: the level a kernel needing them requires.
TCpuLevel LevelOfFeatures(std::uint32_t features) {
  for (std::size_t i = kCpuLevelCount; i-- > 1;) {
    if ((features & kTierFeatures[i]) != 0) return static_cast<TCpuLevel>(i);
  }
  return TCpuLevel::Portable;
}

// The highest tier whose required features are all in `features`. A tier present only in part
// does not count, so the level never claims a feature set the machine lacks; kernels still check
// their own features, so one that needs a feature the machine misses is never chosen.
TCpuLevel CompleteLevelOf(std::uint32_t features) {
  for (std::size_t i = kCpuLevelCount; i-- > 1;) {
    if ((features & kTierRequired[i]) == kTierRequired[i]) return static_cast<TCpuLevel>(i);
  }
  return TCpuLevel::Portable;
}

TCpuLevel InitialLevel() {
  const TCpuLevel detected = DetectedCpuLevel();
  const char* text = std::getenv(kCpuLevelVariable);
  if (text == nullptr) return detected;
  const std::optional<TCpuLevel> wanted = ParseCpuLevel(text);
  if (!wanted || *wanted > detected) return detected;
  return *wanted;
}

std::atomic<TCpuLevel>& LevelInForce() {
  static std::atomic<TCpuLevel> level{InitialLevel()};
  return level;
}

}  // namespace

std::uint32_t DetectedCpuFeatures() {
  static const std::uint32_t features = Detect();
  return features;
}

TCpuLevel DetectedCpuLevel() {
  return CompleteLevelOf(DetectedCpuFeatures());
}

TCpuLevel CpuLevel() {
  return LevelInForce().load(std::memory_order_relaxed);
}

std::uint32_t CpuFeatures() {
  const auto level = static_cast<std::size_t>(CpuLevel());
  std::uint32_t allowed = 0;
  for (std::size_t i = 0; i <= level; ++i) allowed |= kTierFeatures[i];
  return DetectedCpuFeatures() & allowed;
}

TCpuLevel ForceCpuLevel(TCpuLevel level) {
  const TCpuLevel detected = DetectedCpuLevel();
  const TCpuLevel effective = level > detected ? detected : level;
  LevelInForce().store(effective, std::memory_order_relaxed);
  return effective;
}

std::vector<TCpuLevel> AvailableCpuLevels() {
  std::vector<TCpuLevel> levels;
  const auto top = static_cast<std::size_t>(DetectedCpuLevel());
  for (std::size_t i = 0; i <= top; ++i) levels.push_back(static_cast<TCpuLevel>(i));
  return levels;
}

TCpuLevel CpuLevelOf(std::uint32_t features) {
  return LevelOfFeatures(features);
}

std::string_view CpuLevelName(TCpuLevel level) {
  const auto i = static_cast<std::size_t>(level);
  return i < kCpuLevelCount ? kLevelNames[i] : std::string_view("unknown");
}

std::optional<TCpuLevel> ParseCpuLevel(std::string_view name) {
  for (std::size_t i = 0; i < kCpuLevelCount; ++i) {
    if (name == kLevelNames[i]) return static_cast<TCpuLevel>(i);
  }
  return std::nullopt;
}

std::string_view DetectedCpuFeatureNames() {
  static const std::string names = [] {
    std::string text;
    const std::uint32_t features = DetectedCpuFeatures();
    for (const TFeatureName& entry : kFeatureNames) {
      if ((features & entry.Feature) == 0) continue;
      if (!text.empty()) text += ' ';
      text += entry.Name;
    }
    return text;
  }();
  return names;
}

}  // namespace tarvolin::platform
