// DIR mode's folder text and the summary file's default name on Windows: drive roots, both
// separators, and TEMP taken exactly as it is.
#include <windows.h>

#include <gtest/gtest.h>

#include "app/dir_mode.h"
#include "app/lines.h"
#include "app/output.h"
#include "platform/path_names.h"

namespace tarvolin::app {
namespace {

TEST(NormalizeFolderWindows, DrivesAndBothSeparators) {
  EXPECT_EQ(NormalizeFolder("C:\\Data\\*.*"), "C:\\Data\\");
  EXPECT_EQ(NormalizeFolder("C:\\Data"), "C:\\Data\\");
  EXPECT_EQ(NormalizeFolder("C:/Data/"), "C:\\Data\\");  // written as the folder search writes it
  EXPECT_EQ(NormalizeFolder("C:\\"), "C:\\");
  EXPECT_EQ(NormalizeFolder("C:\\*"), "C:\\");
  EXPECT_EQ(NormalizeFolder("C:"), "C:\\");
  EXPECT_EQ(NormalizeFolder("\\"), "\\");
  EXPECT_EQ(NormalizeFolder(".\\"), NormalizeFolder("."));
}

TEST(NameOfWindows, EitherSeparatorEndsTheFolder) {
  EXPECT_EQ(platform::NameOf("C:\\Data\\a.txt"), "a.txt");
  EXPECT_EQ(platform::NameOf("C:/Data/b.txt"), "b.txt");
  EXPECT_EQ(platform::NameOf("x/y\\c.txt"), "c.txt");
}

TEST(SummaryFileWindows, TempAsItIs) {
  wchar_t saved[32768];
  const DWORD length = ::GetEnvironmentVariableW(L"TEMP", saved, 32768);
  ::SetEnvironmentVariableW(L"TEMP", L"C:\\T");
  EXPECT_EQ(DefaultSummaryFileName(), "C:\\T\\#Tarvolin_Summary.TXT");
  ::SetEnvironmentVariableW(L"TEMP", L"C:\\T\\");
  EXPECT_EQ(DefaultSummaryFileName(), "C:\\T\\\\#Tarvolin_Summary.TXT");
  ::SetEnvironmentVariableW(L"TEMP", nullptr);
  EXPECT_EQ(DefaultSummaryFileName(), "\\#Tarvolin_Summary.TXT");
  ::SetEnvironmentVariableW(L"TEMP", length > 0 ? saved : nullptr);
}

}  // namespace
}  // namespace tarvolin::app
