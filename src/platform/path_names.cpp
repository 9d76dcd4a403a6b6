// The folder and name parts of a path, split at the platform's separators.
#include "platform/path_names.h"

#include "platform/platform.h"

namespace tarvolin::platform {

std::string FolderOf(const std::string& path) {
  const std::size_t separator = LastSeparator(path);
  if (separator == std::string::npos) return {};
  // A separator that belongs to the root ("/", "C:\\") stays.
  const std::size_t root = RootLength(path);
  if (separator < root) return path.substr(0, root);
  return path.substr(0, separator);
}

std::string NameOf(const std::string& path) {
  const std::size_t separator = LastSeparator(path);
  return separator == std::string::npos ? path : path.substr(separator + 1);
}

}  // namespace tarvolin::platform
