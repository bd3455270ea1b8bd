#include "tests/serial/RecordingLine.h"

#include "platform/CommDevice.h"
#include "platform/SystemError.h"
#include "platform/TickCounter.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr platform::Handle LineHandle = 7;
// EINVAL and ERROR_INVALID_PARAMETER alike; only its being non-zero matters.
constexpr std::uint32_t InvalidArgument = 22;

RecordingLine& Line() {
  static RecordingLine line;
  return line;
}

LineCall& Record(const std::string& what, std::string data = {}) {
  RecordingLine& line = Line();
  line.Calls.push_back(LineCall{what, line.Now, line.Now, std::move(data), 0});
  return line.Calls.back();
}

// A call on a handle the line never gave out is a fault of the code under
// test; it fails as the system's call would and shows in the record.
bool Known(platform::Handle handle, const char* call) {
  if (handle == LineHandle)
    return true;
  Record(std::string("bad handle in ") + call);
  platform::SetLastError(InvalidArgument);
  return false;
}

// Whether the test asked calls of this kind to fail; the code is then set.
bool Failing(const std::string& what) {
  const auto failure = Line().Failures.find(what);
  if (failure == Line().Failures.end())
    return false;
  platform::SetLastError(failure->second);
  return true;
}

bool Due(const RecordingLine::TimedArrival& arrival) {
  const RecordingLine& line = Line();
  return arrival.AfterWrite < 0 ||
         (line.Written &&
          static_cast<std::int32_t>(line.Now - line.LastWrite) >= arrival.AfterWrite);
}

std::size_t DueBytes() {
  std::size_t bytes = 0;
  for (const auto& arrival : Line().Timed) {
    if (!Due(arrival))
      break;
    bytes += arrival.Data.size();
  }
  return bytes;
}

// Up to size of the bytes due in the receive queue, taken out of it.
std::string TakeDue(std::size_t size) {
  std::string taken;
  auto& timed = Line().Timed;
  while (!timed.empty() && Due(timed.front()) && taken.size() < size) {
    const std::string part = timed.front().Data.substr(0, size - taken.size());
    taken += part;
    timed.front().Data.erase(0, part.size());
    if (timed.front().Data.empty())
      timed.pop_front();
  }
  return taken;
}

} // namespace

RecordingLine& RecordingLine::Reset(std::uint32_t start) {
  Line() = RecordingLine();
  Line().Now = start;
  return Line();
}

std::string RecordingLine::Kinds() const {
  std::string kinds;
  for (const LineCall& call : Calls)
    kinds += (kinds.empty() ? "" : " ") + call.What;
  return kinds;
}

