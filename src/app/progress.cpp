// The progress line: drawn by a thread of its own, erased around every write of the run's
// standard streams (through their write guard), so no result line is ever mixed with it.
#include "app/progress.h"

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>
#include <utility>

#include "app/options.h"
#include "platform/platform.h"
#include "platform/text_stream.h"

namespace tarvolin::app {

namespace {

using TClock = std::chrono::steady_clock;
using namespace std::chrono_literals;

/// A run shorter than this shows nothing; the byte total is summed from a little earlier.
constexpr auto kShowAfter = 500ms;
constexpr auto kSizeAfter = 300ms;
/// At most ten redraws a second.
constexpr auto kRedrawEvery = 100ms;
/// The line stays within an 80-column terminal, so that it never wraps (a wrapped line could
/// not be erased by a carriage return).
constexpr std::size_t kMaxWidth = 79;

std::atomic<std::atomic<std::uint64_t>*> ActiveReadCounter{nullptr};

/// Bytes in decimal units with three significant digits: "512 B", "1.25 MB", "33.4 GB".
std::string BytesText(std::uint64_t bytes) {
  static constexpr const char* kUnits[] = {"B", "kB", "MB", "GB", "TB", "PB", "EB"};
  if (bytes < 1000) return std::to_string(bytes) + " B";
  auto value = static_cast<double>(bytes);
  std::size_t unit = 0;
  while (value >= 999.5 && unit + 1 < std::size(kUnits)) {
    value /= 1000;
    ++unit;
  }
  std::array<char, 32> text{};
  const char* format = value < 9.995 ? "%.2f %s" : value < 99.95 ? "%.1f %s" : "%.0f %s";
  std::snprintf(text.data(), text.size(), format, value, kUnits[unit]);
  return text.data();
}

/// A duration as "m:ss" or "h:mm:ss".
std::string DurationText(double seconds) {
  const auto total = static_cast<std::uint64_t>(seconds + 0.5);
  std::array<char, 32> text{};
  if (total < 3600) {
    std::snprintf(text.data(), text.size(), "%u:%02u", static_cast<unsigned>(total / 60),
                  static_cast<unsigned>(total % 60));
  } else {
    std::snprintf(text.data(), text.size(), "%llu:%02u:%02u",
                  static_cast<unsigned long long>(total / 3600),
                  static_cast<unsigned>(total / 60 % 60), static_cast<unsigned>(total % 60));
  }
  return text.data();
}

}  // namespace

class TProgress::TLine final : public platform::IWriteGuard {
 public:
  TLine(std::size_t count, TSizeOf sizeOf)
      : count_(count), size_of_(std::move(sizeOf)), start_(TClock::now()) {
    ActiveReadCounter = &bytes_read_;
    platform::StdErr().SetWriteGuard(this);
    guards_out_ = platform::TOutputHandle::StandardOutput().IsTerminal();
    if (guards_out_) platform::StdOut().SetWriteGuard(this);
    platform::StartThreadsWithoutSignals([this] { thread_ = std::thread([this] { Run(); }); });
  }

  ~TLine() override {
    {
      const std::lock_guard lock(mutex_);
      stopping_ = true;
    }
    wake_.notify_all();
    thread_.join();
    Erase();
    platform::StdErr().SetWriteGuard(nullptr);
    if (guards_out_) platform::StdOut().SetWriteGuard(nullptr);
    ActiveReadCounter = nullptr;
  }

  TLine(const TLine&) = delete;
  TLine& operator=(const TLine&) = delete;

  void FileDone() { files_done_.fetch_add(1, std::memory_order_relaxed); }

  // A write to a terminal of the run: the line goes first, and stays away until it is done.
  void BeforeWrite() override {
    mutex_.lock();
    Erase();
  }
  void AfterWrite() override { mutex_.unlock(); }

