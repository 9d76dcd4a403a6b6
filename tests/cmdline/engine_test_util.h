// Helpers of the command-line engine tests: argument lists and a compact view of their status.
#pragma once

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "cmdline/params.h"
#include "platform/platform.h"
#include "platform/text_stream.h"
#include "support/test_support.h"

namespace tarvolin::test {

/// A status array over the given arguments, every record unexamined.
inline cmdline::TParamStatusArray ListOf(const std::vector<std::string>& arguments) {
  cmdline::TParamStatusArray list;
  for (const std::string& argument : arguments) {
    cmdline::TParamStatusRec record;
    record.Param = argument;
    list.push_back(record);
  }
  return list;
}

/// One word per argument: the status number followed by o (IsOption), v (IsValue) and
/// a (ValueAttached) when set, e.g. "2o 3v 4ova 5o 0".
inline std::string StatusOf(const cmdline::TParamStatusArray& list) {
  std::string text;
  for (const cmdline::TParamStatusRec& record : list) {
    if (!text.empty()) text += ' ';
    text += std::to_string(static_cast<int>(record.Status));
    if (record.IsOption) text += 'o';
    if (record.IsValue) text += 'v';
    if (record.ValueAttached) text += 'a';
  }
  return text;
}

/// A text stream over a scratch file, so that what the engine writes can be read back.
class TCapturedStream {
 public:
  TCapturedStream() : path_((dir_.Path() / "captured.txt").string()) {
    platform::TOutputHandle handle;
    std::string error;
    if (!handle.Open(path_, platform::TOutputHandle::TMode::Create, error)) {
      throw std::runtime_error("cannot capture: " + error);
    }
    stream_ = std::make_unique<platform::TTextStream>(std::move(handle), "captured", 0, false);
  }
  platform::TTextStream* Stream() { return stream_.get(); }
  /// Everything written so far, with the platform's line ends read back as "\n". Where the line
  /// end is CR LF, a bare LF shows as "<bare LF>", so a wrong line end still fails a test.
  std::string Text() {
    stream_->Flush();
    std::ifstream in(path_, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    const std::string raw = text.str();
    const std::string lineEnd = platform::kLineEnd;
    if (lineEnd == "\n") return raw;
    std::string lines;
    for (std::size_t i = 0; i < raw.size(); ++i) {
      if (raw.compare(i, lineEnd.size(), lineEnd) == 0) {
        lines += '\n';
        i += lineEnd.size() - 1;
      } else {
        lines += raw[i] == '\n' ? std::string("<bare LF>") : std::string(1, raw[i]);
      }
    }
    return lines;
  }

 private:
  TScratchDir dir_;
  std::string path_;
  std::unique_ptr<platform::TTextStream> stream_;
};

}  // namespace tarvolin::test
