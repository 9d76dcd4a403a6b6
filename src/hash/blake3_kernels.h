// BLAKE3 compression and the bulk kernels the engine calls for whole chunks and parent nodes.
// The tree and chunk logic stay in the engine; a faster kernel replaces only what is here.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/cpu_features.h"

namespace tarvolin::hash::blake3 {

// Domain flags.
inline constexpr std::uint32_t kChunkStart = 1;
inline constexpr std::uint32_t kChunkEnd = 2;
inline constexpr std::uint32_t kParent = 4;
inline constexpr std::uint32_t kRoot = 8;
inline constexpr std::uint32_t kKeyedHash = 16;

inline constexpr std::size_t kBlockLength = 64;
inline constexpr std::size_t kChunkLength = 1024;
inline constexpr std::size_t kBlocksPerChunk = kChunkLength / kBlockLength;

/// The BLAKE3 initialisation vector (the SHA-256 initial hash words).
inline constexpr std::uint32_t kIv[8] = {0x6A09E667u, 0xBB67AE85u, 0x3C6EF372u, 0xA54FF53Au,
                                         0x510E527Fu, 0x9B05688Cu, 0x1F83D9ABu, 0x5BE0CD19u};

/// Compresses one block given as 16 words and replaces `cv` by the resulting chaining value.
void CompressInPlace(std::uint32_t cv[8], const std::uint32_t block[16], std::uint64_t counter,
                     std::uint32_t blockLength, std::uint32_t flags);

/// Compresses one block given as 64 bytes (read little-endian) and replaces `cv` by the result.
void CompressBytesInPlace(std::uint32_t cv[8], const std::uint8_t* block, std::uint64_t counter,
                          std::uint32_t blockLength, std::uint32_t flags);

/// Compresses one block and writes all 16 output words (64 bytes of extendable output).
void CompressOutput(const std::uint32_t cv[8], const std::uint32_t block[16], std::uint64_t counter,
                    std::uint32_t blockLength, std::uint32_t flags, std::uint32_t out[16]);

/// The bulk entry points of one kernel level.
struct TKernels {
  /// Chaining values of `chunks` whole chunks at `input`, none of them the root: chunk i is
  /// hashed with counter `counter + i` and its 8 words are written to `cvs + 8 * i`.
  void (*HashChunks)(const std::uint8_t* input, std::size_t chunks, const std::uint32_t key[8],
                     std::uint64_t counter, std::uint32_t flags, std::uint32_t* cvs);
  /// Chaining values of `parents` parent nodes, none of them the root: parent i has the
  /// children `children + 16 * i` (left, then right) and its 8 words go to `cvs + 8 * i`.
  /// `cvs` must not overlap `children`.
  void (*HashParents)(const std::uint32_t* children, std::size_t parents,
                      const std::uint32_t key[8], std::uint32_t flags, std::uint32_t* cvs);
};

/// A kernel row: its name ("portable", "sse41", "avx2", "avx512"), the CPU features its code
/// uses and its entry points.
using TKernelRow = platform::TKernel<TKernels>;

/// The portable row, one node after the other.
const TKernelRow& PortableKernels();

/// The best row the level in force allows; engines ask once, when constructed.
const TKernelRow& SelectKernels();

// The portable entry points, which the hardware kernels also use for what their lanes leave.
void PortableHashChunks(const std::uint8_t* input, std::size_t chunks, const std::uint32_t key[8],
                        std::uint64_t counter, std::uint32_t flags, std::uint32_t* cvs);
void PortableHashParents(const std::uint32_t* children, std::size_t parents,
                         const std::uint32_t key[8], std::uint32_t flags, std::uint32_t* cvs);

#if defined(TARVOLIN_X86_KERNELS)
// x86-64 kernels, each in its own file and compiled for its instruction set only: 4, 8 and 16
// chunks or parents per pass, one per vector lane.
void Sse41HashChunks(const std::uint8_t* input, std::size_t chunks, const std::uint32_t key[8],
                     std::uint64_t counter, std::uint32_t flags, std::uint32_t* cvs);
void Sse41HashParents(const std::uint32_t* children, std::size_t parents,
                      const std::uint32_t key[8], std::uint32_t flags, std::uint32_t* cvs);
void Avx2HashChunks(const std::uint8_t* input, std::size_t chunks, const std::uint32_t key[8],
                    std::uint64_t counter, std::uint32_t flags, std::uint32_t* cvs);
void Avx2HashParents(const std::uint32_t* children, std::size_t parents, const std::uint32_t key[8],
                     std::uint32_t flags, std::uint32_t* cvs);
void Avx512HashChunks(const std::uint8_t* input, std::size_t chunks, const std::uint32_t key[8],
                      std::uint64_t counter, std::uint32_t flags, std::uint32_t* cvs);
void Avx512HashParents(const std::uint32_t* children, std::size_t parents,
                       const std::uint32_t key[8], std::uint32_t flags, std::uint32_t* cvs);
#endif

}  // namespace tarvolin::hash::blake3
