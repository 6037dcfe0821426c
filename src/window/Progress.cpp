#include "window/Progress.h"

namespace quorvane::window {

LongOperation::LongOperation(Window& window) : window_(window), started_(window.BeginLongOperation()) {
  if (!started_) window_.AppendLog(text::Gbk("\r\n\r\n另一个操作正在进行，请等它完成或按Esc停止后再试。"));
}

LongOperation::~LongOperation() {
  if (started_) window_.EndLongOperation();
}

Progress::Progress(Window& window, int total) : window_(window), total_(total) {
  if (window_.IsTicked(Control::ProgressCheck)) window_.SetVisible(Control::ProgressBox, true);
  window_.SetProgressBar(0, total_);
}

void Progress::Pause() {
  if (window_.IsTicked(Control::ProgressCheck)) window_.PumpEvents(1);
}

void Progress::Item(const Text& line) {
  Pause();
  window_.ShowProgress(line);
}

void Progress::Done() {
  ++done_;
  window_.SetProgressBar(done_, total_);
}

void Progress::SetTotal(int total) {
  total_ = total;
  window_.SetProgressBar(done_, total_);
}

void Progress::Finish(const Text& finalLine, const Text& summary) {
  window_.ShowProgress(finalLine);
  window_.AppendLog(window_.StopRequested() ? summary + StoppedNote() : summary);
  window_.PumpEvents(1000);
  window_.SetVisible(Control::ProgressBox, false);
  window_.SetProgressBar(0, 0);
}

Text StoppedNote() { return text::Gbk("\r\n（已中止）"); }

}  // namespace quorvane::window
