// The top-level window on X11: a fixed-size window with a title that asks
// the window manager to be told of a close instead of being killed.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include "jack/top_window.h"

namespace standalone {

namespace {

class X11TopWindow : public TopWindow {
 public:
  X11TopWindow(Display* display, Window window, Atom deleteWindow)
      : display(display), window(window), deleteWindow(deleteWindow) {}
  ~X11TopWindow() override {
    XDestroyWindow(display, window);
    XCloseDisplay(display);
  }
  void* handle() const override { return reinterpret_cast<void*>(static_cast<uintptr_t>(window)); }
  bool closeRequested() override {
    while (XPending(display) > 0) {
      XEvent event;
      XNextEvent(display, &event);
      if (event.type == ClientMessage && static_cast<Atom>(event.xclient.data.l[0]) == deleteWindow)
        closed = true;
    }
    return closed;
  }

 private:
  Display* display;
  Window window;
  Atom deleteWindow;
  bool closed = false;
};

}  // namespace

std::unique_ptr<TopWindow> TopWindow::create(int32_t width, int32_t height,
                                             const std::string& title) {
  Display* display = XOpenDisplay(nullptr);
  if (!display) return nullptr;
  const Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0,
                                            unsigned(width), unsigned(height), 0, 0, 0);
  XStoreName(display, window, title.c_str());
  XSizeHints* hints = XAllocSizeHints();
  if (hints) {
    hints->flags = PMinSize | PMaxSize;
    hints->min_width = hints->max_width = width;
    hints->min_height = hints->max_height = height;
    XSetWMNormalHints(display, window, hints);
    XFree(hints);
  }
  Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
  XSetWMProtocols(display, window, &deleteWindow, 1);
  XMapWindow(display, window);
  XSync(display, False);
  return std::make_unique<X11TopWindow>(display, window, deleteWindow);
}

}  // namespace standalone
