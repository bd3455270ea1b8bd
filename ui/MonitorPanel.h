#pragma once

#include <QLabel>

#include <cstdint>
#include <string>

// One display panel of the panel monitor: a lowered frame with its caption
// in large digits, right-aligned, in the panel's own colour.
class TMonitorPanel : public QLabel {
  Q_OBJECT

public:
  explicit TMonitorPanel(QWidget* parent);

  // The colour as the settings store it (0x00BBGGRR, or a system colour).
  std::int32_t Color() const { return FontColor; }
  void SetColor(std::int32_t color);

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
};
