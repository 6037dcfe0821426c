// GBK text <-> QString, the only crossing between the text model and Qt.
#pragma once

#include <QString>

#include "text/Encoding.h"
#include "text/Text.h"

namespace quorvane::app {

inline QString ToQString(std::string_view gbk) {
  return QString::fromStdString(text::GbkToUtf8(gbk));
}

inline text::Text FromQString(const QString& value) {
  return text::Utf8ToGbkLenient(value.toUtf8().toStdString());
}

}  // namespace quorvane::app
