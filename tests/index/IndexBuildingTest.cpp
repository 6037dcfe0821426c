#include "index/IndexBuilding.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "FakeModList.h"
#include "FakeWindow.h"
#include "TempDir.h"
#include "index/ItemFolders.h"
#include "text/Encoding.h"

namespace quorvane::index {
namespace {

namespace fs = std::filesystem;
using testing::FakeModList;
using testing::FakeWindow;
using testing::TempDir;
using text::Gbk;
using window::Control;

using Record = std::pair<Text, Text>;  // serial as text, id

// The sub-folders as the file system lists them, read here on their own so that the expected order does
// not come from the code under test.
std::vector<Text> Listing(const fs::path& folder) {
  std::vector<Text> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    if (entry.is_directory()) names.push_back(text::FromNativePath(entry.path().filename()));
  }
  return names;
}

// Records 1.. of the given names in the given order.
std::vector<Record> Numbered(const std::vector<Text>& names, int first = 1) {
  std::vector<Record> records;
  for (const Text& name : names) records.emplace_back(std::to_string(first++), name);
  return records;
}

class IndexBuildingTest : public ::testing::Test {
 protected:
  IndexBuildingTest() {
    EXPECT_TRUE(CreateEmptyIndexFile(text::ToNativePath(workspace.TablePath()).string()));
    window.SetText(Control::WorkshopFolderBox, workshop.text());
  }

  // What landed in the file, read through a table of its own.
  std::vector<Record> Records() const {
    ModIndex reader;
    EXPECT_EQ(reader.Open(workspace.TablePath()), OpenResult::kOpened);
    std::vector<Record> records;
    for (int r = 1; r <= reader.RecordCount(); ++r) {
      reader.GoTo(r);
      records.emplace_back(FieldText(reader.ReadField(kSerial)), reader.ReadText(kItemId));
    }
    return records;
  }

  std::vector<Record> Rows() const {
    std::vector<Record> rows;
    for (int row = 0; row < list.RowCount(); ++row)
      rows.emplace_back(list.CellText(row, 0), list.CellText(row, 1));
    return rows;
  }

  // The list mirrors the file row for row, and each row number is its record number.
  void ExpectInStep() const {
    const std::vector<Record> records = Records();
    EXPECT_EQ(Rows(), records);
    for (size_t r = 0; r < records.size(); ++r) EXPECT_EQ(records[r].first, std::to_string(r + 1));
  }

  // Ends as every run must: table closed, box hidden, nothing left running.
  void ExpectFinished() const {
    EXPECT_FALSE(table.IsOpen());
    EXPECT_FALSE(window.IsVisible(Control::ProgressBox));
    EXPECT_FALSE(window.longOperationRunning);
    EXPECT_EQ(window.pumps.back(), 1000);
  }

