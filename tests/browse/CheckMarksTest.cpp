#include "browse/CheckMarks.h"

#include <gtest/gtest.h>

#include "FakeModList.h"
#include "FakeWindow.h"

namespace quorvane::testing {
namespace {

using browse::CheckAllRows;
using browse::CheckSelectedRows;
using browse::UncheckAllRows;
using window::Control;

Text CheckSelectedLog(int selected, int checked, const Text& serials) {
  return text::Gbk("\r\n\r\n本次选择MOD个数：") + std::to_string(selected) +
         text::Gbk("\r\n当前共选择MOD个数：") + std::to_string(checked) + text::Gbk("\r\n序号分别是：") +
         serials;
}

TEST(CheckMarksTest, SelectedRowsAreCheckedAndEveryCheckedRowIsReported) {
  FakeModList list;
  FakeWindow window;
  list.Fill(12);
  list.SelectRow(2);
  list.SelectRow(6);
  list.SetCheck(9, 1);  // checked earlier, by a click on its box

  CheckSelectedRows(list, window);
  const Text once = CheckSelectedLog(2, 3, text::Gbk("3，7，10"));
  EXPECT_EQ(window.Log(), once);
  EXPECT_EQ(list.CheckedRows(), (std::vector<int>{2, 6, 9}));
  EXPECT_EQ(list.SelectedRows(), (std::vector<int>{2, 6}));
  EXPECT_EQ(window.focus, Control::ModListView);

  CheckSelectedRows(list, window);
  EXPECT_EQ(window.Log(), once + once) << "nothing is toggled the second time";
  EXPECT_EQ(list.CheckedRows(), (std::vector<int>{2, 6, 9}));
}

TEST(CheckMarksTest, NothingSelectedChecksNothingAndStillReports) {
  FakeModList list;
  FakeWindow window;
  CheckSelectedRows(list, window);
  EXPECT_EQ(window.Log(), CheckSelectedLog(0, 0, ""));

  list.Fill(6);
  list.SetCheck(4, 1);
  CheckSelectedRows(list, window);
  EXPECT_EQ(window.Log(), CheckSelectedLog(0, 0, "") + CheckSelectedLog(0, 1, "5"));
  EXPECT_EQ(list.CheckedRows(), std::vector<int>{4});
}

TEST(CheckMarksTest, CheckAllThenCheckSelectedReportsEveryRow) {
  FakeModList list;
  FakeWindow window;
  list.Fill(250);
  list.SelectRow(17);

  CheckAllRows(list, window);
  EXPECT_EQ(window.Log(), text::Gbk("\r\n\r\n已选择MOD个数：250"));
  EXPECT_EQ(list.CheckedRows().size(), 250u);
  EXPECT_EQ(list.SelectedRows(), std::vector<int>{17});

  window.texts[Control::LogBox].clear();
  CheckSelectedRows(list, window);
  std::vector<Text> serials;
  for (int i = 1; i <= 250; ++i) serials.push_back(std::to_string(i));
  EXPECT_EQ(window.Log(), CheckSelectedLog(1, 250, text::JoinWithComma(serials)));
}

TEST(CheckMarksTest, UncheckAllClearsEveryMarkAndAlwaysLogsZero) {
  FakeModList list;
  FakeWindow window;
  list.Fill(5);
  list.SetCheck(1, 1);
  list.SetCheck(4, 1);
  list.SelectRow(1);

  UncheckAllRows(list, window);
  UncheckAllRows(list, window);

  const Text zero = text::Gbk("\r\n\r\n已选择MOD个数：0");
  EXPECT_EQ(window.Log(), zero + zero);
  EXPECT_TRUE(list.CheckedRows().empty());
  EXPECT_EQ(list.SelectedRows(), std::vector<int>{1});
}

}  // namespace
}  // namespace quorvane::testing
