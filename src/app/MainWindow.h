// The one window: every control by its own name, the window side of the operations (window::Window), and
// the routing of each control's events to the handlers of the event table.
#pragma once

#include <QWidget>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "app/EventTable.h"
#include "window/Window.h"

class QPlainTextEdit;
class QProgressBar;

namespace quorvane::app {

class Dialogs;
class DoubleClickLabel;
class ModListView;

using text::Text;
using window::Control;

class MainWindow : public QWidget, public window::Window {
  Q_OBJECT

 public:
  explicit MainWindow(Dialogs& dialogs, const std::vector<Route>& routes = EventRoutes(),
                      QWidget* parent = nullptr);
  ~MainWindow() override;

  // The operations' view of the program; events reach no handler until it is attached.
  void AttachWorkspace(index::Workspace* workspace) { workspace_ = workspace; }
  ModListView& List() { return *list_; }
  QWidget* Widget(Control control) const;

  Text GetText(Control control) const override;
  void SetText(Control control, const Text& value) override;
  bool IsVisible(Control control) const override;
  void SetVisible(Control control, bool visible) override;
  bool IsTicked(Control control) const override;
  void SelectText(Control control, int start, int length) override;
  void GiveFocus(Control control) override;
  void SetPicture(const std::string& bytes) override;
  void ShowProgress(const Text& line) override;
  void AppendLog(const Text& entry) override;
  void PumpEvents(int ms) override;
  void ProcessPendingEvents() override;
  long long TickMs() const override;
  void ShowMessage(const Text& message) override;
  bool Confirm(const Text& question) override;
  Text PickFolder(const Text& title) override;
  void SetClipboard(const Text& value) override;
  void OpenFolder(const Text& path) override;
  bool BeginLongOperation() override;
  void EndLongOperation() override;
  bool StopRequested() const override { return stopRequested_; }
  void SetProgressBar(int done, int total) override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildControls();
  void ConnectEvents();
  void Raise(const QObject* control, Event event, int key = 0);

  Dialogs& dialogs_;
  index::Workspace* workspace_ = nullptr;
  std::multimap<std::pair<std::string, Event>, Route> routes_;
  std::map<Control, QWidget*> controls_;
  ModListView* list_ = nullptr;
  QPlainTextEdit* log_ = nullptr;
  DoubleClickLabel* picture_ = nullptr;
  QProgressBar* progressBar_ = nullptr;
  bool longOperationRunning_ = false;
  bool stopRequested_ = false;
  bool closeWhenDone_ = false;
};

// The log pane's text before any operation has written to it.
Text InitialLogText();

}  // namespace quorvane::app
