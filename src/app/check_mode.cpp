// CHECK mode.
#include "app/check_mode.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <unordered_set>
#include <utility>
#include <vector>

#include "app/algorithms.h"
#include "app/dir_mode.h"
#include "app/lines.h"
#include "app/listing.h"
#include "app/options.h"
#include "app/ordered_work.h"
#include "app/output.h"
#include "app/progress.h"
#include "app/run.h"
#include "cmdline/exit_codes.h"
#include "files/searcher.h"
#include "files/unicode.h"
#include "hash/hash.h"
#include "platform/path_names.h"
#include "platform/platform.h"

namespace tarvolin::app {

namespace {

/// A longer line is no checksum line of any layout; it is counted as malformed without being
/// kept in memory.
constexpr std::size_t kMaxLineLength = std::size_t{1} << 20;
constexpr std::size_t kReadChunk = std::size_t{1} << 16;

enum class TVerdict : std::uint8_t { Pending, Ok, Failed, Missing, Unreadable, NoDigest, Moved };

/// One checksum line of a listing and what checking it found.
struct TEntry {
  /// The name as the listing writes it (unescaped).
  std::string Shown;
  /// The name as it is opened.
  std::string Path;
  THashChoices Choice = THashChoices::None;
  std::string Hex;
  bool NoDigest = false;
  /// Its listing mixes algorithms: its line names the algorithm.
  bool Mixed = false;
  TVerdict Verdict = TVerdict::Pending;
  /// MOVED: the file it was found as, relative to the folder.
  std::string MovedTo;
};

struct TTally {
  std::int64_t Ok = 0;
  std::int64_t Failed = 0;
  std::int64_t Missing = 0;
  std::int64_t Unreadable = 0;
  std::int64_t Malformed = 0;
  std::int64_t New = 0;
  std::int64_t Moved = 0;
  /// A listing could not be opened or read, or held no checksum line.
  bool ListingUnusable = false;

  bool AllOk() const {
    return Failed + Missing + Unreadable + Malformed + New + Moved == 0 && !ListingUnusable;
  }
};

/// Reads a listing line by line, whatever its line ends; a line longer than `kMaxLineLength`
/// comes back empty and flagged.
class TLineReader {
 public:
  bool Open(const TCheckListing& listing, std::string& error) {
    return listing.Path == "-" ? file_.OpenStandardInput(error) : file_.Open(listing.Path, error);
  }

  /// The next line without its LF (a last line may lack one); false at the end, or with
  /// `error` set when reading fails.
  bool Next(std::string& line, bool& tooLong, std::string& error) {
    line.clear();
    tooLong = false;
    bool any = false;
    for (;;) {
      if (start_ == end_) {
        if (ended_) return any;
        buffer_.resize(kReadChunk);
        const std::int64_t got = file_.Read(reinterpret_cast<std::uint8_t*>(buffer_.data()),
                                            static_cast<std::int64_t>(buffer_.size()), error);
        if (got < 0) return false;
        start_ = 0;
        end_ = static_cast<std::size_t>(got);
        if (got == 0) {
          ended_ = true;
          return any;
        }
      }
      any = true;
      const char* begin = buffer_.data() + start_;
      const char* stop = buffer_.data() + end_;
      const char* lineEnd = std::find(begin, stop, '\n');
      if (!tooLong) {
        line.append(begin, lineEnd);
        if (line.size() > kMaxLineLength) {
          tooLong = true;
          std::string().swap(line);
        }
      }
      if (lineEnd != stop) {
        start_ = static_cast<std::size_t>(lineEnd - buffer_.data()) + 1;
        return true;
      }
      start_ = end_;
    }
  }

