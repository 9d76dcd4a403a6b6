// MD5 (RFC 1321) on the shared block-engine base.
#pragma once

#include <string_view>
#include <vector>

#include "hash/hash.h"
#include "hash/kernels.h"

namespace tarvolin::hash {

/// The MD family base: little-endian words, 64-byte blocks, 64-bit little-endian length.
class TMDBase : public TBlockHash {
 public:
  void Initialize() override;

 protected:
  TMDBase(std::int32_t stateWords, std::int32_t hashSize);
  void Pad() override;
  Bytes ReadDigest() override;

  std::vector<std::uint32_t> state_;
};

class TMD5 final : public TMDBase {
 public:
  /// Picks the compression kernel for the CPU level in force.
  TMD5();
  std::string Name() const override { return "TMD5"; }
  IHashPtr Clone() const override;
  /// The compression kernel this engine runs ("portable", "bmi"...).
  std::string_view KernelName() const { return kernel_name_; }

 protected:
  void ProcessBlocks(const std::uint8_t* data, std::size_t blocks) override;

 private:
  kernels::TCompress32 compress_;
  std::string_view kernel_name_;
};

}  // namespace tarvolin::hash
