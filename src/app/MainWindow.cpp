#include "app/MainWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

#include <chrono>
#include <filesystem>

#include "app/Controls.h"
#include "app/Dialogs.h"
#include "app/ModListView.h"
#include "app/QtText.h"

namespace quorvane::app {
namespace {

constexpr int kFontPixels = 12;

template <typename Widget>
Widget* Make(QWidget* parent, const QString& name, int left, int top, int width, int height) {
  auto* widget = new Widget(parent);
  widget->setObjectName(name);
  widget->setGeometry(left, top, width, height);
  return widget;
}

// A caption wider than its control (fonts differ between systems) is drawn smaller rather than cut off.
void FitCaption(QWidget* widget, const QString& caption) {
  widget->ensurePolished();
  QFont font = widget->font();
  int pixels = kFontPixels;
  for (; pixels > 9; --pixels) {
    font.setPixelSize(pixels);
    if (QFontMetrics(font).horizontalAdvance(caption) + 4 <= widget->width()) break;
  }
  if (pixels != kFontPixels) widget->setStyleSheet(QStringLiteral("font-size: %1px;").arg(pixels));
}

QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& caption, int left, int top, int width,
                  int height) {
  auto* label = Make<QLabel>(parent, name, left, top, width, height);
  label->setText(caption);
  FitCaption(label, caption);
  return label;
}

QPushButton* MakeButton(QWidget* parent, const QString& name, const QString& caption, int left, int top,
                        int width, int height) {
  auto* button = Make<QPushButton>(parent, name, left, top, width, height);
  button->setText(caption);
  button->setAutoDefault(false);
  FitCaption(button, caption + QStringLiteral("  "));
  return button;
}

QPlainTextEdit* MakeMultiLine(QWidget* parent, const QString& name, int left, int top, int width, int height,
                              bool readOnly) {
  auto* box = Make<QPlainTextEdit>(parent, name, left, top, width, height);
  box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  box->setReadOnly(readOnly);
  if (readOnly) box->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  return box;
}

// Multi-line boxes show a line break where the texts hold "\r\n".
QString MultiLineDisplay(std::string_view gbk) {
  QString shown = ToQString(gbk);
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return shown;
}

Text MultiLineText(const QString& shown) {
  QString value = shown;
  value.replace(QChar(u'\n'), QStringLiteral("\r\n"));
  return FromQString(value);
}

// The length in characters of the first bytes of a GBK text, for a selection given in bytes.
int CharactersIn(std::string_view gbk, long long bytes, bool multiLine) {
  bytes = std::clamp<long long>(bytes, 0, static_cast<long long>(gbk.size()));
  const std::string_view prefix = gbk.substr(0, static_cast<size_t>(bytes));
  return static_cast<int>(multiLine ? MultiLineDisplay(prefix).size() : ToQString(prefix).size());
}

}  // namespace

Text InitialLogText() {
  return text::Gbk(
      "初次使用说明：\r\n\r\n1."
      "先建立索引，然后下载网页文档，导入MOD说明，再获取预览图地址，然后下载预览图。\r\n\r\n"
      "2.如有新的MOD，可追加索引，再从下载网页文档开始直到下载预览图。\r\n\r\n"
      "3.已经下载的页面文档和图片不会再重复下载。\r\n\r\n"
      "4.点击列表中的MOD可在上方显示图片和相关说明，同时会把相应的MOD编号复制到剪贴板。\r\n\r\n"
      "5.双击右上角的图片可转到列表中对应MOD行。\r\n\r\n"
      "6.双击列表中对应MOD行会在资源管理器中打开相应MOD目录。\r\n\r\n"
      "7.注意创意工坊MOD文件位置要正确，可自己选择位置，创意工坊访问页面前缀可手动修改。\r\n\r\n"
      "8.可按Go分组中最左边的分类手工输入查找条件查找，支持精确搜索和模糊搜索。\r\n\r\n"
      "9.可以列表中选择多项，按不同作者查找MOD作品，支持模糊搜索。\r\n\r\n"
      "10.在跳转栏内直接输入行号可直接跳转到对应行，或按跳转到进行跳转。\r\n\r\n"
      "11."
      "在进行操作时，可选择是否显示进度框，如果不显示进度框，处理速度会比较快，但在处理大数据量的时候会出现假"
      "死现象；显示进度框则处理速度慢，但不会出现追赶死现象。\r\n\r\n\r\n"
      "2015.03.118.1130 V1.12");
}

