// One file read on several threads: the engines of `--all` side by side, and BLAKE3 as
// subtrees read at their own offsets, give the digests of a one-thread read.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "hash/blake3.h"
#include "hash/sha2.h"
#include "hash/stream.h"
#include "support/test_support.h"

namespace tarvolin::test {
namespace {

std::vector<std::string> Digests(hash::TFileHasher& hasher, const std::string& path,
                                 std::span<hash::IHash* const> engines) {
  std::vector<std::string> hex;
  for (const auto& result : hasher.HashFile(path, engines)) hex.push_back(result->ToHex());
  return hex;
}

TEST(ThreadedRead, DigestsMatchOneThreadAtEverySplit) {
  constexpr std::int64_t kSeveral = hash::TFileHasher::kParallelMinimum;
  constexpr std::int64_t kTree = hash::TFileHasher::kTreeMinimum;
  constexpr std::int64_t kPiece = 256 * 1024;
  // Below, at and past each threshold; past a 64 MiB batch of subtrees; a partial last chunk,
  // a last piece that is whole, and a file of exactly one more piece than the batch.
  const std::int64_t sizes[] = {
      kSeveral - 1, kSeveral + 1023, kTree - 1,        kTree,
      kTree + 1,    129 * kPiece,    257 * kPiece + 1, 256 * kPiece + 1025};
  const Bytes all = RandomBytes(static_cast<std::size_t>(257 * kPiece + 1025), 7);
  TScratchDir scratch;
  hash::TBlake3 blake3;
  hash::TBlake3 keyed(32, Bytes(32, 0x5A));
  hash::TSHA2_256 sha;
  hash::TFileHasher one;
  hash::TFileHasher three;
  three.SetThreads(3);
  for (const std::int64_t size : sizes) {
    SCOPED_TRACE(size);
    const std::string path =
        scratch.WriteFile("f", Bytes(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(size)));
    for (hash::IHash* alone :
         {static_cast<hash::IHash*>(&blake3), static_cast<hash::IHash*>(&keyed)}) {
      hash::IHash* engines[] = {alone};
      EXPECT_EQ(Digests(three, path, engines), Digests(one, path, engines));
    }
    hash::IHash* several[] = {&sha, &blake3};
    EXPECT_EQ(Digests(three, path, several), Digests(one, path, several));
  }
}

}  // namespace
}  // namespace tarvolin::test
