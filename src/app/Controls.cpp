#include "app/Controls.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace quorvane::app {

int KeyCode(const QKeyEvent& event) {
  const int key = event.key();
  switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return 13;
    case Qt::Key_Escape:
      return 27;
    case Qt::Key_Backspace:
      return 8;
    case Qt::Key_Tab:
      return 9;
    case Qt::Key_Space:
      return 32;
    case Qt::Key_Delete:
      return 46;
    default:
      break;
  }
  if ((key >= Qt::Key_0 && key <= Qt::Key_9) || (key >= Qt::Key_A && key <= Qt::Key_Z)) return key;
  return 0;
}

void EditBox::keyPressEvent(QKeyEvent* event) {
  emit keyDown(KeyCode(*event));
  QLineEdit::keyPressEvent(event);
}

void EditBox::mouseReleaseEvent(QMouseEvent* event) {
  QLineEdit::mouseReleaseEvent(event);
  if (event->button() == Qt::LeftButton) emit leftButtonReleased();
}

void DoubleClickLabel::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QLabel::mouseDoubleClickEvent(event);
    return;
  }
  // Taken here, so that a double-click on the no-preview link is not also one on the picture under it.
  event->accept();
  emit doubleClicked();
}

}  // namespace quorvane::app