MainWindow::MainWindow(Dialogs& dialogs, const std::vector<Route>& routes, QWidget* parent)
    : QWidget(parent), dialogs_(dialogs) {
  for (const Route& route : routes)
    routes_.emplace(std::make_pair(std::string(route.control), route.event), route);
  setWindowTitle(QStringLiteral("Quorvane（Mellisk V1.12）"));
  // The controls' sizes are made for a 12-pixel font; group boxes as their places assume them, with the
  // caption on the frame's top line.
  setStyleSheet(
      QStringLiteral("* { font-size: %1px; }"
                     "QGroupBox { border: 1px solid palette(mid); border-radius: 2px; margin-top: 6px; }"
                     "QGroupBox::title { subcontrol-origin: margin; left: 8px; padding: 0 2px; }")
          .arg(kFontPixels));
  setFixedSize(1004, 834);
  move(50, 50);
  BuildControls();
  ConnectEvents();
}

MainWindow::~MainWindow() {
  if (longOperationRunning_) qApp->removeEventFilter(this);
}

void MainWindow::BuildControls() {
  auto* basics = Make<QGroupBox>(this, QStringLiteral("分组框_基本信息"), 16, 16, 584, 224);
  basics->setTitle(QStringLiteral("基本信息"));
  auto* preview = Make<QGroupBox>(this, QStringLiteral("分组框_预览图"), 616, 16, 368, 224);
  preview->setTitle(QStringLiteral("预览图"));
  auto* indexing = Make<QGroupBox>(this, QStringLiteral("分组框_索引编排"), 16, 256, 968, 536);
  indexing->setTitle(QStringLiteral("索引编排"));

  MakeLabel(basics, QStringLiteral("标签1"), QStringLiteral("创意工坊MOD文件位置"), 8, 24, 120, 16);
  auto* folder = Make<EditBox>(basics, QStringLiteral("编辑框_创意工坊位置"), 128, 16, 376, 24);
  folder->setReadOnly(true);
  MakeButton(basics, QStringLiteral("按钮_浏览创意工坊位置"), QStringLiteral("打开"), 512, 16, 56, 24);
  MakeLabel(basics, QStringLiteral("标签2"), QStringLiteral("创意工坊访问页面前缀"), 8, 56, 120, 16);
  auto* prefix = Make<EditBox>(basics, QStringLiteral("编辑框_创意工坊页面"), 136, 48, 368, 24);
  auto* description = MakeMultiLine(basics, QStringLiteral("编辑框_MOD信息"), 8, 80, 336, 136, true);
  log_ = MakeMultiLine(basics, QStringLiteral("编辑框_查找结果"), 352, 80, 224, 136, false);
  log_->setPlainText(MultiLineDisplay(InitialLogText()));

  picture_ = Make<DoubleClickLabel>(preview, QStringLiteral("图片框_预览图"), 8, 16, 352, 200);
  picture_->setScaledContents(true);
  auto* noPreview = Make<DoubleClickLabel>(picture_, QStringLiteral("超级链接框_无预览图"), 103, 71, 160, 48);
  noPreview->setText(QStringLiteral("无预览图！"));
  noPreview->setAlignment(Qt::AlignCenter);
  noPreview->setStyleSheet(QStringLiteral("color: #0000ff; text-decoration: underline;"));

  MakeButton(indexing, QStringLiteral("按钮_新建索引"), QStringLiteral("新建索引"), 16, 24, 96, 24);
  MakeButton(indexing, QStringLiteral("按钮_追加索引"), QStringLiteral("追加索引"), 120, 24, 96, 24);
  MakeButton(indexing, QStringLiteral("按钮_下载网页源码"), QStringLiteral("下载网页文档"), 224, 24, 96, 24);
  MakeButton(indexing, QStringLiteral("按钮_导入说明"), QStringLiteral("获取MOD信息"), 336, 24, 96, 24);
  MakeButton(indexing, QStringLiteral("按钮_获取预览图信息"), QStringLiteral("获取预览图地址"), 440, 24, 96,
             24);
  MakeButton(indexing, QStringLiteral("按钮_下载预览图"), QStringLiteral("下载预览图片"), 544, 24, 96, 24);
  MakeButton(indexing, QStringLiteral("按钮_全部选择"), QStringLiteral("全部选择"), 648, 24, 96, 24);
  MakeButton(indexing, QStringLiteral("按钮_选择"), QStringLiteral("选择"), 752, 24, 96, 24);
  MakeButton(indexing, QStringLiteral("按钮_取消选择"), QStringLiteral("取消选择"), 856, 24, 96, 24);
  auto* go = Make<QGroupBox>(indexing, QStringLiteral("分组框_操作控制"), 16, 56, 936, 48);
  go->setTitle(QStringLiteral("Go!"));
  list_ = Make<ModListView>(indexing, QStringLiteral("超级列表框1"), 16, 112, 936, 408);
  // The progress line and bar lie over the Go! box while an operation runs.
  auto* progress = Make<EditBox>(indexing, QStringLiteral("编辑框_复制框"), 184, 48, 600, 22);
  progress->setReadOnly(true);
  progress->hide();
  progress->raise();
  progressBar_ = Make<QProgressBar>(indexing, QStringLiteral("进度条"), 792, 48, 160, 22);
  progressBar_->setTextVisible(true);
  progressBar_->hide();
  progressBar_->raise();

  auto* field = Make<QComboBox>(go, QStringLiteral("组合框_查找项目"), 8, 18, 80, 24);
  field->setEditable(false);
  for (const QString& item :
       {QStringLiteral("序号"), QStringLiteral("编码"), QStringLiteral("名称"), QStringLiteral("作者"),
        QStringLiteral("是否失效"), QStringLiteral("MOD信息")}) {
    field->addItem(item);
  }
  field->setCurrentIndex(1);
  auto* searchText = Make<EditBox>(go, QStringLiteral("编辑框_查找条件"), 96, 16, 208, 24);
  auto* fuzzy = Make<QCheckBox>(go, QStringLiteral("选择框_模糊查找"), 312, 16, 80, 24);
  fuzzy->setText(QStringLiteral("模糊查找"));
  fuzzy->setChecked(true);
  auto* showProgress = Make<QCheckBox>(go, QStringLiteral("选择框_进度显示"), 384, 16, 72, 24);
  showProgress->setText(QStringLiteral("进度显示"));
  showProgress->setChecked(false);
  MakeButton(go, QStringLiteral("按钮_文本输入查找"), QStringLiteral("文本输入查找"), 456, 16, 96, 24);
  MakeButton(go, QStringLiteral("按钮_选中作者查作品"), QStringLiteral("选中作者查作品"), 560, 16, 96, 24);
  MakeButton(go, QStringLiteral("按钮_复制"), QStringLiteral("复制到..."), 664, 16, 96, 24);
  auto* jump = Make<EditBox>(go, QStringLiteral("编辑框_跳转"), 768, 16, 64, 24);
  jump->setAlignment(Qt::AlignCenter);
  MakeButton(go, QStringLiteral("按钮_跳转"), QStringLiteral("跳转到..."), 840, 16, 88, 24);

  controls_ = {
      {Control::WorkshopFolderBox, folder},
      {Control::PagePrefixBox, prefix},
      {Control::DescriptionBox, description},
      {Control::LogBox, log_},
      {Control::PreviewGroup, preview},
      {Control::PreviewPicture, picture_},
      {Control::NoPreviewLabel, noPreview},
      {Control::ProgressBox, progress},
      {Control::SearchFieldCombo, field},
      {Control::SearchTextBox, searchText},
      {Control::FuzzyCheck, fuzzy},
      {Control::ProgressCheck, showProgress},
      {Control::JumpBox, jump},
      {Control::ModListView, list_},
  };
}

