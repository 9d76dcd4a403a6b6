// The Windows platform layer: paths and roots, the environment, the locale, share modes, folder
// listing with attributes, paths beyond MAX_PATH and output handles.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "platform/platform.h"
#include "support/test_support.h"

namespace tarvolin::platform {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const std::string& path) {
  std::ifstream in(test::Utf8Path(path), std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

/// Restores an environment variable however the test ends.
class TEnvironmentGuard {
 public:
  explicit TEnvironmentGuard(const wchar_t* name) : name_(name) {
    wchar_t buffer[32768];
    const DWORD length = ::GetEnvironmentVariableW(name, buffer, 32768);
    had_ = length > 0;
    if (had_) value_.assign(buffer, length);
  }
  ~TEnvironmentGuard() { ::SetEnvironmentVariableW(name_, had_ ? value_.c_str() : nullptr); }

 private:
  const wchar_t* name_;
  bool had_ = false;
  std::wstring value_;
};

TEST(WindowsPaths, SeparatorsAndRoots) {
  EXPECT_EQ(kPathSeparator, '\\');
  EXPECT_TRUE(IsPathSeparator('\\'));
  EXPECT_TRUE(IsPathSeparator('/'));
  EXPECT_FALSE(IsPathSeparator(':'));
  EXPECT_EQ(LastSeparator("C:\\a/b\\c"), 6u);
  EXPECT_EQ(RootLength("C:\\Data"), 3u);
  EXPECT_EQ(RootLength("c:/Data"), 3u);
  EXPECT_EQ(RootLength("C:"), 2u);
  EXPECT_EQ(RootLength("C:Data"), 2u);
  EXPECT_EQ(RootLength("\\Data"), 1u);
  EXPECT_EQ(RootLength("\\\\server\\share\\Data"), 15u);
  EXPECT_EQ(RootLength("\\\\server\\share"), 14u);
  EXPECT_EQ(RootLength("Data\\x"), 0u);
  EXPECT_EQ(RootLength("1:\\x"), 0u);  // not a drive letter
  EXPECT_EQ(RootLength(""), 0u);
}

TEST(WindowsEnvironment, TemporaryFolderFromTemp) {
  TEnvironmentGuard guard(L"TEMP");
  ::SetEnvironmentVariableW(L"TEMP", L"C:\\T\u00e9mp");
  EXPECT_EQ(TemporaryFolderPrefix(), "C:\\T\xC3\xA9mp\\");
  // An unset TEMP leaves the separator alone: the summary file lands in the drive's root.
  ::SetEnvironmentVariableW(L"TEMP", nullptr);
  EXPECT_EQ(TemporaryFolderPrefix(), "\\");
}

TEST(WindowsEnvironment, CurrentDirectoryRoundTrip) {
  test::TScratchDir scratch;
  const std::string saved = CurrentDirectory();
  ASSERT_FALSE(saved.empty());
  const fs::path folder = scratch.Path() / test::Utf8Path("sub \xC3\xA4");
  fs::create_directory(folder);
  ASSERT_TRUE(ChangeDirectory(folder.string()));
  EXPECT_TRUE(fs::equivalent(test::Utf8Path(CurrentDirectory()), folder)) << CurrentDirectory();
  EXPECT_NE(CurrentDirectory().back(), '\\');
  EXPECT_FALSE(ChangeDirectory((folder / "missing").string()));
  ASSERT_TRUE(ChangeDirectory("C:\\"));
  EXPECT_EQ(CurrentDirectory(), "C:\\");  // a root keeps its separator
  ASSERT_TRUE(ChangeDirectory(saved));
}

TEST(WindowsLocale, SeparatorsAndUpperCase) {
  EXPECT_FALSE(DateSeparator().empty());
  EXPECT_FALSE(TimeSeparator().empty());
  EXPECT_EQ(LocaleUpperCase("temp \xC3\xA4rger \xC3\xA9t\xC3\xA9"),
            "TEMP \xC3\x84RGER \xC3\x89T\xC3\x89");
  EXPECT_EQ(LocaleUpperCase(""), "");
}

TEST(WindowsLocale, LocalTimeOfAKnownInstant) {
  TLocalTime local;
  ASSERT_TRUE(ToLocalTime(1709649910, local));  // 2024-03-05 14:45:10 UTC
  // Whatever the zone, the local time lies within a day of the UTC time.
  EXPECT_EQ(local.Year, 2024);
  EXPECT_EQ(local.Month, 3);
  EXPECT_GE(local.Day, 4);
  EXPECT_LE(local.Day, 6);
  EXPECT_EQ(local.Second, 10);
  EXPECT_FALSE(ToLocalTime(-20000000000, local));  // before 1601
}

TEST(WindowsProcess, ArgumentsAndCommandLine) {
  // The real arguments come from the wide command line, whatever argv says.
  const std::vector<std::string> arguments = ProcessArguments(0, nullptr);
  ASSERT_FALSE(arguments.empty());
  std::string program = arguments.front();
  std::transform(program.begin(), program.end(), program.begin(), ::tolower);
  EXPECT_TRUE(program.ends_with("platform_tests.exe")) << program;
  EXPECT_FALSE(RawCommandLine().empty());
  std::string path = ProgramPath();
  std::transform(path.begin(), path.end(), path.begin(), ::tolower);
  EXPECT_TRUE(path.ends_with("\\platform_tests.exe")) << path;
  EXPECT_EQ(RootLength(path), 3u);  // a full path with its drive
}

TEST(WindowsFiles, ReadingSharesReadAndDeniesWrite) {
  test::TScratchDir scratch;
  const std::string file = scratch.WriteFile("shared.bin", test::RandomBytes(100000, 1));
  const std::wstring wide = test::Utf8Path(file).wstring();
  TInputFile input;
  std::string error;
  ASSERT_TRUE(input.Open(file, error)) << error;
  EXPECT_EQ(input.Size(), 100000);
  // Another reader is welcome; a writer is not.
  const HANDLE reader = ::CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
  EXPECT_NE(reader, INVALID_HANDLE_VALUE);
  if (reader != INVALID_HANDLE_VALUE) ::CloseHandle(reader);
  const HANDLE writer =
      ::CreateFileW(wide.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_EXISTING, 0, nullptr);
  EXPECT_EQ(writer, INVALID_HANDLE_VALUE);
  EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  if (writer != INVALID_HANDLE_VALUE) ::CloseHandle(writer);
  std::vector<std::uint8_t> buffer(65536);
  EXPECT_EQ(input.Read(buffer.data(), 65536, error), 65536);
  EXPECT_EQ(input.Read(buffer.data(), 65536, error), 100000 - 65536);
  EXPECT_EQ(input.Read(buffer.data(), 65536, error), 0);
  EXPECT_FALSE(input.ChangedWhileRead());
  input.Close();

  // A file someone is writing cannot be opened for hashing: the reason is the system's message.
  const HANDLE busy = ::CreateFileW(wide.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(busy, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(input.Open(file, error));
  EXPECT_FALSE(error.empty());
  ::CloseHandle(busy);
  EXPECT_TRUE(input.Open(file, error)) << error;
}

TEST(WindowsFiles, LookupsAndSizes) {
  test::TScratchDir scratch;
  const std::string file = scratch.WriteFile("f \xE6\x97\xA5.txt", test::BytesOf("12345"));
  TPathInfo info;
  ASSERT_TRUE(QueryPath(file, info));
  EXPECT_TRUE(info.IsRegular);
  EXPECT_FALSE(info.IsFolder);
  EXPECT_EQ(info.Size, 5);
  EXPECT_GT(info.ModifiedSeconds, 1600000000);
  EXPECT_EQ(FileSizeOf(file), 5);
  EXPECT_TRUE(IsExistingFile(file));
  EXPECT_FALSE(IsExistingFolder(file));
  EXPECT_TRUE(IsExistingFolder(scratch.Path().string()));
  EXPECT_TRUE(IsExistingFolder(scratch.Path().string() + "\\"));
  EXPECT_TRUE(IsExistingFolder("C:\\"));
  EXPECT_FALSE(IsExistingFile((scratch.Path() / "missing").string()));
  EXPECT_FALSE(IsExistingFile(""));
  EXPECT_EQ(FileSizeOf((scratch.Path() / "missing").string()), -1);
  // Both separators reach the same file.
  std::string forward = file;
  std::replace(forward.begin(), forward.end(), '\\', '/');
  EXPECT_TRUE(IsExistingFile(forward));
}

TEST(WindowsFiles, OutputCreatesAppendsAndRefusesFolders) {
  test::TScratchDir scratch;
  const std::string file = (scratch.Path() / "out.txt").string();
  std::string error;
  {
    TOutputHandle out;
    ASSERT_TRUE(out.Open(file, TOutputHandle::TMode::Create, error)) << error;
    EXPECT_FALSE(out.IsTerminal());
    ASSERT_TRUE(out.Write("one\r\n", 5, error));
    ASSERT_TRUE(out.Close(error));
  }
  {
    TOutputHandle out;
    ASSERT_TRUE(out.Open(file, TOutputHandle::TMode::Append, error)) << error;
    ASSERT_TRUE(out.Write("two\r\n", 5, error));
  }
  EXPECT_EQ(ReadAll(file), "one\r\ntwo\r\n");
  {
    TOutputHandle out;
    ASSERT_TRUE(out.Open(file, TOutputHandle::TMode::Create, error)) << error;
  }
  EXPECT_EQ(ReadAll(file), "");
  TOutputHandle folder;
  EXPECT_FALSE(folder.Open(scratch.Path().string(), TOutputHandle::TMode::Create, error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(error.find('\n'), std::string::npos);  // one line, without the system's line end
  TOutputHandle nowhere;
  EXPECT_FALSE(nowhere.Open((scratch.Path() / "no" / "x.txt").string(),
                            TOutputHandle::TMode::Create, error));
}

TEST(WindowsFolders, AttributesAndIdentity) {
  test::TScratchDir scratch;
  const std::string hidden = scratch.WriteFile("hidden.txt", test::BytesOf("h"));
  const std::string system = scratch.WriteFile("system.txt", test::BytesOf("s"));
  const std::string locked = scratch.WriteFile("locked.txt", test::BytesOf("r"));
  fs::create_directory(scratch.Path() / "sub");
  ASSERT_TRUE(
      ::SetFileAttributesW(test::Utf8Path(hidden).wstring().c_str(), FILE_ATTRIBUTE_HIDDEN));
  ASSERT_TRUE(
      ::SetFileAttributesW(test::Utf8Path(system).wstring().c_str(), FILE_ATTRIBUTE_SYSTEM));
  ASSERT_TRUE(
      ::SetFileAttributesW(test::Utf8Path(locked).wstring().c_str(), FILE_ATTRIBUTE_READONLY));

  TFileId id;
  std::vector<TFolderEntry> entries;
  std::string error;
  ASSERT_TRUE(ListFolder(scratch.Path().string(), id, entries, error));
  EXPECT_EQ(error, "");
  std::map<std::string, TFolderEntry> byName;
  for (const TFolderEntry& entry : entries) byName[entry.Name] = entry;
  ASSERT_EQ(byName.size(), 4u);
  EXPECT_NE(byName["hidden.txt"].Attributes & kAttrHidden, 0);
  EXPECT_NE(byName["system.txt"].Attributes & kAttrSystem, 0);
  EXPECT_NE(byName["locked.txt"].Attributes & kAttrReadOnly, 0);
  EXPECT_EQ(byName["sub"].Kind, TEntryKind::Folder);
  EXPECT_NE(byName["sub"].Attributes & kAttrDirectory, 0);
  EXPECT_EQ(byName["locked.txt"].Kind, TEntryKind::File);
  EXPECT_FALSE(byName["sub"].IsLink);

  TEntryDetails details;
  ASSERT_TRUE(QueryEntryDetails(locked, details));
  EXPECT_TRUE(details.ReadOnly);
  EXPECT_EQ(details.Size, 1);
  ::SetFileAttributesW(test::Utf8Path(locked).wstring().c_str(), FILE_ATTRIBUTE_NORMAL);

  // The same folder, however it is written, has one identity; another folder another.
  TFileId again;
  ASSERT_TRUE(ListFolder(scratch.Path().string() + "\\sub\\..\\", again, entries, error));
  EXPECT_EQ(again, id);
  TFileId sub;
  ASSERT_TRUE(ListFolder((scratch.Path() / "sub").string(), sub, entries, error));
  EXPECT_TRUE(entries.empty());
  EXPECT_FALSE(sub == id);
  EXPECT_FALSE(ListFolder((scratch.Path() / "missing").string(), sub, entries, error));
  EXPECT_NE(error, "");
  EXPECT_FALSE(ListFolder(hidden, sub, entries, error));  // a file is not a folder
  EXPECT_NE(error, "");
}

// Deeper than MAX_PATH: the layer adds the "\\?\" prefix itself.
TEST(WindowsFolders, PathsBeyondMaxPath) {
  test::TScratchDir scratch;
  std::string folder = fs::absolute(scratch.Path()).string();
  for (int level = 0; level < 12; ++level) {
    folder += "\\" + std::string(30, static_cast<char>('a' + level));
    const std::wstring wide = L"\\\\?\\" + test::Utf8Path(folder).wstring();
    ASSERT_TRUE(::CreateDirectoryW(wide.c_str(), nullptr)) << folder.size();
  }
  ASSERT_GT(folder.size(), static_cast<std::size_t>(MAX_PATH));
  const std::string file = folder + "\\deep.txt";
  {
    TOutputHandle out;
    std::string error;
    ASSERT_TRUE(out.Open(file, TOutputHandle::TMode::Create, error)) << error;
    ASSERT_TRUE(out.Write("deep", 4, error));
  }
  EXPECT_TRUE(IsExistingFile(file));
  EXPECT_EQ(FileSizeOf(file), 4);
  TInputFile input;
  std::string error;
  ASSERT_TRUE(input.Open(file, error)) << error;
  std::uint8_t buffer[8];
  EXPECT_EQ(input.Read(buffer, 8, error), 4);
  TFileId id;
  std::vector<TFolderEntry> entries;
  ASSERT_TRUE(ListFolder(folder + "\\", id, entries, error));
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].Name, "deep.txt");
}

}  // namespace
}  // namespace tarvolin::platform
