// Tests of the version record, the banner and the build line.
#include "cmdline/banner.h"

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>

#include "cmdline/engine_test_util.h"
#include "cmdline/screen.h"
#include "platform/platform.h"
#include "version/version.h"

namespace tarvolin::cmdline {
namespace {

namespace fs = std::filesystem;

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

class Banner : public ::testing::Test {
 protected:
  void SetUp() override {
    StartEngine();
    ErrorOut = errors_.Stream();
    saved_ = BuildInfo;
    BuildInfo = {"2024/03/05", "2024/03/05 14:45:10", " x64", "GCC 12.2.0"};
  }
  void TearDown() override {
    BuildInfo = saved_;
    version::SetVersionReader(nullptr);
    StartEngine();
  }

  static TFileVersionInfoRec SampleRecord() {
    TFileVersionInfoRec record;
    record.Filled = true;
    record.Title = "TARVOLIN v2.3.4";
    record.FullNameVersion = "TARVOLIN.EXE v2.3.4.567";
    record.FileDescription = "File and Text Checksum Generator";
    record.Copyright = "Copyright (c) 2024 Tarvolin Project";
    record.Comments = "Comments line";
    return record;
  }

  // A scratch file of three bytes with the given name.
  std::string ScratchFile(const std::string& name) { return scratch_.WriteFile(name, {1, 2, 3}); }

  // Reads the version record of `file`, which fails with `message` (followed by the file's
  // name) and `status`, leaving the record unfilled.
  void ReadFails(const std::string& file, const std::string& message, std::int32_t status) {
    ReadFileVersionInfo(VersionInfo, file, true);
    EXPECT_EQ(errors_.Text(), message + file + "\n");
    EXPECT_EQ(ExitStatus, status);
    EXPECT_FALSE(VersionInfo.Filled);
  }

