#include <gtest/gtest.h>

#include <QBuffer>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

#include "WindowFixture.h"
#include "app/EventTable.h"
#include "app/StartUp.h"
#include "text/Encoding.h"

namespace quorvane::app {
namespace {

using text::Gbk;
using window::Control;

class MainWindowTest : public testing::WindowFixture {};

struct ControlCase {
  const char* name;
  const char* kind;
  const char* parent;
  QRect place;
  const char* text;  // caption, title or text; nullptr where it is not checked
};

const ControlCase kControls[] = {
    {"分组框_基本信息", "QGroupBox", "", {16, 16, 584, 224}, "基本信息"},
    {"分组框_预览图", "QGroupBox", "", {616, 16, 368, 224}, "预览图"},
    {"分组框_索引编排", "QGroupBox", "", {16, 256, 968, 536}, "索引编排"},
    {"标签1", "QLabel", "分组框_基本信息", {8, 24, 120, 16}, "创意工坊MOD文件位置"},
    {"编辑框_创意工坊位置", "QLineEdit", "分组框_基本信息", {128, 16, 376, 24}, ""},
    {"按钮_浏览创意工坊位置", "QPushButton", "分组框_基本信息", {512, 16, 56, 24}, "打开"},
    {"标签2", "QLabel", "分组框_基本信息", {8, 56, 120, 16}, "创意工坊访问页面前缀"},
    {"编辑框_创意工坊页面", "QLineEdit", "分组框_基本信息", {136, 48, 368, 24}, ""},
    {"编辑框_MOD信息", "QPlainTextEdit", "分组框_基本信息", {8, 80, 336, 136}, ""},
    {"编辑框_查找结果", "QPlainTextEdit", "分组框_基本信息", {352, 80, 224, 136}, nullptr},
    {"图片框_预览图", "QLabel", "分组框_预览图", {8, 16, 352, 200}, ""},
    {"超级链接框_无预览图", "QLabel", "图片框_预览图", {103, 71, 160, 48}, "无预览图！"},
    {"按钮_新建索引", "QPushButton", "分组框_索引编排", {16, 24, 96, 24}, "新建索引"},
    {"按钮_追加索引", "QPushButton", "分组框_索引编排", {120, 24, 96, 24}, "追加索引"},
    {"按钮_下载网页源码", "QPushButton", "分组框_索引编排", {224, 24, 96, 24}, "下载网页文档"},
    {"按钮_导入说明", "QPushButton", "分组框_索引编排", {336, 24, 96, 24}, "获取MOD信息"},
    {"按钮_获取预览图信息", "QPushButton", "分组框_索引编排", {440, 24, 96, 24}, "获取预览图地址"},
    {"按钮_下载预览图", "QPushButton", "分组框_索引编排", {544, 24, 96, 24}, "下载预览图片"},
    {"按钮_全部选择", "QPushButton", "分组框_索引编排", {648, 24, 96, 24}, "全部选择"},
    {"按钮_选择", "QPushButton", "分组框_索引编排", {752, 24, 96, 24}, "选择"},
    {"按钮_取消选择", "QPushButton", "分组框_索引编排", {856, 24, 96, 24}, "取消选择"},
    {"编辑框_复制框", "QLineEdit", "分组框_索引编排", {184, 48, 600, 22}, ""},
    {"分组框_操作控制", "QGroupBox", "分组框_索引编排", {16, 56, 936, 48}, "Go!"},
    {"超级列表框1", "QTableView", "分组框_索引编排", {16, 112, 936, 408}, nullptr},
    {"进度条", "QProgressBar", "分组框_索引编排", {792, 48, 160, 22}, nullptr},
    {"组合框_查找项目", "QComboBox", "分组框_操作控制", {8, 18, 80, 24}, "编码"},
    {"编辑框_查找条件", "QLineEdit", "分组框_操作控制", {96, 16, 208, 24}, ""},
    {"选择框_模糊查找", "QCheckBox", "分组框_操作控制", {312, 16, 80, 24}, "模糊查找"},
    {"选择框_进度显示", "QCheckBox", "分组框_操作控制", {384, 16, 72, 24}, "进度显示"},
    {"按钮_文本输入查找", "QPushButton", "分组框_操作控制", {456, 16, 96, 24}, "文本输入查找"},
    {"按钮_选中作者查作品", "QPushButton", "分组框_操作控制", {560, 16, 96, 24}, "选中作者查作品"},
    {"按钮_复制", "QPushButton", "分组框_操作控制", {664, 16, 96, 24}, "复制到..."},
    {"编辑框_跳转", "QLineEdit", "分组框_操作控制", {768, 16, 64, 24}, ""},
    {"按钮_跳转", "QPushButton", "分组框_操作控制", {840, 16, 88, 24}, "跳转到..."},
};

QString Shown(QWidget* widget) {
  if (auto* w = qobject_cast<QGroupBox*>(widget)) return w->title();
  if (auto* w = qobject_cast<QAbstractButton*>(widget)) return w->text();
  if (auto* w = qobject_cast<QLineEdit*>(widget)) return w->text();
  if (auto* w = qobject_cast<QPlainTextEdit*>(widget)) return w->toPlainText();
  if (auto* w = qobject_cast<QComboBox*>(widget)) return w->currentText();
  if (auto* w = qobject_cast<QLabel*>(widget)) return w->text();
  return {};
}

TEST_F(MainWindowTest, EveryControlHasItsNameKindPlaceAndText) {
  EXPECT_EQ(window.windowTitle(), QStringLiteral("Quorvane（Mellisk V1.12）"));
  EXPECT_EQ(window.size(), QSize(1004, 834));
  EXPECT_EQ(window.pos(), QPoint(50, 50));
  for (const ControlCase& control : kControls) {
    SCOPED_TRACE(control.name);
    QWidget* widget = Find(control.name);
    ASSERT_NE(widget, nullptr);
    EXPECT_TRUE(widget->inherits(control.kind)) << widget->metaObject()->className();
    QWidget* parent = widget->parentWidget();
    EXPECT_EQ(parent == &window ? std::string() : parent->objectName().toStdString(), control.parent);
    EXPECT_EQ(widget->geometry(), control.place);
    if (control.text) EXPECT_EQ(Shown(widget), QString::fromUtf8(control.text));
  }
}

TEST_F(MainWindowTest, ControlSettingsAtStart) {
  auto* combo = Find<QComboBox>("组合框_查找项目");
  QStringList items;
  for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
  EXPECT_EQ(items,
            (QStringList{QStringLiteral("序号"), QStringLiteral("编码"), QStringLiteral("名称"),
                         QStringLiteral("作者"), QStringLiteral("是否失效"), QStringLiteral("MOD信息")}));
  EXPECT_FALSE(combo->isEditable());
  EXPECT_EQ(window.GetText(Control::SearchFieldCombo), Gbk("编码"));
  EXPECT_TRUE(window.IsTicked(Control::FuzzyCheck));
  EXPECT_FALSE(window.IsTicked(Control::ProgressCheck));
  EXPECT_FALSE(window.IsVisible(Control::ProgressBox));
  EXPECT_FALSE(Find("进度条")->isVisible());
  EXPECT_TRUE(window.IsVisible(Control::NoPreviewLabel));
  EXPECT_TRUE(Find<QLineEdit>("编辑框_创意工坊位置")->isReadOnly());
  EXPECT_FALSE(Find<QLineEdit>("编辑框_创意工坊页面")->isReadOnly());
  EXPECT_TRUE(Find<QLineEdit>("编辑框_复制框")->isReadOnly());
  EXPECT_TRUE(Find<QPlainTextEdit>("编辑框_MOD信息")->isReadOnly());
  EXPECT_FALSE(Find<QPlainTextEdit>("编辑框_查找结果")->isReadOnly());
  EXPECT_EQ(Find<QPlainTextEdit>("编辑框_查找结果")->lineWrapMode(), QPlainTextEdit::WidgetWidth);
  EXPECT_TRUE(Find<QLineEdit>("编辑框_跳转")->alignment() & Qt::AlignHCenter);
  EXPECT_TRUE(Find<QLabel>("图片框_预览图")->hasScaledContents());
  EXPECT_EQ(list().RowCount(), 0);
}

TEST_F(MainWindowTest, TheInitialLogTextByteForByte) {
  const Text log = window.GetText(Control::LogBox);
  EXPECT_EQ(log.size(), 881u);
  EXPECT_EQ(log, InitialLogText());
  EXPECT_EQ(log.substr(0, 18), Gbk("初次使用说明：\r\n\r\n"));
  EXPECT_EQ(log.substr(log.size() - 28), "\r\n\r\n\r\n2015.03.118.1130 V1.12");
}

TEST_F(MainWindowTest, AppendLogGoesAfterTypedTextWithTheCaretAndViewAtTheEnd) {
  auto* log = Find<QPlainTextEdit>("编辑框_查找结果");
  log->setFocus();
  QTextCursor start = log->textCursor();
  start.setPosition(3);
  log->setTextCursor(start);
  QTest::keyClicks(log, QStringLiteral("typed"));
  log->verticalScrollBar()->setValue(0);
  window.AppendLog(Gbk("\r\n\r\n索引完成"));
  const Text all = window.GetText(Control::LogBox);
  EXPECT_EQ(all.substr(0, 11), Gbk("初次使") + "typed");
  EXPECT_EQ(all.substr(all.size() - 12), Gbk("\r\n\r\n索引完成"));
  EXPECT_EQ(all.size(), 881u + 5 + 12);
  EXPECT_TRUE(log->textCursor().atEnd());
  EXPECT_GT(log->verticalScrollBar()->value(), 0);
  EXPECT_TRUE(log->viewport()->rect().contains(log->cursorRect()));
}

TEST_F(MainWindowTest, TextsRoundTripAsGbk) {
  const Text name = Gbk("创意工坊\xF0\x9F\x98\x80");  // a character outside GBK keeps its GB18030 code
  for (Control control : {Control::WorkshopFolderBox, Control::PagePrefixBox, Control::SearchTextBox,
                          Control::JumpBox, Control::ProgressBox, Control::PreviewGroup}) {
    window.SetText(control, name);
    EXPECT_EQ(window.GetText(control), name);
  }
  window.SetText(Control::DescriptionBox, "a\r\n\r\nb\r\n");
  EXPECT_EQ(window.GetText(Control::DescriptionBox), "a\r\n\r\nb\r\n");
  EXPECT_EQ(Find<QPlainTextEdit>("编辑框_MOD信息")->toPlainText(), QStringLiteral("a\n\nb\n"));
  window.ShowProgress("3/10");
  EXPECT_EQ(Find<QLineEdit>("编辑框_复制框")->text(), QStringLiteral("3/10"));
  EXPECT_FALSE(window.IsVisible(Control::ProgressBox));
}

TEST_F(MainWindowTest, SelectTextCountsBytes) {
  window.SetText(Control::JumpBox, Gbk("中12"));
  window.SelectText(Control::JumpBox, 2, 2);
  EXPECT_EQ(Find<QLineEdit>("编辑框_跳转")->selectedText(), QStringLiteral("12"));
  window.SelectText(Control::JumpBox, 0, 100);
  EXPECT_EQ(Find<QLineEdit>("编辑框_跳转")->selectedText(), QStringLiteral("中12"));
}

TEST_F(MainWindowTest, ThePictureIsStretchedAndBytesThatDoNotDecodeShowNothing) {
  QImage image(2, 1, QImage::Format_RGB32);
  image.setPixel(0, 0, qRgb(255, 0, 0));
  image.setPixel(1, 0, qRgb(0, 0, 255));
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  window.SetPicture(png.toStdString());
  auto* picture = Find<QLabel>("图片框_预览图");
  const QImage shown = picture->grab().toImage();
  EXPECT_EQ(QColor(shown.pixel(10, 190)), QColor(255, 0, 0));
  EXPECT_EQ(QColor(shown.pixel(340, 10)), QColor(0, 0, 255));

  window.SetPicture("not an image");
  EXPECT_TRUE(picture->pixmap().isNull());
  window.SetPicture(png.toStdString());
  window.SetPicture("");
  EXPECT_TRUE(picture->pixmap().isNull());
}

TEST_F(MainWindowTest, DialogsCarryTheirTitlesAndAnswers) {
  window.ShowMessage(Gbk("完成"));
  dialogs.answers = {true, false};
  EXPECT_TRUE(window.Confirm(Gbk("继续？")));
  EXPECT_FALSE(window.Confirm(Gbk("继续？")));
  dialogs.folder = QStringLiteral("/tmp/创意");
  EXPECT_EQ(window.PickFolder(Gbk("选")), Gbk("/tmp/创意"));
  dialogs.folder.clear();
  EXPECT_EQ(window.PickFolder(Gbk("选")), "");
  EXPECT_EQ(dialogs.asked,
            (QStringList{QStringLiteral("信息：|完成"), QStringLiteral("提示|继续？"),
                         QStringLiteral("提示|继续？"), QStringLiteral("选"), QStringLiteral("选")}));
  window.OpenFolder(Gbk("/w/创意/123"));
  EXPECT_EQ(dialogs.opened, QStringList{QStringLiteral("/w/创意/123")});
  window.SetClipboard("123456");
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("123456"));
}

TEST_F(MainWindowTest, PumpEventsRunsPendingEventsOnlyForAPositivePause) {
  int ran = 0;
  QTimer::singleShot(0, &window, [&] { ++ran; });
  window.PumpEvents(0);
  window.PumpEvents(-5);
  EXPECT_EQ(ran, 0);
  window.PumpEvents(1);
  EXPECT_EQ(ran, 1);
  QTimer::singleShot(0, &window, [&] { ++ran; });
  window.ProcessPendingEvents();
  EXPECT_EQ(ran, 2);
  const long long before = window.TickMs();
  window.PumpEvents(2);
  EXPECT_GT(window.TickMs(), before + 2);
}

TEST_F(MainWindowTest, OneLongOperationAtATimeWithABarAndAStopOnEsc) {
  auto* bar = Find<QProgressBar>("进度条");
  window.SetProgressBar(1, 10);
  EXPECT_FALSE(bar->isVisible());  // no operation runs
  ASSERT_TRUE(window.BeginLongOperation());
  EXPECT_FALSE(window.BeginLongOperation());
  window.SetProgressBar(0, 0);
  EXPECT_FALSE(bar->isVisible());
  window.SetProgressBar(3, 10);
  EXPECT_TRUE(bar->isVisible());
  EXPECT_EQ(bar->value(), 3);
  EXPECT_EQ(bar->maximum(), 10);
  EXPECT_FALSE(window.StopRequested());
  QTest::keyClick(Find("编辑框_查找条件"), Qt::Key_Escape);
  EXPECT_TRUE(window.StopRequested());
  window.EndLongOperation();
  EXPECT_FALSE(bar->isVisible());
  ASSERT_TRUE(window.BeginLongOperation());
  EXPECT_FALSE(window.StopRequested());
  window.EndLongOperation();
  QTest::keyClick(Find("编辑框_查找条件"), Qt::Key_Escape);
  EXPECT_FALSE(window.StopRequested());
}

TEST_F(MainWindowTest, ClosingDuringALongOperationStopsItAndClosesOnceItReturns) {
  ASSERT_TRUE(window.BeginLongOperation());
  EXPECT_FALSE(window.close());
  EXPECT_TRUE(window.isVisible());
  EXPECT_TRUE(window.StopRequested());
  window.EndLongOperation();
  QTest::qWait(0);
  EXPECT_FALSE(window.isVisible());
}

TEST_F(MainWindowTest, ClosingWithoutAnOperationClosesAtOnce) {
  EXPECT_TRUE(window.close());
  EXPECT_FALSE(window.isVisible());
}

TEST_F(MainWindowTest, EveryControlEventReachesItsRoute) {
  for (const char* name : kControlsWithEvents) {
    if (auto* button = Find<QPushButton>(name)) QTest::mouseClick(button, Qt::LeftButton);
  }
  std::vector<testing::RaisedEvent> clicks;
  for (const char* name : kControlsWithEvents) {
    if (Find<QPushButton>(name)) clicks.push_back({name, Event::kClicked, 0, -1});
  }
  EXPECT_EQ(raised, clicks);
  raised.clear();

  auto* search = Find<QLineEdit>("编辑框_查找条件");
  search->setFocus();
  QTest::keyClick(search, Qt::Key_A);
  QTest::keyClick(search, Qt::Key_Return);
  QTest::keyClick(search, Qt::Key_Enter);
  EXPECT_EQ(search->text(), QStringLiteral("a"));  // the box still gets every key
  auto* jump = Find<QLineEdit>("编辑框_跳转");
  QTest::keyClick(jump, Qt::Key_1);
  QTest::mouseClick(jump, Qt::LeftButton);
  QTest::mouseClick(jump, Qt::RightButton);
  QTest::mouseDClick(Find("图片框_预览图"), Qt::LeftButton, {}, QPoint(5, 5));
  QTest::mouseDClick(Find("超级链接框_无预览图"), Qt::LeftButton);
  EXPECT_EQ(jump->text(), QStringLiteral("1"));
  const std::vector<testing::RaisedEvent> expected = {
      {"编辑框_查找条件", Event::kKeyDown, 65, -1},          {"编辑框_查找条件", Event::kKeyDown, 13, -1},
      {"编辑框_查找条件", Event::kKeyDown, 13, -1},          {"编辑框_跳转", Event::kKeyDown, 49, -1},
      {"编辑框_跳转", Event::kLeftButtonReleased, 0, -1},    {"图片框_预览图", Event::kDoubleClicked, 0, -1},
      {"超级链接框_无预览图", Event::kDoubleClicked, 0, -1},
  };
  EXPECT_EQ(raised, expected);
}

TEST(MainWindowRoutesTest, TheBrowseButtonChoosesTheWorkshopFolder) {
  testing::RecordingDialogs dialogs;
  index::ModIndex table;
  MainWindow window(dialogs);
  index::Workspace workspace{table, window.List(), window, {}};
  window.AttachWorkspace(&workspace);
  window.SetText(Control::WorkshopFolderBox, "old");
  auto* browse = window.findChild<QPushButton*>(QStringLiteral("按钮_浏览创意工坊位置"));
  QTest::mouseClick(browse, Qt::LeftButton);
  EXPECT_EQ(window.GetText(Control::WorkshopFolderBox), "old");
  dialogs.folder = QStringLiteral("/games/255710");
  QTest::mouseClick(browse, Qt::LeftButton);
  EXPECT_EQ(window.GetText(Control::WorkshopFolderBox), "/games/255710");
  EXPECT_EQ(dialogs.asked.value(0), QStringLiteral("浏览创意工坊下载MOD所在的文件夹"));
}

}  // namespace
}  // namespace quorvane::app
