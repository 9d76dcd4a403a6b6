// SHA-3 engines: sponge absorption through the Keccak kernel picked at construction, in-place
// padding, digest read-out.
#include "hash/sha3.h"

#include <algorithm>
#include <iterator>

#include "hash/bits.h"

namespace tarvolin::hash {

TSHA3::TSHA3(std::int32_t hashSize) : TBlockHash(hashSize, 200 - 2 * hashSize) {
  const keccak::TAbsorbKernel& kernel = keccak::AbsorbKernel();
  absorb_ = kernel.Entry;
  kernel_name_ = kernel.Name;
}

void TSHA3::Initialize() {
  std::fill(std::begin(state_), std::end(state_), std::uint64_t{0});
  TBlockHash::Initialize();
}

std::string TSHA3::Name() const {
  return "TSHA3_" + std::to_string(HashSize() * 8);
}

void TSHA3::ProcessBlocks(const std::uint8_t* data, std::size_t blocks) {
  absorb_(state_, data, blocks, static_cast<std::size_t>(BlockSize()) / 8);
}

void TSHA3::Pad() {
  // The buffer holds the message bytes after the last whole block (fewer than a block). The
  // padding goes straight into it: the domain byte right after them, zeros, and the final bit
  // in the block's last byte; when both land on the same byte it becomes 0x86.
  const std::int32_t p = buffer_.Position();
  std::uint8_t* block = buffer_.Data();
  const auto rate = static_cast<std::size_t>(BlockSize());
  std::fill(block + p, block + rate, std::uint8_t{0});
  buffer_.SetPosition(0);
  block[p] = DomainByte();
  block[rate - 1] ^= 0x80;
  ProcessBlocks(block, 1);
}

Bytes TSHA3::ReadDigest() {
  Bytes digest(static_cast<std::size_t>(HashSize()));
  std::uint8_t lane[8];
  for (std::size_t i = 0; i < digest.size(); i += 8) {
    bits::StoreLE64(lane, state_[i / 8]);
    std::copy_n(lane, std::min<std::size_t>(8, digest.size() - i), digest.begin() + i);
  }
  return digest;
}

IHashPtr TSHA3_256::Clone() const {
  return std::make_shared<TSHA3_256>(*this);
}

IHashPtr TSHA3_384::Clone() const {
  return std::make_shared<TSHA3_384>(*this);
}

IHashPtr TSHA3_512::Clone() const {
  return std::make_shared<TSHA3_512>(*this);
}

}  // namespace tarvolin::hash
