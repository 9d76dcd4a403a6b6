// The help text. Lines are written as they stand, with {NAME}, {FILE}, {PATH}, {FOLDER} and
// {SUMMARY} filled in from the version record and the run settings. The manual page and the
// shell completions are generated from the same lines (`HelpTexts`).
#include "app/help.h"

#include <string>

#include "app/options.h"
#include "cmdline/banner.h"
#include "cmdline/params.h"
#include "cmdline/screen.h"
#include "platform/platform.h"

namespace tarvolin::app {

namespace {

// clang-format off
// CMD SYNTAX:
constexpr const char* kCmdSyntax[] = {
    " {NAME} [hash(es)] [options] [-L|--list] <items_to_be_hashed>",
    " {NAME} [--mh3][--xx64][--blk3][--blk2][--sha3][--sha2][--sha1][--md5][--all] [-v] [-b] [-c] [-z] [-p] [-i] [-u [X:\\SummaryFile]] [-o <X:\\UserSelectedFile> [-a] [-t]] [-L] <filename | text> [filename | text] ... ",
    "",
    " {NAME} [hash(es)|-n] [options] <-d|--dir> <drive_path> [wildcards_to_hash]",
    " {NAME} [--mh3][--xx64][--blk3][--blk2][--sha3][--sha2][--sha1][--md5][--all] [-v] [-b] [-c] [-z] [-s] [-m <size_in_bytes>] [-i] [-p] [-w] [-f] [-u [X:\\SummaryFile]] [-o <X:\\UserSelectedFile> [-a] [-t]] [-e <X:\\ExceptionList>] <[-r] -d x:\\folder_to_search> [wildcard] [wildcard] ... ",
    "",
    " {NAME} [hash(es)] [options] <-k|--compare> <file1> <file2>",
    " {NAME} [--mh3][--xx64][--blk3][--blk2][--sha3][--sha2][--sha1][--md5][--all] [-v] [-b] [-o <X:\\UserSelectedFile> [-a] [-t]] [-k <X:\\FirstFile> <X:\\SecondFile>]",
    "",
};
// CHECK mode's syntax: in the full help only.
constexpr const char* kCheckSyntax[] = {
    " {NAME} [one hash] [-v] [-b] [-c] [--quiet] [-u [X:\\SummaryFile]] [-o <X:\\UserSelectedFile> [-a] [-t]] <--check|--verify> <listing | -> [listing] ... [[-e <X:\\ExceptionList>] [-m <size_in_bytes>] [-r] -d x:\\folder_to_audit [wildcard] ...]",
    "",
};
constexpr const char* kHelpSyntax[] = {
    " {NAME} [-h|-?|--h2|--??] [-v]",
    " {NAME} [--Info|--Version-Only]",
    "",
};
// OPTION DEFINITIONS: every option row needs a line here or in kErrorOptionLines (the manual
// page is made from them).
constexpr const char* kOptionDefinitions[] = {
    " -5, --md5 ................. Generate MD5 hashes",
    " -1, --sha1 ................ Generate SHA1 hashes",
    " -2, --sha2, --sha256 ...... Generate SHA2_256 hashes  ***DEFAULT***",
    "     --384,  --sha384 ...... Generate SHA2_384 hashes",
    "     --512,  --sha512 ...... Generate SHA2_512 hashes",
    " -3, --sha3, --sha3_256 .... Generate SHA3_256 hashes",
    "             --sha3_384 .... Generate SHA3_384 hashes",
    "             --sha3_512 .... Generate SHA3_512 hashes",
    "     --blk2, --blake2 ...... Generate Blake2B_512 hashes (on x64)",
    "             --blake2s ..... Generate Blake2S_256 hashes (optimized for x86)",
    "             --blake2b ..... Generate Blake2B_512 hashes (optimized for x64)",
    "     --blk3, --blake3 ...... Generate Blake3_256 hashes",
    "     --xx64, --xxhash64 .... Generate XXHash64 hashes",
    "     --mh3, --murmurhash3 .. Generate MurmurHash3_x64_128 hashes (on x64)",
    "     --murmurhash3_x86 ..... Generate MurmurHash3_128 hashes (optimized for x86)",
    "     --murmurhash3_x64 ..... Generate MurmurHash3_128 hashes (optimized for x64)",
    " -@, --all ................. Generate all hashes (cryptographic and non-cryptographic)",
    " -n, --nohash .............. Display the selected file's date/time info in place of a hash",
    " -f, --fsum ................ Write one checksum-file line per file (hash, tag and relative name)",
    " -l, --list ................ Generate hashes of individual files and/or text strings  ***DEFAULT***",
    " -d, --dir ................. Generate selected hash(es) for all files in this folder",
    " -r, --rdir ................ Generate selected hash(es) for all files in this tree",
    " -e, --exc ................. Provide a filename containing list of exclusions, one entry per line",
    " -u, --summary ............. Provide a filename for writing the summary output to",
    " -o, --out ................. Provide a filename for writing the output to",
    " -a, --append .............. Append to the output file, rather than overwriting it",
    " -t, --tee ................. Send to the output file in addition to StdOut (normally, the screen)",
    " -k, --compare ............. Compare two files to determine if they have the same hash",
    "     --check, --verify ..... Check the files named in checksum listing(s) against their hashes; with -d, audit that folder too",
    "     --quiet ............... With --check, display only the files that are not OK",
    " -s, --simple .............. Display only the hash and the filename with full path",
    " -i, --hidepath ............ Display only the hash and the basic filename",
    " -z, --size ................ Display file size in addition to hash and name -- for archive scripts",
    " -m, --maxsize ............. Exclude files larger than xxx bytes from being hashed in -D mode",
    " -j, --threads ............. Hash files on this many threads (default: every usable processor); one file with one algorithm other than BLAKE3 is read on one thread",
    "     --no-progress ......... Show no progress line (otherwise shown on a terminal's StdErr when a run takes over half a second)",
    " -w, --showzero ............ Send \"No Files Found in\" error to StdOut vs StdErr if no files are found",
    " -c, --count ............... Display total number of processed items",
    " -p, --prefix .............. Display prefix hash identifier",
    " -b, --banner .............. Display banner information on each program execution",
    " -v, --verbose, --build .... Display extended build information, plus application exit/return codes",
    " -h, --help, -? ............ Display this help message.",
    "     --h2, --??, --help2 ... Display extended help information, plus exit/return codes.",
    "     --info ................ Display banner and build information, then exit.",
    "     --version-only ........ Display build information without banner, then exit.",
    "     --version ............. Display the program name and version, then build information, on StdOut, then exit.",
};
// SYNTAX EXAMPLES:
constexpr const char* kSyntaxExamples[] = {
    " {NAME} --help",
    " {NAME} --md5 SomeText",
    " {NAME} \"{PATH}\"",
    " {NAME} \"any string of text\"  AnyFile.dll",
    " {NAME} --sha1 \"C:\\Temp\\SomeFile.exe\"  \"{FILE}\"",
    " {NAME} --all \"string of text\"  SomeFile.TXT  \"more text\"  OtherFile.DAT  {FILE}",
    " {NAME} --md5 -s -m \"200,000,000\" --dir \"D:\\CheckHere\" *.BAT *.CMD",
    " {NAME} --sha1 -c --fsum -d \"F:\\LikeFSUM\" *.EXE *.DLL",
    " {NAME} --sha2 --hidepath -f -r -d \"G:\\FileNameOnly\" *.EXE *.TXT",
    " {NAME} --compare \"C:\\Test\\OldFile.exe\" \"C:\\Test\\NewFile.exe\"",
    " {NAME} --sha256 --sha3_384 -r -d \"{FOLDER}\" *.EXE *.DLL",
    " {NAME} --sha1 --md5 -e \"C:\\SkipThese.TXT\" -r -d \"F:\\ThatFolder\" *.EXE *.SYS",
    " {NAME} --sha2 -z -u \"C:\\Temp\\Summary.TXT\" -r -d \"E:\\MyBackups\" *",
    " {NAME} --sha3 -o \"C:\\MyLogs\\ThisLog.TXT\" -r -d \"H:\\OtherFolder\" *",
    " {NAME} --Blake3 -s -f -a -w -o \"D:\\ThatLog.TXT\" -r -d \"E:\\MyData\" *.DLL",
    " {NAME} -c --check \"E:\\MyBackups.SHA256\" -r -d \"E:\\MyBackups\"",
    "",
};
// GENERAL USAGE NOTES:
constexpr const char* kGeneralNotes[] = {
    " * Entering {NAME} with no parameters will display this help message.",
    " * Parameters surrounded by <> are mandatory; Those surrounded by [] are optional.",
    " * Parameters are case-insensitive, but may be shown in uppercase for clarity.",
    " * Single-character parameters (e.g. -h) can be prefaced by \"-\" or \"/\".",
    " * Multi-character parameters (e.g. --help) should be prefaced by \"--\".",
    " * All parameters need to be separated from each other by at least one space.",
    " * The -H, --?? --Version-Only and --Info parameters supersede all other options -- in that order.",
    " * The -V parameter causes application build mode info to be shown whenever the banner is shown.",
    " * Combining -H/-? and -V will display extended help info plus application exit/return codes.",
    " * The --?? parameter behaves like the -H/-? and -V parameters combined.",
    " * The --Info parameter will ONLY show the banner, with build info, and quit.  It will process no other data.",
    " * The --Version-Only parameter behaves like the --Info parameter, but without showing the banner.",
    " * The --Version parameter ranks after --Version-Only and before --Info; it writes to StdOut.",
    " * The application banner is only displayed when Help Syntax is displayed, or when -B is used.",
    "",
};
// APP SPECIFIC USAGE NOTES:
constexpr const char* kAppNotes[] = {
    " * Long filenames, path names, and text input should be enclosed in \"\".",
    " * When conflicting parameters are used on the same line, the later options take",
    "   precedence over the earlier selections.",
    " * BLAKE3 is the default algorithm for the file comparison (-K) operations.",
    " * SHA2_256 is the default algorithm for all other operations.",
    " * All desired options must be provided before directory name and file specs.",
    " * In LIST mode (-L), files without full path are checked in current directory, only.",
    " * In LIST mode (-L), any file not found will generate the hash of the string itself.",
    " * In DIR mode (-D), wildcard specifications must be the last parameters on a line.",
    " * In COMPARE mode (-K), two valid filenames must be provided.",
    " * Review the syntax carefully, as not all options are available in all modes.",
    " * The number used with -M can have commas or periods as thousands separators.",
    " * The -V parameter implies -B, and will cause the banner to be displayed.",
    " * The -R parameter is ignored if there is no -D parameter found.",
    " * If the -K parameter is found, any -D and -L parameters found will be ignored.",
    " * If the -D paramater is found, any -L parameter found will be ignored.",
    " * When using multiple options with -L, it is best if -L is the final parameter.",
    " * To generate multiple hashes for each file or text, use multiple hash options.",
    " * Using -S or -I will affect -B, -V, --ALL and --FSUM output, but not -C output.",
    " * Using --NOHASH (-N) will override any other hash selection, including --ALL and",
    "   is only valid in conjuction with DIR mode (-D).",
    " * If multiple hashes are selected, the hash prefix (name) will always be shown.",
    " * The -P parameter will modify all output, including -K, -S, -I and --FSUM output.",
    " * Exclusion parameters will be matched against full path. -E must accompany -D.",
    " * Excluded file/folder names (-E) take precedence over included file/folder names.",
    " * -U will generate a summary file containing success, total and error counts,",
    "   as well as TRUE if the processing was aborted, vs FALSE if it completed normally.",
    " * If no filename is supplied for -U, then the following filename will be attempted: ",
    "   \"{SUMMARY}\".",
    " * The \"Unfiltered\" count refers to the total files if no exclusion list were used.",
    " * If -W is used, any \"No Files Found in\" error will be sent to StdOut instead of StdErr.",
    " * This HELP info will always be sent to the console, even when -o is used.  It can",
    "   be redirected using the standard redirection syntax (i.e. \"> somefilename\")",
    "",
};
// SUPPORTED HASH ALGORITHMS:
constexpr const char* kAlgorithms[] = {
    " * Secure Cryptographic Algorithms ..... SHA2 [256,384,512], SHA3 [256,384,512], BLAKE2S, BLAKE2B, BLAKE3",
    " * InSecure Cryptographic Algorithms ... MD5, SHA1",
    " * Non-Cryptographic Algorithms ........ XXHash64, MurmurHash3_128 [x86,x64]",
    " * Here is the full List of valid hash algorithm parameters:",
    "   * NONE .................. --NOHASH, -N",
    "   * MD5 ................... --MD5,    -5",
    "   * SHA1 .................. --SHA1,   -1",
    "   * SHA2_256 .............. --SHA256, --SHA2_256, --SHA2, -2",
    "   * SHA2_384 .............. --SHA384, --SHA2_384",
    "   * SHA2_512 .............. --SHA512, --SHA2_512",
    "   * SHA3_256 .............. --SHA3_256, --SHA3, -3",
    "   * SHA3_384 .............. --SHA3_384",
    "   * SHA3_512 .............. --SHA3_512",
    "   * Blake2S ............... --BLAKE2S",
    "   * Blake2B ............... --BLAKE2B, --BLAKE2, --BLK2",
    "   * Blake3 ................ --BLAKE3, --BLK3",
    "   * XXHash64 .............. --XXHASH64, --XX64",
    "   * MurmurHash3_x86_128 ... --MURMURHASH3_X86, --MURMURHASH3_X86_128",
    "   * MurmurHash3_x64_128 ... --MURMURHASH3_X64, --MURMURHASH3_X64_128, --MURMURHASH3_128, --MURMURHASH3, --MH3",
    "",
};
// HASH SPECIFIC NOTES:
constexpr const char* kHashNotes[] = {
    " * MAJOR CHANGE: -3 and --SHA3 now return SHA3_256 hashes, rather than SHA3_384 hashes.",
    " * MAJOR CHANGE: --SHA384 now returns SHA2_384 hashes, rather than SHA3_384 hashes.",
    " * XXHash64 is a very fast, but non-cryptographic hash. Useful non-secure hashing roles.",
    " * MurmurHash3 (also --mh3) is another pretty fast, non-cryptographic hash.",
    " * Non-cryptographic hashes are desirable where speed is more important than",
    "   security, such as with basic file comparisons, and generic file integrity",
    "   on non-critical systems (or systems not subject to compliance regulations.",
    " * The x64 optimized implementation of Blake2 (Blake2B) produces different",
    "   output than the x86 optimized version (Blake2S) does.",
    " * The x64 implementation of MurmurHash3_128 produces different output than",
    "   the x86 implementation does.",
    " * To avoid ambiguity when using these algorithms, you are encouraged to use",
    "   the more explicit parameters, such as --MurmurHash3_x64, --MurmurHash3_x86,",
    "   --Blake2B, and -Blake2S, rather than the generic --Blake2 or --MH3.",
    " * The specific algorithms chosen for --MH3 and --BLAKE2 depend upon whether",
    "   or not you are running the x64 or x86 edition of {NAME}.",
    "",
};
// EXIT/RETURN CODES:
constexpr const char* kExitCodes[] = {
    " * Exit/Return Codes will be generated for the following conditions:",
    "      0 - Command Completed Successfully",
    "     64 - Missing Necessary/Essential Parameters",
    "     66 - Mismatched Parameters Used",
    "     70 - A valid filename was not provided at the command-line",
    "     71 - Unable to open the filename provided",
    "     72 - Unable to write to the output file provided",
    "     73 - Could not obtain file version info",
    "     74 - File does not contain any/legitimate resource information",
    "    100 - A valid folder was not provided with the -d parameter",
    "    101 - A valid exception file was not provided with the -e parameter",
    "    102 - A valid output file was not provided with the -o parameter",
    "    103 - Unable to open the exception list file",
    "    105 - Unable to write to the summary file provided",
    "    106 - A checked file failed, or is missing, unreadable, new or moved (--check)",
    "    107 - A checksum listing could not be read, or holds no checksum line (--check)",
    "    252 - Processing was aborted with CTRL-C or CTRL-BREAK",
    "    255 - Syntax Help Requested",
};

constexpr const char* kErrorOptionLines[] = {
    "     --audible-error ....... Enable a beep on syntax error.",
    "     --error-delay ......... Enable a ~7 second delay on syntax error.",
    "     --debug-mode .......... Enable debug mode, which includes enabling Audible Error and Error Delay.",
};

// clang-format on

std::string Fill(const std::string& line) {
  const cmdline::TFileVersionInfoRec& info = cmdline::VersionInfo;
  return FillHelpLine(line, {.Name = info.BaseName,
                             .File = info.FileName,
                             .Path = platform::ProgramPath(),
                             .Folder = info.FileDir,
                             .Summary = RunSettings.DefaultSummaryFile});
}

void WriteLines(std::span<const char* const> lines) {
  for (const char* line : lines) cmdline::ConsoleOut->WriteLine(Fill(line));
}

void Heading(const std::string& title) {
  cmdline::WriteDashLine(static_cast<std::int32_t>(title.size()), false);
  cmdline::ConsoleOut->WriteLine(title);
  cmdline::WriteDashLine(static_cast<std::int32_t>(title.size()), false);
}

}  // namespace

std::string FillHelpLine(std::string_view line, const THelpPlaceholders& values) {
  static constexpr std::string_view kNames[] = {"{NAME}", "{FILE}", "{PATH}", "{FOLDER}",
                                                "{SUMMARY}"};
  const std::string* fills[] = {&values.Name, &values.File, &values.Path, &values.Folder,
                                &values.Summary};
  std::string out;
  for (std::size_t i = 0; i < line.size();) {
    std::size_t which = 0;
    while (which < std::size(kNames) && !line.substr(i).starts_with(kNames[which])) ++which;
    if (which < std::size(kNames)) {
      out += *fills[which];
      i += kNames[which].size();
    } else {
      out += line[i++];
    }
  }
  return out;
}

const THelpTexts& HelpTexts() {
  static const THelpTexts kTexts = {
      .CmdSyntax = kCmdSyntax,
      .CheckSyntax = kCheckSyntax,
      .HelpSyntax = kHelpSyntax,
      .OptionDefinitions = kOptionDefinitions,
      .ErrorOptionLines = kErrorOptionLines,
      .SyntaxExamples = kSyntaxExamples,
      .GeneralNotes = kGeneralNotes,
      .AppNotes = kAppNotes,
      .Algorithms = kAlgorithms,
      .HashNotes = kHashNotes,
      .ExitCodes = kExitCodes,
  };
  return kTexts;
}

void ShowHelp(bool brief) {
  Heading("CMD SYNTAX:");
  WriteLines(kCmdSyntax);
  if (!brief) WriteLines(kCheckSyntax);
  WriteLines(kHelpSyntax);
  if (brief) {
    const std::string& name = cmdline::VersionInfo.BaseName;
    cmdline::ConsoleOut->WriteLine("For more details, please type: " + name + " -? OR " + name +
                                   " --??");
    return;
  }
  const bool extended = cmdline::VerboseSwitch.Found;
  Heading("OPTION DEFINITIONS:");
  WriteLines(kOptionDefinitions);
  if (extended) WriteLines(kErrorOptionLines);
  cmdline::ConsoleOut->WriteLine("");
  Heading("SYNTAX EXAMPLES:");
  WriteLines(kSyntaxExamples);
  if (!extended) return;
  Heading("GENERAL USAGE NOTES:");
  WriteLines(kGeneralNotes);
  Heading("APP SPECIFIC USAGE NOTES:");
  WriteLines(kAppNotes);
  Heading("SUPPORTED HASH ALGORITHMS:");
  WriteLines(kAlgorithms);
  Heading("HASH SPECIFIC NOTES:");
  WriteLines(kHashNotes);
  Heading("EXIT/RETURN CODES:");
  WriteLines(kExitCodes);
}

}  // namespace tarvolin::app
