// The Keccak-f[1600] permutation (FIPS 202) and the sponge absorption built on it. Kept apart
// from the SHA-3 engines so that a tuned variant can replace exactly this unit.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tarvolin::hash::keccak {

/// Number of 64-bit lanes of the 1600-bit state.
inline constexpr std::size_t kLanes = 25;

/// Applies Keccak-f[1600] (Keccak-p[1600, 24]) to `state`; lane (x, y) is `state[x + 5 * y]`,
/// holding state bytes 8(x + 5y) to 8(x + 5y) + 7 in little-endian order.
void Permute(std::uint64_t (&state)[kLanes]);

/// Absorbs `blocks` consecutive blocks of `rateLanes` little-endian 64-bit words (1 to 25) from
/// `data`: each block is XORed into the first `rateLanes` lanes, then the state is permuted.
void Absorb(std::uint64_t (&state)[kLanes], const std::uint8_t* data, std::size_t blocks,
            std::size_t rateLanes);

}  // namespace tarvolin::hash::keccak
