// What each system's sources supply to platform_common.cpp, which builds the shared parts of the
// platform interface on them. Only the platform sources include this.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace tarvolin::platform::detail {

/// The system side of `ListFolder` (folder_posix.cpp, folder_win.cpp), given emptied outputs.
bool ReadFolder(const std::string& folder, TFileId& id, std::vector<TFolderEntry>& entries,
                std::string& error);

/// One read of up to `count` bytes into `destination`: the number of bytes read, 0 at the end
/// of the data, or -1 with the system's message in `error`. With `offset` at 0 or more the
/// bytes are read from there, whatever the handle's position, and several threads may read
/// one handle at once.
std::int64_t ReadSome(NativeHandle handle, std::uint8_t* destination, std::int64_t count,
                      std::string& error, std::int64_t offset = -1);

}  // namespace tarvolin::platform::detail
