// The engines under test, by the section names of the known-answer files.
#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "hash/hash.h"

namespace tarvolin::test {

struct TEngineInfo {
  std::string Section;     ///< name used in the known-answer files, e.g. "SHA2_256"
  std::string PythonName;  ///< hashlib's name, empty when hashlib has no such algorithm
  std::function<hash::IHashPtr()> Make;
  friend void PrintTo(const TEngineInfo& info, std::ostream* os) { *os << info.Section; }
};

/// Every engine of the program, in output order.
const std::vector<TEngineInfo>& AllEngines();

/// The engine for a known-answer section; null when none has that name.
hash::IHashPtr MakeEngine(const std::string& section);

}  // namespace tarvolin::test
