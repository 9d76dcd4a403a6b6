// The progress line of a long run on a terminal.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace tarvolin::app {

/// A status line for a run over a list of files, on standard error when that is a terminal
/// and --no-progress is absent (otherwise nothing): files done of their total, bytes read of
/// their total, MB/s and the time left. It appears once the run has taken half a second, is
/// redrawn at most ten times a second by a thread of its own, and is erased before anything is
/// written to standard output or standard error (when they are terminals) and when it ends.
/// Create it before the files are handed to the worker threads and end it after they joined.
class TProgress {
 public:
  /// The bytes a file of the list will be read for, asked on the line's thread; -1 for none
  /// (a text, a file left out, or one whose size is unknown).
  using TSizeOf = std::function<std::int64_t(std::size_t index)>;

  /// Whether a progress line would be shown: standard error is a terminal, no --no-progress.
  static bool Wanted();
  /// A `TSizeOf` answer for a file by name: its size when it is a regular file, else -1.
  static std::int64_t RegularFileSize(const std::string& path);

  /// A line over `count` files; `sizeOf` is asked for each index in turn once the run has
  /// lasted a moment. Without `sizeOf` the run reads no file (dates only): files alone are shown.
  TProgress(std::size_t count, TSizeOf sizeOf);
  ~TProgress();
  TProgress(const TProgress&) = delete;
  TProgress& operator=(const TProgress&) = delete;

  /// One more file of the list is done (the thread that writes the lines calls this).
  void FileDone();

 private:
  class TLine;
  std::unique_ptr<TLine> line_;
};

/// The counter every file read adds its bytes to while a progress line runs; null otherwise.
std::atomic<std::uint64_t>* ProgressReadCounter();

}  // namespace tarvolin::app
