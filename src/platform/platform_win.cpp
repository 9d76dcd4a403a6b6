// Windows implementation of the platform layer: wide (UTF-16) system calls everywhere, UTF-8
// text on this side of the interface.
#include "platform/platform.h"

#include <windows.h>
// After windows.h:
#include <conio.h>
#include <shellapi.h>
#include <winver.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cwctype>
#include <vector>

#include "platform/platform_internal.h"
#include "platform/text_stream.h"
#include "platform/win_text.h"

namespace tarvolin::platform {

namespace detail {

std::wstring Widen(std::string_view text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int length = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  if (length > 0) ::MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide.data(), length);
  return wide;
}

std::string Narrow(std::wstring_view text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int length =
      ::WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
  std::string narrow(static_cast<std::size_t>(length), '\0');
  if (length > 0) {
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), size, narrow.data(), length, nullptr, nullptr);
  }
  return narrow;
}

std::wstring WidePath(const std::string& path) {
  std::wstring wide = Widen(path);
  // Folders are limited to MAX_PATH less room for an 8.3 name; below that the path is taken
  // as it is (relative, with "/" or "\").
  constexpr std::size_t kClassicLimit = MAX_PATH - 12;
  if (wide.size() < kClassicLimit || wide.rfind(L"\\\\?\\", 0) == 0 ||
      wide.rfind(L"\\\\.\\", 0) == 0) {
    return wide;
  }
  const DWORD needed = ::GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (needed == 0) return wide;
  std::wstring full(needed, L'\0');
  const DWORD length = ::GetFullPathNameW(wide.c_str(), needed, full.data(), nullptr);
  if (length == 0 || length >= needed) return wide;
  full.resize(length);
  if (full.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + full.substr(2);
  return L"\\\\?\\" + full;
}

std::uint64_t Ticks(const FILETIME& time) {
  return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

std::int64_t UnixSeconds(const FILETIME& time) {
  return static_cast<std::int64_t>(Ticks(time) / kTicksPerSecond) - kEpochDifference;
}

std::string WindowsErrorText(DWORD code) {
  wchar_t* buffer = nullptr;
  const DWORD length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::string text;
  if (length > 0 && buffer != nullptr) text = Narrow(std::wstring_view(buffer, length));
  if (buffer != nullptr) ::LocalFree(buffer);
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ')) {
    text.pop_back();
  }
  if (text.empty()) text = "Windows error " + std::to_string(code);
  return text;
}

}  // namespace detail

using detail::kTicksPerSecond;
using detail::Narrow;
using detail::Ticks;
using detail::Widen;
using detail::WidePath;

namespace {

HANDLE AsHandle(NativeHandle handle) {
  return reinterpret_cast<HANDLE>(handle);
}

NativeHandle AsNative(HANDLE handle) {
  return reinterpret_cast<NativeHandle>(handle);
}

std::string LastErrorText() {
  return detail::WindowsErrorText(::GetLastError());
}

std::int64_t SizeOf(DWORD high, DWORD low) {
  return static_cast<std::int64_t>((static_cast<std::uint64_t>(high) << 32) | low);
}

}  // namespace

namespace detail {

HANDLE OpenForInformation(const std::wstring& path) {
  return ::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

bool Lookup(const std::string& path, DWORD& attributes, std::int64_t& size, FILETIME& written) {
  if (path.empty()) return false;
  const std::wstring wide = WidePath(path);
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!::GetFileAttributesExW(wide.c_str(), GetFileExInfoStandard, &data)) return false;
  attributes = data.dwFileAttributes;
  size = SizeOf(data.nFileSizeHigh, data.nFileSizeLow);
  written = data.ftLastWriteTime;
  if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) return true;
  // A symbolic link or junction describes itself; opening it reaches its target.
  const HANDLE handle = OpenForInformation(wide);
  if (handle == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION target{};
  const bool ok = ::GetFileInformationByHandle(handle, &target) != 0;
  ::CloseHandle(handle);
  if (!ok) return false;
  attributes = target.dwFileAttributes;
  size = SizeOf(target.nFileSizeHigh, target.nFileSizeLow);
  written = target.ftLastWriteTime;
  return true;
}

}  // namespace detail

using detail::Lookup;

// ---- Paths and process ----------------------------------------------------------------------

