// MD5 compression with AVX-512VL: the four words live in lane 0 of vector registers, where
// VPTERNLOGD computes every round function in one operation and VPROLD rotates.
#include <immintrin.h>

#include "hash/kernels.h"

#define TARVOLIN_AVX512 __attribute__((target("avx512f,avx512vl")))

namespace tarvolin::hash::kernels {

namespace {

// Why vectors for a serial hash: in scalar code the round functions F and I take two dependent
// operations after the newest word arrives, so those steps wait five operations for it. As one
// VPTERNLOGD each, every step waits four: function, add, rotate, add.

// VPTERNLOGD truth tables for the operand order (c, d, b). The instruction overwrites its first
// operand, so that one is copied first; c is ready early, b (the newest word) is not, and a copy
// of b would lengthen the chain.
constexpr int kF = 0xE4;  // b ? c : d
constexpr int kG = 0xB8;  // d ? b : c
constexpr int kH = 0x96;  // b ^ c ^ d
constexpr int kI = 0x4B;  // c ^ (b | ~d)

// clang-format off
// Message word order of each round.
alignas(64) constexpr std::uint32_t kOrder[4][16] = {
    { 0,  1,  2,  3,  4,  5,  6,  7,  8,  9, 10, 11, 12, 13, 14, 15},
    { 1,  6, 11,  0,  5, 10, 15,  4,  9, 14,  3,  8, 13,  2,  7, 12},
    { 5,  8, 11, 14,  1,  4,  7, 10, 13,  0,  3,  6,  9, 12, 15,  2},
    { 0,  7, 14,  5, 12,  3, 10,  1,  8, 15,  6, 13,  4, 11,  2,  9},
};

alignas(64) constexpr std::uint32_t kK[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391,
};
// clang-format on

/// One step: a = b + rotl(a + wk + f(b, c, d), s), with wk = message word + constant.
template <int Function, int Shift>
TARVOLIN_AVX512 inline void Step(__m128i& a, __m128i b, __m128i c, __m128i d, std::uint32_t wk) {
  a = _mm_add_epi32(a, _mm_set1_epi32(static_cast<int>(wk)));
  // Keeps the compiler from reassociating the sum: wk must join `a` before f(b, c, d) does.
  __asm__("" : "+v"(a));
  a = _mm_add_epi32(a, _mm_ternarylogic_epi32(c, d, b, Function));
  a = _mm_add_epi32(_mm_rol_epi32(a, Shift), b);
}

/// Sixteen steps of one round with its four shifts.
template <int Function, int S0, int S1, int S2, int S3>
TARVOLIN_AVX512 inline void Round(__m128i& a, __m128i& b, __m128i& c, __m128i& d,
                                  const std::uint32_t* wk) {
  for (int i = 0; i < 16; i += 4) {
    Step<Function, S0>(a, b, c, d, wk[i]);
    Step<Function, S1>(d, a, b, c, wk[i + 1]);
    Step<Function, S2>(c, d, a, b, wk[i + 2]);
    Step<Function, S3>(b, c, d, a, wk[i + 3]);
  }
}

}  // namespace

TARVOLIN_AVX512 void Md5Avx512(std::uint32_t* state, const std::uint8_t* data, std::size_t blocks) {
  if (blocks == 0) return;
  __m512i order[4], constants[4];
  for (int r = 0; r < 4; ++r) {
    order[r] = _mm512_load_si512(kOrder[r]);
    constants[r] = _mm512_load_si512(&kK[16 * r]);
  }
  // Message words plus constants for all 64 steps of a block, in step order. They are computed
  // one block ahead, so the vector work overlaps the serial chain of the block before and the
  // steps never wait for the stores to reach their loads.
  alignas(64) std::uint32_t wk[2][64];
  const auto prepare = [&](const std::uint8_t* block, std::uint32_t* out) TARVOLIN_AVX512 {
    const __m512i w = _mm512_loadu_si512(block);
    for (int r = 0; r < 4; ++r) {
      const __m512i words = _mm512_maskz_permutexvar_epi32(0xFFFF, order[r], w);
      _mm512_store_si512(&out[16 * r], _mm512_add_epi32(words, constants[r]));
    }
  };

  __m128i a = _mm_cvtsi32_si128(static_cast<int>(state[0]));
  __m128i b = _mm_cvtsi32_si128(static_cast<int>(state[1]));
  __m128i c = _mm_cvtsi32_si128(static_cast<int>(state[2]));
  __m128i d = _mm_cvtsi32_si128(static_cast<int>(state[3]));
  prepare(data, wk[0]);
  for (std::size_t n = 0; n < blocks; ++n) {
    const std::uint32_t* current = wk[n & 1];
    if (n + 1 < blocks) prepare(data + 64 * (n + 1), wk[(n + 1) & 1]);
    // The steps read their words back from memory as broadcast operands, rather than the
    // compiler extracting them from the vectors with extra operations.
    __asm__ volatile("" : : "r"(current) : "memory");
    const __m128i a0 = a, b0 = b, c0 = c, d0 = d;
    Round<kF, 7, 12, 17, 22>(a, b, c, d, &current[0]);
    Round<kG, 5, 9, 14, 20>(a, b, c, d, &current[16]);
    Round<kH, 4, 11, 16, 23>(a, b, c, d, &current[32]);
    Round<kI, 6, 10, 15, 21>(a, b, c, d, &current[48]);
    a = _mm_add_epi32(a, a0);
    b = _mm_add_epi32(b, b0);
    c = _mm_add_epi32(c, c0);
    d = _mm_add_epi32(d, d0);
  }
  state[0] = static_cast<std::uint32_t>(_mm_cvtsi128_si32(a));
  state[1] = static_cast<std::uint32_t>(_mm_cvtsi128_si32(b));
  state[2] = static_cast<std::uint32_t>(_mm_cvtsi128_si32(c));
  state[3] = static_cast<std::uint32_t>(_mm_cvtsi128_si32(d));
}

}  // namespace tarvolin::hash::kernels
