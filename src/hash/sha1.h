// SHA-0 and SHA-1 (FIPS 180-4) on the shared block-engine base.
#pragma once

#include <cstdint>

#include "hash/hash.h"

namespace tarvolin::hash {

/// SHA-0: everything of SHA-1 except the rotation in the message expansion.
class TSHA0 : public TBlockHash {
 public:
  TSHA0();
  std::string Name() const override { return "TSHA0"; }
  void Initialize() override;
  IHashPtr Clone() const override;

 protected:
  void Pad() override;
  void ProcessBlocks(const std::uint8_t* data, std::size_t blocks) override;
  TBytes ReadDigest() override;
  /// Expands the 16 message words in w[0..15] to the 80 words of the schedule.
  virtual void ExpandMessage(std::uint32_t (&w)[80]) const;

  std::uint32_t state_[5] = {};
};

/// SHA-1: SHA-0 with each expanded word rotated left by one.
class TSHA1 final : public TSHA0 {
 public:
  std::string Name() const override { return "TSHA1"; }
  IHashPtr Clone() const override;

 protected:
  void ExpandMessage(std::uint32_t (&w)[80]) const override;
};

}  // namespace tarvolin::hash
