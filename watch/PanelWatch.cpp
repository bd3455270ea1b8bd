#include "watch/PanelWatch.h"

void TPanelWatch::Restore(const TLimitTexts& stored, char decimalSeparator) {
  Typed = stored;
  TLimits limits;
  try {
    limits = ParseLimits(stored, decimalSeparator);
  } catch (const std::exception&) {
    // Hand-edited or from another locale: no alarm rather than a wrong one.
  }
  Band.SetLimits(limits);
}

std::optional<TLimitEvent> TPanelWatch::Change(const TLimitTexts& typed, char decimalSeparator) {
  const TLimits limits = ParseLimits(typed, decimalSeparator);
  const TLimitTexts before = Typed;
  Typed = typed;
  return Event(Band.SetLimits(limits), before);
}

std::optional<TLimitEvent> TPanelWatch::Judge(const TReading& reading) {
  const std::optional<double> number = reading.Number();
  if (number)
    LastNumberText = reading.Shown->Text;
  return Event(Band.Judge(number), Typed);
}

std::optional<TLimitEvent> TPanelWatch::Event(const std::optional<TCrossing>& crossing,
                                              const TLimitTexts& before) const {
  if (!crossing)
    return std::nullopt;
  // A return names the limit it came back over, which a change may have
  // just removed.
  const TLimitTexts& texts = crossing->Direction == TDirection::Inside ? before : Typed;
  return TLimitEvent{crossing->Direction, LastNumberText,
                     crossing->Bound == TBound::Low ? texts.Low : texts.High};
}
