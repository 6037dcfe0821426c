// Widgets that report the events the event table routes and plain Qt widgets do not signal.
#pragma once

#include <QLabel>
#include <QLineEdit>

namespace quorvane::app {

// A single-line edit box: key down (before the box handles the key, which it still gets) and left
// button released (after the box has handled it).
class EditBox : public QLineEdit {
  Q_OBJECT

 public:
  using QLineEdit::QLineEdit;

 signals:
  void keyDown(int keyCode);
  void leftButtonReleased();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
};

// A label that reports left-button double-clicks: the picture box and the no-preview link.
class DoubleClickLabel : public QLabel {
  Q_OBJECT

 public:
  using QLabel::QLabel;

 signals:
  void doubleClicked();

 protected:
  void mouseDoubleClickEvent(QMouseEvent* event) override;
};

// The key code the handlers take: 13 for Enter, letters and digits as their upper-case ASCII codes.
int KeyCode(const QKeyEvent& event);

}  // namespace quorvane::app
