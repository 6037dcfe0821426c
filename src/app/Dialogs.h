// The modal boxes and shell calls of the window, behind an interface so that tests answer them instead of
// blocking on a modal box.
#pragma once

#include <QString>

class QWidget;

namespace quorvane::app {

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // OK only.
  virtual void Message(QWidget* parent, const QString& title, const QString& text) = 0;
  // OK/Cancel; true for OK, false for Cancel or closing the box.
  virtual bool Question(QWidget* parent, const QString& title, const QString& text) = 0;
  // Folders only, a typed path accepted; the empty string when cancelled.
  virtual QString PickFolder(QWidget* parent, const QString& title) = 0;
  // The file manager shows the folder.
  virtual void OpenFolder(const QString& path) = 0;
};

// The real boxes, the real folder picker and the desktop's file manager.
class QtDialogs : public Dialogs {
 public:
  void Message(QWidget* parent, const QString& title, const QString& text) override;
  bool Question(QWidget* parent, const QString& title, const QString& text) override;
  QString PickFolder(QWidget* parent, const QString& title) override;
  void OpenFolder(const QString& path) override;
};

}  // namespace quorvane::app
