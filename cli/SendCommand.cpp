#include "cli/SendCommand.h"

#include "cli/CliLine.h"
#include "cli/Messages.h"
#include "platform/StopSignal.h"
#include "record/Escape.h"

TExitStatus RunSend(const TCliOptions& options, const TDefaults& defaults, std::ostream& out,
                    std::ostream& err) {
  const std::unique_ptr<TInstrumentLine> line =
      MakeCliLine(defaults.SessionLog && !options.NoSession, defaults,
                  [&](const std::string& warning) { err << ErrorLine(warning); });
  OpenNamedPort(*line, NamedPort(options.Port), options.RtsActiveLow || defaults.RtsActiveLow,
                options.AnswerEnd.value_or(defaults.AnswerEnd));
  bool allAnswered = true;
  for (const std::string& command : options.Commands) {
    // A stop ends the send after the exchange under way, as it ends a poll.
    if (platform::StopRequested())
      break;
    try {
      const TReading reading = line->Exchange(command);
      allAnswered = allAnswered && reading.Answered();
      const std::string shown =
          options.Value ? (reading.Shown ? reading.Shown->Text : std::string()) : reading.Answer;
      out << EscapeField(shown) << '\n' << std::flush;
      if (!out)
        throw TOutputError("cannot write to standard output");
    } catch (const TOutputError&) {
      throw;
    } catch (const Exception& e) {
      // Lost, or refusing a modem-line call: the adapter failed under us.
      line->Event(SessionKind::Error, {e.what()});
      err << ErrorLine(e.what());
      return TExitStatus::DeviceGone;
    }
  }
  return allAnswered ? TExitStatus::Answered : TExitStatus::SomeSilent;
}
