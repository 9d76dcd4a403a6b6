// POSIX implementation of the platform layer.
#include "platform/platform.h"

#include <fcntl.h>
#include <poll.h>
#include <sched.h>
#include <signal.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iterator>
#include <vector>

#include "platform/platform_internal.h"
#include "platform/posix_path.h"
#include "platform/text_stream.h"

namespace tarvolin::platform {

namespace {

/// stat() for paths of any length.
bool StatPath(const std::string& path, struct stat& st) {
  if (path.empty()) return false;
  const detail::TAtPath at(path);
  return at.Ok() && ::fstatat(at.Folder(), at.Name(), &st, 0) == 0;
}

/// open() for paths of any length; retried when a signal interrupts it.
int OpenPath(const std::string& path, int flags, mode_t mode = 0) {
  const detail::TAtPath at(path);
  if (!at.Ok()) return -1;
  int fd;
  do {
    fd = ::openat(at.Folder(), at.Name(), flags, mode);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

}  // namespace

bool QueryPath(const std::string& path, TPathInfo& info) {
  info = TPathInfo{};
  struct stat st {};
  if (!StatPath(path, st)) return false;
  info.Exists = true;
  info.IsFolder = S_ISDIR(st.st_mode);
  info.IsRegular = S_ISREG(st.st_mode);
  info.Size = info.IsRegular ? static_cast<std::int64_t>(st.st_size) : -1;
  info.ModifiedSeconds = static_cast<std::int64_t>(st.st_mtime);
  return true;
}

std::int64_t FileSizeOf(const std::string& path) {
  struct stat st {};
  if (!StatPath(path, st)) return -1;
  return static_cast<std::int64_t>(st.st_size);
}

bool QueryFileId(const std::string& path, TFileId& id) {
  struct stat st {};
  if (!StatPath(path, st)) return false;
  id.Device = static_cast<std::uint64_t>(st.st_dev);
  id.Inode = static_cast<std::uint64_t>(st.st_ino);
  return true;
}

std::string ProgramPath() {
  std::vector<char> buffer(4096);
  for (;;) {
    const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n < 0) return {};
    if (static_cast<std::size_t>(n) < buffer.size()) return std::string(buffer.data(), n);
    buffer.resize(buffer.size() * 2);
  }
}

std::string ErrorText(int errorNumber) {
  return std::strerror(errorNumber);
}

std::size_t RootLength(std::string_view path) noexcept {
  return !path.empty() && path.front() == '/' ? 1 : 0;
}

std::vector<std::string> ProcessArguments(int argc, char** argv) {
  return std::vector<std::string>(argv, argv + argc);
}

std::string RawCommandLine() {
  return {};
}

std::string TemporaryFolderPrefix() {
  std::string folder;
  for (const char* variable : {"TEMP", "TMPDIR"}) {
    if (const char* value = std::getenv(variable); value != nullptr && *value != '\0') {
      folder = value;
      break;
    }
  }
  if (folder.empty()) folder = "/tmp";
  if (folder.back() != '/') folder += '/';
  return folder;
}

std::string CurrentDirectory() {
  std::vector<char> buffer(4096);
  for (;;) {
    if (::getcwd(buffer.data(), buffer.size()) != nullptr) return buffer.data();
    if (errno != ERANGE) return {};
    buffer.resize(buffer.size() * 2);
  }
}

bool ChangeDirectory(const std::string& folder) {
  return !folder.empty() && ::chdir(folder.c_str()) == 0;
}

bool ToLocalTime(std::int64_t seconds, TLocalTime& local) {
  const auto time = static_cast<std::time_t>(seconds);
  struct tm parts {};
  if (::localtime_r(&time, &parts) == nullptr) return false;
  local.Year = parts.tm_year + 1900;
  local.Month = parts.tm_mon + 1;
  local.Day = parts.tm_mday;
  local.Hour = parts.tm_hour;
  local.Minute = parts.tm_min;
  local.Second = parts.tm_sec;
  return true;
}

std::string DateSeparator() {
  return "/";
}

std::string TimeSeparator() {
  return ":";
}

std::optional<std::string> LocaleUpperCase(std::string_view) {
  return std::nullopt;
}

TVersionResult ReadVersionResource(const std::string&, const std::vector<std::string>&,
                                   std::map<std::string, std::string>&, std::string& error) {
  error = "version information is fixed at build time";
  return TVersionResult::NoVersionInfo;
}

bool TInputFile::Open(const std::string& path, std::string& error, bool regularOnly) {
  Close();
  // Opening a pipe without a writer blocks; O_NONBLOCK lets the type be checked first.
  const int fd = OpenPath(path, O_RDONLY | O_CLOEXEC | (regularOnly ? O_NONBLOCK : 0));
  if (fd < 0) {
    error = ErrorText(errno);
    return false;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    error = ErrorText(errno);
    ::close(fd);
    return false;
  }
  if (S_ISDIR(st.st_mode)) {
    error = ErrorText(EISDIR);
    ::close(fd);
    return false;
  }
  if (regularOnly && !S_ISREG(st.st_mode)) {
    error = "Not a regular file";
    ::close(fd);
    return false;
  }
  // (O_NONBLOCK, kept, changes nothing for a regular file.)
  handle_ = static_cast<NativeHandle>(fd);
  regular_ = S_ISREG(st.st_mode);
  opened_size_ = static_cast<std::int64_t>(st.st_size);
  opened_seconds_ = static_cast<std::int64_t>(st.st_mtim.tv_sec);
  opened_nanoseconds_ = static_cast<std::int64_t>(st.st_mtim.tv_nsec);
  // Pseudo-files (/proc, /sys) are regular but report size 0 while holding data; like pipes
  // and devices they are read to their end instead of trusting the size.
  size_ = S_ISREG(st.st_mode) && st.st_size > 0 ? static_cast<std::int64_t>(st.st_size) : -1;
  position_ = 0;
#ifdef POSIX_FADV_SEQUENTIAL
  // Worth a system call only where read-ahead has something to gain.
  if (size_ >= (std::int64_t{1} << 20)) ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
#endif
  return true;
}

std::int64_t detail::ReadSome(NativeHandle handle, std::uint8_t* destination, std::int64_t count,
                              std::string& error, std::int64_t offset) {
  const int fd = static_cast<int>(handle);
  const auto size = static_cast<std::size_t>(count);
  for (;;) {
    const ssize_t n = offset < 0 ? ::read(fd, destination, size)
                                 : ::pread(fd, destination, size, static_cast<off_t>(offset));
    if (n >= 0) return n;
    if (errno != EINTR) {
      error = ErrorText(errno);
      return -1;
    }
  }
}

bool TInputFile::OpenStandardInput(std::string& error) {
  Close();
  const int fd = ::fcntl(STDIN_FILENO, F_DUPFD_CLOEXEC, 3);
  if (fd < 0) {
    error = ErrorText(errno);
    return false;
  }
  handle_ = static_cast<NativeHandle>(fd);
  return true;
}

bool TInputFile::Seek(std::int64_t offset, std::string& error) {
  if (::lseek(static_cast<int>(handle_), static_cast<off_t>(offset), SEEK_SET) < 0) {
    error = ErrorText(errno);
    return false;
  }
  position_ = offset;
  return true;
}

bool TInputFile::ChangedWhileRead() const {
  if (handle_ == kNoHandle || !regular_) return false;
  struct stat st {};
  if (::fstat(static_cast<int>(handle_), &st) != 0) return true;
  // The size and the last-write time tell: a file that shrank and grew back has a new time.
  // The number of bytes read does not: pseudo-files (/proc, /sys) report a size of 0 or of a
  // page whatever they hold.
  if (static_cast<std::int64_t>(st.st_size) != opened_size_) return true;
  if (opened_size_ == 0) return false;  // their times mean nothing either
  return st.st_mtim.tv_sec != opened_seconds_ || st.st_mtim.tv_nsec != opened_nanoseconds_;
}

void TInputFile::Close() {
  if (handle_ != kNoHandle) ::close(static_cast<int>(handle_));
  handle_ = kNoHandle;
  size_ = -1;
  position_ = 0;
  regular_ = false;
}

namespace {

bool IsRegularFile(int fd) {
  struct stat st {};
  return ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
}

/// The signals that end a process by default and may come from outside while a block is being
/// written: blocked for the length of one write, so the block is written whole first.
class TTerminatingSignalsBlocked {
 public:
  explicit TTerminatingSignalsBlocked(bool block) : blocked_(block) {
    if (!blocked_) return;
    sigset_t set;
    sigemptyset(&set);
    for (const int s : {SIGHUP, SIGINT, SIGQUIT, SIGTERM, SIGPIPE, SIGALRM, SIGUSR1, SIGUSR2,
                        SIGXCPU, SIGXFSZ, SIGVTALRM, SIGPROF})
      sigaddset(&set, s);
    blocked_ = ::pthread_sigmask(SIG_BLOCK, &set, &saved_) == 0;
  }
  ~TTerminatingSignalsBlocked() {
    if (blocked_) ::pthread_sigmask(SIG_SETMASK, &saved_, nullptr);
  }
  TTerminatingSignalsBlocked(const TTerminatingSignalsBlocked&) = delete;
  TTerminatingSignalsBlocked& operator=(const TTerminatingSignalsBlocked&) = delete;

