// Writes tarvolin's manual page and its bash, zsh and fish completions from the option table and
// the help texts the program prints, so that neither is written twice. Run by the build:
//
//   tarvolin_make_docs <output folder>
//
// Each help line of the option definitions becomes one entry, listing its keywords; a row's
// keywords that no help line shows join the first entry of that row. A help line naming a
// keyword no row has, or a row without a help line, stops the build.
#include <algorithm>
#include <cstdint>
#include <exception>
#include <fstream>
#include <iostream>
#include <regex>
#include <set>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "app/help.h"
#include "app/options.h"
#include "app/output.h"
#include "cmdline/ascii_case.h"
#include "platform/cpu_features.h"
#include "platform/platform.h"
#include "version/version.h"

namespace tarvolin::tools {

namespace {

using app::TOption;
using app::TOptionKind;
using app::TOptionRow;
using cmdline::AsciiLowerCase;
using cmdline::AsciiUpperCase;

constexpr const char* kProgram = "tarvolin";

/// What an option's value is, for its placeholder and its completion.
enum class TValue { None, File, Folder, TwoFiles, Number };

/// One documented option: its keywords as the table writes them, the help's description.
struct TEntry {
  std::vector<std::string> Keywords;
  std::string Text;
  TValue Value = TValue::None;
};

std::vector<std::string> Words(std::string_view text, std::string_view separators = " ") {
  std::vector<std::string> words;
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t start = text.find_first_not_of(separators, at);
    if (start == std::string_view::npos) break;
    const std::size_t end = std::min(text.find_first_of(separators, start), text.size());
    words.emplace_back(text.substr(start, end - start));
    at = end;
  }
  return words;
}

/// A keyword as the help shows it: one dash before one character, two before more.
std::string Form(const std::string& keyword) {
  return (keyword.size() == 1 ? "-" : "--") + AsciiLowerCase(keyword);
}

/// Every form the program accepts for a keyword, in lower case (letter case does not matter).
std::vector<std::string> AcceptedForms(const std::string& keyword) {
  const std::string lower = AsciiLowerCase(keyword);
  if (keyword.size() == 1) return {"-" + lower, "/" + lower};
  return {"--" + lower, "-" + lower, "/" + lower};
}

TValue ValueOf(const TOptionRow& row) {
  switch (row.Kind) {
    case TOptionKind::Value:
      return row.Option == TOption::Dir ? TValue::Folder : TValue::File;
    case TOptionKind::TwoValues:
      return TValue::TwoFiles;
    case TOptionKind::Number:
      return TValue::Number;
    case TOptionKind::Switch:
    case TOptionKind::Flag:
      break;
  }
  return TValue::None;
}

std::string Trimmed(std::string_view text) {
  const std::size_t start = text.find_first_not_of(' ');
  if (start == std::string_view::npos) return {};
  return std::string(text.substr(start, text.find_last_not_of(' ') - start + 1));
}

/// The row that has `keyword`, or every row that has it.
std::vector<std::size_t> RowsWith(const std::string& keyword) {
  std::vector<std::size_t> rows;
  for (std::size_t i = 0; i < app::kOptionTable.size(); ++i) {
    for (const std::string& own : Words(app::kOptionTable[i].Keywords)) {
      if (cmdline::SameAsciiText(own, keyword)) rows.push_back(i);
    }
  }
  return rows;
}

/// The entries, in the help's order; throws when the help and the table disagree.
std::vector<TEntry> OptionEntries() {
  const app::THelpTexts& help = app::HelpTexts();
  std::vector<const char*> lines(help.OptionDefinitions.begin(), help.OptionDefinitions.end());
  lines.insert(lines.end(), help.ErrorOptionLines.begin(), help.ErrorOptionLines.end());

  std::vector<TEntry> entries;
  std::vector<std::size_t> firstEntryOfRow(app::kOptionTable.size(), SIZE_MAX);
  std::set<std::string> shown;  // upper case
  for (const char* line : lines) {
    // " -2, --sha2, --sha256 ...... Generate SHA2_256 hashes  ***DEFAULT***"
    static const std::regex kLayout(R"(^\s*(\S.*?) \.{2,} (.*)$)");
    std::cmatch parts;
    if (!std::regex_match(line, parts, kLayout)) {
      // A line without a leader continues the description above it.
      if (entries.empty()) {
        throw std::runtime_error(std::string("option help line without a dotted leader: ") + line);
      }
      (entries.back().Text += ' ') += Trimmed(line);
      continue;
    }
    TEntry entry;
    entry.Text = parts[2].str();
    for (const std::string& form : Words(parts[1].str(), ", ")) {
      const std::string keyword = form.substr(form.find_first_not_of('-'));
      const std::vector<std::size_t> rows = RowsWith(keyword);
      if (rows.empty())
        throw std::runtime_error("the help names " + form + ", no option row has it");
      for (std::size_t row : rows) {
        if (firstEntryOfRow[row] == SIZE_MAX) firstEntryOfRow[row] = entries.size();
      }
      if (entry.Value == TValue::None) entry.Value = ValueOf(app::kOptionTable[rows.front()]);
      if (shown.insert(AsciiUpperCase(keyword)).second) entry.Keywords.push_back(keyword);
    }
    entries.push_back(std::move(entry));
  }
  for (std::size_t i = 0; i < app::kOptionTable.size(); ++i) {
    const TOptionRow& row = app::kOptionTable[i];
    if (firstEntryOfRow[i] == SIZE_MAX) {
      throw std::runtime_error(std::string("the option row \"") + row.Keywords +
                               "\" has no line in the help's option definitions");
    }
    for (const std::string& keyword : Words(row.Keywords)) {
      if (shown.insert(AsciiUpperCase(keyword)).second) {
        entries[firstEntryOfRow[i]].Keywords.push_back(keyword);
      }
    }
  }
  return entries;
}

// ---- Manual page ------------------------------------------------------------------------------

/// Text for a roff text line: backslashes written as \e, a dash that starts an option as \-,
/// and a line that would start with a control character made safe.
std::string Roff(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\\') {
      out += "\\e";
    } else if (c == '-' && (i == 0 || std::string_view(" -([|/<\"'=,").find(text[i - 1]) !=
                                          std::string_view::npos)) {
      out += "\\-";
    } else {
      out += c;
    }
  }
  if (!out.empty() && (out[0] == '.' || out[0] == '\'')) out.insert(0, "\\&");
  return out;
}

