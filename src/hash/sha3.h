// SHA3_256, SHA3_384 and SHA3_512 (FIPS 202): the Keccak sponge on the shared block-engine base,
// with the rate as the block size.
#pragma once

#include <cstdint>
#include <string_view>

#include "hash/hash.h"
#include "hash/keccak.h"

namespace tarvolin::hash {

/// The SHA-3 sponge: 25 lanes of state, a rate of 200 - 2 x digest size bytes, and padding
/// that starts with the domain byte.
class TSHA3 : public TBlockHash {
 public:
  void Initialize() override;
  /// The absorption kernel this engine runs ("portable", "bmi2", "avx512").
  std::string_view KernelName() const { return kernel_name_; }
  /// "TSHA3_" and the digest size in bits.
  std::string Name() const override;

 protected:
  /// Picks the absorption kernel for the CPU level in force.
  explicit TSHA3(std::int32_t hashSize);
  /// Domain suffix bits followed by the first padding bit: 0x06 for SHA-3 (FIPS 202), where the
  /// pre-standard Keccak used 0x01.
  virtual std::uint8_t DomainByte() const { return 0x06; }
  void Pad() override;
  void ProcessBlocks(const std::uint8_t* data, std::size_t blocks) override;
  /// The first `HashSize` state bytes.
  Bytes ReadDigest() override;

  std::uint64_t state_[keccak::kLanes] = {};

 private:
  keccak::TAbsorb absorb_;
  std::string_view kernel_name_;
};

class TSHA3_256 final : public TSHA3 {
 public:
  TSHA3_256() : TSHA3(32) {}
  IHashPtr Clone() const override;
};

class TSHA3_384 final : public TSHA3 {
 public:
  TSHA3_384() : TSHA3(48) {}
  IHashPtr Clone() const override;
};

class TSHA3_512 final : public TSHA3 {
 public:
  TSHA3_512() : TSHA3(64) {}
  IHashPtr Clone() const override;
};

}  // namespace tarvolin::hash
