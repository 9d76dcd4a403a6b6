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
  explicit TBlake3(std::int32_t hashSize, ByteSpan key = {});

  std::string Name() const override;
  void Initialize() override;
  void TransformBytes(const std::uint8_t* data, std::size_t count) override;
  IHashResultPtr Final() override;
  IHashPtr Clone() const override;

  /// Finishes the message like `Final` but returns `length` bytes of its output (the digest is
  /// their first `HashSize` bytes); the engine is then ready for the next message.
  Bytes FinalOutput(std::size_t length);
  /// Finishes the message and returns a reader over its whole output; the engine is then
  /// ready for the next message.
  TBlake3OutputReader FinalReader();

  /// Whole chunks in a subtree that `SubtreeCv` hashes at one go.
  static constexpr std::size_t kSubtreeChunks = 256;
  /// The chaining value of the complete subtree of `chunks` whole chunks at `input` (a power of
  /// two, at least 2), its first chunk numbered `counter` (a multiple of `chunks`). It is never
  /// the root, and nothing of the engine changes: several threads may hash subtrees of one
  /// message at once, each on its own part, and `AppendSubtree` joins them in order.
  void SubtreeCv(const std::uint8_t* input, std::size_t chunks, std::uint64_t counter,
                 std::uint32_t cv[8]) const;
  /// Adds a complete subtree of `chunks` chunks (a power of two) by its chaining value, as if
  /// its bytes had been given to `TransformBytes`. The message so far must hold a multiple of
  /// `chunks` whole chunks, and more input must follow: the subtree is not the last.
  void AppendSubtree(const std::uint32_t cv[8], std::size_t chunks);

  /// The bulk kernel this engine runs ("portable", "sse41", "avx2", "avx512"), chosen when it
  /// was constructed.
  std::string_view KernelName() const { return kernel_->Name; }

 private:
  struct ChunkState {
    std::uint32_t Cv[8];
    std::uint8_t Block[64];
    std::uint32_t BlockLength;
    std::uint32_t ChunkBytes;
    std::uint64_t Counter;
    std::uint32_t Flags;
  };

  /// Chunks whose chaining values may wait before they are merged into the stack.
  static constexpr std::size_t kMaxPending = 256;

  void StartChunk(std::uint64_t counter);
  /// Adds bytes of the current chunk (at most what still fits).
  void ChunkUpdate(const std::uint8_t* data, std::size_t count);
  TBlake3Node ChunkOutput() const;
  TBlake3Node ParentOutput(const std::uint32_t* left, const std::uint32_t* right) const;
  /// Hashes `chunks` whole chunks with the bulk kernel; their chaining values join the pending
  /// ones (there must be room).
  void AddWholeChunks(const std::uint8_t* data, std::size_t chunks);
  /// Merges the first `count` pending chaining values into the subtree stack, a tree level at a
  /// time so that the kernel sees many parents at once; the others move to the front.
  void MergePending(std::size_t count);
  std::uint32_t* PendingCv(std::size_t i) { return pending_.data() + 8 * (1 + i); }
  std::uint32_t* StackEntry(std::size_t level) { return stack_.data() + 8 * level; }
  const std::uint32_t* StackEntry(std::size_t level) const { return stack_.data() + 8 * level; }
  /// The root node; merges what is pending.
  TBlake3Node RootNode();

  std::uint32_t key_words_[8];
  std::uint32_t mode_flags_;
  ChunkState chunk_{};
  /// Entry i holds the chaining value of a complete subtree of 2^i chunks when bit i of
  /// `completed_chunks_` is set.
  std::vector<std::uint32_t> stack_;
  std::uint64_t completed_chunks_ = 0;
  /// Chaining values of whole chunks that follow the stack's subtrees, in order, not yet merged:
  /// merging a few hundred at once keeps every tree level in full kernel passes. They are merged
  /// when more input shows that none of them is the last chunk, or in `Final`. Slot 0 is scratch
  /// for a left sibling from the stack; the values start at slot 1.
  std::vector<std::uint32_t> pending_;
  std::size_t pending_count_ = 0;
  const blake3::TKernelRow* kernel_;
};

}  // namespace tarvolin::hash
