// Byte streams (memory, file) and TFileHasher, the one path by which the program reads files:
// one read of a file feeds every engine.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "hash/hash.h"

namespace tarvolin::hash {

class TBlake3;

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
  /// Reads up to `count` bytes from `offset`, without moving `Position`; several threads may
  /// read at once. Fewer bytes only at the end; throws `EFileError` on a read failure.
  std::int64_t ReadAt(std::int64_t offset, std::uint8_t* destination, std::int64_t count) const;
  /// After the whole file was read: whether it changed meanwhile.
  bool ChangedWhileRead() const;
  /// A counter each read adds its bytes to (a progress display); null for none.
  void SetReadCounter(std::atomic<std::uint64_t>* counter);

 private:
  void CountRead(std::int64_t bytes) const;

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

  /// Threads that may hash one file (1: all on the calling thread). A file of at least
  /// `kParallelMinimum` bytes read for several engines is then read once into alternating
  /// buffers, each buffer handed to every engine, the engines spread over the threads. Read
  /// for BLAKE3 alone, a file of at least `kTreeMinimum` bytes has its parts read and hashed
  /// as subtrees on every thread. (Below these sizes, starting and waking the threads costs
  /// more than they save.)
  void SetThreads(std::int32_t threads) { threads_ = threads < 1 ? 1 : threads; }
  static constexpr std::int64_t kParallelMinimum = std::int64_t{4} << 20;
  static constexpr std::int64_t kTreeMinimum = std::int64_t{32} << 20;
  /// A counter every byte read from the files is added to as it is read (a progress display,
  /// on another thread); null for none.
  void SetReadCounter(std::atomic<std::uint64_t>* counter) { read_counter_ = counter; }

 private:
  /// Reads the rest of the stream for several engines on several threads.
  void UpdateParallel(TFileStream& stream, std::span<IHash* const> engines,
                      const std::function<bool()>& stop);
  /// Reads the stream for one BLAKE3 engine: whole subtrees on several threads, each reading
  /// its own parts, then the rest on the calling thread.
  void UpdateTree(TFileStream& stream, TBlake3& engine, const std::function<bool()>& stop);
  /// Reads the rest of the stream chunk by chunk, every engine taking each chunk in turn.
  static void UpdateSerial(TFileStream& stream, std::span<IHash* const> engines,
                           std::vector<std::uint8_t>& buffer, const std::function<bool()>& stop);

  /// The `index`th of the buffers the threaded reads use, of `kSpareSize` bytes, kept across
  /// files: fresh memory for every file would cost its page faults again.
  std::uint8_t* Spare(std::size_t index);
  static constexpr std::size_t kSpareSize = std::size_t{1} << 20;

  std::vector<std::uint8_t> buffer_;
  std::vector<std::unique_ptr<std::uint8_t[]>> spares_;
  std::int32_t threads_ = 1;
  std::atomic<std::uint64_t>* read_counter_ = nullptr;
};

}  // namespace tarvolin::hash
