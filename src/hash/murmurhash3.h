// MurmurHash3 128-bit engines, x86 (four 32-bit lanes) and x64 (two 64-bit lanes), with an
// optional 32-bit seed, on the THash base.
#pragma once

#include <array>
#include <cstdint>

#include "hash/hash.h"

namespace tarvolin::hash {

/// MurmurHash3_x86_128. The digest is h1, h2, h3, h4, each most significant byte first.
class TMurmurHash3_x86_128 final : public THash, public IKeyedHash {
 public:
  TMurmurHash3_x86_128() : THash(16, 16) {}

  std::string Name() const override { return "TMurmurHash3_x86_128"; }
  void Initialize() override;
  void TransformBytes(const std::uint8_t* data, std::size_t count) override;
  IHashResultPtr Final() override;
  IHashPtr Clone() const override;

  /// The seed as 4 bytes, least significant first.
  Bytes Key() const override;
  /// Sets the seed from 4 little-endian bytes (empty: seed 0); it applies from the next
  /// `Initialize` on.
  void SetKey(ByteSpan key) override;
  std::int32_t KeyLength() const override { return 4; }

 private:
  void ProcessBlocks(const std::uint8_t* data, std::size_t blocks);

  std::array<std::uint8_t, 16> buffer_ = {};
  std::uint32_t key_ = 0;
  std::uint32_t h1_ = 0, h2_ = 0, h3_ = 0, h4_ = 0;
  /// Bytes taken in since `Initialize`, modulo 2^32 as the algorithm defines it.
  std::uint32_t total_length_ = 0;
  std::int32_t fill_ = 0;
};

/// MurmurHash3_x64_128. The digest is h1, h2, each most significant byte first.
class TMurmurHash3_x64_128 final : public THash, public IKeyedHash {
 public:
  TMurmurHash3_x64_128() : THash(16, 16) {}

  std::string Name() const override { return "TMurmurHash3_x64_128"; }
  void Initialize() override;
  void TransformBytes(const std::uint8_t* data, std::size_t count) override;
  IHashResultPtr Final() override;
  IHashPtr Clone() const override;

  /// The seed as 4 bytes, least significant first.
  Bytes Key() const override;
  /// Sets the seed from 4 little-endian bytes (empty: seed 0); it applies from the next
  /// `Initialize` on.
  void SetKey(ByteSpan key) override;
  std::int32_t KeyLength() const override { return 4; }

 private:
  void ProcessBlocks(const std::uint8_t* data, std::size_t blocks);

  std::uint64_t h1_ = 0, h2_ = 0;
  std::uint64_t total_length_ = 0;
  std::array<std::uint8_t, 16> buffer_ = {};
  std::uint32_t key_ = 0;
  std::int32_t fill_ = 0;
};

}  // namespace tarvolin::hash
