// Windows folder listing for the folder walk: FindFirstFileExW and FindNextFileW with the
// entries' attributes and reparse tags; symbolic links and junctions are followed only to learn
// what they lead to.
#include <windows.h>

#include "platform/platform.h"
#include "platform/win_text.h"

namespace tarvolin::platform {

namespace {

/// The attribute bits the folder walk keeps from a listing.
constexpr DWORD kListedAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                    FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY |
                                    FILE_ATTRIBUTE_ARCHIVE;

/// Opens what a path names, links followed, for its information only.
HANDLE OpenForInformation(const std::wstring& path) {
  return ::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

/// What a symbolic link or junction leads to.
TEntryKind KindOfLinkTarget(const std::wstring& path) {
  const HANDLE handle = OpenForInformation(path);
  if (handle == INVALID_HANDLE_VALUE) return TEntryKind::BrokenLink;
  BY_HANDLE_FILE_INFORMATION target{};
  const bool ok = ::GetFileInformationByHandle(handle, &target) != 0;
  ::CloseHandle(handle);
  if (!ok) return TEntryKind::BrokenLink;
  return (target.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? TEntryKind::Folder
                                                                   : TEntryKind::File;
}

}  // namespace

bool ListFolder(const std::string& folder, TFolderId& id, std::vector<TFolderEntry>& entries) {
  entries.clear();
  id = TFolderId{};
  std::string prefix = folder;
  if (!prefix.empty() && !IsPathSeparator(prefix.back()) && RootLength(prefix) != prefix.size()) {
    prefix += '\\';
  }

  // The folder's identity, links followed: its volume and file index.
  const HANDLE self = OpenForInformation(detail::WidePath(prefix.empty() ? "." : prefix));
  if (self == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION information{};
  const bool known = ::GetFileInformationByHandle(self, &information) != 0;
  ::CloseHandle(self);
  if (!known || (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return false;
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
    return ::GetLastError() == ERROR_FILE_NOT_FOUND;
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
  ::FindClose(search);
  return true;
}

bool QueryEntryDetails(const std::string& path, TEntryDetails& details) {
  details = TEntryDetails{};
  if (path.empty()) return false;
  const std::wstring wide = detail::WidePath(path);
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!::GetFileAttributesExW(wide.c_str(), GetFileExInfoStandard, &data)) return false;
  DWORD attributes = data.dwFileAttributes;
  std::uint64_t size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  FILETIME written = data.ftLastWriteTime;
  if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
    const HANDLE handle = OpenForInformation(wide);
    if (handle == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION target{};
    const bool ok = ::GetFileInformationByHandle(handle, &target) != 0;
    ::CloseHandle(handle);
    if (!ok) return false;
    attributes = target.dwFileAttributes;
    size = (static_cast<std::uint64_t>(target.nFileSizeHigh) << 32) | target.nFileSizeLow;
    written = target.ftLastWriteTime;
  }
  const bool folder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  details.Size = folder ? 0 : static_cast<std::int64_t>(size);
  details.ModifiedSeconds = detail::UnixSeconds(written);
  details.ReadOnly = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
  return true;
}

}  // namespace tarvolin::platform
