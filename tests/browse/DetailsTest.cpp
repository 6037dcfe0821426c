#include "browse/Details.h"

#include <sys/stat.h>

#include "BrowseFixture.h"

namespace quorvane::testing {
namespace {

using namespace std::string_literals;
using browse::ShowCurrentRowDetails;
using browse::ShowModDetails;
using window::Control;

class DetailsTest : public BrowseFixture {};

TEST_F(DetailsTest, FocusedRowShowsItsCaptionPictureIdAndDescription) {
  MakeMods(3);
  WritePreview(2, "jpeg bytes\0of 2"s);
  list.SelectRow(1);

  ShowCurrentRowDetails(workspace);

  EXPECT_EQ(Caption(), text::Gbk("预览图:2/102"));
  EXPECT_EQ(LastClipboard(), "102");
  EXPECT_FALSE(NoPreviewLabelShown());
  EXPECT_EQ(window.picture, "jpeg bytes\0of 2"s);
  EXPECT_EQ(DescriptionText(), "description 2\r\n");
  EXPECT_TRUE(table.IsOpen()) << "the table is left open for the next details call";
}

TEST_F(DetailsTest, MissingPreviewShowsTheLabelAndClearsThePicture) {
  MakeMods(3);
  WritePreview(1, "picture of 1");
  list.SelectRow(0);
  ShowCurrentRowDetails(workspace);
  ASSERT_EQ(window.picture, "picture of 1");

  list.DeselectRow(0);
  list.SelectRow(2);
  ShowCurrentRowDetails(workspace);

  EXPECT_EQ(Caption(), text::Gbk("预览图:3/103"));
  EXPECT_TRUE(NoPreviewLabelShown());
  EXPECT_EQ(window.picture, "");
  EXPECT_EQ(DescriptionText(), "description 3\r\n");
}

TEST_F(DetailsTest, DescriptionIsJoinedOverTheEightFieldsAndSplitIntoLines) {
  struct Case {
    const char* name;
    Pieces fields;
    Text lines;
  };
  const Text gbkWord = text::Gbk("说明");
  const std::vector<Case> cases = {
      {"empty line between", {"a<br><br>b"}, "a\r\n\r\nb\r\n"},
      {"trailing marker", {"a<br>"}, "a\r\n"},
      {"marker alone", {"<br>"}, "\r\n"},
      {"upper case does not split", {"a<BR>b"}, "a<BR>b\r\n"},
      {"marker cut across two fields", {"a<b", "r>b"}, "a\r\nb\r\n"},
      {"last field only", {"", "", "", "", "", "", "", "end"}, "end\r\n"},
      {"all eight joined", {"1", "2", "3", "4", "5", "6", "7", "8"}, "12345678\r\n"},
      {"double-byte text", {gbkWord + "<br>" + gbkWord}, gbkWord + "\r\n" + gbkWord + "\r\n"},
      {"no description", {}, ""},
  };
  MakeMods(static_cast<int>(cases.size()), [&](int r) { return cases[r - 1].fields; });

  for (size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(cases[i].name);
    window.texts[Control::DescriptionBox] = "left over";
    ShowModDetails(workspace, std::to_string(i + 1), IdOf(static_cast<int>(i) + 1));
    EXPECT_EQ(DescriptionText(), cases[i].lines);
  }
}

TEST_F(DetailsTest, NoSelectedRowShowsEmptyCaptionPartsAndTheFirstRecord) {
  MakeMods(3);
  window.visible[Control::NoPreviewLabel] = false;

  ShowCurrentRowDetails(workspace);

  EXPECT_EQ(Caption(), text::Gbk("预览图:/"));
  EXPECT_EQ(LastClipboard(), "");
  EXPECT_TRUE(NoPreviewLabelShown());
  EXPECT_EQ(window.picture, "");
  EXPECT_EQ(DescriptionText(), "description 1\r\n");
}

TEST_F(DetailsTest, LowestSelectedRowIsShownWhateverRowGotTheFocus) {
  MakeMods(5);
  list.SelectRow(3);
  list.SelectRow(1);

  ShowCurrentRowDetails(workspace);

  EXPECT_EQ(Caption(), text::Gbk("预览图:2/102"));
  EXPECT_EQ(DescriptionText(), "description 2\r\n");
}

TEST_F(DetailsTest, PreviewDownloadedLaterAppearsTheNextTime) {
  MakeMods(2);
  ShowModDetails(workspace, "2", "102");
  ASSERT_TRUE(NoPreviewLabelShown());

  WritePreview(2, "fresh picture");
  ShowModDetails(workspace, "2", "102");

  EXPECT_FALSE(NoPreviewLabelShown());
  EXPECT_EQ(window.picture, "fresh picture");
}

TEST_F(DetailsTest, EditedWorkshopFolderIsWhereThePreviewIsLookedFor) {
  MakeMods(1);
  WritePreview(1, "old place");
  dir.WriteFile("elsewhere/101/101.jpg", "new place");

  window.texts[Control::WorkshopFolderBox] = text::JoinPath(dir.text(), "elsewhere");
  ShowModDetails(workspace, "1", "101");
  EXPECT_EQ(window.picture, "new place");

  window.texts[Control::WorkshopFolderBox] = text::JoinPath(dir.text(), "nowhere");
  ShowModDetails(workspace, "1", "101");
  EXPECT_TRUE(NoPreviewLabelShown());
  EXPECT_EQ(window.picture, "");
}

TEST_F(DetailsTest, TableLeftOpenIsUsedAndRowsBeyondTheEndShowTheLastRecord) {
  MakeMods(4);
  ASSERT_EQ(table.Open(workspace.TablePath()), index::OpenResult::kOpened);
  table.GoTo(3);

  ShowModDetails(workspace, "99", "");
  EXPECT_EQ(DescriptionText(), "description 4\r\n");
  ShowModDetails(workspace, "0", "");
  EXPECT_EQ(DescriptionText(), "description 1\r\n");
  ShowModDetails(workspace, text::Gbk("　２"), "");  // full-width blank and digit
  EXPECT_EQ(DescriptionText(), "description 2\r\n");
  EXPECT_EQ(table.CurrentRecord(), 2);
}

TEST_F(DetailsTest, UnreadableTableShowsWhatItCanAndClearsTheDescription) {
  struct Case {
    const char* name;
    const char* tableFile;  // nullptr: no table file at all
  };
  const std::vector<Case> cases = {
      {"table deleted after start-up", nullptr},
      {"table replaced by a foreign file", "not a table at all"},
  };
  WritePreview(1, "picture");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.tableFile) dir.WriteFile("CSLmod.edb", c.tableFile);
    window.texts[Control::DescriptionBox] = "left over";

