// Every record of the known-answer files, hashed whole and in uneven pieces, by every kernel of
// its algorithm that this CPU can run.
#include <gtest/gtest.h>

#include <cctype>

#include "hash/engines.h"
#include "support/test_support.h"

namespace tarvolin::test {
namespace {

std::vector<TVectorRecord> PlainRecords() {
  std::vector<TVectorRecord> plain;
  for (auto& record : ReadVectorFolder(TestDataDir() / "hash" / "vectors")) {
    // Records with a key or other parameters belong to the engine-specific tests.
    if (record.Fields.size() == 1 + record.Fields.count("In") + record.Fields.count("Text") +
                                    record.Fields.count("Repeat")) {
      plain.push_back(record);
    }
  }
  return plain;
}

struct TKnownAnswerCase {
  TVectorRecord Record;
  TEngineKernel Kernel;  ///< no engine when no engine has the record's section
  friend void PrintTo(const TKnownAnswerCase& c, std::ostream* os) {
    PrintTo(c.Record, os);
    if (c.Kernel.Engine != nullptr) *os << " " << c.Kernel.Name();
  }
};

std::vector<TKnownAnswerCase> PlainCases() {
  std::vector<TKnownAnswerCase> cases;
  for (auto& record : PlainRecords()) {
    const std::vector<TEngineKernel> kernels = KernelsOf(record.Section);
    if (kernels.empty()) cases.push_back({record, {}});
    for (const TEngineKernel& kernel : kernels) cases.push_back({record, kernel});
  }
  return cases;
}

class KnownAnswer : public ::testing::TestWithParam<TKnownAnswerCase> {};

TEST_P(KnownAnswer, WholeAndInPieces) {
  const TVectorRecord& record = GetParam().Record;
  const TEngineKernel& kernel = GetParam().Kernel;
  ASSERT_NE(kernel.Engine, nullptr) << "no engine for section " << record.Section;
  const TCpuLevelScope scope(kernel.Level);
  auto engine = kernel.Engine->Make();
  if (kernel.Engine->KernelOf) {
    ASSERT_EQ(kernel.Engine->KernelOf(*engine), kernel.Kernel);
  }
  const Bytes input = RecordInput(record);
  const std::string expected = record.Fields.at("Out");

  EXPECT_EQ(ToHex(engine->HashBytes(input)->GetBytes()), expected);

  // Pieces of growing, uneven size cross every block boundary at a different offset.
  engine->Initialize();
  std::size_t offset = 0;
  for (std::size_t piece = 1; offset < input.size(); piece = piece * 3 % 257 + 1) {
    const std::size_t n = std::min(piece, input.size() - offset);
    engine->UpdateRange(input, offset, n);
    offset += n;
  }
  EXPECT_EQ(ToHex(engine->Final()->GetBytes()), expected);
}

std::string CaseName(const ::testing::TestParamInfo<TKnownAnswerCase>& info) {
  const TVectorRecord& record = info.param.Record;
  std::string name = record.File + "_" + record.Section + "_line" + std::to_string(record.Line);
  if (!info.param.Kernel.Kernel.empty()) name += "_" + info.param.Kernel.Kernel;
  for (char& c : name) {
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  }
  return name;
}

INSTANTIATE_TEST_SUITE_P(Vectors, KnownAnswer, ::testing::ValuesIn(PlainCases()), CaseName);

}  // namespace
}  // namespace tarvolin::test
