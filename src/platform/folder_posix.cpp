// POSIX folder listing for the folder walk: one pass of readdir, stat only where the entry type
// does not already say what the entry is.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/platform.h"
#include "platform/platform_internal.h"
#include "platform/posix_path.h"

namespace tarvolin::platform {

namespace {

TEntryKind KindOfMode(mode_t mode) {
  if (S_ISREG(mode)) return TEntryKind::File;
  if (S_ISDIR(mode)) return TEntryKind::Folder;
  return TEntryKind::Other;
}

/// Follows a link found in the folder: what its target is, or a broken link.
TEntryKind KindOfLinkTarget(int folderHandle, const char* name) {
  struct stat st {};
  if (::fstatat(folderHandle, name, &st, 0) != 0) return TEntryKind::BrokenLink;
  return KindOfMode(st.st_mode);
}

}  // namespace

bool detail::ReadFolder(const std::string& folder, TFileId& id, std::vector<TFolderEntry>& entries,
                        std::string& error) {
  const auto failed = [&error] {
    error = ErrorText(errno);
    return false;
  };
  const detail::TAtPath at(folder.empty() ? std::string(".") : folder);
  if (!at.Ok()) return failed();
  // O_DIRECTORY refuses anything else before opening it, and O_NONBLOCK guards against a pipe
  // swapped in meanwhile: opening never blocks.
  int handle;
  do {
    handle = ::openat(at.Folder(), at.Name(), O_RDONLY | O_DIRECTORY | O_NONBLOCK | O_CLOEXEC);
  } while (handle < 0 && errno == EINTR);
  if (handle < 0) return failed();
  struct stat self {};
  if (::fstat(handle, &self) != 0) {
    failed();
    ::close(handle);
    return false;
  }
  id.Device = static_cast<std::uint64_t>(self.st_dev);
  id.Inode = static_cast<std::uint64_t>(self.st_ino);
  DIR* dir = ::fdopendir(handle);
  if (dir == nullptr) {
    failed();
    ::close(handle);
    return false;
  }
  const int folderHandle = ::dirfd(dir);
  for (;;) {
    errno = 0;
    const dirent* entry = ::readdir(dir);
    if (entry == nullptr) {
      if (errno != 0) failed();  // the entries read so far are kept
      break;
    }
    const char* name = entry->d_name;
    if (name[0] == '\0' || std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) continue;
    TFolderEntry item;
    item.Name = name;
    switch (entry->d_type) {
      case DT_REG:
        item.Kind = TEntryKind::File;
        break;
      case DT_DIR:
        item.Kind = TEntryKind::Folder;
        break;
      case DT_LNK:
        item.IsLink = true;
        item.Kind = KindOfLinkTarget(folderHandle, name);
        break;
      case DT_UNKNOWN: {
        // Some file systems do not fill the type; ask for it.
        struct stat st {};
        if (::fstatat(folderHandle, name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
          continue;  // vanished since it was listed
        }
        if (S_ISLNK(st.st_mode)) {
          item.IsLink = true;
          item.Kind = KindOfLinkTarget(folderHandle, name);
        } else {
          item.Kind = KindOfMode(st.st_mode);
        }
        break;
      }
      default:
        item.Kind = TEntryKind::Other;  // pipe, socket, device node
        break;
    }
    if (item.Kind == TEntryKind::Folder) item.Attributes |= kAttrDirectory;
    if (name[0] == '.') item.Attributes |= kAttrHidden;
    entries.push_back(std::move(item));
  }
  ::closedir(dir);
  return true;
}

bool QueryEntryDetails(const std::string& path, TEntryDetails& details) {
  details = TEntryDetails{};
  struct stat st {};
  if (path.empty()) return false;
  const detail::TAtPath at(path);
  if (!at.Ok() || ::fstatat(at.Folder(), at.Name(), &st, 0) != 0) return false;
  details.Size = S_ISREG(st.st_mode) ? static_cast<std::int64_t>(st.st_size) : 0;
  details.ModifiedSeconds = static_cast<std::int64_t>(st.st_mtime);
  details.ReadOnly = (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
  return true;
}

}  // namespace tarvolin::platform