/// The help lines, placeholders filled in for an installed program.
class TManualWriter {
 public:
  TManualWriter(std::ostream& out, app::THelpPlaceholders values)
      : out_(out), values_(std::move(values)) {}

  std::string Fill(const char* line) const { return app::FillHelpLine(line, values_); }

  /// A syntax line " {NAME} ..." as a synopsis block.
  void Synopsis(const char* line) const {
    std::string text = Trimmed(line);
    if (text.starts_with("{NAME}")) text.erase(0, 6);
    out_ << ".SY " << kProgram << "\n" << Roff(Trimmed(Fill(text.c_str()))) << "\n.YS\n";
  }

  /// Notes: " * " items at two depths, continuation lines joined to their item; an item with a
  /// dotted leader ("NAME ..... text") becomes a tagged paragraph.
  void Notes(std::span<const char* const> lines) const {
    struct TItem {
      std::size_t Depth;
      std::string Text;
    };
    std::vector<TItem> items;
    for (const char* raw : lines) {
      const std::string line = Fill(raw);
      const std::size_t indent = line.find_first_not_of(' ');
      if (indent == std::string::npos) continue;
      if (line.compare(indent, 2, "* ") == 0) {
        items.push_back({indent > 1 ? 1U : 0U, Trimmed(line.substr(indent + 2))});
      } else if (!items.empty()) {
        (items.back().Text += ' ') += Trimmed(line);
      }
    }
    // Tagged items stand close together, like the help's aligned columns; bullets apart.
    std::size_t depth = 0;
    bool close = false;
    for (const TItem& item : items) {
      for (; depth < item.Depth; ++depth) out_ << ".RS 2\n";
      for (; depth > item.Depth; --depth) out_ << ".RE\n";
      static const std::regex kLeader(R"(^(.*?\S) \.{2,} (.*)$)");
      std::smatch parts;
      const bool tagged = std::regex_match(item.Text, parts, kLeader);
      if (tagged != close) out_ << (tagged ? ".PD 0\n" : ".PD\n");
      close = tagged;
      if (tagged) {
        // As wide as the help's column, where the text after the leader starts.
        out_ << ".TP " << parts.position(2) << "n\n"
             << Roff(parts[1].str()) << "\n"
             << Roff(parts[2].str()) << "\n";
      } else {
        out_ << ".IP \\(bu 2\n" << Roff(item.Text) << "\n";
      }
    }
    if (close) out_ << ".PD\n";
    for (; depth > 0; --depth) out_ << ".RE\n";
  }

 private:
  std::ostream& out_;
  app::THelpPlaceholders values_;
};

