// SHA-0 and SHA-1 (FIPS 180-4) on the shared block-engine base.
#pragma once

#include <cstdint>
#include <string_view>

#include "hash/hash.h"
#include "hash/kernels.h"

namespace tarvolin::hash {

/// SHA-0: everything of SHA-1 except the rotation in the message expansion.
class TSHA0 : public TBlockHash {
 public:
  TSHA0();
  std::string Name() const override { return "TSHA0"; }
  void Initialize() override;
  IHashPtr Clone() const override;
  /// The compression kernel this engine runs ("portable", "shani"...).
  std::string_view KernelName() const { return kernel_name_; }

 protected:
  explicit TSHA0(const kernels::TKernel32& kernel);
  void Pad() override;
  void ProcessBlocks(const std::uint8_t* data, std::size_t blocks) override;
  Bytes ReadDigest() override;

  std::uint32_t state_[5] = {};

 private:
  kernels::TCompress32 compress_;
  std::string_view kernel_name_;
};

/// SHA-1: SHA-0 with each expanded word rotated left by one.
class TSHA1 final : public TSHA0 {
 public:
  /// Picks the compression kernel for the CPU level in force.
  TSHA1();
  std::string Name() const override { return "TSHA1"; }
  IHashPtr Clone() const override;
};

}  // namespace tarvolin::hash
