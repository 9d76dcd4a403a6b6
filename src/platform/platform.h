// The operating-system layer: the only code that includes system headers.
// Everything here speaks plain standard types; one source per platform implements it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tarvolin::platform {

/// The line end of result lines, screens and files on this platform.
inline constexpr const char* kLineEnd = "\n";
/// The native path separator.
inline constexpr char kPathSeparator = '/';

/// What a path names, links followed.
struct TPathInfo {
  bool Exists = false;               ///< the path can be stat-ed
  bool IsFolder = false;             ///< it is a folder
  bool IsRegular = false;            ///< it is a regular file
  std::int64_t Size = -1;            ///< size in bytes of a regular file, -1 otherwise
  std::int64_t ModifiedSeconds = 0;  ///< last-write time, seconds since 1970 (UTC)
};

/// Looks the path up, following links. Returns false when it cannot be stat-ed.
bool QueryPath(const std::string& path, TPathInfo& info);

/// The path exists and is a folder.
bool IsExistingFolder(const std::string& path);

/// The path exists and is not a folder (a link counts when its target is not a folder).
bool IsExistingFile(const std::string& path);

/// Size in bytes of what the path names (links followed); -1 when it cannot be stat-ed.
std::int64_t FileSizeOf(const std::string& path);

/// Full path of the running program file.
std::string ProgramPath();

/// Text of an operating-system error number.
std::string ErrorText(int errorNumber);

/// A file opened read-only. Reads refill until the request is satisfied or the end is reached,
/// so a short read from a pipe is never taken for the end of the data.
class TInputFile {
 public:
  TInputFile() = default;
  ~TInputFile();
  TInputFile(const TInputFile&) = delete;
  TInputFile& operator=(const TInputFile&) = delete;

  /// Opens the file; on failure returns false and puts the system's message in `error`. With
  /// `regularOnly` anything but a regular file is refused, without blocking on it: a folder
  /// walk lists only regular files, and a pipe or device put in a file's place afterwards must
  /// not stall the run or be read forever.
  bool Open(const std::string& path, std::string& error, bool regularOnly = false);
  /// Reads up to `count` bytes; returns the number read (less only at the end) or -1 on failure.
  std::int64_t Read(std::uint8_t* destination, std::int64_t count, std::string& error);
  /// Moves to `offset` bytes from the start.
  bool Seek(std::int64_t offset, std::string& error);
  /// Current offset from the start.
  std::int64_t Position() const { return position_; }
  /// Size of a regular file; -1 for anything else (pipes, devices, empty or pseudo-files),
  /// which is read to its end.
  std::int64_t Size() const { return size_; }
  bool IsOpen() const { return handle_ >= 0; }
  /// After reading a regular file: whether it changed since it was opened (its size or its
  /// last-write time is no longer what it was). Bytes read from a file that changed belong to
  /// no version of it. Pipes, devices and pseudo-files that report a size of 0 are never
  /// reported.
  bool ChangedWhileRead() const;
  void Close();

 private:
  int handle_ = -1;
  std::int64_t size_ = -1;
  std::int64_t position_ = 0;
  bool regular_ = false;
  std::int64_t opened_size_ = 0;
  std::int64_t opened_seconds_ = 0;
  std::int64_t opened_nanoseconds_ = 0;
};

/// A file or standard stream opened for writing. Writes either complete or report the
/// system's message; nothing is buffered here.
class TOutputHandle {
 public:
  enum class TMode { Create, Append };
  TOutputHandle() = default;
  ~TOutputHandle();
  TOutputHandle(const TOutputHandle&) = delete;
  TOutputHandle& operator=(const TOutputHandle&) = delete;

  /// Standard output or standard error (not closed by `Close`).
  static TOutputHandle StandardOutput();
  static TOutputHandle StandardError();
  TOutputHandle(TOutputHandle&& other) noexcept;
  TOutputHandle& operator=(TOutputHandle&& other) noexcept;