std::size_t RootLength(std::string_view path) noexcept {
  const auto separator = [&](std::size_t i) { return i < path.size() && IsPathSeparator(path[i]); };
  if (separator(0) && separator(1)) {
    // "\\server\share\": the server, the share and the separator after it.
    std::size_t end = path.find_first_of(kPathSeparators, 2);
    if (end == std::string_view::npos) return path.size();
    end = path.find_first_of(kPathSeparators, end + 1);
    return end == std::string_view::npos ? path.size() : end + 1;
  }
  if (path.size() >= 2 && path[1] == ':' &&
      ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'))) {
    return separator(2) ? 3 : 2;
  }
  return separator(0) ? 1 : 0;
}

std::vector<std::string> ProcessArguments(int argc, char** argv) {
  int count = 0;
  wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  if (wide == nullptr) return std::vector<std::string>(argv, argv + argc);
  std::vector<std::string> arguments;
  arguments.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) arguments.push_back(Narrow(wide[i]));
  ::LocalFree(wide);
  return arguments;
}

std::string RawCommandLine() {
  return Narrow(::GetCommandLineW());
}

std::string TemporaryFolderPrefix() {
  std::wstring value(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        ::GetEnvironmentVariableW(L"TEMP", value.data(), static_cast<DWORD>(value.size()));
    if (length == 0) return "\\";  // unset: the name starts with the separator
    if (length < value.size()) {
      value.resize(length);
      return Narrow(value) + "\\";
    }
    value.resize(length);
  }
}

std::string CurrentDirectory() {
  const DWORD needed = ::GetCurrentDirectoryW(0, nullptr);
  if (needed == 0) return {};
  std::wstring folder(needed, L'\0');
  const DWORD length = ::GetCurrentDirectoryW(needed, folder.data());
  if (length == 0 || length >= needed) return {};
  folder.resize(length);
  // A long current directory may carry the "\\?\" prefix; the program shows plain paths.
  if (folder.rfind(L"\\\\?\\UNC\\", 0) == 0) return "\\\\" + Narrow(folder.substr(8));
  if (folder.rfind(L"\\\\?\\", 0) == 0) return Narrow(folder.substr(4));
  return Narrow(folder);
}

bool ChangeDirectory(const std::string& folder) {
  return !folder.empty() && ::SetCurrentDirectoryW(WidePath(folder).c_str()) != 0;
}

bool ToLocalTime(std::int64_t seconds, TLocalTime& local) {
  using detail::kEpochDifference;
  if (seconds < -kEpochDifference) return false;
  const auto ticks = static_cast<std::uint64_t>(seconds + kEpochDifference) * kTicksPerSecond;
  FILETIME fileTime{};
  fileTime.dwLowDateTime = static_cast<DWORD>(ticks & 0xFFFFFFFFULL);
  fileTime.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
  SYSTEMTIME utc{};
  SYSTEMTIME parts{};
  if (!::FileTimeToSystemTime(&fileTime, &utc)) return false;
  if (!::SystemTimeToTzSpecificLocalTime(nullptr, &utc, &parts)) return false;
  local.Year = parts.wYear;
  local.Month = parts.wMonth;
  local.Day = parts.wDay;
  local.Hour = parts.wHour;
  local.Minute = parts.wMinute;
  local.Second = parts.wSecond;
  return true;
}

namespace {

std::string LocaleText(LCTYPE item, const char* fallback) {
  wchar_t buffer[16] = {};
  const int length = ::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, item, buffer, 16);
  if (length <= 1) return fallback;
  return Narrow(std::wstring_view(buffer, static_cast<std::size_t>(length - 1)));
}

}  // namespace

std::string DateSeparator() {
  return LocaleText(LOCALE_SDATE, "/");
}

std::string TimeSeparator() {
  return LocaleText(LOCALE_STIME, ":");
}

std::optional<std::string> LocaleUpperCase(std::string_view text) {
  if (text.empty()) return std::string();
  const std::wstring wide = Widen(text);
  const int size = static_cast<int>(wide.size());
  constexpr DWORD kFlags = LCMAP_UPPERCASE | LCMAP_LINGUISTIC_CASING;
  const int length = ::LCMapStringEx(LOCALE_NAME_USER_DEFAULT, kFlags, wide.c_str(), size, nullptr,
                                     0, nullptr, nullptr, 0);
  if (length <= 0) return std::nullopt;
  std::wstring upper(static_cast<std::size_t>(length), L'\0');
  if (::LCMapStringEx(LOCALE_NAME_USER_DEFAULT, kFlags, wide.c_str(), size, upper.data(), length,
                      nullptr, nullptr, 0) <= 0) {
    return std::nullopt;
  }
  return Narrow(upper);
}

