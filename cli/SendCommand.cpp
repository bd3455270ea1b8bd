#include "cli/SendCommand.h"

#include "cli/InstrumentLine.h"
#include "cli/Messages.h"
#include "cli/SessionLog.h"
#include "platform/StopSignal.h"
#include "record/Escape.h"
#include "record/SessionRecord.h"

TExitStatus RunSend(const TCliOptions& options, const TDefaults& defaults, std::ostream& out,
                    std::ostream& err) {
  TSessionLog session(defaults.SessionLog && !options.NoSession, defaults.SessionFolder,
                      defaults.KeepDays,
                      [&](const std::string& warning) { err << ErrorLine(warning); });
  TInstrumentLine line(options.Port, options.RtsActiveLow || defaults.RtsActiveLow, session);
  try {
    line.Open();
  } catch (const Exception& e) {
    throw TPortUnavailable(e.what());
  }
  bool allAnswered = true;
  for (const std::string& command : options.Commands) {
    // A stop ends the send after the exchange under way, as it ends a poll.
    if (platform::StopRequested())
      break;
    try {
      const TReading reading = line.Exchange(command, nullptr);
      session.Exchange(reading);
      allAnswered = allAnswered && reading.Answered();
      const std::string shown = options.Value ? reading.Shown().value_or("") : reading.Answer;
      out << EscapeField(shown) << '\n' << std::flush;
      if (!out)
        throw TOutputError("cannot write to standard output");
    } catch (const TOutputError&) {
      throw;
    } catch (const Exception& e) {
      // Lost, or refusing a modem-line call: the adapter failed under us.
      session.Event(line.Name(), SessionKind::Error, {e.what()});
      err << ErrorLine(e.what());
      return TExitStatus::DeviceGone;
    }
  }
  return allAnswered ? TExitStatus::Answered : TExitStatus::SomeSilent;
}