/// The option's keywords in bold and its value's placeholder in italics.
std::string OptionTag(const TEntry& entry) {
  std::string tag;
  for (const std::string& keyword : entry.Keywords) {
    if (!tag.empty()) tag += ", ";
    // Every dash a minus sign, so that a keyword copied from the page works.
    std::string form;
    for (const char c : Form(keyword)) form += c == '-' ? std::string("\\-") : std::string(1, c);
    tag += "\\fB" + form + "\\fR";
  }
  switch (entry.Value) {
    case TValue::File:
      return tag + " \\fIfile\\fR";
    case TValue::Folder:
      return tag + " \\fIfolder\\fR";
    case TValue::TwoFiles:
      return tag + " \\fIfile1 file2\\fR";
    case TValue::Number:
      return tag + " \\fInumber\\fR";
    case TValue::None:
      break;
  }
  return tag;
}

/// The groups of syntax lines that blank lines separate.
std::vector<std::vector<const char*>> Groups(std::span<const char* const> lines) {
  std::vector<std::vector<const char*>> groups(1);
  for (const char* line : lines) {
    if (Trimmed(line).empty()) {
      if (!groups.back().empty()) groups.emplace_back();
    } else {
      groups.back().push_back(line);
    }
  }
  if (groups.back().empty()) groups.pop_back();
  return groups;
}

void WriteManual(std::ostream& out, const std::vector<TEntry>& entries) {
  const app::THelpTexts& help = app::HelpTexts();
  const std::string program = platform::ProgramPath();
  const version::VersionStrings strings = version::ReadVersionStrings(program);
  std::string date = version::BuildDate();
  std::replace(date.begin(), date.end(), '/', '-');
  std::string release = version::FileVersion();
  release.erase(release.rfind('.'));  // the first three parts

  // The examples name the installed program wherever it is; the default summary file is in the
  // temporary folder, which the environment names.
  std::string summary = app::DefaultSummaryFileName();
  summary.replace(0, platform::TemporaryFolderPrefix().size(), "$TEMP/");
  const TManualWriter writer(out, {.Name = kProgram,
                                   .File = kProgram,
                                   .Path = std::string("$(command -v ") + kProgram + ")",
                                   .Folder = "/usr/bin",
                                   .Summary = summary});

  out << ".\\\" Made by the build from the option table and the help texts; do not edit.\n"
      << ".TH " << AsciiUpperCase(kProgram) << " 1 " << date << " \"" << kProgram << " " << release
      << "\" \"User Commands\"\n"
      << ".SH NAME\n"
      << kProgram << " \\- " << AsciiLowerCase(version::VersionString(strings, "FileDescription"))
      << "\n.SH SYNOPSIS\n";
  std::vector<std::vector<const char*>> modes = Groups(help.CmdSyntax);
  for (const std::vector<const char*>& group : Groups(help.CheckSyntax)) modes.push_back(group);
  for (const std::vector<const char*>& group : modes) writer.Synopsis(group.front());
  for (const char* line : help.HelpSyntax) {
    if (!Trimmed(line).empty()) writer.Synopsis(line);
  }

  out << ".SH DESCRIPTION\n.B " << kProgram << "\n"
      << "computes message digests and checksums of files, folder trees and text strings. It\n"
         "runs in one of four modes: LIST (the default) hashes each item, a file when one of\n"
         "that name exists and otherwise the text itself; DIR (\\fB\\-d\\fR) hashes the files\n"
         "of a folder, or with \\fB\\-r\\fR of its tree, that match the wildcards after it;\n"
         "COMPARE (\\fB\\-k\\fR) tells whether two files have the same digest; CHECK\n"
         "(\\fB\\-\\-check\\fR) hashes the files that checksum listings name again and compares.\n"
         ".PP\nEvery option each mode takes:\n";
  for (const std::vector<const char*>& group : Groups(help.CmdSyntax)) {
    for (std::size_t i = 1; i < group.size(); ++i) writer.Synopsis(group[i]);
  }
  out << ".SS \"General usage notes\"\n";
  writer.Notes(help.GeneralNotes);
  out << ".SS \"Usage notes\"\n";
  writer.Notes(help.AppNotes);
  out << ".SS \"Hash algorithms\"\n";
  writer.Notes(help.Algorithms);
  writer.Notes(help.HashNotes);

  out << ".SH OPTIONS\n"
         "Letter case does not matter in a keyword. A one-character keyword takes \\fB\\-\\fR or\n"
         "\\fB/\\fR, a longer one \\fB\\-\\-\\fR, \\fB\\-\\fR or \\fB/\\fR. A value follows its\n"
         "option as the next argument, or is attached with \\fB:\\fR or \\fB=\\fR\n"
         "(\\fB\\-o:\\fR\\fIfile\\fR, \\fB\\-\\-out=\\fR\\fIfile\\fR).\n";
  for (const TEntry& entry : entries) {
    out << ".TP\n" << OptionTag(entry) << "\n" << Roff(entry.Text) << "\n";
  }

  out << ".SH \"EXIT STATUS\"\n.PD 0\n";
  static const std::regex kExitLine(R"(^\s*([0-9]+) - (.*)$)");
  for (const char* line : help.ExitCodes) {
    std::cmatch parts;
    if (std::regex_match(line, parts, kExitLine)) {
      out << ".TP\n.B " << parts[1].str() << "\n" << Roff(parts[2].str()) << "\n";
    }
  }
  out << ".PD\n";

  std::string levels;
  for (std::size_t i = 0; i < platform::kCpuLevelCount; ++i) {
    if (i > 0) levels += i + 1 == platform::kCpuLevelCount ? " or " : ", ";
    levels += platform::CpuLevelName(static_cast<platform::TCpuLevel>(i));
  }
  out << ".SH ENVIRONMENT\n"
      << ".TP\n.B " << app::kThreadsVariable << "\n"
      << "The number of threads that hash files when \\fB\\-j\\fR does not give one (at most "
      << app::kMaxThreads << "); by default, every processor the program may use.\n"
      << ".TP\n.B " << platform::kCpuLevelVariable << "\n"
      << "The highest instruction-set level the hash engines may use: " << levels
      << ". A level above the processor's is lowered to it.\n"
      << ".TP\n.BR TEMP \", \" TMPDIR\n"
      << "The folder of the default summary file (the first of them that is set, else /tmp).\n";

  out << ".SH EXAMPLES\n.RS 4\n.nf\n";
  for (const char* line : help.SyntaxExamples) {
    const std::string text = Trimmed(writer.Fill(line));
    if (!text.empty()) out << Roff(text) << "\n";
  }
  out << ".fi\n.RE\n"
      << ".SH \"SEE ALSO\"\n.BR sha256sum (1),\n.BR b3sum (1)\n";
}

