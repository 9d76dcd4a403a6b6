// The input both benchmarks hash.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tarvolin::bench {

/// `bytes` bytes of xorshift64 output: no engine can take a shortcut on them, and every run
/// hashes the same bytes.
inline std::vector<std::uint8_t> PseudoRandomBytes(std::size_t bytes) {
  std::vector<std::uint8_t> data(bytes);
  std::uint64_t x = 0x9E3779B97F4A7C15ULL;
  for (auto& byte : data) {
    x ^= x << 13;
    x ^= x >> 7;
    x ^= x << 17;
    byte = static_cast<std::uint8_t>(x);
  }
  return data;
}

}  // namespace tarvolin::bench
