#pragma once

#include "ui/ApplicationErrors.h"

#include <QString>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

class TForm1;

// Collects the messages the top-level handler would show, for one test.
class ErrorRecorder {
public:
  ErrorRecorder() {
    SetErrorPresenter([this](const std::string& message) { Messages.push_back(message); });
  }
  ~ErrorRecorder() { SetErrorPresenter({}); }
  ErrorRecorder(const ErrorRecorder&) = delete;
  ErrorRecorder& operator=(const ErrorRecorder&) = delete;

  std::vector<std::string> Messages;
};

// Spins the event loop until done() holds or timeoutMs passes.
bool WaitUntil(const std::function<bool()>& done, int timeoutMs);

// The settings file of the folder given, with the lines of the key given.
void WriteSettings(const std::filesystem::path& appDir, const std::vector<std::string>& values);
std::string ReadFile(const std::filesystem::path& path);

// The output log as plain text, lines separated by LF.
std::string LogText(const TForm1& form);
std::vector<std::string> HistoryItems(const TForm1& form);

// Accepts the next file dialog with path as soon as it shows.
void ChooseFileWhenAsked(const TForm1& form, const std::filesystem::path& path);
