// Block compression kernels of the MD5, SHA-1 and SHA-2 families: the portable ones, the
// hardware variants compiled for x86-64, and the tables each family picks its kernel from.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/cpu_features.h"

namespace tarvolin::hash::kernels {

/// Compresses `blocks` consecutive blocks at `data` into the chaining state.
using TCompress32 = void (*)(std::uint32_t* state, const std::uint8_t* data, std::size_t blocks);
using TCompress64 = void (*)(std::uint64_t* state, const std::uint8_t* data, std::size_t blocks);

using TKernel32 = platform::TKernel<TCompress32>;
using TKernel64 = platform::TKernel<TCompress64>;

/// How far ahead of the block being compressed the kernels request the input. Without it, a
/// kernel hashing a large buffer straight from memory waits on cache lines that the hardware
/// prefetcher has not fetched (measured: SHA-1 1.2 instead of 1.9 GB/s on a 256 MiB buffer).
inline constexpr std::uintptr_t kPrefetchDistance = 1024;

/// Requests the input `kPrefetchDistance` bytes past `data`. A prefetch never faults, so the
/// address may lie past the caller's buffer; it is formed as an integer for that reason.
inline void PrefetchInput(const std::uint8_t* data) {
#if defined(__GNUC__)
  __builtin_prefetch(
      reinterpret_cast<const void*>(reinterpret_cast<std::uintptr_t>(data) + kPrefetchDistance));
#else
  (void)data;
#endif
}

// clang-format off
/// SHA-256 round constants: the cube roots of the first 64 primes, 32 fractional bits.
alignas(64) inline constexpr std::uint32_t kSha256K[64] = {
    0x428a2f98u, 0x71374491u, 0xb5c0fbcfu, 0xe9b5dba5u, 0x3956c25bu, 0x59f111f1u, 0x923f82a4u, 0xab1c5ed5u,
    0xd807aa98u, 0x12835b01u, 0x243185beu, 0x550c7dc3u, 0x72be5d74u, 0x80deb1feu, 0x9bdc06a7u, 0xc19bf174u,
    0xe49b69c1u, 0xefbe4786u, 0x0fc19dc6u, 0x240ca1ccu, 0x2de92c6fu, 0x4a7484aau, 0x5cb0a9dcu, 0x76f988dau,
    0x983e5152u, 0xa831c66du, 0xb00327c8u, 0xbf597fc7u, 0xc6e00bf3u, 0xd5a79147u, 0x06ca6351u, 0x14292967u,
    0x27b70a85u, 0x2e1b2138u, 0x4d2c6dfcu, 0x53380d13u, 0x650a7354u, 0x766a0abbu, 0x81c2c92eu, 0x92722c85u,
    0xa2bfe8a1u, 0xa81a664bu, 0xc24b8b70u, 0xc76c51a3u, 0xd192e819u, 0xd6990624u, 0xf40e3585u, 0x106aa070u,
    0x19a4c116u, 0x1e376c08u, 0x2748774cu, 0x34b0bcb5u, 0x391c0cb3u, 0x4ed8aa4au, 0x5b9cca4fu, 0x682e6ff3u,
    0x748f82eeu, 0x78a5636fu, 0x84c87814u, 0x8cc70208u, 0x90befffau, 0xa4506cebu, 0xbef9a3f7u, 0xc67178f2u,
};

/// SHA-512 round constants: the cube roots of the first 80 primes, 64 fractional bits.
alignas(64) inline constexpr std::uint64_t kSha512K[80] = {
    0x428a2f98d728ae22ULL, 0x7137449123ef65cdULL, 0xb5c0fbcfec4d3b2fULL, 0xe9b5dba58189dbbcULL,
    0x3956c25bf348b538ULL, 0x59f111f1b605d019ULL, 0x923f82a4af194f9bULL, 0xab1c5ed5da6d8118ULL,
    0xd807aa98a3030242ULL, 0x12835b0145706fbeULL, 0x243185be4ee4b28cULL, 0x550c7dc3d5ffb4e2ULL,
    0x72be5d74f27b896fULL, 0x80deb1fe3b1696b1ULL, 0x9bdc06a725c71235ULL, 0xc19bf174cf692694ULL,
    0xe49b69c19ef14ad2ULL, 0xefbe4786384f25e3ULL, 0x0fc19dc68b8cd5b5ULL, 0x240ca1cc77ac9c65ULL,
    0x2de92c6f592b0275ULL, 0x4a7484aa6ea6e483ULL, 0x5cb0a9dcbd41fbd4ULL, 0x76f988da831153b5ULL,
    0x983e5152ee66dfabULL, 0xa831c66d2db43210ULL, 0xb00327c898fb213fULL, 0xbf597fc7beef0ee4ULL,
    0xc6e00bf33da88fc2ULL, 0xd5a79147930aa725ULL, 0x06ca6351e003826fULL, 0x142929670a0e6e70ULL,
    0x27b70a8546d22ffcULL, 0x2e1b21385c26c926ULL, 0x4d2c6dfc5ac42aedULL, 0x53380d139d95b3dfULL,
    0x650a73548baf63deULL, 0x766a0abb3c77b2a8ULL, 0x81c2c92e47edaee6ULL, 0x92722c851482353bULL,
    0xa2bfe8a14cf10364ULL, 0xa81a664bbc423001ULL, 0xc24b8b70d0f89791ULL, 0xc76c51a30654be30ULL,
    0xd192e819d6ef5218ULL, 0xd69906245565a910ULL, 0xf40e35855771202aULL, 0x106aa07032bbd1b8ULL,
    0x19a4c116b8d2d0c8ULL, 0x1e376c085141ab53ULL, 0x2748774cdf8eeb99ULL, 0x34b0bcb5e19b48a8ULL,
    0x391c0cb3c5c95a63ULL, 0x4ed8aa4ae3418acbULL, 0x5b9cca4f7763e373ULL, 0x682e6ff3d6b2b8a3ULL,
    0x748f82ee5defb2fcULL, 0x78a5636f43172f60ULL, 0x84c87814a1f0ab72ULL, 0x8cc702081a6439ecULL,
    0x90befffa23631e28ULL, 0xa4506cebde82bde9ULL, 0xbef9a3f7b2c67915ULL, 0xc67178f2e372532bULL,
    0xca273eceea26619cULL, 0xd186b8c721c0c207ULL, 0xeada7dd6cde0eb1eULL, 0xf57d4f7fee6ed178ULL,
    0x06f067aa72176fbaULL, 0x0a637dc5a2c898a6ULL, 0x113f9804bef90daeULL, 0x1b710b35131c471bULL,
    0x28db77f523047d84ULL, 0x32caab7b40c72493ULL, 0x3c9ebe0a15c9bebcULL, 0x431d67c49c100d4cULL,
    0x4cc5d4becb3e42b6ULL, 0x597f299cfc657e2aULL, 0x5fcb6fab3ad6faecULL, 0x6c44198c4a475817ULL,
};
// clang-format on

/// The kernel each family uses at the level in force; engines ask once, when constructed.
const TKernel32& Md5Kernel();
const TKernel32& Sha1Kernel();
const TKernel32& Sha256Kernel();
const TKernel64& Sha512Kernel();

// Portable kernels (every build).
void Md5Portable(std::uint32_t* state, const std::uint8_t* data, std::size_t blocks);
void Sha0Portable(std::uint32_t* state, const std::uint8_t* data, std::size_t blocks);
void Sha1Portable(std::uint32_t* state, const std::uint8_t* data, std::size_t blocks);
void Sha256Portable(std::uint32_t* state, const std::uint8_t* data, std::size_t blocks);
void Sha512Portable(std::uint64_t* state, const std::uint8_t* data, std::size_t blocks);

#if defined(TARVOLIN_X86_KERNELS)
// x86-64 variants, each in its own file and compiled for its instruction set only.
void Sha1ShaNi(std::uint32_t* state, const std::uint8_t* data, std::size_t blocks);
void Sha256ShaNi(std::uint32_t* state, const std::uint8_t* data, std::size_t blocks);
void Sha512Avx2(std::uint64_t* state, const std::uint8_t* data, std::size_t blocks);
void Sha512Avx512(std::uint64_t* state, const std::uint8_t* data, std::size_t blocks);
#endif

}  // namespace tarvolin::hash::kernels
