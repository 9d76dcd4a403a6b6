// The folder searcher: search-path normalisation, the depth-first walk and the list variant.
#include "files/searcher.h"

#include <algorithm>
#include <cstddef>
#include <optional>
#include <stdexcept>

#include "files/masks.h"
#include "files/unicode.h"

namespace tarvolin::files {

namespace {

constexpr char kSeparator = platform::kPathSeparator;

/// Attribute bits that make an enumeration skip an entry when its filter lacks them.
constexpr std::uint16_t kFilteredBits = platform::kAttrHidden | platform::kAttrSystem |
                                        platform::kAttrVolume | platform::kAttrDirectory;

/// The bits known from the listing alone, without a stat. A link to a folder counts as a folder.
std::uint16_t ListedAttributes(const platform::TFolderEntry& entry) {
  std::uint16_t attributes = entry.Attributes;
  if (entry.Kind == platform::TEntryKind::Folder) {
    attributes |= platform::kAttrDirectory;
  } else {
    attributes &= static_cast<std::uint16_t>(~platform::kAttrDirectory);
  }
  return attributes;
}

bool PassesFilter(std::uint16_t attributes, std::uint16_t filter) {
  return (attributes & kFilteredBits & ~filter) == 0;
}

/// Whether a search-path piece needs resolving: blanks around it, a separator other than the
/// native one, two separators in a row after its root, or a "." or ".." segment.
bool NeedsResolving(std::string_view piece) {
  if (piece.empty()) return false;
  if (piece.front() == ' ' || piece.back() == ' ') return true;
  const std::size_t root = platform::RootLength(piece);
  for (std::size_t i = 0; i < piece.size(); ++i) {
    if (platform::IsPathSeparator(piece[i]) && piece[i] != kSeparator) return true;
  }
  std::size_t start = root;
  for (;;) {
    const std::size_t end = piece.find_first_of(platform::kPathSeparators, start);
    const std::string_view segment =
        piece.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
    // An empty segment anywhere but at the very end means two separators in a row.
    if (segment.empty() && end != std::string_view::npos) return true;
    if (segment == "." || segment == "..") return true;
    if (end == std::string_view::npos) return false;
    start = end + 1;
  }
}

std::string Resolve(std::string_view piece) {
  const std::size_t first = piece.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  piece = piece.substr(first, piece.find_last_not_of(' ') - first + 1);
  const std::size_t rootLength = platform::RootLength(piece);
  const bool absolute = rootLength > 0;
  std::vector<std::string_view> segments;
  std::size_t start = rootLength;
  while (start <= piece.size()) {
    std::size_t end = piece.find_first_of(platform::kPathSeparators, start);
    if (end == std::string_view::npos) end = piece.size();
    const std::string_view segment = piece.substr(start, end - start);
    if (segment.empty() || segment == ".") {
      // dropped
    } else if (segment == "..") {
      if (!segments.empty() && segments.back() != "..") {
        segments.pop_back();
      } else if (!absolute) {
        segments.push_back(segment);  // above the current folder: kept
      }                               // the root's parent is the root
    } else {
      segments.push_back(segment);
    }
    start = end + 1;
  }
  std::string out = platform::WithNativeSeparators(piece.substr(0, rootLength));
  for (std::size_t k = 0; k < segments.size(); ++k) {
    if (k > 0) out += kSeparator;  // every root but a bare drive "C:" ends in one
    out += segments[k];
  }
  return out;
}

/// Whether `inner` lies inside `outer`: it begins with `outer` followed by a separator.
bool LiesInside(const std::string& inner, const std::string& outer) {
  if (outer.back() == kSeparator) {  // a root
    return inner.size() > outer.size() && StartsWithIgnoringCase(inner, outer);
  }
  return StartsWithIgnoringCase(inner, outer + kSeparator);
}

/// Clears the searching state however the search ends.
class TSearchGuard {
 public:
  TSearchGuard(bool& searching, const TMaskList*& masks, std::vector<platform::TFileId>& open)
      : searching_(searching), masks_(masks), open_(open) {
    searching_ = true;
  }
  ~TSearchGuard() {
    searching_ = false;
    masks_ = nullptr;
    open_.clear();
  }
  TSearchGuard(const TSearchGuard&) = delete;
  TSearchGuard& operator=(const TSearchGuard&) = delete;

