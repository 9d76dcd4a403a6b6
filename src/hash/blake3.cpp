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

/// Whole chunks hashed by one kernel call: 64 KiB, the size of a file read.
constexpr std::size_t kMaxBatchChunks = 64;

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

TBlake3::TBlake3(std::int32_t hashSize, TByteSpan key)
    : THash(hashSize, static_cast<std::int32_t>(kBlockLength)),
      stack_(kMaxDepth * 8),
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
  tail_chunks_ = 0;
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

void TBlake3::PushSubtree(const std::uint32_t cv[8], std::size_t level) {
  std::uint32_t merged[8];
  std::copy(cv, cv + 8, merged);
  const std::uint64_t added = std::uint64_t{1} << level;
  // Every set bit of the count from `level` up is a complete subtree of the same size as the
  // one being added: merge them, as a binary counter carries.
  while ((completed_chunks_ >> level) & 1) {
    NodeCv(ParentOutput(StackEntry(level), merged), merged);
    ++level;
  }
  std::copy(merged, merged + 8, StackEntry(level));
  completed_chunks_ += added;
}

void TBlake3::AddWholeChunks(const std::uint8_t* data, std::size_t chunks, std::size_t tailChunks) {
  // Slot 0 of each buffer takes the stack entry that is the left sibling of a level's first
  // new node; the new nodes start at slot 1.
  std::uint32_t bufferA[(kMaxBatchChunks + 1) * 8];
  std::uint32_t bufferB[(kMaxBatchChunks + 1) * 8];
  const blake3::TKernels& kernel = kernel_->Function;
  kernel.HashChunks(data, chunks, key_words_, chunk_.Counter, mode_flags_, bufferA + 8);
  const std::size_t committed = chunks - tailChunks;

  if (tailChunks > 0) {
    // The tail is reduced to the two children of its top node, a level at a time; its top node
    // is hashed when more input shows that it is not the root.
    std::uint32_t* nodes = bufferA + 8 * (1 + committed);
    std::uint32_t* next = bufferB + 8 * (1 + committed);
    for (std::size_t count = tailChunks; count > 2; count /= 2) {
      kernel.HashParents(nodes, count / 2, key_words_, mode_flags_, next);
      std::swap(nodes, next);
    }
    std::copy(nodes, nodes + 16, tail_children_);
    tail_chunks_ = tailChunks;
  }

  // The same merge as PushSubtree, done a level at a time so the kernels see many parents at
  // once.
  std::uint32_t* nodes = bufferA;
  std::uint32_t* next = bufferB;
  std::uint64_t start = completed_chunks_;  // position of the first new node on its level
  std::size_t count = committed;
  for (std::size_t level = 0; count > 0; ++level) {
    std::uint32_t* first = nodes + 8;
    if (start & 1) {
      std::copy(StackEntry(level), StackEntry(level) + 8, nodes);
      first = nodes;
      ++count;
    }
    // An unpaired last node waits on the stack for its right sibling.
    if (count & 1) std::copy(first + 8 * (count - 1), first + 8 * count, StackEntry(level));
    const std::size_t parents = count / 2;
    if (parents > 0) kernel.HashParents(first, parents, key_words_, mode_flags_, next + 8);
    std::swap(nodes, next);
    count = parents;
    start >>= 1;
  }
  completed_chunks_ += committed;
}

void TBlake3::TransformBytes(const std::uint8_t* data, std::size_t count) {
  while (count > 0) {
    // What ended the input so far is finished only now that more input shows it is not last.
    if (tail_chunks_ != 0) {
      std::uint32_t cv[8];
      NodeCv(ParentOutput(tail_children_, tail_children_ + 8), cv);
      PushSubtree(cv, static_cast<std::size_t>(std::countr_zero(tail_chunks_)));
      tail_chunks_ = 0;
    } else if (chunk_.ChunkBytes == kChunkLength) {
      std::uint32_t cv[8];
      NodeCv(ChunkOutput(), cv);
      PushSubtree(cv, 0);
      StartChunk(chunk_.Counter + 1);
    }
    // Runs of whole chunks go to the bulk kernel. When the input ends with them, the last
    // complete subtree among them is held back (it may be the root), or, when that is a single
    // chunk, the last chunk goes to the chunk state.
    if (chunk_.ChunkBytes == 0 && count > kChunkLength) {
      std::size_t chunks = std::min(count / kChunkLength, kMaxBatchChunks);
      std::size_t tail = 0;
      if (chunks * kChunkLength == count) {
        const std::uint64_t end = completed_chunks_ + chunks;
        tail = static_cast<std::size_t>(
            std::min<std::uint64_t>(end & (0 - end), std::bit_floor(chunks)));
        if (tail == 1) {
          tail = 0;
          --chunks;
        }
      }
      if (chunks > 0) {
        AddWholeChunks(data, chunks, tail);
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

TBlake3Node TBlake3::RootNode() const {
  TBlake3Node node =
      tail_chunks_ != 0 ? ParentOutput(tail_children_, tail_children_ + 8) : ChunkOutput();
  for (std::size_t level = 0; level < kMaxDepth; ++level) {
    if ((completed_chunks_ >> level) & 1) {
      std::uint32_t cv[8];
      NodeCv(node, cv);
      node = ParentOutput(StackEntry(level), cv);
    }
  }
  node.Flags |= blake3::kRoot;
  return node;
}

TBlake3OutputReader TBlake3::FinalReader() {
  TBlake3OutputReader reader(RootNode());
  Initialize();
  return reader;
}

TBytes TBlake3::FinalOutput(std::size_t length) {
  TBlake3OutputReader reader = FinalReader();
  TBytes output(length);
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