  TempDir program;
  TempDir workshop;
  ModIndex table;
  FakeModList list;
  FakeWindow window;
  Workspace workspace{table, list, window, program.text()};
};

TEST_F(IndexBuildingTest, NewIndexThenAppendsKeepNumberingAndMirroring) {
  for (const char* name : {"100", "200", "300"}) workshop.MakeDir(name);
  workshop.WriteFile("readme.txt", "not a mod");
  const std::vector<Text> first = Listing(workshop.path());
  ASSERT_EQ(first.size(), 3u);

  BuildNewIndex(workspace);
  EXPECT_THAT(window.questions, ::testing::ElementsAre(
                                    Gbk("      如果新建索引的话，旧的索引及相关信息会全部清除，是否继续？")));
  EXPECT_EQ(Records(), Numbered(first));
  ExpectInStep();
  for (int column = 2; column < window::kColumnCount; ++column) EXPECT_EQ(list.CellText(0, column), "");
  std::vector<Text> lines;
  for (size_t i = 0; i < first.size(); ++i) {
    lines.push_back(Gbk("正在索引目录：") + std::to_string(i + 1) + Gbk("，目录名：") + first[i]);
  }
  lines.push_back(Gbk("索引完成，共索引目录3个"));
  EXPECT_EQ(window.progressLines, lines);
  EXPECT_EQ(window.Log(), Gbk("\r\n\r\n索引完成，共索引目录3个"));
  EXPECT_EQ(window.pumps, std::vector<int>{1000});
  ExpectFinished();

  // A details click earlier left the table open on a record of its own; the append still works and closes it.
  table.Open(workspace.TablePath());
  table.GoTo(2);
  workshop.MakeDir("150");
  const std::vector<Text> second = Listing(workshop.path());
  const auto at150 = std::find(second.begin(), second.end(), "150") - second.begin();
  window.progressLines.clear();
  AppendIndex(workspace);
  EXPECT_EQ(Records().back(), Record("4", "150"));
  EXPECT_EQ(Records().size(), 4u);
  ExpectInStep();
  // Listed among the first three, its serial is taken: added at the end with no line naming it. Listed
  // last, serial 4 is free and it gets the line of the first folder added.
  if (at150 < 3) {
    EXPECT_THAT(window.progressLines, ::testing::ElementsAre(Gbk("追加索引完成，共追加目录1个")));
  } else {
    EXPECT_THAT(window.progressLines, ::testing::ElementsAre(Gbk("正在追加索引目录：0，目录名：150"),
                                                             Gbk("追加索引完成，共追加目录1个")));
  }
  EXPECT_EQ(window.logEntries.back(), Gbk("\r\n\r\n追加索引完成，共追加目录1个"));
  ExpectFinished();

  // With the box ticked, and a details click in each pause moving the table's record.
  workshop.MakeDir("400");
  const std::vector<Text> third = Listing(workshop.path());
  const auto at400 = std::find(third.begin(), third.end(), "400") - third.begin();
  window.SetTicked(Control::ProgressCheck, true);
  window.onPump = [this](int) { table.GoTo(1); };
  window.progressLines.clear();
  AppendIndex(workspace);
  EXPECT_EQ(Records().size(), 5u);
  EXPECT_EQ(Records().back(), Record("5", "400"));
  ExpectInStep();
  if (at400 == 4) {
    EXPECT_THAT(window.progressLines, ::testing::ElementsAre(Gbk("正在追加索引目录：0，目录名：400"),
                                                             Gbk("追加索引完成，共追加目录1个")));
  } else {
    EXPECT_THAT(window.progressLines, ::testing::ElementsAre(Gbk("追加索引完成，共追加目录1个")));
  }
  ExpectFinished();

  window.progressLines.clear();
  AppendIndex(workspace);
  EXPECT_EQ(Records().size(), 5u);
  ExpectInStep();
  EXPECT_THAT(window.progressLines, ::testing::ElementsAre(Gbk("追加索引完成，共追加目录0个")));
  EXPECT_THAT(window.logEntries, ::testing::ElementsAre(Gbk("\r\n\r\n索引完成，共索引目录3个"),
                                                        Gbk("\r\n\r\n追加索引完成，共追加目录1个"),
                                                        Gbk("\r\n\r\n追加索引完成，共追加目录1个"),
                                                        Gbk("\r\n\r\n追加索引完成，共追加目录0个")));
  ExpectFinished();
}

// Independent of the listing order: a single new folder in a folder of its own.
TEST_F(IndexBuildingTest, AppendGivesALineOnlyWhenTheFolderSerialIsFree) {
  for (const char* name : {"1", "2", "3"}) workshop.MakeDir(name);
  AppendIndex(workspace);
  const std::vector<Text> listed = Listing(workshop.path());
  EXPECT_EQ(Records(), Numbered(listed));
  std::vector<Text> lines;
  for (size_t i = 0; i < listed.size(); ++i) {
    lines.push_back(Gbk("正在追加索引目录：") + std::to_string(i) + Gbk("，目录名：") + listed[i]);
  }
  lines.push_back(Gbk("追加索引完成，共追加目录3个"));
  EXPECT_EQ(window.progressLines, lines);

  // The only folder is the first listed: serial 1 is taken, so no line and no pause, even with the box.
  TempDir other;
  other.MakeDir("777");
  window.SetText(Control::WorkshopFolderBox, other.text());
  window.SetTicked(Control::ProgressCheck, true);
  window.progressLines.clear();
  window.pumps.clear();
  AppendIndex(workspace);
  EXPECT_EQ(Records().back(), Record("4", "777"));
  ExpectInStep();
  EXPECT_THAT(window.progressLines, ::testing::ElementsAre(Gbk("追加索引完成，共追加目录1个")));
  EXPECT_EQ(window.pumps, std::vector<int>{1000});
  ExpectFinished();
}

TEST_F(IndexBuildingTest, CancelChangesNothing) {
  for (const char* name : {"10", "20"}) workshop.MakeDir(name);
  BuildNewIndex(workspace);
  const std::vector<Record> before = Records();
  workshop.MakeDir("30");
  window.SetTicked(Control::ProgressCheck, true);
  window.AnswerConfirm(false);
  const auto lines = window.progressLines;
  const auto pumps = window.pumps;

  BuildNewIndex(workspace);
  EXPECT_EQ(window.questions.size(), 2u);
  EXPECT_EQ(Records(), before);
  EXPECT_EQ(Rows(), before);
  EXPECT_EQ(window.Log(), Gbk("\r\n\r\n索引完成，共索引目录2个"));
  EXPECT_EQ(window.progressLines, lines);
  EXPECT_EQ(window.pumps, pumps);
  EXPECT_FALSE(window.IsVisible(Control::ProgressBox));
  EXPECT_FALSE(window.longOperationRunning);
}

TEST_F(IndexBuildingTest, NoItemFolderGivesCountZero) {
  TempDir filesOnly;
  filesOnly.WriteFile("a.txt", "x");
  filesOnly.WriteFile("b.dat", "");
  TempDir empty;
  const struct {
    const char* what;
    Text folder;
  } cases[] = {
      {"missing folder", workshop.text() + "/gone"},
      {"empty folder", empty.text()},
      {"files only", filesOnly.text()},
      {"a file, not a folder", filesOnly.text() + "/a.txt"},
      {"empty box", ""},
  };
  workshop.MakeDir("5");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    window.SetText(Control::WorkshopFolderBox, workshop.text());
    BuildNewIndex(workspace);
    ASSERT_EQ(Records().size(), 1u);

    window.SetText(Control::WorkshopFolderBox, c.folder);
    AppendIndex(workspace);
    EXPECT_EQ(Records(), std::vector<Record>{Record("1", "5")});
    EXPECT_EQ(window.progressLines.back(), Gbk("追加索引完成，共追加目录0个"));
    EXPECT_EQ(window.logEntries.back(), Gbk("\r\n\r\n追加索引完成，共追加目录0个"));

    BuildNewIndex(workspace);
    EXPECT_TRUE(Records().empty());
    EXPECT_EQ(list.RowCount(), 0);
    EXPECT_EQ(window.progressLines.back(), Gbk("索引完成，共索引目录0个"));
    EXPECT_EQ(window.logEntries.back(), Gbk("\r\n\r\n索引完成，共索引目录0个"));
    ExpectFinished();
  }
}

