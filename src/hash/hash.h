// Hash engine interface: IHash, the THash and TBlockHash bases, the block buffer,
// the digest result and the engine errors (streams and the file reader: stream.h). Each algorithm
// family lives in its own unit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tarvolin::hash {

using Bytes = std::vector<std::uint8_t>;
using ByteSpan = std::span<const std::uint8_t>;

// ---------------------------------------------------------------------------------------------
// Errors

/// What went wrong inside an engine.
enum class THashErrorKind {
  Argument,
  ArgumentNil,
  InvalidArgument,
  ArgumentOutOfRange,
  IndexOutOfRange,
  NotImplemented,
  InvalidOperation,
};

/// Every failure inside an engine: a message and its kind.
class EHashError : public std::runtime_error {
 public:
  EHashError(THashErrorKind kind, const std::string& message)
      : std::runtime_error(message), kind_(kind) {}
  THashErrorKind Kind() const noexcept { return kind_; }

 private:
  THashErrorKind kind_;
};

class EArgumentError : public EHashError {
 public:
  explicit EArgumentError(const std::string& message)
      : EHashError(THashErrorKind::Argument, message) {}

 protected:
  EArgumentError(THashErrorKind kind, const std::string& message) : EHashError(kind, message) {}
};

class EArgumentNilError : public EArgumentError {
 public:
  explicit EArgumentNilError(const std::string& message)
      : EArgumentError(THashErrorKind::ArgumentNil, message) {}
};

class EInvalidArgumentError : public EArgumentError {
 public:
  explicit EInvalidArgumentError(const std::string& message)
      : EArgumentError(THashErrorKind::InvalidArgument, message) {}
};

class EArgumentOutOfRangeError : public EArgumentError {
 public:
  explicit EArgumentOutOfRangeError(const std::string& message)
      : EArgumentError(THashErrorKind::ArgumentOutOfRange, message) {}
};

class EIndexOutOfRangeError : public EHashError {
 public:
  explicit EIndexOutOfRangeError(const std::string& message)
      : EHashError(THashErrorKind::IndexOutOfRange, message) {}
};

class ENotImplementedError : public EHashError {
 public:
  explicit ENotImplementedError(const std::string& message)
      : EHashError(THashErrorKind::NotImplemented, message) {}
};

class EInvalidOperationError : public EHashError {
 public:
  explicit EInvalidOperationError(const std::string& message)
      : EHashError(THashErrorKind::InvalidOperation, message) {}
};

/// A file that cannot be opened or read: the file layer's own failure, not an engine error.
class EFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

/// Reading a file was given up because the caller asked to stop (an abort request).
class EReadStopped : public std::runtime_error {
 public:
  EReadStopped() : std::runtime_error("Reading was stopped") {}
};

// ---------------------------------------------------------------------------------------------
// Text encodings

/// Turns the program's text into bytes.
class TEncoding {
 public:
  virtual ~TEncoding() = default;
  virtual Bytes GetBytes(std::string_view text) const = 0;
  virtual std::string Name() const = 0;
};

/// UTF-8. The program's strings already are UTF-8, so their bytes pass unchanged; bytes that
/// are not valid UTF-8 (possible in POSIX arguments) are kept as given rather than replaced,
/// so a text is always hashed as exactly the bytes the user supplied.
class TUTF8Encoding final : public TEncoding {
 public:
  Bytes GetBytes(std::string_view text) const override;
  std::string Name() const override { return "UTF-8"; }
  /// The shared instance run control passes to every `HashText`.
  static const TEncoding& Instance();
};

// ---------------------------------------------------------------------------------------------
// Results

/// The digest bytes of one finished message.
class IHashResult {
 public:
  virtual ~IHashResult() = default;
  /// A copy of the digest bytes.
  virtual Bytes GetBytes() const = 0;
  /// The digest bytes without copying.
  virtual ByteSpan View() const = 0;
  virtual std::uint8_t ToUInt8() const = 0;
  virtual std::uint16_t ToUInt16() const = 0;
  virtual std::uint32_t ToUInt32() const = 0;
  virtual std::int32_t ToInt32() const = 0;
  virtual std::uint64_t ToUInt64() const = 0;
  /// Upper-case hex in digest byte order; `group` puts "-" between byte pairs.
  virtual std::string ToHex(bool group = false) const = 0;
  /// Equal bytes, compared in time that depends only on the lengths.
  virtual bool SameAs(const IHashResult& other) const = 0;
  virtual std::int32_t HashCode() const = 0;
};

