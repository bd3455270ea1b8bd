#include "watch/LimitTexts.h"
#include "watch/PanelWatch.h"

#include <gtest/gtest.h>

namespace {

std::string Refusal(const TLimitTexts& texts, char separator = '.') {
  try {
    ParseLimits(texts, separator);
  } catch (const std::exception& error) {
    return error.what();
  }
  return {};
}

// A poll's reading whose panel shows shown.
TReading Shows(const std::string& shown, char separator) {
  TReading reading;
  reading.Answer = shown;
  reading.Shown = ReadShown(shown, separator);
  return reading;
}

} // namespace

TEST(LimitTexts, ReadAsTheRecordReadsAValue) {
  const TLimits limits = ParseLimits({" -1,5 ", "2e1", ""}, ',');
  EXPECT_EQ(limits.Low, -1.5);
  EXPECT_EQ(limits.High, 20);
  EXPECT_EQ(limits.Hysteresis, 0);
  const TLimits open = ParseLimits({"", " ", "0.25"}, ',');
  EXPECT_FALSE(open.Low);
  EXPECT_FALSE(open.High);
  EXPECT_EQ(open.Hysteresis, 0.25);
}

TEST(LimitTexts, RefusalsNameWhatIsWrong) {
  EXPECT_EQ(Refusal({"abc", "", ""}), "Low: \"abc\" is not a number");
  EXPECT_EQ(Refusal({"", "1.5", ""}, ','), "") << "a full stop is always a separator";
  EXPECT_EQ(Refusal({"", "0x10", ""}), "High: \"0x10\" is not a number");
  EXPECT_EQ(Refusal({"", "", "1e999"}), "Hysteresis: \"1e999\" is not a number");
  EXPECT_EQ(Refusal({"30", "20", ""}), "Low 30 is above High 20");
  EXPECT_EQ(Refusal({"", "20", "-1"}), "Hysteresis -1 is below zero");
  EXPECT_EQ(Refusal({"10", "20", "10"}), "Hysteresis 10 must be smaller than High - Low");
  EXPECT_EQ(Refusal({"10", "20", "9.9"}), "");
  EXPECT_EQ(Refusal({"20", "", "50"}), "") << "one limit leaves the hysteresis unbounded";
}

TEST(PanelWatch, CrossingsCarryTheTextsAsShownAndTyped) {
  TPanelWatch watch;
  EXPECT_FALSE(watch.Change({"", " 24,0 ", ""}, ','));
  const auto out = watch.Judge(Shows("25,0", ','));
  ASSERT_TRUE(out);
  EXPECT_EQ(out->Direction, TDirection::Above);
  EXPECT_EQ(out->Value, "25,0");
  EXPECT_EQ(out->Limit, " 24,0 ");
  EXPECT_FALSE(watch.Judge(Shows("(no answer)", ',')));
  EXPECT_EQ(watch.Look(), TLook::NoNumber);
  // Removing the limit ends the alarm over the limit as it was typed, with
  // the last number the panel showed.
  const auto back = watch.Change({"", "", ""}, ',');
  ASSERT_TRUE(back);
  EXPECT_EQ(back->Direction, TDirection::Inside);
  EXPECT_EQ(back->Value, "25,0");
  EXPECT_EQ(back->Limit, " 24,0 ");
}

TEST(PanelWatch, RefusedTextsChangeNothing) {
  TPanelWatch watch;
  watch.Change({"", "24", ""}, '.');
  watch.Judge(Shows("25", '.'));
  EXPECT_THROW(watch.Change({"30", "20", ""}, '.'), std::exception);
  EXPECT_EQ(watch.Texts(), (TLimitTexts{"", "24", ""}));
  EXPECT_EQ(watch.Look(), TLook::Alarm);
}

TEST(PanelWatch, DamagedStoredTextsLeaveThePanelUnlimitedAndAreKept) {
  TPanelWatch watch;
  const TLimitTexts stored{"1", "twenty", ""};
  watch.Restore(stored, '.');
  EXPECT_FALSE(watch.Judge(Shows("-5", '.')));
  EXPECT_EQ(watch.Look(), TLook::Normal);
  EXPECT_EQ(watch.Texts(), stored);
  watch.Restore({"", "4", ""}, '.');
  EXPECT_EQ(watch.Look(), TLook::Normal);
  EXPECT_TRUE(watch.Judge(Shows("5", '.')));
  EXPECT_EQ(watch.Look(), TLook::Alarm);
}
