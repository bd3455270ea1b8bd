#include "ui/CommandButtons.h"

#include "base/Exception.h"
#include "base/Format.h"
#include "base/StrToInt.h"
#include "record/Escape.h"

#include <algorithm>
#include <utility>

std::vector<std::size_t> TCommandButtons::Shown() const {
  std::vector<std::size_t> shown;
  for (std::size_t i = 0; i < All.size(); ++i)
    if (!All[i].Damaged)
      shown.push_back(i);
  return shown;
}

std::optional<std::size_t> TCommandButtons::NumberedPlace(std::size_t n) const {
  const std::vector<std::size_t> shown = Shown();
  if (n == 0 || n > shown.size())
    return std::nullopt;
  return shown[n - 1];
}

void TCommandButtons::CheckRoom() const {
  if (Full())
    throw Exception(Format("The Commands window holds at most %d buttons", MaxCommandButtons));
}

void TCommandButtons::Add(const TCommandButton& button) {
  CheckRoom();
  All.push_back(button);
}

void TCommandButtons::Replace(std::size_t place, const TCommandButton& button) {
  All.at(place) = button;
}

void TCommandButtons::Remove(std::size_t place) {
  All.erase(All.begin() + static_cast<std::ptrdiff_t>(place));
}

std::optional<std::size_t> TCommandButtons::MoveLeft(std::size_t place) {
  return SwapShown(place, -1);
}

std::optional<std::size_t> TCommandButtons::MoveRight(std::size_t place) {
  return SwapShown(place, +1);
}

std::optional<std::size_t> TCommandButtons::SwapShown(std::size_t place, int step) {
  const std::vector<std::size_t> shown = Shown();
  const auto at = std::ranges::find(shown, place);
  if (at == shown.end())
    return std::nullopt;
  const std::ptrdiff_t other = (at - shown.begin()) + step;
  if (other < 0 || other >= static_cast<std::ptrdiff_t>(shown.size()))
    return std::nullopt;
  const std::size_t with = shown[static_cast<std::size_t>(other)];
  std::swap(All[place], All[with]);
  return with;
}

std::string ButtonBytes(const std::string& command) {
  std::optional<std::string> bytes = CommandBytes(command);
  if (!bytes)
    throw Exception("A command cannot hold a NUL byte");
  return std::move(*bytes);
}

TCommandButton CheckedButton(const std::string& caption, const std::string& command,
                             const std::string& every) {
  if (command.empty())
    throw Exception("A button needs a command");
  ButtonBytes(command);
  const std::int32_t ms = every.empty() ? 0 : StrToInt(every);
  if (!AcceptedEvery(ms))
    throw Exception("Every takes 0 to send once, or an interval of 100 ms or more");
  TCommandButton button;
  button.Caption = caption;
  button.Command = command;
  button.Every = ms;
  return button;
}

std::string ButtonLabel(const TCommandButton& button) {
  return button.Caption.empty() ? button.Command : button.Caption;
}
