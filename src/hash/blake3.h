// BLAKE3 in the plain and the keyed mode, with extendable output.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "hash/blake3_kernels.h"
#include "hash/hash.h"

namespace tarvolin::hash {

/// What one BLAKE3 compression needs: the node of a chunk's last block, a parent, or the root.
struct TBlake3Node {
  std::uint32_t InputCv[8] = {};
  std::uint32_t Block[16] = {};
  std::uint64_t Counter = 0;
  std::uint32_t BlockLength = 0;
  std::uint32_t Flags = 0;
};

/// Reads the output of a root node: any number of bytes from any position below 2^64 - 1.
class TBlake3OutputReader {
 public:
  TBlake3OutputReader() = default;
  explicit TBlake3OutputReader(const TBlake3Node& root) : root_(root) {}

  /// Copies up to `length` output bytes from the current offset and returns how many; a read
  /// that would pass 2^64 - 1 bytes is shortened, and one that starts there fails.
  std::uint64_t Read(std::uint8_t* destination, std::uint64_t length);
  std::uint64_t Offset() const { return offset_; }
  /// Moves to any output position.
  void Seek(std::uint64_t offset) { offset_ = offset; }

 private:
  TBlake3Node root_;
  std::uint8_t block_[64] = {};
  std::uint64_t block_index_ = 0;
  bool block_valid_ = false;
  std::uint64_t offset_ = 0;
};

/// BLAKE3: plain hashing or keyed hashing with a 32-byte key. The default engine is
/// BLAKE3-256 in the plain mode, named "TBlake3_256".
class TBlake3 final : public THash {
 public:
  static constexpr std::int32_t kKeySize = 32;
  /// Stack levels: enough for 2^54 chunks, that is 2^64 bytes.
  static constexpr std::size_t kMaxDepth = 54;

  TBlake3() : TBlake3(32) {}
  /// `hashSize`: the digest length in bytes (at least 1). `key` empty: the plain mode;
  /// otherwise the keyed mode, and the key must have exactly 32 bytes.
  explicit TBlake3(std::int32_t hashSize, TByteSpan key = {});

  std::string Name() const override;
  void Initialize() override;
  void TransformBytes(const std::uint8_t* data, std::size_t count) override;
  IHashResultPtr Final() override;
  IHashPtr Clone() const override;

  /// Finishes the message like `Final` but returns `length` bytes of its output (the digest is
  /// their first `HashSize` bytes); the engine is then ready for the next message.
  TBytes FinalOutput(std::size_t length);
  /// Finishes the message and returns a reader over its whole output; the engine is then
  /// ready for the next message.
  TBlake3OutputReader FinalReader();

  /// The bulk kernel this engine runs ("portable", "sse41", "avx2", "avx512"), chosen when it
  /// was constructed.
  std::string_view KernelName() const { return kernel_->Name; }

 private:
  struct TChunkState {
    std::uint32_t Cv[8];
    std::uint8_t Block[64];
    std::uint32_t BlockLength;
    std::uint32_t ChunkBytes;
    std::uint64_t Counter;
    std::uint32_t Flags;
  };

  void StartChunk(std::uint64_t counter);
  /// Adds bytes of the current chunk (at most what still fits).
  void ChunkUpdate(const std::uint8_t* data, std::size_t count);
  TBlake3Node ChunkOutput() const;
  TBlake3Node ParentOutput(const std::uint32_t* left, const std::uint32_t* right) const;
  /// Adds the chaining value of a complete subtree of 2^level chunks to the subtree stack; the
  /// completed-chunk count has no bit set below `level`.
  void PushSubtree(const std::uint32_t cv[8], std::size_t level);
  /// Hashes `chunks` whole chunks. All but the last `tailChunks` (0, or a power of two of at
  /// least 2 that the count after them divides) go to the stack; those last ones become the
  /// held-back tail.
  void AddWholeChunks(const std::uint8_t* data, std::size_t chunks, std::size_t tailChunks);
  std::uint32_t* StackEntry(std::size_t level) { return stack_.data() + 8 * level; }
  const std::uint32_t* StackEntry(std::size_t level) const { return stack_.data() + 8 * level; }
  TBlake3Node RootNode() const;

  std::uint32_t key_words_[8];
  std::uint32_t mode_flags_;
  TChunkState chunk_{};
  /// Entry i holds the chaining value of a complete subtree of 2^i chunks when bit i of
  /// `completed_chunks_` is set.
  std::vector<std::uint32_t> stack_;
  std::uint64_t completed_chunks_ = 0;
  /// A run of whole chunks that ended the input so far, hashed in bulk but held back like the
  /// last chunk, since it may hold the root: a complete subtree of `tail_chunks_` (a power of
  /// two, at least 2) chunks, kept as the two chaining values of its top node. 0: none; the
  /// chunk state is then the last chunk, otherwise it is empty.
  std::uint64_t tail_chunks_ = 0;
  std::uint32_t tail_children_[16] = {};
  const blake3::TKernelRow* kernel_;
};

}  // namespace tarvolin::hash
