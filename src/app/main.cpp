#include <QApplication>

#include "app/Application.h"

int main(int argc, char** argv) {
  QApplication qt(argc, argv);
  quorvane::app::QtDialogs dialogs;
  quorvane::app::Application application(dialogs, quorvane::app::ProgramDir(),
                                         [] { QCoreApplication::exit(0); });
  application.Launch();
  qt.exec();
  return 0;
}
