#include "browse/Navigation.h"

#include "BrowseFixture.h"
#include "browse/Details.h"

namespace quorvane::testing {
namespace {

using browse::GoToShownRow;
using browse::kNoPreviewLabelLead;
using browse::kPictureLead;
using browse::OpenModFolder;
using window::Control;

class NavigationTest : public BrowseFixture {};

TEST_F(NavigationTest, DoubleClickOnThePreviewBringsTheShownRowToTheTop) {
  struct Case {
    const char* name;
    int rows;
    Text shownRow;  // "-": no mod was shown yet
    int lead;
    int firstBroughtIntoView;  // -1: a row that does not exist
    int topAfter;
  };
  // A view of 22 rows, starting at the top.
  MakeMods(100);
  const std::vector<Case> cases = {
      {"picture, row 12", 100, "12", kPictureLead, 58, 11},
      {"label, row 12", 100, "12", kNoPreviewLabelLead, 35, 11},
      {"picture, row 60: row 106 does not exist", 100, "60", kPictureLead, -1, 38},
      {"label, row 60", 100, "60", kNoPreviewLabelLead, 83, 59},
      {"picture, row 90: the end of the list", 100, "90", kPictureLead, 99, 78},
      {"after a jump beyond the list", 100, "150", kPictureLead, 99, 78},
      {"nothing shown yet, more than 23 rows", 100, "-", kPictureLead, 46, 25},
      {"nothing shown yet, 23 rows", 23, "-", kPictureLead, 22, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    list.DeleteAllRows();
    list.Fill(c.rows);
    window.texts[Control::PreviewGroup] = text::Gbk("预览图");
    if (c.shownRow != "-") browse::ShowModDetails(workspace, c.shownRow, "");
    list.SelectRow(4);
    list.ensureVisibleCalls.clear();
    window.focus = Control::JumpBox;
    const Text captionBefore = Caption();
    const size_t clipboardWritesBefore = window.clipboardWrites.size();

    GoToShownRow(workspace, c.lead);

    EXPECT_EQ(window.focus, Control::ModListView);
    EXPECT_EQ(list.topRow, c.topAfter);
    if (c.firstBroughtIntoView >= 0) {
      ASSERT_FALSE(list.ensureVisibleCalls.empty());
      EXPECT_EQ(list.ensureVisibleCalls.front(), c.firstBroughtIntoView);
    }
    EXPECT_EQ(list.SelectedRows(), std::vector<int>{4}) << "the selection stays";
    EXPECT_EQ(Caption(), captionBefore);
    EXPECT_EQ(window.clipboardWrites.size(), clipboardWritesBefore);
  }
}

TEST_F(NavigationTest, DoubleClickOnTheListOpensTheFolderOfTheLowestSelectedRow) {
  MakeMods(10);
  OpenModFolder(workspace);
  list.SelectRow(6);
  list.SelectRow(2);
  OpenModFolder(workspace);
  window.texts[Control::WorkshopFolderBox] = text::Gbk("/其他/ws");
  OpenModFolder(workspace);

  const Text ws = WorkshopFolder();
  EXPECT_EQ(window.openedFolders, (std::vector<Text>{ws + "/", ws + "/103", text::Gbk("/其他/ws/103")}));
}

}  // namespace
}  // namespace quorvane::testing