 private:
  bool& searching_;
  const TMaskList*& masks_;
  std::vector<platform::TFileId>& open_;
};

}  // namespace

// ---------------------------------------------------------------------------------------------
// Entry information

const platform::TEntryDetails* TSearchEntry::Details() const {
  if (!looked_) {
    looked_ = true;
    found_ = platform::QueryEntryDetails(full_path_, details_);
  }
  return found_ ? &details_ : nullptr;
}

std::uint16_t TSearchEntry::Attributes() const {
  std::uint16_t attributes = listed_;
  if (const auto* details = Details(); details != nullptr && details->ReadOnly) {
    attributes |= platform::kAttrReadOnly;
  }
  return attributes;
}

std::int64_t TSearchEntry::Size() const {
  const auto* details = Details();
  return details != nullptr ? details->Size : -1;
}

std::int64_t TSearchEntry::LastWriteTime() const {
  const auto* details = Details();
  return details != nullptr ? details->ModifiedSeconds : 0;
}

// ---------------------------------------------------------------------------------------------
// Search path

std::string NormalizeSearchFolder(std::string_view piece) {
  std::string folder = NeedsResolving(piece) ? Resolve(piece) : std::string(piece);
  const std::size_t root = platform::RootLength(folder);
  while (folder.size() > std::max<std::size_t>(root, 1) && folder.back() == kSeparator) {
    folder.pop_back();
  }
  return folder;
}

StringList SearchFolders(std::string_view searchPath, bool searchSubfolders) {
  StringList folders;
  for (const std::string& piece : TParseStringList(searchPath, ";")) {
    std::string folder = NormalizeSearchFolder(piece);
    if (folder.empty()) continue;
    bool skip = false;
    for (std::size_t k = folders.size(); k-- > 0;) {
      if (SameTextIgnoringCase(folder, folders[k])) {
        skip = true;
        break;
      }
      if (!searchSubfolders) continue;
      if (LiesInside(folder, folders[k])) {
        skip = true;
        break;
      }
      if (LiesInside(folders[k], folder))
        folders.erase(folders.begin() + static_cast<std::ptrdiff_t>(k));
    }
    if (!skip) folders.push_back(std::move(folder));
  }
  return folders;
}

// ---------------------------------------------------------------------------------------------
// Searcher

void TFileSearcher::Search(const std::string& searchPath, const std::string& maskText,
                           bool searchSubfolders, bool caseSensitive) {
  if (searching_) throw std::runtime_error("The file searcher is already searching!");
  std::optional<TMaskList> masks(std::in_place, maskText, mask_separator_, caseSensitive);
  if (masks->Count() == 0) masks.reset();  // no mask: every file matches

  TSearchGuard guard(searching_, masks_, open_folders_);
  masks_ = masks ? &*masks : nullptr;
  search_subfolders_ = searchSubfolders;
  abort_requested_ = false;

  const StringList folders = SearchFolders(searchPath, searchSubfolders);
  if (folders.empty()) {
    SearchFolder(std::string(), 0);
    return;
  }
  for (const std::string& folder : folders) {
    if (abort_requested_) break;
    SearchFolder(folder.back() == kSeparator ? folder : folder + kSeparator, 0);
  }
}

void TFileSearcher::SetCurrent(const std::string& folder, std::int32_t level,
                               const platform::TFolderEntry& entry) {
  path_ = folder;
  level_ = level;
  info_.name_ = entry.Name;
  info_.full_path_ = folder + entry.Name;
  info_.directory_ = entry.Kind == platform::TEntryKind::Folder;
  info_.listed_ = ListedAttributes(entry);
  info_.looked_ = false;
}

bool TFileSearcher::EnterFolder(const std::string& folder, std::int32_t level,
                                std::vector<FolderFrame>& stack) {
  platform::TFileId id;
  std::vector<platform::TFolderEntry> entries;
  std::string error;
  const bool listed = platform::ListFolder(folder, id, entries, error);
  if (!error.empty() && on_folder_error_) on_folder_error_(folder, error);
  if (!listed) return false;
  // A folder already open on the way down is reached again through a link: stop the cycle.
  if (std::find(open_folders_.begin(), open_folders_.end(), id) != open_folders_.end())
    return false;

  // The folder is listed once; both passes run over that one listing. The first reports its
  // files and folders now; the second enters the subfolders one by one from the stack.
  for (const platform::TFolderEntry& entry : entries) {
    if (abort_requested_) break;
    if (entry.Kind == platform::TEntryKind::Other) continue;
    if (!PassesFilter(ListedAttributes(entry), file_filter_)) continue;
    if (entry.Kind == platform::TEntryKind::Folder) {
      SetCurrent(folder, level, entry);
      DoDirectoryFound();
    } else if (masks_ == nullptr || masks_->MatchFileName(entry.Name)) {
      SetCurrent(folder, level, entry);
      DoFileFound();
    }
  }
  if (!search_subfolders_) return false;
  open_folders_.push_back(id);
  stack.push_back({folder.size(), level, std::move(entries), 0});
  return true;
}

void TFileSearcher::SearchFolder(const std::string& folder, std::int32_t level) {
  // Depth-first and pre-order, with a stack of its own instead of recursion, so however deep a
  // tree is, the walk never runs out of call stack. One path text serves every level (a frame
  // remembers its length), so memory grows with the depth, not with its square.
  std::vector<FolderFrame> stack;
  std::string path = folder;
  EnterFolder(path, level, stack);
  while (!stack.empty() && !abort_requested_) {
    FolderFrame& frame = stack.back();
    const platform::TFolderEntry* next = nullptr;
    while (frame.Next < frame.Entries.size() && next == nullptr) {
      const platform::TFolderEntry& entry = frame.Entries[frame.Next++];
      if (entry.Kind != platform::TEntryKind::Folder) continue;
      if (!PassesFilter(ListedAttributes(entry), directory_filter_)) continue;
      if (entry.IsLink && !follow_links_) continue;
      next = &entry;
    }
    if (next == nullptr) {
      stack.pop_back();
      open_folders_.pop_back();
      continue;
    }
    path.resize(frame.PathLength);
    SetCurrent(path, frame.Level, *next);
    DoDirectoryEnter();
    if (abort_requested_) break;
    const std::int32_t childLevel = frame.Level + 1;
    path += next->Name;
    path += kSeparator;
    EnterFolder(path, childLevel, stack);  // may move the frames: `frame` is not used after
  }
  for (; !stack.empty(); stack.pop_back()) open_folders_.pop_back();
}

void TFileSearcher::DoDirectoryEnter() {
  if (on_directory_enter_) on_directory_enter_(*this);
}

void TFileSearcher::DoDirectoryFound() {
  if (on_directory_found_) on_directory_found_(*this);
}

void TFileSearcher::DoFileFound() {
  if (on_file_found_) on_file_found_(*this);
}

void TListFileSearcher::DoFileFound() {
  list_.push_back(FullFileName());
}

StringList CollectFiles(const std::string& searchPath, const std::string& maskText,
                        bool searchSubfolders, std::uint16_t directoryAttributeFilter,
                        const TFileSearcher::FolderErrorHandler& onFolderError) {
  StringList files;
  TListFileSearcher searcher(files);
  searcher.SetDirectoryAttributeFilter(directoryAttributeFilter);
  searcher.SetOnFolderError(onFolderError);
  searcher.Search(searchPath, maskText, searchSubfolders, false);
  return files;
}

}  // namespace tarvolin::files
