// quillstave-jack with its editor on a private X server: a top-level window
// of the editor's size holds the editor, and closing it through the window
// manager's protocol ends the program, which saves the bank it keeps.
// gtest and the toolkit first: the X11 headers define macros such as None.
#include "editor/xvfb_support.h"
#include "jack_support.h"
// clang-format off
#include <X11/Xlib.h>
#include <X11/Xutil.h>
// clang-format on
#include <sys/stat.h>

#include <cstdio>

namespace {

using namespace jack_support;

JackServer* const jackServer =
    static_cast<JackServer*>(::testing::AddGlobalTestEnvironment(new JackServer));
xvfb_support::XServer* const xServer = static_cast<xvfb_support::XServer*>(
    ::testing::AddGlobalTestEnvironment(new xvfb_support::XServer));

// The top-level window with the given title, or 0.
Window findTopLevel(Display* display, const char* title) {
  Window root, parent, *children = nullptr, found = 0;
  unsigned count = 0;
  XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count);
  for (unsigned i = 0; i < count && !found; ++i) {
    char* name = nullptr;
    if (XFetchName(display, children[i], &name) && name) {
      if (std::string(name) == title) found = children[i];
      XFree(name);
    }
  }
  if (children) XFree(children);
  return found;
}

unsigned childCount(Display* display, Window window) {
  Window root, parent, *children = nullptr;
  unsigned count = 0;
  XQueryTree(display, window, &root, &parent, &children, &count);
  if (children) XFree(children);
  return count;
}

// What a window manager sends when the user closes a window.
void askToClose(Display* display, Window window) {
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = long(XInternAtom(display, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(display, window, False, NoEventMask, &event);
  XFlush(display);
}

}  // namespace

TEST(JackWindow, TheEditorsWindowClosesTheProgram) {
  if (jackServer->pid <= 0 || xServer->pid <= 0) GTEST_SKIP() << "jackd or Xvfb is not installed";
  ASSERT_TRUE(jackServer->running);
  const std::string keep = ::testing::TempDir() + jackServer->name + "-window.fxb";
  std::remove(keep.c_str());
  Standalone standalone("qs-window", {"--keep", keep}, true);
  ASSERT_TRUE(standalone.up) << standalone.errors();

  Display* display = XOpenDisplay(nullptr);
  ASSERT_NE(display, nullptr);
  Window window = 0;
  for (auto end = std::chrono::steady_clock::now() + 5s;
       (!window || childCount(display, window) == 0) && std::chrono::steady_clock::now() < end;
       std::this_thread::sleep_for(20ms))
    window = findTopLevel(display, "Quillstave");
  ASSERT_NE(window, 0u) << standalone.errors();
  EXPECT_EQ(childCount(display, window), 1u) << "the editor inside";
  XWindowAttributes attributes;
  ASSERT_TRUE(XGetWindowAttributes(display, window, &attributes));
  EXPECT_EQ(attributes.width, 851);
  EXPECT_EQ(attributes.height, 311);

  askToClose(display, window);
  EXPECT_EQ(standalone.stop(false), 0) << standalone.errors();
  struct stat saved;
  EXPECT_EQ(stat(keep.c_str(), &saved), 0) << "the bank is saved on exit";
  std::remove(keep.c_str());
  XCloseDisplay(display);
}
