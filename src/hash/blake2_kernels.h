// Compression kernels of BLAKE2s and BLAKE2b (RFC 7693 F): the portable ones, the hardware
// variants compiled for x86-64, and the tables the engines pick their kernel from.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/cpu_features.h"

namespace tarvolin::hash::blake2 {

/// Compresses `blocks` consecutive blocks from `data` into the chaining `state` (8 words).
/// Before each block `increment` is added to the byte counter `counter` (low word first, the
/// carry going into the high word); each block is compressed with the counter and the
/// finalisation flags `f0` (last block) and `f1` (last node).
using TCompressS = void (*)(std::uint32_t* state, std::uint32_t* counter, const std::uint8_t* data,
                            std::size_t blocks, std::uint32_t increment, std::uint32_t f0,
                            std::uint32_t f1);
using TCompressB = void (*)(std::uint64_t* state, std::uint64_t* counter, const std::uint8_t* data,
                            std::size_t blocks, std::uint64_t increment, std::uint64_t f0,
                            std::uint64_t f1);

using TKernelS = platform::TKernel<TCompressS>;
using TKernelB = platform::TKernel<TCompressB>;

/// The kernel each variant uses at the level in force; engines ask once, when constructed.
const TKernelS& Blake2sKernel();
const TKernelB& Blake2bKernel();

/// The RFC 7693 initialisation vectors (those of SHA-256 and SHA-512).
template <typename Word>
inline constexpr Word kIv[8] = {};
template <>
inline constexpr std::uint32_t kIv<std::uint32_t>[8] = {0x6A09E667u, 0xBB67AE85u, 0x3C6EF372u,
                                                        0xA54FF53Au, 0x510E527Fu, 0x9B05688Cu,
                                                        0x1F83D9ABu, 0x5BE0CD19u};
template <>
inline constexpr std::uint64_t kIv<std::uint64_t>[8] = {
    0x6A09E667F3BCC908ULL, 0xBB67AE8584CAA73BULL, 0x3C6EF372FE94F82BULL, 0xA54FF53A5F1D36F1ULL,
    0x510E527FADE682D1ULL, 0x9B05688C2B3E6C1FULL, 0x1F83D9ABFB41BD6BULL, 0x5BE0CD19137E2179ULL};

// clang-format off
/// The message word order of each round (RFC 7693 SIGMA); BLAKE2b's rounds 10 and 11 repeat
/// rows 0 and 1.
inline constexpr std::uint8_t kSigma[12][16] = {
    { 0,  1,  2,  3,  4,  5,  6,  7,  8,  9, 10, 11, 12, 13, 14, 15},
    {14, 10,  4,  8,  9, 15, 13,  6,  1, 12,  0,  2, 11,  7,  5,  3},
    {11,  8, 12,  0,  5,  2, 15, 13, 10, 14,  3,  6,  7,  1,  9,  4},
    { 7,  9,  3,  1, 13, 12, 11, 14,  2,  6,  5, 10,  4,  0, 15,  8},
    { 9,  0,  5,  7,  2,  4, 10, 15, 14,  1, 11, 12,  6,  8,  3, 13},
    { 2, 12,  6, 10,  0, 11,  8,  3,  4, 13,  7,  5, 15, 14,  1,  9},
    {12,  5,  1, 15, 14, 13,  4, 10,  0,  7,  6,  3,  9,  2,  8, 11},
    {13, 11,  7, 14, 12,  1,  3,  9,  5,  0, 15,  4,  8,  6,  2, 10},
    { 6, 15, 14,  9, 11,  3,  0,  8, 12,  2, 13,  7,  1,  4, 10,  5},
    {10,  2,  8,  4,  7,  6,  1,  5, 15, 11,  9, 14,  3, 12, 13,  0},
    { 0,  1,  2,  3,  4,  5,  6,  7,  8,  9, 10, 11, 12, 13, 14, 15},
    {14, 10,  4,  8,  9, 15, 13,  6,  1, 12,  0,  2, 11,  7,  5,  3},
};
// clang-format on

// Portable kernels (every build).
void Blake2sPortable(std::uint32_t* state, std::uint32_t* counter, const std::uint8_t* data,
                     std::size_t blocks, std::uint32_t increment, std::uint32_t f0,
                     std::uint32_t f1);
void Blake2bPortable(std::uint64_t* state, std::uint64_t* counter, const std::uint8_t* data,
                     std::size_t blocks, std::uint64_t increment, std::uint64_t f0,
                     std::uint64_t f1);

#if defined(TARVOLIN_X86_KERNELS)
// x86-64 variants, each in its own file and compiled for its instruction set only.
void Blake2sSse41(std::uint32_t* state, std::uint32_t* counter, const std::uint8_t* data,
                  std::size_t blocks, std::uint32_t increment, std::uint32_t f0, std::uint32_t f1);
void Blake2sAvx512(std::uint32_t* state, std::uint32_t* counter, const std::uint8_t* data,
                   std::size_t blocks, std::uint32_t increment, std::uint32_t f0, std::uint32_t f1);
void Blake2bAvx2(std::uint64_t* state, std::uint64_t* counter, const std::uint8_t* data,
                 std::size_t blocks, std::uint64_t increment, std::uint64_t f0, std::uint64_t f1);
void Blake2bAvx512(std::uint64_t* state, std::uint64_t* counter, const std::uint8_t* data,
                   std::size_t blocks, std::uint64_t increment, std::uint64_t f0, std::uint64_t f1);
#endif

}  // namespace tarvolin::hash::blake2
