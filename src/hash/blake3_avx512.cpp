// BLAKE3 for CPUs with AVX-512F and VL: sixteen chunks or parent nodes at once, one per 32-bit
// lane of the 512-bit vectors, with the rotate instruction; a rest of eight or four or fewer
// takes one pass of 256- or 128-bit vectors.
#define TARVOLIN_BLAKE3_512
#define TARVOLIN_BLAKE3_TARGET __attribute__((target("avx512f,avx512vl")))
#include "hash/blake3_x86.h"

namespace tarvolin::hash::blake3 {

TARVOLIN_BLAKE3_TARGET void Avx512HashChunks(const std::uint8_t* input, std::size_t chunks,
                                             const std::uint32_t key[8], std::uint64_t counter,
                                             std::uint32_t flags, std::uint32_t* cvs) {
  HashChunksLanes<TLanes16, TLanes8<true>, TLanes4<true>>(input, chunks, key, counter, flags, cvs);
}

TARVOLIN_BLAKE3_TARGET void Avx512HashParents(const std::uint32_t* children, std::size_t parents,
                                              const std::uint32_t key[8], std::uint32_t flags,
                                              std::uint32_t* cvs) {
  HashParentsLanes<TLanes16, TLanes8<true>, TLanes4<true>>(children, parents, key, flags, cvs);
}

}  // namespace tarvolin::hash::blake3
