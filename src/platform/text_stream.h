// Buffered text output: every byte the program writes goes through one of these streams, so
// buffering, line ends and write-failure handling live in one place.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace tarvolin::platform {

/// A write that failed: the stream's name ("<stdout>", "<stderr>" or the file name) and the
/// system's message.
class TTextStream;

class EWriteError : public std::runtime_error {
 public:
  EWriteError(std::string streamName, const std::string& message,
              const TTextStream* stream = nullptr)
      : std::runtime_error(message), stream_name_(std::move(streamName)), stream_(stream) {}
  const std::string& StreamName() const { return stream_name_; }
  /// The stream whose write failed, where known.
  const TTextStream* Stream() const { return stream_; }

 private:
  std::string stream_name_;
  const TTextStream* stream_;
};

/// Told around every write a stream hands to its device, on the writing thread: a status line
/// another thread draws on the same terminal is erased before the write and not drawn during it.
class IWriteGuard {
 public:
  virtual ~IWriteGuard() = default;
  virtual void BeforeWrite() = 0;
  virtual void AfterWrite() = 0;
};

class TTextStream {
 public:
  /// `bufferSize` 0 writes through at once; `lineFlush` writes each complete line at once.
  TTextStream(TOutputHandle handle, std::string name, std::size_t bufferSize, bool lineFlush);
  ~TTextStream();
  TTextStream(const TTextStream&) = delete;
  TTextStream& operator=(const TTextStream&) = delete;

  /// Writes text; throws `EWriteError` when the bytes cannot be written. A closed stream
  /// receives nothing more.
  void Write(std::string_view text);
  /// Writes the text and the platform's line end.
  void WriteLine(std::string_view text);
  void Flush();
  /// Flushes and closes; throws `EWriteError` when either fails.
  void Close();
  bool IsClosed() const { return closed_; }
  const std::string& Name() const { return name_; }
  /// A stream flushed before anything is written here, so two streams on one terminal keep
  /// their order (standard output before standard error).
  void SetFlushFirst(TTextStream* other) { flush_first_ = other; }
  /// Drops what cannot be written instead of throwing (standard error: a message that cannot
  /// be shown must not end the run or change its exit code).
  void SetDropFailedWrites(bool drop) { drop_failed_ = drop; }
  /// The guard told around each write to the device; null for none.
  void SetWriteGuard(IWriteGuard* guard) { guard_ = guard; }
  /// Bytes handed to this stream so far.
  std::uint64_t Accepted() const { return accepted_; }
  /// Bytes of those that reached the file or device; the rest are buffered or were lost.
  std::uint64_t Committed() const { return committed_; }

 private:
  TOutputHandle handle_;
  std::string name_;
  std::string buffer_;
  std::size_t capacity_;
  bool line_flush_;
  bool closed_ = false;
  bool drop_failed_ = false;
  TTextStream* flush_first_ = nullptr;
  IWriteGuard* guard_ = nullptr;
  std::uint64_t accepted_ = 0;
  std::uint64_t committed_ = 0;

  /// Writes bytes to the handle, counting what stays written; false with the system's message.
  bool WriteOut(std::string_view bytes, std::string& error);
  /// A failed write: throws `EWriteError`, unless failed writes are dropped.
  void Fail(const std::string& error);
};

/// The process's standard output: 64 KiB blocks, or line by line on a terminal.
TTextStream& StdOut();
/// The process's standard error: written through, after standard output is flushed.
TTextStream& StdErr();

}  // namespace tarvolin::platform
