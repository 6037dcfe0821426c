// A Window that records what the operations do to it. Pauses return at once and advance a clock of
// their own; onPump runs inside each pause, standing in for the events a user would cause.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "window/Window.h"

namespace quorvane::testing {

using text::Text;
using window::Control;

class FakeWindow : public window::Window {
 public:
  FakeWindow();

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
  long long TickMs() const override { return clockMs; }
  void ShowMessage(const Text& message) override;
  bool Confirm(const Text& question) override;
  Text PickFolder(const Text& title) override;
  void SetClipboard(const Text& value) override;
  void OpenFolder(const Text& path) override;
  bool BeginLongOperation() override;
  void EndLongOperation() override;
  bool StopRequested() const override;
  void SetProgressBar(int done, int total) override;

  // Test controls.
  void SetTicked(Control control, bool ticked) { ticked_[control] = ticked; }
  void AnswerConfirm(bool ok) { confirmAnswers_.push_back(ok); }  // default answer when none is queued: OK
  void AnswerPickFolder(const Text& path) { folderAnswers_.push_back(path); }
  void RequestStop() { stopRequested_ = true; }

  // What was recorded.
  std::map<Control, Text> texts;
  std::map<Control, bool> visible;
  Control focus = Control::SearchTextBox;
  struct Selection {
    int start = 0;
    int length = 0;
  };
  std::map<Control, Selection> selections;
  std::string picture;
  int pictureWrites = 0;
  std::vector<Text> progressLines;  // every ShowProgress, in order
  std::vector<Text> logEntries;     // every AppendLog, in order; texts[LogBox] holds the whole pane
  std::vector<int> pumps;           // every PumpEvents(ms)
  long long clockMs = 0;            // advanced by PumpEvents
  int pendingEventRuns = 0;         // ProcessPendingEvents calls
  std::vector<Text> messages;
  std::vector<Text> questions;
  std::vector<Text> folderPickerTitles;
  std::vector<Text> clipboardWrites;
  std::vector<Text> openedFolders;
  bool longOperationRunning = false;
  std::pair<int, int> progressBar{0, 0};
  // Progress box visibility at each ShowProgress.
  std::vector<bool> progressBoxVisibleAt;

  std::function<void(int ms)> onPump;
  std::function<void()> onPendingEvents;

  // The log pane's text after the initial text the test set (or the whole pane).
  const Text& Log() const;

 private:
  std::map<Control, bool> ticked_;
  std::deque<bool> confirmAnswers_;
  std::deque<Text> folderAnswers_;
  bool stopRequested_ = false;
};

}  // namespace quorvane::testing
