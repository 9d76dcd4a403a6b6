// BLAKE2s and BLAKE2b beyond the default engines: keyed, salted, personalised and tree-node
// hashing against stored answers with every kernel, the kernels' counter and flags, the
// configuration checks and configuration independence.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <vector>

#include "hash/blake2.h"
#include "hash/engines.h"
#include "support/test_support.h"

namespace tarvolin::test {
namespace {

using hash::THashErrorKind;

std::string Field(const TVectorRecord& record, const std::string& name) {
  const auto it = record.Fields.find(name);
  return it == record.Fields.end() ? std::string() : it->second;
}

/// The engine a parameter record describes.
template <typename P>
hash::IHashPtr MakeConfigured(const TVectorRecord& record) {
  std::shared_ptr<hash::TBlake2Config<P>> config;
  if (const std::string size = Field(record, "HashSize"); !size.empty()) {
    config = std::make_shared<hash::TBlake2Config<P>>(std::stoi(size));
  } else {
    config = std::make_shared<hash::TBlake2Config<P>>();
  }
  config->SetKey(FromHex(Field(record, "Key")));
  config->SetSalt(FromHex(Field(record, "Salt")));
  config->SetPersonalisation(FromHex(Field(record, "Personalisation")));
  std::shared_ptr<hash::TBlake2TreeConfig<P>> tree;
  if (record.Fields.count("FanOut") != 0) {
    tree = std::make_shared<hash::TBlake2TreeConfig<P>>();
    tree->SetFanOut(static_cast<std::uint8_t>(std::stoul(Field(record, "FanOut"))));
    tree->SetMaxDepth(static_cast<std::uint8_t>(std::stoul(Field(record, "MaxDepth"))));
    tree->SetLeafSize(static_cast<std::uint32_t>(std::stoul(Field(record, "LeafSize"))));
    tree->SetNodeOffset(std::stoull(Field(record, "NodeOffset")));
    tree->SetNodeDepth(static_cast<std::uint8_t>(std::stoul(Field(record, "NodeDepth"))));
    tree->SetInnerHashSize(static_cast<std::uint8_t>(std::stoul(Field(record, "InnerHashSize"))));
    tree->SetIsLastNode(Field(record, "IsLastNode") == "1");
  }
  return std::make_shared<hash::TBlake2<P>>(config, tree, true);
}

std::vector<TVectorRecord> ConfiguredRecords() {
  std::vector<TVectorRecord> records;
  for (auto& record : ReadVectorFolder(TestDataDir() / "hash" / "vectors")) {
    if (record.Section.starts_with("Blake2") && record.Section.find('_') != std::string::npos) {
      records.push_back(record);
    }
  }
  return records;
}

/// Hashes a record's input whole, byte by byte and cloned half way.
void ExpectRecord(hash::IHash& engine, const TVectorRecord& record) {
  const Bytes input = RecordInput(record);
  const std::string expected = record.Fields.at("Out");

  EXPECT_EQ(ToHex(engine.HashBytes(input)->GetBytes()), expected);

  // Byte by byte: the key block and every full block must wait for the next byte.
  engine.Initialize();
  for (std::size_t i = 0; i < input.size(); ++i) engine.UpdateRange(input, i, 1);
  EXPECT_EQ(ToHex(engine.Final()->GetBytes()), expected);

  // Cloned half way: both finish the same message, and the engine is reusable afterwards.
  engine.Initialize();
  engine.UpdateRange(input, 0, input.size() / 2);
  auto clone = engine.Clone();
  clone->UpdateRange(input, input.size() / 2, input.size() - input.size() / 2);
  engine.UpdateRange(input, input.size() / 2, input.size() - input.size() / 2);
  EXPECT_EQ(ToHex(clone->Final()->GetBytes()), expected);
  EXPECT_EQ(ToHex(engine.Final()->GetBytes()), expected);
  EXPECT_EQ(ToHex(engine.HashBytes(input)->GetBytes()), expected);
}

class Blake2Configured : public ::testing::TestWithParam<TVectorRecord> {};

/// The kernel name of a BLAKE2 engine.
std::string KernelName(const hash::IHash& engine) {
  if (const auto* s = dynamic_cast<const hash::TBlake2S*>(&engine))
    return std::string(s->KernelName());
  return std::string(dynamic_cast<const hash::TBlake2B&>(engine).KernelName());
}

TEST_P(Blake2Configured, WholeInPiecesAndCloned) {
  // Once for each kernel this CPU has: keys, tree parameters and the last-node flag reach every
  // kernel.
  std::vector<std::string> seen;
  for (const platform::TCpuLevel level : platform::AvailableCpuLevels()) {
    const TCpuLevelScope scope(level);
    const TVectorRecord& record = GetParam();
    auto engine = record.Section.starts_with("Blake2S")
                      ? MakeConfigured<hash::TBlake2SParams>(record)
                      : MakeConfigured<hash::TBlake2BParams>(record);
    const std::string kernel = KernelName(*engine);
    if (std::find(seen.begin(), seen.end(), kernel) != seen.end()) continue;
    seen.push_back(kernel);
    SCOPED_TRACE("kernel " + kernel);
    ExpectRecord(*engine, record);
  }
}

std::string RecordName(const ::testing::TestParamInfo<TVectorRecord>& info) {
  std::string name = info.param.Section + "_line" + std::to_string(info.param.Line);
  for (char& c : name) {
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  }
  return name;
}

INSTANTIATE_TEST_SUITE_P(Vectors, Blake2Configured, ::testing::ValuesIn(ConfiguredRecords()),
                         RecordName);

TEST(Blake2, VectorFileHasEveryConfiguredSection) {
  std::map<std::string, int> counts;
  for (const auto& record : ConfiguredRecords()) ++counts[record.Section];
  for (const char* section :
       {"Blake2S_Keyed", "Blake2B_Keyed", "Blake2S_Params", "Blake2B_Params"}) {
    EXPECT_GE(counts[section], 10) << section;
  }
}

/// Every compression kernel of one variant this CPU can run, each once.
template <typename TKernel>
std::vector<const TKernel*> KernelsOf(const TKernel& (*select)()) {
  std::vector<const TKernel*> kernels;
  for (const platform::TCpuLevel level : platform::AvailableCpuLevels()) {
    const TCpuLevelScope scope(level);
    if (std::find(kernels.begin(), kernels.end(), &select()) == kernels.end()) {
      kernels.push_back(&select());
    }
  }
  return kernels;
}

/// Runs every kernel of a variant against the portable one on the same blocks, from a counter
/// about to carry into its high word, with each combination of the two flags.
template <typename TWord, typename TKernel>
void ExpectKernelsAgree(const TKernel& (*select)(), const TKernel& portable) {
  constexpr std::size_t kBlock = 16 * sizeof(TWord);
  const Bytes data = RandomBytes(5 * kBlock, 21);
  const Bytes start = RandomBytes(8 * sizeof(TWord), 22);
  for (const TKernel* kernel : KernelsOf(select)) {
    for (const TWord flags : {0, 1, 2, 3}) {
      const TWord f0 = (flags & 1) != 0 ? ~TWord{0} : 0;
      const TWord f1 = (flags & 2) != 0 ? ~TWord{0} : 0;
      TWord expected[8], actual[8];
      std::memcpy(expected, start.data(), sizeof expected);
      std::memcpy(actual, start.data(), sizeof actual);
      TWord expectedCounter[2] = {static_cast<TWord>(~TWord{0} - 2 * kBlock + 1), 7};
      TWord actualCounter[2] = {expectedCounter[0], expectedCounter[1]};
      portable.Entry(expected, expectedCounter, data.data(), 5, kBlock, f0, f1);
      kernel->Entry(actual, actualCounter, data.data(), 5, kBlock, f0, f1);
      EXPECT_TRUE(std::equal(std::begin(expected), std::end(expected), std::begin(actual)))
          << kernel->Name << ", flags " << flags;
      EXPECT_EQ(actualCounter[0], expectedCounter[0]) << kernel->Name;
      EXPECT_EQ(actualCounter[1], 8u) << kernel->Name;
      // A final block: the counter as given, no increment.
      portable.Entry(expected, expectedCounter, data.data(), 1, 0, f0, f1);
      kernel->Entry(actual, actualCounter, data.data(), 1, 0, f0, f1);
      EXPECT_TRUE(std::equal(std::begin(expected), std::end(expected), std::begin(actual)))
          << kernel->Name << ", flags " << flags << ", no increment";
    }
  }
}

TEST(Blake2, EveryKernelCarriesTheCounterAndTakesTheFlags) {
  const TCpuLevelScope portable(platform::TCpuLevel::Portable);
  ExpectKernelsAgree<std::uint32_t>(&hash::blake2::Blake2sKernel, hash::blake2::Blake2sKernel());
  ExpectKernelsAgree<std::uint64_t>(&hash::blake2::Blake2bKernel, hash::blake2::Blake2bKernel());
}

TEST(Blake2, NamesCarryTheDigestBits) {
  EXPECT_EQ(hash::TBlake2S().Name(), "TBlake2S_256");
  EXPECT_EQ(hash::TBlake2B().Name(), "TBlake2B_512");
  EXPECT_EQ(hash::TBlake2B(std::make_shared<hash::TBlake2BConfig>(20)).Name(), "TBlake2B_160");
  EXPECT_EQ(hash::TBlake2S(std::make_shared<hash::TBlake2SConfig>(16)).Name(), "TBlake2S_128");
  EXPECT_EQ(hash::TBlake2S().BlockSize(), 64);
  EXPECT_EQ(hash::TBlake2B().BlockSize(), 128);
  EXPECT_EQ(hash::TBlake2B(std::make_shared<hash::TBlake2BConfig>(20)).HashSize(), 20);
}

TEST(Blake2, ConfigurationChecksKeepTheOldValue) {
  constexpr auto kRange = THashErrorKind::ArgumentOutOfRange;
  ExpectError([] { hash::TBlake2SConfig config(0); },
              "BLAKE2S HashSize must be restricted to one of the following [1 .. 32], \"0\"",
              kRange);
  ExpectError([] { hash::TBlake2BConfig config(65); },
              "BLAKE2B HashSize must be restricted to one of the following [1 .. 64], \"65\"",
              kRange);

  hash::TBlake2SConfig s;
  EXPECT_EQ(s.HashSize(), 32);
  ExpectError([&] { s.SetHashSize(33); },
              "BLAKE2S HashSize must be restricted to one of the following [1 .. 32], \"33\"",
              kRange);
  EXPECT_EQ(s.HashSize(), 32);
  s.SetKey(Bytes(5, 1));
  ExpectError([&] { s.SetKey(Bytes(33, 1)); }, "\"Key\" Length Must Not Be Greater Than 32, \"33\"",
              kRange);
  EXPECT_EQ(s.Key(), Bytes(5, 1));
  ExpectError([&] { s.SetSalt(Bytes(7, 1)); }, "\"Salt\" Length Must Be Equal To 8, \"7\"", kRange);
  ExpectError([&] { s.SetPersonalisation(Bytes(9, 1)); },
              "\"Personalisation\" Length Must Be Equal To 8, \"9\"", kRange);
  s.SetSalt(Bytes(8, 2));
  s.SetSalt({});  // an empty salt is no salt
  EXPECT_TRUE(s.Salt().empty());

  hash::TBlake2BConfig b;
  EXPECT_EQ(b.HashSize(), 64);
  ExpectError([&] { b.SetHashSize(0); },
              "BLAKE2B HashSize must be restricted to one of the following [1 .. 64], \"0\"",
              kRange);
  ExpectError([&] { b.SetKey(Bytes(65, 1)); }, "\"Key\" Length Must Not Be Greater Than 64, \"65\"",
              kRange);
  b.SetKey(Bytes(64, 1));
  ExpectError([&] { b.SetSalt(Bytes(8, 1)); }, "\"Salt\" Length Must Be Equal To 16, \"8\"",
              kRange);
  ExpectError([&] { b.SetPersonalisation(Bytes(17, 1)); },
              "\"Personalisation\" Length Must Be Equal To 16, \"17\"", kRange);
  EXPECT_TRUE(b.Salt().empty());
  EXPECT_TRUE(b.Personalisation().empty());
}

TEST(Blake2, TreeConfigurationDefaultsAndChecks) {
  constexpr auto kInvalid = THashErrorKind::InvalidArgument;
  hash::TBlake2STreeConfig s;
  EXPECT_EQ(s.FanOut(), 0);
  EXPECT_EQ(s.MaxDepth(), 0);
  EXPECT_EQ(s.NodeDepth(), 0);
  EXPECT_EQ(s.InnerHashSize(), 32);
  EXPECT_EQ(s.LeafSize(), 32u);
  EXPECT_EQ(s.NodeOffset(), 0u);
  EXPECT_FALSE(s.IsLastNode());
  EXPECT_EQ(hash::TBlake2BTreeConfig().InnerHashSize(), 64);
  EXPECT_EQ(hash::TBlake2BTreeConfig().LeafSize(), 64u);

  s.SetMaxDepth(3);
  ExpectError([&] { s.SetMaxDepth(0); }, "MaxDepth Value Should be Between [1 .. 255] for Blake2S",
              kInvalid);
  EXPECT_EQ(s.MaxDepth(), 3);
  ExpectError([&] { s.SetInnerHashSize(33); },
              "InnerHashSize Value Should be Between [0 .. 32] for Blake2S", kInvalid);
  EXPECT_EQ(s.InnerHashSize(), 32);
  s.SetNodeOffset((std::uint64_t{1} << 48) - 1);
  ExpectError([&] { s.SetNodeOffset(std::uint64_t{1} << 48); },
              "NodeOffset Value Should be Between [0 .. (2^48-1)] for Blake2S", kInvalid);
  EXPECT_EQ(s.NodeOffset(), (std::uint64_t{1} << 48) - 1);
  s.SetFanOut(255);
  s.SetNodeDepth(255);
  EXPECT_EQ(s.FanOut(), 255);

  hash::TBlake2BTreeConfig b;
  ExpectError([&] { b.SetMaxDepth(0); }, "MaxDepth Value Should be Between [1 .. 255] for Blake2B",
              kInvalid);
  ExpectError([&] { b.SetInnerHashSize(65); },
              "InnerHashSize Value Should be Between [0 .. 64] for Blake2B", kInvalid);
  b.SetNodeOffset(~std::uint64_t{0});  // BLAKE2b has room for all 64 bits
  EXPECT_EQ(b.NodeOffset(), ~std::uint64_t{0});

  const auto sequential = hash::TBlake2BTreeConfig::Sequential();
  EXPECT_EQ(sequential->FanOut(), 1);
  EXPECT_EQ(sequential->MaxDepth(), 1);
  EXPECT_EQ(sequential->LeafSize(), 0u);
  EXPECT_EQ(sequential->InnerHashSize(), 0);
  // The sequential tree is what an engine without a tree configuration uses.
  EXPECT_EQ(hash::TBlake2B(nullptr, sequential, true).HashBytes(BytesOf("abc"))->GetBytes(),
            hash::TBlake2B().HashBytes(BytesOf("abc"))->GetBytes());
}

TEST(Blake2, ConfigurationClonesAreIndependent) {
  hash::TBlake2BConfig config(48);
  config.SetKey(Bytes(10, 7));
  config.SetSalt(Bytes(16, 8));
  config.SetPersonalisation(Bytes(16, 9));
  auto copy = config.Clone();
  EXPECT_EQ(copy->HashSize(), 48);
  EXPECT_EQ(copy->Key(), Bytes(10, 7));
  EXPECT_EQ(copy->Salt(), Bytes(16, 8));
  EXPECT_EQ(copy->Personalisation(), Bytes(16, 9));
  copy->SetHashSize(12);
  copy->SetKey(Bytes(3, 1));
  copy->SetSalt({});
  copy->SetPersonalisation({});
  EXPECT_EQ(config.HashSize(), 48);
  EXPECT_EQ(config.Key(), Bytes(10, 7));
  EXPECT_EQ(config.Salt(), Bytes(16, 8));
  EXPECT_EQ(config.Personalisation(), Bytes(16, 9));

  hash::TBlake2STreeConfig tree;
  tree.SetFanOut(4);
  tree.SetMaxDepth(2);
  tree.SetNodeOffset(77);
  tree.SetIsLastNode(true);
  auto treeCopy = tree.Clone();
  EXPECT_EQ(treeCopy->FanOut(), 4);
  EXPECT_EQ(treeCopy->MaxDepth(), 2);
  EXPECT_EQ(treeCopy->NodeOffset(), 77u);
  EXPECT_TRUE(treeCopy->IsLastNode());
  EXPECT_EQ(treeCopy->InnerHashSize(), 32);
  treeCopy->SetFanOut(9);
  treeCopy->SetIsLastNode(false);
  EXPECT_EQ(tree.FanOut(), 4);
  EXPECT_TRUE(tree.IsLastNode());
}

TEST(Blake2, EngineIsUnaffectedByLaterChangesToItsConfiguration) {
  const Bytes data = RandomBytes(300, 5);
  auto config = std::make_shared<hash::TBlake2BConfig>(32);
  config->SetKey(Bytes(32, 0x5A));
  auto tree = std::make_shared<hash::TBlake2BTreeConfig>();
  tree->SetFanOut(2);
  tree->SetMaxDepth(2);
  tree->SetIsLastNode(true);
  hash::TBlake2B engine(config, tree, true);
  const Bytes first = engine.HashBytes(data)->GetBytes();
  ASSERT_EQ(first.size(), 32u);

  // The engine holds its own copies: neither object reaches into it any more.
  config->SetHashSize(64);
  config->SetKey({});
  tree->SetIsLastNode(false);
  EXPECT_EQ(engine.HashBytes(data)->GetBytes(), first);
  EXPECT_EQ(engine.HashSize(), 32);

  // A clone taken mid-message finishes with the same parameters, and leaves the source alone.
  engine.Initialize();
  engine.UpdateBytes(Bytes(data.begin(), data.begin() + 200));
  auto clone = engine.Clone();
  clone->UpdateBytes(Bytes(data.begin() + 200, data.end()));
  EXPECT_EQ(clone->Final()->GetBytes(), first);
  EXPECT_EQ(clone->HashBytes(data)->GetBytes(), first);
  engine.UpdateBytes(Bytes(data.begin() + 200, data.end()));
  EXPECT_EQ(engine.Final()->GetBytes(), first);
}

TEST(Blake2, KeyIsLeftOutOfTheMessageOnlyWhenAsked) {
  // An inner tree node names the key length in its parameter block but does not absorb it.
  auto config = std::make_shared<hash::TBlake2SConfig>();
  config->SetKey(Bytes(32, 3));
  const Bytes data = BytesOf("abc");
  const Bytes absorbed = hash::TBlake2S(config, nullptr, true).HashBytes(data)->GetBytes();
  const Bytes inner = hash::TBlake2S(config, nullptr, false).HashBytes(data)->GetBytes();
  const Bytes plain = hash::TBlake2S().HashBytes(data)->GetBytes();
  EXPECT_NE(inner, absorbed);
  EXPECT_NE(inner, plain);
  // Fed the key block as message, the inner node equals the keyed leaf.
  Bytes keyBlock(64, 0);
  std::fill(keyBlock.begin(), keyBlock.begin() + 32, 3);
  hash::TBlake2S node(config, nullptr, false);
  node.Initialize();
  node.UpdateBytes(keyBlock);
  node.UpdateBytes(data);
  EXPECT_EQ(node.Final()->GetBytes(), absorbed);
}

}  // namespace
}  // namespace tarvolin::test
