#pragma once

#include "settings/SettingNames.h"

#include <vector>

// A rectangle in pixels, as the windows place their controls.
struct TBounds {
  int Left = 0;
  int Top = 0;
  int Width = 0;
  int Height = 0;

  bool operator==(const TBounds&) const = default;
};

// The settings hold at most this many panels.
inline constexpr int MaxSavedPanels = Setting::SavedPanels;

// A hand-edited count beyond any screen makes no more panels than this,
// rather than keeping the start busy for minutes.
inline constexpr int MaxLoadedPanels = 100;

// Where a new panel goes: under the last one, PanelGap apart, the same size.
TBounds NextPanelBounds(const TBounds& last, int panelGap);

// How much the window grows when a panel of this size is added (and shrinks
// when it is removed).
int PanelStep(const TBounds& panel, int panelGap);

// Panels whose command and colour are read for a stored count: none for a
// first run. Beyond the settings' ten the reading fails at the eleventh,
// which names the record it missed.
int PanelsToLoad(int storedCount);

// Panels the window holds after loading: the designed one at least.
int PanelsToCreate(int storedCount);

// Panels whose command and colour are written back.
int PanelsToSave(int panelCount);

// Where a window saved at saved opens: there when it overlaps any screen,
// otherwise at the top-left corner of the primary screen.
TBounds PlaceOnScreens(const TBounds& saved, const std::vector<TBounds>& screens,
                       const TBounds& primary);
