#include "base/TextFile.h"

#include "base/Exception.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

std::vector<std::string> ReadAll(const std::filesystem::path& path) {
  TTextFile file(path.string());
  std::vector<std::string> lines;
  while (!file.Eof())
    lines.push_back(file.ReadLine());
  file.Close();
  return lines;
}

std::string OpenError(const std::string& path) {
  try {
    TTextFile file(path);
  } catch (const Exception& error) {
    return error.what();
  }
  return "";
}

class TextFileTest : public testing::Test {
protected:
  std::filesystem::path Write(const std::string& bytes) {
    const std::filesystem::path path = Dir.Path() / "play.txt";
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }
  TempDir Dir;
};

using Lines = std::vector<std::string>;

} // namespace

TEST_F(TextFileTest, LineEndsLoneCrAndLastLine) {
  EXPECT_EQ(ReadAll(Write("a\r\nb\nc\rd\n")), (Lines{"a", "b", "cd"}));
  EXPECT_EQ(ReadAll(Write("a\nlast")), (Lines{"a", "last"}));
  EXPECT_EQ(ReadAll(Write("\n\n")), (Lines{"", ""}));
  EXPECT_EQ(ReadAll(Write("")), Lines{});
  EXPECT_EQ(ReadAll(Write("a\r")), (Lines{"a"}));
}

TEST_F(TextFileTest, CtrlZEndsTheFile) {
  EXPECT_EQ(ReadAll(Write("a\nb\x1a"
                          "c\nd\n")),
            (Lines{"a", "b"}));
  EXPECT_EQ(ReadAll(Write("\x1a"
                          "a\n")),
            Lines{});
}

TEST_F(TextFileTest, BytesPassUnchanged) {
  const std::string bytes("\xe9\x00\xff", 3);
  EXPECT_EQ(ReadAll(Write(bytes + "\n")), Lines{bytes});
}

TEST_F(TextFileTest, ReadingPastTheEndRaises) {
  TTextFile file(Write("a").string());
  EXPECT_EQ(file.ReadLine(), "a");
  EXPECT_TRUE(file.Eof());
  EXPECT_THROW(
      {
        try {
          file.ReadLine();
        } catch (const Exception& error) {
          EXPECT_STREQ(error.what(), "Read beyond end of file");
          throw;
        }
      },
      Exception);
}

TEST_F(TextFileTest, OpenErrors) {
  EXPECT_EQ(OpenError((Dir.Path() / "missing.txt").string()), "File not found");
  EXPECT_EQ(OpenError(Dir.Path().string()), "File access denied");
  EXPECT_EQ(OpenError((Write("x") / "below").string()), "Invalid filename");
  EXPECT_EQ(OpenError(""), "File not found");
}

// A pipe would block the window at the open until something writes to it.
TEST_F(TextFileTest, PipesAndDevicesAreRefusedWithoutBlocking) {
  const std::filesystem::path fifo = Dir.Path() / "fifo.txt";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(OpenError(fifo.string()), "File access denied");
  EXPECT_EQ(OpenError("/dev/zero"), "File access denied");
}

// The table's numbers are not errno values: only the errors that mean its
// cases take its texts, and every other one shows its own number.
TEST(InOutErrorMessage, SystemErrorsMeanTheTablesCasesOrShowTheirNumber) {
  EXPECT_EQ(SystemInOutErrorMessage(ENOENT), "File not found");
  EXPECT_EQ(SystemInOutErrorMessage(ENAMETOOLONG), "Invalid filename");
  EXPECT_EQ(SystemInOutErrorMessage(ENFILE), "Too many open files");
  EXPECT_EQ(SystemInOutErrorMessage(EPERM), "File access denied");
  EXPECT_EQ(SystemInOutErrorMessage(ENOSPC), "Disk full");
  EXPECT_EQ(SystemInOutErrorMessage(EIO), "I/O error " + std::to_string(EIO));
  EXPECT_EQ(SystemInOutErrorMessage(EINTR), "I/O error " + std::to_string(EINTR));
  EXPECT_EQ(SystemInOutErrorMessage(ESRCH), "I/O error " + std::to_string(ESRCH));
}

TEST(InOutErrorMessage, TableAndOthers) {
  EXPECT_EQ(InOutErrorMessage(4), "Too many open files");
  EXPECT_EQ(InOutErrorMessage(101), "Disk full");
  EXPECT_EQ(InOutErrorMessage(106), "Invalid numeric input");
  EXPECT_EQ(InOutErrorMessage(32), "I/O error 32");
  EXPECT_EQ(InOutErrorCode(ENOENT), 2);
  EXPECT_EQ(InOutErrorCode(EACCES), 5);
  EXPECT_EQ(InOutErrorCode(EMFILE), 4);
}
