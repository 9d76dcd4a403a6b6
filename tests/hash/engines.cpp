// Registry of the engines under test.
#include "hash/engines.h"

#include <algorithm>

#include "hash/blake2.h"
#include "hash/blake3.h"
#include "hash/md5.h"
#include "hash/murmurhash3.h"
#include "hash/sha1.h"
#include "hash/sha2.h"
#include "hash/sha3.h"
#include "hash/xxhash64.h"

namespace tarvolin::test {

template <typename T>
static hash::IHashPtr Create() {
  return std::make_shared<T>();
}

template <typename T>
static std::string KernelOf(const hash::IHash& engine) {
  return std::string(dynamic_cast<const T&>(engine).KernelName());
}

const std::vector<TEngineInfo>& AllEngines() {
  static const std::vector<TEngineInfo> engines = {
      {"MD5", "md5", Create<hash::TMD5>, KernelOf<hash::TMD5>},
      {"SHA1", "sha1", Create<hash::TSHA1>, KernelOf<hash::TSHA1>},
      {"SHA2_256", "sha256", Create<hash::TSHA2_256>, KernelOf<hash::TSHA2_256>},
      {"SHA2_384", "sha384", Create<hash::TSHA2_384>, KernelOf<hash::TSHA2_384>},
      {"SHA2_512", "sha512", Create<hash::TSHA2_512>, KernelOf<hash::TSHA2_512>},
      {"SHA3_256", "sha3_256", Create<hash::TSHA3_256>, KernelOf<hash::TSHA3_256>},
      {"SHA3_384", "sha3_384", Create<hash::TSHA3_384>, KernelOf<hash::TSHA3_384>},
      {"SHA3_512", "sha3_512", Create<hash::TSHA3_512>, KernelOf<hash::TSHA3_512>},
      {"Blake2S", "blake2s", Create<hash::TBlake2S>, KernelOf<hash::TBlake2S>},
      {"Blake2B", "blake2b", Create<hash::TBlake2B>, KernelOf<hash::TBlake2B>},
      {"Blake3", "", Create<hash::TBlake3>, KernelOf<hash::TBlake3>},
      {"XXHash64", "", Create<hash::TXXHash64>, KernelOf<hash::TXXHash64>},
      {"MurmurHash3_x86_128", "", Create<hash::TMurmurHash3_x86_128>},
      {"MurmurHash3_x64_128", "", Create<hash::TMurmurHash3_x64_128>},
  };
  return engines;
}

const std::vector<TEngineKernel>& AllEngineKernels() {
  static const std::vector<TEngineKernel> kernels = [] {
    std::vector<TEngineKernel> list;
    for (const TEngineInfo& engine : AllEngines()) {
      if (!engine.KernelOf) {
        list.push_back({&engine, platform::DetectedCpuLevel(), ""});
        continue;
      }
      std::vector<std::string> seen;
      for (const platform::TCpuLevel level : platform::AvailableCpuLevels()) {
        const TCpuLevelScope scope(level);
        std::string kernel = engine.KernelOf(*engine.Make());
        if (std::find(seen.begin(), seen.end(), kernel) != seen.end()) continue;
        seen.push_back(kernel);
        list.push_back({&engine, level, std::move(kernel)});
      }
    }
    return list;
  }();
  return kernels;
}

std::vector<TEngineKernel> KernelsOf(const std::string& section) {
  std::vector<TEngineKernel> list;
  for (const TEngineKernel& kernel : AllEngineKernels()) {
    if (kernel.Engine->Section == section) list.push_back(kernel);
  }
  return list;
}

hash::IHashPtr MakeEngine(const std::string& section) {
  for (const TEngineInfo& engine : AllEngines()) {
    if (engine.Section == section) return engine.Make();
  }
  return nullptr;
}

}  // namespace tarvolin::test
