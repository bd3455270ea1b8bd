#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

#include <vector>

// The figures of the lines a trend shows, a line of text each in its line's
// colour. It paints them itself: a new reading changes a text, never the
// window's layout.
class TTrendFigures : public QWidget {
public:
  explicit TTrendFigures(QWidget* parent = nullptr);

  // As many lines of these colours, their texts empty.
  void SetColors(const std::vector<QColor>& colors);
  void SetText(std::size_t index, const QString& text);
  std::vector<QString> Texts() const;

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

protected:
  void paintEvent(QPaintEvent* event) override;

private:
  struct TLine {
    QColor Color;
    QString Text;
  };
  std::vector<TLine> Lines;
};
