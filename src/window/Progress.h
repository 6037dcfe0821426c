// The progress pattern the long operations share, and the guard that allows one long operation at a time.
#pragma once

#include "text/Text.h"
#include "window/Window.h"

namespace quorvane::window {

// One long operation at a time. A refused start logs why and leaves everything else as it was.
class LongOperation {
 public:
  explicit LongOperation(Window& window);
  ~LongOperation();
  LongOperation(const LongOperation&) = delete;
  LongOperation& operator=(const LongOperation&) = delete;

  explicit operator bool() const { return started_; }

 private:
  Window& window_;
  bool started_;
};

// Box shown when the progress check box is ticked at the start; before each item a 1 ms pause when it is
// ticked (read anew each time) and the item's line; at the end the final line, the summary, the 1000 ms
// pause and the box hidden. The bar counts items done out of total.
class Progress {
 public:
  Progress(Window& window, int total);

  // Pause (when ticked) and the item's line. Call Done() once the item is finished.
  void Item(const Text& line);
  // Only the pause, for an item whose line is written later or not at all.
  void Pause();
  void Done();
  void SetTotal(int total);

  // True once the user asked to stop; the operation then ends its loop and still calls Finish.
  bool StopRequested() const { return window_.StopRequested(); }

  // The final line, the summary (with a note when the run was stopped), the pause, the box hidden.
  void Finish(const Text& finalLine, const Text& summary);

  int done() const { return done_; }

 private:
  Window& window_;
  int total_;
  int done_ = 0;
};

// "\r\n（已中止）": added to a summary when the user stopped the run.
Text StoppedNote();

}  // namespace quorvane::window
