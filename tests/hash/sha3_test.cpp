// SHA-3 engines beyond the known answers: the Keccak permutation itself, the multi-block
// absorption contract of every kernel, the domain byte hook, and the engines' names and sizes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "hash/engines.h"
#include "hash/keccak.h"
#include "hash/sha3.h"
#include "support/test_support.h"

namespace tarvolin::test {
namespace {

namespace keccak = hash::keccak;

TEST(Keccak, PermutesZeroStateAsPublished) {
  // The Keccak team's intermediate values for Keccak-f[1600] on the all-zero state.
  std::uint64_t state[keccak::kLanes] = {};
  keccak::Permute(state);
  EXPECT_EQ(state[0], 0xf1258f7940e1dde7ULL);
  EXPECT_EQ(state[1], 0x84d5ccf933c0478aULL);
  EXPECT_EQ(state[2], 0xd598261ea65aa9eeULL);
  EXPECT_EQ(state[3], 0xbd1547306f80494dULL);
  EXPECT_EQ(state[12], 0x81a57c16dbcf555fULL);
  EXPECT_EQ(state[24], 0xeaf1ff7b5ceca249ULL);
  keccak::Permute(state);
  EXPECT_EQ(state[0], 0x2d5c954df96ecb3cULL);
}

/// Every absorption kernel this CPU can run, each once.
std::vector<const keccak::TAbsorbKernel*> AbsorbKernels() {
  std::vector<const keccak::TAbsorbKernel*> kernels;
  for (const platform::TCpuLevel level : platform::AvailableCpuLevels()) {
    const TCpuLevelScope scope(level);
    const keccak::TAbsorbKernel& kernel = keccak::AbsorbKernel();
    if (std::find(kernels.begin(), kernels.end(), &kernel) == kernels.end()) {
      kernels.push_back(&kernel);
    }
  }
  return kernels;
}

TEST(Keccak, EveryKernelAbsorbsAsBlockByBlockPermutation) {
  // From a random state, at every rate a kernel may be given (the SHA-3 rates and the extremes),
  // several blocks in one call equal XOR-and-permute one block at a time; no blocks leave the
  // state alone.
  const Bytes data = RandomBytes(5 * 200, 5);
  const Bytes start = RandomBytes(8 * keccak::kLanes, 6);
  for (const keccak::TAbsorbKernel* kernel : AbsorbKernels()) {
    for (const std::size_t rateLanes : {1u, 4u, 5u, 9u, 13u, 17u, 18u, 21u, 24u, 25u}) {
      std::uint64_t many[keccak::kLanes];
      std::memcpy(many, start.data(), sizeof many);
      std::uint64_t single[keccak::kLanes];
      std::memcpy(single, start.data(), sizeof single);
      kernel->Entry(many, data.data(), 0, rateLanes);
      EXPECT_TRUE(std::equal(std::begin(many), std::end(many), std::begin(single)))
          << kernel->Name << ", no blocks, rate lanes " << rateLanes;
      kernel->Entry(many, data.data(), 5, rateLanes);
      for (std::size_t block = 0; block < 5; ++block) {
        for (std::size_t i = 0; i < rateLanes; ++i) {
          std::uint64_t lane = 0;
          for (int b = 7; b >= 0; --b) lane = (lane << 8) | data[block * 8 * rateLanes + 8 * i + b];
          single[i] ^= lane;
        }
        keccak::Permute(single);
      }
      EXPECT_TRUE(std::equal(std::begin(many), std::end(many), std::begin(single)))
          << kernel->Name << ", rate lanes " << rateLanes;
    }
  }
}

/// The pre-standard Keccak-256: SHA3_256 with the original domain byte 0x01.
class TKeccak256 final : public hash::TSHA3 {
 public:
  TKeccak256() : TSHA3(32) {}
  hash::IHashPtr Clone() const override { return std::make_shared<TKeccak256>(*this); }

 protected:
  std::uint8_t DomainByte() const override { return 0x01; }
};

TEST(SHA3, DomainByteSeparatesSHA3FromKeccak) {
  TKeccak256 keccak256;
  EXPECT_EQ(ToHex(keccak256.HashBytes({})->GetBytes()),
            "c5d2460186f7233c927e7db2dcc703c0e500b653ca82273b7bfad8045d85a470");
  EXPECT_EQ(ToHex(keccak256.HashBytes(BytesOf("abc"))->GetBytes()),
            "4e03657aea45a94fc7d47ba826c8d667c0d1e6e33a64a036ec44f58fa12d6c45");
  EXPECT_EQ(ToHex(hash::TSHA3_256().HashBytes({})->GetBytes()),
            "a7ffc6f8bf1ed76651c14756a061d662f580ff4de43b49fa82d80a4b80f8434a");
}

TEST(SHA3, NamesAndSizes) {
  const hash::TSHA3_256 sha256;
  const hash::TSHA3_384 sha384;
  const hash::TSHA3_512 sha512;
  EXPECT_EQ(sha256.Name(), "TSHA3_256");
  EXPECT_EQ(sha384.Name(), "TSHA3_384");
  EXPECT_EQ(sha512.Name(), "TSHA3_512");
  EXPECT_EQ(sha256.HashSize(), 32);
  EXPECT_EQ(sha256.BlockSize(), 136);
  EXPECT_EQ(sha384.HashSize(), 48);
  EXPECT_EQ(sha384.BlockSize(), 104);
  EXPECT_EQ(sha512.HashSize(), 64);
  EXPECT_EQ(sha512.BlockSize(), 72);
  EXPECT_EQ(sha256.Clone()->Name(), "TSHA3_256");
}

}  // namespace
}  // namespace tarvolin::test
