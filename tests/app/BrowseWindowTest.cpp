// Browsing through the real window: its controls, its event routes and its list, offscreen.
#include <gtest/gtest.h>

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "RecordingDialogs.h"
#include "TempDir.h"
#include "app/MainWindow.h"
#include "app/ModListView.h"
#include "index/Workspace.h"

namespace quorvane::testing {
namespace {

constexpr int kRows = 100;

std::string PngBytes() {
  QImage image(4, 4, QImage::Format_RGB32);
  image.fill(Qt::red);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return bytes.toStdString();
}

// 100 mods with ids 100 + r, in the table and in the list, and the window's real event routes.
class BrowseWindowTest : public ::testing::Test {
 protected:
  BrowseWindowTest() {
    std::string error;
    EXPECT_TRUE(index::CreateEmptyIndexFile(text::ToNativePath(workspace.TablePath()).string(), &error))
        << error;
    EXPECT_EQ(table.Open(workspace.TablePath()), index::OpenResult::kOpened);
    for (int r = 1; r <= kRows; ++r) {
      table.AddRecord(r, Id(r));
      table.WriteField(index::kFirstDescription, "description " + std::to_string(r) + "<br>line 2");
      const int row = list().InsertRow(std::to_string(r));
      list().SetCellText(row, 1, Id(r));
    }
    table.CloseAll();
    list().Flush();
    window.SetText(window::Control::WorkshopFolderBox, text::JoinPath(dir.text(), "ws"));
    window.SetVisible(window::Control::NoPreviewLabel, false);
    window.AttachWorkspace(&workspace);
    window.show();
    window.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
  }

  static std::string Id(int record) { return std::to_string(100 + record); }

  template <typename W = QWidget>
  W* Find(const char* name) {
    return window.findChild<W*>(QString::fromUtf8(name));
  }
  app::ModListView& list() { return window.List(); }
  int TopRow() {
    list().Flush();
    return list().rowAt(0);
  }
  void ClickRow(int row) {
    QTest::mouseClick(list().viewport(), Qt::LeftButton, {},
                      list().visualRect(list().model()->index(row, 2)).center());
  }
  QString Caption() { return Find<QGroupBox>("分组框_预览图")->title(); }
  QString Description() { return Find<QPlainTextEdit>("编辑框_MOD信息")->toPlainText(); }
  bool PictureShown() { return !Find<QLabel>("图片框_预览图")->pixmap().isNull(); }
  bool NoPreviewLabelShown() { return !Find("超级链接框_无预览图")->isHidden(); }
  void JumpWithEnter(const char* typed) {
    QTest::keyClicks(Find("编辑框_跳转"), QString::fromUtf8(typed));
    QTest::keyClick(Find("编辑框_跳转"), Qt::Key_Return);
  }

  TempDir dir;
  RecordingDialogs dialogs;
  index::ModIndex table;
  app::MainWindow window{dialogs};
  index::Workspace workspace{table, window.List(), window, dir.text()};
};

TEST_F(BrowseWindowTest, ClickOnARowShowsItsDetails) {
  dir.WriteFile("ws/103/103.jpg", PngBytes());

  ClickRow(2);
  EXPECT_EQ(Caption(), QStringLiteral("预览图:3/103"));
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("103"));
  EXPECT_TRUE(PictureShown());
  EXPECT_FALSE(NoPreviewLabelShown());
  EXPECT_EQ(Description(), QStringLiteral("description 3\nline 2\n"));

  ClickRow(5);
  EXPECT_EQ(Caption(), QStringLiteral("预览图:6/106"));
  EXPECT_FALSE(PictureShown());
  EXPECT_TRUE(NoPreviewLabelShown());
  EXPECT_EQ(Description(), QStringLiteral("description 6\nline 2\n"));
}

TEST_F(BrowseWindowTest, EnterJumpsAndLeavesTheBoxReadyForTheNextNumber) {
  auto* jump = Find<QLineEdit>("编辑框_跳转");
  QTest::mouseClick(jump, Qt::LeftButton);
  ASSERT_TRUE(jump->hasFocus());

  JumpWithEnter("40");
  EXPECT_EQ(list().SelectedRows(), std::vector<int>{39});
  EXPECT_EQ(TopRow(), 39);
  EXPECT_EQ(Caption(), QStringLiteral("预览图:40/140"));
  EXPECT_EQ(Description(), QStringLiteral("description 40\nline 2\n"));
  EXPECT_TRUE(jump->hasFocus());
  EXPECT_EQ(jump->selectedText(), QStringLiteral("40"));

  JumpWithEnter("12");  // typed over the selected number
  EXPECT_EQ(jump->text(), QStringLiteral("12"));
  EXPECT_EQ(list().SelectedRows(), std::vector<int>{11});
  EXPECT_EQ(TopRow(), 11);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("112"));
}

TEST_F(BrowseWindowTest, ButtonJumpLeavesTheListFocusedAndThePictureBringsTheRowBack) {
  auto* jump = Find<QLineEdit>("编辑框_跳转");
  jump->setText(QStringLiteral("70"));
  QTest::mouseClick(Find("按钮_跳转"), Qt::LeftButton);
  EXPECT_TRUE(list().hasFocus());
  EXPECT_EQ(TopRow(), 69);

  // Near the end of the list: the last rows are in view with the target among them.
  jump->setText(QStringLiteral("95"));
  QTest::mouseClick(Find("按钮_跳转"), Qt::LeftButton);
  EXPECT_EQ(TopRow(), kRows - list().WholeRowsVisible());
  EXPECT_EQ(list().SelectedRows(), std::vector<int>{94});

  jump->setText(QStringLiteral("30"));
  QTest::mouseClick(Find("按钮_跳转"), Qt::LeftButton);
  list().EnsureVisible(0);
  ASSERT_EQ(TopRow(), 0);
  QTest::mouseDClick(Find("图片框_预览图"), Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(TopRow(), 29);
  EXPECT_EQ(list().SelectedRows(), std::vector<int>{29});
}

TEST_F(BrowseWindowTest, DoubleClickOnARowOpensItsFolder) {
  QTest::mouseDClick(list().viewport(), Qt::LeftButton, {},
                     list().visualRect(list().model()->index(7, 2)).center());
  EXPECT_EQ(Caption(), QStringLiteral("预览图:8/108"));
  ASSERT_EQ(dialogs.opened.size(), 1);
  EXPECT_EQ(dialogs.opened.front(),
            QString::fromStdU16String(text::ToNativePath(text::JoinPath(dir.text(), "ws/108")).u16string()));
}

TEST_F(BrowseWindowTest, CheckButtonsMarkTheRowsAndLog) {
  ClickRow(2);
  QTest::mouseClick(Find("按钮_选择"), Qt::LeftButton);
  EXPECT_EQ(list().Check(2), 1);
  EXPECT_TRUE(Find<QPlainTextEdit>("编辑框_查找结果")
                  ->toPlainText()
                  .endsWith(QStringLiteral("\n\n本次选择MOD个数：1\n当前共选择MOD个数：1\n序号分别是：3")));
  QTest::mouseClick(Find("按钮_全部选择"), Qt::LeftButton);
  EXPECT_EQ(list().Check(kRows - 1), 1);
  QTest::mouseClick(Find("按钮_取消选择"), Qt::LeftButton);
  EXPECT_EQ(list().Check(2), 0);
  EXPECT_TRUE(Find<QPlainTextEdit>("编辑框_查找结果")
                  ->toPlainText()
                  .endsWith(QStringLiteral("\n\n已选择MOD个数：0")));
}

}  // namespace
}  // namespace quorvane::testing
