#include <gtest/gtest.h>

#include <QHeaderView>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionViewItem>

#include "WindowFixture.h"
#include "text/Text.h"

namespace quorvane::app {
namespace {

using text::Gbk;
using FocusEvents = std::vector<int>;  // the current row at each focused-row-changed event

class ModListViewTest : public testing::WindowFixture {
 protected:
  FocusEvents FocusRaised() const {
    FocusEvents rows;
    for (const auto& e : raised) {
      if (e.event == Event::kFocusedRowChanged) rows.push_back(e.currentRow);
    }
    return rows;
  }
  int DoubleClicks() const {
    return static_cast<int>(std::count_if(raised.begin(), raised.end(), [](const auto& e) {
      return e.event == Event::kDoubleClicked && e.control == "超级列表框1";
    }));
  }
  int TopRow() {
    list().Flush();
    return list().rowAt(0);
  }
  std::vector<int> ViewSelectedRows() {
    list().Flush();
    std::vector<int> rows;
    for (const QModelIndex& index : list().selectionModel()->selectedRows()) rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
  }
};

TEST_F(ModListViewTest, HasTheColumnsAndSettingsOfTheModList) {
  const char* headers[] = {"序号",  "编码",  "名称",  "作者",  "图片地址", "是否失效", "描述1",
                           "描述2", "描述3", "描述4", "描述5", "描述6",    "描述7",    "描述8"};
  const int widths[] = {64, 96, 448, 192, 640, 60, 800, 800, 800, 800, 800, 800, 800, 800};
  ASSERT_EQ(list().model()->columnCount(), 14);
  for (int column = 0; column < 14; ++column) {
    EXPECT_EQ(list().model()->headerData(column, Qt::Horizontal).toString(),
              QString::fromUtf8(headers[column]));
    EXPECT_EQ(list().horizontalHeader()->sectionSize(column), widths[column]) << column;
  }
  EXPECT_EQ(list().selectionBehavior(), QAbstractItemView::SelectRows);
  EXPECT_EQ(list().selectionMode(), QAbstractItemView::ExtendedSelection);
  EXPECT_EQ(list().editTriggers(), QAbstractItemView::NoEditTriggers);
  EXPECT_TRUE(list().showGrid());
  EXPECT_FALSE(list().isSortingEnabled());
  EXPECT_FALSE(list().verticalHeader()->isVisible());
  EXPECT_EQ(list().palette().color(QPalette::Inactive, QPalette::Highlight),
            list().palette().color(QPalette::Active, QPalette::Highlight));

  Fill(30);
  // 22 whole rows fit; at most a 23rd shows in part.
  const int rowHeight = list().rowHeight(0);
  EXPECT_EQ(list().WholeRowsVisible(), 22);
  EXPECT_GE(list().viewport()->height(), 22 * rowHeight);
  EXPECT_LT(list().viewport()->height(), 23 * rowHeight);
  for (int row = 1; row < 30; ++row) EXPECT_EQ(list().rowHeight(row), rowHeight);
}

TEST_F(ModListViewTest, CellsRowsAndChecksWithMissingRowsReadingEmpty) {
  EXPECT_EQ(list().InsertRow("1"), 0);
  EXPECT_EQ(list().InsertRow(Gbk("二")), 1);
  list().SetCellText(1, 2, Gbk("名称"));
  list().SetCellText(1, 2, "shorter");
  list().SetCellText(1, 13, "last");
  list().SetCellText(1, 5, Gbk("真"));
  list().SetCellText(2, 0, "no such row");
  list().SetCellText(0, 14, "no such column");
  EXPECT_EQ(list().RowCount(), 2);
  EXPECT_EQ(list().CellText(1, 0), Gbk("二"));
  EXPECT_EQ(list().CellText(1, 2), "shorter");
  EXPECT_EQ(list().CellText(1, 13), "last");
  EXPECT_EQ(list().CellText(1, 1), "");
  EXPECT_EQ(list().CellText(2, 0), "");
  EXPECT_EQ(list().CellText(-1, 0), "");
  EXPECT_EQ(list().CellText(0, 14), "");
  EXPECT_EQ(list().Check(0), 0);
  list().SetCheck(1, 1);
  EXPECT_EQ(list().Check(1), 1);
  EXPECT_EQ(list().Check(2), -1);
  EXPECT_EQ(list().Check(-1), -1);
  list().SetCheck(1, 0);
  EXPECT_EQ(list().Check(1), 0);

  // What the view paints.
  list().Flush();
  const QAbstractItemModel& model = *list().model();
  EXPECT_EQ(model.rowCount(), 2);
  EXPECT_EQ(model.data(model.index(1, 0)).toString(), QStringLiteral("二"));
  EXPECT_EQ(model.data(model.index(1, 5)).toString(), QStringLiteral("真"));
  EXPECT_EQ(model.data(model.index(0, 0), Qt::CheckStateRole).toInt(), Qt::Unchecked);
  EXPECT_FALSE(model.flags(model.index(0, 2)) & Qt::ItemIsEditable);
  EXPECT_TRUE(model.flags(model.index(0, 0)) & Qt::ItemIsUserCheckable);

  list().DeleteAllRows();
  EXPECT_EQ(list().RowCount(), 0);
  EXPECT_EQ(list().CurrentRow(), -1);
  EXPECT_EQ(list().Check(0), -1);
  EXPECT_EQ(list().model()->rowCount(), 0);
}

TEST_F(ModListViewTest, ProgramSelectionNeitherMovesTheFocusNorRaisesTheEvent) {
  Fill(40);
  ClickRow(5);
  raised.clear();
  list().SelectRow(30);
  list().SelectRow(2);
  list().SelectRow(40);  // missing
  list().SelectRow(-1);
  EXPECT_EQ(list().CurrentRow(), 2);
  EXPECT_EQ(list().SelectedCount(), 3);
  EXPECT_EQ(list().SelectedRows(), (std::vector<int>{2, 5, 30}));
  list().DeselectRow(2);
  list().DeselectRow(99);
  EXPECT_EQ(list().CurrentRow(), 5);
  EXPECT_EQ(list().SelectedRows(), (std::vector<int>{5, 30}));
  EXPECT_EQ(ViewSelectedRows(), (std::vector<int>{5, 30}));
  EXPECT_EQ(list().currentIndex().row(), 5);
  QTest::qWait(0);
  EXPECT_TRUE(FocusRaised().empty());

  list().DeselectRow(5);
  list().DeselectRow(30);
  EXPECT_EQ(list().CurrentRow(), -1);
  EXPECT_TRUE(ViewSelectedRows().empty());
}

TEST_F(ModListViewTest, AUserClickMovesTheFocusOnceAndTheHandlerSeesTheNewSelection) {
  Fill(10);
  ClickRow(3);
  EXPECT_EQ(FocusRaised(), (FocusEvents{3}));
  ClickRow(3);  // already focused
  EXPECT_EQ(FocusRaised(), (FocusEvents{3}));

  ClickRow(1, Qt::ControlModifier);
  EXPECT_EQ(FocusRaised(), (FocusEvents{3, 1}));
  EXPECT_EQ(list().SelectedRows(), (std::vector<int>{1, 3}));
  ClickRow(6, Qt::ShiftModifier);
  EXPECT_EQ(list().SelectedRows(), (std::vector<int>{1, 2, 3, 4, 5, 6}));

  // The keyboard moves the focus too.
  QTest::keyClick(&list(), Qt::Key_Down);
  EXPECT_EQ(FocusRaised(), (FocusEvents{3, 1, 1, 7}));
  EXPECT_EQ(list().SelectedRows(), (std::vector<int>{7}));
}

TEST_F(ModListViewTest, FocusGivenByTheProgramIsNoFocusedRow) {
  Fill(5);
  window.activateWindow();
  window.GiveFocus(window::Control::ModListView);
  QTest::qWait(0);
  EXPECT_TRUE(FocusRaised().empty());
  ClickRow(0);
  EXPECT_EQ(FocusRaised(), (FocusEvents{0}));
}

TEST_F(ModListViewTest, ResettingTheListRaisesNothing) {
  Fill(5);
  ClickRow(2);
  raised.clear();
  list().DeleteAllRows();
  Fill(5);
  QTest::qWait(0);
  EXPECT_TRUE(FocusRaised().empty());
  ClickRow(2);
  EXPECT_EQ(FocusRaised(), (FocusEvents{2}));
}

TEST_F(ModListViewTest, TheUserTogglesChecksByTheBoxOrTheSpaceBar) {
  Fill(5);
  ClickRow(2);
  QTest::keyClick(&list(), Qt::Key_Space);
  EXPECT_EQ(list().Check(2), 1);
  QTest::keyClick(&list(), Qt::Key_Space);
  EXPECT_EQ(list().Check(2), 0);

  QStyleOptionViewItem option;
  option.initFrom(list().viewport());
  option.rect = list().visualRect(list().model()->index(4, 0));
  option.features = QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
  const QRect box = list().style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, &list());
  QTest::mouseClick(list().viewport(), Qt::LeftButton, {}, box.center());
  EXPECT_EQ(list().Check(4), 1);
  EXPECT_EQ(list().Check(2), 0);
}

TEST_F(ModListViewTest, DoubleClicksOnARowAndBelowTheRowsAreRaised) {
  Fill(3);
  QTest::mouseDClick(list().viewport(), Qt::LeftButton, {}, RowCentre(1));
  EXPECT_EQ(DoubleClicks(), 1);
  EXPECT_EQ(FocusRaised(), (FocusEvents{1}));
  QTest::mouseDClick(list().viewport(), Qt::LeftButton, {}, QPoint(100, list().viewport()->height() - 5));
  EXPECT_EQ(DoubleClicks(), 2);
  QTest::mouseDClick(list().viewport(), Qt::RightButton, {}, RowCentre(1));
  EXPECT_EQ(DoubleClicks(), 2);
}

TEST_F(ModListViewTest, EnsureVisibleScrollsTheLeast) {
  Fill(100);
  struct Step {
    int row;
    int top;
  };
  // Below the view: the row becomes the last whole row; above: the first; inside: nothing moves.
  for (const Step& step : {Step{58, 37}, Step{11, 11}, Step{20, 11}, Step{33, 12}, Step{99, 78},
                           Step{100, 78}, Step{-1, 78}, Step{0, 0}}) {
    list().EnsureVisible(step.row);
    EXPECT_EQ(TopRow(), step.top) << "row " << step.row;
  }
  // Many calls before the view is told: only the last position counts.
  for (int row = 0; row < 100; ++row) list().EnsureVisible(row);
  list().EnsureVisible(50);
  EXPECT_EQ(TopRow(), 50);
  // The user's own scrolling is where the next call starts from.
  list().verticalScrollBar()->setValue(10);
  list().EnsureVisible(40);
  EXPECT_EQ(TopRow(), 19);
}

TEST_F(ModListViewTest, ManyScatteredSelectionsReachTheViewInOneBatch) {
  Fill(2000);
  for (int row = 0; row < 2000; row += 2) list().SelectRow(row);
  EXPECT_EQ(list().SelectedCount(), 1000);
  EXPECT_EQ(ViewSelectedRows().size(), 1000u);
  // A user click then replaces the selection as usual.
  ClickRow(list().rowAt(0) + 1);
  EXPECT_EQ(list().SelectedCount(), 1);
}

}  // namespace
}  // namespace quorvane::app
