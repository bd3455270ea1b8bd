#include "ui/MonitorFonts.h"

#include <QStringList>

QFont DigitsFont() {
  QFont font;
  // Metric-compatible stand-ins first, so the digits fill the panels as designed.
  font.setFamilies({"Arial", "Liberation Sans", "Nimbus Sans", "Helvetica"});
  font.setStyleHint(QFont::SansSerif);
  font.setBold(true);
  font.setPixelSize(85);
  return font;
}

QFont MonitorFormFont() {
  QFont font("MS Sans Serif");
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(11);
  // Stated, not inherited: an editor sits inside a panel of bold digits and
  // would otherwise take its weight.
  font.setWeight(QFont::Normal);
  return font;
}