 private:
  bool blocked_;
  sigset_t saved_{};
};

constexpr const char* kNotOwnFile = "Refused: not a regular file of this user";

}  // namespace

void StartThreadsWithoutSignals(const std::function<void()>& start) {
  const TTerminatingSignalsBlocked blocked(true);
  start();
}

namespace {

/// Refuses what a planted name may lead to: anything but a regular file of this user with one
/// name. (O_NOFOLLOW already refused a link as the last part of the name.)
bool IsOwnPlainFile(int fd, std::string& error) {
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    error = ErrorText(errno);
    return false;
  }
  if (!S_ISREG(st.st_mode) || st.st_uid != ::geteuid() || st.st_nlink != 1) {
    error = kNotOwnFile;
    return false;
  }
  return true;
}

}  // namespace

void OccupyClosedStandardHandles() {
  for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
    if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    // open() takes the lowest free number, which is this one: the lower ones are open by now.
    const int opened = ::open("/dev/null", O_RDONLY);
    if (opened >= 0 && opened != fd) ::close(opened);
  }
}

TOutputHandle TOutputHandle::StandardOutput() {
  TOutputHandle handle(STDOUT_FILENO);
  handle.regular_ = IsRegularFile(STDOUT_FILENO);
  return handle;
}

TOutputHandle TOutputHandle::StandardError() {
  return TOutputHandle(STDERR_FILENO);
}

