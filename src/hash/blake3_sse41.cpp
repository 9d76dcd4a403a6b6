// BLAKE3 for CPUs with SSE4.1: four chunks or parent nodes at once, one per 32-bit lane of the
// 128-bit vectors; the 16- and 8-bit rotations are byte shuffles (SSSE3).
#define TARVOLIN_BLAKE3_TARGET __attribute__((target("sse4.1")))
#include "hash/blake3_x86.h"

namespace tarvolin::hash::blake3 {

TARVOLIN_BLAKE3_TARGET void Sse41HashChunks(const std::uint8_t* input, std::size_t chunks,
                                            const std::uint32_t key[8], std::uint64_t counter,
                                            std::uint32_t flags, std::uint32_t* cvs) {
  HashChunksLanes<TLanes4<false>>(input, chunks, key, counter, flags, cvs);
}

TARVOLIN_BLAKE3_TARGET void Sse41HashParents(const std::uint32_t* children, std::size_t parents,
                                             const std::uint32_t key[8], std::uint32_t flags,
                                             std::uint32_t* cvs) {
  HashParentsLanes<TLanes4<false>>(children, parents, key, flags, cvs);
}

}  // namespace tarvolin::hash::blake3