using IHashResultPtr = std::shared_ptr<IHashResult>;

class THashResult final : public IHashResult {
 public:
  explicit THashResult(Bytes digest) : bytes_(std::move(digest)) {}
  /// Eight bytes, most significant first.
  explicit THashResult(std::uint64_t value);

  Bytes GetBytes() const override { return bytes_; }
  ByteSpan View() const override { return bytes_; }
  std::uint8_t ToUInt8() const override;
  std::uint16_t ToUInt16() const override;
  std::uint32_t ToUInt32() const override;
  std::int32_t ToInt32() const override;
  std::uint64_t ToUInt64() const override;
  std::string ToHex(bool group = false) const override;
  bool SameAs(const IHashResult& other) const override;
  std::int32_t HashCode() const override;

 private:
  std::uint64_t BigEndian(std::size_t size, const char* typeName) const;
  Bytes bytes_;
};

// ---------------------------------------------------------------------------------------------
// Engines

class IHash;
class TStream;
using IHashPtr = std::shared_ptr<IHash>;

/// The interface of every algorithm.
class IHash {
 public:
  virtual ~IHash() = default;

  virtual std::int32_t BlockSize() const = 0;
  virtual std::int32_t HashSize() const = 0;
  /// Chunk size used when memory, streams and files are read.
  virtual std::int32_t BufferSize() const = 0;
  virtual void SetBufferSize(std::int32_t size) = 0;
  virtual std::string Name() const = 0;

  /// Starts a new message.
  virtual void Initialize() = 0;
  virtual void UpdateText(std::string_view text, const TEncoding* encoding) = 0;
  virtual void UpdateBytes(ByteSpan bytes) = 0;
  virtual void UpdateBytesFrom(ByteSpan bytes, std::size_t start) = 0;
  /// Adds `count` bytes of `bytes` beginning at `start`.
  virtual void UpdateRange(ByteSpan bytes, std::size_t start, std::size_t count) = 0;
  virtual void UpdateMemory(const void* address, std::int64_t length) = 0;
  /// Adds `length` bytes (-1: to the end) from the stream's current position.
  virtual void UpdateStream(TStream* stream, std::int64_t length) = 0;
  /// Adds `length` bytes (-1: to the end) of a file from offset `start`.
  virtual void UpdateFile(const std::string& fileName, std::int64_t start, std::int64_t length) = 0;
  /// Finishes the message; the engine is then ready for the next one.
  virtual IHashResultPtr Final() = 0;

  virtual IHashResultPtr HashText(std::string_view text, const TEncoding* encoding) = 0;
  virtual IHashResultPtr HashBytes(ByteSpan bytes) = 0;
  virtual IHashResultPtr HashMemory(const void* address, std::int64_t length) = 0;
  virtual IHashResultPtr HashStream(TStream* stream, std::int64_t length) = 0;
  virtual IHashResultPtr HashFile(const std::string& fileName, std::int64_t start = 0,
                                  std::int64_t length = -1) = 0;
  /// An independent engine with the same running state.
  virtual IHashPtr Clone() const = 0;
};

/// Optional seed or key of the non-cryptographic engines.
class IKeyedHash : public virtual IHash {
 public:
  virtual Bytes Key() const = 0;
  virtual void SetKey(ByteSpan key) = 0;
  virtual std::int32_t KeyLength() const = 0;
};

/// Sizes, buffer size and every input and convenience operation; engines supply
/// `Initialize`, `TransformBytes` (their update primitive), `Final`, `Name` and `Clone`.
class THash : public virtual IHash {
 public:
  static constexpr std::int32_t kDefaultBufferSize = 65536;

  std::int32_t BlockSize() const override { return block_size_; }
  std::int32_t HashSize() const override { return hash_size_; }
  std::int32_t BufferSize() const override { return buffer_size_; }
  void SetBufferSize(std::int32_t size) override;

