// Command-line engine: the program's version record, the banner and the build line.
#pragma once

#include <string>

namespace tarvolin::cmdline {

/// The running program's name, version and version strings.
struct TFileVersionInfoRec {
  bool Filled = false;
  std::string FileName;
  std::string BaseName;
  std::string FileExt;
  // "n/a" until the file is read: the titles, the version strings and the size.
  std::string Title = "n/a", FullNameVersion = "n/a", BaseNameVersion = "n/a";
  std::string ProductName = "n/a", InternalName = "n/a", OriginalFilename = "n/a";
  std::string FileVersion = "n/a", ProductVersion = "n/a";
  std::string FileDescription = "n/a", CompanyName = "n/a";
  std::string Copyright = "n/a", Comments = "n/a";
  std::string FileSize = "n/a";
  std::string FileDir;
};

/// The constants of this build that the banner shows: fixed when the program is built (tests
/// may replace them).
struct TBuildInfo {
  std::string Date;       ///< "yyyy/mm/dd"
  std::string DateTime;   ///< "yyyy/mm/dd hh:nn:ss"
  std::string Edition;    ///< " x64", " arm64", ...
  std::string Toolchain;  ///< e.g. "GCC 12.2.0"
};

extern TBuildInfo BuildInfo;
extern TFileVersionInfoRec VersionInfo;
extern bool BannerShown;
extern bool AutoBanner;

/// Fills the record from a file (empty name: the running program). Reports a missing file (70),
/// a file without version information (74) or another failure (73) on `ErrorOut` and in
/// `ExitStatus`, and returns normally.
void ReadFileVersionInfo(TFileVersionInfoRec& record, const std::string& fileName, bool upperCase);

/// Banner (`showBanner`) and build line (`showBuild`) on `ErrorOut`, at most once per process.
void ShowBanner(TFileVersionInfoRec& record, bool showBuild, bool showBanner);

/// The build line `ShowBanner` writes: name and version from the record, edition, build time
/// and toolchain.
std::string BuildLine(const TFileVersionInfoRec& record);

}  // namespace tarvolin::cmdline
