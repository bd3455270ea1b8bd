#include "ui/QtText.h"

#include "platform/TextEncoding.h"

QString ToQt(const std::string& bytes) {
  const std::string utf8 = platform::SystemToUtf8(bytes);
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string FromQt(const QString& text) {
  return platform::Utf8ToSystem(text.toUtf8().toStdString());
}
