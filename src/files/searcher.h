// The folder searcher: walks folders (optionally whole trees) and reports every file whose name
// matches a mask list, a folder's own files before those of its subfolders.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace tarvolin::files {

class TMaskList;

/// A list of texts, such as the full paths of the files a search found.
using StringList = std::vector<std::string>;

/// The entry a hook is told about. The name and the directory and hidden bits come from the
/// folder listing; size, time and the read-only bit are looked up (links followed) when first
/// asked for.
class TSearchEntry {
 public:
  /// The entry's name, without any folder part.
  const std::string& Name() const noexcept { return name_; }
  bool IsDirectory() const noexcept { return directory_; }
  /// Attribute bits (platform::kAttr...).
  std::uint16_t Attributes() const;
  /// Size in bytes (0 for a folder); -1 when it cannot be obtained (a broken link).
  std::int64_t Size() const;
  /// Last-write time in seconds since 1970 (UTC); 0 when it cannot be obtained.
  std::int64_t LastWriteTime() const;

 private:
  friend class TFileSearcher;
  const platform::TEntryDetails* Details() const;

  std::string name_;
  std::string full_path_;
  bool directory_ = false;
  std::uint16_t listed_ = 0;  ///< the attribute bits the folder listing told
  mutable bool looked_ = false;
  mutable bool found_ = false;
  mutable platform::TEntryDetails details_;
};

/// The state hooks and handlers see while a search runs.
class TFileIterator {
 public:
  virtual ~TFileIterator() = default;

  /// Folder of the current entry, ending in a separator; empty when searching the current
  /// folder.
  const std::string& Path() const noexcept { return path_; }
  /// Depth of that folder: 0 for a folder of the search path, one more per subfolder step.
  std::int32_t Level() const noexcept { return level_; }
  /// The current entry.
  const TSearchEntry& FileInfo() const noexcept { return info_; }
  /// Path followed by the entry's name.
  std::string FullFileName() const { return path_ + info_.Name(); }
  bool IsDirectory() const noexcept { return info_.IsDirectory(); }
  /// True while a search runs.
  bool Searching() const noexcept { return searching_; }

 protected:
  std::string path_;
  std::int32_t level_ = 0;
  TSearchEntry info_;
  bool searching_ = false;
};

/// Walks the folders of a search path and calls its hooks for folders and matching files.
/// Folder entries come in the system's order; nothing is sorted. Only regular files, links to
/// them and broken links count as files; pipes, sockets and devices are never reported. Links
/// to folders are followed (unless FollowLinks is off), but a folder that is already on the
/// path from the search root is never entered again, so link cycles end.
class TFileSearcher : public TFileIterator {
 public:
  using Handler = std::function<void(TFileSearcher&)>;
  /// Told about a folder that cannot be listed (or not completely): the folder as the walk
  /// writes it and the system's message.
  using FolderErrorHandler =
      std::function<void(const std::string& folder, const std::string& message)>;

  TFileSearcher() = default;
  TFileSearcher(const TFileSearcher&) = delete;
  TFileSearcher& operator=(const TFileSearcher&) = delete;

  /// Runs the whole search. `searchPath` holds folders separated by ";" (the current folder
  /// when none remains); `maskText` holds masks separated by MaskSeparator (every file matches
  /// when it holds none). Throws EConvertError for a malformed mask before anything is listed,
  /// and std::runtime_error "The file searcher is already searching!" when called during a
  /// search (the running search goes on undisturbed). Missing folders contribute nothing.
  void Search(const std::string& searchPath, const std::string& maskText, bool searchSubfolders,
              bool caseSensitive = false);

  /// Asks a running search to stop after the current hook returns.
  void Abort() noexcept { abort_requested_ = true; }

