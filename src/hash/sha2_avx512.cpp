// SHA-512 compression for CPUs with AVX-512VL: the AVX2 kernel's layout, with the message schedule
// using 64-bit rotations (VPRORQ) and three-way XOR (VPTERNLOGQ) in 256-bit vectors, so about a
// third fewer vector operations compete with the scalar rounds (RORX, ANDN) for the ports.
#include <immintrin.h>

#include <cstddef>
#include <cstdint>

#define TARVOLIN_SHA512_TARGET __attribute__((target("avx512f,avx512vl,avx2,bmi,bmi2")))

namespace tarvolin::hash::kernels {
namespace {

/// s0(x) = rotr(x, 1) ^ rotr(x, 8) ^ (x >> 7).
TARVOLIN_SHA512_TARGET inline __m256i SmallSigma0(__m256i x) {
  return _mm256_ternarylogic_epi64(_mm256_ror_epi64(x, 1), _mm256_ror_epi64(x, 8),
                                   _mm256_srli_epi64(x, 7), 0x96);
}

/// s1(x) = rotr(x, 19) ^ rotr(x, 61) ^ (x >> 6).
TARVOLIN_SHA512_TARGET inline __m256i SmallSigma1(__m256i x) {
  return _mm256_ternarylogic_epi64(_mm256_ror_epi64(x, 19), _mm256_ror_epi64(x, 61),
                                   _mm256_srli_epi64(x, 6), 0x96);
}

}  // namespace
}  // namespace tarvolin::hash::kernels

// The rounds and the pair schedule, built with the target and sigma functions above.
#include "hash/sha512_x86.h"

namespace tarvolin::hash::kernels {

TARVOLIN_SHA512_TARGET void Sha512Avx512(std::uint64_t* state, const std::uint8_t* data,
                                         std::size_t blocks) {
  Sha512Pairs(state, data, blocks);
}

}  // namespace tarvolin::hash::kernels
