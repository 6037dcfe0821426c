#include "app/Dialogs.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QUrl>

namespace quorvane::app {

void QtDialogs::Message(QWidget* parent, const QString& title, const QString& text) {
  QMessageBox::information(parent, title, text, QMessageBox::Ok);
}

bool QtDialogs::Question(QWidget* parent, const QString& title, const QString& text) {
  // Escape and the close button answer Cancel.
  return QMessageBox::question(parent, title, text, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok) ==
         QMessageBox::Ok;
}

QString QtDialogs::PickFolder(QWidget* parent, const QString& title) {
  const QString chosen =
      QFileDialog::getExistingDirectory(parent, title, QDir::rootPath(), QFileDialog::ShowDirsOnly);
  return chosen.isEmpty() ? QString() : QDir::toNativeSeparators(chosen);
}

void QtDialogs::OpenFolder(const QString& path) {
  QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

}  // namespace quorvane::app
