#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "FakeModList.h"
#include "FakeWindow.h"
#include "search/FieldSearch.h"
#include "text/Text.h"

namespace quorvane::search {
namespace {

using testing::FakeModList;
using testing::FakeWindow;
using text::Gbk;
using text::Text;
using window::Control;

class FieldSearchTest : public ::testing::Test {
 protected:
  bool Search(const std::string& choiceUtf8, const Text& t, bool fuzzy) {
    window.texts[Control::SearchFieldCombo] = Gbk(choiceUtf8);
    window.texts[Control::SearchTextBox] = t;
    window.SetTicked(Control::FuzzyCheck, fuzzy);
    return FindByField(list, window);
  }

  FakeWindow window;
  FakeModList list;
};

// A row per entry: serial, id, name, author, (preview), invalid flag.
void AddMods(FakeModList& list, const std::vector<std::vector<Text>>& rows) {
  for (const auto& row : rows) list.AddRow(row);
}

TEST_F(FieldSearchTest, FindsTheRowsOfTheChosenColumn) {
  AddMods(list, {
                    {"1", "12345", "xABCx", "Bob", "", Gbk("假")},
                    {"10", "123456", "ABC", "bob", "", Gbk("真")},
                    {"21", "234", "abc", "", "", Gbk("真真")},
                    {"3", "99", Gbk("中文"), Gbk("形"), "", Gbk("真")},
                });
  struct Case {
    const char* choice;
    Text t;
    bool fuzzy;
    std::vector<int> found;
  } cases[] = {
      {"序号", "1", true, {0}},  // exact whatever the check box says
      {"序号", "2", true, {}},
      {"编码", "12345", false, {0}},
      {"编码", "234", false, {2}},
      {"编码", "234", true, {0, 1, 2}},
      {"名称", "abc", true, {0, 1, 2}},
      {"名称", "abc", false, {2}},
      {"名称", Gbk("形"), true, {}},  // only across the two characters of 中文
      {"作者", "BOB", true, {0, 1}},
      {"作者", "Bob", false, {0}},
      {"是否失效", Gbk("真"), false, {1, 3}},
      {"是否失效", Gbk("真"), true, {1, 2, 3}},
      {"是否失效", Gbk("假"), true, {0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.choice) + " " + c.t + (c.fuzzy ? " fuzzy" : " exact"));
    EXPECT_TRUE(Search(c.choice, c.t, c.fuzzy));
    EXPECT_EQ(list.SelectedRows(), c.found);
  }
}

TEST_F(FieldSearchTest, LogsTheCountAndTheSerialsAsOneText) {
  for (int i = 1; i <= 14; ++i)
    list.AddRow({Text(std::to_string(i)), "id", i == 5 || i == 9 || i == 12 ? "hit" : "miss"});
  list.SelectRow(0);  // deselected first, so the count is that of the rows found
  Search("名称", "hit", false);
  ASSERT_EQ(window.logEntries.size(), 1u);
  EXPECT_EQ(window.logEntries[0], Gbk("\r\n\r\n已查找到MOD个数：3\r\n序号分别是：5，9，12"));

  Search("名称", "none", true);
  EXPECT_EQ(window.logEntries.back(), Gbk("\r\n\r\n已查找到MOD个数：0\r\n序号分别是："));

  Search("序号", "9", true);
  EXPECT_EQ(window.logEntries.back(), Gbk("\r\n\r\n已查找到MOD个数：1"));
}

TEST_F(FieldSearchTest, EmptyTextChangesNothing) {
  list.Fill(3);
  list.SelectRow(1);
  window.focus = Control::JumpBox;
  EXPECT_FALSE(Search("编码", "", true));
  EXPECT_EQ(list.SelectedRows(), std::vector<int>{1});
  EXPECT_TRUE(window.logEntries.empty());
  EXPECT_EQ(window.focus, Control::JumpBox);
  EXPECT_TRUE(list.ensureVisibleCalls.empty());
}

TEST_F(FieldSearchTest, AChoiceOutsideTheSixOnlyDeselects) {
  list.Fill(3);
  list.SelectRow(1);
  list.SetCellText(1, 4, "101");  // 图片地址 cannot be searched
  EXPECT_FALSE(Search("图片地址", "101", true));
  EXPECT_EQ(list.SelectedCount(), 0);
  EXPECT_TRUE(window.logEntries.empty());
  EXPECT_TRUE(list.ensureVisibleCalls.empty());
}

TEST_F(FieldSearchTest, InvalidFlagWantsTrueOrFalse) {
  AddMods(list, {{"1", "101", "", "", "", Gbk("真")}});
  list.SelectRow(0);
  window.focus = Control::ModListView;
  EXPECT_FALSE(Search("是否失效", "1", true));
  EXPECT_EQ(window.messages,
            std::vector<Text>{Gbk("请输入[真]或[假]。\r\n[真]代表已失效，[假]代表未失效。")});
  EXPECT_EQ(window.GetText(Control::SearchTextBox), "");
  EXPECT_EQ(window.focus, Control::SearchTextBox);
  EXPECT_EQ(list.SelectedCount(), 0);
  EXPECT_TRUE(window.logEntries.empty());
}

TEST_F(FieldSearchTest, DescriptionSearchJoinsThePiecesAndShowsTheLastDescription) {
  list.AddRow({"1", "101"});
  list.AddRow({"2", "102"});
  list.SetCellText(1, 6, "one<b");  // the marker is cut between two pieces
  list.SetCellText(1, 7, "r>two");
  list.AddRow({"3", "103"});
  list.SetCellText(2, 13, "last, no marker");
  list.AddRow({"4", "104"});  // no description: leaves the box as it was

  EXPECT_TRUE(Search("MOD信息", "<br>", true));
  EXPECT_EQ(list.SelectedRows(), std::vector<int>{1});
  EXPECT_EQ(window.GetText(Control::DescriptionBox), "last, no marker\r\n");

  EXPECT_TRUE(Search("MOD信息", "one<br>two", false));
  EXPECT_EQ(list.SelectedRows(), std::vector<int>{1});

  FakeModList noDescriptions;
  noDescriptions.Fill(2);
  window.texts[Control::DescriptionBox] = "shown before";
  window.texts[Control::SearchFieldCombo] = Gbk("MOD信息");
  EXPECT_TRUE(FindByField(noDescriptions, window));
  EXPECT_EQ(window.GetText(Control::DescriptionBox), "shown before");
}

TEST_F(FieldSearchTest, FocusEndsOnTheListWhenARowWasACandidate) {
  list.Fill(3);
  window.focus = Control::SearchTextBox;
  Search("编码", "999", false);  // no row equals it: no candidate
  EXPECT_EQ(window.focus, Control::SearchTextBox);
  Search("编码", "999", true);  // every row is a candidate, none found
  EXPECT_EQ(window.focus, Control::ModListView);

  window.focus = Control::SearchTextBox;
  Search("序号", "999", false);  // the serial search focuses the list whenever it has rows
  EXPECT_EQ(window.focus, Control::ModListView);
}

TEST_F(FieldSearchTest, ScrollsTheFoundRowToTheTop) {
  struct Case {
    int rows;
    int match;
    std::vector<int> calls;
    int topRow;
  } cases[] = {
      {30, 20, {29, 20}, 8},  // fewer than 23 rows from row 20 on: the end of the list is shown
      {30, 2, {25, 2}, 2},
      {30, 7, {30, 7}, 0},  // exactly 23 rows from row 7 on: row 30 does not exist, row 7 is in view
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.match);
    FakeModList rows;
    rows.Fill(c.rows);
    window.texts[Control::SearchFieldCombo] = Gbk("序号");
    window.texts[Control::SearchTextBox] = std::to_string(c.match + 1);
    FindByField(rows, window);
    EXPECT_EQ(rows.ensureVisibleCalls, c.calls);
    EXPECT_EQ(rows.topRow, c.topRow);
  }
}

// The view after the shortened scroll must be the view after one ScrollToFoundRow per found row.
TEST(ScrollToFoundRows, EndsWhereScrollingToEveryFoundRowEnds) {
  std::mt19937 random(7);
  for (int visibleRows : {1, 5, 21, 22, 23, 24, 40}) {
    for (int trial = 0; trial < 200; ++trial) {
      const int rowCount = 1 + static_cast<int>(random() % 80);
      std::vector<int> found;
      const int density = 1 + static_cast<int>(random() % 6);
      for (int row = 0; row < rowCount; ++row) {
        if (random() % density == 0) found.push_back(row);
      }
      // The row with exactly 23 rows from it to the end scrolls differently; make it common.
      if (trial % 3 == 0 && rowCount >= 23) {
        found.push_back(rowCount - 23);
        std::sort(found.begin(), found.end());
        found.erase(std::unique(found.begin(), found.end()), found.end());
      }
      const int startTop = static_cast<int>(random() % rowCount);

      FakeModList every(visibleRows), shortened(visibleRows);
      every.Fill(rowCount);
      shortened.Fill(rowCount);
      every.topRow = shortened.topRow = startTop;
      for (int row : found) ScrollToFoundRow(every, row);
      ScrollToFoundRows(shortened, found);
      ASSERT_EQ(shortened.topRow, every.topRow) << "visible " << visibleRows << " rows " << rowCount
                                                << " start " << startTop << " found " << found.size();
    }
  }
}

TEST_F(FieldSearchTest, EnterSearchesAndLeavesTheTextSelectedInTheBox) {
  list.Fill(3);
  window.texts[Control::SearchFieldCombo] = Gbk("编码");
  window.texts[Control::SearchTextBox] = Gbk("中10");

  OnSearchBoxKey(list, window, 65);  // not Enter
  EXPECT_TRUE(window.logEntries.empty());

  OnSearchBoxKey(list, window, 13);
  EXPECT_EQ(window.logEntries.size(), 1u);
  EXPECT_EQ(window.focus, Control::SearchTextBox);
  EXPECT_EQ(window.selections[Control::SearchTextBox].start, 0);
  EXPECT_EQ(window.selections[Control::SearchTextBox].length, 4);  // bytes of the GBK text

  // No log line, no selection: the refusal empties the box, and an empty box does nothing.
  window.selections.clear();
  window.texts[Control::SearchFieldCombo] = Gbk("是否失效");
  window.texts[Control::SearchTextBox] = "x";
  OnSearchBoxKey(list, window, 13);
  OnSearchBoxKey(list, window, 13);
  EXPECT_TRUE(window.selections.empty());
  EXPECT_EQ(window.messages.size(), 1u);
}

TEST_F(FieldSearchTest, ReleasingTheButtonSelectsTheWholeText) {
  window.texts[Control::SearchTextBox] = "abc";
  SelectAllSearchText(window);
  EXPECT_EQ(window.selections[Control::SearchTextBox].start, 0);
  EXPECT_EQ(window.selections[Control::SearchTextBox].length, 3);
}

}  // namespace
}  // namespace quorvane::search
