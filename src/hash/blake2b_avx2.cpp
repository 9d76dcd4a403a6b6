// BLAKE2b compression with AVX2: four G functions at once in 256-bit rows; the rotations by 32,
// 24 and 16 are byte shuffles, the rotation by 63 a shift, an addition and an OR.
#include <immintrin.h>

#include <cstddef>
#include <cstdint>

#define TARVOLIN_BLAKE2_TARGET __attribute__((target("avx2")))
#define TARVOLIN_BLAKE2B_ROWS 1

namespace tarvolin::hash::blake2 {
namespace {

template <int kBits>
TARVOLIN_BLAKE2_TARGET inline __m256i RotateRight(__m256i x) {
  if constexpr (kBits == 32) {
    return _mm256_shuffle_epi32(x, _MM_SHUFFLE(2, 3, 0, 1));
  } else if constexpr (kBits == 24) {
    const __m256i bytes = _mm256_setr_epi8(3, 4, 5, 6, 7, 0, 1, 2, 11, 12, 13, 14, 15, 8, 9, 10, 3,
                                           4, 5, 6, 7, 0, 1, 2, 11, 12, 13, 14, 15, 8, 9, 10);
    return _mm256_shuffle_epi8(x, bytes);
  } else if constexpr (kBits == 16) {
    const __m256i bytes = _mm256_setr_epi8(2, 3, 4, 5, 6, 7, 0, 1, 10, 11, 12, 13, 14, 15, 8, 9, 2,
                                           3, 4, 5, 6, 7, 0, 1, 10, 11, 12, 13, 14, 15, 8, 9);
    return _mm256_shuffle_epi8(x, bytes);
  } else {
    static_assert(kBits == 63);
    return _mm256_or_si256(_mm256_srli_epi64(x, 63), _mm256_add_epi64(x, x));
  }
}

}  // namespace
}  // namespace tarvolin::hash::blake2

#include "hash/blake2_x86.h"

namespace tarvolin::hash::blake2 {

TARVOLIN_BLAKE2_TARGET void Blake2bAvx2(std::uint64_t* state, std::uint64_t* counter,
                                        const std::uint8_t* data, std::size_t blocks,
                                        std::uint64_t increment, std::uint64_t f0,
                                        std::uint64_t f1) {
  CompressBlocks(state, counter, data, blocks, increment, f0, f1);
}

}  // namespace tarvolin::hash::blake2
