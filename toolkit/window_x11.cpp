// The X11 window layer: a child window of the host's window on a display
// connection of its own. The host's idle delivers the connection's events;
// tracking loops read the pointer straight from the server.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdint>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <vector>

#include "toolkit/bitmap.h"
#include "toolkit/platform_window.h"
#include "toolkit/x11_drop_target.h"

namespace {

int32_t buttonsFromState(unsigned state) {
  int32_t b = 0;
  if (state & Button1Mask) b |= kLButton;
  if (state & Button2Mask) b |= kMButton;
  if (state & Button3Mask) b |= kRButton;
  if (state & ShiftMask) b |= kShift;
  if (state & ControlMask) b |= kControl;
  if (state & Mod1Mask) b |= kAlt;
  return b;
}

int32_t buttonOf(unsigned button) {
  switch (button) {
    case Button1:
      return kLButton;
    case Button2:
      return kMButton;
    case Button3:
      return kRButton;
    default:
      return 0;  // wheel and extra buttons
  }
}

class X11Window;

// Xlib has one error handler per process, and its default one ends the
// process. While any editor window is open a handler of ours is installed: it
// swallows the errors of our own connections (each window has its own) and
// passes every other error on to the handler it replaced.
struct OpenWindows {
  std::mutex mutex;
  std::vector<X11Window*> windows;
  XErrorHandler previous = nullptr;
};

OpenWindows& openWindows() {
  static OpenWindows open;
  return open;
}

int onXError(Display* display, XErrorEvent* error);

class X11Window final : public PlatformWindow {
 public:
  X11Window(Display* connection, Window parent, const CRect& size)
      : display(connection), drops(connection) {
    attach();
    const int screen = DefaultScreen(display);
    // Our own 24-bit true-colour visual and colormap: the canvas pixels then
    // suit the window whatever visual the host's window has (a 32-bit ARGB
    // parent would refuse images of the default visual).
    XVisualInfo info{};
    if (XMatchVisualInfo(display, screen, 24, TrueColor, &info)) {
      visual = info.visual;
      depth = 24;
      colormap = XCreateColormap(display, RootWindow(display, screen), visual, AllocNone);
      XSetWindowAttributes attributes{};
      attributes.colormap = colormap;
      attributes.background_pixel = 0;
      attributes.border_pixel = 0;
      window = XCreateWindow(display, parent, 0, 0, unsigned(size.width()), unsigned(size.height()),
                             0, depth, InputOutput, visual,
                             CWColormap | CWBackPixel | CWBorderPixel, &attributes);
    } else {
      visual = DefaultVisual(display, screen);
      depth = DefaultDepth(display, screen);
      window = XCreateSimpleWindow(display, parent, 0, 0, unsigned(size.width()),
                                   unsigned(size.height()), 0, BlackPixel(display, screen),
                                   BlackPixel(display, screen));
    }
    XSelectInput(display, window, ExposureMask | ButtonPressMask | StructureNotifyMask);
    gc = XCreateGC(display, window, 0, nullptr);
    direct = visual->c_class == TrueColor && (depth == 24 || depth == 32) &&
             visual->red_mask == 0xFF0000 && visual->green_mask == 0xFF00 &&
             visual->blue_mask == 0xFF;
    drops.announce(window);
    XMapWindow(display, window);
    // Wait for the server: the host may look for our window as soon as open
    // returns, and a parent that does not exist shows up here.
    XSync(display, False);
  }

  ~X11Window() override {
    releaseImage();
    XFreeGC(display, gc);
    // The host may have destroyed its window, and ours with it, already: the
    // error handler swallows what follows.
    if (!gone) XDestroyWindow(display, window);
    if (colormap) XFreeColormap(display, colormap);
    XSync(display, False);
    XCloseDisplay(display);
    detach();
  }

  // False when the window could not be made (the parent does not exist).
  bool usable() const { return !gone; }
  // Called by the error handler for an error of this window's connection.
  void noteError(const XErrorEvent& error) {
    if (error.error_code == BadWindow || error.error_code == BadDrawable ||
        error.error_code == BadMatch)
      gone = true;
  }
  Display* connection() const { return display; }

  X11Window(const X11Window&) = delete;
  X11Window& operator=(const X11Window&) = delete;

  void setEvents(WindowEvents* sink) override { events = sink; }

  void show(const CBitmap& canvas, const CRect& area) override {
    if (gone) return;  // nothing is drawn once the window has been destroyed
    const CRect r = area.intersected(CRect(0, 0, canvas.getWidth(), canvas.getHeight()));
    if (r.isEmpty() || !wrap(canvas)) return;
    if (!direct) convert(canvas, r);
    XPutImage(display, window, gc, image, r.left, r.top, r.left, r.top, unsigned(r.width()),
              unsigned(r.height()));
    XFlush(display);
  }

  CPoint pointerPosition() override {
    query();
    return position;
  }

  int32_t pointerButtons() override {
    query();
    return buttons;
  }

  void processEvents() override {
    while (XPending(display) > 0) {
      XEvent e;
      XNextEvent(display, &e);
      dispatch(e);
    }
    while (handlePendingPaint()) {
    }
  }

  bool handlePendingPaint() override {
    if (gone) return false;
    XEvent e;
    while (XCheckTypedWindowEvent(display, window, Expose, &e)) queueExpose(e.xexpose);
    if (exposes.empty()) return false;
    const CRect area = exposes.front();
    exposes.pop_front();
    if (events) events->windowPaint(area);
    return true;
  }

