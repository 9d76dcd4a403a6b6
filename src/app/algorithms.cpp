// Algorithm table, selection, engines and digest texts.
#include "app/algorithms.h"

#include <algorithm>

#include "app/progress.h"
#include "cmdline/ascii_case.h"
#include "cmdline/date_time.h"
#include "hash/stream.h"
#include "platform/platform.h"

namespace tarvolin::app {

THashChoicesArray HashAlgorithms;

THashAlgorithmRec& Algorithm(THashChoices choice) {
  return HashAlgorithms[static_cast<std::size_t>(choice)];
}

std::vector<THashChoices> SelectedList() {
  std::vector<THashChoices> list;
  for (std::size_t i = 0; i < kChoiceCount; ++i) {
    if (RunSettings.SelectedChoices[i]) list.push_back(static_cast<THashChoices>(i));
  }
  return list;
}

void BuildAlgorithmTable(THashChoicesArray& table) {
  for (std::size_t i = 0; i < kChoiceCount; ++i) {
    THashAlgorithmRec& r = table[i];
    r.Name = kChoiceInfo[i].Name;
    r.HashLength = kChoiceInfo[i].HashLength;
    r.FsumTag = " ?" + r.Name + "*";
    r.FileTag = r.FsumTag;
    r.NameTag = r.Name + ": ";
    r.Prefix.clear();
    r.NameTagLength = static_cast<std::int32_t>(r.NameTag.size());
  }
}

void SelectAlgorithms() {
  TRunSettings& s = RunSettings;
  const auto track = [&](THashChoices choice) {
    s.SelectedCount += 1;
    s.SelectedChoices[static_cast<std::size_t>(choice)] = true;
    THashAlgorithmRec& r = Algorithm(choice);
    r.FileTag = "  {File}  ";
    s.MaxHashLength = std::max(s.MaxHashLength, r.HashLength);
    s.PrefixWidth = std::max(s.PrefixWidth, r.NameTagLength);
  };
  if (Given(TOption::NoHash)) {
    track(THashChoices::None);
  } else {
    const bool all = Given(TOption::All);
    for (std::size_t i = 1; i < kChoiceCount; ++i) {
      if (all || s.HashSelections[i].Found) track(static_cast<THashChoices>(i));
    }
  }
  for (const THashChoices choice : SelectedList()) {
    if (s.SelectedCount > 1 || Given(TOption::Prefix)) {
      Algorithm(choice).Prefix = Algorithm(choice).NameTag;
    } else {
      s.PrefixWidth = 0;
    }
  }
  s.SavedPrefixWidth = s.PrefixWidth;
  if (s.SelectedCount == 0) {
    const THashChoices fallback = Given(TOption::Compare) ? CompareDefaultChoice : DefaultChoice;
    s.SelectedChoices[static_cast<std::size_t>(fallback)] = true;
    s.MaxHashLength = Algorithm(fallback).HashLength;
  }
  if (s.SelectedCount == 1) s.PrefixWidth = 0;
}

void CreateEngines(THashChoicesArray& table) {
  for (const ChoiceInfo& info : kChoiceInfo) {
    if (info.CreateEngine != nullptr) {
      table[static_cast<std::size_t>(info.Choice)].Engine = info.CreateEngine();
    }
  }
}

std::string DeniedMarker(std::int32_t length) {
  std::string marker = ":::DENIED" + std::string(119, ':');
  marker.resize(static_cast<std::size_t>(std::clamp(length, 0, 128)));
  return marker;
}

TDigester& TDigester::Main() {
  static TDigester digester{TMainEngines{}};
  return digester;
}

TDigester::TDigester() {
  for (const ChoiceInfo& info : kChoiceInfo) {
    if (info.CreateEngine != nullptr)
      own_[static_cast<std::size_t>(info.Choice)] = info.CreateEngine();
  }
}

hash::IHash* TDigester::Engine(THashChoices choice) {
  return main_ ? Algorithm(choice).Engine.get() : own_[static_cast<std::size_t>(choice)].get();
}

std::string TDigester::DigestOfText(THashChoices choice, const std::string& text) {
  return cmdline::AsciiLowerCase(
      Engine(choice)->HashText(text, &hash::TUTF8Encoding::Instance())->ToHex(false));
}

std::vector<std::string> TDigester::DigestsOfFile(const std::vector<THashChoices>& choices,
                                                  const std::string& path, bool upperCase,
                                                  bool& failed, bool regularOnly,
                                                  const std::function<bool()>& stop) {
  std::vector<hash::IHash*> engines;
  for (const THashChoices choice : choices) engines.push_back(Engine(choice));
  // The thread that runs the mode hashes alone: it may spread one file's engines over the
  // run's threads. A worker is one of those threads already.
  hasher_.SetThreads(main_ ? RunSettings.Threads : 1);
  hasher_.SetReadCounter(ProgressReadCounter());
  std::vector<std::string> digests;
  try {
    if (std::find(engines.begin(), engines.end(), nullptr) != engines.end()) {
      throw hash::EArgumentNilError("no engine");
    }
    for (const auto& result : hasher_.HashFile(path, engines, regularOnly, stop)) {
      const std::string hex = result->ToHex(false);
      digests.push_back(upperCase ? hex : cmdline::AsciiLowerCase(hex));
    }
  } catch (const hash::EReadStopped&) {
    throw;
  } catch (const std::exception&) {
    failed = true;
    digests.clear();
    for (const THashChoices choice : choices) {
      digests.push_back(DeniedMarker(Algorithm(choice).HashLength));
    }
  }
  return digests;
}

TWorkerDigesters::TWorkerDigesters(std::size_t items) {
  const auto threads = static_cast<std::size_t>(std::max(RunSettings.Threads, 1));
  if (threads <= 1 || items <= 1) return;
  for (std::size_t w = 0; w < threads; ++w) digesters_.push_back(std::make_unique<TDigester>());
}

std::string DigestOfText(THashChoices choice, const std::string& text) {
  return TDigester::Main().DigestOfText(choice, text);
}

std::vector<std::string> DigestsOfFile(const std::vector<THashChoices>& choices,
                                       const std::string& path, bool upperCase, bool& failed,
                                       bool regularOnly, const std::function<bool()>& stop) {
  return TDigester::Main().DigestsOfFile(choices, path, upperCase, failed, regularOnly, stop);
}

namespace {

const std::string kFallbackDate = "\"12/30/1899 00:00 AM\"";

}  // namespace

std::string QuotedDate(const platform::TLocalTime& local) {
  if (local.Year < 1 || local.Year > 9999) return kFallbackDate;
  const cmdline::TDateTime value{.Year = local.Year,
                                 .Month = local.Month,
                                 .Day = local.Day,
                                 .Hour = local.Hour,
                                 .Minute = local.Minute,
                                 .Second = local.Second};
  return cmdline::FormatDateTime("\"mm/dd/yyyy hh:nn AM/PM\"", value,
                                 {platform::DateSeparator(), platform::TimeSeparator()});
}

std::string DateOfFile(const std::string& path) {
  platform::TPathInfo info;
  if (!platform::QueryPath(path, info)) return kFallbackDate;
  platform::TLocalTime local;
  if (!platform::ToLocalTime(info.ModifiedSeconds, local)) return kFallbackDate;
  return QuotedDate(local);
}

}  // namespace tarvolin::app