bool TOutputHandle::Open(const std::string& path, TMode mode, std::string& error) {
  std::string ignored;
  Close(ignored);
  int flags = O_WRONLY | O_CREAT | O_CLOEXEC;
  if (mode == TMode::Append) flags |= O_APPEND;
  if (mode == TMode::Create) flags |= O_TRUNC;
  // Truncated only once it is known to be the user's own file; never blocks on a planted pipe.
  if (mode == TMode::CreateOwnFile) flags |= O_NOFOLLOW | O_NONBLOCK;
  const int fd = OpenPath(path, flags, 0666);
  if (fd < 0) {
    // A link (ELOOP) or a pipe nobody reads (ENXIO) in the file's place.
    error = mode == TMode::CreateOwnFile && (errno == ELOOP || errno == ENXIO) ? kNotOwnFile
                                                                               : ErrorText(errno);
    return false;
  }
  if (mode == TMode::CreateOwnFile) {
    if (!IsOwnPlainFile(fd, error)) {
      ::close(fd);
      return false;
    }
    if (::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0 || ::ftruncate(fd, 0) != 0) {
      error = ErrorText(errno);
      ::close(fd);
      return false;
    }
  }
  handle_ = static_cast<NativeHandle>(fd);
  owned_ = true;
  regular_ = IsRegularFile(fd);
  return true;
}

