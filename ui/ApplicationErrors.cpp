#include "ui/ApplicationErrors.h"

#include <utility>

namespace {

// The handler is application-wide by nature, like the box it shows.
TErrorPresenter& Presenter() {
  static TErrorPresenter presenter;
  return presenter;
}

} // namespace

void SetErrorPresenter(TErrorPresenter presenter) {
  Presenter() = std::move(presenter);
}

void PresentError(const std::string& message) noexcept {
  try {
    if (Presenter())
      Presenter()(message);
  } catch (...) {
    // A presenter that fails has nowhere left to report to.
  }
}

std::string ErrorBoxText(const std::string& message) {
  if (!message.empty() && static_cast<unsigned char>(message.back()) > '.')
    return message + '.';
  return message;
}
