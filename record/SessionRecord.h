#pragma once

#include "platform/AppendFile.h"
#include "platform/LocalTime.h"

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>

using TClock = std::function<platform::LocalTime()>;

// The kinds of session line.
namespace SessionKind {
constexpr std::string_view Exchange = "exchange";
constexpr std::string_view Open = "open";
constexpr std::string_view Close = "close";
constexpr std::string_view Error = "error";
constexpr std::string_view Playback = "playback";
// A panel's value left its band, switched side or came back.
constexpr std::string_view Limit = "limit";
} // namespace SessionKind

// What the program did and showed, kept as one tab-separated line each in
// a file per local day, <folder>/YYYY-MM-DD.log:
//   time TAB port TAB kind [TAB field]... LF
// with the time as IsoTime gives it and every text escaped by EscapeField.
// Each line reaches the system in one write before the call returns, so a
// program killed at any moment leaves whole lines only.
class TSessionRecord {
public:
  explicit TSessionRecord(std::string folder, TClock clock = platform::CurrentLocalTime);

  const std::string& Folder() const { return FolderPath; }
  platform::LocalTime Now() const { return Clock(); }

  bool Enabled() const { return On; }
  // Switched on again, the folder and file are tried anew at the next line.
  void SetEnabled(bool on);

  // An exchange that started at started and took ms milliseconds; answer is
  // empty when none came.
  void Exchange(const platform::LocalTime& started, std::string_view port, std::string_view request,
                std::string_view answer, std::uint32_t ms);
  // An event of this moment.
  void Event(std::string_view port, std::string_view kind,
             std::initializer_list<std::string_view> fields = {});

  // Writes one line when recording is on. A failure closes the file,
  // switches recording off and raises, naming the path and the system's
  // reason; later lines are dropped until recording is switched on again.
  void Write(const platform::LocalTime& at, std::string_view port, std::string_view kind,
             std::initializer_list<std::string_view> fields);

  // The file that holds the lines of at's day.
  std::string DayPath(const platform::LocalTime& at) const;

private:
  void OpenFor(const platform::LocalTime& at);
  [[noreturn]] void Fail(const std::string& what, const std::string& path);

  std::string FolderPath;
  TClock Clock;
  bool On = true;
  platform::AppendFile File;
  std::string OpenPath;
};

// <data folder>/sessions: where session records go unless the user chose.
std::string DefaultSessionFolder();