  /// Creates or truncates (`Create`) or appends to (`Append`) a file.
  bool Open(const std::string& path, TMode mode, std::string& error);
  /// Writes every byte; false with the system's message when that fails.
  bool Write(const char* data, std::size_t size, std::string& error);
  /// Closes a file (reporting a failed close); standard streams stay open.
  bool Close(std::string& error);
  bool IsOpen() const { return handle_ >= 0; }
  /// Whether this is a terminal (then output is written line by line).
  bool IsTerminal() const;

 private:
  explicit TOutputHandle(int standardHandle) : handle_(standardHandle), owned_(false) {}
  int handle_ = -1;
  bool owned_ = false;
};

// ---- Console keyboard, pauses and the alert --------------------------------------------------

/// Prepares standard input so that a pending key press can be polled without blocking: a
/// terminal is put into non-canonical, no-echo mode until `EndKeyPolling`. Calls do not nest.
void BeginKeyPolling();
/// Whether a key press (any input) is pending on standard input; nothing is read. When standard
/// input is not a terminal, input that can be read without blocking counts, its end included.
bool KeyPending();
/// Puts the terminal back as `BeginKeyPolling` found it; pending input stays where it is.
void EndKeyPolling();
/// Sleeps for the given number of milliseconds.
void SleepMilliseconds(int milliseconds);
/// The audible alert: the BEL character on standard error.
void Beep();

// ---------------------------------------------------------------------------------------------
// Folder listing for the folder walk (folder_posix.cpp)

/// What a folder entry is, links followed.
enum class TEntryKind : std::uint8_t {
  File,        ///< a regular file, or a link whose target is one
  Folder,      ///< a folder, or a link whose target is one
  BrokenLink,  ///< a link whose target cannot be stat-ed
  Other,       ///< a pipe, socket, device node or anything else that must not be read
};

/// One entry of a folder, as cheap as the system can give it.
struct TFolderEntry {
  std::string Name;
  TEntryKind Kind = TEntryKind::Other;
  bool IsLink = false;  ///< the entry itself is a symbolic link
};

/// Identity of a folder (device and inode on POSIX), used to stop link cycles.
struct TFolderId {
  std::uint64_t Device = 0;
  std::uint64_t Inode = 0;
  friend bool operator==(const TFolderId&, const TFolderId&) = default;
};

/// Lists a folder's entries in the system's order, without "." and "..". `folder` may end in a
/// separator; the empty text is the current folder. `id` receives the identity of the folder
/// actually opened (links followed). Returns false when the folder cannot be opened; entries
/// read before a failure part-way are kept.
bool ListFolder(const std::string& folder, TFolderId& id, std::vector<TFolderEntry>& entries);

/// Details of what a path names, links followed, for folder-walk file information.
struct TEntryDetails {
  std::int64_t Size = -1;            ///< bytes of a regular file, 0 for a folder, -1 unknown
  std::int64_t ModifiedSeconds = 0;  ///< last-write time, seconds since 1970 (UTC)
  bool ReadOnly = false;             ///< nobody holds write permission
};

/// Looks the path up, following links; false when it cannot be stat-ed.
bool QueryEntryDetails(const std::string& path, TEntryDetails& details);

// ---------------------------------------------------------------------------------------------
// Abort requests (CTRL-C, CTRL-BREAK)

/// Called on an abort request with the event type (0: CTRL-C, 1: CTRL-BREAK); returns whether
/// it handled the event. Must only store flags: on POSIX it runs inside a signal handler.
using TConsoleCtrlHandler = bool (*)(std::uint32_t eventType);

/// Registers the handler: SIGINT is event 0, SIGQUIT and SIGTERM are event 1. An event the
/// handler does not handle gets the default disposition (the process ends).
void InstallConsoleCtrlHandler(TConsoleCtrlHandler handler);

}  // namespace tarvolin::platform
