// Checksum listing lines: one line of any common listing layout read into its parts, and a
// line written back in the layout it came in.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "app/choices.h"

namespace tarvolin::app {

/// What one line of a listing holds.
enum class TListingLineKind : std::uint8_t {
  Comment,    ///< empty (blanks only), or its first non-blank character is ';' or '#'
  Checksum,   ///< a digest and a name
  NoDigest,   ///< our own line for a file without a digest: a NOHASH date or the denied marker
  Malformed,  ///< anything else
};

/// The layout a checksum line is written in.
enum class TListingLayout : std::uint8_t {
  /// Our own -f line: `HEX ?TAG*NAME`, the digest possibly padded with blanks (--all), possibly
  /// after a "{size} " field (-z) and an "ALGO: " prefix (-p).
  Own,
  /// `HEX  NAME`, `HEX *NAME` (coreutils, b2sum, b3sum, xxhsum; also our MD5 -f line, padded or
  /// not) or `HEX NAME` with one blank (-f -i, md5 -r).
  Untagged,
  /// `ALGO (NAME) = HEX` (sha*sum --tag, b2sum --tag, cksum -a, rhash --bsd).
  Bsd,
  /// `ALGO(NAME)= HEX` (openssl dgst).
  OpenSsl,
};

/// One line of a listing, read.
struct TListingLine {
  TListingLineKind Kind = TListingLineKind::Malformed;
  TListingLayout Layout = TListingLayout::Untagged;
  /// The algorithm the line's tag names; None when the line has no tag (its algorithm is then
  /// decided by the caller: the hash switch, or the digest's length).
  THashChoices Choice = THashChoices::None;
  /// Lower-case hex digits; empty for Comment, NoDigest and Malformed.
  std::string Hex;
  /// The file name, unescaped; empty for Comment and Malformed.
  std::string Name;
  /// The line was written in the escaped form (it started with a backslash).
  bool Escaped = false;
};

/// Reads one line. `line` is the line without its LF; a trailing CR is dropped, and so is a
/// UTF-8 byte-order mark when `firstLine`.
TListingLine ParseListingLine(std::string_view line, bool firstLine = false);

/// The choice an algorithm name of a tagged line names: compared without regard to ASCII case,
/// with '-', '_' and blanks ignored ("SHA256", "SHA2-256", "sha3-256", "BLAKE2b", "BLAKE2B-512",
/// "BLAKE2s256", "XXH64", our own names and tags...). Nothing for any other text and for None.
std::optional<THashChoices> ChoiceOfAlgorithmName(std::string_view name);

/// The algorithm an untagged line's digest length implies: 32 MD5, 40 SHA1, 64 SHA2_256,
/// 96 SHA2_384, 128 SHA2_512, 16 XXHash64; None for any other length.
THashChoices ChoiceOfHexLength(std::size_t length);

/// A Checksum or NoDigest line written back in its layout (escaped when its name holds a line
/// break or a backslash). Reading the result gives the same kind, choice, digest and name.
std::string RenderListingLine(const TListingLine& line);

}  // namespace tarvolin::app
