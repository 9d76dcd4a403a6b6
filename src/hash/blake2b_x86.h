// The shared body of the x86-64 BLAKE2b kernels: the sixteen working words as four rows of four
// in 256-bit vectors, so each half of a round runs its four G functions at once. Included only by
// kernel files, which first define TARVOLIN_BLAKE2B_TARGET (their target attribute) and the
// rotations RotateRight32/24/16/63 on __m256i. Every name here has internal linkage, so each
// kernel gets its own copy built for its instructions.
#pragma once

#include <immintrin.h>

#include <cstddef>
#include <cstdint>

#include "hash/bits.h"
#include "hash/blake2_kernels.h"

#ifndef TARVOLIN_BLAKE2B_TARGET
#error "define TARVOLIN_BLAKE2B_TARGET before including blake2b_x86.h"
#endif

/// The helpers are always inlined: the rows stay in registers for the whole block.
#define TARVOLIN_BLAKE2B_INLINE [[gnu::always_inline]] TARVOLIN_BLAKE2B_TARGET inline

namespace tarvolin::hash::blake2 {
namespace {

/// Four message words, lane 0 first.
TARVOLIN_BLAKE2B_INLINE __m256i Words(const std::uint64_t* m, int i0, int i1, int i2, int i3) {
  return _mm256_set_epi64x(static_cast<long long>(m[i3]), static_cast<long long>(m[i2]),
                           static_cast<long long>(m[i1]), static_cast<long long>(m[i0]));
}

/// Hides `v` from the optimiser, so a sum is not reassociated across this point.
#define TARVOLIN_BLAKE2B_FENCE(v) __asm__("" : "+v"(v))

/// a + x + b with a + x formed first: a and x are known well before b, the last word a G writes,
/// so the chain from b to the new a is one addition. (Left to itself, the compiler adds b first
/// and every half G waits one more addition.)
TARVOLIN_BLAKE2B_INLINE __m256i AddLast(__m256i a, __m256i x, __m256i b) {
  __m256i ax = _mm256_add_epi64(a, x);
  TARVOLIN_BLAKE2B_FENCE(ax);
  return _mm256_add_epi64(ax, b);
}

/// Four G functions, one per lane.
TARVOLIN_BLAKE2B_INLINE void G4(__m256i& a, __m256i& b, __m256i& c, __m256i& d, __m256i x,
                                __m256i y) {
  a = AddLast(a, x, b);
  d = RotateRight32(_mm256_xor_si256(d, a));
  c = _mm256_add_epi64(c, d);
  b = RotateRight24(_mm256_xor_si256(b, c));
  a = AddLast(a, y, b);
  d = RotateRight16(_mm256_xor_si256(d, a));
  c = _mm256_add_epi64(c, d);
  b = RotateRight63(_mm256_xor_si256(b, c));
}

/// One round. The diagonal step keeps row b in place and turns rows a, c and d instead, so lane
/// i computes G(v[(i+3)%4], v[4+i], v[8+(i+1)%4], v[12+(i+2)%4]). Row b is the last one a G
/// writes and the first the next one reads, so its lanes never wait for a permute; a, c and d
/// are finished early enough for their permutes to run beside the end of the step.
TARVOLIN_BLAKE2B_INLINE void Round(__m256i& a, __m256i& b, __m256i& c, __m256i& d,
                                   const std::uint64_t* m, const std::uint8_t* s) {
  G4(a, b, c, d, Words(m, s[0], s[2], s[4], s[6]), Words(m, s[1], s[3], s[5], s[7]));
  a = _mm256_permute4x64_epi64(a, _MM_SHUFFLE(2, 1, 0, 3));
  c = _mm256_permute4x64_epi64(c, _MM_SHUFFLE(0, 3, 2, 1));
  d = _mm256_permute4x64_epi64(d, _MM_SHUFFLE(1, 0, 3, 2));
  G4(a, b, c, d, Words(m, s[14], s[8], s[10], s[12]), Words(m, s[15], s[9], s[11], s[13]));
  a = _mm256_permute4x64_epi64(a, _MM_SHUFFLE(0, 3, 2, 1));
  c = _mm256_permute4x64_epi64(c, _MM_SHUFFLE(2, 1, 0, 3));
  d = _mm256_permute4x64_epi64(d, _MM_SHUFFLE(1, 0, 3, 2));
}

TARVOLIN_BLAKE2B_INLINE void CompressBlocks(std::uint64_t* state, std::uint64_t* counter,
                                            const std::uint8_t* data, std::size_t blocks,
                                            std::uint64_t increment, std::uint64_t f0,
                                            std::uint64_t f1) {
  const __m256i ivLow =
      _mm256_set_epi64x(0xA54FF53A5F1D36F1LL, 0x3C6EF372FE94F82BLL,
                        static_cast<long long>(0xBB67AE8584CAA73BULL), 0x6A09E667F3BCC908LL);
  const __m256i ivHigh =
      _mm256_set_epi64x(0x5BE0CD19137E2179LL, 0x1F83D9ABFB41BD6BLL,
                        static_cast<long long>(0x9B05688C2B3E6C1FULL), 0x510E527FADE682D1LL);
  __m256i h0 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(state));
  __m256i h1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(state + 4));
  for (; blocks > 0; --blocks, data += 128) {
    bits::PrefetchAhead(data, 1024);
    bits::PrefetchAhead(data + 64, 1024);
    counter[0] += increment;
    if (counter[0] < increment) ++counter[1];
    std::uint64_t m[16];
#pragma GCC unroll 16
    for (int i = 0; i < 16; ++i) m[i] = bits::LoadLE64(data + 8 * i);
    __m256i a = h0, b = h1, c = ivLow;
    __m256i d = _mm256_xor_si256(
        ivHigh,
        _mm256_set_epi64x(static_cast<long long>(f1), static_cast<long long>(f0),
                          static_cast<long long>(counter[1]), static_cast<long long>(counter[0])));
#pragma GCC unroll 12
    for (int r = 0; r < 12; ++r) Round(a, b, c, d, m, kSigma[r]);
    h0 = _mm256_xor_si256(h0, _mm256_xor_si256(a, c));
    h1 = _mm256_xor_si256(h1, _mm256_xor_si256(b, d));
  }
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(state), h0);
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(state + 4), h1);
}

}  // namespace
}  // namespace tarvolin::hash::blake2
