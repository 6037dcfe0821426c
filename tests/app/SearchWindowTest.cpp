// The searches through the real window: its events reach the handlers by the event table, and what they
// leave is read back from the widgets.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "RecordingDialogs.h"
#include "app/MainWindow.h"
#include "app/ModListView.h"
#include "index/ModIndex.h"
#include "text/Text.h"

namespace quorvane::app {
namespace {

using text::Gbk;
using text::Text;

class SearchWindowTest : public ::testing::Test {
 protected:
  SearchWindowTest() : window(dialogs) {
    window.AttachWorkspace(&workspace);
    window.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
  }

  template <typename W>
  W* Find(const char* name) {
    return window.findChild<W*>(QString::fromUtf8(name));
  }
  ModListView& list() { return window.List(); }

  // Rows with serials 1.. and the given names and authors.
  void AddRows(int count, const std::map<int, std::pair<Text, Text>>& namedRows) {
    for (int row = 0; row < count; ++row) {
      list().InsertRow(std::to_string(row + 1));
      auto named = namedRows.find(row);
      list().SetCellText(row, 2, named == namedRows.end() ? "mod" : named->second.first);
      list().SetCellText(row, 3, named == namedRows.end() ? "someone" : named->second.second);
    }
    list().Flush();
  }

  std::vector<int> ViewSelectedRows() {
    list().Flush();
    std::vector<int> rows;
    for (const QModelIndex& index : list().selectionModel()->selectedRows()) rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
  }
  int TopRow() {
    list().Flush();
    return list().rowAt(0);
  }

  testing::RecordingDialogs dialogs;
  index::ModIndex table;
  MainWindow window;
  index::Workspace workspace{table, window.List(), window, {}};
};

TEST_F(SearchWindowTest, EnterInTheSearchBoxSelectsScrollsAndLeavesTheTextSelected) {
  AddRows(60, {{10, {"xTARGETx", ""}}, {30, {"target", ""}}});
  Find<QComboBox>("组合框_查找项目")->setCurrentText(QStringLiteral("名称"));
  auto* box = Find<QLineEdit>("编辑框_查找条件");
  box->setFocus();
  QTest::keyClicks(box, QStringLiteral("target"));
  QTest::keyClick(box, Qt::Key_Return);

  EXPECT_EQ(ViewSelectedRows(), (std::vector<int>{10, 30}));
  EXPECT_EQ(TopRow(), 30);
  EXPECT_EQ(QApplication::focusWidget(), box);
  EXPECT_EQ(box->selectedText(), QStringLiteral("target"));
  EXPECT_TRUE(
      window.GetText(window::Control::LogBox).ends_with(Gbk("已查找到MOD个数：2\r\n序号分别是：11，31")));

  // Another key types into the box and searches nothing.
  const Text logBefore = window.GetText(window::Control::LogBox);
  QTest::keyClick(box, Qt::Key_X);
  EXPECT_EQ(window.GetText(window::Control::LogBox), logBefore);
}

TEST_F(SearchWindowTest, TheInvalidFlagRefusalEmptiesAndFocusesTheBox) {
  AddRows(3, {});
  Find<QComboBox>("组合框_查找项目")->setCurrentText(QStringLiteral("是否失效"));
  auto* box = Find<QLineEdit>("编辑框_查找条件");
  box->setText(QStringLiteral("1"));
  QTest::mouseClick(Find<QPushButton>("按钮_文本输入查找"), Qt::LeftButton);

  ASSERT_EQ(dialogs.asked.size(), 1);
  EXPECT_TRUE(dialogs.asked[0].startsWith(QStringLiteral("信息：|请输入[真]或[假]。")));
  EXPECT_TRUE(box->text().isEmpty());
  EXPECT_EQ(QApplication::focusWidget(), box);
}

TEST_F(SearchWindowTest, AuthorWorksClearsTheChecksAndSelectsTheWorks) {
  AddRows(40, {{2, {"a", "Ann"}}, {7, {"b", "ann"}}, {20, {"d", ""}}, {35, {"c", "Bob"}}});
  list().SetCheck(2, 1);
  list().SetCheck(20, 1);
  Find<QCheckBox>("选择框_模糊查找")->setChecked(false);
  QTest::mouseClick(Find<QPushButton>("按钮_选中作者查作品"), Qt::LeftButton);

  EXPECT_EQ(ViewSelectedRows(), (std::vector<int>{2}));
  for (int row = 0; row < list().RowCount(); ++row) EXPECT_EQ(list().Check(row), 0) << row;
  EXPECT_EQ(QApplication::focusWidget(), &list());
  EXPECT_TRUE(window.GetText(window::Control::LogBox).ends_with(Gbk("已查找到MOD个数：1\r\n序号分别是：3")));
}

}  // namespace
}  // namespace quorvane::app
