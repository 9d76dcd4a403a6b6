// SHA2_256, SHA2_384 and SHA2_512 (FIPS 180-4) on the shared block-engine base.
#pragma once

#include <cstdint>
#include <string_view>

#include "hash/hash.h"
#include "hash/kernels.h"

namespace tarvolin::hash {

/// SHA-256 family: eight 32-bit words, 64-byte blocks, 64-bit big-endian length.
class TSHA2_256Base : public TBlockHash {
 public:
  /// The compression kernel this engine runs ("portable", "shani"...).
  std::string_view KernelName() const { return kernel_name_; }

 protected:
  /// Picks the compression kernel for the CPU level in force.
  explicit TSHA2_256Base(std::int32_t hashSize);
  void Pad() override;
  void ProcessBlocks(const std::uint8_t* data, std::size_t blocks) override;

  std::uint32_t state_[8] = {};

 private:
  kernels::TCompress32 compress_;
  std::string_view kernel_name_;
};

class TSHA2_256 final : public TSHA2_256Base {
 public:
  TSHA2_256() : TSHA2_256Base(32) {}
  std::string Name() const override { return "TSHA2_256"; }
  void Initialize() override;
  IHashPtr Clone() const override;

 protected:
  Bytes ReadDigest() override;
};

/// SHA-512 family: eight 64-bit words, 128-byte blocks, 128-bit big-endian length.
class TSHA2_512Base : public TBlockHash {
 public:
  /// The compression kernel this engine runs ("portable", "avx2"...).
  std::string_view KernelName() const { return kernel_name_; }

 protected:
  /// Picks the compression kernel for the CPU level in force.
  explicit TSHA2_512Base(std::int32_t hashSize);
  void Pad() override;
  void ProcessBlocks(const std::uint8_t* data, std::size_t blocks) override;
  /// The first `HashSize` bytes of the state words, big-endian.
  Bytes ReadDigest() override;

  std::uint64_t state_[8] = {};

 private:
  kernels::TCompress64 compress_;
  std::string_view kernel_name_;
};

class TSHA2_384 final : public TSHA2_512Base {
 public:
  TSHA2_384() : TSHA2_512Base(48) {}
  std::string Name() const override { return "TSHA2_384"; }
  void Initialize() override;
  IHashPtr Clone() const override;
};

class TSHA2_512 final : public TSHA2_512Base {
 public:
  TSHA2_512() : TSHA2_512Base(64) {}
  std::string Name() const override { return "TSHA2_512"; }
  void Initialize() override;
  IHashPtr Clone() const override;
};

}  // namespace tarvolin::hash
