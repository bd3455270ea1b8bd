#include "record/SessionRecord.h"

#include "base/Exception.h"
#include "base/OSError.h"
#include "platform/DataDir.h"
#include "platform/Folders.h"
#include "platform/SystemError.h"
#include "record/Escape.h"
#include "record/TimeText.h"

#include <utility>

TSessionRecord::TSessionRecord(std::string folder, TClock clock)
    : FolderPath(std::move(folder)), Clock(std::move(clock)) {}

void TSessionRecord::SetEnabled(bool on) {
  On = on;
  if (!on) {
    File.Close();
    OpenPath.clear();
  }
}

void TSessionRecord::Exchange(const platform::LocalTime& started, std::string_view port,
                              std::string_view request, std::string_view answer, std::uint32_t ms) {
  Write(started, port, SessionKind::Exchange, {request, answer, std::to_string(ms)});
}

void TSessionRecord::Event(std::string_view port, std::string_view kind,
                           std::initializer_list<std::string_view> fields) {
  if (On)
    Write(Clock(), port, kind, fields);
}

void TSessionRecord::Write(const platform::LocalTime& at, std::string_view port,
                           std::string_view kind, std::initializer_list<std::string_view> fields) {
  if (!On)
    return;
  std::string line = IsoTime(at);
  line += '\t';
  line += EscapeField(port);
  line += '\t';
  line += kind;
  for (const std::string_view field : fields) {
    line += '\t';
    line += EscapeField(field);
  }
  line += '\n';
  OpenFor(at);
  if (!File.Write(line))
    Fail("could not write", OpenPath);
}

std::string TSessionRecord::DayPath(const platform::LocalTime& at) const {
  return platform::JoinPath(FolderPath, DayName(at) + ".log");
}

void TSessionRecord::OpenFor(const platform::LocalTime& at) {
  const std::string path = DayPath(at);
  // A file deleted while open still takes writes here, into nothing.
  if (File.IsOpen() && path == OpenPath && !File.Unlinked())
    return;
  File.Close();
  OpenPath = path;
  if (!platform::MakeFolders(FolderPath))
    Fail("could not make the folder", FolderPath);
  if (!File.Open(path))
    Fail("could not open", path);
}

void TSessionRecord::Fail(const std::string& what, const std::string& path) {
  const std::uint32_t code = platform::GetLastError();
  SetEnabled(false);
  throw Exception("Session recording stopped: " + what + " " + path + "\r\n" +
                  SystemMessageText(code));
}

std::string DefaultSessionFolder() {
  return platform::JoinPath(platform::DataDir(), "sessions");
}
