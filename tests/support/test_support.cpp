// Test helpers.
#include "support/test_support.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace tarvolin::test {

namespace fs = std::filesystem;

TScratchDir::TScratchDir() {
  std::random_device device;
  for (int attempt = 0; attempt < 100; ++attempt) {
    const fs::path candidate =
        fs::temp_directory_path() / ("tarvolin-test-" + std::to_string(device()));
    if (fs::create_directory(candidate)) {
      path_ = candidate;
      return;
    }
  }
  throw std::runtime_error("cannot create a scratch folder");
}

TScratchDir::~TScratchDir() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

fs::path Utf8Path(const std::string& text) {
  return fs::path(std::u8string(text.begin(), text.end()));
}

std::string TScratchDir::WriteFile(const std::string& name, const Bytes& data) const {
  const fs::path file = path_ / Utf8Path(name);
  std::ofstream out(file, std::ios::binary);
  out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
  if (!out) throw std::runtime_error("cannot write " + file.string());
  return file.string();
}

Bytes RandomBytes(std::size_t size, std::uint64_t seed) {
  Bytes out(size);
  std::uint64_t state = seed;
  for (std::size_t i = 0; i < size; ++i) {
    // splitmix64, one byte per step is plenty fast for test data
    state += 0x9e3779b97f4a7c15ULL;
    std::uint64_t z = state;
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    out[i] = static_cast<std::uint8_t>(z ^ (z >> 31));
  }
  return out;
}

std::string ToHex(const Bytes& bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  for (const std::uint8_t b : bytes) {
    text += kDigits[b >> 4];
    text += kDigits[b & 15];
  }
  return text;
}

Bytes FromHex(const std::string& hex) {
  Bytes out;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
    out.push_back(static_cast<std::uint8_t>(std::stoul(hex.substr(i, 2), nullptr, 16)));
  }
  return out;
}

Bytes BytesOf(const std::string& text) {
  return Bytes(text.begin(), text.end());
}

std::string NumberedName(const std::string& prefix, std::size_t number) {
  std::string name = prefix;
  name += std::to_string(number);
  return name;
}

std::optional<std::string> RunCommand(const std::string& command) {
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return std::nullopt;
  std::string output;
  std::array<char, 4096> chunk{};
  std::size_t n;
  while ((n = std::fread(chunk.data(), 1, chunk.size(), pipe)) > 0) output.append(chunk.data(), n);
  if (pclose(pipe) != 0) return std::nullopt;
  return output;
}

bool HaveProgram(const std::string& name) {
  return RunCommand("command -v " + name + " >/dev/null 2>&1").has_value();
}

std::optional<std::vector<std::string>> PythonDigests(
    const std::vector<std::pair<std::string, std::string>>& fileAlgorithmPairs) {
  if (!HaveProgram("python3")) return std::nullopt;
  TScratchDir scratch;
  std::string list;
  for (const auto& [file, algorithm] : fileAlgorithmPairs) list += algorithm + "\t" + file + "\n";
  const std::string listFile = scratch.WriteFile("list.txt", BytesOf(list));
  const std::string script =
      "import hashlib,sys\n"
      "for line in open(sys.argv[1]):\n"
      "    alg, name = line.rstrip('\\n').split('\\t', 1)\n"
      "    h = hashlib.new(alg)\n"
      "    with open(name, 'rb') as f:\n"
      "        for block in iter(lambda: f.read(1 << 20), b''):\n"
      "            h.update(block)\n"
      "    print(h.hexdigest())\n";
  const std::string scriptFile = scratch.WriteFile("oracle.py", BytesOf(script));
  const auto output = RunCommand("python3 '" + scriptFile + "' '" + listFile + "'");
  if (!output) return std::nullopt;
  std::vector<std::string> digests;
  std::istringstream lines(*output);
  for (std::string line; std::getline(lines, line);) digests.push_back(line);
  if (digests.size() != fileAlgorithmPairs.size()) return std::nullopt;
  return digests;
}

std::vector<TVectorRecord> ReadVectorFolder(const fs::path& folder) {
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(folder)) {
    if (entry.path().extension() == ".vec") files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  std::vector<TVectorRecord> records;
  for (const fs::path& file : files) {
    std::ifstream in(file);
    std::string section;
    TVectorRecord current;
    int lineNumber = 0;
    for (std::string line; std::getline(in, line);) {
      ++lineNumber;
      if (line.empty() || line[0] == '#') continue;
      if (line.front() == '[' && line.back() == ']') {
        section = line.substr(1, line.size() - 2);
        current = {};
        continue;
      }
      const auto eq = line.find(" =");
      if (eq == std::string::npos) throw std::runtime_error(file.string() + ": bad line " + line);
      const std::string key = line.substr(0, eq);
      std::string value = line.substr(eq + 2);
      if (!value.empty() && value[0] == ' ') value.erase(0, 1);
      if (current.Fields.empty()) current.Line = lineNumber;
      current.Fields[key] = value;
      if (key == "Out") {
        current.Section = section;
        current.File = file.filename().string();
        records.push_back(current);
        current = {};
      }
    }
  }
  return records;
}

Bytes RecordInput(const TVectorRecord& record) {
  Bytes one;
  if (auto in = record.Fields.find("In"); in != record.Fields.end()) one = FromHex(in->second);
  if (auto text = record.Fields.find("Text"); text != record.Fields.end())
    one = BytesOf(text->second);
  std::size_t repeat = 1;
  if (auto r = record.Fields.find("Repeat"); r != record.Fields.end())
    repeat = std::stoul(r->second);
  Bytes all;
  all.reserve(one.size() * repeat);
  for (std::size_t i = 0; i < repeat; ++i) all.insert(all.end(), one.begin(), one.end());
  return all;
}

fs::path TestDataDir() {
  return fs::path(TARVOLIN_TEST_DATA_DIR);
}

}  // namespace tarvolin::test
