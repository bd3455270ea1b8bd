// marrowlink-cli: the instrument from a shell, a script or a service.
#include "cli/CliOptions.h"
#include "cli/Defaults.h"
#include "cli/ExitStatus.h"
#include "cli/Messages.h"
#include "cli/PollCommand.h"
#include "cli/PortsCommand.h"
#include "cli/SendCommand.h"
#include "platform/StopSignal.h"
#include "serial/DeviceLost.h"

#include <iostream>

namespace {

// The window's settings, with what could not be read said once.
TDefaults Defaults() {
  TDefaults defaults = ReadDefaults();
  if (!defaults.Warning.empty())
    std::cerr << ErrorLine(defaults.Warning);
  return defaults;
}

TExitStatus Run(const TCliOptions& options) {
  switch (options.Command) {
  case TCliCommand::Ports:
    ListPorts(std::cout, options.Json);
    if (!std::cout)
      throw TOutputError("cannot write to standard output");
    return TExitStatus::Answered;
  case TCliCommand::Send:
    return RunSend(options, Defaults(), std::cout, std::cerr);
  case TCliCommand::Poll:
    return RunPoll(options, Defaults(), std::cerr);
  }
  return TExitStatus::Usage;
}

int Fail(TExitStatus status, const char* message) {
  std::cerr << ErrorLine(message);
  return static_cast<int>(status);
}

} // namespace

int main(int argc, char** argv) {
  platform::CatchStopSignals();
  try {
    const TParsedCommandLine parsed = ParseCommandLine(argc, argv);
    if (!parsed.Options) {
      std::cout << parsed.Help;
      return static_cast<int>(TExitStatus::Answered);
    }
    return static_cast<int>(Run(*parsed.Options));
  } catch (const TUsageError& e) {
    return Fail(TExitStatus::Usage, e.what());
  } catch (const TPortUnavailable& e) {
    return Fail(TExitStatus::PortUnavailable, e.what());
  } catch (const TOutputError& e) {
    return Fail(TExitStatus::OutputFailed, e.what());
  } catch (const TDeviceLost& e) {
    return Fail(TExitStatus::DeviceGone, e.what());
  } catch (const std::exception& e) {
    // Nothing else is expected; a message and a status that is not success.
    return Fail(TExitStatus::PortUnavailable, e.what());
  }
}
