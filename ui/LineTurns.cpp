#include "ui/LineTurns.h"

#include <algorithm>
#include <utility>

TLineTurns::TLineTurns(std::function<void()> wake) : Wake(std::move(wake)) {}

TLineTurns::TSource TLineTurns::Add(std::function<void()> turn) {
  Sources.push_back({std::move(turn), {}, false});
  return Sources.size() - 1;
}

void TLineTurns::Remove(TSource source) {
  Withdraw(source);
  Sources.at(source).Turn = nullptr;
}

bool TLineTurns::Waiting(TSource source) const {
  return std::ranges::find(Queue, source) != Queue.end();
}

void TLineTurns::Withdraw(TSource source) {
  std::erase(Queue, source);
}

void TLineTurns::SetPaused(TSource source, bool paused) {
  Sources.at(source).Paused = paused;
  if (paused)
    Withdraw(source);
}

void TLineTurns::Due(TSource source) {
  TEntry& entry = Sources.at(source);
  if (!entry.Turn || entry.Paused)
    return;
  ++entry.Counts.Due;
  if (Waiting(source)) {
    ++entry.Counts.Skipped;
    return;
  }
  if (InTurn || !Queue.empty()) {
    Queue.push_back(source);
    return;
  }
  Run(source);
}

void TLineTurns::RunWaiting() {
  if (InTurn || Queue.empty())
    return;
  const TSource next = Queue.front();
  Queue.pop_front();
  Run(next);
}

void TLineTurns::Run(TSource source) {
  // Ends the turn also when it raises.
  struct TTurn {
    TLineTurns& Turns;
    explicit TTurn(TLineTurns& turns) : Turns(turns) { Turns.InTurn = true; }
    ~TTurn() {
      Turns.InTurn = false;
      if (!Turns.Queue.empty() && Turns.Wake)
        Turns.Wake();
    }
  } turn(*this);
  TEntry& entry = Sources.at(source);
  ++entry.Counts.Made;
  // A copy: the turn may add a source, which moves the entries.
  const std::function<void()> action = entry.Turn;
  action();
}
