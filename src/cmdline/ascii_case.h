// ASCII letter case: the case rules of keywords, option lists and digest texts. Bytes outside
// A-Z and a-z, UTF-8 sequences included, are never changed.
#pragma once

#include <string>
#include <string_view>

namespace tarvolin::cmdline {

/// The character in upper case if it is an ASCII letter, otherwise unchanged.
char AsciiUpper(char c);
/// The text with its ASCII letters in upper case.
std::string AsciiUpperCase(std::string text);
/// The text with its ASCII letters in lower case.
std::string AsciiLowerCase(std::string text);
/// Equal without regard to ASCII letter case.
bool SameAsciiText(std::string_view a, std::string_view b);

}  // namespace tarvolin::cmdline
