#include <gtest/gtest.h>

#include "FakeModList.h"
#include "FakeWindow.h"
#include "search/AuthorWorks.h"
#include "text/Text.h"

namespace quorvane::search {
namespace {

using testing::FakeModList;
using testing::FakeWindow;
using text::Gbk;
using text::Text;
using window::Control;

// Rows with serials 1.. and the given authors in column 3.
void AddAuthors(FakeModList& list, const std::vector<Text>& authors) {
  for (const Text& author : authors) {
    list.AddRow({Text(std::to_string(list.RowCount() + 1)), "id", "name", author});
  }
}

TEST(FindAuthorWorks, ListsEachAuthorOnceAndSelectsTheirWorks) {
  FakeModList list;
  FakeWindow window;
  AddAuthors(list, {"Ann", "Bob", "Ann", "Cy", "ann"});
  for (int row : {0, 1, 2}) list.SetCheck(row, 1);
  list.SelectRow(3);
  window.SetTicked(Control::FuzzyCheck, false);

  FindAuthorWorks(list, window);

  EXPECT_EQ(window.logEntries,
            (std::vector<Text>{Gbk("\r\n\r\n当前共选择MOD个数：3\r\n作者：\r\n"), "Ann\r\nBob\r\n",
                               Gbk("已查找到MOD个数：3\r\n序号分别是：1，2，3")}));
  EXPECT_EQ(list.SelectedRows(), (std::vector<int>{0, 1, 2}));
  EXPECT_TRUE(list.CheckedRows().empty());
  EXPECT_EQ(window.focus, Control::ModListView);
}

TEST(FindAuthorWorks, MatchesExactlyOrByOccurrence) {
  struct Case {
    bool fuzzy;
    Text checkedAuthor;
    std::vector<int> found;
  } cases[] = {
      {false, "Bob", {0}},        {true, "Bob", {0, 1, 2, 3}},
      {false, "bob", {1}},        {true, "BOB", {0, 1, 2, 3}},
      {true, "ob", {0, 1, 2, 3}}, {true, Gbk("形"), {}},  // never from the second byte of 中 in 中文
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.checkedAuthor + (c.fuzzy ? " fuzzy" : " exact"));
    FakeModList list;
    FakeWindow window;
    AddAuthors(list, {"Bob", "bob", "Bobby", "xBOBx", "Ann", Gbk("中文"), c.checkedAuthor});
    list.SetCheck(6, 1);
    window.SetTicked(Control::FuzzyCheck, c.fuzzy);
    FindAuthorWorks(list, window);
    std::vector<int> expected = c.found;
    expected.push_back(6);  // a check-marked row always finds itself
    EXPECT_EQ(list.SelectedRows(), expected);
  }
}

TEST(FindAuthorWorks, EmptyAuthorsCountButFindNothing) {
  FakeModList list(5);
  FakeWindow window;
  AddAuthors(list, {"", "Ann", ""});
  list.SetCheck(0, 1);
  list.SetCheck(2, 1);
  list.SelectRow(1);

  FindAuthorWorks(list, window);

  EXPECT_EQ(window.logEntries, (std::vector<Text>{Gbk("\r\n\r\n当前共选择MOD个数：2\r\n作者：\r\n"), "",
                                                  Gbk("已查找到MOD个数：0\r\n序号分别是：")}));
  EXPECT_EQ(list.SelectedCount(), 0);
  EXPECT_TRUE(list.CheckedRows().empty());
}

TEST(FindAuthorWorks, WithoutACheckMarkOnlyAsks) {
  FakeModList list;
  FakeWindow window;
  AddAuthors(list, {"Ann", "Ann"});
  list.SelectRow(1);
  window.focus = Control::JumpBox;

  FindAuthorWorks(list, window);

  EXPECT_EQ(window.logEntries, std::vector<Text>{Gbk("\r\n\r\n请选择至少一条记录进行查找！\r\n")});
  EXPECT_EQ(list.SelectedRows(), std::vector<int>{1});
  EXPECT_EQ(window.focus, Control::JumpBox);
  EXPECT_TRUE(list.ensureVisibleCalls.empty());
}

TEST(FindAuthorWorks, EndsWithTheLastFoundRowInView) {
  struct Case {
    int rows;
    int lastFound;  // -1: nothing found
    std::vector<int> finalCalls;
    int topRow;
  } cases[] = {
      {100, 40, {64, 40}, 40},  // P = 41
      {100, 90, {99, 90}, 90},  // P = 91
      {24, -1, {23, -1}, 19},   // P = 0 and 24 rows: row 23
      {23, -1, {23, -1}, 0},    // exactly 23: row 23 does not exist
      {10, -1, {9, -1}, 5},     // fewer: the last row
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.rows) + " rows, last found " + std::to_string(c.lastFound));
    FakeModList list(5);
    FakeWindow window;
    std::vector<Text> authors(c.rows, "other");
    authors[0] = "";  // the check-marked row: found only when it names an author
    if (c.lastFound >= 0) authors[0] = authors[c.lastFound] = "Ann";
    AddAuthors(list, authors);
    list.SetCheck(0, 1);
    FindAuthorWorks(list, window);
    const std::vector<int>& calls = list.ensureVisibleCalls;
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(std::vector<int>(calls.end() - 2, calls.end()), c.finalCalls);
    EXPECT_EQ(list.topRow, c.topRow);
  }
}

TEST(FindAuthorWorks, LogsTheSerialsFound) {
  FakeModList list;
  FakeWindow window;
  std::vector<Text> authors(40, "Bob");
  for (int serial : {3, 8, 15, 40}) authors[serial - 1] = "Ann";
  AddAuthors(list, authors);
  list.SetCheck(2, 1);
  list.SetCheck(7, 1);
  window.SetTicked(Control::FuzzyCheck, false);

  FindAuthorWorks(list, window);

  EXPECT_EQ(window.logEntries,
            (std::vector<Text>{Gbk("\r\n\r\n当前共选择MOD个数：2\r\n作者：\r\n"), "Ann\r\n",
                               Gbk("已查找到MOD个数：4\r\n序号分别是：3，8，15，40")}));
}

}  // namespace
}  // namespace quorvane::search