 private:
  platform::TInputFile file_;
  std::string buffer_;
  std::size_t start_ = 0;
  std::size_t end_ = 0;
  bool ended_ = false;
};

/// The one algorithm the hash switches name, if any.
std::optional<THashChoices> SwitchChoice() {
  for (std::size_t i = 1; i < kChoiceCount; ++i) {
    if (RunSettings.HashSelections[i].Found) return static_cast<THashChoices>(i);
  }
  return std::nullopt;
}

/// The folder a listing's relative names are found from, ended with a separator (empty: the
/// current folder).
std::string BaseFolder(const TCheckListing& listing) {
  if (Given(TOption::Dir)) return RunSettings.Folder;
  if (listing.Path == "-") return {};
  std::string folder = platform::FolderOf(listing.Path);
  if (!folder.empty() && !platform::IsPathSeparator(folder.back())) {
    folder += platform::kPathSeparator;
  }
  return folder;
}

/// Reads one listing's checksum lines into `entries`; reports malformed lines, and a listing
/// that cannot be read or holds no checksum line.
void ReadListing(const TCheckListing& listing, std::vector<TEntry>& entries, TTally& tally) {
  const std::optional<THashChoices> switchChoice = SwitchChoice();
  const std::string base = BaseFolder(listing);
  const std::size_t first = entries.size();
  TLineReader reader;
  std::string error;
  if (listing.Shown.empty()) {
    WriteErrorLine("ERROR: No Checksum Listing Provided!");
    tally.ListingUnusable = true;
    return;
  }
  if (!reader.Open(listing, error)) {
    WriteErrorLine(FileErrorLine(listing.Shown, error));
    tally.ListingUnusable = true;
    return;
  }
  std::string text;
  bool tooLong = false;
  std::int64_t number = 0;
  std::set<THashChoices> choices;
  while (reader.Next(text, tooLong, error)) {
    ++number;
    TListingLine line;
    if (!tooLong) line = ParseListingLine(text, number == 1);
    if (line.Kind == TListingLineKind::Comment) continue;
    THashChoices choice = line.Choice;
    if (line.Kind == TListingLineKind::Checksum && choice == THashChoices::None) {
      // An untagged line: the hash switch decides, else the digest's length.
      choice = switchChoice.value_or(ChoiceOfHexLength(line.Hex.size()));
      if (choice != THashChoices::None &&
          static_cast<std::size_t>(kChoiceInfo[static_cast<std::size_t>(choice)].HashLength) !=
              line.Hex.size()) {
        choice = THashChoices::None;
      }
      if (choice == THashChoices::None) line.Kind = TListingLineKind::Malformed;
    }
    if (line.Kind == TListingLineKind::Malformed) {
      WriteErrorLine(listing.Shown + ":" + std::to_string(number) + ": not a checksum line");
      ++tally.Malformed;
      continue;
    }
    TEntry entry;
    entry.Shown = line.Name;
    entry.Path = platform::RootLength(line.Name) > 0 ? line.Name : base + line.Name;
    entry.Choice = choice;
    entry.Hex = std::move(line.Hex);
    entry.NoDigest = line.Kind == TListingLineKind::NoDigest;
    if (choice != THashChoices::None) choices.insert(choice);
    entries.push_back(std::move(entry));
  }
  if (!error.empty()) {
    WriteErrorLine(FileErrorLine(listing.Shown, error));
    tally.ListingUnusable = true;
  } else if (entries.size() == first) {
    WriteErrorLine(FileErrorLine(listing.Shown, "No checksum lines found"));
    tally.ListingUnusable = true;
  }
  if (choices.size() > 1) {
    for (std::size_t i = first; i < entries.size(); ++i) entries[i].Mixed = true;
  }
}

bool HoldsLineBreak(const std::string& name) {
  return name.find_first_of("\n\r") != std::string::npos;
}

/// How the audit compares names: the path made absolute, in its searched form, letter case
/// folded where the file system ignores it.
std::string NameKey(const std::string& path, const std::string& here) {
  std::string key = files::NormalizeSearchFolder(
      platform::RootLength(path) > 0 ? path : here + platform::kPathSeparator + path);
  return platform::kNamesIgnoreCase ? files::UpperCaseUtf8(key) : key;
}

/// A file of the audited folder that no line names.
struct TNewFile {
  std::string Path;
  /// Relative to the folder, as its line shows it.
  std::string Name;
  bool Used = false;
};

/// Writes the result lines in listing order, each as soon as its verdict is final; in an audit
/// a MISSING line waits until the walk has told whether the file moved.
class TResultWriter {
 public:
  TResultWriter(bool audit, TTally& tally) : audit_(audit), tally_(tally) {}

  /// Writes every entry before `limit` from the first unwritten one on whose verdict is
  /// final; with `all`, MISSING ones too.
  void WriteReady(const std::vector<TEntry>& entries, std::size_t limit, bool all) {
    while (written_ < limit) {
      const TEntry& entry = entries[written_];
      if (entry.Verdict == TVerdict::Pending) break;
      if (!all && audit_ && entry.Verdict == TVerdict::Missing) break;
      Write(entry);
      ++written_;
    }
  }

  void WriteNew(const TNewFile& file) {
    ++tally_.New;
    WriteLine(file.Name, nullptr, ": NEW", false);
  }

