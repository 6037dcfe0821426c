#include "FakeWindow.h"

namespace quorvane::testing {

FakeWindow::FakeWindow() {
  visible[Control::ProgressBox] = false;
  visible[Control::NoPreviewLabel] = false;
  ticked_[Control::FuzzyCheck] = true;
  ticked_[Control::ProgressCheck] = false;
  texts[Control::SearchFieldCombo] = text::Gbk("编码");
  texts[Control::PreviewGroup] = text::Gbk("预览图");
}

Text FakeWindow::GetText(Control control) const {
  auto it = texts.find(control);
  return it == texts.end() ? Text() : it->second;
}

void FakeWindow::SetText(Control control, const Text& value) { texts[control] = value; }

bool FakeWindow::IsVisible(Control control) const {
  auto it = visible.find(control);
  return it == visible.end() ? true : it->second;
}

void FakeWindow::SetVisible(Control control, bool v) { visible[control] = v; }

bool FakeWindow::IsTicked(Control control) const {
  auto it = ticked_.find(control);
  return it != ticked_.end() && it->second;
}

void FakeWindow::SelectText(Control control, int start, int length) { selections[control] = {start, length}; }

void FakeWindow::GiveFocus(Control control) { focus = control; }

void FakeWindow::SetPicture(const std::string& bytes) {
  picture = bytes;
  ++pictureWrites;
}

void FakeWindow::ShowProgress(const Text& line) {
  texts[Control::ProgressBox] = line;
  progressLines.push_back(line);
  progressBoxVisibleAt.push_back(IsVisible(Control::ProgressBox));
}

void FakeWindow::AppendLog(const Text& entry) {
  texts[Control::LogBox] += entry;
  logEntries.push_back(entry);
}

void FakeWindow::PumpEvents(int ms) {
  pumps.push_back(ms);
  if (ms > 0) clockMs += ms;
  if (onPump) onPump(ms);
}

void FakeWindow::ProcessPendingEvents() {
  ++pendingEventRuns;
  if (onPendingEvents) onPendingEvents();
}

void FakeWindow::ShowMessage(const Text& message) { messages.push_back(message); }

bool FakeWindow::Confirm(const Text& question) {
  questions.push_back(question);
  if (confirmAnswers_.empty()) return true;
  const bool answer = confirmAnswers_.front();
  confirmAnswers_.pop_front();
  return answer;
}

Text FakeWindow::PickFolder(const Text& title) {
  folderPickerTitles.push_back(title);
  if (folderAnswers_.empty()) return {};
  Text answer = folderAnswers_.front();
  folderAnswers_.pop_front();
  return answer;
}

void FakeWindow::SetClipboard(const Text& value) { clipboardWrites.push_back(value); }

void FakeWindow::OpenFolder(const Text& path) { openedFolders.push_back(path); }

bool FakeWindow::BeginLongOperation() {
  if (longOperationRunning) return false;
  longOperationRunning = true;
  stopRequested_ = false;
  return true;
}

void FakeWindow::EndLongOperation() { longOperationRunning = false; }

bool FakeWindow::StopRequested() const { return stopRequested_; }

void FakeWindow::SetProgressBar(int done, int total) { progressBar = {done, total}; }

const Text& FakeWindow::Log() const {
  static const Text kEmpty;
  auto it = texts.find(Control::LogBox);
  return it == texts.end() ? kEmpty : it->second;
}

}  // namespace quorvane::testing