// ---- Version resources ----------------------------------------------------------------------

TVersionResult ReadVersionResource(const std::string& path, const std::vector<std::string>& keys,
                                   std::map<std::string, std::string>& values, std::string& error) {
  values.clear();
  DWORD attributes = 0;
  std::int64_t size = 0;
  FILETIME written{};
  if (!Lookup(path, attributes, size, written)) {
    error = LastErrorText();
    return TVersionResult::Failed;
  }
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    error = "a folder has no version information";
    return TVersionResult::NoVersionInfo;
  }
  const std::wstring wide = WidePath(path);
  DWORD ignored = 0;
  const DWORD blockSize = ::GetFileVersionInfoSizeW(wide.c_str(), &ignored);
  if (blockSize == 0) {
    const DWORD code = ::GetLastError();
    error = detail::WindowsErrorText(code);
    switch (code) {
      // Not an executable, or one without a version resource.
      case ERROR_RESOURCE_DATA_NOT_FOUND:
      case ERROR_RESOURCE_TYPE_NOT_FOUND:
      case ERROR_RESOURCE_NAME_NOT_FOUND:
      case ERROR_RESOURCE_LANG_NOT_FOUND:
      case ERROR_BAD_EXE_FORMAT:
      case ERROR_BAD_FORMAT:
        return TVersionResult::NoVersionInfo;
      default:
        return TVersionResult::Failed;
    }
  }
  std::vector<unsigned char> block(blockSize);
  if (!::GetFileVersionInfoW(wide.c_str(), 0, blockSize, block.data())) {
    error = LastErrorText();
    return TVersionResult::Failed;
  }
  void* fixed = nullptr;
  UINT fixedSize = 0;
  if (!::VerQueryValueW(block.data(), L"\\", &fixed, &fixedSize) ||
      fixedSize < sizeof(VS_FIXEDFILEINFO) ||
      static_cast<const VS_FIXEDFILEINFO*>(fixed)->dwSignature != VS_FFI_SIGNATURE) {
    error = "the version resource is damaged";
    return TVersionResult::Failed;
  }
  // The strings of the first language and code page the resource lists.
  unsigned language = 0x0409;
  unsigned codePage = 1200;
  void* translation = nullptr;
  UINT translationSize = 0;
  if (::VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", &translation,
                       &translationSize) &&
      translationSize >= 4) {
    const auto* words = static_cast<const WORD*>(translation);
    language = words[0];
    codePage = words[1];
  }
  wchar_t table[32];
  std::swprintf(table, 32, L"\\StringFileInfo\\%04x%04x\\", language, codePage);
  for (const std::string& key : keys) {
    void* text = nullptr;
    UINT length = 0;
    const std::wstring query = table + Widen(key);
    if (!::VerQueryValueW(block.data(), query.c_str(), &text, &length) || text == nullptr) {
      continue;  // an absent key is reported when it is asked for
    }
    std::wstring_view value(static_cast<const wchar_t*>(text), length);
    while (!value.empty() && value.back() == L'\0') value.remove_suffix(1);
    values[key] = Narrow(value);
  }
  return TVersionResult::Ok;
}

// ---- Files ----------------------------------------------------------------------------------

bool QueryPath(const std::string& path, TPathInfo& info) {
  info = TPathInfo{};
  DWORD attributes = 0;
  std::int64_t size = 0;
  FILETIME written{};
  if (!Lookup(path, attributes, size, written)) return false;
  info.Exists = true;
  info.IsFolder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  info.IsRegular = !info.IsFolder && (attributes & FILE_ATTRIBUTE_DEVICE) == 0;
  info.Size = info.IsRegular ? size : -1;
  info.ModifiedSeconds = detail::UnixSeconds(written);
  return true;
}

