// BLAKE3 engine: chunk state, subtree stack merged by the completed-chunk count, root output.
#include "hash/blake3.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>
#include <utility>

#include "hash/bits.h"
#include "hash/blake3_kernels.h"

namespace tarvolin::hash {

using blake3::kBlockLength;
using blake3::kChunkLength;

namespace {

void LoadWords(std::uint32_t words[16], const std::uint8_t block[64]) {
  for (std::size_t i = 0; i < 16; ++i) words[i] = bits::LoadLE32(block + 4 * i);
}

/// The chaining value of a non-root node.
void NodeCv(const TBlake3Node& node, std::uint32_t cv[8]) {
  std::copy(node.InputCv, node.InputCv + 8, cv);
  blake3::CompressInPlace(cv, node.Block, node.Counter, node.BlockLength, node.Flags);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Output reader

std::uint64_t TBlake3OutputReader::Read(std::uint8_t* destination, std::uint64_t length) {
  constexpr std::uint64_t kLimit = std::numeric_limits<std::uint64_t>::max();
  if (offset_ == kLimit) throw EArgumentOutOfRangeError("\"Maximum Output Length is 2^64 Bytes");
  length = std::min(length, kLimit - offset_);
  std::uint64_t done = 0;
  while (done < length) {
    // Output block i is the root compressed with counter i.
    const std::uint64_t index = offset_ / 64;
    if (!block_valid_ || block_index_ != index) {
      std::uint32_t words[16];
      blake3::CompressOutput(root_.InputCv, root_.Block, index, root_.BlockLength, root_.Flags,
                             words);
      for (std::size_t i = 0; i < 16; ++i) bits::StoreLE32(block_ + 4 * i, words[i]);
      block_index_ = index;
      block_valid_ = true;
    }
    const std::uint64_t position = offset_ % 64;
    const std::uint64_t n = std::min(64 - position, length - done);
    std::memcpy(destination + done, block_ + position, static_cast<std::size_t>(n));
    done += n;
    offset_ += n;
  }
  return done;
}

// ---------------------------------------------------------------------------------------------
// Engine

TBlake3::TBlake3(std::int32_t hashSize, ByteSpan key)
    : THash(hashSize, static_cast<std::int32_t>(kBlockLength)),
      stack_(kMaxDepth * 8),
      pending_((kMaxPending + 1) * 8),
      kernel_(&blake3::SelectKernels()) {
  if (!key.empty() && key.size() != static_cast<std::size_t>(kKeySize)) {
    throw EArgumentOutOfRangeError("\"Key\" Length Must Not Be Greater Than " +
                                   std::to_string(kKeySize) + ", \"" + std::to_string(key.size()) +
                                   "\"");
  }
  // A digest of no bytes (or a negative count) is no digest at all.
  if (hashSize < 1) {
    throw EArgumentOutOfRangeError("BLAKE3 HashSize Must Be Greater Than Zero, \"" +
                                   std::to_string(hashSize) + "\"");
  }
  if (key.empty()) {
    std::copy(std::begin(blake3::kIv), std::end(blake3::kIv), key_words_);
    mode_flags_ = 0;
  } else {
    for (std::size_t i = 0; i < 8; ++i) key_words_[i] = bits::LoadLE32(key.data() + 4 * i);
    mode_flags_ = blake3::kKeyedHash;
  }
}

std::string TBlake3::Name() const {
  return "TBlake3_" + std::to_string(HashSize() * 8);
}

void TBlake3::Initialize() {
  StartChunk(0);
  std::fill(stack_.begin(), stack_.end(), 0u);
  completed_chunks_ = 0;
  pending_count_ = 0;
}

void TBlake3::StartChunk(std::uint64_t counter) {
  std::copy(key_words_, key_words_ + 8, chunk_.Cv);
  std::memset(chunk_.Block, 0, sizeof chunk_.Block);
  chunk_.BlockLength = 0;
  chunk_.ChunkBytes = 0;
  chunk_.Counter = counter;
  chunk_.Flags = mode_flags_ | blake3::kChunkStart;
}

void TBlake3::ChunkUpdate(const std::uint8_t* data, std::size_t count) {
  while (count > 0) {
    // A full block is compressed only once more bytes of the same chunk arrive: the chunk's
    // last block needs CHUNK_END.
    if (chunk_.BlockLength == kBlockLength) {
      blake3::CompressBytesInPlace(chunk_.Cv, chunk_.Block, chunk_.Counter, kBlockLength,
                                   chunk_.Flags);
      chunk_.Flags &= ~blake3::kChunkStart;
      chunk_.BlockLength = 0;
    }
    if (chunk_.BlockLength == 0) {
      // Whole blocks with more bytes of this chunk behind them go straight from the input.
      while (count > kBlockLength) {
        blake3::CompressBytesInPlace(chunk_.Cv, data, chunk_.Counter, kBlockLength, chunk_.Flags);
        chunk_.Flags &= ~blake3::kChunkStart;
        chunk_.ChunkBytes += kBlockLength;
        data += kBlockLength;
        count -= kBlockLength;
      }
    }
    const std::size_t take = std::min<std::size_t>(kBlockLength - chunk_.BlockLength, count);
    std::memcpy(chunk_.Block + chunk_.BlockLength, data, take);
    chunk_.BlockLength += static_cast<std::uint32_t>(take);
    chunk_.ChunkBytes += static_cast<std::uint32_t>(take);
    data += take;
    count -= take;
  }
}

TBlake3Node TBlake3::ChunkOutput() const {
  TBlake3Node node;
  std::copy(chunk_.Cv, chunk_.Cv + 8, node.InputCv);
  std::uint8_t padded[64] = {};
  std::memcpy(padded, chunk_.Block, chunk_.BlockLength);
  LoadWords(node.Block, padded);
  node.Counter = chunk_.Counter;
  node.BlockLength = chunk_.BlockLength;
  node.Flags = chunk_.Flags | blake3::kChunkEnd;
  return node;
}

TBlake3Node TBlake3::ParentOutput(const std::uint32_t* left, const std::uint32_t* right) const {
  TBlake3Node node;
  std::copy(key_words_, key_words_ + 8, node.InputCv);
  std::copy(left, left + 8, node.Block);
  std::copy(right, right + 8, node.Block + 8);
  node.Counter = 0;
  node.BlockLength = kBlockLength;
  node.Flags = mode_flags_ | blake3::kParent;
  return node;
}

void TBlake3::AddWholeChunks(const std::uint8_t* data, std::size_t chunks) {
  kernel_->Entry.HashChunks(data, chunks, key_words_, chunk_.Counter, mode_flags_,
                            PendingCv(pending_count_));
  pending_count_ += chunks;
}

void TBlake3::MergePending(std::size_t count) {
  // Each set low bit of the count is a complete subtree waiting for a right sibling of its size,
  // so the merge runs as a binary counter carries, one tree level at a time: on each level the
  // stack entry that is the left sibling of the first new node joins in slot 0, pairs become
  // parents on the next level, and an unpaired last node waits on the stack.
  std::uint32_t scratch[(kMaxPending / 2 + 1) * 8];
  const blake3::TKernels& kernel = kernel_->Entry;
  std::uint32_t* nodes = pending_.data();
  std::uint32_t* next = scratch;
  std::uint64_t start = completed_chunks_;  // position of the first new node on its level
  std::size_t n = count;
  for (std::size_t level = 0; n > 0; ++level) {
    std::uint32_t* first = nodes + 8;
    if (start & 1) {
      std::copy(StackEntry(level), StackEntry(level) + 8, nodes);
      first = nodes;
      ++n;
    }
    if (n & 1) std::copy(first + 8 * (n - 1), first + 8 * n, StackEntry(level));
    const std::size_t parents = n / 2;
    if (parents > 0) kernel.HashParents(first, parents, key_words_, mode_flags_, next + 8);
    // Level 1 and every other level after it land in `pending_` again, below the values that
    // stay pending: a level holds at most half the nodes of the one before.
    std::swap(nodes, next);
    n = parents;
    start >>= 1;
  }
  completed_chunks_ += count;
  std::copy(PendingCv(count), PendingCv(pending_count_), PendingCv(0));
  pending_count_ -= count;
}

void TBlake3::TransformBytes(const std::uint8_t* data, std::size_t count) {
  while (count > 0) {
    // The current chunk is finished only when more input shows it is not the last one.
    if (chunk_.ChunkBytes == kChunkLength) {
      if (pending_count_ == kMaxPending) MergePending(pending_count_);
      NodeCv(ChunkOutput(), PendingCv(pending_count_));
      ++pending_count_;
      StartChunk(chunk_.Counter + 1);
    }
    // Whole chunks go to the bulk kernel, the input's last one too: with a chunk before it, it
    // is not the root. Only a first chunk that may be the whole message takes the chunk state.
    if (chunk_.ChunkBytes == 0 && count >= kChunkLength) {
      if (pending_count_ == kMaxPending) MergePending(pending_count_);
      const std::size_t chunks = std::min(count / kChunkLength, kMaxPending - pending_count_);
      const bool mayBeRoot =
          completed_chunks_ + pending_count_ + chunks < 2 && chunks * kChunkLength == count;
      if (!mayBeRoot) {
        AddWholeChunks(data, chunks);
        StartChunk(chunk_.Counter + chunks);
        data += chunks * kChunkLength;
        count -= chunks * kChunkLength;
        continue;
      }
    }
    const std::size_t take = std::min<std::size_t>(kChunkLength - chunk_.ChunkBytes, count);
    ChunkUpdate(data, take);
    data += take;
    count -= take;
  }
}

void TBlake3::SubtreeCv(const std::uint8_t* input, std::size_t chunks, std::uint64_t counter,
                        std::uint32_t cv[8]) const {
  if (chunks > kSubtreeChunks) {
    // Two halves, each a complete subtree, and their parent.
    const std::size_t half = chunks / 2;
    std::uint32_t children[16];
    SubtreeCv(input, half, counter, children);
    SubtreeCv(input + half * kChunkLength, half, counter + half, children + 8);
    kernel_->Entry.HashParents(children, 1, key_words_, mode_flags_, cv);
    return;
  }
  // The chunks' chaining values, then one tree level after the other in whole kernel passes.
  std::uint32_t nodes[kSubtreeChunks * 8];
  std::uint32_t parents[kSubtreeChunks / 2 * 8];
  kernel_->Entry.HashChunks(input, chunks, key_words_, counter, mode_flags_, nodes);
  for (std::size_t n = chunks; n > 1; n /= 2) {
    kernel_->Entry.HashParents(nodes, n / 2, key_words_, mode_flags_, parents);
    std::copy(parents, parents + 8 * (n / 2), nodes);
  }
  std::copy(nodes, nodes + 8, cv);
}

void TBlake3::AppendSubtree(const std::uint32_t cv[8], std::size_t chunks) {
  // More input follows, so a whole chunk waiting in the chunk state or as a pending value is
  // not the last one either: everything before the subtree joins the stack first.
  if (chunk_.ChunkBytes == kChunkLength) {
    if (pending_count_ == kMaxPending) MergePending(pending_count_);
    NodeCv(ChunkOutput(), PendingCv(pending_count_));
    ++pending_count_;
  }
  MergePending(pending_count_);
  // Adding 2^k chunks to the count carries like binary addition: each set bit met on the way is
  // a left sibling on the stack that joins the new subtree.
  std::uint32_t node[8];
  std::copy(cv, cv + 8, node);
  auto level = static_cast<std::size_t>(std::countr_zero(static_cast<std::uint64_t>(chunks)));
  for (; (completed_chunks_ >> level) & 1; ++level) {
    NodeCv(ParentOutput(StackEntry(level), node), node);
  }
  std::copy(node, node + 8, StackEntry(level));
  completed_chunks_ += chunks;
  StartChunk(completed_chunks_);
}

TBlake3Node TBlake3::RootNode() {
  std::uint64_t levels = completed_chunks_;
  TBlake3Node node;
  if (chunk_.ChunkBytes == 0 && pending_count_ > 0) {
    // The input ended with a whole chunk that waits as a chaining value. Chunks precede it, so
    // it is not the root: its parent with the lowest stack entry starts the fold.
    MergePending(pending_count_ - 1);
    levels = completed_chunks_;
    const auto level = static_cast<std::size_t>(std::countr_zero(levels));
    node = ParentOutput(StackEntry(level), PendingCv(0));
    levels &= levels - 1;
  } else {
    MergePending(pending_count_);
    levels = completed_chunks_;
    node = ChunkOutput();
  }
  // Up the right edge of the tree: each remaining set bit is a left sibling on the stack.
  for (; levels != 0; levels &= levels - 1) {
    std::uint32_t cv[8];
    NodeCv(node, cv);
    node = ParentOutput(StackEntry(static_cast<std::size_t>(std::countr_zero(levels))), cv);
  }
  node.Flags |= blake3::kRoot;
  return node;
}

TBlake3OutputReader TBlake3::FinalReader() {
  TBlake3OutputReader reader(RootNode());
  Initialize();
  return reader;
}

Bytes TBlake3::FinalOutput(std::size_t length) {
  TBlake3OutputReader reader = FinalReader();
  Bytes output(length);
  reader.Read(output.data(), length);
  return output;
}

IHashResultPtr TBlake3::Final() {
  return std::make_shared<THashResult>(FinalOutput(static_cast<std::size_t>(HashSize())));
}

IHashPtr TBlake3::Clone() const {
  return std::make_shared<TBlake3>(*this);
}

}  // namespace tarvolin::hash
