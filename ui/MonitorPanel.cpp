#include "ui/MonitorPanel.h"

#include "ui/QtColor.h"
#include "ui/QtText.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPalette>

TMonitorPanel::TMonitorPanel(QWidget* parent) : QLabel(parent) {
  // Answers are shown as they came, never as markup.
  setTextFormat(Qt::PlainText);
  setWordWrap(false);
  setFrameStyle(QFrame::Panel | QFrame::Sunken);
  setLineWidth(1);
  setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  // The caption runs up to the bevel, with no extra indent.
  setIndent(0);
}

void TMonitorPanel::SetLook(TLook look) {
  if (look == Shown)
    return;
  Shown = look;
  ApplyColor();
}

void TMonitorPanel::SetColor(std::int32_t color) {
  FontColor = color;
  ApplyColor();
}

std::string TMonitorPanel::Caption() const {
  return FromQt(text());
}

void TMonitorPanel::SetCaption(const std::string& caption) {
  setText(ToQt(caption));
}

void TMonitorPanel::CopyLookFrom(const TMonitorPanel& other) {
  setFrameStyle(other.frameStyle());
  setLineWidth(other.lineWidth());
  setMidLineWidth(other.midLineWidth());
  setAlignment(other.alignment());
  setIndent(other.indent());
  setFont(other.font());
  SetColor(other.Color());
}

void TMonitorPanel::changeEvent(QEvent* event) {
  // A system colour follows the palette when the desktop's changes.
  if (event->type() == QEvent::ApplicationPaletteChange)
    ApplyColor();
  QLabel::changeEvent(event);
}

void TMonitorPanel::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton)
    emit DoubleClicked(this);
  QLabel::mouseDoubleClickEvent(event);
}

void TMonitorPanel::ApplyColor() {
  QPalette colors = palette();
  QColor digits = QColorOfValue(FontColor);
  const QWidget* parent = parentWidget();
  QBrush background = parent != nullptr ? parent->palette().window() : QPalette().window();
  if (Shown == TLook::Alarm) {
    background = QColor(0xD0, 0x00, 0x00);
    digits = Qt::white;
  } else if (Shown == TLook::NoNumber) {
    background = QBrush(Qt::gray, Qt::BDiagPattern);
  }
  colors.setColor(QPalette::WindowText, digits);
  // A panel never limited keeps the palette it always had.
  if (Shown != TLook::Normal || autoFillBackground())
    colors.setBrush(QPalette::Window, background);
  setPalette(colors);
  setAutoFillBackground(Shown != TLook::Normal);
}
