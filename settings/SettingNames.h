#pragma once

#include <string>

// The names the settings are kept under, written once: the program's key,
// its 34 values, and the subkeys beside them with theirs. The stores define
// their records by these names; the windows and the command-line program
// read and write the values by them.

// The program's key, relative to HKEY_CURRENT_USER.
inline constexpr const char* ProgramKeyPath = "\\Software\\Tavrin\\Private\\Marrowlink";
// The path of a subkey of the program's key.
std::string ProgramSubkeyPath(const char* subkey);

namespace Setting {
// The values of the program's key.
inline constexpr const char* Left = "Left";
inline constexpr const char* Top = "Top";
inline constexpr const char* Port = "Port";
inline constexpr const char* ProtocolIndex = "Protocol Index";
inline constexpr const char* BaudrateIndex = "Baudrate Index";
inline constexpr const char* Address = "Address";
inline constexpr const char* Message = "Message";
inline constexpr const char* Cycle = "Cycle";
inline constexpr const char* Monitor = "Monitor";
inline constexpr const char* Open = "Open";
inline constexpr const char* MonitorLeft = "Monitor Left";
inline constexpr const char* MonitorTop = "Monitor Top";
inline constexpr const char* MonitorShowEditors = "Monitor Show Editors";
inline constexpr const char* MonitorPanels = "Monitor Panels";
// The subkey Line, how the serial line is driven, and its values.
inline constexpr const char* LineSubkey = "Line";
inline constexpr const char* RtsActiveLow = "RTS Active Low";
inline constexpr const char* AnswerEnd = "Answer End"; // 0 the fixed wait, 1 the line end
// The subkey Recording, the session record and the log's time stamps.
inline constexpr const char* RecordingSubkey = "Recording";
inline constexpr const char* SessionLog = "Session Log";
inline constexpr const char* Folder = "Folder";
inline constexpr const char* KeepDays = "Keep Days";
inline constexpr const char* TimeStamps = "Time Stamps";
inline constexpr const char* LogView = "Log View";
// The subkey Limits, the panel monitor's limits, and its one choice.
inline constexpr const char* LimitsSubkey = "Limits";
inline constexpr const char* Beep = "Beep";
// The subkey Commands, the command buttons, and the place of their window
// (its Left and Top by the names above).
inline constexpr const char* CommandsSubkey = "Commands";
inline constexpr const char* Buttons = "Buttons";
inline constexpr const char* Visible = "Visible";

// The panels whose command and colour the program's key holds, and those
// whose limits Limits holds, numbered from 0.
inline constexpr int SavedPanels = 10;
inline constexpr int LimitsPanels = 10;
} // namespace Setting

// The names of panel i's values: "Monitor Panel<i> Command" and "Monitor
// Panel<i> Color" in the program's key, "Panel<i> Low", "Panel<i> High" and
// "Panel<i> Hysteresis" in the subkey Limits.
std::string PanelCommandName(int index);
std::string PanelColorName(int index);
std::string PanelLowName(int index);
std::string PanelHighName(int index);
std::string PanelHysteresisName(int index);
// The names of button i's values in the subkey Commands: "Button<i>
// Caption", "Button<i> Command" and "Button<i> Every".
std::string ButtonCaptionName(int index);
std::string ButtonCommandName(int index);
std::string ButtonEveryName(int index);
