// Helpers shared by the fuzz targets: the invariant check that stops the run with a message,
// and a reader that takes typed values off the front of the fuzzer's input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace tarvolin::fuzz {

/// Stops the run: libFuzzer (or the replay driver) then keeps the input that caused it.
[[noreturn]] inline void Fail(const char* file, int line, const char* condition,
                              const std::string& detail) {
  std::fprintf(stderr, "%s:%d: invariant failed: %s\n%s\n", file, line, condition, detail.c_str());
  std::fflush(stderr);
  std::abort();
}

/// Takes bytes off the front of the input; reads past the end give zeros / empty.
class TInput {
 public:
  TInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  std::uint8_t Byte() { return position_ < size_ ? data_[position_++] : 0; }
  std::uint16_t Word() {
    const std::uint16_t high = Byte();
    return static_cast<std::uint16_t>(high << 8 | Byte());
  }
  /// The next `count` bytes (fewer at the end).
  std::string_view Bytes(std::size_t count) {
    if (count > size_ - position_) count = size_ - position_;
    const std::string_view bytes(reinterpret_cast<const char*>(data_ + position_), count);
    position_ += count;
    return bytes;
  }
  /// Everything not taken yet.
  std::string_view Rest() { return Bytes(size_ - position_); }
  std::size_t Remaining() const { return size_ - position_; }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t position_ = 0;
};

}  // namespace tarvolin::fuzz

#define FUZZ_CHECK(condition, detail)                                                   \
  do {                                                                                  \
    if (!(condition)) ::tarvolin::fuzz::Fail(__FILE__, __LINE__, #condition, (detail)); \
  } while (false)