  test::TCapturedStream errors_;
  test::TScratchDir scratch_;
  TBuildInfo saved_;
};

const std::string kBannerBlock =
    "TARVOLIN v2.3.4 x64 (05 Mar 2024) - File and Text Checksum Generator\n"
    "Copyright (c) 2024 Tarvolin Project\nComments line\n\n";
// Minutes and seconds of the build time always show as zeros.
const std::string kBuildBlock =
    "TARVOLIN.EXE v2.3.4.567 x64 was compiled on 05 Mar 2024 @ 14:00:00 using GCC 12.2.0\n\n";

TEST_F(Banner, BuildLineOnly) {
  TFileVersionInfoRec record = SampleRecord();
  ShowBanner(record, true, false);
  EXPECT_EQ(errors_.Text(), kBuildBlock);
  EXPECT_TRUE(BannerShown);
}

TEST_F(Banner, BannerThenBuildLineAndOnlyOnce) {
  TFileVersionInfoRec record = SampleRecord();
  ShowBanner(record, true, true);
  ShowBanner(record, true, true);
  ShowBanner(record, false, true);
  EXPECT_EQ(errors_.Text(), kBannerBlock + kBuildBlock);
}

TEST_F(Banner, BannerWithoutBuildLine) {
  TFileVersionInfoRec record = SampleRecord();
  BuildInfo.Date = "2024/12/31";
  ShowBanner(record, false, true);
  EXPECT_EQ(errors_.Text().substr(0, 36), "TARVOLIN v2.3.4 x64 (31 Dec 2024) - ");
  EXPECT_EQ(errors_.Text().size(), kBannerBlock.size());
}

TEST_F(Banner, UnfilledRecordIsReadFromTheProgram) {
  TFileVersionInfoRec record;
  ShowBanner(record, true, false);
  EXPECT_TRUE(record.Filled);
  const std::string name = fs::path(platform::ProgramPath()).filename().string();
  EXPECT_EQ(errors_.Text(), Upper(name) + " v" + version::FileVersion() +
                                " x64 was compiled on 05 Mar 2024 @ 14:00:00 using GCC 12.2.0\n\n");
}

TEST_F(Banner, ProgramRecord) {
  ReadFileVersionInfo(VersionInfo, "", true);
  const std::string path = platform::ProgramPath();
  const std::string name = fs::path(path).filename().string();
  ASSERT_TRUE(VersionInfo.Filled);
  EXPECT_EQ(ExitStatus, 0);
  EXPECT_EQ(errors_.Text(), "");
  EXPECT_EQ(VersionInfo.FileName, Upper(name));
  // No extension on POSIX (the base name is the whole name), ".exe" on Windows.
  EXPECT_EQ(VersionInfo.FileExt, fs::path(path).extension().string());
  EXPECT_EQ(VersionInfo.BaseName, Upper(fs::path(path).stem().string()));
  EXPECT_EQ(VersionInfo.FileDir, fs::path(path).parent_path().string());
  EXPECT_EQ(VersionInfo.FileSize, std::to_string(fs::file_size(path)) + " bytes");
  const std::string version = version::FileVersion();
  EXPECT_EQ(VersionInfo.FileVersion, version);
  EXPECT_EQ(VersionInfo.FullNameVersion, VersionInfo.FileName + " v" + version);
  EXPECT_EQ(VersionInfo.BaseNameVersion, VersionInfo.BaseName + " v" + version);
  EXPECT_EQ(VersionInfo.Title, VersionInfo.BaseName + " v" + version.substr(0, version.rfind('.')));
  EXPECT_EQ(VersionInfo.Copyright.rfind("Copyright (c) ", 0), 0u);
  EXPECT_EQ(VersionInfo.FileDescription, "File and Text Checksum Generator");
  EXPECT_EQ(VersionInfo.CompanyName, "Tarvolin Project");
}

TEST_F(Banner, MissingFile) {
  const std::string missing = (scratch_.Path() / "missing.exe").string();
  ReadFails(missing, "File does not exist: ", 70);
  EXPECT_EQ(VersionInfo.Title, "n/a");
  EXPECT_EQ(VersionInfo.FileSize, "n/a");
  EXPECT_EQ(VersionInfo.FileName, "");
}

TEST_F(Banner, OtherFileHasNoVersionInformation) {
  // The extension also occurs inside the name: every occurrence leaves the base name.
  const std::string file = ScratchFile("x.Exe.exe");
  ReadFails(file, "File contains no resource info: ", 74);
  EXPECT_EQ(VersionInfo.FileName, "X.EXE.EXE");
  EXPECT_EQ(VersionInfo.FileExt, ".exe");
  EXPECT_EQ(VersionInfo.BaseName, "X");
  EXPECT_EQ(VersionInfo.FileDir, scratch_.Path().string());
  EXPECT_EQ(VersionInfo.FileSize, "3 bytes");
  EXPECT_EQ(VersionInfo.Title, "n/a");
  EXPECT_EQ(VersionInfo.Copyright, "n/a");

  TFileVersionInfoRec lower;
  ReadFileVersionInfo(lower, ScratchFile("Y.EXE.exe"), false);
  EXPECT_EQ(lower.FileName, "Y.EXE.exe");
  EXPECT_EQ(lower.BaseName, "Y");
}

TEST_F(Banner, OtherFailureKeepsWhatWasRead) {
  version::SetVersionReader([](const std::string&) {
    return version::VersionStrings{{"FileVersion", "2.3"}, {"FileDescription", "Desc"}};
  });
  const std::string file = ScratchFile("prog");
  ReadFails(file, "Error obtaining version info from file: ", 73);
  // Missing version parts show as zeros.
  EXPECT_EQ(VersionInfo.FullNameVersion, "PROG v2.3.0.0");
  EXPECT_EQ(VersionInfo.Title, "PROG v2.3.0");
  EXPECT_EQ(VersionInfo.FileDescription, "Desc");
  EXPECT_EQ(VersionInfo.CompanyName, "n/a");
  EXPECT_EQ(VersionInfo.FileVersion, "n/a");

  version::SetVersionReader(
      [](const std::string&) -> version::VersionStrings { throw version::EVersionError("x"); });
  ReadFileVersionInfo(VersionInfo, file, true);
  EXPECT_EQ(ExitStatus, 73);
  EXPECT_EQ(VersionInfo.FullNameVersion, "n/a");
}

TEST_F(Banner, CopyrightWordIsNeverDoubled) {
  const std::string file = ScratchFile("prog.exe");
  for (const auto& [legal, expected] :
       {std::pair<std::string, std::string>{"(c) 2024 X", "Copyright (c) 2024 X"},
        {"Copyright 2024 X", "Copyright 2024 X"},
        {"COPYRIGHT 2024 X", "Copyright 2024 X"},
        {"Copyright", "Copyright Copyright"}}) {
    version::SetVersionReader([legal = legal](const std::string&) {
      version::VersionStrings strings;
      for (const char* key :
           {"FileVersion", "FileDescription", "CompanyName", "Comments", "ProductName",
            "InternalName", "OriginalFilename", "ProductVersion"}) {
        strings[key] = "1.2.3.4";
      }
      strings["LegalCopyright"] = legal;
      return strings;
    });
    TFileVersionInfoRec record;
    ReadFileVersionInfo(record, file, true);
    EXPECT_TRUE(record.Filled);
    EXPECT_EQ(record.Copyright, expected);
    EXPECT_EQ(record.BaseNameVersion, "PROG v1.2.3.4");
  }
  EXPECT_EQ(ExitStatus, 0);
}

}  // namespace
}  // namespace tarvolin::cmdline
