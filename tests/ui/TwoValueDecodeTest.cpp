#include "ui/TwoValueDecode.h"

#include "base/Exception.h"

#include <gtest/gtest.h>

namespace {

TTwoValueTexts Decode(const std::string& answer) {
  TTwoValueTexts texts{"Label1", "Label2"};
  DecodeTwoValues(answer, texts, '.');
  return texts;
}

std::string FailureOf(const std::string& answer, TTwoValueTexts& texts) {
  try {
    DecodeTwoValues(answer, texts, '.');
  } catch (const Exception& e) {
    return e.what();
  }
  return "no failure";
}

} // namespace

TEST(TwoValueDecode, InstrumentDumpGivesBothValues) {
  const TTwoValueTexts texts = Decode("F0 FF FE 00 00 2E 09 F6 FF\r\n");
  EXPECT_EQ(texts.First, "23.5");
  EXPECT_EQ(texts.Second, "-10");
}

TEST(TwoValueDecode, SixteenBitLimitsAndSeparator) {
  EXPECT_EQ(Decode("FF FE 00 00 00 80 00 80").First, "-327.68");
  EXPECT_EQ(Decode("FF FE 00 00 FF 7F FF 7F").First, "327.67");
  EXPECT_EQ(Decode("FF FE 00 00 FF 7F FF 7F").Second, "32767");
  EXPECT_EQ(Decode("FF FE 00 00 00 80 00 80").Second, "-32768");
  EXPECT_EQ(Decode("FF FE 00 00 FF FF 00 00").First, "-0.01");
  EXPECT_EQ(Decode("FF FE 00 00 B0 04 0c 00").First, "12");
  EXPECT_EQ(Decode("FF FE 00 00 B0 04 0c 00").Second, "12");
  TTwoValueTexts texts;
  DecodeTwoValues("FF FE 00 00 2E 09 F6 FF", texts, ',');
  EXPECT_EQ(texts.First, "23,5");
}

TEST(TwoValueDecode, NoCompleteDumpClearsBoth) {
  EXPECT_EQ(Decode("F0 00 00 2E 09 F6 FF\r\n").First, "");
  EXPECT_EQ(Decode("F0 00 00 2E 09 F6 FF\r\n").Second, "");
  EXPECT_EQ(Decode("FF FE 00 00 2E 09 F6 F").First, "");
  EXPECT_EQ(Decode("FF FE 00 00 2E 09 F6 F").Second, "");
  EXPECT_EQ(Decode("").First, "");
}

TEST(TwoValueDecode, MarkerIsFoundAnywhere) {
  EXPECT_EQ(Decode("xxFF FE 00 00 2E 09 F6 FF").Second, "-10");
  // The bytes are read from the first marker on.
  const TTwoValueTexts texts = Decode("FF FE FF FE 00 00 2E 09 F6 FF");
  EXPECT_EQ(texts.First, "0");
  EXPECT_EQ(texts.Second, "2350");
}

TEST(TwoValueDecode, NonHexFirstValueRaisesAndKeepsBothTexts) {
  TTwoValueTexts texts{"old1", "old2"};
  EXPECT_EQ(FailureOf("FF FE 00 00 2E G9 F6 FF", texts),
            "'$FFFFG92E' is not a valid integer value");
  EXPECT_EQ(texts.First, "old1");
  EXPECT_EQ(texts.Second, "old2");
  EXPECT_EQ(FailureOf("FF FE 00 00 2E 0 F6 FF ", texts),
            "'$00000 2E' is not a valid integer value");
}

TEST(TwoValueDecode, NonHexSecondValueRaisesAfterTheFirstIsSet) {
  TTwoValueTexts texts{"old1", "old2"};
  EXPECT_EQ(FailureOf("FF FE 00 00 2E 09 zz 12", texts),
            "'$000012zz' is not a valid integer value");
  EXPECT_EQ(texts.First, "23.5");
  EXPECT_EQ(texts.Second, "old2");
}

TEST(TwoValueDecode, HighBytesSortingAfterSevenExtendTheSign) {
  EXPECT_EQ(SignedWord("80", "00"), -32768);
  EXPECT_EQ(SignedWord("7F", "FF"), 32767);
  EXPECT_EQ(SignedWord("ff", "fe"), -2);
  EXPECT_THROW(SignedWord("\xc0"
                          "0",
                          "00"),
               Exception);
}