void MainWindow::ConnectEvents() {
  // Every control that can raise an event is connected; the event table decides which ones lead anywhere.
  for (QPushButton* button : findChildren<QPushButton*>()) {
    connect(button, &QPushButton::clicked, this, [this, button] { Raise(button, Event::kClicked); });
  }
  for (EditBox* box : findChildren<EditBox*>()) {
    connect(box, &EditBox::keyDown, this, [this, box](int key) { Raise(box, Event::kKeyDown, key); });
    connect(box, &EditBox::leftButtonReleased, this, [this, box] { Raise(box, Event::kLeftButtonReleased); });
  }
  for (DoubleClickLabel* label : findChildren<DoubleClickLabel*>()) {
    connect(label, &DoubleClickLabel::doubleClicked, this,
            [this, label] { Raise(label, Event::kDoubleClicked); });
  }
  connect(list_, &ModListView::focusedRowChanged, this, [this] { Raise(list_, Event::kFocusedRowChanged); });
  connect(list_, &ModListView::listDoubleClicked, this, [this] { Raise(list_, Event::kDoubleClicked); });
}

void MainWindow::Raise(const QObject* control, Event event, int key) {
  if (!workspace_) return;
  const auto [first, last] = routes_.equal_range({control->objectName().toStdString(), event});
  for (auto route = first; route != last; ++route) route->second.handler(*workspace_, key);
}

