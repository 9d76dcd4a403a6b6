// The shared body of the x86-64 BLAKE2 kernels: the sixteen working words as four rows of four,
// one vector each (BLAKE2s: 32-bit words in 128-bit rows; BLAKE2b: 64-bit words in 256-bit rows),
// so each half of a round runs its four G functions at once. Included only by kernel files, which
// first define TARVOLIN_BLAKE2_TARGET (their target attribute), TARVOLIN_BLAKE2S_ROWS and/or
// TARVOLIN_BLAKE2B_ROWS for the variants they build (a 256-bit row type must not even be declared
// in code built without AVX), and RotateRight<kBits> on each row type. Every name here has
// internal linkage, so each kernel gets its own copy built for its instructions.
#pragma once

#include <immintrin.h>

#include <cstddef>
#include <cstdint>

#include "hash/bits.h"
#include "hash/blake2_kernels.h"

#ifndef TARVOLIN_BLAKE2_TARGET
#error "define TARVOLIN_BLAKE2_TARGET before including blake2_x86.h"
#endif

/// The helpers are always inlined: the rows stay in registers for the whole block.
#define TARVOLIN_BLAKE2_INLINE [[gnu::always_inline]] TARVOLIN_BLAKE2_TARGET inline

namespace tarvolin::hash::blake2 {
namespace {

/// The row operations of each word size.
template <typename Word>
struct TRows;

#if defined(TARVOLIN_BLAKE2S_ROWS)
/// BLAKE2s: 32-bit words in 128-bit rows, ten rounds, rotations 16, 12, 8 and 7.
template <>
struct TRows<std::uint32_t> {
  using Vec = __m128i;
  static constexpr int kRounds = 10;
  static constexpr int kRotations[4] = {16, 12, 8, 7};

  TARVOLIN_BLAKE2_INLINE static Vec Load(const std::uint32_t* p) {
    return _mm_loadu_si128(reinterpret_cast<const Vec*>(p));
  }
  TARVOLIN_BLAKE2_INLINE static void Store(std::uint32_t* p, Vec v) {
    _mm_storeu_si128(reinterpret_cast<Vec*>(p), v);
  }
  /// Four words, lane 0 first.
  TARVOLIN_BLAKE2_INLINE static Vec Set(std::uint32_t w0, std::uint32_t w1, std::uint32_t w2,
                                        std::uint32_t w3) {
    return _mm_setr_epi32(static_cast<int>(w0), static_cast<int>(w1), static_cast<int>(w2),
                          static_cast<int>(w3));
  }
  TARVOLIN_BLAKE2_INLINE static Vec Add(Vec a, Vec b) { return _mm_add_epi32(a, b); }
  TARVOLIN_BLAKE2_INLINE static Vec Xor(Vec a, Vec b) { return _mm_xor_si128(a, b); }
  /// The lanes in the order `kOrder` (an _MM_SHUFFLE value).
  template <int kOrder>
  TARVOLIN_BLAKE2_INLINE static Vec Turn(Vec v) {
    return _mm_shuffle_epi32(v, kOrder);
  }
};

#endif

#if defined(TARVOLIN_BLAKE2B_ROWS)
/// BLAKE2b: 64-bit words in 256-bit rows, twelve rounds, rotations 32, 24, 16 and 63.
template <>
struct TRows<std::uint64_t> {
  using Vec = __m256i;
  static constexpr int kRounds = 12;
  static constexpr int kRotations[4] = {32, 24, 16, 63};

