// The parts of the platform interface that are the same on every system, built on the
// system-specific sources (platform_*.cpp, folder_*.cpp) and what they supply to it
// (platform_internal.h).
#include "platform/platform.h"
#include "platform/platform_internal.h"

namespace tarvolin::platform {

bool IsExistingFolder(const std::string& path) {
  TPathInfo info;
  return QueryPath(path, info) && info.IsFolder;
}

bool IsExistingFile(const std::string& path) {
  TPathInfo info;
  return QueryPath(path, info) && !info.IsFolder;
}

bool ListFolder(const std::string& folder, TFileId& id, std::vector<TFolderEntry>& entries,
                std::string& error) {
  entries.clear();
  error.clear();
  id = TFileId{};
  return detail::ReadFolder(folder, id, entries, error);
}

TInputFile::~TInputFile() {
  Close();
}

std::int64_t TInputFile::Read(std::uint8_t* destination, std::int64_t count, std::string& error) {
  std::int64_t total = 0;
  while (total < count) {
    const std::int64_t n = detail::ReadSome(handle_, destination + total, count - total, error);
    if (n < 0) return -1;
    if (n == 0) break;
    total += n;
    // A regular file read up to the size it had when opened is at its end: one more read
    // would only confirm it. (A file that grew meanwhile is caught by `ChangedWhileRead`.)
    if (regular_ && size_ > 0 && position_ + total >= size_) break;
  }
  position_ += total;
  return total;
}

std::int64_t TInputFile::ReadAt(std::int64_t offset, std::uint8_t* destination, std::int64_t count,
                                std::string& error) const {
  std::int64_t total = 0;
  while (total < count) {
    const std::int64_t n =
        detail::ReadSome(handle_, destination + total, count - total, error, offset + total);
    if (n < 0) return -1;
    if (n == 0) break;
    total += n;
  }
  return total;
}

TOutputHandle::~TOutputHandle() {
  std::string ignored;
  Close(ignored);
}

TOutputHandle::TOutputHandle(TOutputHandle&& other) noexcept
    : handle_(other.handle_), owned_(other.owned_), regular_(other.regular_) {
  other.handle_ = kNoHandle;
  other.owned_ = false;
  other.regular_ = false;
}

TOutputHandle& TOutputHandle::operator=(TOutputHandle&& other) noexcept {
  if (this != &other) {
    std::string ignored;
    Close(ignored);
    handle_ = other.handle_;
    owned_ = other.owned_;
    regular_ = other.regular_;
    other.handle_ = kNoHandle;
    other.owned_ = false;
    other.regular_ = false;
  }
  return *this;
}

}  // namespace tarvolin::platform
