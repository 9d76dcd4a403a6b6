// BLAKE2b compression with AVX-512VL: the AVX2 kernel's rows, with every rotation one VPRORQ.
#include <immintrin.h>

#include <cstddef>
#include <cstdint>

#define TARVOLIN_BLAKE2B_TARGET __attribute__((target("avx512f,avx512vl,avx2")))

namespace tarvolin::hash::blake2 {
namespace {

TARVOLIN_BLAKE2B_TARGET inline __m256i RotateRight32(__m256i x) {
  return _mm256_ror_epi64(x, 32);
}

TARVOLIN_BLAKE2B_TARGET inline __m256i RotateRight24(__m256i x) {
  return _mm256_ror_epi64(x, 24);
}

TARVOLIN_BLAKE2B_TARGET inline __m256i RotateRight16(__m256i x) {
  return _mm256_ror_epi64(x, 16);
}

TARVOLIN_BLAKE2B_TARGET inline __m256i RotateRight63(__m256i x) {
  return _mm256_ror_epi64(x, 63);
}

}  // namespace
}  // namespace tarvolin::hash::blake2

#include "hash/blake2b_x86.h"

namespace tarvolin::hash::blake2 {

TARVOLIN_BLAKE2B_TARGET void Blake2bAvx512(std::uint64_t* state, std::uint64_t* counter,
                                           const std::uint8_t* data, std::size_t blocks,
                                           std::uint64_t increment, std::uint64_t f0,
                                           std::uint64_t f1) {
  CompressBlocks(state, counter, data, blocks, increment, f0, f1);
}

}  // namespace tarvolin::hash::blake2
