// The mixing of the portable BLAKE2s, BLAKE2b and BLAKE3 compressions: sixteen working words seen
// as a 4x4 matrix, each round G on the four columns and then on the four diagonals, taking the
// message words in the round's order.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

namespace tarvolin::hash::blake {

/// G with the rotations `kR0` to `kR3` (BLAKE2s and BLAKE3: 16, 12, 8, 7; BLAKE2b: 32, 24, 16,
/// 63), adding the message words `x` and `y`.
template <int kR0, int kR1, int kR2, int kR3, typename Word>
[[gnu::always_inline]] inline void G(Word& a, Word& b, Word& c, Word& d, Word x, Word y) {
  a += b + x;
  d = std::rotr(d ^ a, kR0);
  c += d;
  b = std::rotr(b ^ c, kR1);
  a += b + y;
  d = std::rotr(d ^ a, kR2);
  c += d;
  b = std::rotr(b ^ c, kR3);
}

/// `kRounds` rounds over `v`; `m(i)` is message word i, and round r takes the words in the order
/// `schedule[r]`. The message is read where it is used rather than copied first, and the loop is
/// unrolled completely, so every index is a constant and the working words live in registers.
template <int kR0, int kR1, int kR2, int kR3, int kRounds, typename Word, typename Message>
[[gnu::always_inline]] inline void Rounds(Word (&v)[16], Message m,
                                          const std::uint8_t (*schedule)[16]) {
#pragma GCC unroll 12
  for (int r = 0; r < kRounds; ++r) {
    const std::uint8_t* s = schedule[r];
    G<kR0, kR1, kR2, kR3>(v[0], v[4], v[8], v[12], m(s[0]), m(s[1]));
    G<kR0, kR1, kR2, kR3>(v[1], v[5], v[9], v[13], m(s[2]), m(s[3]));
    G<kR0, kR1, kR2, kR3>(v[2], v[6], v[10], v[14], m(s[4]), m(s[5]));
    G<kR0, kR1, kR2, kR3>(v[3], v[7], v[11], v[15], m(s[6]), m(s[7]));
    G<kR0, kR1, kR2, kR3>(v[0], v[5], v[10], v[15], m(s[8]), m(s[9]));
    G<kR0, kR1, kR2, kR3>(v[1], v[6], v[11], v[12], m(s[10]), m(s[11]));
    G<kR0, kR1, kR2, kR3>(v[2], v[7], v[8], v[13], m(s[12]), m(s[13]));
    G<kR0, kR1, kR2, kR3>(v[3], v[4], v[9], v[14], m(s[14]), m(s[15]));
  }
}

}  // namespace tarvolin::hash::blake
