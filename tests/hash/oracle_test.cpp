// Differential check against python3's hashlib on random data, as bytes and as files, at the
// sizes where padding and the 64 KiB read chunk change behaviour.
#include <gtest/gtest.h>

#include "hash/engines.h"
#include "support/test_support.h"

namespace tarvolin::test {
namespace {

TEST(Oracle, HashlibAgreesOnBytesAndFiles) {
  const std::vector<std::size_t> sizes = {
      0,   1,   55,  56,  63,  64,    65,    111,   112,     127,
      128, 129, 135, 136, 137, 65535, 65536, 65537, 3 << 20, (3 << 20) + 17};
  TScratchDir scratch;
  std::vector<std::pair<std::string, std::string>> requests;
  std::vector<std::pair<const TEngineInfo*, std::size_t>> cases;
  for (const std::size_t size : sizes) {
    const std::string file =
        scratch.WriteFile("data" + std::to_string(size), RandomBytes(size, size + 1));
    for (const TEngineInfo& engine : AllEngines()) {
      if (engine.PythonName.empty()) continue;
      requests.emplace_back(file, engine.PythonName);
      cases.emplace_back(&engine, size);
    }
  }
  const auto expected = PythonDigests(requests);
  if (!expected) GTEST_SKIP() << "SKIPPED LOUDLY: python3 with hashlib is not available";

  for (std::size_t i = 0; i < cases.size(); ++i) {
    const auto& [info, size] = cases[i];
    auto engine = info->Make();
    const Bytes data = RandomBytes(size, size + 1);
    EXPECT_EQ(ToHex(engine->HashBytes(data)->GetBytes()), (*expected)[i])
        << info->Section << " bytes, size " << size;
    EXPECT_EQ(ToHex(engine->HashFile(requests[i].first)->GetBytes()), (*expected)[i])
        << info->Section << " file, size " << size;
  }
}

}  // namespace
}  // namespace tarvolin::test
