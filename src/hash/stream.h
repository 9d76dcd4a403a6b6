// Byte streams (memory, file) and TFileHasher, the one path by which the program reads files:
// one read of a file feeds every engine.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "hash/hash.h"

namespace tarvolin::hash {

// ---------------------------------------------------------------------------------------------
// Streams

/// A readable byte source with a position, for `UpdateStream`.
class TStream {
 public:
  virtual ~TStream() = default;
  virtual std::int64_t Position() const = 0;
  /// Size in bytes; -1 when not known (a pipe or device), which is then read to its end.
  virtual std::int64_t Size() const = 0;
  /// Reads up to `count` bytes; fewer only at the end. Throws `EFileError` on a read failure.
  virtual std::int64_t Read(std::uint8_t* destination, std::int64_t count) = 0;
  /// Moves to `offset` bytes from the start.
  virtual void Seek(std::int64_t offset) = 0;
};

/// A stream over bytes held in memory.
class TMemoryStream final : public TStream {
 public:
  explicit TMemoryStream(Bytes data) : data_(std::move(data)) {}
  std::int64_t Position() const override { return position_; }
  std::int64_t Size() const override { return static_cast<std::int64_t>(data_.size()); }
  std::int64_t Read(std::uint8_t* destination, std::int64_t count) override;
  void Seek(std::int64_t offset) override;

 private:
  Bytes data_;
  std::int64_t position_ = 0;
};

/// A file opened read-only, as a stream.
class TFileStream final : public TStream {
 public:
  /// Opens the file; throws `EFileError` with the system's message when it cannot. With
  /// `regularOnly` anything but a regular file is refused (see `platform::TInputFile::Open`).
  explicit TFileStream(const std::string& fileName, bool regularOnly = false);
  ~TFileStream() override;
  TFileStream(const TFileStream&) = delete;
  TFileStream& operator=(const TFileStream&) = delete;
  std::int64_t Position() const override;
  std::int64_t Size() const override;
  std::int64_t Read(std::uint8_t* destination, std::int64_t count) override;
  void Seek(std::int64_t offset) override;
  /// After the whole file was read: whether it changed meanwhile.
  bool ChangedWhileRead() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

/// Hashes files with several engines at once, reading each file only once. The read buffer is
/// kept across files.
class TFileHasher {
 public:
  explicit TFileHasher(std::int32_t bufferSize = THash::kDefaultBufferSize)
      : buffer_(static_cast<std::size_t>(bufferSize)) {}
  /// One result per engine, in order. Fails as `HashFile` does: "Specified File Not Found" for a
  /// missing file or a folder, `EFileError` when the file cannot be opened or read, and
  /// `EFileError` too when a regular file changed while it was read (its digest would belong to
  /// no version of it). With `regularOnly` anything but a regular file is refused. `stop`, when
  /// given, is asked between chunks; once it says true, reading ends with `EReadStopped`.
  std::vector<IHashResultPtr> HashFile(const std::string& fileName, std::span<IHash* const> engines,
                                       bool regularOnly = false,
                                       const std::function<bool()>& stop = {});

 private:
  std::vector<std::uint8_t> buffer_;
};

}  // namespace tarvolin::hash
