// Registry of the engines under test.
#include "hash/engines.h"

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

const std::vector<TEngineInfo>& AllEngines() {
  static const std::vector<TEngineInfo> engines = {
      {"MD5", "md5", Create<hash::TMD5>},
      {"SHA1", "sha1", Create<hash::TSHA1>},
      {"SHA2_256", "sha256", Create<hash::TSHA2_256>},
      {"SHA2_384", "sha384", Create<hash::TSHA2_384>},
      {"SHA2_512", "sha512", Create<hash::TSHA2_512>},
      {"SHA3_256", "sha3_256", Create<hash::TSHA3_256>},
      {"SHA3_384", "sha3_384", Create<hash::TSHA3_384>},
      {"SHA3_512", "sha3_512", Create<hash::TSHA3_512>},
      {"Blake2S", "blake2s", Create<hash::TBlake2S>},
      {"Blake2B", "blake2b", Create<hash::TBlake2B>},
      {"Blake3", "", Create<hash::TBlake3>},
      {"XXHash64", "", Create<hash::TXXHash64>},
      {"MurmurHash3_x86_128", "", Create<hash::TMurmurHash3_x86_128>},
      {"MurmurHash3_x64_128", "", Create<hash::TMurmurHash3_x64_128>},
  };
  return engines;
}

hash::IHashPtr MakeEngine(const std::string& section) {
  for (const TEngineInfo& engine : AllEngines()) {
    if (engine.Section == section) return engine.Make();
  }
  return nullptr;
}

}  // namespace tarvolin::test
