// The running program: the table, the window, the workspace the handlers get, and start-up on the
// window's created event.
#pragma once

#include <functional>

#include "app/Dialogs.h"
#include "app/MainWindow.h"
#include "index/ModIndex.h"
#include "index/Workspace.h"

namespace quorvane::app {

// The folder that holds the running program, without a trailing separator.
text::Text ProgramDir();

class Application {
 public:
  // endProcess ends the program when start-up refuses to go on (the test replaces it).
  Application(Dialogs& dialogs, text::Text programDir, std::function<void()> endProcess);

  MainWindow& Window() { return window_; }
  index::Workspace& Workspace() { return workspace_; }
  // Shows the window; start-up runs once the event loop has it.
  void Launch();
  bool StartUpNow();

 private:
  index::ModIndex table_;
  MainWindow window_;
  index::Workspace workspace_;
  text::Text programDir_;
  std::function<void()> endProcess_;
};

}  // namespace quorvane::app
