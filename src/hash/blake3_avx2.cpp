// BLAKE3 for CPUs with AVX2: eight chunks or parent nodes at once, one per 32-bit lane of the
// 256-bit vectors; four or fewer left over take one pass of 128-bit vectors.
#define TARVOLIN_BLAKE3_TARGET __attribute__((target("avx2")))
#include "hash/blake3_x86.h"

namespace tarvolin::hash::blake3 {

TARVOLIN_BLAKE3_TARGET void Avx2HashChunks(const std::uint8_t* input, std::size_t chunks,
                                           const std::uint32_t key[8], std::uint64_t counter,
                                           std::uint32_t flags, std::uint32_t* cvs) {
  HashChunksLanes<TLanes8<false>, TLanes4<false>>(input, chunks, key, counter, flags, cvs);
}

TARVOLIN_BLAKE3_TARGET void Avx2HashParents(const std::uint32_t* children, std::size_t parents,
                                            const std::uint32_t key[8], std::uint32_t flags,
                                            std::uint32_t* cvs) {
  HashParentsLanes<TLanes8<false>, TLanes4<false>>(children, parents, key, flags, cvs);
}

}  // namespace tarvolin::hash::blake3
