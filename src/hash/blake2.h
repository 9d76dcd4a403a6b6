// BLAKE2s and BLAKE2b (RFC 7693): configuration, tree configuration and the two engines,
// one template instantiated for a 32-bit and a 64-bit word.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "hash/blake2_kernels.h"
#include "hash/hash.h"

namespace tarvolin::hash {

/// What a BLAKE2 variant takes from its word size: 16-word blocks, digests and keys of up to 8
/// words, salt and personalisation of 2 words, and its compression kernel.
template <typename W>
struct TBlake2Sizes {
  using Word = W;
  static constexpr std::int32_t kBlockSize = 16 * sizeof(Word);
  static constexpr std::int32_t kMaxHashSize = 8 * sizeof(Word);
  static constexpr std::int32_t kMaxKeySize = kMaxHashSize;
  static constexpr std::int32_t kSaltSize = 2 * sizeof(Word);
  static constexpr std::int32_t kPersonalisationSize = kSaltSize;
  /// The node offset has 48 bits in the BLAKE2s parameter block, 64 in the BLAKE2b one.
  static constexpr bool kNodeOffsetIs48Bits = sizeof(Word) == 4;
  /// The compression kernel for the CPU level in force.
  static const auto& Kernel() {
    if constexpr (sizeof(Word) == 4) {
      return blake2::Blake2sKernel();
    } else {
      return blake2::Blake2bKernel();
    }
  }
};

/// BLAKE2s: 32-bit words, 64-byte blocks, 10 rounds.
struct TBlake2SParams : TBlake2Sizes<std::uint32_t> {
  static constexpr const char* kClassName = "TBlake2S";
  static constexpr const char* kUpperName = "BLAKE2S";
  static constexpr const char* kName = "Blake2S";
};

/// BLAKE2b: 64-bit words, 128-byte blocks, 12 rounds.
struct TBlake2BParams : TBlake2Sizes<std::uint64_t> {
  static constexpr const char* kClassName = "TBlake2B";
  static constexpr const char* kUpperName = "BLAKE2B";
  static constexpr const char* kName = "Blake2B";
};

// ---------------------------------------------------------------------------------------------
// Configuration

/// Digest size, key, salt and personalisation of a BLAKE2 engine.
template <typename P>
class IBlake2Config {
 public:
  virtual ~IBlake2Config() = default;
  virtual Bytes Personalisation() const = 0;
  /// Empty, or exactly `kPersonalisationSize` bytes.
  virtual void SetPersonalisation(ByteSpan value) = 0;
  virtual Bytes Salt() const = 0;
  /// Empty, or exactly `kSaltSize` bytes.
  virtual void SetSalt(ByteSpan value) = 0;
  virtual Bytes Key() const = 0;
  /// Empty (no key) or 1 to `kMaxKeySize` bytes.
  virtual void SetKey(ByteSpan value) = 0;
  virtual std::int32_t HashSize() const = 0;
  /// 1 to `kMaxHashSize` bytes.
  virtual void SetHashSize(std::int32_t value) = 0;
  /// A new configuration with the same size and copies of the three arrays.
  virtual std::shared_ptr<IBlake2Config> Clone() const = 0;
};

template <typename P>
class TBlake2Config final : public IBlake2Config<P> {
 public:
  /// The full digest size of the variant.
  TBlake2Config() : TBlake2Config(P::kMaxHashSize) {}
  /// Validates the size as `SetHashSize` does.
  explicit TBlake2Config(std::int32_t hashSize);
  TBlake2Config(const TBlake2Config&) = default;
  TBlake2Config& operator=(const TBlake2Config&) = default;
  /// Overwrites the key bytes before they are released.
  ~TBlake2Config() override;

  Bytes Personalisation() const override { return personalisation_; }
  void SetPersonalisation(ByteSpan value) override;
  Bytes Salt() const override { return salt_; }
  void SetSalt(ByteSpan value) override;
  Bytes Key() const override { return key_; }
  void SetKey(ByteSpan value) override;
  std::int32_t HashSize() const override { return hash_size_; }
  void SetHashSize(std::int32_t value) override;
  std::shared_ptr<IBlake2Config<P>> Clone() const override;

 private:
  std::int32_t hash_size_;
  Bytes key_;
  Bytes salt_;
  Bytes personalisation_;
};

/// The tree-hashing node parameters of a BLAKE2 engine.
template <typename P>
class IBlake2TreeConfig {
 public:
  virtual ~IBlake2TreeConfig() = default;
  /// 0 = unlimited.
  virtual std::uint8_t FanOut() const = 0;
  virtual void SetFanOut(std::uint8_t value) = 0;
  virtual std::uint8_t MaxDepth() const = 0;
  /// 1 to 255.
  virtual void SetMaxDepth(std::uint8_t value) = 0;
  /// 0 = leaves.
  virtual std::uint8_t NodeDepth() const = 0;
  virtual void SetNodeDepth(std::uint8_t value) = 0;
  virtual std::uint8_t InnerHashSize() const = 0;
  /// 0 to `kMaxHashSize`.
  virtual void SetInnerHashSize(std::uint8_t value) = 0;
  virtual std::uint32_t LeafSize() const = 0;
  virtual void SetLeafSize(std::uint32_t value) = 0;
  virtual std::uint64_t NodeOffset() const = 0;
  /// BLAKE2s: below 2^48; BLAKE2b: any value.
  virtual void SetNodeOffset(std::uint64_t value) = 0;
  virtual bool IsLastNode() const = 0;
  virtual void SetIsLastNode(bool value) = 0;
  virtual std::shared_ptr<IBlake2TreeConfig> Clone() const = 0;
};

template <typename P>
class TBlake2TreeConfig final : public IBlake2TreeConfig<P> {
 public:
  TBlake2TreeConfig() = default;
  /// The parameters of plain sequential hashing: fanout 1, depth 1, everything else 0.
  static std::shared_ptr<TBlake2TreeConfig> Sequential();

