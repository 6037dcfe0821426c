#include "browse/RowJump.h"

#include "BrowseFixture.h"

namespace quorvane::testing {
namespace {

using browse::JumpToRow;
using browse::OnJumpBoxKey;
using browse::SelectAllJumpText;
using window::Control;

class RowJumpTest : public BrowseFixture {
 protected:
  void Type(const Text& jumpText) { window.texts[Control::JumpBox] = jumpText; }
};

TEST_F(RowJumpTest, TextWithoutARowNumberChangesNothing) {
  MakeMods(30);
  list.SelectRow(4);
  list.topRow = 3;
  window.focus = Control::JumpBox;
  for (const Text typed : {"0", "-3", "abc", "", " -12", "+0"}) {
    SCOPED_TRACE(typed);
    Type(typed);

    OnJumpBoxKey(workspace, browse::kEnterKey);
    EXPECT_FALSE(JumpToRow(workspace));

    EXPECT_EQ(Caption(), text::Gbk("预览图"));
    EXPECT_TRUE(window.clipboardWrites.empty());
    EXPECT_EQ(list.SelectedRows(), std::vector<int>{4});
    EXPECT_EQ(list.topRow, 3);
    EXPECT_EQ(window.focus, Control::JumpBox);
    EXPECT_TRUE(window.selections.empty()) << "the box's text is not selected";
  }
}

TEST_F(RowJumpTest, JumpShowsTheRowAsItsOnlySelectedRowOnTopWithTheListFocused) {
  struct Case {
    Text typed;
    Text caption;
  };
  const std::vector<Case> cases = {
      {"007", text::Gbk("预览图:7/107")},
      {" 12", text::Gbk("预览图:12/112")},
      {"12abc", text::Gbk("预览图:12/112")},
      {text::Gbk("１２"), text::Gbk("预览图:12/112")},
  };
  MakeMods(100);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    list.SelectRow(2);
    list.SelectRow(50);
    window.focus = Control::JumpBox;
    Type(c.typed);

    EXPECT_TRUE(JumpToRow(workspace));

    const int n = static_cast<int>(text::IntegerValue(c.typed));
    EXPECT_EQ(Caption(), c.caption);
    EXPECT_EQ(LastClipboard(), IdOf(n));
    EXPECT_EQ(DescriptionText(), "description " + std::to_string(n) + "\r\n");
    EXPECT_EQ(list.SelectedRows(), std::vector<int>{n - 1});
    EXPECT_EQ(list.topRow, n - 1);
    EXPECT_EQ(window.focus, Control::ModListView);
    EXPECT_EQ(window.GetText(Control::JumpBox), c.typed) << "the box keeps what was typed";
  }
}

TEST_F(RowJumpTest, TopVisibleRowAfterTheJump) {
  struct Case {
    const char* name;
    int visibleRows;
    int topBefore;
    int n;
    int topAfter;
  };
  // 100 rows. With 25 or more rows after the target it ends on top from anywhere; with fewer the view
  // goes to the end of the list; with exactly 24 the target is brought into view by the least scroll.
  const std::vector<Case> cases = {
      {"target below the view", 22, 0, 50, 49},
      {"target inside the view", 22, 40, 50, 49},
      {"target above the view", 22, 60, 50, 49},
      {"view of 23 rows", 23, 0, 50, 49},
      {"view of 25 rows, the lead", 25, 0, 50, 49},
      {"first row", 22, 30, 1, 0},
      {"exactly 24 rows after, view above", 22, 0, 76, 54},
      {"exactly 24 rows after, view below", 22, 80, 76, 75},
      {"23 rows after: the last row brought in first", 22, 0, 77, 76},
      {"the last row", 22, 0, 100, 78},
  };
  MakeMods(100);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    list.visibleRows = c.visibleRows;
    list.topRow = c.topBefore;
    Type(std::to_string(c.n));

    JumpToRow(workspace);

    EXPECT_EQ(list.topRow, c.topAfter);
    EXPECT_EQ(list.SelectedRows(), std::vector<int>{c.n - 1});
  }
}

TEST_F(RowJumpTest, NumberBeyondTheListShowsTheLastRecordAndSelectsNothing) {
  MakeMods(100);
  WritePreview(100, "last picture");
  for (const Text typed : {"150", "99999999999999999999999"}) {
    SCOPED_TRACE(typed);
    list.SelectRow(3);
    list.topRow = 0;
    window.visible[Control::NoPreviewLabel] = false;
    Type(typed);

    EXPECT_TRUE(JumpToRow(workspace));

    EXPECT_EQ(Caption(), text::Gbk("预览图:") + text::Decimal(text::IntegerValue(typed)) + "/");
    EXPECT_EQ(LastClipboard(), "");
    EXPECT_TRUE(NoPreviewLabelShown());
    EXPECT_EQ(DescriptionText(), "description 100\r\n");
    EXPECT_TRUE(list.SelectedRows().empty());
    EXPECT_EQ(list.topRow, 78) << "scrolled to the end";
    EXPECT_EQ(window.focus, Control::ModListView);
  }
}

TEST_F(RowJumpTest, EnterLeavesTheBoxFocusedWithItsTextSelectedReadyForTheNextNumber) {
  MakeMods(100);
  window.focus = Control::JumpBox;
  Type("12");

  OnJumpBoxKey(workspace, browse::kEnterKey);

  EXPECT_EQ(list.SelectedRows(), std::vector<int>{11});
  EXPECT_EQ(list.topRow, 11);
  EXPECT_EQ(Caption(), text::Gbk("预览图:12/112"));
  EXPECT_EQ(window.focus, Control::JumpBox);
  EXPECT_EQ(window.selections[Control::JumpBox].start, 0);
  EXPECT_EQ(window.selections[Control::JumpBox].length, 2);

  Type("40");
  OnJumpBoxKey(workspace, browse::kEnterKey);
  EXPECT_EQ(list.SelectedRows(), std::vector<int>{39});
  EXPECT_EQ(list.topRow, 39);
  EXPECT_EQ(Caption(), text::Gbk("预览图:40/140"));
}

TEST_F(RowJumpTest, OtherKeysDoNothingAndTheButtonLeavesTheListFocused) {
  MakeMods(100);
  window.focus = Control::JumpBox;
  Type("12");

  OnJumpBoxKey(workspace, 'A');
  EXPECT_EQ(Caption(), text::Gbk("预览图"));
  EXPECT_TRUE(list.SelectedRows().empty());

  JumpToRow(workspace);  // the button's click
  EXPECT_EQ(window.focus, Control::ModListView);
  EXPECT_TRUE(window.selections.empty());
}

TEST_F(RowJumpTest, ClickIntoTheBoxSelectsItsWholeText) {
  for (const Text& typed : {Text("123"), text::Gbk("１２"), Text()}) {
    Type(typed);
    SelectAllJumpText(window);
    EXPECT_EQ(window.selections[Control::JumpBox].start, 0);
    EXPECT_EQ(window.selections[Control::JumpBox].length, text::Length(typed));
  }
}

}  // namespace
}  // namespace quorvane::testing
