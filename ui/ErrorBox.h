#pragma once

#include <functional>
#include <memory>
#include <string>
#include <utility>

// The top-level handler's presenter: a modal box with the application title
// as caption, the error icon and OK. While one box is open, further errors
// are not shown, so a timer failing every second cannot stack boxes; the
// next failure after OK shows again. Every error is heard all the same.
class TErrorBox {
public:
  using THeard = std::function<void(const std::string& text)>;

  // heard hears the text of every error, shown or not, before any box shows.
  explicit TErrorBox(std::string caption, THeard heard = {})
      : Caption(std::move(caption)), Heard(std::move(heard)) {}

  void operator()(const std::string& message);

  bool Showing() const { return *Open; }

private:
  std::string Caption;
  THeard Heard;
  // Shared so a copy installed as presenter keeps the one state.
  std::shared_ptr<bool> Open = std::make_shared<bool>(false);
};