TEST_F(IndexBuildingTest, EveryKindOfFolderIsAnItemAndNothingElseIs) {
  TempDir elsewhere;
  elsewhere.MakeDir("target");
  elsewhere.WriteFile("file", "x");
  for (const char* name : {"readme", ".hidden", "模组 甲", "123-copy"}) workshop.MakeDir(name);
  workshop.WriteFile("notes.txt", "x");
  fs::create_directory_symlink(elsewhere.path() / "target", workshop.path() / "linked");
  fs::create_symlink(elsewhere.path() / "file", workshop.path() / "file-link");
  fs::create_symlink(elsewhere.path() / "nowhere", workshop.path() / "broken-link");

  BuildNewIndex(workspace);
  const std::vector<Text> listed = Listing(workshop.path());
  EXPECT_THAT(listed,
              ::testing::UnorderedElementsAre("readme", ".hidden", Gbk("模组 甲"), "123-copy", "linked"));
  EXPECT_EQ(Records(), Numbered(listed));
  ExpectInStep();
  EXPECT_EQ(ItemFolderNames(workshop.text()), listed);
}

TEST_F(IndexBuildingTest, ProgressBoxAndPausesOnlyWhenTicked) {
  for (const char* name : {"1", "2", "3"}) workshop.MakeDir(name);
  for (const bool ticked : {false, true}) {
    SCOPED_TRACE(ticked);
    window.SetTicked(Control::ProgressCheck, ticked);
    window.pumps.clear();
    window.progressBoxVisibleAt.clear();
    BuildNewIndex(workspace);
    EXPECT_EQ(window.progressBoxVisibleAt, std::vector<bool>(4, ticked));
    const std::vector<int> pumps = ticked ? std::vector<int>{1, 1, 1, 1000} : std::vector<int>{1000};
    EXPECT_EQ(window.pumps, pumps);
    ExpectFinished();
  }
}