  std::uint8_t FanOut() const override { return fan_out_; }
  void SetFanOut(std::uint8_t value) override { fan_out_ = value; }
  std::uint8_t MaxDepth() const override { return max_depth_; }
  void SetMaxDepth(std::uint8_t value) override;
  std::uint8_t NodeDepth() const override { return node_depth_; }
  void SetNodeDepth(std::uint8_t value) override { node_depth_ = value; }
  std::uint8_t InnerHashSize() const override { return inner_hash_size_; }
  void SetInnerHashSize(std::uint8_t value) override;
  std::uint32_t LeafSize() const override { return leaf_size_; }
  void SetLeafSize(std::uint32_t value) override { leaf_size_ = value; }
  std::uint64_t NodeOffset() const override { return node_offset_; }
  void SetNodeOffset(std::uint64_t value) override;
  bool IsLastNode() const override { return is_last_node_; }
  void SetIsLastNode(bool value) override { is_last_node_ = value; }
  std::shared_ptr<IBlake2TreeConfig<P>> Clone() const override;

 private:
  std::uint8_t fan_out_ = 0;
  std::uint8_t max_depth_ = 0;
  std::uint8_t node_depth_ = 0;
  std::uint8_t inner_hash_size_ = static_cast<std::uint8_t>(P::kMaxHashSize);
  std::uint32_t leaf_size_ = static_cast<std::uint32_t>(P::kMaxHashSize);
  std::uint64_t node_offset_ = 0;
  bool is_last_node_ = false;
};

// ---------------------------------------------------------------------------------------------
// Engine

/// A BLAKE2 engine. The engine keeps its own copies of the configurations it is given, so a
/// caller changing its objects afterwards cannot put the parameter block and the digest length
/// out of step; a clone copies them again.
template <typename P>
class TBlake2 final : public THash {
 public:
  using Word = typename P::Word;
  using ConfigPtr = std::shared_ptr<IBlake2Config<P>>;
  using TreeConfigPtr = std::shared_ptr<IBlake2TreeConfig<P>>;

  /// The default configuration: full-length digest, no key, salt or personalisation.
  TBlake2() : TBlake2(nullptr) {}
  /// `config` absent: the default configuration.
  explicit TBlake2(const ConfigPtr& config) : TBlake2(config, nullptr, true) {}
  /// A node of a BLAKE2 tree. `treeConfig` absent: sequential hashing. `absorbKey` false leaves
  /// the key out of the message (inner nodes) while the parameter block still names its length.
  TBlake2(const ConfigPtr& config, const TreeConfigPtr& treeConfig, bool absorbKey);

  std::string Name() const override;
  void Initialize() override;
  void TransformBytes(const std::uint8_t* data, std::size_t count) override;
  IHashResultPtr Final() override;
  IHashPtr Clone() const override;
  /// The compression kernel this engine runs ("portable", "avx2"...).
  std::string_view KernelName() const { return kernel_name_; }

 private:
  TBlake2(const TBlake2&) = default;
  /// The parameter block as 8 words, checked against the configurations.
  void BuildParameterBlock(Word words[8]);
  void AddToCounter(Word bytes) {
    counter_[0] += bytes;
    if (counter_[0] < bytes) ++counter_[1];
  }
  /// Compresses `blocks` blocks from `data`, adding `increment` to the counter before each.
  void Compress(const std::uint8_t* data, std::size_t blocks, Word increment) {
    compress_(state_, counter_, data, blocks, increment, flags_[0], flags_[1]);
  }

  ConfigPtr config_;
  TreeConfigPtr tree_config_;
  bool absorb_key_;
  Word state_[8] = {};
  Word counter_[2] = {};
  Word flags_[2] = {};
  std::uint8_t buffer_[P::kBlockSize] = {};
  std::uint32_t filled_ = 0;
  decltype(P::Kernel().Entry) compress_;
  std::string_view kernel_name_;
};

using IBlake2SConfig = IBlake2Config<TBlake2SParams>;
using TBlake2SConfig = TBlake2Config<TBlake2SParams>;
using IBlake2STreeConfig = IBlake2TreeConfig<TBlake2SParams>;
using TBlake2STreeConfig = TBlake2TreeConfig<TBlake2SParams>;
/// BLAKE2s; the default engine is BLAKE2s-256, named "TBlake2S_256".
using TBlake2S = TBlake2<TBlake2SParams>;

using IBlake2BConfig = IBlake2Config<TBlake2BParams>;
using TBlake2BConfig = TBlake2Config<TBlake2BParams>;
using IBlake2BTreeConfig = IBlake2TreeConfig<TBlake2BParams>;
using TBlake2BTreeConfig = TBlake2TreeConfig<TBlake2BParams>;
/// BLAKE2b; the default engine is BLAKE2b-512, named "TBlake2B_512".
using TBlake2B = TBlake2<TBlake2BParams>;

extern template class TBlake2Config<TBlake2SParams>;
extern template class TBlake2Config<TBlake2BParams>;
extern template class TBlake2TreeConfig<TBlake2SParams>;
extern template class TBlake2TreeConfig<TBlake2BParams>;
extern template class TBlake2<TBlake2SParams>;
extern template class TBlake2<TBlake2BParams>;

}  // namespace tarvolin::hash