  void UpdateText(std::string_view text, const TEncoding* encoding) override;
  void UpdateBytes(ByteSpan bytes) override;
  void UpdateBytesFrom(ByteSpan bytes, std::size_t start) override;
  void UpdateRange(ByteSpan bytes, std::size_t start, std::size_t count) override;
  void UpdateMemory(const void* address, std::int64_t length) override;
  void UpdateStream(TStream* stream, std::int64_t length) override;
  void UpdateFile(const std::string& fileName, std::int64_t start, std::int64_t length) override;

  IHashResultPtr HashText(std::string_view text, const TEncoding* encoding) override;
  IHashResultPtr HashBytes(ByteSpan bytes) override;
  IHashResultPtr HashMemory(const void* address, std::int64_t length) override;
  IHashResultPtr HashStream(TStream* stream, std::int64_t length) override;
  IHashResultPtr HashFile(const std::string& fileName, std::int64_t start = 0,
                          std::int64_t length = -1) override;
  IHashPtr Clone() const override;

  /// The engine's update primitive on raw memory; every update operation ends here.
  virtual void TransformBytes(const std::uint8_t* data, std::size_t count) = 0;

 protected:
  THash(std::int32_t hashSize, std::int32_t blockSize)
      : block_size_(blockSize), hash_size_(hashSize) {}
  THash(const THash&) = default;
  THash& operator=(const THash&) = default;

  void SetBlockSize(std::int32_t size) { block_size_ = size; }
  void SetHashSize(std::int32_t size) { hash_size_ = size; }

 private:
  std::int32_t buffer_size_ = kDefaultBufferSize;
  std::int32_t block_size_;
  std::int32_t hash_size_;
};

/// A fixed-length byte array with a fill position: the one-block buffer of block engines.
class THashBuffer {
 public:
  explicit THashBuffer(std::int32_t length) : data_(static_cast<std::size_t>(length)) {}
  /// Empties the buffer and zeroes its bytes.
  void Reset();
  bool IsEmpty() const { return position_ == 0; }
  std::int32_t Position() const { return position_; }
  void SetPosition(std::int32_t position) { position_ = position; }
  std::int32_t Length() const { return static_cast<std::int32_t>(data_.size()); }
  std::uint8_t* Data() { return data_.data(); }
  const std::uint8_t* Data() const { return data_.data(); }
  /// Takes as many bytes as fit, advancing `data`, reducing `count` and adding to `processed`.
  /// Returns whether the buffer is now full.
  bool Feed(const std::uint8_t*& data, std::size_t& count, std::uint64_t& processed);

 private:
  std::vector<std::uint8_t> data_;
  std::int32_t position_ = 0;
};

/// Block engines: one block of buffering, the processed-byte count and the finishing sequence
/// (`Pad`, `ReadDigest`, `Initialize`). Whole blocks go straight from the caller's memory to
/// `ProcessBlocks`, several at a time, so a fast compression kernel sees long runs.
class TBlockHash : public THash {
 public:
  void Initialize() override;
  void TransformBytes(const std::uint8_t* data, std::size_t count) final;
  IHashResultPtr Final() override;

 protected:
  TBlockHash(std::int32_t hashSize, std::int32_t blockSize, std::int32_t bufferSize = -1)
      : THash(hashSize, blockSize), buffer_(bufferSize > 0 ? bufferSize : blockSize) {}
  TBlockHash(const TBlockHash&) = default;
  TBlockHash& operator=(const TBlockHash&) = default;

  /// Appends the family's padding so that the last block or blocks get processed.
  virtual void Pad() = 0;
  /// Compresses `blocks` consecutive blocks of `BlockSize` bytes starting at `data`.
  virtual void ProcessBlocks(const std::uint8_t* data, std::size_t blocks) = 0;
  /// The digest bytes from the chaining state.
  virtual Bytes ReadDigest() = 0;
  /// Length-field padding of the MD and SHA families: 0x80, zeros, then the encoded message
  /// length in the last bytes of a block. The length is read before anything is added.
  void PadWithLength(ByteSpan lengthField);

  THashBuffer buffer_;
  /// Message bytes taken in since `Initialize` (wraps modulo 2^64).
  std::uint64_t processed_bytes_ = 0;
};

/// Overwrites memory with zeros in a way the compiler may not remove.
void SecureZero(void* data, std::size_t size);

}  // namespace tarvolin::hash
