// Every record of the known-answer files, hashed whole and in uneven pieces.
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

class KnownAnswer : public ::testing::TestWithParam<TVectorRecord> {};

TEST_P(KnownAnswer, WholeAndInPieces) {
  const TVectorRecord& record = GetParam();
  auto engine = MakeEngine(record.Section);
  ASSERT_NE(engine, nullptr) << "no engine for section " << record.Section;
  const TBytes input = RecordInput(record);
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

std::string RecordName(const ::testing::TestParamInfo<TVectorRecord>& info) {
  std::string name =
      info.param.File + "_" + info.param.Section + "_line" + std::to_string(info.param.Line);
  for (char& c : name) {
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  }
  return name;
}

INSTANTIATE_TEST_SUITE_P(Vectors, KnownAnswer, ::testing::ValuesIn(PlainRecords()), RecordName);

}  // namespace
}  // namespace tarvolin::test