 private:
  // Wraps the canvas pixels (0x00RRGGBB, as a 24-bit true-colour visual takes
  // them in 32-bit units) in an image, made once per canvas. Other visuals get
  // an image of their own format that show() converts into.
  bool wrap(const CBitmap& canvas) {
    if (image && wrapped == canvas.data()) return true;
    releaseImage();
    wrapped = canvas.data();
    const auto w = unsigned(canvas.getWidth()), h = unsigned(canvas.getHeight());
    if (direct) {
      image = XCreateImage(display, visual, unsigned(depth), ZPixmap, 0,
                           reinterpret_cast<char*>(const_cast<uint32_t*>(wrapped)), w, h, 32,
                           canvas.getWidth() * 4);
      const uint32_t probe = 1;
      if (image)
        image->byte_order = *reinterpret_cast<const uint8_t*>(&probe) ? LSBFirst : MSBFirst;
    } else {
      image = XCreateImage(display, visual, unsigned(depth), ZPixmap, 0, nullptr, w, h, 32, 0);
      if (image) image->data = static_cast<char*>(std::calloc(size_t(image->bytes_per_line), h));
    }
    return image != nullptr && image->data != nullptr;
  }

  void attach() {
    OpenWindows& open = openWindows();
    std::lock_guard<std::mutex> lock(open.mutex);
    if (open.windows.empty()) open.previous = XSetErrorHandler(&onXError);
    open.windows.push_back(this);
  }

  void detach() {
    OpenWindows& open = openWindows();
    std::lock_guard<std::mutex> lock(open.mutex);
    std::erase(open.windows, this);
    if (!open.windows.empty()) return;
    // Hand the process back its handler, unless someone replaced ours since.
    const XErrorHandler current = XSetErrorHandler(open.previous);
    if (current != &onXError) XSetErrorHandler(current);
    open.previous = nullptr;
  }

  void releaseImage() {
    if (!image) return;
    if (direct) image->data = nullptr;  // the canvas is not ours to free
    XDestroyImage(image);
    image = nullptr;
  }

  // Scales an 8-bit channel into the bits of a visual's mask.
  static unsigned long channel(uint32_t value, unsigned long mask) {
    if (!mask) return 0;
    int shift = 0, bits = 0;
    while (!((mask >> shift) & 1)) ++shift;
    while ((mask >> (shift + bits)) & 1) ++bits;
    return ((bits >= 8 ? value << (bits - 8) : value >> (8 - bits)) << shift) & mask;
  }

  void convert(const CBitmap& canvas, const CRect& r) {
    for (int32_t y = r.top; y < r.bottom; ++y)
      for (int32_t x = r.left; x < r.right; ++x) {
        const uint32_t p = canvas.pixel(x, y);
        XPutPixel(image, x, y,
                  channel((p >> 16) & 0xFF, visual->red_mask) |
                      channel((p >> 8) & 0xFF, visual->green_mask) |
                      channel(p & 0xFF, visual->blue_mask));
      }
  }

  void query() {
    if (gone) {
      buttons = 0;  // a tracking loop ends with the window
      return;
    }
    Window root, child;
    int rootX, rootY, x, y;
    unsigned state = 0;
    if (XQueryPointer(display, window, &root, &child, &rootX, &rootY, &x, &y, &state)) {
      position = CPoint(x, y);
      buttons = buttonsFromState(state);
    }
  }

  void queueExpose(const XExposeEvent& x) {
    exposes.push_back(CRect(x.x, x.y, x.x + x.width, x.y + x.height));
  }

  void dispatch(XEvent& e) {
    if (e.type == DestroyNotify && e.xdestroywindow.window == window) gone = true;
    if (gone) return;
    if (drops.handle(e, window, events)) return;
    if (e.xany.window != window) return;
    if (e.type == Expose) {
      queueExpose(e.xexpose);
    } else if (e.type == ButtonPress && events) {
      const int32_t pressed = buttonOf(e.xbutton.button);
      // The state holds what was down before this press; the press adds its button.
      if (pressed)
        events->windowMouseDown(CPoint(e.xbutton.x, e.xbutton.y),
                                buttonsFromState(e.xbutton.state) | pressed);
    }
  }

  Display* display;
  Window window = 0;
  Colormap colormap = 0;
  bool gone = false;  // destroyed by the host, or never made
  GC gc = nullptr;
  Visual* visual = nullptr;
  int depth = 24;
  bool direct = true;  // the canvas pixels suit the visual as they are
  XImage* image = nullptr;
  const uint32_t* wrapped = nullptr;
  WindowEvents* events = nullptr;
  X11DropTarget drops;
  std::deque<CRect> exposes;
  CPoint position;
  int32_t buttons = 0;
};

int onXError(Display* display, XErrorEvent* error) {
  OpenWindows& open = openWindows();
  XErrorHandler previous;
  {
    std::lock_guard<std::mutex> lock(open.mutex);
    for (X11Window* w : open.windows) {
      if (w->connection() != display) continue;
      w->noteError(*error);
      return 0;
    }
    previous = open.previous;
  }
  return previous ? previous(display, error) : 0;
}

}  // namespace

std::unique_ptr<PlatformWindow> createPlatformWindow(void* parent, const CRect& size) {
  if (!parent) return nullptr;
  Display* display = XOpenDisplay(nullptr);
  if (!display) return nullptr;
  auto window = std::make_unique<X11Window>(
      display, static_cast<Window>(reinterpret_cast<uintptr_t>(parent)), size);
  if (!window->usable()) return nullptr;
  return window;
}