 private:
  void Write(const TEntry& entry) {
    std::string verdict;
    switch (entry.Verdict) {
      case TVerdict::Ok:
        ++tally_.Ok;
        verdict = ": OK";
        break;
      case TVerdict::Failed:
        ++tally_.Failed;
        verdict = ": FAILED";
        break;
      case TVerdict::NoDigest:
        ++tally_.Failed;
        verdict = ": NO DIGEST";
        break;
      case TVerdict::Missing:
        ++tally_.Missing;
        verdict = ": MISSING";
        break;
      case TVerdict::Unreadable:
        ++tally_.Unreadable;
        verdict = ": UNREADABLE";
        break;
      case TVerdict::Moved:
        ++tally_.Moved;
        verdict = ": MOVED";
        break;
      case TVerdict::Pending:
        return;
    }
    if (entry.Mixed && entry.Choice != THashChoices::None) {
      verdict += std::string(" (") + kChoiceInfo[static_cast<std::size_t>(entry.Choice)].Name + ")";
    }
    const bool moved = entry.Verdict == TVerdict::Moved;
    WriteLine(entry.Shown, moved ? &entry.MovedTo : nullptr, verdict,
              entry.Verdict == TVerdict::Ok);
  }

  /// One result line: the name (and the name it moved to), then the verdict. When a name holds
  /// a line break, the names are written escaped and the line starts with a backslash.
  void WriteLine(const std::string& name, const std::string* movedTo, const std::string& verdict,
                 bool ok) {
    const bool escaped = HoldsLineBreak(name) || (movedTo != nullptr && HoldsLineBreak(*movedTo));
    // (Appended piece by piece: GCC 12 at -O3 warns falsely about "\\" + std::string.)
    std::string line;
    const auto append = [&](const std::string& text) {
      if (escaped) {
        AppendEscapedName(line, text, true);
      } else {
        line += text;
      }
    };
    if (escaped) line += '\\';
    append(name);
    if (movedTo != nullptr) {
      line += " -> ";
      append(*movedTo);
    }
    line += verdict;
    BeginItemLines();
    if (!ok || !Given(TOption::Quiet)) WriteResultLine(line, RunSettings.TeeMode);
    EndItemLines(!ok);
    (ok ? RunCounters.SuccessCount : RunCounters.ErrorCount) += 1;
  }