  char MaskSeparator() const noexcept { return mask_separator_; }
  void SetMaskSeparator(char separator) noexcept { mask_separator_ = separator; }
  /// Whether to descend into folders reached through symbolic links.
  bool FollowLinks() const noexcept { return follow_links_; }
  void SetFollowLinks(bool follow) noexcept { follow_links_ = follow; }
  /// Filter of the first pass over a folder (files and the folders found): an entry is skipped
  /// when it has one of the hidden, system, volume or directory bits that the filter lacks.
  std::uint16_t FileAttributeFilter() const noexcept { return file_filter_; }
  void SetFileAttributeFilter(std::uint16_t filter) noexcept { file_filter_ = filter; }
  /// Filter of the second pass (the subfolders entered), applied the same way.
  std::uint16_t DirectoryAttributeFilter() const noexcept { return directory_filter_; }
  void SetDirectoryAttributeFilter(std::uint16_t filter) noexcept { directory_filter_ = filter; }

  void SetOnFileFound(Handler handler) { on_file_found_ = std::move(handler); }
  void SetOnDirectoryFound(Handler handler) { on_directory_found_ = std::move(handler); }
  void SetOnDirectoryEnter(Handler handler) { on_directory_enter_ = std::move(handler); }
  void SetOnFolderError(FolderErrorHandler handler) { on_folder_error_ = std::move(handler); }

 protected:
  /// Called before a subfolder is searched; by default calls the directory-enter handler.
  virtual void DoDirectoryEnter();
  /// Called for every folder entry of the first pass; by default calls its handler.
  virtual void DoDirectoryFound();
  /// Called for every matching file; by default calls the file-found handler.
  virtual void DoFileFound();

 private:
  /// A folder of the walk whose subfolders are still to be entered.
  struct FolderFrame {
    std::size_t PathLength = 0;  ///< its path is the walk's path text cut to this length
    std::int32_t Level = 0;
    std::vector<platform::TFolderEntry> Entries;
    std::size_t Next = 0;  ///< the next entry to consider for entering
  };

  void SearchFolder(const std::string& folder, std::int32_t level);
  /// Lists the folder and reports its files; with subfolders searched, pushes it on the stack
  /// (true). False when it cannot be listed or is already open on the way down (a link cycle).
  bool EnterFolder(const std::string& folder, std::int32_t level, std::vector<FolderFrame>& stack);
  void SetCurrent(const std::string& folder, std::int32_t level,
                  const platform::TFolderEntry& entry);

  char mask_separator_ = ';';
  bool follow_links_ = true;
  std::uint16_t file_filter_ = platform::kAttrAnyFile;
  std::uint16_t directory_filter_ = platform::kAttrDirectory;
  Handler on_file_found_;
  Handler on_directory_found_;
  Handler on_directory_enter_;
  FolderErrorHandler on_folder_error_;

  // State of the running search.
  const TMaskList* masks_ = nullptr;
  bool search_subfolders_ = false;
  bool abort_requested_ = false;
  std::vector<platform::TFileId> open_folders_;  ///< the folders from the root to here
};

/// A searcher that appends the full path of every matching file to a list it does not own.
class TListFileSearcher : public TFileSearcher {
 public:
  explicit TListFileSearcher(StringList& list) : list_(list) {}

 protected:
  void DoFileFound() override;

 private:
  StringList& list_;
};

/// The full paths of every matching file of the search path, in search order (not sorted,
/// duplicates possible). Mask matching ignores letter case. Folders that cannot be listed are
/// told to `onFolderError` (when given).
StringList CollectFiles(const std::string& searchPath, const std::string& maskText,
                        bool searchSubfolders, std::uint16_t directoryAttributeFilter,
                        const TFileSearcher::FolderErrorHandler& onFolderError = {});

/// One search-path piece in its searched form: blanks around it removed, runs of separators
/// collapsed, "." segments dropped, "name/.." pairs removed, and trailing separators removed
/// except the root's ("/" stays "/"). Empty when nothing is left.
std::string NormalizeSearchFolder(std::string_view piece);

/// The folders a search path names, in order: normalised, empty pieces dropped, duplicates
/// (without regard to letter case) dropped, and with `searchSubfolders` every folder that lies
/// inside another one dropped too.
StringList SearchFolders(std::string_view searchPath, bool searchSubfolders);

}  // namespace tarvolin::files
