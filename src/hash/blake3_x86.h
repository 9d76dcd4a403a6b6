// The shared body of the x86-64 BLAKE3 kernels: one chunk or parent node per vector lane, the
// message words transposed so that vector i holds word i of every lane. Included only by kernel
// files, which first define TARVOLIN_BLAKE3_TARGET (their target attribute). Every name here has
// internal linkage, so each kernel gets its own copy built for its instructions.
#pragma once

// GCC 12's AVX-512 intrinsics start from deliberately undefined vectors (`__Y = __Y`), which
// -Wuninitialized reports once they are inlined; the warning is silenced for those headers only.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wuninitialized"
#if !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#include <immintrin.h>
#pragma GCC diagnostic pop

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "hash/blake3_kernels.h"

#ifndef TARVOLIN_BLAKE3_TARGET
#error "define TARVOLIN_BLAKE3_TARGET before including blake3_x86.h"
#endif

/// Helpers are always inlined: the rounds keep the state vectors in registers.
#define TARVOLIN_BLAKE3_INLINE [[gnu::always_inline]] TARVOLIN_BLAKE3_TARGET inline

namespace tarvolin::hash::blake3 {
namespace {

// ---------------------------------------------------------------------------------------------
// Lane types. Each offers the vector operations of the rounds, the transposed message load and
// the per-lane chunk counters. `kRor` selects the AVX-512VL rotation instruction; without it, the
// byte-sized rotations are byte shuffles and the others two shifts and an OR.

/// 4 lanes in 128-bit vectors.
template <bool kRor>
struct TLanes4 {
  using Vec = __m128i;
  static constexpr std::size_t kLanes = 4;
  /// Which item of a pass each lane hashes.
  static constexpr std::uint32_t kItemOfLane[kLanes] = {0, 1, 2, 3};

  TARVOLIN_BLAKE3_INLINE static Vec Set1(std::uint32_t x) {
    return _mm_set1_epi32(static_cast<int>(x));
  }
  TARVOLIN_BLAKE3_INLINE static Vec Add(Vec a, Vec b) { return _mm_add_epi32(a, b); }
  TARVOLIN_BLAKE3_INLINE static Vec Xor(Vec a, Vec b) { return _mm_xor_si128(a, b); }
  TARVOLIN_BLAKE3_INLINE static Vec Rot16(Vec x) {
    if constexpr (kRor) return _mm_ror_epi32(x, 16);
    return _mm_shuffle_epi8(x, _mm_setr_epi8(2, 3, 0, 1, 6, 7, 4, 5, 10, 11, 8, 9, 14, 15, 12, 13));
  }
  TARVOLIN_BLAKE3_INLINE static Vec Rot12(Vec x) {
    if constexpr (kRor) return _mm_ror_epi32(x, 12);
    return _mm_or_si128(_mm_srli_epi32(x, 12), _mm_slli_epi32(x, 20));
  }
  TARVOLIN_BLAKE3_INLINE static Vec Rot8(Vec x) {
    if constexpr (kRor) return _mm_ror_epi32(x, 8);
    return _mm_shuffle_epi8(x, _mm_setr_epi8(1, 2, 3, 0, 5, 6, 7, 4, 9, 10, 11, 8, 13, 14, 15, 12));
  }
  TARVOLIN_BLAKE3_INLINE static Vec Rot7(Vec x) {
    if constexpr (kRor) return _mm_ror_epi32(x, 7);
    return _mm_or_si128(_mm_srli_epi32(x, 7), _mm_slli_epi32(x, 25));
  }

  /// Each lane gets `counter` plus its item, split into low and high words.
  TARVOLIN_BLAKE3_INLINE static void Counters(std::uint64_t counter, Vec& low, Vec& high) {
    const Vec base = Set1(static_cast<std::uint32_t>(counter));
    low = _mm_add_epi32(base, _mm_loadu_si128(reinterpret_cast<const Vec*>(kItemOfLane)));
    // A lane whose low word wrapped carries into its high word (unsigned compare via the sign).
    const Vec sign = Set1(0x80000000u);
    const Vec carry = _mm_cmpgt_epi32(_mm_xor_si128(base, sign), _mm_xor_si128(low, sign));
    high = _mm_sub_epi32(Set1(static_cast<std::uint32_t>(counter >> 32)), carry);
  }