QWidget* MainWindow::Widget(Control control) const {
  auto it = controls_.find(control);
  return it == controls_.end() ? nullptr : it->second;
}

Text MainWindow::GetText(Control control) const {
  QWidget* widget = Widget(control);
  if (auto* line = qobject_cast<QLineEdit*>(widget)) return FromQString(line->text());
  if (auto* box = qobject_cast<QPlainTextEdit*>(widget)) return MultiLineText(box->toPlainText());
  if (auto* group = qobject_cast<QGroupBox*>(widget)) return FromQString(group->title());
  if (auto* combo = qobject_cast<QComboBox*>(widget)) return FromQString(combo->currentText());
  if (auto* check = qobject_cast<QCheckBox*>(widget)) return FromQString(check->text());
  if (auto* label = qobject_cast<QLabel*>(widget)) return FromQString(label->text());
  return {};
}

void MainWindow::SetText(Control control, const Text& value) {
  QWidget* widget = Widget(control);
  if (auto* line = qobject_cast<QLineEdit*>(widget)) {
    line->setText(ToQString(value));
  } else if (auto* box = qobject_cast<QPlainTextEdit*>(widget)) {
    box->setPlainText(MultiLineDisplay(value));
  } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
    group->setTitle(ToQString(value));
  } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
    // A drop-down list shows only its own items.
    const int item = combo->findText(ToQString(value), Qt::MatchExactly);
    if (item >= 0) combo->setCurrentIndex(item);
  } else if (auto* check = qobject_cast<QCheckBox*>(widget)) {
    check->setText(ToQString(value));
  } else if (auto* label = qobject_cast<QLabel*>(widget)) {
    label->setText(ToQString(value));
  }
}

bool MainWindow::IsVisible(Control control) const {
  QWidget* widget = Widget(control);
  return widget && !widget->isHidden();
}

void MainWindow::SetVisible(Control control, bool visible) {
  if (QWidget* widget = Widget(control)) widget->setVisible(visible);
}

bool MainWindow::IsTicked(Control control) const {
  auto* check = qobject_cast<QCheckBox*>(Widget(control));
  return check && check->isChecked();
}

