// SHA-512 compression for CPUs with AVX2 and BMI2: the message schedule of two blocks at once in
// 256-bit vectors (shifts, one byte shuffle), the rounds in scalar registers with RORX and ANDN.
#include <immintrin.h>

#include <cstddef>
#include <cstdint>

#define TARVOLIN_SHA512_TARGET __attribute__((target("avx2,bmi,bmi2")))

namespace tarvolin::hash::kernels {
namespace {

// AVX2 has no 64-bit rotation: two shifts and an OR, or one byte shuffle for a whole byte.
TARVOLIN_SHA512_TARGET inline __m256i Rotr(__m256i x, int n) {
  return _mm256_or_si256(_mm256_srli_epi64(x, n), _mm256_slli_epi64(x, 64 - n));
}

/// s0(x) = rotr(x, 1) ^ rotr(x, 8) ^ (x >> 7).
TARVOLIN_SHA512_TARGET inline __m256i SmallSigma0(__m256i x) {
  const __m256i rotr8 = _mm256_setr_epi8(1, 2, 3, 4, 5, 6, 7, 0, 9, 10, 11, 12, 13, 14, 15, 8, 1, 2,
                                         3, 4, 5, 6, 7, 0, 9, 10, 11, 12, 13, 14, 15, 8);
  return _mm256_xor_si256(_mm256_xor_si256(Rotr(x, 1), _mm256_shuffle_epi8(x, rotr8)),
                          _mm256_srli_epi64(x, 7));
}

/// s1(x) = rotr(x, 19) ^ rotr(x, 61) ^ (x >> 6).
TARVOLIN_SHA512_TARGET inline __m256i SmallSigma1(__m256i x) {
  return _mm256_xor_si256(_mm256_xor_si256(Rotr(x, 19), Rotr(x, 61)), _mm256_srli_epi64(x, 6));
}

}  // namespace
}  // namespace tarvolin::hash::kernels

// The rounds and the pair schedule, built with the target and sigma functions above.
#include "hash/sha512_x86.h"

namespace tarvolin::hash::kernels {

TARVOLIN_SHA512_TARGET void Sha512Avx2(std::uint64_t* state, const std::uint8_t* data,
                                       std::size_t blocks) {
  Sha512Pairs(state, data, blocks);
}

}  // namespace tarvolin::hash::kernels
