#include "index/ModIndex.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/resource.h>

#include <csignal>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "TempDir.h"
#include "text/Encoding.h"
#include "text/Text.h"

namespace quorvane::index {
namespace {

using text::Gbk;

std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// An empty index in a fresh folder, opened.
class ModIndexTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(CreateEmptyIndexFile(nativePath()));
    ASSERT_EQ(table.Open(path()), OpenResult::kOpened);
  }

  Text path() const { return text::JoinPath(dir.text(), "CSLmod.edb"); }
  std::string nativePath() const { return (dir.path() / "CSLmod.edb").string(); }

  // Records (1, "id1") .. (n, "idn").
  void AddRecords(int n) {
    for (int r = 1; r <= n; ++r) ASSERT_TRUE(table.AddRecord(r, "id" + std::to_string(r)));
  }

  testing::TempDir dir;
  ModIndex table;
};

TEST_F(ModIndexTest, GoToClampsToTheRecords) {
  AddRecords(3);
  const struct {
    long long target;
    int current;
  } cases[] = {{0, 1}, {-5, 1}, {1, 1}, {2, 2}, {3, 3}, {4, 3}, {1LL << 40, 3}};
  for (const auto& c : cases) {
    table.GoTo(c.target);
    EXPECT_EQ(table.CurrentRecord(), c.current) << "go to " << c.target;
    EXPECT_EQ(table.ReadText(kItemId), "id" + std::to_string(c.current)) << "go to " << c.target;
  }
}

TEST_F(ModIndexTest, EmptyTableReadsEmptyValuesOfEachType) {
  EXPECT_EQ(table.RecordCount(), 0);
  table.GoTo(5);
  EXPECT_EQ(table.CurrentRecord(), 1);
  EXPECT_EQ(table.ReadField(kSerial), Value(0LL));
  EXPECT_EQ(table.ReadField(kName), Value(Text()));
  EXPECT_EQ(table.ReadField(kInvalid), Value(false));
  EXPECT_EQ(table.ReadField(kFirstDescription + 7), Value(Text()));
  EXPECT_FALSE(table.WriteField(kName, Text("x")));
  EXPECT_FALSE(table.Find([] { return true; }));
}

TEST_F(ModIndexTest, NewRecordHoldsSerialAndIdAndEmptyFields) {
  AddRecords(5);
  ASSERT_TRUE(table.AddRecord(6, "3030"));
  EXPECT_EQ(table.RecordCount(), 6);
  EXPECT_EQ(table.CurrentRecord(), 6);
  EXPECT_EQ(table.ReadField(kSerial), Value(6LL));
  EXPECT_EQ(table.ReadField(kItemId), Value(Text("3030")));
  for (int k = kName; k <= kFieldCount; ++k) {
    EXPECT_EQ(table.ReadField(k), k == kInvalid ? Value(false) : Value(Text())) << "field " << k;
  }
}

TEST_F(ModIndexTest, FindStopsAtTheFirstMatchOrRestoresTheRecord) {
  AddRecords(3);
  std::vector<int> tested;
  auto secondRecord = [&] {
    tested.push_back(table.CurrentRecord());
    return table.ReadText(kItemId) == "id2";
  };

  table.GoTo(1);
  EXPECT_TRUE(table.Find(secondRecord));
  EXPECT_EQ(table.CurrentRecord(), 2);
  EXPECT_EQ(tested, (std::vector<int>{1, 2}));

  tested.clear();
  table.GoTo(3);
  EXPECT_FALSE(table.Find(secondRecord));
  EXPECT_EQ(table.CurrentRecord(), 3);
  EXPECT_EQ(tested, (std::vector<int>{3}));
}

TEST_F(ModIndexTest, FindByIdAndSerialAnswerAsAFindFromRecordOne) {
  AddRecords(4);
  table.GoTo(4);
  EXPECT_TRUE(table.FindById("id2"));
  EXPECT_EQ(table.CurrentRecord(), 2);
  EXPECT_FALSE(table.FindById("ID2"));  // ids compare byte for byte
  EXPECT_EQ(table.CurrentRecord(), 1);

  table.GoTo(4);
  EXPECT_TRUE(table.FindBySerial(3.00000001));
  EXPECT_EQ(table.CurrentRecord(), 3);
  EXPECT_FALSE(table.FindBySerial(3.001));
  EXPECT_EQ(table.CurrentRecord(), 1);
  EXPECT_FALSE(table.FindBySerial(5));
}