  TARVOLIN_BLAKE2_INLINE static Vec Load(const std::uint64_t* p) {
    return _mm256_loadu_si256(reinterpret_cast<const Vec*>(p));
  }
  TARVOLIN_BLAKE2_INLINE static void Store(std::uint64_t* p, Vec v) {
    _mm256_storeu_si256(reinterpret_cast<Vec*>(p), v);
  }
  TARVOLIN_BLAKE2_INLINE static Vec Set(std::uint64_t w0, std::uint64_t w1, std::uint64_t w2,
                                        std::uint64_t w3) {
    return _mm256_set_epi64x(static_cast<long long>(w3), static_cast<long long>(w2),
                             static_cast<long long>(w1), static_cast<long long>(w0));
  }
  TARVOLIN_BLAKE2_INLINE static Vec Add(Vec a, Vec b) { return _mm256_add_epi64(a, b); }
  TARVOLIN_BLAKE2_INLINE static Vec Xor(Vec a, Vec b) { return _mm256_xor_si256(a, b); }
  template <int kOrder>
  TARVOLIN_BLAKE2_INLINE static Vec Turn(Vec v) {
    return _mm256_permute4x64_epi64(v, kOrder);
  }
};
#endif

/// Hides `v` from the optimiser, so a sum is not reassociated across this point.
#define TARVOLIN_BLAKE2_FENCE(v) __asm__("" : "+v"(v))

/// a + x + b with a + x formed first: a and x are known well before b, the last word a G writes,
/// so the chain from b to the new a is one addition. (Left to itself, the compiler adds b first
/// and every half G waits one more addition.)
template <typename Word, typename Vec = typename TRows<Word>::Vec>
TARVOLIN_BLAKE2_INLINE Vec AddLast(Vec a, Vec x, Vec b) {
  Vec ax = TRows<Word>::Add(a, x);
  TARVOLIN_BLAKE2_FENCE(ax);
  return TRows<Word>::Add(ax, b);
}

/// Four G functions, one per lane.
template <typename Word, typename Vec = typename TRows<Word>::Vec>
TARVOLIN_BLAKE2_INLINE void G4(Vec& a, Vec& b, Vec& c, Vec& d, Vec x, Vec y) {
  using R = TRows<Word>;
  a = AddLast<Word>(a, x, b);
  d = RotateRight<R::kRotations[0]>(R::Xor(d, a));
  c = R::Add(c, d);
  b = RotateRight<R::kRotations[1]>(R::Xor(b, c));
  a = AddLast<Word>(a, y, b);
  d = RotateRight<R::kRotations[2]>(R::Xor(d, a));
  c = R::Add(c, d);
  b = RotateRight<R::kRotations[3]>(R::Xor(b, c));
}

/// One round. The diagonal step keeps row b in place and turns rows a, c and d instead, so lane
/// i computes G(v[(i+3)%4], v[4+i], v[8+(i+1)%4], v[12+(i+2)%4]). Row b is the last one a G
/// writes and the first the next one reads, so its lanes never wait for a shuffle; a, c and d
/// are finished early enough for their shuffles to run beside the end of the step.
template <typename Word, typename Vec = typename TRows<Word>::Vec>
TARVOLIN_BLAKE2_INLINE void Round(Vec& a, Vec& b, Vec& c, Vec& d, const Word* m,
                                  const std::uint8_t* s) {
  using R = TRows<Word>;
  G4<Word>(a, b, c, d, R::Set(m[s[0]], m[s[2]], m[s[4]], m[s[6]]),
           R::Set(m[s[1]], m[s[3]], m[s[5]], m[s[7]]));
  a = R::template Turn<_MM_SHUFFLE(2, 1, 0, 3)>(a);
  c = R::template Turn<_MM_SHUFFLE(0, 3, 2, 1)>(c);
  d = R::template Turn<_MM_SHUFFLE(1, 0, 3, 2)>(d);
  G4<Word>(a, b, c, d, R::Set(m[s[14]], m[s[8]], m[s[10]], m[s[12]]),
           R::Set(m[s[15]], m[s[9]], m[s[11]], m[s[13]]));
  a = R::template Turn<_MM_SHUFFLE(0, 3, 2, 1)>(a);
  c = R::template Turn<_MM_SHUFFLE(2, 1, 0, 3)>(c);
  d = R::template Turn<_MM_SHUFFLE(1, 0, 3, 2)>(d);
}

template <typename Word>
TARVOLIN_BLAKE2_INLINE void CompressBlocks(Word* state, Word* counter, const std::uint8_t* data,
                                           std::size_t blocks, Word increment, Word f0, Word f1) {
  using R = TRows<Word>;
  using Vec = typename R::Vec;
  constexpr std::size_t kBlockBytes = 16 * sizeof(Word);
  const Vec ivLow = R::Load(kIv<Word>);
  const Vec ivHigh = R::Load(kIv<Word> + 4);
  Vec h0 = R::Load(state);
  Vec h1 = R::Load(state + 4);
  for (; blocks > 0; --blocks, data += kBlockBytes) {
#pragma GCC unroll 2
    for (std::size_t line = 0; line < kBlockBytes; line += 64) {
      bits::PrefetchAhead(data + line, 1024);
    }
    counter[0] += increment;
    if (counter[0] < increment) ++counter[1];
    Word m[16];
#pragma GCC unroll 16
    for (int i = 0; i < 16; ++i)
      m[i] = bits::Load<Word, std::endian::little>(data + sizeof(Word) * i);
    Vec a = h0, b = h1, c = ivLow;
    Vec d = R::Xor(ivHigh, R::Set(counter[0], counter[1], f0, f1));
#pragma GCC unroll 12
    for (int r = 0; r < R::kRounds; ++r) Round(a, b, c, d, m, kSigma[r]);
    h0 = R::Xor(h0, R::Xor(a, c));
    h1 = R::Xor(h1, R::Xor(b, d));
  }
  R::Store(state, h0);
  R::Store(state + 4, h1);
}

}  // namespace
}  // namespace tarvolin::hash::blake2
