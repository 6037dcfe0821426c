// Dialogs that answer from a script and record what was asked, so that no test blocks on a modal box.
#pragma once

#include <QString>
#include <QStringList>

#include <deque>

#include "app/Dialogs.h"

namespace quorvane::testing {

class RecordingDialogs : public app::Dialogs {
 public:
  void Message(QWidget*, const QString& title, const QString& text) override {
    asked << title + QStringLiteral("|") + text;
  }
  bool Question(QWidget*, const QString& title, const QString& text) override {
    asked << title + QStringLiteral("|") + text;
    if (answers.empty()) return false;
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
  }
  QString PickFolder(QWidget*, const QString& title) override {
    asked << title;
    return folder;
  }
  void OpenFolder(const QString& path) override { opened << path; }

  QStringList asked;  // "title|text" of each box, the title of each folder picker
  QStringList opened;
  std::deque<bool> answers;
  QString folder;
};

}  // namespace quorvane::testing
