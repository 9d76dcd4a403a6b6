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

/// FILETIME counts 100-nanosecond ticks since 1601-01-01 (UTC).
inline constexpr std::uint64_t kTicksPerSecond = 10000000;
/// Seconds from 1601-01-01 to 1970-01-01.
inline constexpr std::int64_t kEpochDifference = 11644473600;
/// The ticks a FILETIME holds.
std::uint64_t Ticks(const FILETIME& time);
/// A FILETIME as seconds since 1970.
std::int64_t UnixSeconds(const FILETIME& time);

/// Opens what a path names, links followed, for its information only.
HANDLE OpenForInformation(const std::wstring& path);

/// What a path names, links followed: its attributes, size and last-write time.
bool Lookup(const std::string& path, DWORD& attributes, std::int64_t& size, FILETIME& written);

/// The system's message for a Windows error code, without its trailing line end.
std::string WindowsErrorText(DWORD code);

}  // namespace tarvolin::platform::detail
