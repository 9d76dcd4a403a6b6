// The version reader on Windows: the strings come from the executable's VERSIONINFO resource,
// which travels with the file; a program without one, and any failure to read it, are told
// apart.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/platform.h"
#include "support/test_support.h"
#include "version/version.h"

namespace tarvolin::version {
namespace {

namespace fs = std::filesystem;

TEST(VersionReaderWindows, TheResourceHoldsTheBuildValues) {
  const VersionStrings strings = ReadVersionStrings(platform::ProgramPath());
  EXPECT_EQ(VersionString(strings, "FileVersion"), FileVersion());
  EXPECT_EQ(VersionString(strings, "ProductVersion"), FileVersion());
  EXPECT_EQ(VersionString(strings, "FileDescription"), "File and Text Checksum Generator");
  EXPECT_EQ(VersionString(strings, "OriginalFilename"), "tarvolin.exe");
  EXPECT_EQ(VersionString(strings, "LegalCopyright").rfind("(c) ", 0), 0u);
}

TEST(VersionReaderWindows, ACopyCarriesItsResource) {
  test::TScratchDir scratch;
  const fs::path copy = scratch.Path() / "renamed copy.exe";
  fs::copy_file(test::Utf8Path(platform::ProgramPath()), copy);
  EXPECT_EQ(ReadVersionStrings(copy.string()), ReadVersionStrings(platform::ProgramPath()));
}

TEST(VersionReaderWindows, AProgramWithoutAResourceHasNone) {
  EXPECT_THROW(ReadVersionStrings(TARVOLIN_PLAIN_PROGRAM), EVersionInfo);
}

TEST(VersionReaderWindows, AFileLockedByAnotherHandleIsAnotherFailure) {
  test::TScratchDir scratch;
  const fs::path copy = scratch.Path() / "locked.exe";
  fs::copy_file(test::Utf8Path(platform::ProgramPath()), copy);
  // No sharing at all: nobody else may open the file while this handle is open.
  const HANDLE lock = ::CreateFileW(copy.wstring().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  EXPECT_THROW(ReadVersionStrings(copy.string()), EVersionError);
  ::CloseHandle(lock);
  EXPECT_NO_THROW(ReadVersionStrings(copy.string()));
}

}  // namespace
}  // namespace tarvolin::version