// A second click during a pause: the guard refuses it before it asks or touches anything.
TEST_F(IndexBuildingTest, SecondLongOperationIsRefused) {
  for (const char* name : {"1", "2"}) workshop.MakeDir(name);
  window.SetTicked(Control::ProgressCheck, true);
  bool clicked = false;
  window.onPump = [&](int) {
    if (clicked) return;
    clicked = true;
    TempDir another;
    another.MakeDir("9");
    window.SetText(Control::WorkshopFolderBox, another.text());
    BuildNewIndex(workspace);
    AppendIndex(workspace);
  };
  BuildNewIndex(workspace);
  EXPECT_EQ(window.questions.size(), 1u);
  EXPECT_EQ(Records(), Numbered(Listing(workshop.path())));
  ExpectInStep();
  const Text refused = Gbk("\r\n\r\n另一个操作正在进行，请等它完成或按Esc停止后再试。");
  EXPECT_THAT(window.logEntries,
              ::testing::ElementsAre(refused, refused, Gbk("\r\n\r\n索引完成，共索引目录2个")));
  ExpectFinished();
}

// Esc in the pause before the first folder: that folder is finished, the next is not begun.
TEST_F(IndexBuildingTest, StopEndsBeforeTheNextFolderAndCountsWhatWasDone) {
  for (const char* name : {"1", "2", "3"}) workshop.MakeDir(name);
  window.SetTicked(Control::ProgressCheck, true);
  window.onPump = [this](int ms) {
    if (ms == 1) window.RequestStop();
  };
  const struct {
    void (*operation)(Workspace&);
    const char* finalLine;
  } cases[] = {{&AppendIndex, "追加索引完成，共追加目录1个"}, {&BuildNewIndex, "索引完成，共索引目录1个"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.finalLine);
    fs::remove(text::ToNativePath(workspace.TablePath()));
    ASSERT_TRUE(CreateEmptyIndexFile(text::ToNativePath(workspace.TablePath()).string()));
    list.DeleteAllRows();
    c.operation(workspace);
    EXPECT_EQ(Records(), Numbered({Listing(workshop.path())[0]}));
    ExpectInStep();
    EXPECT_EQ(window.progressLines.back(), Gbk(c.finalLine));
    EXPECT_EQ(window.logEntries.back(), Gbk("\r\n\r\n") + Gbk(c.finalLine) + Gbk("\r\n（已中止）"));
    ExpectFinished();
  }
}

// A table that cannot be opened is said so, and the list is left as it was instead of drifting from it.
TEST_F(IndexBuildingTest, UnopenableTableChangesNothing) {
  workshop.MakeDir("1");
  const fs::path file = text::ToNativePath(workspace.TablePath());
  const struct {
    const char* what;
    bool keepFile;
  } cases[] = {{"missing", false}, {"not an index", true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove(file);
    if (c.keepFile) program.WriteFile("CSLmod.edb", std::string(4096, 'x'));
    for (auto* operation : {&BuildNewIndex, &AppendIndex}) {
      list.DeleteAllRows();
      list.Fill(2);
      window.messages.clear();
      const size_t logged = window.logEntries.size();
      operation(workspace);
      EXPECT_EQ(list.RowCount(), 2);
      EXPECT_EQ(list.CellText(1, 1), "102");
      EXPECT_THAT(window.messages, ::testing::ElementsAre(Gbk("无法打开索引表：") + workspace.TablePath() +
                                                          Gbk("\r\n索引没有改动。")));
      EXPECT_EQ(window.logEntries.size(), logged);
      EXPECT_FALSE(window.longOperationRunning);
    }
    if (c.keepFile) {
      EXPECT_EQ(program.ReadFile("CSLmod.edb"), std::string(4096, 'x'));
    }
  }
}

// The table file vanishes mid-run: the run stops there, and the list holds only what the table took.
TEST_F(IndexBuildingTest, FailedAddStopsWithTableAndListInStep) {
  for (const char* name : {"1", "2", "3"}) workshop.MakeDir(name);
  window.SetTicked(Control::ProgressCheck, true);
  const fs::path file = text::ToNativePath(workspace.TablePath());
  int pauses = 0;
  window.onPump = [&](int ms) {
    if (ms == 1 && ++pauses == 2) fs::rename(file, file.string() + ".moved");
  };
  BuildNewIndex(workspace);
  fs::rename(file.string() + ".moved", file);
  EXPECT_EQ(Records(), Numbered({Listing(workshop.path())[0]}));
  ExpectInStep();
  EXPECT_EQ(window.logEntries.back(), Gbk("\r\n\r\n索引完成，共索引目录1个\r\n写入索引表失败，已停止。"));
  ExpectFinished();
}

}  // namespace
}  // namespace quorvane::index
