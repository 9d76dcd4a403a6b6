// Buffered text output.
#include "platform/text_stream.h"

namespace tarvolin::platform {

TTextStream::TTextStream(TOutputHandle handle, std::string name, std::size_t bufferSize,
                         bool lineFlush)
    : handle_(std::move(handle)),
      name_(std::move(name)),
      capacity_(bufferSize),
      line_flush_(lineFlush) {
  buffer_.reserve(capacity_);
}

TTextStream::~TTextStream() {
  try {
    if (!closed_) Flush();
  } catch (const EWriteError&) {
    // Destruction cannot report; callers that care flush or close explicitly first.
  }
}

bool TTextStream::WriteOut(std::string_view bytes, std::string& error) {
  struct TGuarded {
    IWriteGuard* Guard;
    explicit TGuarded(IWriteGuard* guard) : Guard(guard) {
      if (Guard != nullptr) Guard->BeforeWrite();
    }
    ~TGuarded() {
      if (Guard != nullptr) Guard->AfterWrite();
    }
    TGuarded(const TGuarded&) = delete;
    TGuarded& operator=(const TGuarded&) = delete;
  };
  const TGuarded guarded(guard_);
  std::size_t kept = 0;
  const bool ok = handle_.Write(bytes.data(), bytes.size(), error, &kept);
  committed_ += kept;
  return ok;
}

void TTextStream::Fail(const std::string& error) {
  if (!drop_failed_) throw EWriteError(name_, error, this);
}

void TTextStream::Write(std::string_view text) {
  if (closed_ || text.empty()) return;
  if (flush_first_ != nullptr) flush_first_->Flush();
  accepted_ += text.size();
  // Only whole lines are ever handed to one write, so the buffer is written out before a line
  // that does not fit.
  if (buffer_.size() + text.size() > capacity_) Flush();
  if (text.size() >= capacity_) {
    std::string error;
    if (!WriteOut(text, error)) Fail(error);
    return;
  }
  buffer_.append(text);
  if (line_flush_ && text.back() == '\n') Flush();
}

void TTextStream::WriteLine(std::string_view text) {
  if (closed_) return;
  // One piece, so a line is never split between two writes of an unbuffered stream.
  std::string line;
  line.reserve(text.size() + 2);
  line.append(text);
  line.append(kLineEnd);
  Write(line);
}

void TTextStream::Flush() {
  if (buffer_.empty()) return;
  std::string error;
  const bool ok = WriteOut(buffer_, error);
  buffer_.clear();
  if (!ok) Fail(error);
}

void TTextStream::Close() {
  if (closed_) return;
  closed_ = true;
  std::string error;
  bool ok = buffer_.empty() || WriteOut(buffer_, error);
  buffer_.clear();
  std::string closeError;
  if (!handle_.Close(closeError) && ok) {
    ok = false;
    error = closeError;
  }
  if (!ok) Fail(error);
}

TTextStream& StdOut() {
  static TTextStream stream = [] {
    TOutputHandle handle = TOutputHandle::StandardOutput();
    const bool terminal = handle.IsTerminal();
    return TTextStream(std::move(handle), "<stdout>", 65536, terminal);
  }();
  return stream;
}

TTextStream& StdErr() {
  static TTextStream stream(TOutputHandle::StandardError(), "<stderr>", 0, true);
  static const bool linked =
      (stream.SetFlushFirst(&StdOut()), stream.SetDropFailedWrites(true), true);
  (void)linked;
  return stream;
}

}  // namespace tarvolin::platform
