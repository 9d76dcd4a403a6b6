// The Keccak-f[1600] permutation (FIPS 202) and the sponge absorption built on it, with the
// absorption kernels the SHA-3 engines pick from. Kept apart from the engines so that a tuned
// variant replaces exactly this unit.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/cpu_features.h"

namespace tarvolin::hash::keccak {

/// Number of 64-bit lanes of the 1600-bit state.
inline constexpr std::size_t kLanes = 25;

// clang-format off
/// Round constants of the iota step (FIPS 202, 3.2.5), one per round.
inline constexpr std::uint64_t kRoundConstants[24] = {
    0x0000000000000001ULL, 0x0000000000008082ULL, 0x800000000000808aULL, 0x8000000080008000ULL,
    0x000000000000808bULL, 0x0000000080000001ULL, 0x8000000080008081ULL, 0x8000000000008009ULL,
    0x000000000000008aULL, 0x0000000000000088ULL, 0x0000000080008009ULL, 0x000000008000000aULL,
    0x000000008000808bULL, 0x800000000000008bULL, 0x8000000000008089ULL, 0x8000000000008003ULL,
    0x8000000000008002ULL, 0x8000000000000080ULL, 0x000000000000800aULL, 0x800000008000000aULL,
    0x8000000080008081ULL, 0x8000000000008080ULL, 0x0000000080000001ULL, 0x8000000080008008ULL,
};

/// Rotation of lane (x, y) in the rho step (FIPS 202, 3.2.2), at index x + 5y.
inline constexpr int kRotations[kLanes] = {
     0,  1, 62, 28, 27,
    36, 44,  6, 55, 20,
     3, 10, 43, 25, 39,
    41, 45, 15, 21,  8,
    18,  2, 61, 56, 14,
};
// clang-format on

/// Applies Keccak-f[1600] (Keccak-p[1600, 24]) to `state`; lane (x, y) is `state[x + 5 * y]`,
/// holding state bytes 8(x + 5y) to 8(x + 5y) + 7 in little-endian order.
void Permute(std::uint64_t (&state)[kLanes]);

/// Absorbs `blocks` consecutive blocks of `rateLanes` little-endian 64-bit words (1 to 25) from
/// `data`: each block is XORed into the first `rateLanes` lanes, then the state is permuted.
using TAbsorb = void (*)(std::uint64_t (&state)[kLanes], const std::uint8_t* data,
                         std::size_t blocks, std::size_t rateLanes);
using TAbsorbKernel = platform::TKernel<TAbsorb>;

/// The absorption kernel for the level in force; engines ask once, when constructed.
const TAbsorbKernel& AbsorbKernel();

// Portable kernel (every build).
void AbsorbPortable(std::uint64_t (&state)[kLanes], const std::uint8_t* data, std::size_t blocks,
                    std::size_t rateLanes);

#if defined(TARVOLIN_X86_KERNELS)
// x86-64 variants, each in its own file and compiled for its instruction set only.
void AbsorbBmi2(std::uint64_t (&state)[kLanes], const std::uint8_t* data, std::size_t blocks,
                std::size_t rateLanes);
void AbsorbAvx512(std::uint64_t (&state)[kLanes], const std::uint8_t* data, std::size_t blocks,
                  std::size_t rateLanes);
#endif

}  // namespace tarvolin::hash::keccak
