// XXHash64: the 64-bit xxHash (XXH64) with an optional 64-bit seed, on the THash base.
#pragma once

#include <cstdint>

#include "hash/hash.h"

namespace tarvolin::hash {

/// XXH64 over 32-byte stripes. The digest is the 64-bit value, most significant byte first.
class TXXHash64 final : public THash, public IKeyedHash {
 public:
  TXXHash64() : THash(8, 32) {}

  std::string Name() const override { return "TXXHash64"; }
  void Initialize() override;
  void TransformBytes(const std::uint8_t* data, std::size_t count) override;
  IHashResultPtr Final() override;
  IHashPtr Clone() const override;

  /// The seed as 8 bytes, least significant first.
  TBytes Key() const override;
  /// Sets the seed from 8 little-endian bytes (empty: seed 0); it applies from the next
  /// `Initialize` on.
  void SetKey(TByteSpan key) override;
  std::int32_t KeyLength() const override { return 8; }

 private:
  /// The running state of one message.
  struct TXXH_State {
    std::uint64_t total_length = 0;
    std::uint64_t v1 = 0, v2 = 0, v3 = 0, v4 = 0;
    /// The seed the message was started with.
    std::uint64_t seed = 0;
    std::uint32_t memory_size = 0;
    std::uint8_t memory[32] = {};
  };

  /// Applies the lane step to every whole 32-byte stripe of `data`.
  void ProcessStripes(const std::uint8_t* data, std::size_t stripes);

  std::uint64_t key_ = 0;
  TXXH_State state_;
};

}  // namespace tarvolin::hash
