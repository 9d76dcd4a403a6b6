// Algorithm table, selection, engines and digest texts.
#include "app/algorithms.h"

#include <algorithm>
#include <cctype>
#include <ctime>

#include "hash/blake2.h"
#include "hash/blake3.h"
#include "hash/md5.h"
#include "hash/murmurhash3.h"
#include "hash/sha1.h"
#include "hash/sha2.h"
#include "hash/sha3.h"
#include "hash/stream.h"
#include "hash/xxhash64.h"
#include "platform/platform.h"

namespace tarvolin::app {

THashChoicesArray HashAlgorithms;

namespace {

struct TChoiceInfo {
  const char* Name;
  std::int32_t HashLength;
};

// clang-format off
constexpr TChoiceArray<TChoiceInfo> kChoiceInfo = {{
    {"NOHASH", 21}, {"MD5", 32}, {"SHA1", 40}, {"SHA2_256", 64}, {"SHA2_384", 96},
    {"SHA2_512", 128}, {"SHA3_256", 64}, {"SHA3_384", 96}, {"SHA3_512", 128},
    {"Blake2S", 64}, {"Blake2B", 128}, {"Blake3", 64}, {"XXHash64", 16},
    {"MurmurHash3_x86_128", 32}, {"MurmurHash3_x64_128", 32},
}};
// clang-format on

hash::TFileHasher& FileHasher() {
  static hash::TFileHasher hasher;
  return hasher;
}

std::string LowerCase(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

}  // namespace

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
    r.IsHash = i != 0;
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
      if (all || s.THashSelections[i].Found) track(static_cast<THashChoices>(i));
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
  const auto set = [&table](THashChoices choice, hash::IHashPtr engine) {
    table[static_cast<std::size_t>(choice)].Engine = std::move(engine);
  };
  set(THashChoices::MD5, std::make_shared<hash::TMD5>());
  set(THashChoices::SHA1, std::make_shared<hash::TSHA1>());
  set(THashChoices::SHA2_256, std::make_shared<hash::TSHA2_256>());
  set(THashChoices::SHA2_384, std::make_shared<hash::TSHA2_384>());
  set(THashChoices::SHA2_512, std::make_shared<hash::TSHA2_512>());
  set(THashChoices::SHA3_256, std::make_shared<hash::TSHA3_256>());
  set(THashChoices::SHA3_384, std::make_shared<hash::TSHA3_384>());
  set(THashChoices::SHA3_512, std::make_shared<hash::TSHA3_512>());
  set(THashChoices::Blake2S, std::make_shared<hash::TBlake2S>());
  set(THashChoices::Blake2B, std::make_shared<hash::TBlake2B>());
  set(THashChoices::Blake3, std::make_shared<hash::TBlake3>());
  set(THashChoices::XXHash64, std::make_shared<hash::TXXHash64>());
  set(THashChoices::MurmurHash3_x86, std::make_shared<hash::TMurmurHash3_x86_128>());
  set(THashChoices::MurmurHash3_x64, std::make_shared<hash::TMurmurHash3_x64_128>());
}

std::string DeniedMarker(std::int32_t length) {
  std::string marker = ":::DENIED" + std::string(119, ':');
  marker.resize(static_cast<std::size_t>(std::clamp(length, 0, 128)));
  return marker;
}

std::string DigestOfText(THashChoices choice, const std::string& text) {
  return LowerCase(
      Algorithm(choice).Engine->HashText(text, &hash::TUTF8Encoding::Instance())->ToHex(false));
}

std::vector<std::string> DigestsOfFile(const std::vector<THashChoices>& choices,
                                       const std::string& path, bool upperCase, bool& failed,
                                       bool regularOnly, const std::function<bool()>& stop) {
  std::vector<hash::IHash*> engines;
  for (const THashChoices choice : choices) engines.push_back(Algorithm(choice).Engine.get());
  std::vector<std::string> digests;
  try {
    if (std::find(engines.begin(), engines.end(), nullptr) != engines.end()) {
      throw hash::EArgumentNilError("no engine");
    }
    for (const auto& result : FileHasher().HashFile(path, engines, regularOnly, stop)) {
      const std::string hex = result->ToHex(false);
      digests.push_back(upperCase ? hex : LowerCase(hex));
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

namespace {

const std::string kFallbackDate = "\"12/30/1899 00:00 AM\"";

}  // namespace

std::string QuotedDate(const platform::TLocalTime& local) {
  if (local.Year < 1 || local.Year > 9999) return kFallbackDate;
  const int hour12 = local.Hour % 12 == 0 ? 12 : local.Hour % 12;
  const std::string date = platform::DateSeparator();
  const std::string time = platform::TimeSeparator();
  char text[64];
  std::snprintf(text, sizeof text, "\"%02d%s%02d%s%04d %02d%s%02d %s\"", local.Month, date.c_str(),
                local.Day, date.c_str(), local.Year, hour12, time.c_str(), local.Minute,
                local.Hour < 12 ? "AM" : "PM");
  return text;
}

std::string DateOfFile(const std::string& path) {
  platform::TPathInfo info;
  if (!platform::QueryPath(path, info)) return kFallbackDate;
  platform::TLocalTime local;
  if (!platform::ToLocalTime(info.ModifiedSeconds, local)) return kFallbackDate;
  return QuotedDate(local);
}

}  // namespace tarvolin::app
