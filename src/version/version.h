// Version information of program files: the version strings of the running program, fixed when
// it was built, and the build constants shown by the banner.
#pragma once

#include <functional>
#include <map>
#include <stdexcept>
#include <string>

namespace tarvolin::version {

/// The file exists but carries no version information.
class EVersionInfo : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

/// Version information could not be obtained for any other reason.
class EVersionError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

/// Version strings by key: "FileVersion", "FileDescription", "CompanyName", "LegalCopyright",
/// "Comments", "ProductName", "InternalName", "OriginalFilename", "ProductVersion".
using VersionStrings = std::map<std::string, std::string>;

/// The version strings of a file. Only the running program's own file has them: any other
/// existing file raises `EVersionInfo`; a file that cannot be examined raises `EVersionError`.
VersionStrings ReadVersionStrings(const std::string& fileName);

/// One value of a set of version strings; `EVersionError` when the key is absent.
std::string VersionString(const VersionStrings& strings, const std::string& key);

/// A replacement for `ReadVersionStrings` (used by tests to reach the failure paths); an empty
/// function puts the built-in reader back.
using VersionReader = std::function<VersionStrings(const std::string& fileName)>;
void SetVersionReader(VersionReader reader);
/// `ReadVersionStrings`, or the replacement when one is set.
VersionStrings QueryVersionStrings(const std::string& fileName);

/// The four-part version of this build, e.g. "1.0.0.0".
const char* FileVersion();
/// The build date, "yyyy/mm/dd".
const char* BuildDate();
/// The build date and time, "yyyy/mm/dd hh:nn:ss" (UTC, or SOURCE_DATE_EPOCH when set).
const char* BuildDateTime();
/// The edition word with its leading blank: " x64", " arm64", or empty for other processors.
const char* Edition();
/// The compiler's name and version, e.g. "GCC 12.2.0".
std::string Toolchain();

}  // namespace tarvolin::version
