// Fuzz target of the hash engines: any input, split any way, gives the one-shot digest.
//
// Input: one engine byte (which of the fourteen engines, and whether a key, a shorter digest
// or a clone is tried), one key-length byte and that many key bytes, one split-count byte and
// that many 16-bit piece lengths, then the message. Every engine must give the same digest for
// the whole message at once, for the pieces fed one by one, for a clone taken between pieces,
// for a memory stream read with an odd buffer size, and again when reused.
#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "hash/blake2.h"
#include "hash/blake3.h"
#include "hash/md5.h"
#include "hash/murmurhash3.h"
#include "hash/sha1.h"
#include "hash/sha2.h"
#include "hash/sha3.h"
#include "hash/stream.h"
#include "hash/xxhash64.h"

namespace {

using namespace tarvolin;
using hash::Bytes;
using hash::ByteSpan;
using hash::IHashPtr;

/// One engine, configured from the key bytes where the family takes a key.
IHashPtr MakeEngine(std::uint8_t which, const Bytes& key, bool keyed, std::uint8_t size) {
  switch (which % 14) {
    case 0:
      return std::make_shared<hash::TMD5>();
    case 1:
      return std::make_shared<hash::TSHA1>();
    case 2:
      return std::make_shared<hash::TSHA2_256>();
    case 3:
      return std::make_shared<hash::TSHA2_384>();
    case 4:
      return std::make_shared<hash::TSHA2_512>();
    case 5:
      return std::make_shared<hash::TSHA3_256>();
    case 6:
      return std::make_shared<hash::TSHA3_384>();
    case 7:
      return std::make_shared<hash::TSHA3_512>();
    case 8: {
      if (!keyed) return std::make_shared<hash::TBlake2S>();
      auto config = std::make_shared<hash::TBlake2SConfig>(1 + size % 32);
      if (!key.empty()) config->SetKey(ByteSpan(key.data(), std::min<std::size_t>(key.size(), 32)));
      return std::make_shared<hash::TBlake2S>(config);
    }
    case 9: {
      if (!keyed) return std::make_shared<hash::TBlake2B>();
      auto config = std::make_shared<hash::TBlake2BConfig>(1 + size % 64);
      if (!key.empty()) config->SetKey(ByteSpan(key.data(), std::min<std::size_t>(key.size(), 64)));
      return std::make_shared<hash::TBlake2B>(config);
    }
    case 10: {
      if (!keyed) return std::make_shared<hash::TBlake3>();
      Bytes key32(32);
      std::copy_n(key.begin(), std::min<std::size_t>(key.size(), 32), key32.begin());
      return std::make_shared<hash::TBlake3>(1 + size, key32);
    }
    case 11: {
      auto engine = std::make_shared<hash::TXXHash64>();
      if (keyed) engine->SetKey(ByteSpan(key.data(), std::min<std::size_t>(key.size(), 8)));
      return engine;
    }
    case 12: {
      auto engine = std::make_shared<hash::TMurmurHash3_x86_128>();
      if (keyed) engine->SetKey(ByteSpan(key.data(), std::min<std::size_t>(key.size(), 4)));
      return engine;
    }
    default: {
      auto engine = std::make_shared<hash::TMurmurHash3_x64_128>();
      if (keyed) engine->SetKey(ByteSpan(key.data(), std::min<std::size_t>(key.size(), 4)));
      return engine;
    }
  }
}

std::string Hex(const hash::IHashResultPtr& result) {
  return result->ToHex(false);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::TInput input(data, size);
  const std::uint8_t which = input.Byte();
  const bool keyed = (which & 0x20) != 0;
  const bool cloneMidway = (which & 0x40) != 0;
  const std::uint8_t digestSize = input.Byte();
  const std::string_view keyText = input.Bytes(input.Byte() % 65);
  const Bytes key(keyText.begin(), keyText.end());
  std::vector<std::size_t> pieces(input.Byte() % 32);
  for (std::size_t& piece : pieces) piece = input.Word();
  const std::string_view messageText = input.Rest();
  const Bytes message(messageText.begin(), messageText.end());

  IHashPtr engine;
  try {
    engine = MakeEngine(which & 0x1F, key, keyed, digestSize);
  } catch (const hash::EHashError&) {
    return 0;  // a key the family refuses (for example a key of the wrong length)
  }
  const std::string name = engine->Name();
  const std::string expected = Hex(engine->HashBytes(message));

  // The pieces one by one; the rest of the message in one last piece.
  engine->Initialize();
  std::size_t at = 0;
  IHashPtr clone;
  std::size_t cloneAt = 0;
  for (std::size_t k = 0; k < pieces.size() && at < message.size(); ++k) {
    const std::size_t n = std::min(pieces[k], message.size() - at);
    engine->UpdateRange(message, at, n);
    at += n;
    if (cloneMidway && !clone && k == pieces.size() / 2) {
      try {
        clone = engine->Clone();
        cloneAt = at;
      } catch (const hash::ENotImplementedError&) {
      }
    }
  }
  engine->UpdateBytesFrom(message, at);
  FUZZ_CHECK(Hex(engine->Final()) == expected, name + " in pieces");

  if (clone) {
    clone->UpdateBytesFrom(message, cloneAt);
    FUZZ_CHECK(Hex(clone->Final()) == expected, name + " clone");
  }

  // A memory stream with an odd chunk size, then the engine reused for a text.
  engine->SetBufferSize(1 + static_cast<std::int32_t>(digestSize) * 7);
  hash::TMemoryStream stream(message);
  FUZZ_CHECK(Hex(engine->HashStream(&stream, -1)) == expected, name + " stream");
  FUZZ_CHECK(Hex(engine->HashMemory(message.data(), static_cast<std::int64_t>(message.size()))) ==
                 expected,
             name + " memory");
  const std::string text(messageText);
  FUZZ_CHECK(Hex(engine->HashText(text, &hash::TUTF8Encoding::Instance())) == expected,
             name + " text");
  return 0;
}
