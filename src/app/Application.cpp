#include "app/Application.h"

#include <QCoreApplication>
#include <QTimer>

#include <filesystem>

#include "app/ModListView.h"
#include "app/StartUp.h"

namespace quorvane::app {

text::Text ProgramDir() {
  return text::FromNativePath(std::filesystem::path(QCoreApplication::applicationDirPath().toStdU16String()));
}

Application::Application(Dialogs& dialogs, text::Text programDir, std::function<void()> endProcess)
    : window_(dialogs),
      workspace_{table_, window_.List(), window_, {}},
      programDir_(std::move(programDir)),
      endProcess_(std::move(endProcess)) {
  window_.AttachWorkspace(&workspace_);
}

void Application::Launch() {
  window_.show();
  QTimer::singleShot(0, &window_, [this] { StartUpNow(); });
}

bool Application::StartUpNow() {
  const bool started = StartUp(workspace_, programDir_, endProcess_);
  window_.List().Flush();
  return started;
}

}  // namespace quorvane::app