bool QueryFileId(const std::string& path, TFileId& id) {
  if (path.empty()) return false;
  const HANDLE handle = detail::OpenForInformation(WidePath(path));
  if (handle == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION information{};
  const bool ok = ::GetFileInformationByHandle(handle, &information) != 0;
  ::CloseHandle(handle);
  if (!ok) return false;
  id.Device = information.dwVolumeSerialNumber;
  id.Inode =
      (static_cast<std::uint64_t>(information.nFileIndexHigh) << 32) | information.nFileIndexLow;
  return true;
}

std::int64_t FileSizeOf(const std::string& path) {
  DWORD attributes = 0;
  std::int64_t size = 0;
  FILETIME written{};
  if (!Lookup(path, attributes, size, written)) return -1;
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? 0 : size;
}

std::string ProgramPath() {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) {
      buffer.resize(length);
      return Narrow(buffer);
    }
    buffer.resize(buffer.size() * 2);  // cut short: try a larger buffer
  }
}

std::string ErrorText(int errorNumber) {
  return detail::WindowsErrorText(static_cast<DWORD>(errorNumber));
}

bool TInputFile::Open(const std::string& path, std::string& error, bool regularOnly) {
  Close();
  // Others may read the file meanwhile, but nobody may write it while it is hashed.
  const HANDLE handle = ::CreateFileW(WidePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    error = LastErrorText();
    return false;
  }
  const bool disk = ::GetFileType(handle) == FILE_TYPE_DISK;
  if (regularOnly && !disk) {
    error = "Not a regular file";
    ::CloseHandle(handle);
    return false;
  }
  BY_HANDLE_FILE_INFORMATION information{};
  if (disk && !::GetFileInformationByHandle(handle, &information)) {
    error = LastErrorText();
    ::CloseHandle(handle);
    return false;
  }
  handle_ = AsNative(handle);
  regular_ = disk;
  opened_size_ = disk ? SizeOf(information.nFileSizeHigh, information.nFileSizeLow) : 0;
  const std::uint64_t written = Ticks(information.ftLastWriteTime);
  opened_seconds_ = static_cast<std::int64_t>(written / kTicksPerSecond);
  opened_nanoseconds_ = static_cast<std::int64_t>(written % kTicksPerSecond) * 100;
  // Anything but a file on a disk (a pipe, a console, a device) is read to its end.
  size_ = disk && opened_size_ > 0 ? opened_size_ : -1;
  position_ = 0;
  return true;
}

std::int64_t detail::ReadSome(NativeHandle handle, std::uint8_t* destination, std::int64_t count,
                              std::string& error, std::int64_t offset) {
  const DWORD request = count > 0x40000000 ? 0x40000000 : static_cast<DWORD>(count);
  DWORD got = 0;
  // An offset given in the OVERLAPPED block reads from there on a handle opened for
  // synchronous reads too.
  OVERLAPPED at{};
  at.Offset = static_cast<DWORD>(static_cast<std::uint64_t>(offset) & 0xFFFFFFFFu);
  at.OffsetHigh = static_cast<DWORD>(static_cast<std::uint64_t>(offset) >> 32);
  if (::ReadFile(AsHandle(handle), destination, request, &got, offset < 0 ? nullptr : &at)) {
    return got;
  }
  const DWORD code = ::GetLastError();
  // A pipe whose writer has gone has simply ended.
  if (code == ERROR_BROKEN_PIPE || code == ERROR_HANDLE_EOF) return 0;
  error = detail::WindowsErrorText(code);
  return -1;
}

bool TInputFile::OpenStandardInput(std::string& error) {
  Close();
  HANDLE copy = nullptr;
  const HANDLE process = ::GetCurrentProcess();
  if (!::DuplicateHandle(process, ::GetStdHandle(STD_INPUT_HANDLE), process, &copy, 0, FALSE,
                         DUPLICATE_SAME_ACCESS)) {
    error = LastErrorText();
    return false;
  }
  handle_ = AsNative(copy);
  return true;
}

bool TInputFile::Seek(std::int64_t offset, std::string& error) {
  LARGE_INTEGER distance{};
  distance.QuadPart = offset;
  if (!::SetFilePointerEx(AsHandle(handle_), distance, nullptr, FILE_BEGIN)) {
    error = LastErrorText();
    return false;
  }
  position_ = offset;
  return true;
}

