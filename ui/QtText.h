#pragma once

#include <QString>

#include <string>

// The one crossing between the system's byte strings and Qt's text.
QString ToQt(const std::string& bytes);
std::string FromQt(const QString& text);