TEST_F(ModIndexTest, WritesConvertBetweenNumbersAndRefuseOtherMismatches) {
  AddRecords(1);
  const struct {
    int field;
    Value written;
    bool accepted;
    Value read;
  } cases[] = {
      {kSerial, Value(7LL), true, Value(7LL)},
      {kSerial, Value(8.9), true, Value(8LL)},
      {kSerial, Value(-2.5), true, Value(-2LL)},
      {kSerial, Value(Text("9")), false, Value(-2LL)},
      {kSerial, Value(true), false, Value(-2LL)},
      {kName, Value(Text("名")), true, Value(Text("名"))},
      {kName, Value(5LL), false, Value(Text("名"))},
      {kName, Value(false), false, Value(Text("名"))},
      {kInvalid, Value(true), true, Value(true)},
      {kInvalid, Value(0LL), false, Value(true)},
      {kInvalid, Value(Text("假")), false, Value(true)},
      {0, Value(Text("x")), false, Value(Text())},
      {kFieldCount + 1, Value(Text("x")), false, Value(Text())},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(table.WriteField(c.field, c.written), c.accepted) << "field " << c.field;
    EXPECT_EQ(table.ReadField(c.field), c.read) << "field " << c.field;
  }
}

TEST_F(ModIndexTest, WhatIsWrittenIsOnDiskAfterReopening) {
  AddRecords(2);
  const Text description(256, '\xB0');
  const Text name = Gbk("城市") + std::string("\0tail", 5);  // texts are kept whole, zero bytes too
  table.GoTo(2);
  ASSERT_TRUE(table.WriteField(kName, name));
  ASSERT_TRUE(table.WriteField(kInvalid, true));
  ASSERT_TRUE(table.WriteField(kFirstDescription + 7, description));
  table.CloseAll();
  EXPECT_FALSE(table.IsOpen());

  ModIndex reopened;
  ASSERT_EQ(reopened.Open(path()), OpenResult::kOpened);
  EXPECT_EQ(reopened.RecordCount(), 2);
  EXPECT_EQ(reopened.CurrentRecord(), 1);
  reopened.GoTo(2);
  EXPECT_EQ(reopened.ReadText(kName), name);
  EXPECT_TRUE(reopened.ReadBool(kInvalid));
  EXPECT_EQ(reopened.ReadText(kFirstDescription + 7), description);
  reopened.GoTo(1);
  EXPECT_FALSE(reopened.ReadBool(kInvalid));
}

