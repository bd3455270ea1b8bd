#include "ui/Playback.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

using TKind = TPlayback::TStep::TKind;

class PlaybackTest : public testing::Test {
protected:
  std::unique_ptr<TTextFile> File(const std::string& bytes) {
    const std::filesystem::path path = Dir.Path() / "play.txt";
    std::ofstream(path, std::ios::binary) << bytes;
    return std::make_unique<TTextFile>(path.string());
  }
  TempDir Dir;
  TPlayback Playback;
};

} // namespace

TEST_F(PlaybackTest, LinesThenRestoreOfRepetition) {
  Playback.Start(File("one\ntwo\n"), true, "p.v");
  EXPECT_TRUE(Playback.Playing());
  EXPECT_EQ(Playback.Next().Line, "one");
  EXPECT_EQ(Playback.Next().Line, "two");
  const TPlayback::TStep end = Playback.Next();
  EXPECT_EQ(end.Kind, TKind::Finished);
  EXPECT_TRUE(end.RestoreCycle);
  EXPECT_TRUE(end.RestoreMessage);
  EXPECT_EQ(end.Message, "p.v");
  EXPECT_FALSE(Playback.Playing());
  EXPECT_EQ(Playback.Next().Kind, TKind::Idle);
}

TEST_F(PlaybackTest, WithoutRepetitionTheMessageStays) {
  Playback.Start(File(""), false, "inp");
  const TPlayback::TStep end = Playback.Next();
  EXPECT_EQ(end.Kind, TKind::Finished);
  EXPECT_FALSE(end.RestoreCycle);
  EXPECT_FALSE(end.RestoreMessage);
}

TEST_F(PlaybackTest, EmptyLinesAreSentAndStopEndsEarly) {
  Playback.Start(File("\nx\n"), true, "m");
  const TPlayback::TStep first = Playback.Next();
  EXPECT_EQ(first.Kind, TKind::SendLine);
  EXPECT_EQ(first.Line, "");
  const TPlayback::TStep stop = Playback.Stop();
  EXPECT_EQ(stop.Kind, TKind::Finished);
  EXPECT_EQ(stop.Message, "m");
  EXPECT_FALSE(Playback.Playing());
  EXPECT_EQ(Playback.Stop().Kind, TKind::Idle);
}

TEST_F(PlaybackTest, ANewStartReplacesTheSavedState) {
  Playback.Start(File("a\n"), true, "first");
  Playback.Start(File("b\n"), false, "second");
  EXPECT_EQ(Playback.Next().Line, "b");
  EXPECT_FALSE(Playback.Next().RestoreCycle);
}