  /// Turns four rows of four words into four columns.
  TARVOLIN_BLAKE3_INLINE static void Transpose(Vec& r0, Vec& r1, Vec& r2, Vec& r3) {
    const Vec a0 = _mm_unpacklo_epi32(r0, r1);  // r0w0 r1w0 r0w1 r1w1
    const Vec a1 = _mm_unpackhi_epi32(r0, r1);  // r0w2 r1w2 r0w3 r1w3
    const Vec a2 = _mm_unpacklo_epi32(r2, r3);
    const Vec a3 = _mm_unpackhi_epi32(r2, r3);
    r0 = _mm_unpacklo_epi64(a0, a2);
    r1 = _mm_unpackhi_epi64(a0, a2);
    r2 = _mm_unpacklo_epi64(a1, a3);
    r3 = _mm_unpackhi_epi64(a1, a3);
  }

  /// m[i] := word i of the 64-byte block at `lanes[l] + offset`, for every lane l.
  TARVOLIN_BLAKE3_INLINE static void LoadMessage(const std::uint8_t* const* lanes,
                                                 std::size_t offset, Vec m[16]) {
    for (std::size_t q = 0; q < 4; ++q) {
      for (std::size_t l = 0; l < 4; ++l) {
        m[4 * q + l] = _mm_loadu_si128(reinterpret_cast<const Vec*>(lanes[l] + offset + 16 * q));
      }
      Transpose(m[4 * q], m[4 * q + 1], m[4 * q + 2], m[4 * q + 3]);
    }
  }

  /// Writes the 8 chaining-value words of every lane to `out + 8 * item`.
  TARVOLIN_BLAKE3_INLINE static void StoreCvs(const Vec cv[8], std::uint32_t* out) {
    for (std::size_t h = 0; h < 2; ++h) {
      Vec r[4] = {cv[4 * h], cv[4 * h + 1], cv[4 * h + 2], cv[4 * h + 3]};
      Transpose(r[0], r[1], r[2], r[3]);
      for (std::size_t l = 0; l < 4; ++l) {
        _mm_storeu_si128(reinterpret_cast<Vec*>(out + 8 * l + 4 * h), r[l]);
      }
    }
  }
};

/// 8 lanes in 256-bit vectors.
template <bool kRor>
struct TLanes8 {
  using Vec = __m256i;
  static constexpr std::size_t kLanes = 8;
  static constexpr std::uint32_t kItemOfLane[kLanes] = {0, 1, 2, 3, 4, 5, 6, 7};

  TARVOLIN_BLAKE3_INLINE static Vec Set1(std::uint32_t x) {
    return _mm256_set1_epi32(static_cast<int>(x));
  }
  TARVOLIN_BLAKE3_INLINE static Vec Add(Vec a, Vec b) { return _mm256_add_epi32(a, b); }
  TARVOLIN_BLAKE3_INLINE static Vec Xor(Vec a, Vec b) { return _mm256_xor_si256(a, b); }
  TARVOLIN_BLAKE3_INLINE static Vec Rot16(Vec x) {
    if constexpr (kRor) return _mm256_ror_epi32(x, 16);
    return _mm256_shuffle_epi8(
        x, _mm256_setr_epi8(2, 3, 0, 1, 6, 7, 4, 5, 10, 11, 8, 9, 14, 15, 12, 13, 2, 3, 0, 1, 6, 7,
                            4, 5, 10, 11, 8, 9, 14, 15, 12, 13));
  }
  TARVOLIN_BLAKE3_INLINE static Vec Rot12(Vec x) {
    if constexpr (kRor) return _mm256_ror_epi32(x, 12);
    return _mm256_or_si256(_mm256_srli_epi32(x, 12), _mm256_slli_epi32(x, 20));
  }
  TARVOLIN_BLAKE3_INLINE static Vec Rot8(Vec x) {
    if constexpr (kRor) return _mm256_ror_epi32(x, 8);
    return _mm256_shuffle_epi8(
        x, _mm256_setr_epi8(1, 2, 3, 0, 5, 6, 7, 4, 9, 10, 11, 8, 13, 14, 15, 12, 1, 2, 3, 0, 5, 6,
                            7, 4, 9, 10, 11, 8, 13, 14, 15, 12));
  }
  TARVOLIN_BLAKE3_INLINE static Vec Rot7(Vec x) {
    if constexpr (kRor) return _mm256_ror_epi32(x, 7);
    return _mm256_or_si256(_mm256_srli_epi32(x, 7), _mm256_slli_epi32(x, 25));
  }