bool TInputFile::ChangedWhileRead() const {
  if (handle_ == kNoHandle || !regular_) return false;
  BY_HANDLE_FILE_INFORMATION information{};
  if (!::GetFileInformationByHandle(AsHandle(handle_), &information)) return true;
  if (SizeOf(information.nFileSizeHigh, information.nFileSizeLow) != opened_size_) return true;
  const std::uint64_t written = Ticks(information.ftLastWriteTime);
  return static_cast<std::int64_t>(written / kTicksPerSecond) != opened_seconds_ ||
         static_cast<std::int64_t>(written % kTicksPerSecond) * 100 != opened_nanoseconds_;
}

void TInputFile::Close() {
  if (handle_ != kNoHandle) ::CloseHandle(AsHandle(handle_));
  handle_ = kNoHandle;
  size_ = -1;
  position_ = 0;
  regular_ = false;
}

void OccupyClosedStandardHandles() {
  // Windows hands out no handle in place of a missing standard one: nothing to occupy.
}

TOutputHandle TOutputHandle::StandardOutput() {
  TOutputHandle handle(AsNative(::GetStdHandle(STD_OUTPUT_HANDLE)));
  handle.regular_ = ::GetFileType(AsHandle(handle.handle_)) == FILE_TYPE_DISK;
  return handle;
}

TOutputHandle TOutputHandle::StandardError() {
  return TOutputHandle(AsNative(::GetStdHandle(STD_ERROR_HANDLE)));
}

