#include "ui/PanelLayout.h"

#include <algorithm>

namespace {

bool Overlaps(const TBounds& a, const TBounds& b) {
  return a.Left < b.Left + b.Width && b.Left < a.Left + a.Width && a.Top < b.Top + b.Height &&
         b.Top < a.Top + a.Height;
}

} // namespace

TBounds NextPanelBounds(const TBounds& last, int panelGap) {
  return {last.Left, last.Top + last.Height + panelGap, last.Width, last.Height};
}

int PanelStep(const TBounds& panel, int panelGap) {
  return panel.Height + panelGap;
}

int PanelsToLoad(int storedCount) {
  return std::clamp(storedCount, 0, MaxLoadedPanels);
}

int PanelsToCreate(int storedCount) {
  return std::max(PanelsToLoad(storedCount), 1);
}

int PanelsToSave(int panelCount) {
  return std::min(panelCount, MaxSavedPanels);
}

TBounds PlaceOnScreens(const TBounds& saved, const std::vector<TBounds>& screens,
                       const TBounds& primary) {
  if (std::any_of(screens.begin(), screens.end(),
                  [&](const TBounds& screen) { return Overlaps(saved, screen); }))
    return saved;
  return {primary.Left, primary.Top, saved.Width, saved.Height};
}
