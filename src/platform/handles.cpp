// The handle classes' members that are the same on every system: destruction and moving.
// Opening, reading and writing are in platform_posix.cpp and platform_win.cpp.
#include "platform/platform.h"

namespace tarvolin::platform {

TInputFile::~TInputFile() {
  Close();
}

TOutputHandle::~TOutputHandle() {
  std::string ignored;
  Close(ignored);
}

TOutputHandle::TOutputHandle(TOutputHandle&& other) noexcept
    : handle_(other.handle_), owned_(other.owned_) {
  other.handle_ = kNoHandle;
  other.owned_ = false;
}

TOutputHandle& TOutputHandle::operator=(TOutputHandle&& other) noexcept {
  if (this != &other) {
    std::string ignored;
    Close(ignored);
    handle_ = other.handle_;
    owned_ = other.owned_;
    other.handle_ = kNoHandle;
    other.owned_ = false;
  }
  return *this;
}

}  // namespace tarvolin::platform
