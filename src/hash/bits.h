// Word loads, stores and rotations shared by the engines.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

namespace tarvolin::hash::bits {

static_assert(std::endian::native == std::endian::little ||
              std::endian::native == std::endian::big);

inline std::uint32_t LoadLE32(const std::uint8_t* p) {
  std::uint32_t v;
  std::memcpy(&v, p, 4);
  if constexpr (std::endian::native == std::endian::big) v = __builtin_bswap32(v);
  return v;
}

inline std::uint64_t LoadLE64(const std::uint8_t* p) {
  std::uint64_t v;
  std::memcpy(&v, p, 8);
  if constexpr (std::endian::native == std::endian::big) v = __builtin_bswap64(v);
  return v;
}

inline std::uint32_t LoadBE32(const std::uint8_t* p) {
  std::uint32_t v;
  std::memcpy(&v, p, 4);
  if constexpr (std::endian::native == std::endian::little) v = __builtin_bswap32(v);
  return v;
}

inline std::uint64_t LoadBE64(const std::uint8_t* p) {
  std::uint64_t v;
  std::memcpy(&v, p, 8);
  if constexpr (std::endian::native == std::endian::little) v = __builtin_bswap64(v);
  return v;
}

inline void StoreLE32(std::uint8_t* p, std::uint32_t v) {
  if constexpr (std::endian::native == std::endian::big) v = __builtin_bswap32(v);
  std::memcpy(p, &v, 4);
}

inline void StoreLE64(std::uint8_t* p, std::uint64_t v) {
  if constexpr (std::endian::native == std::endian::big) v = __builtin_bswap64(v);
  std::memcpy(p, &v, 8);
}

inline void StoreBE32(std::uint8_t* p, std::uint32_t v) {
  if constexpr (std::endian::native == std::endian::little) v = __builtin_bswap32(v);
  std::memcpy(p, &v, 4);
}

inline void StoreBE64(std::uint8_t* p, std::uint64_t v) {
  if constexpr (std::endian::native == std::endian::little) v = __builtin_bswap64(v);
  std::memcpy(p, &v, 8);
}

/// A 32- or 64-bit word with its bytes in the other order.
template <typename Word>
inline Word ByteSwap(Word v) {
  static_assert(sizeof(Word) == 4 || sizeof(Word) == 8);
  if constexpr (sizeof(Word) == 4) {
    return __builtin_bswap32(v);
  } else {
    return __builtin_bswap64(v);
  }
}

/// The word stored at `p` in byte order `kOrder`, for code written once for both word sizes.
template <typename Word, std::endian kOrder>
inline Word Load(const std::uint8_t* p) {
  Word v;
  std::memcpy(&v, p, sizeof v);
  if constexpr (kOrder != std::endian::native) v = ByteSwap(v);
  return v;
}

/// Stores `v` at `p` in byte order `kOrder`.
template <typename Word, std::endian kOrder>
inline void Store(std::uint8_t* p, Word v) {
  if constexpr (kOrder != std::endian::native) v = ByteSwap(v);
  std::memcpy(p, &v, sizeof v);
}

/// Requests the cache line `ahead` bytes past `data`, for loops that stream through memory
/// faster than the hardware prefetcher runs ahead of them. A prefetch never faults, so the
/// address may lie past the caller's buffer; it is formed as an integer for that reason.
inline void PrefetchAhead(const std::uint8_t* data, std::uintptr_t ahead) {
#if defined(__GNUC__)
  __builtin_prefetch(reinterpret_cast<const void*>(reinterpret_cast<std::uintptr_t>(data) + ahead));
#else
  (void)data;
  (void)ahead;
#endif
}

inline constexpr std::uint32_t Rotl32(std::uint32_t x, int n) {
  return std::rotl(x, n);
}
inline constexpr std::uint32_t Rotr32(std::uint32_t x, int n) {
  return std::rotr(x, n);
}
inline constexpr std::uint64_t Rotl64(std::uint64_t x, int n) {
  return std::rotl(x, n);
}
inline constexpr std::uint64_t Rotr64(std::uint64_t x, int n) {
  return std::rotr(x, n);
}

}  // namespace tarvolin::hash::bits
