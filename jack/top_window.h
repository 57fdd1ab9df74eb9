// A top-level window of its own on the desktop, for the editor to open in;
// it tells when the user closes it. One implementation per window system.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace standalone {

class TopWindow {
 public:
  virtual ~TopWindow() = default;
  // Null when there is no display.
  static std::unique_ptr<TopWindow> create(int32_t width, int32_t height, const std::string& title);
  // The native handle the editor opens into.
  virtual void* handle() const = 0;
  // Handles the window's pending events; true once the user asked to close it.
  virtual bool closeRequested() = 0;
};

}  // namespace standalone
