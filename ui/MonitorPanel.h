#pragma once

#include "watch/Band.h"

#include <QLabel>

#include <cstdint>
#include <string>

// One display panel of the panel monitor: a lowered frame with its caption
// in large digits, right-aligned, in the panel's own colour. A panel with
// limits in alarm shows white digits on red, whatever its colour; one whose
// last answer is no number shows its colour on a grey hatch.
class TMonitorPanel : public QLabel {
  Q_OBJECT

public:
  explicit TMonitorPanel(QWidget* parent);

  // The colour as the settings store it (0x00BBGGRR, or a system colour).
  std::int32_t Color() const { return FontColor; }
  void SetColor(std::int32_t color);

  TLook Look() const { return Shown; }
  // Leaves Color as it is, so the layout saves the operator's choice.
  void SetLook(TLook look);

  std::string Caption() const;
  void SetCaption(const std::string& caption);

  // Bevel, alignment, font and colour of another panel.
  void CopyLookFrom(const TMonitorPanel& other);

signals:
  void DoubleClicked(TMonitorPanel* panel);

protected:
  void changeEvent(QEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
  void ApplyColor();

  std::int32_t FontColor = 0;
  TLook Shown = TLook::Normal;
};