namespace {

/// Refuses what a planted name may lead to: a link or junction, a device or pipe, a file with
/// several names.
bool IsOwnPlainFile(HANDLE handle, std::string& error) {
  BY_HANDLE_FILE_INFORMATION information{};
  if (!::GetFileInformationByHandle(handle, &information)) {
    error = LastErrorText();
    return false;
  }
  if (::GetFileType(handle) != FILE_TYPE_DISK ||
      (information.dwFileAttributes &
       (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) != 0 ||
      information.nNumberOfLinks > 1) {
    error = "Refused: not a regular file of this user";
    return false;
  }
  return true;
}

}  // namespace

bool TOutputHandle::Open(const std::string& path, TMode mode, std::string& error) {
  std::string ignored;
  Close(ignored);
  // Appending asks for append access only, so every write lands at the end of the file.
  const bool append = mode == TMode::Append;
  const bool own = mode == TMode::CreateOwnFile;
  const DWORD disposition = append || own ? OPEN_ALWAYS : CREATE_ALWAYS;
  const DWORD flags = FILE_ATTRIBUTE_NORMAL | (own ? FILE_FLAG_OPEN_REPARSE_POINT : 0);
  const HANDLE handle =
      ::CreateFileW(WidePath(path).c_str(), append ? FILE_APPEND_DATA : GENERIC_WRITE,
                    FILE_SHARE_READ, nullptr, disposition, flags, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    error = LastErrorText();
    return false;
  }
  // The file is emptied only once it is known to be a plain file.
  if (own && (!IsOwnPlainFile(handle, error) || !::SetEndOfFile(handle))) {
    if (error.empty()) error = LastErrorText();
    ::CloseHandle(handle);
    return false;
  }
  handle_ = AsNative(handle);
  owned_ = true;
  regular_ = ::GetFileType(handle) == FILE_TYPE_DISK;
  return true;
}

bool TOutputHandle::Write(const char* data, std::size_t size, std::string& error,
                          std::size_t* kept) {
  // A console control event is handled on a thread of its own and never interrupts a write;
  // what a failed write left in the file stays.
  std::size_t done = 0;
  const auto finish = [&](bool ok) {
    if (kept != nullptr) *kept = done;
    return ok;
  };
  if (handle_ == kNoHandle) {
    error = detail::WindowsErrorText(ERROR_INVALID_HANDLE);
    return finish(false);
  }
  const HANDLE handle = AsHandle(handle_);
  DWORD mode = 0;
  if (size > 0 && ::GetConsoleMode(handle, &mode)) {
    // A console shows UTF-16; the bytes of a redirected stream stay UTF-8.
    const std::wstring wide = Widen(std::string_view(data, size));
    std::size_t wideDone = 0;
    while (wideDone < wide.size()) {
      DWORD written = 0;
      const DWORD request =
          static_cast<DWORD>(std::min<std::size_t>(wide.size() - wideDone, 16384));
      if (!::WriteConsoleW(handle, wide.data() + wideDone, request, &written, nullptr)) {
        error = LastErrorText();
        return finish(false);
      }
      wideDone += written;
    }
    done = size;
    return finish(true);
  }
  while (done < size) {
    DWORD written = 0;
    const std::size_t left = size - done;
    const DWORD request = left > 0x40000000 ? 0x40000000 : static_cast<DWORD>(left);
    if (!::WriteFile(handle, data + done, request, &written, nullptr)) {
      error = LastErrorText();
      return finish(false);
    }
    if (written == 0) {
      error = detail::WindowsErrorText(ERROR_WRITE_FAULT);
      return finish(false);
    }
    done += written;
  }
  return finish(true);
}

bool TOutputHandle::Close(std::string& error) {
  bool ok = true;
  if (owned_ && handle_ != kNoHandle && !::CloseHandle(AsHandle(handle_))) {
    error = LastErrorText();
    ok = false;
  }
  handle_ = kNoHandle;
  owned_ = false;
  return ok;
}

bool TOutputHandle::IsTerminal() const {
  DWORD mode = 0;
  return handle_ != kNoHandle && ::GetConsoleMode(AsHandle(handle_), &mode) != 0;
}

// ---- Console keyboard, pauses and the alert --------------------------------------------------

namespace {

DWORD saved_input_mode = 0;
bool input_mode_changed = false;

}  // namespace

void BeginKeyPolling() {
  if (input_mode_changed) return;
  const HANDLE input = ::GetStdHandle(STD_INPUT_HANDLE);
  if (!::GetConsoleMode(input, &saved_input_mode)) return;  // not a console: nothing to set up
  // Keys arrive one by one, unechoed, so a single press is pending at once.
  const DWORD polling =
      saved_input_mode & ~static_cast<DWORD>(ENABLE_LINE_INPUT | ENABLE_ECHO_INPUT);
  input_mode_changed = ::SetConsoleMode(input, polling) != 0;
}

bool KeyPending() {
  const HANDLE input = ::GetStdHandle(STD_INPUT_HANDLE);
  DWORD mode = 0;
  if (::GetConsoleMode(input, &mode)) return _kbhit() != 0;
  switch (::GetFileType(input)) {
    case FILE_TYPE_PIPE: {
      DWORD available = 0;
      // A pipe whose writer has gone can never bring a key: the wait is over.
      if (!::PeekNamedPipe(input, nullptr, 0, nullptr, &available, nullptr)) return true;
      return available > 0;
    }
    default:
      // A file, NUL or no standard input at all: readable at once, or never anything to wait
      // for.
      return true;
  }
}

void EndKeyPolling() {
  if (!input_mode_changed) return;
  ::SetConsoleMode(::GetStdHandle(STD_INPUT_HANDLE), saved_input_mode);
  input_mode_changed = false;
}

void SleepMilliseconds(int milliseconds) {
  if (milliseconds > 0) ::Sleep(static_cast<DWORD>(milliseconds));
}

void Beep() {
  ::MessageBeep(MB_OK);
}

// ---- Abort requests -------------------------------------------------------------------------

namespace {

std::atomic<TConsoleCtrlHandler> InstalledHandler{nullptr};

BOOL WINAPI OnConsoleEvent(DWORD eventType) {
  const TConsoleCtrlHandler handler = InstalledHandler.load();
  return handler != nullptr && handler(static_cast<std::uint32_t>(eventType)) ? TRUE : FALSE;
}

}  // namespace

void InstallConsoleCtrlHandler(TConsoleCtrlHandler handler) {
  InstalledHandler.store(handler);
  static const bool registered = ::SetConsoleCtrlHandler(&OnConsoleEvent, TRUE) != 0;
  (void)registered;
}

void StartThreadsWithoutSignals(const std::function<void()>& start) {
  start();
}

std::int32_t UsableProcessorCount() {
  DWORD_PTR process = 0;
  DWORD_PTR system = 0;
  std::int32_t count = 0;
  if (::GetProcessAffinityMask(::GetCurrentProcess(), &process, &system)) {
    for (; process != 0; process &= process - 1) ++count;
  }
  if (count <= 0)
    count = static_cast<std::int32_t>(::GetActiveProcessorCount(ALL_PROCESSOR_GROUPS));
  return count > 0 ? count : 1;
}

}  // namespace tarvolin::platform