bool TOutputHandle::Write(const char* data, std::size_t size, std::string& error,
                          std::size_t* kept) {
  if (kept != nullptr) *kept = 0;
  if (handle_ == kNoHandle) {
    error = ErrorText(EBADF);
    return false;
  }
  const int fd = static_cast<int>(handle_);
  const TTerminatingSignalsBlocked blocked(regular_);
  // Where this block begins, in a file of our own (an inherited descriptor may be shared with
  // other writers, so it is never cut back). Appending writes at the end, wherever the offset is.
  off_t start = -1;
  if (regular_ && owned_) {
    const bool append = (::fcntl(fd, F_GETFL) & O_APPEND) != 0;
    start = ::lseek(fd, 0, append ? SEEK_END : SEEK_CUR);
  }
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n = ::write(fd, data + done, size - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      error = ErrorText(errno);
      if (start >= 0 && done > 0) {
        // A full disk took part of the block: keep its whole lines only.
        const std::string_view written(data, done);
        const std::size_t lineEnd = written.rfind('\n');
        done = lineEnd == std::string_view::npos ? 0 : lineEnd + 1;
        if (::ftruncate(fd, start + static_cast<off_t>(done)) == 0) {
          ::lseek(fd, start + static_cast<off_t>(done), SEEK_SET);
        }
      }
      if (kept != nullptr) *kept = done;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  if (kept != nullptr) *kept = done;
  return true;
}

bool TOutputHandle::Close(std::string& error) {
  bool ok = true;
  if (owned_ && handle_ != kNoHandle && ::close(static_cast<int>(handle_)) != 0) {
    error = ErrorText(errno);
    ok = false;
  }
  handle_ = kNoHandle;
  owned_ = false;
  return ok;
}

bool TOutputHandle::IsTerminal() const {
  return handle_ != kNoHandle && ::isatty(static_cast<int>(handle_)) == 1;
}

// ---- Console keyboard, pauses and the alert --------------------------------------------------

namespace {

// The terminal settings found by BeginKeyPolling, restored by EndKeyPolling or, when a signal
// ends the process during the wait, by the signal handler (so the shell gets its echo back).
struct termios saved_terminal {};
volatile std::sig_atomic_t terminal_changed = 0;

constexpr int kRestoringSignals[] = {SIGINT, SIGQUIT, SIGTERM, SIGHUP};
struct sigaction saved_actions[sizeof(kRestoringSignals) / sizeof(kRestoringSignals[0])]{};
bool handler_installed[sizeof(kRestoringSignals) / sizeof(kRestoringSignals[0])] = {};

extern "C" void RestoreTerminalAndRaise(int signalNumber) {
  if (terminal_changed != 0) ::tcsetattr(STDIN_FILENO, TCSANOW, &saved_terminal);
  terminal_changed = 0;
  ::signal(signalNumber, SIG_DFL);
  ::raise(signalNumber);
}

bool StandardInputIsTerminal() {
  return ::isatty(STDIN_FILENO) == 1;
}

}  // namespace

void BeginKeyPolling() {
  if (terminal_changed != 0 || !StandardInputIsTerminal()) return;
  // A job in the background may not change the terminal; it only polls.
  if (::tcgetpgrp(STDIN_FILENO) != ::getpgrp()) return;
  if (::tcgetattr(STDIN_FILENO, &saved_terminal) != 0) return;

  for (std::size_t i = 0; i < std::size(kRestoringSignals); ++i) {
    struct sigaction current {};
    handler_installed[i] = false;
    if (::sigaction(kRestoringSignals[i], nullptr, &current) != 0) continue;
    if (current.sa_handler != SIG_DFL || (current.sa_flags & SA_SIGINFO) != 0) continue;
    struct sigaction restoring {};
    restoring.sa_handler = RestoreTerminalAndRaise;
    sigemptyset(&restoring.sa_mask);
    handler_installed[i] = ::sigaction(kRestoringSignals[i], &restoring, &saved_actions[i]) == 0;
  }

  struct termios polling = saved_terminal;
  polling.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
  polling.c_cc[VMIN] = 1;
  polling.c_cc[VTIME] = 0;
  terminal_changed = 1;
  if (::tcsetattr(STDIN_FILENO, TCSANOW, &polling) != 0) terminal_changed = 0;
}

bool KeyPending() {
  struct pollfd input {};
  input.fd = STDIN_FILENO;
  input.events = POLLIN;
  int ready;
  do {
    ready = ::poll(&input, 1, 0);
  } while (ready < 0 && errno == EINTR);
  if (ready <= 0) return false;
  // End of input, a hang-up or a closed descriptor: no key can ever come, so waiting is over.
  return (input.revents & (POLLIN | POLLHUP | POLLERR | POLLNVAL)) != 0;
}

void EndKeyPolling() {
  if (terminal_changed != 0) {
    ::tcsetattr(STDIN_FILENO, TCSANOW, &saved_terminal);
    terminal_changed = 0;
  }
  for (std::size_t i = 0; i < std::size(kRestoringSignals); ++i) {
    if (handler_installed[i]) ::sigaction(kRestoringSignals[i], &saved_actions[i], nullptr);
    handler_installed[i] = false;
  }
}

void SleepMilliseconds(int milliseconds) {
  if (milliseconds <= 0) return;
  struct timespec remaining {};
  remaining.tv_sec = milliseconds / 1000;
  remaining.tv_nsec = static_cast<long>(milliseconds % 1000) * 1000000L;
  while (::nanosleep(&remaining, &remaining) != 0 && errno == EINTR) {
  }
}

void Beep() {
  try {
    StdErr().Write("\x07");
  } catch (const EWriteError&) {
    // An alert that cannot be sounded is not worth ending the run for.
  }
}

// ---- Abort requests -------------------------------------------------------------------------

namespace {

TConsoleCtrlHandler InstalledHandler = nullptr;

extern "C" void OnAbortSignal(int signalNumber) {
  const std::uint32_t event = signalNumber == SIGINT ? 0 : 1;
  if (InstalledHandler != nullptr && InstalledHandler(event)) return;
  // Not handled: the default disposition ends the process by this signal.
  ::signal(signalNumber, SIG_DFL);
  ::raise(signalNumber);
}

}  // namespace

void InstallConsoleCtrlHandler(TConsoleCtrlHandler handler) {
  InstalledHandler = handler;
  struct sigaction action {};
  action.sa_handler = OnAbortSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (const int signalNumber : {SIGINT, SIGQUIT, SIGTERM})
    ::sigaction(signalNumber, &action, nullptr);
}

namespace {

/// A cgroup CPU quota as whole processors (rounded up); 0 when there is none. cgroup v2 keeps it
/// as "QUOTA PERIOD" (or "max PERIOD") in cpu.max, v1 in cpu.cfs_quota_us and cpu.cfs_period_us.
std::int32_t CgroupProcessorQuota() {
  std::int64_t quota = -1;
  std::int64_t period = 0;
  std::ifstream v2("/sys/fs/cgroup/cpu.max");
  std::string text;
  if (v2 >> text >> period) {
    if (text == "max") return 0;
    quota = std::strtoll(text.c_str(), nullptr, 10);
  } else {
    std::ifstream quotaFile("/sys/fs/cgroup/cpu/cpu.cfs_quota_us");
    std::ifstream periodFile("/sys/fs/cgroup/cpu/cpu.cfs_period_us");
    if (!(quotaFile >> quota) || !(periodFile >> period)) return 0;
  }
  if (quota <= 0 || period <= 0) return 0;
  return static_cast<std::int32_t>(std::min<std::int64_t>((quota + period - 1) / period, 1 << 20));
}

}  // namespace

std::int32_t UsableProcessorCount() {
  std::int32_t count = 0;
#ifdef CPU_COUNT
  cpu_set_t set;
  CPU_ZERO(&set);
  if (::sched_getaffinity(0, sizeof set, &set) == 0) count = CPU_COUNT(&set);
#endif
  if (count <= 0) count = static_cast<std::int32_t>(::sysconf(_SC_NPROCESSORS_ONLN));
  const std::int32_t quota = CgroupProcessorQuota();
  if (quota > 0 && quota < count) count = quota;
  return count > 0 ? count : 1;
}

}  // namespace tarvolin::platform
