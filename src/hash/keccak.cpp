// The portable Keccak-f[1600] and sponge absorption (the rounds live in keccak_rounds.h), and the
// table of absorption kernels.
#include "hash/keccak.h"

#define TARVOLIN_KECCAK_TARGET
#include "hash/keccak_rounds.h"

namespace tarvolin::hash::keccak {

void Permute(std::uint64_t (&state)[kLanes]) {
  PermuteLanes(state);
}

void AbsorbPortable(std::uint64_t (&state)[kLanes], const std::uint8_t* data, std::size_t blocks,
                    std::size_t rateLanes) {
  AbsorbLanes(state, data, blocks, rateLanes);
}

// Best first; the portable kernel ends the table and always qualifies.
const TAbsorbKernel& AbsorbKernel() {
  static constexpr TAbsorbKernel kTable[] = {
#if defined(TARVOLIN_X86_KERNELS)
    {"avx512", platform::kCpuAVX512F | platform::kCpuAVX2, AbsorbAvx512},
    {"bmi2", platform::kCpuBMI1 | platform::kCpuBMI2, AbsorbBmi2},
#endif
    {"portable", 0, AbsorbPortable},
  };
  return platform::SelectKernel(kTable);
}

}  // namespace tarvolin::hash::keccak