  bool audit_;
  TTally& tally_;
  std::size_t written_ = 0;
};

/// On a system where a backslash separates nothing, a name from a listing written on Windows
/// with its backslashes as separators; nothing for any other name or system.
std::optional<std::string> WindowsNameHere(const std::string& path) {
  if (platform::IsPathSeparator('\\') || path.find('\\') == std::string::npos) return std::nullopt;
  std::string here = path;
  std::replace(here.begin(), here.end(), '\\', '/');
  return here;
}

/// The path an entry is found at: as written, else as a Windows name (`WindowsNameHere`).
bool FindEntryFile(TEntry& entry, platform::TPathInfo& info) {
  if (platform::QueryPath(entry.Path, info)) return true;
  std::optional<std::string> path = WindowsNameHere(entry.Path);
  if (!path || !platform::QueryPath(*path, info)) return false;
  entry.Path = std::move(*path);
  return true;
}

/// Checks the entries [first, end), which name one file: it is read once for all of them.
void CheckGroup(std::vector<TEntry>& entries, std::size_t first, std::size_t end,
                TDigester& digester, const std::function<bool()>& stop) {
  platform::TPathInfo info;
  if (!FindEntryFile(entries[first], info)) {
    for (std::size_t i = first; i < end; ++i) entries[i].Verdict = TVerdict::Missing;
    return;
  }
  std::vector<THashChoices> choices;
  for (std::size_t i = first; i < end; ++i) {
    entries[i].Path = entries[first].Path;
    if (std::find(choices.begin(), choices.end(), entries[i].Choice) == choices.end()) {
      choices.push_back(entries[i].Choice);
    }
  }
  bool failed = info.IsFolder;
  std::vector<std::string> digests;
  if (!failed) {
    digests = digester.DigestsOfFile(choices, entries[first].Path, false, failed, false, stop);
  }
  for (std::size_t i = first; i < end; ++i) {
    TEntry& entry = entries[i];
    if (failed) {
      entry.Verdict = TVerdict::Unreadable;
      continue;
    }
    const auto at = std::find(choices.begin(), choices.end(), entry.Choice) - choices.begin();
    entry.Verdict =
        digests[static_cast<std::size_t>(at)] == entry.Hex ? TVerdict::Ok : TVerdict::Failed;
  }
}

/// The audit's walk: every file of the folder (tree) the wildcards, -e and -m let through that
/// no entry names, in name order. False when the walk cannot start (a malformed wildcard).
bool FindNewFiles(const std::vector<TEntry>& entries, std::vector<TNewFile>& found,
                  std::int32_t& folderErrors) {
  files::StringList walked;
  if (!CollectFolderFiles(walked, folderErrors)) return false;
  const std::string here = platform::CurrentDirectory();
  std::unordered_set<std::string> named;
  for (const TEntry& entry : entries) {
    named.insert(NameKey(entry.Path, here));
    if (const auto path = WindowsNameHere(entry.Path)) named.insert(NameKey(*path, here));
  }
  // A listing kept in the tree it describes is no new file of it.
  for (const TCheckListing& listing : RunSettings.CheckListings) {
    if (listing.Path != "-") named.insert(NameKey(listing.Path, here));
  }
  const std::string prefix = ListedFolderPrefix(RunSettings.Folder);
  std::unordered_set<std::string> seen;
  for (const std::string& path : walked) {
    std::int64_t size = -1;
    if (FilteredOut(path, size)) continue;
    const std::string key = NameKey(path, here);
    if (named.contains(key) || !seen.insert(key).second) continue;
    found.push_back({path, StartsWithFolder(path, prefix) ? path.substr(prefix.size()) : path});
  }
  std::sort(found.begin(), found.end(),
            [](const TNewFile& a, const TNewFile& b) { return a.Name < b.Name; });
  return true;
}

/// Pairs each MISSING entry, in listing order, with the first unused new file (in name order)
/// that has its algorithm and digest: those entries become MOVED.
void PairMovedFiles(std::vector<TEntry>& entries, std::vector<TNewFile>& found,
                    const std::function<bool()>& stop) {
  std::vector<THashChoices> choices;
  for (const TEntry& entry : entries) {
    if (entry.Verdict == TVerdict::Missing &&
        std::find(choices.begin(), choices.end(), entry.Choice) == choices.end()) {
      choices.push_back(entry.Choice);
    }
  }
  if (choices.empty() || found.empty()) return;
  // (algorithm, digest) -> the new files that have it, in name order. The new files are
  // hashed on the workers, their digests taken in name order; none if the file failed.
  std::map<std::pair<THashChoices, std::string>, std::vector<std::size_t>> byDigest;
  TWorkerDigesters workers(found.size());
  bool stopped = false;
  const auto work = [&](std::size_t n,
                        std::size_t worker) -> std::optional<std::vector<std::string>> {
    bool failed = false;
    try {
      if (stop()) return std::nullopt;
      auto digests =
          workers.Of(worker).DigestsOfFile(choices, found[n].Path, false, failed, true, stop);
      if (!failed) return digests;
      return std::vector<std::string>{};
    } catch (const hash::EReadStopped&) {
      return std::nullopt;
    }
  };
  const auto consume = [&](std::size_t n, std::optional<std::vector<std::string>>& digests) {
    if (!digests || stop()) {
      stopped = true;
      return false;
    }
    for (std::size_t c = 0; c < digests->size(); ++c) {
      byDigest[{choices[c], (*digests)[c]}].push_back(n);
    }
    return true;
  };
  RunInOrder<std::optional<std::vector<std::string>>>(
      found.size(), workers.Threads(), workers.Threads() * kItemsPerWorker, work, consume);
  if (stopped) throw hash::EReadStopped();
  for (TEntry& entry : entries) {
    if (entry.Verdict != TVerdict::Missing) continue;
    const auto candidates = byDigest.find({entry.Choice, entry.Hex});
    if (candidates == byDigest.end()) continue;
    for (const std::size_t n : candidates->second) {
      if (found[n].Used) continue;
      found[n].Used = true;
      entry.Verdict = TVerdict::Moved;
      entry.MovedTo = found[n].Name;
      break;
    }
  }
}

/// "Checked = N   OK = N ..." (with the audit's counts in an audit).
std::string CountsLine(const TTally& tally, std::int64_t checked, bool audit) {
  std::string line = "Checked = " + std::to_string(checked) +
                     "   OK = " + std::to_string(tally.Ok) +
                     "   Failed = " + std::to_string(tally.Failed) +
                     "   Missing = " + std::to_string(tally.Missing) +
                     "   Unreadable = " + std::to_string(tally.Unreadable) +
                     "   Malformed = " + std::to_string(tally.Malformed);
  if (audit) {
    line += "   New = " + std::to_string(tally.New) + "   Moved = " + std::to_string(tally.Moved);
  }
  return line;
}

}  // namespace

bool CheckHashSwitches() {
  std::int32_t switches = Given(TOption::All) ? 2 : 0;
  for (const cmdline::TFindParamRec& selection : RunSettings.HashSelections) {
    if (selection.Found) ++switches;
  }
  if (switches <= 1) return true;
  WriteErrorLine("ERROR: --check takes at most one hash switch");
  cmdline::ExitStatus = cmdline::exit_code::kMismatchedParameters;
  return false;
}

void RunCheckMode() {
  const bool audit = Given(TOption::Dir);
  const bool tee = RunSettings.TeeMode;
  TTally tally;
  std::vector<TEntry> entries;
  for (const TCheckListing& listing : RunSettings.CheckListings) {
    ReadListing(listing, entries, tally);
  }

  // The walk comes first: a malformed wildcard ends the run before anything is written.
  std::vector<TNewFile> found;
  std::int32_t folderErrors = 0;
  if (audit && !FindNewFiles(entries, found, folderErrors)) return;
  // A folder that cannot be listed may hide files: it counts as unreadable.
  tally.Unreadable += folderErrors;

  platform::InstallConsoleCtrlHandler(&ConsoleCtrlHandler);
  const std::function<bool()> stop = AbortRequested;
  TResultWriter writer(audit, tally);
  ArmFailureSummary(static_cast<std::int64_t>(entries.size()));
  // Consecutive lines for one file (several algorithms) share one read of it.
  std::vector<std::pair<std::size_t, std::size_t>> groups;
  for (std::size_t i = 0; i < entries.size();) {
    std::size_t end = i + 1;
    while (!entries[i].NoDigest && end < entries.size() && !entries[end].NoDigest &&
           entries[end].Path == entries[i].Path) {
      ++end;
    }
    groups.emplace_back(i, end);
    i = end;
  }
  TWorkerDigesters workers(groups.size());
  const std::size_t threads = workers.Threads();
  // Each group's entries are written by the one worker that checks it; the calling thread
  // reads them only once their group is handed over.
  const auto work = [&](std::size_t group, std::size_t worker) {
    const auto [first, end] = groups[group];
    if (AbortRequested()) return true;
    if (entries[first].NoDigest) {
      entries[first].Verdict = TVerdict::NoDigest;
      return false;
    }
    try {
      CheckGroup(entries, first, end, workers.Of(worker), stop);
    } catch (const hash::EReadStopped&) {
      return true;
    }
    return false;
  };
  // Bytes are counted for each group's file, from a copy of its name: a worker may change the
  // entries' names (a Windows name found) while the line's thread looks at them.
  std::vector<std::string> groupPaths;
  if (TProgress::Wanted()) {
    for (const auto& [first, end] : groups) {
      groupPaths.push_back(entries[first].NoDigest ? std::string() : entries[first].Path);
    }
  }
  std::optional<TProgress> progress;
  progress.emplace(groups.size(), [&](std::size_t group) {
    const bool named = group < groupPaths.size() && !groupPaths[group].empty();
    return named ? TProgress::RegularFileSize(groupPaths[group]) : std::int64_t{-1};
  });
  std::optional<std::size_t> stoppedAt;
  const auto consume = [&](std::size_t group, bool stopped) {
    progress->FileDone();
    if (stopped) {
      stoppedAt = groups[group].first;
      return false;
    }
    writer.WriteReady(entries, groups[group].second, false);
    return true;
  };
  RunInOrder<bool>(groups.size(), threads, threads * kItemsPerWorker, work, consume);
  progress.reset();
  try {
    if (!stoppedAt && audit) PairMovedFiles(entries, found, stop);
  } catch (const hash::EReadStopped&) {
    stoppedAt = entries.size();
  }
  if (stoppedAt) {
    // What was decided before the first file left unfinished is written; that file and those
    // after it get no line.
    writer.WriteReady(entries, *stoppedAt, true);
    AbortInLoop(tee);
    return;
  }
  writer.WriteReady(entries, entries.size(), true);
  for (const TNewFile& file : found) {
    if (!file.Used) writer.WriteNew(file);
  }

  const auto checked = static_cast<std::int64_t>(entries.size());
  const std::string counts = CountsLine(tally, checked, audit);
  if (Given(TOption::Count)) WriteResultLine(counts, tee);
  CloseOutput();
  DisarmFailureSummary();
  if (Given(TOption::Summary)) {
    const std::int64_t total = checked + tally.New;
    WriteSummaryFile(tally.Ok, total, total - tally.Ok, false, RunSettings.SummaryFile);
  }
  if (!tally.AllOk() && !Given(TOption::Count)) WriteErrorLine(counts);
  if (tally.ListingUnusable) {
    cmdline::ExitStatus = cmdline::exit_code::kListingUnusable;
  } else if (!tally.AllOk()) {
    cmdline::ExitStatus = cmdline::exit_code::kCheckFailed;
  }
}

}  // namespace tarvolin::app