  TARVOLIN_BLAKE3_INLINE static void Counters(std::uint64_t counter, Vec& low, Vec& high) {
    const Vec base = Set1(static_cast<std::uint32_t>(counter));
    low = _mm256_add_epi32(base, _mm256_loadu_si256(reinterpret_cast<const Vec*>(kItemOfLane)));
    const Vec sign = Set1(0x80000000u);
    const Vec carry = _mm256_cmpgt_epi32(_mm256_xor_si256(base, sign), _mm256_xor_si256(low, sign));
    high = _mm256_sub_epi32(Set1(static_cast<std::uint32_t>(counter >> 32)), carry);
  }

  /// Turns eight rows of eight words into eight columns: unpack words, then pairs of words,
  /// then swap 128-bit halves between rows 0-3 and rows 4-7.
  TARVOLIN_BLAKE3_INLINE static void Transpose(Vec r[8]) {
    Vec a[8];
    for (std::size_t k = 0; k < 4; ++k) {
      a[2 * k] = _mm256_unpacklo_epi32(r[2 * k], r[2 * k + 1]);
      a[2 * k + 1] = _mm256_unpackhi_epi32(r[2 * k], r[2 * k + 1]);
    }
    Vec b[8];  // b[4g + i]: words i (low half) and 4 + i (high half) of rows 4g..4g+3
    for (std::size_t g = 0; g < 2; ++g) {
      b[4 * g + 0] = _mm256_unpacklo_epi64(a[4 * g], a[4 * g + 2]);
      b[4 * g + 1] = _mm256_unpackhi_epi64(a[4 * g], a[4 * g + 2]);
      b[4 * g + 2] = _mm256_unpacklo_epi64(a[4 * g + 1], a[4 * g + 3]);
      b[4 * g + 3] = _mm256_unpackhi_epi64(a[4 * g + 1], a[4 * g + 3]);
    }
    for (std::size_t i = 0; i < 4; ++i) {
      r[i] = _mm256_permute2x128_si256(b[i], b[4 + i], 0x20);
      r[4 + i] = _mm256_permute2x128_si256(b[i], b[4 + i], 0x31);
    }
  }

  /// Two 8x8 transposes, one per half block.
  TARVOLIN_BLAKE3_INLINE static void LoadMessage(const std::uint8_t* const* lanes,
                                                 std::size_t offset, Vec m[16]) {
    for (std::size_t h = 0; h < 2; ++h) {
      for (std::size_t l = 0; l < 8; ++l) {
        m[8 * h + l] = _mm256_loadu_si256(reinterpret_cast<const Vec*>(lanes[l] + offset + 32 * h));
      }
      Transpose(m + 8 * h);
    }
  }

