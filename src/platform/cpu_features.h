// CPU features detected once at start, the dispatch level that caps them, and the kernel tables
// every hash family picks its compression code from.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace tarvolin::platform {

/// Instruction-set tiers, lowest first. A level is a ceiling: forcing one hides every feature of
/// the tiers above it, so kernels of those tiers are not chosen.
///   Portable: plain C++ only.
///   SSE41:    SSSE3, SSE4.1 and the SHA extensions.
///   AVX2:     AVX, AVX2, BMI1 and BMI2.
///   AVX512:   AVX-512 F, VL and BW.
enum class TCpuLevel : std::uint8_t { Portable, SSE41, AVX2, AVX512 };

inline constexpr std::size_t kCpuLevelCount = 4;

/// CPU features, as bits of a mask. Each belongs to one tier of `TCpuLevel`.
enum TCpuFeature : std::uint32_t {
  kCpuSSSE3 = 1u << 0,
  kCpuSSE41 = 1u << 1,
  kCpuSHA = 1u << 2,  ///< SHA-1 and SHA-256 instructions (SHA-NI)
  kCpuAVX = 1u << 3,
  kCpuAVX2 = 1u << 4,
  kCpuBMI1 = 1u << 5,
  kCpuBMI2 = 1u << 6,
  kCpuAVX512F = 1u << 7,
  kCpuAVX512VL = 1u << 8,
  kCpuAVX512BW = 1u << 9,
};

/// The features the processor and the operating system support (AVX and AVX-512 only when the
/// OS saves their registers), whatever level is forced. Detected on first use.
std::uint32_t DetectedCpuFeatures();

/// The highest level whose tier is complete on this machine: every feature of that tier is
/// present, the SHA extensions excepted (optional in their tier). A feature the machine lacks is
/// never used: kernels that need it are not chosen.
TCpuLevel DetectedCpuLevel();

/// The environment variable that lowers the level in force.
inline constexpr const char* kCpuLevelVariable = "TARVOLIN_CPU_LEVEL";

/// The level in force: the detected one, lowered by `ForceCpuLevel` or by the environment
/// variable TARVOLIN_CPU_LEVEL (portable, sse41, avx2 or avx512), read once.
TCpuLevel CpuLevel();

/// The detected features that the level in force lets kernels use.
std::uint32_t CpuFeatures();

/// Whether every feature of `mask` may be used at the level in force.
inline bool HasCpuFeatures(std::uint32_t mask) {
  return (CpuFeatures() & mask) == mask;
}

/// Caps the level for engines constructed from now on (for tests and benchmarks). A level above
/// the detected one is lowered to it. Returns the level now in force.
TCpuLevel ForceCpuLevel(TCpuLevel level);

/// Every level from portable up to the detected one.
std::vector<TCpuLevel> AvailableCpuLevels();

/// The tier a feature mask needs: the highest tier of its features.
TCpuLevel CpuLevelOf(std::uint32_t features);

/// Lower-case name: "portable", "sse41", "avx2", "avx512".
std::string_view CpuLevelName(TCpuLevel level);

/// The level of a lower-case name; nothing for an unknown name.
std::optional<TCpuLevel> ParseCpuLevel(std::string_view name);

/// The names of the detected features, separated by spaces (for benchmark and diagnostic output).
std::string_view DetectedCpuFeatureNames();

/// One compiled kernel of a family: a short name ("portable", "shani", "avx2"...), the features
/// it needs and its entry point.
template <typename Function>
struct TKernel {
  std::string_view Name;
  std::uint32_t Features;
  Function Entry;
};

/// The first kernel of `table` whose features the level in force allows. Tables list their
/// kernels best first and end with the portable one (features 0), which always qualifies.
template <typename Function, std::size_t N>
const TKernel<Function>& SelectKernel(const TKernel<Function> (&table)[N]) {
  static_assert(N > 0, "a kernel table needs at least the portable kernel");
  const std::uint32_t features = CpuFeatures();
  for (const TKernel<Function>& kernel : table) {
    if ((features & kernel.Features) == kernel.Features) return kernel;
  }
  return table[N - 1];
}

}  // namespace tarvolin::platform
