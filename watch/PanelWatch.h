#pragma once

#include "line/Reading.h"
#include "watch/Band.h"
#include "watch/LimitTexts.h"

#include <optional>
#include <string>

// A crossing as the session record keeps it: the value as shown, the
// crossed limit as typed.
struct TLimitEvent {
  TDirection Direction = TDirection::Inside;
  std::string Value;
  std::string Limit;
};

// One panel's limits as typed and the band they watch.
class TPanelWatch {
public:
  const TLimitTexts& Texts() const { return Typed; }
  TLook Look() const { return Band.Look(); }
  // The band the texts give; none where they are damaged.
  const TLimits& Limits() const { return Band.Limits(); }

  // Texts read back from the settings. Damaged ones leave the panel
  // unlimited and are kept as they are, to be written back unchanged.
  void Restore(const TLimitTexts& stored, char decimalSeparator);
  // Texts the operator typed: raises with the refusal and changes nothing;
  // accepted, they judge the last number at once.
  std::optional<TLimitEvent> Change(const TLimitTexts& typed, char decimalSeparator);
  // A panel's reading after a poll; silence or text is judged as no number.
  std::optional<TLimitEvent> Judge(const TReading& reading);

private:
  std::optional<TLimitEvent> Event(const std::optional<TCrossing>& crossing,
                                   const TLimitTexts& before) const;

  TLimitTexts Typed;
  TBandWatch Band;
  std::string LastNumberText;
};
