#include "ui/PanelLayout.h"
#include "ui/ColorValue.h"

#include <gtest/gtest.h>

TEST(PanelLayout, NewPanelStacksUnderTheLast) {
  const TBounds first{0, 48, 313, 121};
  const TBounds second = NextPanelBounds(first, 4);
  EXPECT_EQ(second, (TBounds{0, 173, 313, 121}));
  EXPECT_EQ(NextPanelBounds(second, 4), (TBounds{0, 298, 313, 121}));
  EXPECT_EQ(PanelStep(second, 4), 125);
}

TEST(PanelLayout, StoredCountIsKeptWithinWhatTheSettingsHold) {
  EXPECT_EQ(PanelsToLoad(0), 0);
  EXPECT_EQ(PanelsToCreate(0), 1);
  EXPECT_EQ(PanelsToLoad(-5), 0);
  EXPECT_EQ(PanelsToCreate(-5), 1);
  EXPECT_EQ(PanelsToLoad(3), 3);
  EXPECT_EQ(PanelsToCreate(3), 3);
  EXPECT_EQ(PanelsToLoad(11), 11) << "the eleventh is read, and its reading fails";
  EXPECT_EQ(PanelsToCreate(11), 11);
  EXPECT_EQ(PanelsToCreate(0x7FFFFFFF), 100) << "a hand-edited count does not hang the start";
  EXPECT_EQ(PanelsToSave(12), 10);
  EXPECT_EQ(PanelsToSave(1), 1);
}

TEST(PanelLayout, WindowOffEveryScreenMovesToThePrimary) {
  const TBounds primary{0, 0, 1024, 768};
  const std::vector<TBounds> screens{primary, {1024, 0, 800, 600}};
  const TBounds onSecond{1500, 100, 314, 170};
  EXPECT_EQ(PlaceOnScreens(onSecond, screens, primary), onSecond);
  const TBounds straddling{-300, -100, 314, 170};
  EXPECT_EQ(PlaceOnScreens(straddling, screens, primary), straddling);
  EXPECT_EQ(PlaceOnScreens({1824, 0, 314, 170}, screens, primary), (TBounds{0, 0, 314, 170}));
  EXPECT_EQ(PlaceOnScreens({5000, 5000, 314, 170}, screens, {100, 50, 1024, 768}),
            (TBounds{100, 50, 314, 170}));
  EXPECT_EQ(PlaceOnScreens({1024, 600, 10, 10}, screens, primary), (TBounds{0, 0, 10, 10}));
}

TEST(ColorValue, PlainAndSystemColours) {
  EXPECT_TRUE(IsSystemColor(WindowTextColor));
  EXPECT_EQ(SystemColorIndex(WindowTextColor), 8);
  EXPECT_EQ(WindowTextColor, -16777208);
  EXPECT_FALSE(IsSystemColor(0x0000FF));
  EXPECT_EQ(RgbOfColor(0x008000), (TRgb{0, 0x80, 0}));
  EXPECT_EQ(RgbOfColor(0x0000FF), (TRgb{0xFF, 0, 0}));
  EXPECT_EQ(ColorOfRgb({0x12, 0x34, 0x56}), 0x563412);
  EXPECT_EQ(ColorOfRgb(RgbOfColor(0x00ABCDEF)), 0x00ABCDEF);
}