// ---- Completions ------------------------------------------------------------------------------

std::string Joined(const std::vector<std::string>& parts, std::string_view separator) {
  std::string out;
  for (const std::string& part : parts) {
    if (!out.empty()) out += separator;
    out += part;
  }
  return out;
}

/// Single quotes for the shells: a quote inside is closed, escaped and reopened.
std::string Quoted(std::string_view text) {
  std::string out = "'";
  for (const char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

/// A case pattern matching every accepted form of the entries' keywords that take `value`.
std::string CasePattern(const std::vector<TEntry>& entries, TValue value) {
  std::vector<std::string> forms;
  for (const TEntry& entry : entries) {
    if (entry.Value != value) continue;
    for (const std::string& keyword : entry.Keywords) {
      for (const std::string& form : AcceptedForms(keyword)) forms.push_back(Quoted(form));
    }
  }
  return Joined(forms, "|");
}

void WriteBash(std::ostream& out, const std::vector<TEntry>& entries) {
  std::vector<std::string> forms;
  for (const TEntry& entry : entries) {
    for (const std::string& keyword : entry.Keywords) forms.push_back(Form(keyword));
  }
  out << "# bash completion for " << kProgram
      << ", made by the build from its option table; do not edit.\n"
      << "_tarvolin() {\n"
      << "  local cur=${COMP_WORDS[COMP_CWORD]} prev='' before=''\n"
      << "  ((COMP_CWORD > 0)) && prev=${COMP_WORDS[COMP_CWORD - 1],,}\n"
      << "  ((COMP_CWORD > 1)) && before=${COMP_WORDS[COMP_CWORD - 2],,}\n"
      << "  COMPREPLY=()\n"
      << "  case $prev in\n";
  const auto arm = [&out](const std::string& pattern, const char* body) {
    if (!pattern.empty()) out << "    " << pattern << ")\n" << body;
  };
  std::string files = CasePattern(entries, TValue::File);
  const std::string twoFiles = CasePattern(entries, TValue::TwoFiles);
  if (!files.empty() && !twoFiles.empty()) files += '|';
  arm(CasePattern(entries, TValue::Folder),
      "      compopt -o filenames 2>/dev/null\n"
      "      mapfile -t COMPREPLY < <(compgen -d -- \"$cur\")\n"
      "      return 0 ;;\n");
  arm(files + twoFiles, "      return 0 ;;  # file names, by -o default\n");
  arm(CasePattern(entries, TValue::Number),
      "      compopt +o default 2>/dev/null\n"
      "      return 0 ;;\n");
  out << "  esac\n"
      << "  case $before in\n";
  arm(twoFiles, "      return 0 ;;  # the second file\n");
  out << "  esac\n"
      << "  if [[ $cur == -* ]]; then\n"
      << "    mapfile -t COMPREPLY < <(compgen -W " << Quoted(Joined(forms, " "))
      << " -- \"$cur\")\n"
      << "  fi\n"
      << "  return 0  # items: file names, by -o default\n"
      << "}\n"
      << "complete -o default -F _tarvolin " << kProgram << "\n";
}

/// A description for zsh's _arguments: brackets and backslashes escaped.
std::string ZshDescription(std::string_view text) {
  std::string out;
  for (const char c : text) {
    if (c == '[' || c == ']' || c == '\\') out += '\\';
    out += c;
  }
  return out;
}

/// What zsh completes after an option that takes `value`: files, folders, or nothing.
std::string_view ZshValueActions(TValue value) {
  switch (value) {
    case TValue::File:
      return ":file:_files";
    case TValue::Folder:
      return ":folder:_files -/";
    case TValue::TwoFiles:
      return ":first file:_files:second file:_files";
    case TValue::Number:
      return ":number: ";
    case TValue::None:
      break;
  }
  return {};
}

void WriteZsh(std::ostream& out, const std::vector<TEntry>& entries) {
  out << "#compdef " << kProgram << "\n"
      << "# zsh completion for " << kProgram
      << ", made by the build from its option table; do not edit.\n"
      << "_arguments \\\n";
  for (const TEntry& entry : entries) {
    std::vector<std::string> forms;
    for (const std::string& keyword : entry.Keywords) forms.push_back(Form(keyword));
    // What _arguments takes after the option: "[description]", then ":message:action" for each
    // value it takes.
    std::string described = "[";
    described += ZshDescription(entry.Text);
    described += ']';
    described += ZshValueActions(entry.Value);
    out << "  ";
    if (forms.size() == 1) {
      out << Quoted(forms.front() + described);
    } else {
      std::vector<std::string> quoted;
      for (const std::string& form : forms) quoted.push_back(Quoted(form));
      out << Quoted(std::string(1, '(').append(Joined(forms, " ")).append(")")) << "{"
          << Joined(quoted, ",") << "}" << Quoted(described);
    }
    out << " \\\n";
  }
  out << "  '*:file or text:_files'\n";
}

void WriteFish(std::ostream& out, const std::vector<TEntry>& entries) {
  out << "# fish completion for " << kProgram
      << ", made by the build from its option table; do not edit.\n";
  for (const TEntry& entry : entries) {
    out << "complete -c " << kProgram;
    for (const std::string& keyword : entry.Keywords) {
      out << (keyword.size() == 1 ? " -s " : " -l ") << Quoted(AsciiLowerCase(keyword));
    }
    switch (entry.Value) {
      case TValue::File:
      case TValue::TwoFiles:
        out << " -r -F";
        break;
      case TValue::Folder:
        out << " -x -a '(__fish_complete_directories (commandline -ct))'";
        break;
      case TValue::Number:
        out << " -x";
        break;
      case TValue::None:
        break;
    }
    // Fish takes backslash escapes inside single quotes.
    std::string text;
    for (const char c : entry.Text) text += c == '\\' ? std::string("\\\\") : std::string(1, c);
    out << " -d " << Quoted(text) << "\n";
  }
}

void WriteFile(const std::string& path, void (*write)(std::ostream&, const std::vector<TEntry>&),
               const std::vector<TEntry>& entries) {
  std::ofstream file(path, std::ios::binary);
  write(file, entries);
  file.close();
  if (!file) throw std::runtime_error("cannot write " + path);
}

}  // namespace

}  // namespace tarvolin::tools

int main(int argc, char** argv) {
  namespace tools = tarvolin::tools;
  if (argc != 2) {
    std::cerr << "usage: tarvolin_make_docs <output folder>\n";
    return 2;
  }
  try {
    const std::string folder = argv[1];
    const std::vector<tools::TEntry> entries = tools::OptionEntries();
    {
      std::ofstream manual(folder + "/tarvolin.1", std::ios::binary);
      tools::WriteManual(manual, entries);
      manual.close();
      if (!manual) throw std::runtime_error("cannot write " + folder + "/tarvolin.1");
    }
    tools::WriteFile(folder + "/tarvolin.bash", tools::WriteBash, entries);
    tools::WriteFile(folder + "/_tarvolin", tools::WriteZsh, entries);
    tools::WriteFile(folder + "/tarvolin.fish", tools::WriteFish, entries);
  } catch (const std::exception& error) {
    std::cerr << "tarvolin_make_docs: " << error.what() << "\n";
    return 1;
  }
  return 0;
}