  TARVOLIN_BLAKE3_INLINE static void StoreCvs(const Vec cv[8], std::uint32_t* out) {
    Vec r[8] = {cv[0], cv[1], cv[2], cv[3], cv[4], cv[5], cv[6], cv[7]};
    Transpose(r);
    for (std::size_t l = 0; l < 8; ++l) {
      _mm256_storeu_si256(reinterpret_cast<Vec*>(out + 8 * l), r[l]);
    }
  }
};

#if defined(TARVOLIN_BLAKE3_512)
/// 16 lanes in 512-bit vectors (AVX-512F); only the AVX-512 kernel, which defines
/// TARVOLIN_BLAKE3_512, sees them.
struct TLanes16 {
  using Vec = __m512i;
  static constexpr std::size_t kLanes = 16;
  /// Lanes i and 4 + i hash neighbouring items, as do lanes 8 + i and 12 + i: the transpose of
  /// the chaining values then leaves each pair in one vector, stored whole.
  static constexpr std::uint32_t kItemOfLane[kLanes] = {0, 2,  4,  6,  1, 3,  5,  7,
                                                        8, 10, 12, 14, 9, 11, 13, 15};

  TARVOLIN_BLAKE3_INLINE static Vec Set1(std::uint32_t x) {
    return _mm512_set1_epi32(static_cast<int>(x));
  }
  TARVOLIN_BLAKE3_INLINE static Vec Add(Vec a, Vec b) { return _mm512_add_epi32(a, b); }
  TARVOLIN_BLAKE3_INLINE static Vec Xor(Vec a, Vec b) { return _mm512_xor_si512(a, b); }
  TARVOLIN_BLAKE3_INLINE static Vec Rot16(Vec x) { return _mm512_ror_epi32(x, 16); }
  TARVOLIN_BLAKE3_INLINE static Vec Rot12(Vec x) { return _mm512_ror_epi32(x, 12); }
  TARVOLIN_BLAKE3_INLINE static Vec Rot8(Vec x) { return _mm512_ror_epi32(x, 8); }
  TARVOLIN_BLAKE3_INLINE static Vec Rot7(Vec x) { return _mm512_ror_epi32(x, 7); }

  TARVOLIN_BLAKE3_INLINE static void Counters(std::uint64_t counter, Vec& low, Vec& high) {
    const Vec base = Set1(static_cast<std::uint32_t>(counter));
    low = _mm512_add_epi32(base, _mm512_loadu_si512(kItemOfLane));
    const __mmask16 carry = _mm512_cmplt_epu32_mask(low, base);
    const Vec top = Set1(static_cast<std::uint32_t>(counter >> 32));
    high = _mm512_mask_add_epi32(top, carry, top, Set1(1));
  }

  /// A 16x16 transpose in four steps: unpack words and pairs of words (each 128-bit quarter
  /// then holds a 4x4 block), then two rounds of moving whole quarters between rows.
  TARVOLIN_BLAKE3_INLINE static void LoadMessage(const std::uint8_t* const* lanes,
                                                 std::size_t offset, Vec m[16]) {
    Vec r[16];
    for (std::size_t l = 0; l < 16; ++l) r[l] = _mm512_loadu_si512(lanes[l] + offset);
    Vec a[16];
    for (std::size_t k = 0; k < 8; ++k) {
      a[2 * k] = _mm512_unpacklo_epi32(r[2 * k], r[2 * k + 1]);
      a[2 * k + 1] = _mm512_unpackhi_epi32(r[2 * k], r[2 * k + 1]);
    }
    Vec b[16];  // quarter j of b[4g + i]: word 4j + i of rows 4g..4g+3
    for (std::size_t g = 0; g < 4; ++g) {
      b[4 * g + 0] = _mm512_unpacklo_epi64(a[4 * g], a[4 * g + 2]);
      b[4 * g + 1] = _mm512_unpackhi_epi64(a[4 * g], a[4 * g + 2]);
      b[4 * g + 2] = _mm512_unpacklo_epi64(a[4 * g + 1], a[4 * g + 3]);
      b[4 * g + 3] = _mm512_unpackhi_epi64(a[4 * g + 1], a[4 * g + 3]);
    }
    // 0x88 takes quarters 0 and 2 of each source, 0xDD quarters 1 and 3.
    for (std::size_t i = 0; i < 4; ++i) {
      const Vec y0 = _mm512_shuffle_i32x4(b[i], b[4 + i], 0x88);
      const Vec y1 = _mm512_shuffle_i32x4(b[i], b[4 + i], 0xDD);
      const Vec y2 = _mm512_shuffle_i32x4(b[8 + i], b[12 + i], 0x88);
      const Vec y3 = _mm512_shuffle_i32x4(b[8 + i], b[12 + i], 0xDD);
      m[i] = _mm512_shuffle_i32x4(y0, y2, 0x88);
      m[4 + i] = _mm512_shuffle_i32x4(y1, y3, 0x88);
      m[8 + i] = _mm512_shuffle_i32x4(y0, y2, 0xDD);
      m[12 + i] = _mm512_shuffle_i32x4(y1, y3, 0xDD);
    }
  }

