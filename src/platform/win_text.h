// Windows text and path helpers shared by the Windows sources of the platform layer: UTF-8 to
// UTF-16 and back, and paths of any length. Internal to the platform.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace tarvolin::platform::detail {

/// UTF-8 to UTF-16; invalid sequences become U+FFFD.
std::wstring Widen(std::string_view text);

/// UTF-16 to UTF-8; unpaired surrogates become U+FFFD.
std::string Narrow(std::wstring_view text);

/// A path for the wide file APIs. A path too long for the classic limit is made absolute and
/// given the "\\?\" prefix, so deep trees can still be listed and read.
std::wstring WidePath(const std::string& path);

/// A FILETIME (100 ns ticks since 1601) as seconds since 1970.
std::int64_t UnixSeconds(const FILETIME& time);

/// The system's message for a Windows error code, without its trailing line end.
std::string WindowsErrorText(DWORD code);

}  // namespace tarvolin::platform::detail
