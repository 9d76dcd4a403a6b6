// The operating-system layer: the only code that includes system headers.
// Everything here speaks plain standard types; one source per platform implements it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvolin::platform {

namespace detail {
/// Whether this is the Windows build; only the constants below ask.
#ifdef _WIN32
inline constexpr bool kWindows = true;
#else
inline constexpr bool kWindows = false;
#endif
}  // namespace detail

/// The line end of result lines, screens and files on this platform.
inline constexpr const char* kLineEnd = detail::kWindows ? "\r\n" : "\n";
/// The native path separator, the one the program writes.
inline constexpr char kPathSeparator = detail::kWindows ? '\\' : '/';
/// Every character that separates path components.
inline constexpr std::string_view kPathSeparators = detail::kWindows ? "\\/" : "/";
/// Whether executables carry version information as a resource (otherwise the version strings
/// are fixed at build time).
inline constexpr bool kVersionResources = detail::kWindows;
/// Whether the file system takes two names that differ only in letter case for one name.
inline constexpr bool kNamesIgnoreCase = detail::kWindows;

/// A handle of the system (a file descriptor, or a Windows HANDLE), -1 when there is none.
using NativeHandle = std::intptr_t;
inline constexpr NativeHandle kNoHandle = -1;

/// Whether the character separates path components.
constexpr bool IsPathSeparator(char c) noexcept {
  return kPathSeparators.find(c) != std::string_view::npos;
}

/// The position of the last separator, or npos.
inline std::size_t LastSeparator(std::string_view path) noexcept {
  return path.find_last_of(kPathSeparators);
}

/// The path with every separator written as the native one.
inline std::string WithNativeSeparators(std::string_view path) {
  std::string out(path);
  for (char& c : out) {
    if (IsPathSeparator(c)) c = kPathSeparator;
  }
  return out;
}

/// The length of the root that begins `path`, 0 for a relative path: "/" on POSIX; on Windows a
/// drive root "C:\", a drive "C:", a share "\\server\share\" or a lone "\".
std::size_t RootLength(std::string_view path) noexcept;

// ---- Process ------------------------------------------------------------------------------

/// Runs `start`, which starts threads, with the signals that end a process blocked: the new
/// threads keep them blocked, so such a signal reaches only the thread that writes the output,
/// which holds it back while it writes a block (no torn line). Just runs it on Windows.
void StartThreadsWithoutSignals(const std::function<void()>& start);

/// The processors this process may run on: its CPU affinity, and on Linux also a cgroup CPU
/// quota (rounded up). At least 1.
std::int32_t UsableProcessorCount();

/// Makes sure the standard handles exist: on POSIX, each of descriptors 0, 1 and 2 that is
/// closed at start is taken by the null device opened read-only, so no file the run opens can
/// take its number (and receive what is meant for the console), while writing to it still
/// fails. Called once, first thing in `main`.
void OccupyClosedStandardHandles();

/// The process arguments as UTF-8, the program path first. POSIX: `argv` as it is; Windows:
/// the wide command line split by the system's rules (the narrow `argv` loses characters).
std::vector<std::string> ProcessArguments(int argc, char** argv);

/// The command line exactly as the process received it (program path and quotes as typed);
/// empty where the system keeps none (POSIX).
std::string RawCommandLine();

/// The folder for temporary files, followed by one separator: on Windows the value of TEMP
/// and "\\" (an unset TEMP gives "\\" alone); on POSIX TEMP, else TMPDIR, else /tmp.
std::string TemporaryFolderPrefix();

/// The current directory, without a trailing separator except for a root; empty on failure.
std::string CurrentDirectory();

/// Changes the current directory; false when that is not possible.
bool ChangeDirectory(const std::string& folder);

/// A point in local time.
struct TLocalTime {
  int Year = 0;
  int Month = 0;  ///< 1 to 12
  int Day = 0;
  int Hour = 0;
  int Minute = 0;
  int Second = 0;
};

/// Converts seconds since 1970 (UTC) to the local time of the system's time zone.
bool ToLocalTime(std::int64_t seconds, TLocalTime& local);

/// The user's locale's date separator ("/" on POSIX).
std::string DateSeparator();
/// The user's locale's time separator (":" on POSIX).
std::string TimeSeparator();

/// The user's locale's upper-casing of UTF-8 text, where the system offers one (Windows);
/// nothing elsewhere, where callers use the simple Unicode mapping.
std::optional<std::string> LocaleUpperCase(std::string_view text);

// ---- Version resources --------------------------------------------------------------------

/// How reading a file's version resource ended.
enum class TVersionResult : std::uint8_t {
  Ok,
  NoVersionInfo,  ///< the file exists but carries no version information
  Failed,         ///< any other failure (access denied, a damaged resource, a missing key)
};

/// Reads the version strings `keys` of an executable's version resource (Windows), in its first
/// language and code page. Where `kVersionResources` is false, reports `NoVersionInfo`. On
/// failure `error` holds the reason.
TVersionResult ReadVersionResource(const std::string& path, const std::vector<std::string>& keys,
                                   std::map<std::string, std::string>& values, std::string& error);

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

/// Identity of a file or folder (device and inode on POSIX, volume and file index on Windows):
/// two paths name the same file exactly when their identities are equal.
struct TFileId {
  std::uint64_t Device = 0;
  std::uint64_t Inode = 0;
  friend bool operator==(const TFileId&, const TFileId&) = default;
};

/// The identity of what the path names, links followed; false when it cannot be looked up.
bool QueryFileId(const std::string& path, TFileId& id);

