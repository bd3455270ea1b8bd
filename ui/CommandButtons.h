#pragma once

#include "settings/CommandsDatabase.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// The Commands window's buttons apart from the window: their order, the
// damaged ones kept in their places unseen, and the checks of the dialog
// that adds and edits them.
class TCommandButtons {
public:
  TCommandButtons() = default;
  explicit TCommandButtons(std::vector<TCommandButton> loaded) : All(std::move(loaded)) {}

  // Every button, the damaged ones too: what the store keeps.
  const std::vector<TCommandButton>& Stored() const { return All; }
  const TCommandButton& operator[](std::size_t index) const { return All.at(index); }
  // The places of the buttons the window shows, in order.
  std::vector<std::size_t> Shown() const;
  // The place of the n-th button shown, from 1 (Ctrl+n); none past the last.
  std::optional<std::size_t> NumberedPlace(std::size_t n) const;
  bool Full() const { return All.size() >= static_cast<std::size_t>(MaxCommandButtons); }

  // Raises when Full, with the reason.
  void CheckRoom() const;
  // Raises as CheckRoom does.
  void Add(const TCommandButton& button);
  void Replace(std::size_t place, const TCommandButton& button);
  void Remove(std::size_t place);
  // Changes places with the button shown before or after it, whose place
  // is returned; a damaged one between them stays where it is. At either
  // end nothing moves.
  std::optional<std::size_t> MoveLeft(std::size_t place);
  std::optional<std::size_t> MoveRight(std::size_t place);

private:
  std::optional<std::size_t> SwapShown(std::size_t place, int step);

  std::vector<TCommandButton> All;
};

// The bytes a button's command stands for, or an Exception when its escapes
// give a NUL byte.
std::string ButtonBytes(const std::string& command);

// The button the dialog's fields make, or an Exception saying why they make
// none: an empty command, one holding a NUL byte once its escapes are read,
// or an Every that is no integer or lies from 1 to 99 ms (or below 0). An
// empty Every sends once. The texts are kept as typed.
TCommandButton CheckedButton(const std::string& caption, const std::string& command,
                             const std::string& every);

// What a button shows: its caption, or its command while that is empty.
std::string ButtonLabel(const TCommandButton& button);
