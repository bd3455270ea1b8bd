#include "settings/SettingNames.h"

#include "base/Format.h"

std::string ProgramSubkeyPath(const char* subkey) {
  return std::string(ProgramKeyPath) + "\\" + subkey;
}

std::string PanelCommandName(int index) {
  return Format("Monitor Panel%d Command", index);
}

std::string PanelColorName(int index) {
  return Format("Monitor Panel%d Color", index);
}

std::string PanelLowName(int index) {
  return Format("Panel%d Low", index);
}

std::string PanelHighName(int index) {
  return Format("Panel%d High", index);
}

std::string PanelHysteresisName(int index) {
  return Format("Panel%d Hysteresis", index);
}

std::string ButtonCaptionName(int index) {
  return Format("Button%d Caption", index);
}

std::string ButtonCommandName(int index) {
  return Format("Button%d Command", index);
}

std::string ButtonEveryName(int index) {
  return Format("Button%d Every", index);
}