/// Full path of the running program file.
std::string ProgramPath();

/// Text of an operating-system error number (errno, or a Windows error code).
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
  /// Reads standard input (through a copy of its handle: closing this leaves it open).
  bool OpenStandardInput(std::string& error);
  /// Reads up to `count` bytes; returns the number read (less only at the end) or -1 on failure.
  std::int64_t Read(std::uint8_t* destination, std::int64_t count, std::string& error);
  /// Reads up to `count` bytes from `offset` bytes after the start of a regular file, without
  /// moving `Position`; several threads may call it at once. Returns the number read (less only
  /// at the end) or -1 on failure.
  std::int64_t ReadAt(std::int64_t offset, std::uint8_t* destination, std::int64_t count,
                      std::string& error) const;
  /// Moves to `offset` bytes from the start.
  bool Seek(std::int64_t offset, std::string& error);
  /// Current offset from the start.
  std::int64_t Position() const { return position_; }
  /// Size of a regular file; -1 for anything else (pipes, devices, empty or pseudo-files),
  /// which is read to its end.
  std::int64_t Size() const { return size_; }
  bool IsOpen() const { return handle_ != kNoHandle; }
  /// After reading a regular file: whether it changed since it was opened (its size or its
  /// last-write time is no longer what it was). Bytes read from a file that changed belong to
  /// no version of it. Pipes, devices and pseudo-files that report a size of 0 are never
  /// reported.
  bool ChangedWhileRead() const;
  void Close();

 private:
  NativeHandle handle_ = kNoHandle;
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
  /// `Create` creates or truncates, `Append` appends. `CreateOwnFile` is for a name in a folder
  /// other users may write to: it creates the file, or truncates it only when it is a regular
  /// file of this user with no other name, reached through no link; anything else (a planted
  /// link, pipe or device, a file of another user) is refused without blocking or following it.
  enum class TMode { Create, Append, CreateOwnFile };
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
  /// Writes every byte; false with the system's message when that fails. Into a regular file
  /// each call is one write the terminating signals wait for, so a process killed meanwhile
  /// leaves whole blocks; a write that fails part-way is cut back to the last line end it
  /// wrote. `kept` (when given) receives the bytes of this call that stay written.
  bool Write(const char* data, std::size_t size, std::string& error, std::size_t* kept = nullptr);
  /// Closes a file (reporting a failed close); standard streams stay open.
  bool Close(std::string& error);
  bool IsOpen() const { return handle_ != kNoHandle; }
  /// Whether this is a terminal (then output is written line by line).
  bool IsTerminal() const;

 private:
  explicit TOutputHandle(NativeHandle standardHandle) : handle_(standardHandle), owned_(false) {}
  NativeHandle handle_ = kNoHandle;
  bool owned_ = false;
  bool regular_ = false;  ///< a regular file (written whole, cut back after a failure)
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
/// The audible alert: the BEL character on standard error (POSIX), the default alert sound
/// (Windows).
void Beep();

// ---------------------------------------------------------------------------------------------
// Folder listing for the folder walk (folder_posix.cpp, folder_win.cpp)

/// What a folder entry is, links followed.
enum class TEntryKind : std::uint8_t {
  File,        ///< a regular file, or a link whose target is one
  Folder,      ///< a folder, or a link whose target is one
  BrokenLink,  ///< a link whose target cannot be stat-ed
  Other,       ///< a pipe, socket, device node or anything else that must not be read
};

/// Attribute bits of a folder entry, as the Windows file attributes number them.
inline constexpr std::uint16_t kAttrReadOnly = 0x01;
inline constexpr std::uint16_t kAttrHidden = 0x02;  ///< on POSIX: the name starts with "."
inline constexpr std::uint16_t kAttrSystem = 0x04;
inline constexpr std::uint16_t kAttrVolume = 0x08;
inline constexpr std::uint16_t kAttrDirectory = 0x10;
inline constexpr std::uint16_t kAttrArchive = 0x20;
/// A searcher filter that lets every entry through.
inline constexpr std::uint16_t kAttrAnyFile = 0x1FF;

/// One entry of a folder, as cheap as the system can give it.
struct TFolderEntry {
  std::string Name;
  TEntryKind Kind = TEntryKind::Other;
  /// The entry itself is a symbolic link (on Windows: a symbolic link or a junction).
  bool IsLink = false;
  /// The attribute bits the listing tells (kAttr...): on POSIX the directory bit and the hidden
  /// bit of a name starting with "."; on Windows the entry's own attributes.
  std::uint16_t Attributes = 0;
};

/// Lists a folder's entries in the system's order, without "." and "..". `folder` may end in a
/// separator; the empty text is the current folder. `id` receives the identity of the folder
/// actually opened (links followed). Returns false when the folder cannot be opened; entries
/// read before a failure part-way are kept. Either failure puts the system's message in
/// `error`, which is emptied otherwise.
bool ListFolder(const std::string& folder, TFileId& id, std::vector<TFolderEntry>& entries,
                std::string& error);

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

/// Registers the handler. Windows: with SetConsoleCtrlHandler (CTRL_C_EVENT is 0,
/// CTRL_BREAK_EVENT 1; the handler runs on a thread of its own). POSIX: SIGINT is event 0,
/// SIGQUIT and SIGTERM are event 1. An event the handler does not handle gets the default
/// handling (the process ends).
void InstallConsoleCtrlHandler(TConsoleCtrlHandler handler);

}  // namespace tarvolin::platform
