// The scalar Keccak-f[1600] rounds with the 25 lanes in locals, and the sponge absorption built
// on them. Included by keccak.cpp (the portable kernel) and keccak_bmi2.cpp (the same code built
// for ANDN and RORX), which first define TARVOLIN_KECCAK_TARGET: their target attribute, or
// nothing. Every name here has internal linkage, so each includer gets its own copy.
#pragma once

#include <cstddef>
#include <cstdint>

#include "hash/bits.h"
#include "hash/keccak.h"

#ifndef TARVOLIN_KECCAK_TARGET
#error "define TARVOLIN_KECCAK_TARGET before including keccak_rounds.h"
#endif

namespace tarvolin::hash::keccak {
namespace {

using bits::LoadLE64;
using bits::Rotl64;

// Lane (x, y) of the set S is the local S##xy. One round reads set S and writes set T:
// theta (column parities c, their mix d), then rho and pi into the plane b of each output row,
// then chi along the row; iota goes on lane (0, 0).
// clang-format off
#define KECCAK_ROUND(S, T, rc) \
  { \
    c0 = S##00 ^ S##01 ^ S##02 ^ S##03 ^ S##04; \
    c1 = S##10 ^ S##11 ^ S##12 ^ S##13 ^ S##14; \
    c2 = S##20 ^ S##21 ^ S##22 ^ S##23 ^ S##24; \
    c3 = S##30 ^ S##31 ^ S##32 ^ S##33 ^ S##34; \
    c4 = S##40 ^ S##41 ^ S##42 ^ S##43 ^ S##44; \
    d0 = c4 ^ Rotl64(c1, 1); \
    d1 = c0 ^ Rotl64(c2, 1); \
    d2 = c1 ^ Rotl64(c3, 1); \
    d3 = c2 ^ Rotl64(c4, 1); \
    d4 = c3 ^ Rotl64(c0, 1); \
    b0 = S##00 ^ d0; \
    b1 = Rotl64(S##11 ^ d1, 44); \
    b2 = Rotl64(S##22 ^ d2, 43); \
    b3 = Rotl64(S##33 ^ d3, 21); \
    b4 = Rotl64(S##44 ^ d4, 14); \
    T##00 = b0 ^ (~b1 & b2); \
    T##10 = b1 ^ (~b2 & b3); \
    T##20 = b2 ^ (~b3 & b4); \
    T##30 = b3 ^ (~b4 & b0); \
    T##40 = b4 ^ (~b0 & b1); \
    b0 = Rotl64(S##30 ^ d3, 28); \
    b1 = Rotl64(S##41 ^ d4, 20); \
    b2 = Rotl64(S##02 ^ d0, 3); \
    b3 = Rotl64(S##13 ^ d1, 45); \
    b4 = Rotl64(S##24 ^ d2, 61); \
    T##01 = b0 ^ (~b1 & b2); \
    T##11 = b1 ^ (~b2 & b3); \
    T##21 = b2 ^ (~b3 & b4); \
    T##31 = b3 ^ (~b4 & b0); \
    T##41 = b4 ^ (~b0 & b1); \
    b0 = Rotl64(S##10 ^ d1, 1); \
    b1 = Rotl64(S##21 ^ d2, 6); \
    b2 = Rotl64(S##32 ^ d3, 25); \
    b3 = Rotl64(S##43 ^ d4, 8); \
    b4 = Rotl64(S##04 ^ d0, 18); \
    T##02 = b0 ^ (~b1 & b2); \
    T##12 = b1 ^ (~b2 & b3); \
    T##22 = b2 ^ (~b3 & b4); \
    T##32 = b3 ^ (~b4 & b0); \
    T##42 = b4 ^ (~b0 & b1); \
    b0 = Rotl64(S##40 ^ d4, 27); \
    b1 = Rotl64(S##01 ^ d0, 36); \
    b2 = Rotl64(S##12 ^ d1, 10); \
    b3 = Rotl64(S##23 ^ d2, 15); \
    b4 = Rotl64(S##34 ^ d3, 56); \
    T##03 = b0 ^ (~b1 & b2); \
    T##13 = b1 ^ (~b2 & b3); \
    T##23 = b2 ^ (~b3 & b4); \
    T##33 = b3 ^ (~b4 & b0); \
    T##43 = b4 ^ (~b0 & b1); \
    b0 = Rotl64(S##20 ^ d2, 62); \
    b1 = Rotl64(S##31 ^ d3, 55); \
    b2 = Rotl64(S##42 ^ d4, 39); \
    b3 = Rotl64(S##03 ^ d0, 41); \
    b4 = Rotl64(S##14 ^ d1, 2); \
    T##04 = b0 ^ (~b1 & b2); \
    T##14 = b1 ^ (~b2 & b3); \
    T##24 = b2 ^ (~b3 & b4); \
    T##34 = b3 ^ (~b4 & b0); \
    T##44 = b4 ^ (~b0 & b1); \
    T##00 ^= (rc); \
  }
// clang-format on

#define KECCAK_DECLARE_LANES(S)                                                                  \
  std::uint64_t S##00, S##10, S##20, S##30, S##40, S##01, S##11, S##21, S##31, S##41, S##02,     \
      S##12, S##22, S##32, S##42, S##03, S##13, S##23, S##33, S##43, S##04, S##14, S##24, S##34, \
      S##44

#define KECCAK_LOAD(state)                                                             \
  a00 = state[0], a10 = state[1], a20 = state[2], a30 = state[3], a40 = state[4];      \
  a01 = state[5], a11 = state[6], a21 = state[7], a31 = state[8], a41 = state[9];      \
  a02 = state[10], a12 = state[11], a22 = state[12], a32 = state[13], a42 = state[14]; \
  a03 = state[15], a13 = state[16], a23 = state[17], a33 = state[18], a43 = state[19]; \
  a04 = state[20], a14 = state[21], a24 = state[22], a34 = state[23], a44 = state[24]

#define KECCAK_STORE(state)                                                            \
  state[0] = a00, state[1] = a10, state[2] = a20, state[3] = a30, state[4] = a40;      \
  state[5] = a01, state[6] = a11, state[7] = a21, state[8] = a31, state[9] = a41;      \
  state[10] = a02, state[11] = a12, state[12] = a22, state[13] = a32, state[14] = a42; \
  state[15] = a03, state[16] = a13, state[17] = a23, state[18] = a33, state[19] = a43; \
  state[20] = a04, state[21] = a14, state[22] = a24, state[23] = a34, state[24] = a44

// The 24 rounds, from set a through set e and back into a.
#define KECCAK_PERMUTE()                            \
  for (int round = 0; round < 24; round += 2) {     \
    KECCAK_ROUND(a, e, kRoundConstants[round]);     \
    KECCAK_ROUND(e, a, kRoundConstants[round + 1]); \
  }

TARVOLIN_KECCAK_TARGET inline void PermuteLanes(std::uint64_t (&state)[kLanes]) {
  KECCAK_DECLARE_LANES(a);
  KECCAK_DECLARE_LANES(e);
  std::uint64_t c0, c1, c2, c3, c4, d0, d1, d2, d3, d4, b0, b1, b2, b3, b4;
  KECCAK_LOAD(state);
  KECCAK_PERMUTE();
  KECCAK_STORE(state);
}

TARVOLIN_KECCAK_TARGET inline void AbsorbLanes(std::uint64_t (&state)[kLanes],
                                               const std::uint8_t* data, std::size_t blocks,
                                               std::size_t rateLanes) {
  KECCAK_DECLARE_LANES(a);
  KECCAK_DECLARE_LANES(e);
  std::uint64_t c0, c1, c2, c3, c4, d0, d1, d2, d3, d4, b0, b1, b2, b3, b4;
  KECCAK_LOAD(state);
  for (; blocks > 0; --blocks, data += 8 * rateLanes) {
    // Lane i of the block goes into lane i of the state; the rate decides where to enter.
    switch (rateLanes) {
      case 25:
        a44 ^= LoadLE64(data + 192);
        [[fallthrough]];
      case 24:
        a34 ^= LoadLE64(data + 184);
        [[fallthrough]];
      case 23:
        a24 ^= LoadLE64(data + 176);
        [[fallthrough]];
      case 22:
        a14 ^= LoadLE64(data + 168);
        [[fallthrough]];
      case 21:
        a04 ^= LoadLE64(data + 160);
        [[fallthrough]];
      case 20:
        a43 ^= LoadLE64(data + 152);
        [[fallthrough]];
      case 19:
        a33 ^= LoadLE64(data + 144);
        [[fallthrough]];
      case 18:
        a23 ^= LoadLE64(data + 136);
        [[fallthrough]];
      case 17:
        a13 ^= LoadLE64(data + 128);
        [[fallthrough]];
      case 16:
        a03 ^= LoadLE64(data + 120);
        [[fallthrough]];
      case 15:
        a42 ^= LoadLE64(data + 112);
        [[fallthrough]];
      case 14:
        a32 ^= LoadLE64(data + 104);
        [[fallthrough]];
      case 13:
        a22 ^= LoadLE64(data + 96);
        [[fallthrough]];
      case 12:
        a12 ^= LoadLE64(data + 88);
        [[fallthrough]];
      case 11:
        a02 ^= LoadLE64(data + 80);
        [[fallthrough]];
      case 10:
        a41 ^= LoadLE64(data + 72);
        [[fallthrough]];
      case 9:
        a31 ^= LoadLE64(data + 64);
        [[fallthrough]];
      case 8:
        a21 ^= LoadLE64(data + 56);
        [[fallthrough]];
      case 7:
        a11 ^= LoadLE64(data + 48);
        [[fallthrough]];
      case 6:
        a01 ^= LoadLE64(data + 40);
        [[fallthrough]];
      case 5:
        a40 ^= LoadLE64(data + 32);
        [[fallthrough]];
      case 4:
        a30 ^= LoadLE64(data + 24);
        [[fallthrough]];
      case 3:
        a20 ^= LoadLE64(data + 16);
        [[fallthrough]];
      case 2:
        a10 ^= LoadLE64(data + 8);
        [[fallthrough]];
      case 1:
        a00 ^= LoadLE64(data + 0);
        break;
      default:
        break;
    }
    KECCAK_PERMUTE();
  }
  KECCAK_STORE(state);
}

#undef KECCAK_PERMUTE
#undef KECCAK_STORE
#undef KECCAK_LOAD
#undef KECCAK_DECLARE_LANES
#undef KECCAK_ROUND

}  // namespace
}  // namespace tarvolin::hash::keccak
