// Dialogs that answer at once, so no box stops a benchmark's clock.
#pragma once

#include "app/Dialogs.h"

namespace quorvane::bench {

class NoDialogs : public app::Dialogs {
 public:
  void Message(QWidget*, const QString&, const QString&) override {}
  bool Question(QWidget*, const QString&, const QString&) override { return false; }
  QString PickFolder(QWidget*, const QString&) override { return {}; }
  void OpenFolder(const QString&) override {}
};

}  // namespace quorvane::bench
