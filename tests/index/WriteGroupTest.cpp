#include <gtest/gtest.h>

#include "TempDir.h"
#include "index/ModIndex.h"
#include "text/Encoding.h"

namespace quorvane::index {
namespace {

class WriteGroupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(CreateEmptyIndexFile((dir.path() / "CSLmod.edb").string()));
    ASSERT_EQ(table.Open(path()), OpenResult::kOpened);
  }
  Text path() const { return text::JoinPath(dir.text(), "CSLmod.edb"); }

  // What another instance of the program would read from the file now.
  int CountSeenFromOutside() {
    ModIndex other;
    other.Open(path());
    return other.RecordCount();
  }

  testing::TempDir dir;
  ModIndex table;
};

TEST_F(WriteGroupTest, GroupedWritesReachTheFileWhenCommitted) {
  WriteGroup group(table);
  ASSERT_TRUE(table.AddRecord(1, "111"));
  ASSERT_TRUE(table.WriteField(kName, Text("a name")));
  EXPECT_EQ(table.RecordCount(), 1) << "the group's own writes are read back at once";
  group.Commit();
  EXPECT_EQ(CountSeenFromOutside(), 1);
  ModIndex other;
  other.Open(path());
  EXPECT_EQ(other.ReadText(kName), "a name");
}

TEST_F(WriteGroupTest, ClosingTheTableCommitsAnOpenGroup) {
  WriteGroup group(table);
  ASSERT_TRUE(table.AddRecord(1, "111"));
  ASSERT_TRUE(table.AddRecord(2, "222"));
  table.CloseAll();
  EXPECT_EQ(CountSeenFromOutside(), 2);
}

TEST_F(WriteGroupTest, AWriteAfterTheGroupEndsIsItsOwnCommit) {
  {
    WriteGroup group(table);
    ASSERT_TRUE(table.AddRecord(1, "111"));
  }
  ASSERT_TRUE(table.AddRecord(2, "222"));
  EXPECT_EQ(CountSeenFromOutside(), 2);
}

TEST_F(WriteGroupTest, ForEachRecordGivesEveryRecordInOrderAndKeepsTheCurrentOne) {
  for (int r = 1; r <= 3; ++r) ASSERT_TRUE(table.AddRecord(r, "id" + std::to_string(r)));
  table.GoTo(2);
  ASSERT_TRUE(table.WriteField(kInvalid, true));
  std::vector<std::string> seen;
  table.ForEachRecord([&seen](long long record, const ModIndex::Record& fields) {
    seen.push_back(std::to_string(record) + ":" + FieldText(fields[0]) + ":" + FieldText(fields[1]) + ":" +
                   FieldText(fields[5]));
  });
  const std::string falseText = text::Gbk("假");
  const std::string trueText = text::Gbk("真");
  EXPECT_EQ(seen, (std::vector<std::string>{"1:1:id1:" + falseText, "2:2:id2:" + trueText,
                                            "3:3:id3:" + falseText}));
  EXPECT_EQ(table.CurrentRecord(), 2);
}

}  // namespace
}  // namespace quorvane::index
