#pragma once

namespace platform {

// A wake-up that a signal handler may give and an event loop may watch: a
// descriptor that becomes readable. Where the system offers none,
// ReadDescriptor() is -1 and the loop has to poll instead.
class TSignalWake {
public:
  TSignalWake();
  ~TSignalWake();
  TSignalWake(const TSignalWake&) = delete;
  TSignalWake& operator=(const TSignalWake&) = delete;

  int ReadDescriptor() const { return ReadEnd; }
  // Safe inside a signal handler.
  void Wake() const noexcept;
  // Takes back every wake-up given so far.
  void Drain() const noexcept;

private:
  int ReadEnd = -1;
  int WriteEnd = -1;
};

} // namespace platform
