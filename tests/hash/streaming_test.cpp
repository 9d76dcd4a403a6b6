// One streaming harness for every engine and each of its kernels this CPU can run: however a
// message is split, started, cloned or finished, the digest is the one-shot digest.
#include <gtest/gtest.h>

#include <random>

#include "hash/engines.h"
#include "support/test_support.h"

namespace tarvolin::test {
namespace {

class Streaming : public ::testing::TestWithParam<TEngineKernel> {
 protected:
  // Engines are made after the level is forced, so each picks the kernel under test.
  void SetUp() override { scope_ = std::make_unique<TCpuLevelScope>(GetParam().Level); }
  void TearDown() override { scope_.reset(); }

  hash::IHashPtr Make() {
    auto engine = GetParam().Engine->Make();
    if (GetParam().Engine->KernelOf) {
      EXPECT_EQ(GetParam().Engine->KernelOf(*engine), GetParam().Kernel);
    }
    return engine;
  }

  std::string OneShot(const Bytes& data) { return ToHex(Make()->HashBytes(data)->GetBytes()); }

  /// Lengths around every boundary an engine has: its block, BLAKE3's 1 KiB chunk, the 64 KiB
  /// read chunk.
  std::vector<std::size_t> Lengths() {
    const auto block = static_cast<std::size_t>(Make()->BlockSize());
    std::vector<std::size_t> lengths;
    for (std::size_t n = 0; n <= 3 * block + 1; ++n) lengths.push_back(n);
    for (std::size_t n : {1023, 1024, 1025, 2047, 2048, 2049, 4095, 4097, 65535, 65536, 65537}) {
      lengths.push_back(n);
    }
    return lengths;
  }

 private:
  std::unique_ptr<TCpuLevelScope> scope_;
};

TEST_P(Streaming, SplitsEqualOneShot) {
  const Bytes data = RandomBytes(65537 + 16, 7);
  std::mt19937 random(1);
  auto engine = Make();
  for (const std::size_t length : Lengths()) {
    const Bytes message(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(length));
    const std::string expected = OneShot(message);

    if (length <= 4097) {  // byte by byte
      engine->Initialize();
      for (std::size_t i = 0; i < length; ++i) engine->UpdateRange(message, i, 1);
      ASSERT_EQ(ToHex(engine->Final()->GetBytes()), expected) << "byte by byte, length " << length;
    }

    // Random pieces, each taken from a copy that starts at a misaligned offset.
    for (int round = 0; round < 3; ++round) {
      engine->Initialize();
      std::size_t done = 0;
      while (done < length) {
        const std::size_t piece = std::min<std::size_t>(length - done, random() % 300 + 1);
        const std::size_t shift = random() % 8;
        Bytes shifted(shift, 0xAA);
        shifted.insert(shifted.end(), message.begin() + static_cast<std::ptrdiff_t>(done),
                       message.begin() + static_cast<std::ptrdiff_t>(done + piece));
        engine->UpdateRange(shifted, shift, piece);
        done += piece;
      }
      ASSERT_EQ(ToHex(engine->Final()->GetBytes()), expected) << "random split, length " << length;
    }
  }
}

TEST_P(Streaming, EmptyUpdatesChangeNothing) {
  // An empty piece between two others must keep the bytes still waiting for a whole block.
  const Bytes data = RandomBytes(300, 5);
  auto engine = Make();
  for (const std::size_t split :
       {std::size_t{0}, std::size_t{1}, std::size_t{17}, std::size_t{299}}) {
    engine->Initialize();
    engine->UpdateRange(data, 0, split);
    engine->UpdateRange(data, split, 0);
    engine->UpdateBytes({});
    engine->UpdateRange(data, split, data.size() - split);
    engine->UpdateRange(data, data.size(), 0);
    EXPECT_EQ(ToHex(engine->Final()->GetBytes()), OneShot(data)) << "split " << split;
  }
}

TEST_P(Streaming, CloneMidMessageIsIndependent) {
  const Bytes data = RandomBytes(5000, 11);
  const Bytes head(data.begin(), data.begin() + 1337);
  const Bytes tail(data.begin() + 1337, data.end());
  auto source = Make();
  source->Initialize();
  source->UpdateBytes(head);
  auto clone = source->Clone();
  ASSERT_NE(clone.get(), source.get());
  EXPECT_EQ(clone->Name(), source->Name());

  clone->UpdateBytes(tail);
  clone->UpdateBytes(tail);  // only the clone sees this
  source->UpdateBytes(tail);
  EXPECT_EQ(ToHex(source->Final()->GetBytes()), OneShot(data));

  Bytes doubled = data;
  doubled.insert(doubled.end(), tail.begin(), tail.end());
  EXPECT_EQ(ToHex(clone->Final()->GetBytes()), OneShot(doubled));
}

TEST_P(Streaming, FinalLeavesEngineReady) {
  const Bytes data = RandomBytes(777, 3);
  auto engine = Make();
  engine->Initialize();
  engine->UpdateBytes(data);
  const std::string first = ToHex(engine->Final()->GetBytes());
  EXPECT_EQ(first, OneShot(data));
  // A second Final without input is the digest of the empty message.
  EXPECT_EQ(ToHex(engine->Final()->GetBytes()), OneShot({}));
  // And the engine serves the next message from a fresh state.
  engine->UpdateBytes(data);
  EXPECT_EQ(ToHex(engine->Final()->GetBytes()), first);
  EXPECT_EQ(ToHex(engine->HashBytes(data)->GetBytes()), first);
  EXPECT_EQ(engine->HashBytes(data)->GetBytes().size(),
            static_cast<std::size_t>(engine->HashSize()));
}

std::string EngineName(const ::testing::TestParamInfo<TEngineKernel>& info) {
  return info.param.Name();
}

INSTANTIATE_TEST_SUITE_P(Engines, Streaming, ::testing::ValuesIn(AllEngineKernels()), EngineName);

}  // namespace
}  // namespace tarvolin::test
