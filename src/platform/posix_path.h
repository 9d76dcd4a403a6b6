// POSIX paths of any length: a path the system refuses as too long is reached folder by folder
// with openat, so deep trees can still be listed, looked up and read. Internal to the platform.
#pragma once

#include <fcntl.h>
#include <limits.h>
#include <unistd.h>

#include <cerrno>
#include <string>

namespace tarvolin::platform::detail {

/// A path as a folder handle and a name relative to it, for the *at system calls. A path the
/// system accepts as it is stays as it is (the handle is AT_FDCWD); a longer one is opened in
/// pieces shorter than PATH_MAX, each ending at a separator, so only its last component is left.
class TAtPath {
 public:
  explicit TAtPath(const std::string& path) {
    if (path.size() < PATH_MAX) {
      leaf_ = path;
      name_ = leaf_.c_str();
      return;
    }
    // The last component (trailing separators kept out of it) stays for the *at call.
    std::size_t end = path.size();
    while (end > 1 && path[end - 1] == '/') --end;
    const std::size_t slash = path.rfind('/', end - 1);
    if (slash == std::string::npos) {
      leaf_ = path.substr(0, end);
      name_ = leaf_.c_str();  // one component: too long for any file system, the call says so
      return;
    }
    leaf_ = path.substr(slash + 1, end - slash - 1);
    std::size_t from = 0;
    const std::size_t stop = slash + 1;  // the folders to open end here
    while (from < stop) {
      // The longest piece that fits, ending just after a separator.
      std::size_t piece = stop - from;
      if (piece >= PATH_MAX) {
        const std::size_t cut = path.rfind('/', from + PATH_MAX - 2);
        piece = (cut == std::string::npos || cut < from) ? 0 : cut + 1 - from;
      }
      if (piece == 0) {  // a single component longer than any path: refused by the system
        Fail(ENAMETOOLONG);
        return;
      }
      const std::string part = path.substr(from, piece);
      int next;
      do {
        next = ::openat(folder_, part.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
      } while (next < 0 && errno == EINTR);
      if (next < 0) {
        Fail(errno);
        return;
      }
      Close();
      folder_ = next;
      from += piece;
    }
    name_ = leaf_.empty() ? "." : leaf_.c_str();
  }

  ~TAtPath() { Close(); }
  TAtPath(const TAtPath&) = delete;
  TAtPath& operator=(const TAtPath&) = delete;

  /// False when a folder on the way could not be opened; errno then holds the reason again.
  bool Ok() const {
    if (error_ != 0) errno = error_;
    return error_ == 0;
  }
  int Folder() const { return folder_; }
  const char* Name() const { return name_; }

 private:
  void Fail(int error) {
    Close();
    error_ = error;
  }
  void Close() {
    if (folder_ >= 0) ::close(folder_);
    folder_ = AT_FDCWD;
  }

  int folder_ = AT_FDCWD;
  int error_ = 0;
  std::string leaf_;  // what `name_` points into (the whole path when it is short)
  const char* name_ = "";
};

}  // namespace tarvolin::platform::detail
