// Version information of program files, and the build constants.
#include "version/version.h"

#include <filesystem>
#include <system_error>
#include <utility>
#include <vector>

#include "platform/platform.h"
#include "version_config.h"

namespace tarvolin::version {

namespace {

VersionReader& Replacement() {
  static VersionReader reader;
  return reader;
}

#define TARVOLIN_TEXT_OF(x) #x
#define TARVOLIN_TEXT(x) TARVOLIN_TEXT_OF(x)

}  // namespace

VersionStrings ReadVersionStrings(const std::string& fileName) {
  namespace fs = std::filesystem;
  platform::TPathInfo info;
  if (fileName.empty() || !platform::QueryPath(fileName, info)) {
    throw EVersionError("cannot examine \"" + fileName + "\"");
  }
  if constexpr (platform::kVersionResources) {
    // The program file's own version resource, compiled from the same values as below.
    static const std::vector<std::string> kKeys = {
        "FileVersion", "FileDescription", "CompanyName",      "LegalCopyright", "Comments",
        "ProductName", "InternalName",    "OriginalFilename", "ProductVersion"};
    VersionStrings strings;
    std::string error;
    switch (platform::ReadVersionResource(fileName, kKeys, strings, error)) {
      case platform::TVersionResult::Ok:
        return strings;
      case platform::TVersionResult::NoVersionInfo:
        throw EVersionInfo("\"" + fileName + "\" carries no version information: " + error);
      case platform::TVersionResult::Failed:
        break;
    }
    throw EVersionError(error);
  }
  std::error_code error;
  const std::string program = platform::ProgramPath();
  if (program.empty()) throw EVersionError("the running program's path is unknown");
  const bool same = fs::equivalent(fs::path(fileName), fs::path(program), error);
  if (error) throw EVersionError(error.message());
  if (!same) throw EVersionInfo("\"" + fileName + "\" carries no version information");
  return {
      {"FileVersion", config::kFileVersion},
      {"FileDescription", config::kFileDescription},
      {"CompanyName", config::kCompanyName},
      {"LegalCopyright", config::kLegalCopyright},
      {"Comments", config::kComments},
      {"ProductName", config::kProductName},
      {"InternalName", config::kInternalName},
      {"OriginalFilename", config::kOriginalFilename},
      {"ProductVersion", config::kProductVersion},
  };
}

std::string VersionString(const VersionStrings& strings, const std::string& key) {
  const auto found = strings.find(key);
  if (found == strings.end()) throw EVersionError("no version string \"" + key + "\"");
  return found->second;
}

void SetVersionReader(VersionReader reader) {
  Replacement() = std::move(reader);
}

VersionStrings QueryVersionStrings(const std::string& fileName) {
  if (Replacement()) return Replacement()(fileName);
  return ReadVersionStrings(fileName);
}

const char* FileVersion() {
  return config::kFileVersion;
}

const char* BuildDate() {
  return config::kBuildDate;
}

const char* BuildDateTime() {
  return config::kBuildDateTime;
}

const char* Edition() {
#if defined(__x86_64__) || defined(_M_X64) || defined(_M_AMD64)
  return " x64";
#elif defined(__aarch64__) || defined(_M_ARM64)
  return " arm64";
#else
  return "";
#endif
}

std::string Toolchain() {
#if defined(__clang__)
  return "Clang " TARVOLIN_TEXT(__clang_major__) "." TARVOLIN_TEXT(
      __clang_minor__) "." TARVOLIN_TEXT(__clang_patchlevel__);
#elif defined(__GNUC__)
  return "GCC " TARVOLIN_TEXT(__GNUC__) "." TARVOLIN_TEXT(__GNUC_MINOR__) "." TARVOLIN_TEXT(
      __GNUC_PATCHLEVEL__);
#elif defined(_MSC_VER)
  return "MSVC " + std::to_string(_MSC_FULL_VER / 10000000) + "." +
         std::to_string((_MSC_FULL_VER / 100000) % 100) + "." +
         std::to_string(_MSC_FULL_VER % 100000);
#else
  return "an unknown compiler";
#endif
}

}  // namespace tarvolin::version
