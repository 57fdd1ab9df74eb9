// Shared by the tests that embed an editor (of any plug-in format) in a window
// of a private X server: reading the window back, idling until it shows a
// picture, and an xdotool drag made while the host keeps idling.
#pragma once

// gtest and the toolkit first: the X11 headers define macros such as None.
#include "host_window_support.h"
#include "xvfb_support.h"
// clang-format off
#include <X11/Xlib.h>
#include <X11/Xutil.h>
// clang-format on
#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace x11_editor_window {

using host_window::EditorImage;

// The editor window's pixels, read back from the server.
inline EditorImage grab(Display* display, Window window) {
  XSync(display, False);
  using host_window::kHeight;
  using host_window::kWidth;
  XImage* image = XGetImage(display, window, 0, 0, kWidth, kHeight, AllPlanes, ZPixmap);
  EditorImage shot;
  if (!image) return shot;
  shot.width = kWidth;
  shot.height = kHeight;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x)
      shot.pixels.push_back(uint32_t(XGetPixel(image, x, y) & 0xFFFFFF));
  XDestroyImage(image);
  return shot;
}

// Idles until the window shows the expected pixels (or two seconds pass);
// answers how many pixels differ.
template <class Idle>
size_t idleUntilShown(Display* display, Window window, const EditorImage& expected, Idle idle) {
  size_t differing = expected.pixels.size();
  for (auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
       std::chrono::steady_clock::now() < end;) {
    idle();
    differing = host_window::differingPixels(grab(display, window), expected);
    if (differing == 0) break;
  }
  return differing;
}

// Drags the mouse along the path in the window with xdotool, which runs on
// its own: while the button is down the editor's tracking loop may hold the
// host's idle call. The host idles until xdotool ends, then five times more.
template <class Idle>
::testing::AssertionResult xdotoolDrag(Window window, const std::vector<CPoint>& path, Idle idle) {
  const std::string id = std::to_string(window);
  std::vector<std::string> args = {"xdotool"};
  auto moveTo = [&](CPoint p) {
    args.insert(args.end(), {"mousemove", "--window", id, std::to_string(p.h),
                             std::to_string(p.v), "sleep", "0.05"});
  };
  moveTo(path.front());
  args.insert(args.end(), {"mousedown", "1", "sleep", "0.1"});
  for (size_t i = 1; i < path.size(); ++i) moveTo(path[i]);
  args.insert(args.end(), {"mouseup", "1"});
  const pid_t drag = xvfb_support::spawn(args);
  if (drag <= 0) return ::testing::AssertionFailure() << "xdotool did not start";
  int status = 0;
  pid_t ended = 0;
  for (auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
       ended == 0 && std::chrono::steady_clock::now() < end;) {
    idle();
    ended = waitpid(drag, &status, WNOHANG);
  }
  if (ended == 0) {
    kill(drag, SIGKILL);
    waitpid(drag, &status, 0);
    return ::testing::AssertionFailure() << "xdotool did not finish";
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
    return ::testing::AssertionFailure() << "xdotool failed";
  for (int i = 0; i < 5; ++i) idle();
  return ::testing::AssertionSuccess();
}

}  // namespace x11_editor_window
