#pragma once

#include <functional>
#include <memory>
#include <string>
#include <utility>

// The top-level handler's presenter: a modal box with the application title
// as caption, the error icon and OK. While one box is open, further errors
// are dropped, so a timer failing every second cannot stack boxes; the next
// failure after OK shows again.
class TErrorBox {
public:
  using TShown = std::function<void(const std::string& text)>;

  // shown hears the text of every box that shows, before it shows.
  explicit TErrorBox(std::string caption, TShown shown = {})
      : Caption(std::move(caption)), Shown(std::move(shown)) {}

  void operator()(const std::string& message);

  bool Showing() const { return *Open; }

private:
  std::string Caption;
  TShown Shown;
  // Shared so a copy installed as presenter keeps the one state.
  std::shared_ptr<bool> Open = std::make_shared<bool>(false);
};