 private:
  /// Sums the byte total between redraws (once the run has lasted a moment) and redraws.
  void Run() {
    const TClock::time_point showFrom = start_ + kShowAfter;
    TClock::time_point next = start_ + kSizeAfter;
    std::size_t sized = 0;
    std::uint64_t total = 0;
    for (;;) {
      {
        std::unique_lock lock(mutex_);
        if (wake_.wait_until(lock, next, [this] { return stopping_; })) return;
        const TClock::time_point now = TClock::now();
        if (now >= showFrom) Draw(now, size_of_ && sized == count_, total);
        next = now + kRedrawEvery;
      }
      while (size_of_ && sized < count_ && TClock::now() < next && !Stopping()) {
        const std::int64_t size = size_of_(sized++);
        if (size > 0) total += static_cast<std::uint64_t>(size);
      }
    }
  }

  bool Stopping() {
    const std::lock_guard lock(mutex_);
    return stopping_;
  }

  /// Draws the line over the one shown, padded to cover it. Called with the mutex held.
  void Draw(TClock::time_point now, bool totalKnown, std::uint64_t total) {
    const double seconds = std::chrono::duration<double>(now - start_).count();
    const std::uint64_t files = files_done_.load(std::memory_order_relaxed);
    const std::uint64_t bytes = bytes_read_.load(std::memory_order_relaxed);
    // Built by appending only: GCC 12 warns wrongly (-Wrestrict) on "text" + std::string.
    std::string line = " ";
    line += std::to_string(files);
    line += '/';
    line += std::to_string(count_);
    line += " files";
    double left = -1;
    if (size_of_) {
      // A total the reads have passed (a file that grew, a pipe) is no total.
      const bool withTotal = totalKnown && total > 0 && total >= bytes;
      const double rate = seconds > 0 ? static_cast<double>(bytes) / seconds : 0;
      line += "  ";
      line += BytesText(bytes);
      if (withTotal) {
        line += " of ";
        line += BytesText(total);
      }
      std::array<char, 32> text{};
      std::snprintf(text.data(), text.size(), "  %.1f MB/s", rate / 1e6);
      line += text.data();
      if (withTotal && rate > 0) left = static_cast<double>(total - bytes) / rate;
    } else if (files > 0) {
      left = seconds * static_cast<double>(count_ - files) / static_cast<double>(files);
    }
    if (left >= 0) {
      line += "  ";
      line += DurationText(left);
      line += " left";
    }
    if (line.size() > kMaxWidth) line.resize(kMaxWidth);
    const std::size_t width = line.size();
    if (width < shown_) line.append(shown_ - width, ' ');
    line.insert(line.begin(), '\r');
    Put(line);
    shown_ = width;
  }

  /// Erases the line shown, if any, leaving the cursor where it began. Called with the mutex
  /// held, or once the thread has ended.
  void Erase() {
    if (shown_ == 0) return;
    std::string blanks(shown_ + 2, ' ');
    blanks.front() = '\r';
    blanks.back() = '\r';
    Put(blanks);
    shown_ = 0;
  }

  void Put(const std::string& text) {
    // A status line that cannot be written is simply not shown.
    std::string error;
    (void)error_out_.Write(text.data(), text.size(), error);
  }

  const std::size_t count_;
  const TSizeOf size_of_;
  const TClock::time_point start_;
  std::atomic<std::uint64_t> files_done_{0};
  std::atomic<std::uint64_t> bytes_read_{0};
  platform::TOutputHandle error_out_ = platform::TOutputHandle::StandardError();
  bool guards_out_ = false;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool stopping_ = false;  // guarded by mutex_
  std::size_t shown_ = 0;  // the width of the line on the terminal; guarded by mutex_
  std::thread thread_;
};

std::int64_t TProgress::RegularFileSize(const std::string& path) {
  platform::TPathInfo info;
  return platform::QueryPath(path, info) && info.IsRegular ? info.Size : std::int64_t{-1};
}

bool TProgress::Wanted() {
  return !Given(TOption::NoProgress) && platform::TOutputHandle::StandardError().IsTerminal();
}

TProgress::TProgress(std::size_t count, TSizeOf sizeOf) {
  if (Wanted() && count > 0) line_ = std::make_unique<TLine>(count, std::move(sizeOf));
}

TProgress::~TProgress() = default;

void TProgress::FileDone() {
  if (line_) line_->FileDone();
}

std::atomic<std::uint64_t>* ProgressReadCounter() {
  return ActiveReadCounter.load();
}

}  // namespace tarvolin::app