TEST_F(ModIndexTest, ClearThenAddNumbersFromOneAgain) {
  AddRecords(3);
  table.Clear();
  EXPECT_EQ(table.RecordCount(), 0);
  EXPECT_EQ(table.ReadText(kItemId), "");
  AddRecords(2);
  table.CloseAll();

  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open_v2(nativePath().c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
  sqlite3_stmt* rows = nullptr;
  ASSERT_EQ(sqlite3_prepare_v2(db, "SELECT rowid, \"编码\" FROM mods ORDER BY rowid", -1, &rows, nullptr),
            SQLITE_OK);
  std::vector<std::pair<long long, std::string>> stored;
  while (sqlite3_step(rows) == SQLITE_ROW) {
    stored.emplace_back(sqlite3_column_int64(rows, 0),
                        std::string(static_cast<const char*>(sqlite3_column_blob(rows, 1)),
                                    static_cast<size_t>(sqlite3_column_bytes(rows, 1))));
  }
  sqlite3_finalize(rows);
  sqlite3_close(db);
  EXPECT_EQ(stored, (std::vector<std::pair<long long, std::string>>{{1, "id1"}, {2, "id2"}}));
}

TEST_F(ModIndexTest, OpeningTheOpenPathKeepsItsCurrentRecord) {
  AddRecords(3);
  table.GoTo(3);
  EXPECT_EQ(table.Open(path()), OpenResult::kAlreadyOpen);
  EXPECT_EQ(table.Open(text::JoinPath(text::JoinPath(dir.text(), "."), "CSLmod.edb")),
            OpenResult::kAlreadyOpen);
  EXPECT_TRUE(table.IsOpen());
  EXPECT_EQ(table.CurrentRecord(), 3);
}

TEST_F(ModIndexTest, FieldsAreFoundByNameWithLetterCaseIgnored) {
  AddRecords(1);
  ASSERT_TRUE(table.WriteField(kFirstDescription, Text("d")));
  EXPECT_EQ(table.ReadField(Gbk("编码")), Value(Text("id1")));
  EXPECT_EQ(table.ReadField(Gbk("序号")), Value(1LL));
  EXPECT_EQ(table.ReadField(Gbk("描述1")), Value(Text("d")));
  EXPECT_EQ(table.ReadField(Text("nope")), Value(Text()));
}

TEST_F(ModIndexTest, ASecondInstanceSeesWhatTheFirstWrote) {
  AddRecords(2);
  ModIndex second;
  ASSERT_EQ(second.Open(path()), OpenResult::kOpened);
  EXPECT_EQ(second.ReadText(kName), "");  // record 1 read, and cached, before the other writes

  table.GoTo(1);
  ASSERT_TRUE(table.WriteField(kName, Text("first")));
  ASSERT_TRUE(table.AddRecord(3, "id3"));
  second.GoTo(1);
  EXPECT_EQ(second.ReadText(kName), "first");
  EXPECT_EQ(second.RecordCount(), 3);
  ASSERT_TRUE(second.AddRecord(4, "id4"));
  EXPECT_FALSE(second.AddRecord(5, "id3"));  // an id is never held twice
  EXPECT_EQ(table.RecordCount(), 4);
  table.GoTo(4);
  EXPECT_EQ(table.ReadText(kItemId), "id4");
}

TEST_F(ModIndexTest, AFileDeletedWhileOpenTakesNoMoreWrites) {
  AddRecords(1);
  std::filesystem::remove(dir.path() / "CSLmod.edb");
  EXPECT_FALSE(table.WriteField(kName, Text("lost")));
  EXPECT_FALSE(table.AddRecord(2, "id2"));
  table.Clear();
  table.CloseAll();
  EXPECT_FALSE(dir.Exists("CSLmod.edb"));
}

// A full disk, as the process's file size limit: the write that does not fit fails and what was
// written before it stays.
TEST_F(ModIndexTest, AWriteThatDoesNotFitFailsAndKeepsWhatWasStored) {
  AddRecords(1);
  ASSERT_TRUE(table.WriteField(kName, Text("kept")));
  std::uintmax_t largest = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
    largest = std::max(largest, entry.file_size());
  }
  rlimit before{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &before), 0);
  const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit tight = before;
  tight.rlim_cur = largest + 8192;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tight), 0);
  const bool written = table.WriteField(kFirstDescription, Text(4 << 20, 'x'));
  const bool added = table.AddRecord(2, Text(4 << 20, 'y'));
  setrlimit(RLIMIT_FSIZE, &before);
  std::signal(SIGXFSZ, previousHandler);

  EXPECT_FALSE(written);
  EXPECT_FALSE(added);
  EXPECT_EQ(table.ReadText(kFirstDescription), "");
  EXPECT_TRUE(table.WriteField(kAuthor, Text("after")));
  table.CloseAll();
  ModIndex reopened;
  ASSERT_EQ(reopened.Open(path()), OpenResult::kOpened);
  EXPECT_EQ(reopened.RecordCount(), 1);
  EXPECT_EQ(reopened.ReadText(kName), "kept");
  EXPECT_EQ(reopened.ReadText(kAuthor), "after");
  EXPECT_EQ(reopened.ReadText(kFirstDescription), "");
}

TEST(ModIndexWithoutTable, AnswersNothingAndDoesNothing) {
  ModIndex table;
  EXPECT_FALSE(table.IsOpen());
  EXPECT_EQ(table.RecordCount(), 0);
  table.GoTo(3);
  EXPECT_EQ(table.ReadField(kItemId), Value(Text()));
  EXPECT_EQ(table.ReadField(kInvalid), Value(false));
  EXPECT_FALSE(table.WriteField(kName, Text("x")));
  EXPECT_FALSE(table.AddRecord(1, "1"));
  table.Clear();
  EXPECT_FALSE(table.Find([] { return true; }));
  EXPECT_FALSE(table.FindById("1"));
  EXPECT_FALSE(table.FindBySerial(1));
}

