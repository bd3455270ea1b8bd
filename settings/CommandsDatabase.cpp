#include "settings/CommandsDatabase.h"

#include "base/Exception.h"
#include "base/Format.h"
#include "settings/SettingNames.h"

#include <map>

bool AcceptedEvery(std::int32_t ms) {
  return ms == 0 || ms >= 100;
}

TCommandsDatabase::TCommandsDatabase(TSettingsAccess access) : TSubkeyDatabase(access) {
  TCommandsDatabase::DefineRecords();
  Load();
  Count = GetInteger(Setting::Buttons);
  for (int i = 0; i < Count; ++i)
    AddButtonRecords(i);
  // Again, now with the buttons' records.
  if (Count > 0)
    Load();
}

void TCommandsDatabase::DefineRecords() {
  KeyPath = ProgramSubkeyPath(Setting::CommandsSubkey);
  AddRecord(std::make_unique<TCheckedIntegerDatabaseRecord>(
      Setting::Buttons, [](std::int32_t count) { return count >= 0 && count <= MaxCommandButtons; },
      Format("a dword from 0 to %d", MaxCommandButtons)));
  AddRecord(std::make_unique<TBooleanDatabaseRecord>(Setting::Visible));
  AddRecord(std::make_unique<TIntegerDatabaseRecord>(Setting::Left));
  AddRecord(std::make_unique<TIntegerDatabaseRecord>(Setting::Top));
}

void TCommandsDatabase::AddButtonRecords(int index) {
  AddRecord(std::make_unique<TStringDatabaseRecord>(ButtonCaptionName(index)));
  AddRecord(std::make_unique<TStringDatabaseRecord>(ButtonCommandName(index)));
  AddRecord(std::make_unique<TCheckedIntegerDatabaseRecord>(ButtonEveryName(index), AcceptedEvery,
                                                            "a dword of 0 or from 100"));
}

std::vector<TCommandButton> TCommandsDatabase::Buttons() const {
  std::vector<TCommandButton> buttons;
  for (int i = 0; i < Count; ++i) {
    TCommandButton& button = buttons.emplace_back();
    button.Caption = GetString(ButtonCaptionName(i));
    button.Command = GetString(ButtonCommandName(i));
    button.Every = GetInteger(ButtonEveryName(i));
    button.Damaged = IsDamaged(ButtonCaptionName(i)) || IsDamaged(ButtonCommandName(i)) ||
                     IsDamaged(ButtonEveryName(i));
    button.Stored = i;
  }
  return buttons;
}

void TCommandsDatabase::SetButtons(const std::vector<TCommandButton>& buttons) {
  if (buttons.size() > static_cast<std::size_t>(MaxCommandButtons))
    throw Exception(Format("At most %d command buttons are kept", MaxCommandButtons));
  // A damaged button moved to another number takes what was found of it;
  // what was found of any other button is forgotten.
  std::map<std::string, std::string> moved;
  for (int i = 0; i < Count; ++i)
    for (const std::string& name : {ButtonCaptionName(i), ButtonCommandName(i), ButtonEveryName(i)})
      moved[name] = {};
  for (std::size_t j = 0; j < buttons.size(); ++j) {
    const int from = buttons[j].Stored;
    if (!buttons[j].Damaged || from < 0 || from >= Count)
      continue;
    const int to = static_cast<int>(j);
    moved[ButtonCaptionName(from)] = ButtonCaptionName(to);
    moved[ButtonCommandName(from)] = ButtonCommandName(to);
    moved[ButtonEveryName(from)] = ButtonEveryName(to);
  }
  RenameDamaged([&](const std::string& name) {
    const auto found = moved.find(name);
    return found == moved.end() ? name : found->second;
  });
  for (const auto& [name, to] : moved)
    RemoveRecord(name);
  Count = static_cast<int>(buttons.size());
  for (int i = 0; i < Count; ++i) {
    AddButtonRecords(i);
    SetString(ButtonCaptionName(i), buttons[i].Caption);
    SetString(ButtonCommandName(i), buttons[i].Command);
    SetInteger(ButtonEveryName(i), buttons[i].Every);
  }
  SetInteger(Setting::Buttons, Count);
}
