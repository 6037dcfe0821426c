#include <gtest/gtest.h>

#include "FakeModList.h"
#include "FakeWindow.h"
#include "TempDir.h"
#include "app/StartUp.h"
#include "index/ModIndex.h"

namespace quorvane::app {
namespace {

using testing::FakeModList;
using testing::FakeWindow;
using testing::TempDir;
using text::Gbk;
using text::Text;
using window::Control;

class StartUpTest : public ::testing::Test {
 protected:
  Text TablePath() const { return text::JoinPath(dir.text(), "CSLmod.edb"); }
  void MakeTable() { ASSERT_TRUE(index::CreateEmptyIndexFile(dir.path().string() + "/CSLmod.edb")); }
  void MakeSettings(const std::string& bytes = "W:\\workshop\r\nhttp://pages/?id=") {
    dir.WriteFile("CSLinfo.txt", bytes);
  }
  bool Run() {
    return StartUp(workspace, dir.text(), [this] { ++processEnds; });
  }

  TempDir dir;
  index::ModIndex table;
  FakeModList list;
  FakeWindow window;
  index::Workspace workspace{table, list, window, {}};
  int processEnds = 0;
};

TEST_F(StartUpTest, FillsTheBoxesFromTheSettingsAndHidesTheNoPreviewLabel) {
  MakeTable();
  MakeSettings();
  window.visible[Control::NoPreviewLabel] = true;
  EXPECT_TRUE(Run());
  EXPECT_EQ(window.GetText(Control::WorkshopFolderBox), "W:\\workshop");
  EXPECT_EQ(window.GetText(Control::PagePrefixBox), "http://pages/?id=");
  EXPECT_FALSE(window.IsVisible(Control::NoPreviewLabel));
  EXPECT_EQ(workspace.programDir, dir.text());
  EXPECT_TRUE(window.messages.empty());
  EXPECT_EQ(processEnds, 0);
  EXPECT_EQ(list.RowCount(), 0);
}

TEST_F(StartUpTest, EmptySettingsLinesReplaceTheDefaults) {
  MakeTable();
  MakeSettings("");
  EXPECT_TRUE(Run());
  EXPECT_EQ(window.GetText(Control::WorkshopFolderBox), "");
  EXPECT_EQ(window.GetText(Control::PagePrefixBox), "");
}

struct MissingCase {
  const char* name;
  bool table;
  bool settings;
  const char* message;
};

class StartUpMissingTest : public StartUpTest, public ::testing::WithParamInterface<MissingCase> {};

TEST_P(StartUpMissingTest, ShowsTheFirstMissingFileAndEndsTheProcessWithTheDefaultsShown) {
  if (GetParam().table) MakeTable();
  if (GetParam().settings) MakeSettings();
  EXPECT_FALSE(Run());
  ASSERT_EQ(window.messages.size(), 1u);
  EXPECT_EQ(window.messages[0], Gbk(GetParam().message));
  EXPECT_EQ(processEnds, 1);
  EXPECT_EQ(window.GetText(Control::WorkshopFolderBox), std::string(index::kDefaultWorkshopFolder));
  EXPECT_EQ(window.GetText(Control::PagePrefixBox), std::string(index::kDefaultPagePrefix));
  EXPECT_FALSE(window.IsVisible(Control::NoPreviewLabel));
  EXPECT_EQ(list.RowCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StartUpMissingTest,
    ::testing::Values(MissingCase{"Table", false, true, "CSLmod.edb文件不存在，现在将退出！"},
                      MissingCase{"Settings", true, false, "CSLinfo.txt文件不存在，现在将退出！"},
                      MissingCase{"Both", false, false, "CSLmod.edb文件不存在，现在将退出！"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(StartUpTest, AFolderNamedLikeTheSettingsFileCountsAsThereAndReadsEmpty) {
  MakeTable();
  dir.MakeDir("CSLinfo.txt");
  EXPECT_TRUE(Run());
  EXPECT_EQ(window.GetText(Control::WorkshopFolderBox), "");
  EXPECT_EQ(processEnds, 0);
}

TEST_F(StartUpTest, LoadsEveryRecordIntoTheList) {
  MakeTable();
  MakeSettings();
  {
    index::ModIndex writer;
    ASSERT_EQ(writer.Open(TablePath()), index::OpenResult::kOpened);
    for (int serial = 1; serial <= 3; ++serial) {
      ASSERT_TRUE(writer.AddRecord(serial, "10" + std::to_string(serial)));
      writer.WriteField(index::kName, Gbk("名称") + std::to_string(serial));
      writer.WriteField(index::kInvalid, serial == 2);
      writer.WriteField(index::kFirstDescription + 7, Text("last piece"));
    }
    writer.CloseAll();
  }
  EXPECT_TRUE(Run());
  ASSERT_EQ(list.RowCount(), 3);
  for (int row = 0; row < 3; ++row) {
    EXPECT_EQ(list.CellText(row, 0), std::to_string(row + 1));
    EXPECT_EQ(list.CellText(row, 1), "10" + std::to_string(row + 1));
    EXPECT_EQ(list.CellText(row, 2), Gbk("名称") + std::to_string(row + 1));
    EXPECT_EQ(list.CellText(row, 3), "");
    EXPECT_EQ(list.CellText(row, 5), Gbk(row == 1 ? "真" : "假"));
    EXPECT_EQ(list.CellText(row, 13), "last piece");
    EXPECT_EQ(list.Check(row), 0);
  }
  EXPECT_EQ(list.SelectedCount(), 0);
  EXPECT_FALSE(table.IsOpen());
}

TEST_F(StartUpTest, RefusesATableFileThatIsNotAnIndexAndLeavesItUntouched) {
  MakeSettings();
  for (const std::string& content : {std::string("not a database at all"),
                                     std::string("SQLite format 3\0garbage that is no database", 44)}) {
    dir.WriteFile("CSLmod.edb", content);
    window.messages.clear();
    processEnds = 0;
    EXPECT_FALSE(Run());
    ASSERT_EQ(window.messages.size(), 1u);
    EXPECT_NE(window.messages[0].find(TablePath()), std::string::npos);
    EXPECT_NE(window.messages[0].find(Gbk("无法作为索引读取")), std::string::npos);
    EXPECT_EQ(processEnds, 1);
    EXPECT_EQ(dir.ReadFile("CSLmod.edb"), content);
    EXPECT_EQ(list.RowCount(), 0);
  }
}

TEST_F(StartUpTest, BrowseWorkshopFolderTakesTheChosenFolderAndKeepsTheOldOneOnCancel) {
  window.SetText(Control::WorkshopFolderBox, "old");
  window.AnswerPickFolder("/chosen/folder");
  BrowseWorkshopFolder(workspace);
  EXPECT_EQ(window.GetText(Control::WorkshopFolderBox), "/chosen/folder");
  BrowseWorkshopFolder(workspace);  // no answer queued: cancelled
  EXPECT_EQ(window.GetText(Control::WorkshopFolderBox), "/chosen/folder");
  ASSERT_EQ(window.folderPickerTitles.size(), 2u);
  EXPECT_EQ(window.folderPickerTitles[0], Gbk("浏览创意工坊下载MOD所在的文件夹"));
}

}  // namespace
}  // namespace quorvane::app