namespace platform {

Handle OpenCommDevice(const std::string& path) {
  Record("open", path);
  return LineHandle;
}

bool SetCommState(Handle handle, const Dcb& dcb) {
  if (!Known(handle, "SetCommState"))
    return false;
  Record("state").Baud = dcb.BaudRate;
  return true;
}

bool SetCommTimeouts(Handle handle, const CommTimeouts& /*timeouts*/) {
  if (!Known(handle, "SetCommTimeouts"))
    return false;
  Record("timeouts");
  return true;
}

bool EscapeCommFunction(Handle handle, std::uint32_t function) {
  if (!Known(handle, "EscapeCommFunction"))
    return false;
  const char* what = nullptr;
  switch (function) {
  case EscapeSetRts:
    what = "rts+";
    break;
  case EscapeClrRts:
    what = "rts-";
    break;
  case EscapeSetDtr:
    what = "dtr+";
    break;
  case EscapeClrDtr:
    what = "dtr-";
    break;
  default:
    SetLastError(InvalidArgument);
    return false;
  }
  Record(what);
  return !Failing(what);
}

bool ClearCommError(Handle handle, std::uint32_t* errors, ComStat* stat) {
  if (!Known(handle, "ClearCommError"))
    return false;
  RecordingLine& line = Line();
  const std::size_t queued = line.Arrivals.empty() ? DueBytes() : line.Arrivals.front().size();
  Record("poll");
  if (Failing("poll"))
    return false;
  if (errors)
    *errors = 0;
  if (stat)
    *stat = ComStat{0, static_cast<std::uint32_t>(queued), 0};
  if (queued == 0 && !line.Arrivals.empty())
    line.Arrivals.pop_front();
  return true;
}

bool ReadFile(Handle handle, void* buffer, std::uint32_t size, std::uint32_t* read) {
  *read = 0;
  if (!Known(handle, "ReadFile"))
    return false;
  RecordingLine& line = Line();
  std::string chunk = line.Arrivals.empty() ? TakeDue(size) : std::string();
  if (!line.Arrivals.empty()) {
    chunk = line.Arrivals.front().substr(0, size);
    line.Arrivals.front().erase(0, chunk.size());
    if (line.Arrivals.front().empty())
      line.Arrivals.pop_front();
  }
  std::memcpy(buffer, chunk.data(), chunk.size());
  *read = static_cast<std::uint32_t>(chunk.size());
  Record("read", chunk);
  return !Failing("read");
}

bool ReadFileWaiting(Handle handle, void* buffer, std::uint32_t size, std::uint32_t* read,
                     std::uint32_t limitMs) {
  *read = 0;
  if (!Known(handle, "ReadFileWaiting"))
    return false;
  RecordingLine& line = Line();
  const std::uint32_t at = line.Now;
  // Sleeps until the next bytes are due, or for the whole limit.
  std::uint32_t waited = limitMs;
  if (DueBytes() > 0)
    waited = 0;
  else if (!line.Timed.empty() && line.Written)
    waited = std::min(limitMs, line.LastWrite +
                                   static_cast<std::uint32_t>(line.Timed.front().AfterWrite) - at);
  line.Now += waited;
  const std::string chunk = TakeDue(size);
  std::memcpy(buffer, chunk.data(), chunk.size());
  *read = static_cast<std::uint32_t>(chunk.size());
  line.Calls.push_back(LineCall{"wait", at, line.Now, chunk, 0, limitMs});
  return !Failing("wait");
}

// Returns at once, as a driver that buffers the bytes does.
bool WriteFile(Handle handle, const void* data, std::uint32_t size, std::uint32_t* written) {
  *written = 0;
  if (!Known(handle, "WriteFile"))
    return false;
  RecordingLine& line = Line();
  Record("write", std::string(static_cast<const char*>(data), size));
  line.LastWrite = line.Now;
  line.Written = true;
  if (Failing("write"))
    return false;
  line.Unsent += size;
  *written = size;
  return true;
}

bool FlushFileBuffers(Handle handle, std::uint32_t limitMs) {
  if (!Known(handle, "FlushFileBuffers"))
    return false;
  RecordingLine& line = Line();
  const std::uint32_t at = line.Now;
  line.Calls.push_back(LineCall{"drain", at, at, {}, 0, limitMs});
  if (Failing("drain"))
    return false;
  if (line.DrainStalls) {
    line.Now += limitMs + 1;
    line.Calls.back().End = line.Now;
    SetLastError(StalledCode);
    return false;
  }
  line.Now += static_cast<std::uint32_t>(line.Unsent) * line.DrainTicksPerByte;
  line.Calls.back().End = line.Now;
  line.Unsent = 0;
  return true;
}

bool PurgeComm(Handle handle, std::uint32_t flags) {
  if (!Known(handle, "PurgeComm"))
    return false;
  Record("purge", (flags & (PurgeTxAbort | PurgeTxClear)) != 0 ? "tx" : "rx");
  return true;
}

bool CloseHandle(Handle handle) {
  if (!Known(handle, "CloseHandle"))
    return false;
  Record("close");
  return true;
}

std::string CommOpenFailureHint(std::uint32_t /*code*/) {
  return {};
}

CommFailure ClassifyCommFailure(std::uint32_t code) {
  if (code == GoneCode)
    return CommFailure::Gone;
  return code == StalledCode ? CommFailure::Stalled : CommFailure::Other;
}

std::uint32_t GetTickCount() {
  return Line().Now;
}

void Sleep(std::uint32_t ms) {
  Line().Now += ms;
}

} // namespace platform
