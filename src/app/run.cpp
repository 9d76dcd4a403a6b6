// The run sequence.
#include "app/run.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "hash/sha2.h"
#include "platform/platform.h"

namespace tarvolin::app {

namespace {

std::string LowerCase(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

}  // namespace

int GenerateHashes(const std::vector<std::string>& arguments) {
  int exitCode = 0;
  hash::TSHA2_256 engine;
  for (const std::string& item : arguments) {
    const std::string digest =
        LowerCase(engine.HashText(item, &hash::TUTF8Encoding::Instance())->ToHex(false));
    const std::string line = digest + "  {Text}  " + item + platform::kLineEnd;
    std::fwrite(line.data(), 1, line.size(), stdout);
  }
  std::fflush(stdout);
  return exitCode;
}

}  // namespace tarvolin::app
