// The folder and name parts of a path, split at the platform's separators.
#pragma once

#include <string>

namespace tarvolin::platform {

/// The folder part of a path, without a trailing separator unless it is the root; empty when
/// the path names no folder.
std::string FolderOf(const std::string& path);
/// The name part of a path: what follows the last separator (empty when the path ends in one),
/// or the whole path when it has none.
std::string NameOf(const std::string& path);

}  // namespace tarvolin::platform
