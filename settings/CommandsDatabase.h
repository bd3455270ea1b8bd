#pragma once

#include "settings/DatabaseUnit.h"

#include <cstdint>
#include <string>
#include <vector>

// The most command buttons the Commands window holds.
inline constexpr int MaxCommandButtons = 100;
// The intervals the Commands window accepts: 0 (once), or from 100 ms.
bool AcceptedEvery(std::int32_t ms);

// One command button as the subkey Commands keeps it.
struct TCommandButton {
  std::string Caption;    // as typed; the command shows where it is empty
  std::string Command;    // as typed, escapes and all
  std::int32_t Every = 0; // ms between sends while it runs; 0 sends once
  // One of its values could not be read: it keeps its place, hidden, and
  // its values go back as they were found.
  bool Damaged = false;
  // Its number in the subkey when loaded; -1 for a button made since.
  int Stored = -1;

  bool operator==(const TCommandButton&) const = default;
};

// The command buttons and their window, in the subkey Commands of the
// program's key: "Buttons" (the count), "Button<i> Caption", "Button<i>
// Command" (strings as typed) and "Button<i> Every" (ms) numbered from 0,
// and the window's "Visible", "Left" and "Top". A removed button leaves no
// value behind.
class TCommandsDatabase : public TSubkeyDatabase {
public:
  // DefineRecords, then Load, then the buttons the count names.
  explicit TCommandsDatabase(TSettingsAccess access = TSettingsAccess::Owner);

  // In their order, the damaged ones too.
  std::vector<TCommandButton> Buttons() const;
  // The buttons to save, at most MaxCommandButtons: each damaged one given
  // back as Buttons gave it keeps what its values were found to be.
  void SetButtons(const std::vector<TCommandButton>& buttons);

protected:
  void DefineRecords() override;

private:
  void AddButtonRecords(int index);
  int Count = 0;
};
