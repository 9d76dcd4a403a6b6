// Windows folder listing for the folder walk: FindFirstFileExW and FindNextFileW with the
// entries' attributes and reparse tags; symbolic links and junctions are followed only to learn
// what they lead to.
#include <windows.h>

#include "platform/platform.h"
#include "platform/platform_internal.h"
#include "platform/win_text.h"

namespace tarvolin::platform {

namespace {

/// The attribute bits the folder walk keeps from a listing.
constexpr DWORD kListedAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                    FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY |
                                    FILE_ATTRIBUTE_ARCHIVE;

/// What a symbolic link or junction leads to.
TEntryKind KindOfLinkTarget(const std::wstring& path) {
  const HANDLE handle = detail::OpenForInformation(path);
  if (handle == INVALID_HANDLE_VALUE) return TEntryKind::BrokenLink;
  BY_HANDLE_FILE_INFORMATION target{};
  const bool ok = ::GetFileInformationByHandle(handle, &target) != 0;
  ::CloseHandle(handle);
  if (!ok) return TEntryKind::BrokenLink;
  return (target.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? TEntryKind::Folder
                                                                   : TEntryKind::File;
}

}  // namespace

bool detail::ReadFolder(const std::string& folder, TFileId& id, std::vector<TFolderEntry>& entries,
                        std::string& error) {
  std::string prefix = folder;
  if (!prefix.empty() && !IsPathSeparator(prefix.back()) && RootLength(prefix) != prefix.size()) {
    prefix += '\\';
  }
  const auto failed = [&error](DWORD code) {
    error = detail::WindowsErrorText(code);
    return false;
  };

  // The folder's identity, links followed: its volume and file index.
  const HANDLE self = detail::OpenForInformation(detail::WidePath(prefix.empty() ? "." : prefix));
  if (self == INVALID_HANDLE_VALUE) return failed(::GetLastError());
  BY_HANDLE_FILE_INFORMATION information{};
  const bool known = ::GetFileInformationByHandle(self, &information) != 0;
  const DWORD code = ::GetLastError();
  ::CloseHandle(self);
  if (!known) return failed(code);
  if ((information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    return failed(ERROR_DIRECTORY);
  }
  id.Device = information.dwVolumeSerialNumber;
  id.Inode =
      (static_cast<std::uint64_t>(information.nFileIndexHigh) << 32) | information.nFileIndexLow;

  // The system's own matching is not used: the pattern is always "*".
  WIN32_FIND_DATAW data{};
  const HANDLE search =
      ::FindFirstFileExW(detail::WidePath(prefix + "*").c_str(), FindExInfoBasic, &data,
                         FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
  if (search == INVALID_HANDLE_VALUE) {
    // An empty drive root lists nothing at all, not even "." and "..".
    const DWORD listError = ::GetLastError();
    return listError == ERROR_FILE_NOT_FOUND || failed(listError);
  }
  do {
    const std::wstring_view wideName(data.cFileName);
    if (wideName.empty() || wideName == L"." || wideName == L"..") continue;
    TFolderEntry item;
    item.Name = detail::Narrow(wideName);
    const DWORD attributes = data.dwFileAttributes;
    item.Attributes = static_cast<std::uint16_t>(attributes & kListedAttributes);
    const bool reparse = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    item.IsLink = reparse && (data.dwReserved0 == IO_REPARSE_TAG_SYMLINK ||
                              data.dwReserved0 == IO_REPARSE_TAG_MOUNT_POINT);
    if ((attributes & FILE_ATTRIBUTE_DEVICE) != 0) {
      item.Kind = TEntryKind::Other;
    } else if (item.IsLink) {
      item.Kind = KindOfLinkTarget(detail::WidePath(prefix + item.Name));
    } else {
      item.Kind =
          (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? TEntryKind::Folder : TEntryKind::File;
    }
    entries.push_back(std::move(item));
  } while (::FindNextFileW(search, &data));
  const DWORD endError = ::GetLastError();
  if (endError != ERROR_NO_MORE_FILES) failed(endError);  // the entries read so far are kept
  ::FindClose(search);
  return true;
}

bool QueryEntryDetails(const std::string& path, TEntryDetails& details) {
  details = TEntryDetails{};
  DWORD attributes = 0;
  std::int64_t size = 0;
  FILETIME written{};
  if (!detail::Lookup(path, attributes, size, written)) return false;
  const bool folder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  details.Size = folder ? 0 : size;
  details.ModifiedSeconds = detail::UnixSeconds(written);
  details.ReadOnly = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
  return true;
}

}  // namespace tarvolin::platform
