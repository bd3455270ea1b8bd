#include "ui/TrendFigures.h"

#include <QPainter>

TTrendFigures::TTrendFigures(QWidget* parent) : QWidget(parent) {
  setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
}

void TTrendFigures::SetColors(const std::vector<QColor>& colors) {
  Lines.clear();
  for (const QColor& color : colors)
    Lines.push_back({color, {}});
  updateGeometry();
  update();
}

void TTrendFigures::SetText(std::size_t index, const QString& text) {
  if (index >= Lines.size() || Lines[index].Text == text)
    return;
  Lines[index].Text = text;
  const int height = fontMetrics().height();
  update(0, static_cast<int>(index) * height, width(), height);
}

std::vector<QString> TTrendFigures::Texts() const {
  std::vector<QString> texts;
  for (const TLine& line : Lines)
    texts.push_back(line.Text);
  return texts;
}

QSize TTrendFigures::sizeHint() const {
  return {0, static_cast<int>(Lines.size()) * fontMetrics().height()};
}

QSize TTrendFigures::minimumSizeHint() const {
  return sizeHint();
}

void TTrendFigures::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QFontMetrics metrics = fontMetrics();
  for (std::size_t i = 0; i < Lines.size(); ++i) {
    painter.setPen(Lines[i].Color);
    painter.drawText(0, static_cast<int>(i) * metrics.height() + metrics.ascent(), Lines[i].Text);
  }
}
