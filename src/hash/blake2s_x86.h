// The shared body of the x86-64 BLAKE2s kernels: the sixteen working words as four rows of four
// in 128-bit vectors, so each half of a round runs its four G functions at once. Included only by
// kernel files, which first define TARVOLIN_BLAKE2S_TARGET (their target attribute) and the
// rotations RotateRight16/12/8/7 on __m128i. Every name here has internal linkage, so each kernel
// gets its own copy built for its instructions.
#pragma once

#include <immintrin.h>

#include <cstddef>
#include <cstdint>

#include "hash/bits.h"
#include "hash/blake2_kernels.h"

#ifndef TARVOLIN_BLAKE2S_TARGET
#error "define TARVOLIN_BLAKE2S_TARGET before including blake2s_x86.h"
#endif

/// The helpers are always inlined: the rows stay in registers for the whole block.
#define TARVOLIN_BLAKE2S_INLINE [[gnu::always_inline]] TARVOLIN_BLAKE2S_TARGET inline

namespace tarvolin::hash::blake2 {
namespace {

/// Four message words, lane 0 first.
TARVOLIN_BLAKE2S_INLINE __m128i Words(const std::uint32_t* m, int i0, int i1, int i2, int i3) {
  return _mm_setr_epi32(static_cast<int>(m[i0]), static_cast<int>(m[i1]), static_cast<int>(m[i2]),
                        static_cast<int>(m[i3]));
}

/// Hides `v` from the optimiser, so a sum is not reassociated across this point.
#define TARVOLIN_BLAKE2S_FENCE(v) __asm__("" : "+v"(v))

/// a + x + b with a + x formed first: a and x are known well before b, the last word a G writes,
/// so the chain from b to the new a is one addition. (Left to itself, the compiler adds b first
/// and every half G waits one more addition.)
TARVOLIN_BLAKE2S_INLINE __m128i AddLast(__m128i a, __m128i x, __m128i b) {
  __m128i ax = _mm_add_epi32(a, x);
  TARVOLIN_BLAKE2S_FENCE(ax);
  return _mm_add_epi32(ax, b);
}

/// Four G functions, one per lane.
TARVOLIN_BLAKE2S_INLINE void G4(__m128i& a, __m128i& b, __m128i& c, __m128i& d, __m128i x,
                                __m128i y) {
  a = AddLast(a, x, b);
  d = RotateRight16(_mm_xor_si128(d, a));
  c = _mm_add_epi32(c, d);
  b = RotateRight12(_mm_xor_si128(b, c));
  a = AddLast(a, y, b);
  d = RotateRight8(_mm_xor_si128(d, a));
  c = _mm_add_epi32(c, d);
  b = RotateRight7(_mm_xor_si128(b, c));
}

/// One round. The diagonal step keeps row b in place and turns rows a, c and d instead, so lane
/// i computes G(v[(i+3)%4], v[4+i], v[8+(i+1)%4], v[12+(i+2)%4]). Row b is the last one a G
/// writes and the first the next one reads, so its lanes never wait for a shuffle.
TARVOLIN_BLAKE2S_INLINE void Round(__m128i& a, __m128i& b, __m128i& c, __m128i& d,
                                   const std::uint32_t* m, const std::uint8_t* s) {
  G4(a, b, c, d, Words(m, s[0], s[2], s[4], s[6]), Words(m, s[1], s[3], s[5], s[7]));
  a = _mm_shuffle_epi32(a, _MM_SHUFFLE(2, 1, 0, 3));
  c = _mm_shuffle_epi32(c, _MM_SHUFFLE(0, 3, 2, 1));
  d = _mm_shuffle_epi32(d, _MM_SHUFFLE(1, 0, 3, 2));
  G4(a, b, c, d, Words(m, s[14], s[8], s[10], s[12]), Words(m, s[15], s[9], s[11], s[13]));
  a = _mm_shuffle_epi32(a, _MM_SHUFFLE(0, 3, 2, 1));
  c = _mm_shuffle_epi32(c, _MM_SHUFFLE(2, 1, 0, 3));
  d = _mm_shuffle_epi32(d, _MM_SHUFFLE(1, 0, 3, 2));
}

TARVOLIN_BLAKE2S_INLINE void CompressBlocks(std::uint32_t* state, std::uint32_t* counter,
                                            const std::uint8_t* data, std::size_t blocks,
                                            std::uint32_t increment, std::uint32_t f0,
                                            std::uint32_t f1) {
  const __m128i ivLow = _mm_setr_epi32(0x6A09E667, static_cast<int>(0xBB67AE85u), 0x3C6EF372,
                                       static_cast<int>(0xA54FF53Au));
  const __m128i ivHigh =
      _mm_setr_epi32(0x510E527F, static_cast<int>(0x9B05688Cu), 0x1F83D9AB, 0x5BE0CD19);
  __m128i h0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(state));
  __m128i h1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(state + 4));
  for (; blocks > 0; --blocks, data += 64) {
    bits::PrefetchAhead(data, 1024);
    counter[0] += increment;
    if (counter[0] < increment) ++counter[1];
    std::uint32_t m[16];
#pragma GCC unroll 16
    for (int i = 0; i < 16; ++i) m[i] = bits::LoadLE32(data + 4 * i);
    __m128i a = h0, b = h1, c = ivLow;
    __m128i d = _mm_xor_si128(
        ivHigh, _mm_setr_epi32(static_cast<int>(counter[0]), static_cast<int>(counter[1]),
                               static_cast<int>(f0), static_cast<int>(f1)));
#pragma GCC unroll 10
    for (int r = 0; r < 10; ++r) Round(a, b, c, d, m, kSigma[r]);
    h0 = _mm_xor_si128(h0, _mm_xor_si128(a, c));
    h1 = _mm_xor_si128(h1, _mm_xor_si128(b, d));
  }
  _mm_storeu_si128(reinterpret_cast<__m128i*>(state), h0);
  _mm_storeu_si128(reinterpret_cast<__m128i*>(state + 4), h1);
}

}  // namespace
}  // namespace tarvolin::hash::blake2
