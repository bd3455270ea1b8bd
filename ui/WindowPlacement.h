#pragma once

#include "ui/PanelLayout.h"

class QRect;
class QSize;
class QWidget;

// A Qt rectangle as the windows' logic takes it.
TBounds BoundsOf(const QRect& rect);

// Moves window to its saved place when a frame of that size there overlaps
// any screen, otherwise to the top-left corner of the primary screen's
// free area: a monitor since unplugged must not keep a window out of reach.
void RestoreOnScreens(QWidget& window, int left, int top, const QSize& frame);
