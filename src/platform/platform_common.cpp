// The parts of the platform interface that are the same on every system, built on the
// system-specific ones in platform_posix.cpp and platform_win.cpp.
#include "platform/platform.h"

namespace tarvolin::platform {

bool IsExistingFolder(const std::string& path) {
  TPathInfo info;
  return QueryPath(path, info) && info.IsFolder;
}

bool IsExistingFile(const std::string& path) {
  TPathInfo info;
  return QueryPath(path, info) && !info.IsFolder;
}

TInputFile::~TInputFile() {
  Close();
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