TEST(ModIndexOpen, RefusesFilesThatAreNotAnIndexAndLeavesThemUntouched) {
  testing::TempDir dir;
  std::mt19937 random(7);
  std::string noise(8192, '\0');
  for (char& byte : noise) byte = static_cast<char>(random());
  dir.WriteFile("noise.edb", noise);
  dir.WriteFile("empty.edb", "");
  dir.WriteFile("text.edb", "序号,编码\r\n1,100\r\n");

  auto makeDatabase = [&](const std::string& name, const std::string& sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open((dir.path() / name).string().c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sql;
    sqlite3_close(db);
  };
  makeDatabase("foreign.edb", "CREATE TABLE notes(body TEXT); INSERT INTO notes VALUES('keep me');");
  // Our application id, but a field of the wrong type.
  std::string columns;
  for (const char* name : {"序号", "编码", "名称", "作者", "图片地址", "是否失效", "描述1", "描述2", "描述3",
                           "描述4", "描述5", "描述6", "描述7", "描述8"}) {
    columns += std::string(columns.empty() ? "" : ", ") + "\"" + name + "\" " +
               (std::string(name) == "名称" ? "INTEGER" : "BLOB");
  }
  makeDatabase(
      "wrongtype.edb",
      "PRAGMA application_id = 1364611662; PRAGMA user_version = 1; CREATE TABLE mods(" + columns + ")");
  makeDatabase("otherapp.edb", "PRAGMA application_id = 42; CREATE TABLE mods(x)");

  for (const char* name :
       {"noise.edb", "empty.edb", "text.edb", "foreign.edb", "wrongtype.edb", "otherapp.edb"}) {
    const auto file = dir.path() / name;
    const std::string before = ReadBytes(file);
    ModIndex table;
    EXPECT_EQ(table.Open(text::JoinPath(dir.text(), name)), OpenResult::kNotAnIndex) << name;
    EXPECT_FALSE(table.IsOpen()) << name;
    EXPECT_FALSE(table.LastError().empty()) << name;
    EXPECT_EQ(ReadBytes(file), before) << name;
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 6)
        << "side files after " << name;
  }
}

TEST(ModIndexOpen, MissingFileFailsAndAFailedOpenKeepsTheOpenTable) {
  testing::TempDir dir;
  ModIndex table;
  EXPECT_EQ(table.Open(text::JoinPath(dir.text(), "none.edb")), OpenResult::kMissing);
  EXPECT_FALSE(table.IsOpen());
  dir.MakeDir("folder.edb");
  EXPECT_EQ(table.Open(text::JoinPath(dir.text(), "folder.edb")), OpenResult::kNotAnIndex);
  EXPECT_FALSE(table.IsOpen());

  ASSERT_TRUE(CreateEmptyIndexFile((dir.path() / "a.edb").string()));
  ASSERT_EQ(table.Open(text::JoinPath(dir.text(), "a.edb")), OpenResult::kOpened);
  ASSERT_TRUE(table.AddRecord(1, "100"));
  EXPECT_EQ(table.Open(text::JoinPath(dir.text(), "none.edb")), OpenResult::kMissing);
  EXPECT_TRUE(table.IsOpen());
  EXPECT_EQ(table.ReadText(kItemId), "100");

  // Another table opened becomes the current one.
  ASSERT_TRUE(CreateEmptyIndexFile((dir.path() / "b.edb").string()));
  EXPECT_EQ(table.Open(text::JoinPath(dir.text(), "b.edb")), OpenResult::kOpened);
  EXPECT_EQ(table.RecordCount(), 0);
  EXPECT_EQ(table.ReadText(kItemId), "");
}

TEST(CreateEmptyIndexFile, RefusesAnythingAlreadyThere) {
  testing::TempDir dir;
  dir.WriteFile("taken.edb", "mine");
  dir.MakeDir("folder.edb");
  std::string error;
  EXPECT_FALSE(CreateEmptyIndexFile((dir.path() / "taken.edb").string(), &error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(CreateEmptyIndexFile((dir.path() / "folder.edb").string()));
  EXPECT_FALSE(CreateEmptyIndexFile((dir.path() / "no" / "such.edb").string()));
  EXPECT_EQ(dir.ReadFile("taken.edb"), "mine");
  EXPECT_FALSE(dir.Exists("no"));
}

TEST(FieldText, ShowsEachTypeAsTheListDoes) {
  const struct {
    Value value;
    std::string shown;
  } cases[] = {
      {Value(true), Gbk("真")},  {Value(false), Gbk("假")}, {Value(12LL), "12"},
      {Value(-7LL), "-7"},       {Value(0LL), "0"},         {Value(3.0), "3"},
      {Value(2.5), "2.5"},       {Value(1e20), "1e+20"},    {Value(1.0 / 3), "0.3333333333333"},
      {Value(Text("文")), "文"}, {Value(Text()), ""},
  };
  for (const auto& c : cases) EXPECT_EQ(FieldText(c.value), c.shown);
}

}  // namespace
}  // namespace quorvane::index
