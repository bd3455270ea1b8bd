#pragma once

#include <cstdio>
#include <memory>
#include <string>

// A text file read line by line. A line ends at LF or CR LF, neither part of
// the line; a lone CR is dropped; character 26 (Ctrl-Z) ends the file; a
// last line without a line end is still read, and there is no empty line
// after it. I/O errors raise the messages of InOutErrorMessage.
class TTextFile {
public:
  // Opens an existing file for reading; others may read it at the same time.
  // Only a plain file: a folder, pipe or device raises "File access denied".
  explicit TTextFile(const std::string& path);
  ~TTextFile();
  TTextFile(const TTextFile&) = delete;
  TTextFile& operator=(const TTextFile&) = delete;

  bool Eof();
  std::string ReadLine();
  // Closes the file, raising a failure; the destructor closes silently.
  void Close();

private:
  int Peek();
  // Reads the next block; false at the end of the file.
  bool Refill();

  struct TCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
  };
  std::unique_ptr<std::FILE, TCloser> File;
  // Read in blocks, so a line of megabytes costs no more than its bytes.
  std::string Buffer;
  std::size_t Next = 0;
};

// "File not found" (2), "Invalid filename" (3), "Too many open files" (4),
// "File access denied" (5), "Read beyond end of file" (100), "Disk full"
// (101), "Invalid numeric input" (106), otherwise "I/O error %d".
std::string InOutErrorMessage(int code);

// The code of the table above that an errno value of the standard library
// means, or 0 when it means none of them.
int InOutErrorCode(int error);

// The message of the table for an errno value that means one of its codes,
// otherwise "I/O error %d" with the errno value itself: the table's numbers
// are not errno values, and EIO must not read as "File access denied".
std::string SystemInOutErrorMessage(int error);