void MainWindow::SelectText(Control control, int start, int length) {
  QWidget* widget = Widget(control);
  const Text value = GetText(control);
  const long long end = static_cast<long long>(start) + std::max(0, length);
  if (auto* line = qobject_cast<QLineEdit*>(widget)) {
    const int first = CharactersIn(value, start, false);
    line->setSelection(first, CharactersIn(value, end, false) - first);
  } else if (auto* box = qobject_cast<QPlainTextEdit*>(widget)) {
    QTextCursor cursor = box->textCursor();
    cursor.setPosition(CharactersIn(value, start, true));
    cursor.setPosition(CharactersIn(value, end, true), QTextCursor::KeepAnchor);
    box->setTextCursor(cursor);
  }
}

void MainWindow::GiveFocus(Control control) {
  if (QWidget* widget = Widget(control)) widget->setFocus(Qt::OtherFocusReason);
}

void MainWindow::SetPicture(const std::string& bytes) {
  QPixmap picture;
  if (!bytes.empty() &&
      picture.loadFromData(reinterpret_cast<const uchar*>(bytes.data()), static_cast<uint>(bytes.size()))) {
    picture_->setPixmap(picture);
  } else {
    picture_->clear();
  }
}

void MainWindow::ShowProgress(const Text& line) {
  SetText(Control::ProgressBox, line);
}

void MainWindow::AppendLog(const Text& entry) {
  // After anything the user typed, wherever the caret was.
  log_->moveCursor(QTextCursor::End);
  log_->insertPlainText(MultiLineDisplay(entry));
  log_->moveCursor(QTextCursor::End);
  log_->ensureCursorVisible();
}

void MainWindow::PumpEvents(int ms) {
  if (ms <= 0) return;
  list_->Flush();
  const long long deadline = TickMs() + ms;
  QTimer wake;
  wake.setSingleShot(true);
  wake.setTimerType(Qt::PreciseTimer);
  for (;;) {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    const long long now = TickMs();
    if (now > deadline) break;
    // Sleeps until an event comes or the pause is over, instead of spinning.
    wake.start(static_cast<int>(deadline + 1 - now));
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  }
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void MainWindow::ProcessPendingEvents() {
  list_->Flush();
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

long long MainWindow::TickMs() const {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void MainWindow::ShowMessage(const Text& message) {
  list_->Flush();
  dialogs_.Message(this, QStringLiteral("信息："), ToQString(message));
}

bool MainWindow::Confirm(const Text& question) {
  list_->Flush();
  return dialogs_.Question(this, QStringLiteral("提示"), ToQString(question));
}

Text MainWindow::PickFolder(const Text& title) {
  list_->Flush();
  const QString chosen = dialogs_.PickFolder(this, ToQString(title));
  if (chosen.isEmpty()) return {};
  return text::FromNativePath(std::filesystem::path(chosen.toStdU16String()));
}

void MainWindow::SetClipboard(const Text& value) {
  QGuiApplication::clipboard()->setText(ToQString(value));
}

void MainWindow::OpenFolder(const Text& path) {
  dialogs_.OpenFolder(QString::fromStdU16String(text::ToNativePath(path).u16string()));
}

bool MainWindow::BeginLongOperation() {
  if (longOperationRunning_) return false;
  longOperationRunning_ = true;
  stopRequested_ = false;
  // Esc anywhere in the window asks the operation to stop.
  qApp->installEventFilter(this);
  return true;
}

void MainWindow::EndLongOperation() {
  if (!longOperationRunning_) return;
  longOperationRunning_ = false;
  qApp->removeEventFilter(this);
  progressBar_->hide();
  // The window was closed while the operation ran: it has returned, so the program may end now.
  if (closeWhenDone_) QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}

void MainWindow::SetProgressBar(int done, int total) {
  if (!longOperationRunning_ || total <= 0) {
    progressBar_->hide();
    return;
  }
  progressBar_->setRange(0, total);
  progressBar_->setValue(std::clamp(done, 0, total));
  progressBar_->show();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (longOperationRunning_) {
    stopRequested_ = true;
    closeWhenDone_ = true;
    event->ignore();
    return;
  }
  event->accept();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget && widget->window() == this) stopRequested_ = true;
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace quorvane::app