  TARVOLIN_BLAKE3_INLINE static void StoreCvs(const Vec cv[8], std::uint32_t* out) {
    Vec a[8];
    for (std::size_t k = 0; k < 4; ++k) {
      a[2 * k] = _mm512_unpacklo_epi32(cv[2 * k], cv[2 * k + 1]);
      a[2 * k + 1] = _mm512_unpackhi_epi32(cv[2 * k], cv[2 * k + 1]);
    }
    Vec b[8];  // quarter j of b[4g + i]: words 4g..4g+3 of lane 4j + i
    for (std::size_t g = 0; g < 2; ++g) {
      b[4 * g + 0] = _mm512_unpacklo_epi64(a[4 * g], a[4 * g + 2]);
      b[4 * g + 1] = _mm512_unpackhi_epi64(a[4 * g], a[4 * g + 2]);
      b[4 * g + 2] = _mm512_unpacklo_epi64(a[4 * g + 1], a[4 * g + 3]);
      b[4 * g + 3] = _mm512_unpackhi_epi64(a[4 * g + 1], a[4 * g + 3]);
    }
    // Lanes i and 4 + i (items 2i, 2i + 1), then lanes 8 + i and 12 + i (items 8 + 2i, 9 + 2i).
    const Vec low = _mm512_setr_epi64(0, 1, 8, 9, 2, 3, 10, 11);
    const Vec high = _mm512_setr_epi64(4, 5, 12, 13, 6, 7, 14, 15);
    for (std::size_t i = 0; i < 4; ++i) {
      _mm512_storeu_si512(out + 16 * i, _mm512_permutex2var_epi64(b[i], low, b[4 + i]));
      _mm512_storeu_si512(out + 64 + 16 * i, _mm512_permutex2var_epi64(b[i], high, b[4 + i]));
    }
  }
};
#endif

// ---------------------------------------------------------------------------------------------
// Compression of one block per lane

// The mixing function G on vectors. The message word is added first, since it is ready early;
// the empty asm keeps GCC from reassociating the sum to add the state word b (the last one
// computed) first, which lengthens every step's dependency chain (measured: 3-4% slower).
#define TARVOLIN_B3_FENCE(t) __asm__("" : "+v"(t))
#define TARVOLIN_B3_G(a, b, c, d, x, y) \
  a = V::Add(a, x);                     \
  TARVOLIN_B3_FENCE(a);                 \
  a = V::Add(a, b);                     \
  d = V::Rot16(V::Xor(d, a));           \
  c = V::Add(c, d);                     \
  b = V::Rot12(V::Xor(b, c));           \
  a = V::Add(a, y);                     \
  TARVOLIN_B3_FENCE(a);                 \
  a = V::Add(a, b);                     \
  d = V::Rot8(V::Xor(d, a));            \
  c = V::Add(c, d);                     \
  b = V::Rot7(V::Xor(b, c))

// One round, columns then diagonals, with the message words in the round's order.
#define TARVOLIN_B3_ROUND(s0, s1, s2, s3, s4, s5, s6, s7, s8, s9, s10, s11, s12, s13, s14, s15) \
  TARVOLIN_B3_G(v[0], v[4], v[8], v[12], m[s0], m[s1]);                                         \
  TARVOLIN_B3_G(v[1], v[5], v[9], v[13], m[s2], m[s3]);                                         \
  TARVOLIN_B3_G(v[2], v[6], v[10], v[14], m[s4], m[s5]);                                        \
  TARVOLIN_B3_G(v[3], v[7], v[11], v[15], m[s6], m[s7]);                                        \
  TARVOLIN_B3_G(v[0], v[5], v[10], v[15], m[s8], m[s9]);                                        \
  TARVOLIN_B3_G(v[1], v[6], v[11], v[12], m[s10], m[s11]);                                      \
  TARVOLIN_B3_G(v[2], v[7], v[8], v[13], m[s12], m[s13]);                                       \
  TARVOLIN_B3_G(v[3], v[4], v[9], v[14], m[s14], m[s15])

/// The seven rounds on the 16 state vectors; cv[i] := v[i] ^ v[i + 8] for the 8 output words.
template <typename V>
TARVOLIN_BLAKE3_INLINE void Compress(typename V::Vec v[16], const typename V::Vec m[16],
                                     typename V::Vec cv[8]) {
  // clang-format off
  TARVOLIN_B3_ROUND( 0,  1,  2,  3,  4,  5,  6,  7,  8,  9, 10, 11, 12, 13, 14, 15);
  TARVOLIN_B3_ROUND( 2,  6,  3, 10,  7,  0,  4, 13,  1, 11, 12,  5,  9, 14, 15,  8);
  TARVOLIN_B3_ROUND( 3,  4, 10, 12, 13,  2,  7, 14,  6,  5,  9,  0, 11, 15,  8,  1);
  TARVOLIN_B3_ROUND(10,  7, 12,  9, 14,  3, 13, 15,  4,  0, 11,  2,  5,  8,  1,  6);
  TARVOLIN_B3_ROUND(12, 13,  9, 11, 15, 10, 14,  8,  7,  2,  5,  3,  0,  1,  6,  4);
  TARVOLIN_B3_ROUND( 9, 14, 11,  5,  8, 12, 15,  1, 13,  3,  0, 10,  2,  6,  4,  7);
  TARVOLIN_B3_ROUND(11, 15,  5,  0,  1,  9,  8,  6, 14, 10,  2, 12,  3,  4,  7, 13);
  // clang-format on
  for (std::size_t i = 0; i < 8; ++i) cv[i] = V::Xor(v[i], v[i + 8]);
}

#undef TARVOLIN_B3_ROUND
#undef TARVOLIN_B3_G
#undef TARVOLIN_B3_FENCE

/// Writes the chaining values of the first `valid` items to `cvs + 8 * item`.
template <typename V>
TARVOLIN_BLAKE3_INLINE void StoreCvs(const typename V::Vec cv[8], std::uint32_t* cvs,
                                     std::size_t valid) {
  if (valid == V::kLanes) {
    V::StoreCvs(cv, cvs);
    return;
  }
  alignas(64) std::uint32_t words[8 * V::kLanes];
  V::StoreCvs(cv, words);
  std::copy(words, words + 8 * valid, cvs);
}

/// Asks for the cache line `distance` bytes past `p`; formed as an integer, since the address
/// may lie past the caller's buffer (a prefetch never faults).
TARVOLIN_BLAKE3_INLINE void Prefetch(const std::uint8_t* p, std::size_t distance) {
  __builtin_prefetch(reinterpret_cast<const void*>(reinterpret_cast<std::uintptr_t>(p) + distance));
}

// ---------------------------------------------------------------------------------------------
// Passes: one vector width, one item per lane. In a run of full passes every lane's address is a
// constant offset from the pass's start. A short run takes a single pass whose spare lanes
// repeat its last item; their results are dropped.

/// m := the block at `offset` bytes into each lane's item; lane l's item starts at
/// `base + stride * item(l)`, where item(l) is clamped to `count - 1` unless `kFull`.
template <typename V, bool kFull, std::size_t kStride>
TARVOLIN_BLAKE3_INLINE void LoadLanes(const std::uint8_t* base, std::size_t count,
                                      std::size_t offset, typename V::Vec m[16]) {
  const std::uint8_t* lanes[V::kLanes];
  for (std::size_t l = 0; l < V::kLanes; ++l) {
    const std::size_t item = V::kItemOfLane[l];
    lanes[l] = base + kStride * (kFull || item < count ? item : count - 1);
  }
  V::LoadMessage(lanes, offset, m);
}

/// Chaining values of `passes` runs of kLanes whole chunks at `input` (kFull), or of one run of
/// `count` (2..kLanes) chunks; counters from `counter`.
template <typename V, bool kFull>
[[gnu::noinline]] TARVOLIN_BLAKE3_TARGET void ChunkPasses(const std::uint8_t* input,
                                                          std::size_t passes, std::size_t count,
                                                          const std::uint32_t key[8],
                                                          std::uint64_t counter,
                                                          std::uint32_t flags, std::uint32_t* cvs) {
  using Vec = typename V::Vec;
  constexpr std::size_t kPassBytes = V::kLanes * kChunkLength;
  // The message of the next block (of this pass or the next one) is loaded and transposed
  // before the rounds of the current one, so its loads and shuffles overlap them instead of
  // stalling the next block's start.
  Vec next[16];
  LoadLanes<V, kFull, kChunkLength>(input, count, 0, next);
  for (std::size_t pass = 0; pass < passes; ++pass) {
    Vec low, high;
    V::Counters(counter, low, high);
    Vec cv[8];
    for (std::size_t i = 0; i < 8; ++i) cv[i] = V::Set1(key[i]);
    for (std::size_t block = 0; block < kBlocksPerChunk; ++block) {
      Vec m[16];
      for (std::size_t i = 0; i < 16; ++i) m[i] = next[i];
      if (block + 1 < kBlocksPerChunk) {
        LoadLanes<V, kFull, kChunkLength>(input, count, (block + 1) * kBlockLength, next);
      } else if (pass + 1 < passes) {
        LoadLanes<V, kFull, kChunkLength>(input + kPassBytes, count, 0, next);
      }
      // Each lane reads its own stream; the same block of the next pass is requested now, a
      // pass ahead of its use, since the hardware prefetcher follows few streams at a time.
      for (std::size_t l = 0; l < V::kLanes; ++l) {
        Prefetch(input + kChunkLength * V::kItemOfLane[l], block * kBlockLength + kPassBytes);
      }
      const std::uint32_t blockFlags =
          flags | (block == 0 ? kChunkStart : 0) | (block == kBlocksPerChunk - 1 ? kChunkEnd : 0);
      Vec v[16] = {cv[0],
                   cv[1],
                   cv[2],
                   cv[3],
                   cv[4],
                   cv[5],
                   cv[6],
                   cv[7],
                   V::Set1(kIv[0]),
                   V::Set1(kIv[1]),
                   V::Set1(kIv[2]),
                   V::Set1(kIv[3]),
                   low,
                   high,
                   V::Set1(kBlockLength),
                   V::Set1(blockFlags)};
      Compress<V>(v, m, cv);
    }
    StoreCvs<V>(cv, cvs, count);
    input += kPassBytes;
    counter += V::kLanes;
    cvs += 8 * V::kLanes;
  }
}

/// Chaining values of `passes` runs of kLanes parent nodes whose children start at `children`
/// (kFull), or of one run of `count` (2..kLanes) parents.
template <typename V, bool kFull>
[[gnu::noinline]] TARVOLIN_BLAKE3_TARGET void ParentPasses(const std::uint32_t* children,
                                                           std::size_t passes, std::size_t count,
                                                           const std::uint32_t key[8],
                                                           std::uint32_t flags,
                                                           std::uint32_t* cvs) {
  using Vec = typename V::Vec;
  const auto* input = reinterpret_cast<const std::uint8_t*>(children);
  constexpr std::size_t kPassBytes = V::kLanes * kBlockLength;
  Vec next[16];
  LoadLanes<V, kFull, kBlockLength>(input, count, 0, next);
  for (std::size_t pass = 0; pass < passes; ++pass) {
    Vec m[16];
    for (std::size_t i = 0; i < 16; ++i) m[i] = next[i];
    if (pass + 1 < passes) LoadLanes<V, kFull, kBlockLength>(input + kPassBytes, count, 0, next);
    const Vec zero = V::Set1(0);
    Vec v[16] = {V::Set1(key[0]),
                 V::Set1(key[1]),
                 V::Set1(key[2]),
                 V::Set1(key[3]),
                 V::Set1(key[4]),
                 V::Set1(key[5]),
                 V::Set1(key[6]),
                 V::Set1(key[7]),
                 V::Set1(kIv[0]),
                 V::Set1(kIv[1]),
                 V::Set1(kIv[2]),
                 V::Set1(kIv[3]),
                 zero,
                 zero,
                 V::Set1(kBlockLength),
                 V::Set1(flags | kParent)};
    Vec cv[8];
    Compress<V>(v, m, cv);
    StoreCvs<V>(cv, cvs, count);
    input += kPassBytes;
    cvs += 8 * V::kLanes;
  }
}

// ---------------------------------------------------------------------------------------------
// Drivers: full passes of the widest type, then what is left in one pass of the narrowest type
// that holds it (the types are listed widest first), or in the portable code if it is one item,
// which takes less time one block after the other than in a pass.

template <typename First, typename... Rest>
inline constexpr std::size_t kFirstLanes = First::kLanes;

template <typename V, typename... TNarrower>
TARVOLIN_BLAKE3_INLINE void HashChunksLanes(const std::uint8_t* input, std::size_t chunks,
                                            const std::uint32_t key[8], std::uint64_t counter,
                                            std::uint32_t flags, std::uint32_t* cvs) {
  const std::size_t passes = chunks / V::kLanes;
  if (passes > 0) ChunkPasses<V, true>(input, passes, V::kLanes, key, counter, flags, cvs);
  const std::size_t done = passes * V::kLanes;
  const std::size_t rest = chunks - done;
  input += done * kChunkLength;
  counter += done;
  cvs += 8 * done;
  if (rest == 1) {
    PortableHashChunks(input, 1, key, counter, flags, cvs);
  } else if (rest > 1) {
    if constexpr (sizeof...(TNarrower) > 0) {
      if (rest <= kFirstLanes<TNarrower...>) {
        HashChunksLanes<TNarrower...>(input, rest, key, counter, flags, cvs);
        return;
      }
    }
    ChunkPasses<V, false>(input, 1, rest, key, counter, flags, cvs);
  }
}

template <typename V, typename... TNarrower>
TARVOLIN_BLAKE3_INLINE void HashParentsLanes(const std::uint32_t* children, std::size_t parents,
                                             const std::uint32_t key[8], std::uint32_t flags,
                                             std::uint32_t* cvs) {
  const std::size_t passes = parents / V::kLanes;
  if (passes > 0) ParentPasses<V, true>(children, passes, V::kLanes, key, flags, cvs);
  const std::size_t done = passes * V::kLanes;
  const std::size_t rest = parents - done;
  children += 16 * done;
  cvs += 8 * done;
  if (rest == 1) {
    PortableHashParents(children, 1, key, flags, cvs);
  } else if (rest > 1) {
    if constexpr (sizeof...(TNarrower) > 0) {
      if (rest <= kFirstLanes<TNarrower...>) {
        HashParentsLanes<TNarrower...>(children, rest, key, flags, cvs);
        return;
      }
    }
    ParentPasses<V, false>(children, 1, rest, key, flags, cvs);
  }
}

}  // namespace
}  // namespace tarvolin::hash::blake3
