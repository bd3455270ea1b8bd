#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <vector>

// Who has the one line next. Each source (the cycle timer with repeat and
// playback, a monitor, a running command button) falls due on its own
// timer, and its turn is one call of its action, which makes its exchanges.
// Never two turns at once: a source that falls due during a turn (its
// timer firing in an event loop that the turn's caller runs) waits, with at
// most one waiting turn, as a timer never has more than one tick pending;
// a due that finds its source already waiting is skipped. Waiting sources
// go in the order they fell due, after the turn under way, so the queue is
// never longer than the sources are many.
class TLineTurns {
public:
  using TSource = std::size_t;

  struct TCounts {
    std::uint64_t Due = 0;     // times it fell due, not paused
    std::uint64_t Made = 0;    // turns it had
    std::uint64_t Skipped = 0; // dues that found it waiting already
  };

  // wake: called when turns wait once a turn is over; the owner then calls
  // RunWaiting once its event loop has turned, so input and painting get
  // their moment between two turns.
  explicit TLineTurns(std::function<void()> wake);

  TSource Add(std::function<void()> turn);
  // The source takes no more turns; its waiting turn goes.
  void Remove(TSource source);
  // The source asks for a turn: had at once when the line is free and none
  // waits, else it waits or, waiting already, is skipped. The turn's error
  // goes on to the caller, the line free again.
  void Due(TSource source);
  // The turn of the first source waiting, if the line is free.
  void RunWaiting();
  // A paused source's dues are not heard, and its waiting turn goes.
  void SetPaused(TSource source, bool paused);
  // Its waiting turn, if any, goes (it stopped).
  void Withdraw(TSource source);

  bool Busy() const { return InTurn; }
  bool Waiting(TSource source) const;
  const TCounts& Counts(TSource source) const { return Sources.at(source).Counts; }

private:
  struct TEntry {
    std::function<void()> Turn;
    TCounts Counts;
    bool Paused = false;
  };

  void Run(TSource source);

  std::function<void()> Wake;
  std::vector<TEntry> Sources; // by TSource; a removed one keeps its place
  std::deque<TSource> Queue;   // waiting, in the order they fell due
  bool InTurn = false;
};
