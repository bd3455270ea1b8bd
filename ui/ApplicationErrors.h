#pragma once

#include <exception>
#include <functional>
#include <string>

// The application's top-level handler: every event handler and timer tick
// runs inside Guarded, so no exception ever crosses the event loop.

using TErrorPresenter = std::function<void(const std::string& message)>;

// Installs the presenter that shows a message (the program entry installs
// the modal box); an empty one restores the default, which drops messages.
void SetErrorPresenter(TErrorPresenter presenter);

// Hands message to the installed presenter; never fails.
void PresentError(const std::string& message) noexcept;

// The text the box shows: a full stop is appended when the last byte sorts
// after ".", so a message ending in a letter or digit gets one.
std::string ErrorBoxText(const std::string& message);

template <class F> void Guarded(F&& action) {
  try {
    action();
  } catch (const std::exception& error) {
    PresentError(error.what());
  } catch (...) {
    PresentError("Unknown error");
  }
}
