// The algorithm table, the selection of a run, the engines, and the digest texts of texts,
// files and file dates.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/options.h"
#include "hash/hash.h"
#include "hash/stream.h"
#include "platform/platform.h"

namespace tarvolin::app {

/// One algorithm as run control sees it.
struct THashAlgorithmRec {
  /// Characters of the digest text (two per byte; 21 for the quoted NOHASH date).
  std::int32_t HashLength = 0;
  std::int32_t NameTagLength = 0;
  hash::IHashPtr Engine;
  std::string FileTag;
  std::string FsumTag;
  std::string Prefix;
  std::string NameTag;
  std::string Name;
};

using THashChoicesArray = ChoiceArray<THashAlgorithmRec>;

extern THashChoicesArray HashAlgorithms;

/// The record of a choice in `HashAlgorithms`.
THashAlgorithmRec& Algorithm(THashChoices choice);

/// The selected choices in output order.
std::vector<THashChoices> SelectedList();

/// Fills every record: names, widths and tags.
void BuildAlgorithmTable(THashChoicesArray& table);

/// Settles the selection, the widths and the prefixes from the options.
void SelectAlgorithms();

/// Creates the engine of every choice but None, whatever the selection.
void CreateEngines(THashChoicesArray& table);

/// ":::DENIED" and colons, cut to `length` characters.
std::string DeniedMarker(std::int32_t length);

/// Lower-case digest of a text's UTF-8 bytes.
std::string DigestOfText(THashChoices choice, const std::string& text);

/// Digests of one file for several choices, reading the file once. Upper-case hex when
/// `upperCase`, lower-case otherwise. On any failure (a file that changed while it was read
/// included) every digest is the denied marker cut to its width and `failed` is set. With
/// `regularOnly` anything but a regular file fails (DIR mode: only regular files are listed).
/// `stop`, when given, is asked between chunks: once it says true, `hash::EReadStopped` ends
/// the reading and leaves this function.
std::vector<std::string> DigestsOfFile(const std::vector<THashChoices>& choices,
                                       const std::string& path, bool upperCase, bool& failed,
                                       bool regularOnly = false,
                                       const std::function<bool()>& stop = {});

/// The engines and the read buffer one thread hashes with: the run's own engines
/// (`Algorithm(choice).Engine`) on the thread that runs the mode, engines of its own on each
/// worker thread.
class TDigester {
 public:
  /// The run's engines, on the thread that runs the mode.
  static TDigester& Main();
  /// A worker thread's: a fresh engine for every choice but None.
  TDigester();

  /// As `DigestsOfFile` below, with these engines.
  std::vector<std::string> DigestsOfFile(const std::vector<THashChoices>& choices,
                                         const std::string& path, bool upperCase, bool& failed,
                                         bool regularOnly = false,
                                         const std::function<bool()>& stop = {});
  /// As `DigestOfText` below, with these engines.
  std::string DigestOfText(THashChoices choice, const std::string& text);

 private:
  struct TMainEngines {};
  explicit TDigester(TMainEngines) : main_(true) {}
  hash::IHash* Engine(THashChoices choice);

  bool main_ = false;
  ChoiceArray<hash::IHashPtr> own_{};
  hash::TFileHasher hasher_;
};

/// The digesters of a run's worker threads: one per thread when the run has several threads and
/// more than one item to spread over them; none otherwise (the calling thread does the work).
class TWorkerDigesters {
 public:
  explicit TWorkerDigesters(std::size_t items);
  /// How many threads the work is spread over.
  std::size_t Threads() const { return digesters_.empty() ? 1 : digesters_.size(); }
  /// The digester of a worker (the run's own when there are no workers).
  TDigester& Of(std::size_t worker) {
    return digesters_.empty() ? TDigester::Main() : *digesters_[worker];
  }

 private:
  std::vector<std::unique_ptr<TDigester>> digesters_;
};

/// The file's last-write time as "mm/dd/yyyy hh:nn AM" in double quotes (local time), or the
/// quoted fallback date when it cannot be obtained.
std::string DateOfFile(const std::string& path);

/// A local time as DateOfFile writes it; the quoted fallback date for a year that has not four
/// digits (before 1 or after 9999), which the fixed-width date cannot show.
std::string QuotedDate(const platform::TLocalTime& local);

}  // namespace tarvolin::app
