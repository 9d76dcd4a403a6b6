// BLAKE2 configurations, parameter block, buffering and finalisation, shared by BLAKE2s and
// BLAKE2b; the compression functions live in blake2_portable.cpp and the x86 kernel files.
#include "hash/blake2.h"

#include <algorithm>
#include <cstring>

#include "hash/bits.h"

namespace tarvolin::hash {

namespace {

std::string Quoted(std::int64_t value) {
  return "\"" + std::to_string(value) + "\"";
}

template <typename P>
void CheckHashSize(std::int32_t value) {
  if (value < 1 || value > P::kMaxHashSize) {
    throw EArgumentOutOfRangeError(std::string(P::kUpperName) +
                                   " HashSize must be restricted to one of the following [1 .. " +
                                   std::to_string(P::kMaxHashSize) + "], " + Quoted(value));
  }
}

template <typename P>
void CheckKey(std::size_t length) {
  if (length > static_cast<std::size_t>(P::kMaxKeySize)) {
    throw EArgumentOutOfRangeError("\"Key\" Length Must Not Be Greater Than " +
                                   std::to_string(P::kMaxKeySize) + ", " +
                                   Quoted(static_cast<std::int64_t>(length)));
  }
}

/// An optional field of fixed length: empty, or exactly `required` bytes.
void CheckFixedLength(const char* field, std::size_t length, std::int32_t required) {
  if (length != 0 && length != static_cast<std::size_t>(required)) {
    throw EArgumentOutOfRangeError("\"" + std::string(field) + "\" Length Must Be Equal To " +
                                   std::to_string(required) + ", " +
                                   Quoted(static_cast<std::int64_t>(length)));
  }
}

/// Overwrites a key's bytes; an empty array has no storage to clear.
void ClearKey(Bytes& key) {
  if (!key.empty()) SecureZero(key.data(), key.size());
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// TBlake2Config

template <typename P>
TBlake2Config<P>::TBlake2Config(std::int32_t hashSize) : hash_size_(hashSize) {
  CheckHashSize<P>(hashSize);
}

template <typename P>
TBlake2Config<P>::~TBlake2Config() {
  ClearKey(key_);
}

template <typename P>
void TBlake2Config<P>::SetPersonalisation(ByteSpan value) {
  CheckFixedLength("Personalisation", value.size(), P::kPersonalisationSize);
  personalisation_.assign(value.begin(), value.end());
}

template <typename P>
void TBlake2Config<P>::SetSalt(ByteSpan value) {
  CheckFixedLength("Salt", value.size(), P::kSaltSize);
  salt_.assign(value.begin(), value.end());
}

template <typename P>
void TBlake2Config<P>::SetKey(ByteSpan value) {
  CheckKey<P>(value.size());
  // The old key must not linger in memory that a shorter assignment leaves behind.
  ClearKey(key_);
  key_.assign(value.begin(), value.end());
}

template <typename P>
void TBlake2Config<P>::SetHashSize(std::int32_t value) {
  CheckHashSize<P>(value);
  hash_size_ = value;
}

template <typename P>
std::shared_ptr<IBlake2Config<P>> TBlake2Config<P>::Clone() const {
  return std::make_shared<TBlake2Config>(*this);
}

// ---------------------------------------------------------------------------------------------
// TBlake2TreeConfig

template <typename P>
std::shared_ptr<TBlake2TreeConfig<P>> TBlake2TreeConfig<P>::Sequential() {
  auto config = std::make_shared<TBlake2TreeConfig>();
  config->fan_out_ = 1;
  config->max_depth_ = 1;
  config->leaf_size_ = 0;
  config->node_offset_ = 0;
  config->node_depth_ = 0;
  config->inner_hash_size_ = 0;
  config->is_last_node_ = false;
  return config;
}

template <typename P>
void TBlake2TreeConfig<P>::SetMaxDepth(std::uint8_t value) {
  if (value == 0) {
    throw EInvalidArgumentError(std::string("MaxDepth Value Should be Between [1 .. 255] for ") +
                                P::kName);
  }
  max_depth_ = value;
}

template <typename P>
void TBlake2TreeConfig<P>::SetInnerHashSize(std::uint8_t value) {
  if (value > P::kMaxHashSize) {
    throw EInvalidArgumentError("InnerHashSize Value Should be Between [0 .. " +
                                std::to_string(P::kMaxHashSize) + "] for " + P::kName);
  }
  inner_hash_size_ = value;
}

template <typename P>
void TBlake2TreeConfig<P>::SetNodeOffset(std::uint64_t value) {
  if (P::kNodeOffsetIs48Bits && value >= (std::uint64_t{1} << 48)) {
    throw EInvalidArgumentError(
        std::string("NodeOffset Value Should be Between [0 .. (2^48-1)] for ") + P::kName);
  }
  node_offset_ = value;
}

template <typename P>
std::shared_ptr<IBlake2TreeConfig<P>> TBlake2TreeConfig<P>::Clone() const {
  return std::make_shared<TBlake2TreeConfig>(*this);
}

// ---------------------------------------------------------------------------------------------
// TBlake2

template <typename P>
TBlake2<P>::TBlake2(const ConfigPtr& config, const TreeConfigPtr& treeConfig, bool absorbKey)
    : THash(config ? config->HashSize() : P::kMaxHashSize, P::kBlockSize),
      config_(config ? config->Clone() : std::make_shared<TBlake2Config<P>>()),
      tree_config_(treeConfig ? treeConfig->Clone() : nullptr),
      absorb_key_(absorbKey),
      compress_(P::Kernel().Entry),
      kernel_name_(P::Kernel().Name) {}

template <typename P>
std::string TBlake2<P>::Name() const {
  return std::string(P::kClassName) + "_" + std::to_string(HashSize() * 8);
}

template <typename P>
void TBlake2<P>::BuildParameterBlock(Word words[8]) {
  bool sequential = false;
  if (!tree_config_) {
    tree_config_ = TBlake2TreeConfig<P>::Sequential();
    sequential = true;
  }
  const IBlake2Config<P>& config = *config_;
  const IBlake2TreeConfig<P>& tree = *tree_config_;
  const std::int32_t hashSize = config.HashSize();
  const Bytes key = config.Key();
  const Bytes salt = config.Salt();
  const Bytes personalisation = config.Personalisation();
  CheckHashSize<P>(hashSize);
  CheckKey<P>(key.size());
  CheckFixedLength("Personalisation", personalisation.size(), P::kPersonalisationSize);
  CheckFixedLength("Salt", salt.size(), P::kSaltSize);
  if (sequential && tree.InnerHashSize() != 0) {
    throw EArgumentOutOfRangeError("treeConfig.TreeIntermediateHashSize");
  }
  if (tree.InnerHashSize() > P::kMaxHashSize) {
    throw EArgumentOutOfRangeError("Tree Inner Hash Size Must Not Be Greater Than " +
                                   std::to_string(P::kMaxHashSize) + ", " +
                                   Quoted(tree.InnerHashSize()));
  }

  // The RFC 7693 layout; the word size decides where the node fields end and salt begins.
  constexpr std::size_t kWord = sizeof(Word);
  std::uint8_t block[8 * kWord] = {};
  block[0] = static_cast<std::uint8_t>(hashSize);
  block[1] = static_cast<std::uint8_t>(key.size());
  block[2] = tree.FanOut();
  block[3] = tree.MaxDepth();
  bits::StoreLE32(block + 4, tree.LeafSize());
  std::uint8_t offset[8];
  bits::StoreLE64(offset, tree.NodeOffset());
  std::memcpy(block + 8, offset, kWord == 4 ? 6 : 8);
  block[kWord == 4 ? 14 : 16] = tree.NodeDepth();
  block[kWord == 4 ? 15 : 17] = tree.InnerHashSize();
  std::copy(salt.begin(), salt.end(), block + 4 * kWord);
  std::copy(personalisation.begin(), personalisation.end(), block + 6 * kWord);

  const ByteSpan raw(block);
  if (raw.empty()) throw EArgumentNilError("Config Cannot Be Nil");
  if (raw.size() != 8 * kWord) throw EArgumentError("Config Length Must Be 8 Words");
  for (std::size_t i = 0; i < 8; ++i)
    words[i] = bits::Load<Word, std::endian::little>(raw.data() + i * kWord);
}

template <typename P>
void TBlake2<P>::Initialize() {
  Word parameters[8];
  BuildParameterBlock(parameters);
  for (int i = 0; i < 8; ++i) state_[i] = blake2::kIv<Word>[i] ^ parameters[i];
  counter_[0] = counter_[1] = 0;
  flags_[0] = flags_[1] = 0;
  filled_ = 0;
  std::memset(buffer_, 0, sizeof buffer_);
  SetHashSize(config_->HashSize());

  if (absorb_key_) {
    Bytes key = config_->Key();
    if (!key.empty()) {
      // The key, zero-padded to a whole block, is the message's first block (and its last one
      // when nothing follows, since the last block always waits for Final).
      std::uint8_t keyBlock[P::kBlockSize] = {};
      std::copy(key.begin(), key.end(), keyBlock);
      TransformBytes(keyBlock, sizeof keyBlock);
      SecureZero(keyBlock, sizeof keyBlock);
    }
    ClearKey(key);
  }
}

template <typename P>
void TBlake2<P>::TransformBytes(const std::uint8_t* data, std::size_t count) {
  constexpr auto kBlock = static_cast<std::size_t>(P::kBlockSize);
  // The most recent block always stays buffered: only Final knows it is the last one.
  if (filled_ > 0 && count > kBlock - filled_) {
    const std::size_t take = kBlock - filled_;
    std::memcpy(buffer_ + filled_, data, take);
    Compress(buffer_, 1, static_cast<Word>(kBlock));
    filled_ = 0;
    data += take;
    count -= take;
  }
  if (count > kBlock) {
    const std::size_t blocks = (count - 1) / kBlock;
    Compress(data, blocks, static_cast<Word>(kBlock));
    data += blocks * kBlock;
    count -= blocks * kBlock;
  }
  if (count > 0) {
    std::memcpy(buffer_ + filled_, data, count);
    filled_ += static_cast<std::uint32_t>(count);
  }
}

template <typename P>
IHashResultPtr TBlake2<P>::Final() {
  AddToCounter(static_cast<Word>(filled_));
  flags_[0] = ~Word{0};
  if (tree_config_ && tree_config_->IsLastNode()) flags_[1] = ~Word{0};
  std::memset(buffer_ + filled_, 0, sizeof buffer_ - filled_);
  Compress(buffer_, 1, 0);

  std::uint8_t words[8 * sizeof(Word)];
  for (std::size_t i = 0; i < 8; ++i)
    bits::Store<Word, std::endian::little>(words + i * sizeof(Word), state_[i]);
  Bytes digest(words, words + HashSize());
  Initialize();
  return std::make_shared<THashResult>(std::move(digest));
}

template <typename P>
IHashPtr TBlake2<P>::Clone() const {
  std::shared_ptr<TBlake2> copy(new TBlake2(*this));
  copy->config_ = config_->Clone();
  if (tree_config_) copy->tree_config_ = tree_config_->Clone();
  return copy;
}

template class TBlake2Config<TBlake2SParams>;
template class TBlake2Config<TBlake2BParams>;
template class TBlake2TreeConfig<TBlake2SParams>;
template class TBlake2TreeConfig<TBlake2BParams>;
template class TBlake2<TBlake2SParams>;
template class TBlake2<TBlake2BParams>;

}  // namespace tarvolin::hash
