// Tests of the version reader and the build constants.
#include "version/version.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/platform.h"
#include "support/test_support.h"

namespace tarvolin::version {
namespace {

namespace fs = std::filesystem;

const char* const kKeys[] = {"FileVersion",    "FileDescription",  "CompanyName",
                             "LegalCopyright", "Comments",         "ProductName",
                             "InternalName",   "OriginalFilename", "ProductVersion"};

TEST(VersionReader, TheRunningProgramHasEveryString) {
  const VersionStrings strings = ReadVersionStrings(platform::ProgramPath());
  for (const char* key : kKeys) {
    EXPECT_FALSE(VersionString(strings, key).empty()) << key;
  }
  EXPECT_EQ(VersionString(strings, "FileVersion"), TARVOLIN_EXPECTED_VERSION);
  EXPECT_EQ(std::string(FileVersion()), TARVOLIN_EXPECTED_VERSION);
  EXPECT_THROW(VersionString(strings, "NoSuchKey"), EVersionError);
}

TEST(VersionReader, MissingFilesAndDataFiles) {
  test::TScratchDir scratch;
  const std::string data = scratch.WriteFile("notes.txt", test::BytesOf("plain text, no program"));
  EXPECT_THROW(ReadVersionStrings(data), EVersionInfo);
  EXPECT_THROW(ReadVersionStrings(scratch.Path().string()), EVersionInfo);
  EXPECT_THROW(ReadVersionStrings((scratch.Path() / "missing").string()), EVersionError);
  EXPECT_THROW(ReadVersionStrings(""), EVersionError);
}

TEST(VersionReader, ReplacementReader) {
  SetVersionReader([](const std::string& name) { return VersionStrings{{"FileVersion", name}}; });
  EXPECT_EQ(QueryVersionStrings("abc").at("FileVersion"), "abc");
  SetVersionReader(nullptr);
  EXPECT_THROW(QueryVersionStrings(""), EVersionError);
}

TEST(BuildConstants, Shapes) {
  const std::string dateTime = BuildDateTime();
  // "yyyy/mm/dd hh:nn:ss": digits everywhere but at the separators.
  const std::string shape = "dddd/dd/dd dd:dd:dd";
  ASSERT_EQ(dateTime.size(), shape.size()) << dateTime;
  for (std::size_t i = 0; i < shape.size(); ++i) {
    const bool digit = dateTime[i] >= '0' && dateTime[i] <= '9';
    EXPECT_TRUE(shape[i] == 'd' ? digit : dateTime[i] == shape[i]) << dateTime;
  }
  EXPECT_EQ(dateTime.substr(0, 10), BuildDate());
#if defined(__x86_64__)
  EXPECT_STREQ(Edition(), " x64");
#elif defined(__aarch64__)
  EXPECT_STREQ(Edition(), " arm64");
#endif
#if defined(__GNUC__) && !defined(__clang__)
  EXPECT_EQ(Toolchain(), "GCC " + std::to_string(__GNUC__) + "." + std::to_string(__GNUC_MINOR__) +
                             "." + std::to_string(__GNUC_PATCHLEVEL__));
#endif
}

}  // namespace
}  // namespace tarvolin::version
