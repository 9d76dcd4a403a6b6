// Command-line engine: the argument status table, keyword matching and the lookups that claim
// options and their values. Plain records, process-wide state and free functions; the engine
// knows no option of the host program.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace tarvolin::cmdline {

/// What a lookup made of one argument.
enum TParamStatus : std::int32_t {
  psUnexamined = 0,       ///< no lookup claimed it (an item, or an unrecognised option)
  psOption = 2,           ///< matched an option keyword
  psValue = 3,            ///< taken as the value of the option before it
  psOptionWithValue = 4,  ///< an option with its value attached by ":" or "="
  psValueMissing = 5,     ///< an option whose value is missing, empty or claimed elsewhere
  psIgnored = 6,          ///< never assigned by the engine; counted apart by validation
};

/// One argument and its status.
struct TParamStatusRec {
  TParamStatus Status = psUnexamined;
  bool IsOption = false;
  bool IsValue = false;
  bool ValueAttached = false;
  bool Reserved = false;
  std::string Param;
};

using TParamStatusArray = std::vector<TParamStatusRec>;
using TStringArray = std::vector<std::string>;

/// The result of one lookup.
struct TFindParamRec {
  bool IsDefault = false;
  bool Found = false;
  bool Attached = false;
  std::int32_t Index = -1;
  std::int32_t Position = -1;
  std::string Param;
  std::string Value;
  std::string Value2;
};

using TParamRecArray = std::vector<TFindParamRec>;

/// Lookup flags.
inline constexpr std::int32_t kBothValuesRequired = 1;
inline constexpr std::int32_t kFirstValueRequired = 2;
inline constexpr std::int32_t kKeepSearching = 4;

// ---- Engine state (process-wide) ------------------------------------------------------------

extern TParamStatusArray ParamList;
extern TParamRecArray MatchLog;
/// Which argument forms match a keyword besides the plain ones: one of the four below (any other
/// value acts as `kKeywordsPlain`).
extern std::int32_t KeywordMode;
inline constexpr std::int32_t kKeywordsPlain = 0;
/// A symbol keyword (`?`) matches its bare character, without a switch character in front.
inline constexpr std::int32_t kKeywordsBareSymbols = 1;
/// A value may be attached to its keyword (`-d:folder`, `-dfolder`).
inline constexpr std::int32_t kKeywordsAttachedValues = 2;
inline constexpr std::int32_t kKeywordsBareAndAttached = 3;
extern bool DoubleDashOnly;
extern bool LogMatches;
/// Every keyword ever looked up, upper case, each once, blank-separated.
extern std::string KeywordList;
extern bool NumberDefaulted;
extern bool HelpRequested;
extern TFindParamRec DebugModeSwitch, ErrorDelaySwitch, AudibleErrorSwitch, HelpSwitch,
    VerboseSwitch, VersionOnlySwitch, BannerSwitch, InfoSwitch;
/// The process exit status as set by the engine (version reading) and by the host.
extern std::int32_t ExitStatus;

/// Records the process's arguments, program path first, as the process received them, and the
/// raw command line where the system keeps one (empty where it does not).
void SetProcessArguments(std::vector<std::string> arguments, std::string rawCommandLine = {});
/// The recorded arguments, program path first.
const std::vector<std::string>& ProcessArguments();
/// The raw command line as recorded; where none was, the program path and every argument
/// separated by blanks, each wrapped in double quotes when empty or containing a blank.
std::string RawCommandLine();

/// Engine start: every setting to its initial value, `ParamList` built from the recorded
/// arguments, `MatchLog` emptied, validation records reset and named, the console streams on
/// standard output and standard error, `ExecPath` set, the version record emptied and the banner
/// not yet shown. Call it before anything else of the engine.
void StartEngine();

// ---- Lookups --------------------------------------------------------------------------------

/// The status array from the recorded process arguments (program path excluded).
void BuildParamList(TParamStatusArray& list);

/// Matches one argument against one keyword. For an attached match also gives the option part,
/// the value (at most 999 characters) and sets `attached`.
bool MatchKeyword(const std::string& keyword, const std::string& argument,
                  std::string* optionPart = nullptr, std::string* value = nullptr,
                  bool* attached = nullptr);

/// The core lookup behind every wrapper.
void FindParamEx(TFindParamRec& result, TParamStatusArray& list, const std::string& keywords,
                 std::int32_t lastIndex, std::int32_t firstIndex, std::int32_t valueCount,
                 std::int32_t flags, const std::string& default1 = "",
                 const std::string& default2 = "");

/// How the lookups' `index` bounds the search; an index of -1 leaves that end open.
inline constexpr std::int32_t kSearchFrom = 0;  ///< from `index` on
inline constexpr std::int32_t kSearchUpTo = 1;  ///< up to `index`

/// The common lookups: `FindParamEx` over the range `index`/`kind` give.
void FindParam(TFindParamRec& result, TParamStatusArray& list, const std::string& keywords,
               std::int32_t flags = 0, std::int32_t index = -1, std::int32_t kind = kSearchFrom);
void FindSwitch(TFindParamRec& result, TParamStatusArray& list, const std::string& keywords,
                bool& found, std::int32_t index = -1, std::int32_t kind = kSearchFrom);
void FindParamValue(TFindParamRec& result, TParamStatusArray& list, const std::string& keywords,
                    std::string& value, std::int32_t index = -1, std::int32_t kind = kSearchFrom);
void FindParamValues(TFindParamRec& result, TParamStatusArray& list, const std::string& keywords,
                     std::string& value, std::string& value2, std::int32_t index = -1,
                     std::int32_t kind = kSearchFrom);
void FindParamNumber(TFindParamRec& result, TParamStatusArray& list, const std::string& keywords,
                     std::int64_t& number, std::int64_t defaultValue, std::int32_t index = -1,
                     std::int32_t kind = kSearchFrom);

// ---- Text routines --------------------------------------------------------------------------

/// The number in `text` (first period-free run, commas removed), or `defaultValue`; sets
/// `NumberDefaulted`.
std::int64_t ParamNumber(const std::string& text, std::int64_t defaultValue);
void AddKeywords(std::string& list, const std::string& keywords);
bool WordNotInList(const std::string& word, const std::string& list);
std::string QuoteIfSpaced(const std::string& text);
/// Replaces `oldText` by `newText` without regard to letter case; an empty `oldText` changes
/// nothing.
std::string ReplaceText(const std::string& text, const std::string& oldText,
                        const std::string& newText, bool firstOnly = false);
std::int64_t MaxOf(std::initializer_list<std::int64_t> values);
/// Splits at blanks; double quotes group words and are removed; empty parts are dropped.
TStringArray SplitWords(const std::string& text);

}  // namespace tarvolin::cmdline
