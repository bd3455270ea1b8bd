#include "record/TimeText.h"

#include <gtest/gtest.h>

TEST(TimeText, EpochMsOfIsoTimeReadsBackIsoTimeAtEveryOffset) {
  // 2026-12-08 13:03:07.250 UTC, seen from UTC, east and west of it.
  const std::int64_t moment = 1'796'734'987'250;
  const platform::LocalTime seen[] = {
      {2026, 12, 8, 13, 3, 7, 250, 0},
      {2026, 12, 8, 14, 3, 7, 250, 60},
      {2026, 12, 8, 18, 48, 7, 250, 345},
      {2026, 12, 8, 3, 33, 7, 250, -570},
  };
  for (const platform::LocalTime& time : seen) {
    EXPECT_EQ(EpochMs(time), moment) << IsoTime(time);
    EXPECT_EQ(EpochMsOfIsoTime(IsoTime(time)), moment) << IsoTime(time);
  }
  // Across a new year and a leap day, before 1970.
  const platform::LocalTime newYear{2025, 1, 1, 0, 30, 0, 999, 120};
  EXPECT_EQ(EpochMsOfIsoTime("2024-12-31T22:30:00.999+00:00"), EpochMs(newYear));
  EXPECT_EQ(EpochMsOfIsoTime("2024-02-29T00:00:00.000+00:00"), 1'709'164'800'000);
  EXPECT_EQ(EpochMsOfIsoTime("1969-12-31T23:59:59.999+00:00"), -1);
}

TEST(TimeText, EpochMsOfIsoTimeRefusesAnyOtherText) {
  for (const char* text : {
           "",
           "2026-12-08T14:03:07.250",
           "2026-12-08T14:03:07.250+01:00 ",
           "2026-12-08 14:03:07.250+01:00",
           "2026-12-08T14:03:07,250+01:00",
           "2026-12-08T14:03:07.250*01:00",
           "2026-12-08T14:03:07.2x0+01:00",
           "2026-13-08T14:03:07.250+01:00",
           "2025-02-29T14:03:07.250+01:00",
           "2026-12-08T24:00:00.000+01:00",
           "2026-12-08T14:60:07.250+01:00",
           "2026-12-08T14:03:60.250+01:00",
           "2026-12-08T14:03:07.250+01:60",
           "+026-12-08T14:03:07.250+01:00",
       })
    EXPECT_FALSE(EpochMsOfIsoTime(text)) << text;
}