    ShowModDetails(workspace, "1", "101");

    EXPECT_EQ(Caption(), text::Gbk("预览图:1/101"));
    EXPECT_EQ(LastClipboard(), "101");
    EXPECT_EQ(window.picture, "picture");
    EXPECT_EQ(DescriptionText(), "");
    if (c.tableFile) {
      EXPECT_EQ(dir.ReadFile("CSLmod.edb"), c.tableFile) << "a foreign file stays untouched";
    }
  }
}

TEST_F(DetailsTest, PreviewPathThatIsNoFileHidesTheLabelAndShowsNothing) {
  MakeMods(2);
  dir.MakeDir("ws/101/101.jpg");
#ifndef _WIN32
  // A pipe would block a plain read forever.
  dir.MakeDir("ws/102");
  ASSERT_EQ(mkfifo((dir.path() / "ws/102/102.jpg").c_str(), 0600), 0);
#endif
  for (int record : {1, 2}) {
    SCOPED_TRACE(record);
    window.picture = "previous";
    ShowModDetails(workspace, std::to_string(record), IdOf(record));
    EXPECT_FALSE(NoPreviewLabelShown());
    EXPECT_EQ(window.picture, "");
    EXPECT_EQ(DescriptionText(), "description " + std::to_string(record) + "\r\n");
  }
}

}  // namespace
}  // namespace quorvane::testing
