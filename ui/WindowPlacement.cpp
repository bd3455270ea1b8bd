#include "ui/WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

TBounds BoundsOf(const QRect& rect) {
  return {rect.x(), rect.y(), rect.width(), rect.height()};
}

void RestoreOnScreens(QWidget& window, int left, int top, const QSize& frame) {
  const TBounds saved{left, top, frame.width(), frame.height()};
  const QScreen* primary = QGuiApplication::primaryScreen();
  // Without a screen there is nothing to be out of reach of.
  if (primary == nullptr) {
    window.move(left, top);
    return;
  }
  std::vector<TBounds> screens;
  for (const QScreen* screen : QGuiApplication::screens())
    screens.push_back(BoundsOf(screen->geometry()));
  const TBounds placed = PlaceOnScreens(saved, screens, BoundsOf(primary->availableGeometry()));
  window.move(placed.Left, placed.Top);
}
