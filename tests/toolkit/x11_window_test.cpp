// The X11 window layer on a private X server (Xvfb): the frame's child window
// shows the canvas, repaints on expose, delivers presses with their modifiers,
// reads the pointer from the server and receives file drops.
// gtest first: the X11 headers define macros such as None and Bool.
#include "probe_view.h"
#include "toolkit_fixture.h"
// clang-format off
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
// clang-format on
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "toolkit/draw_context.h"

extern char** environ;

namespace {

// Starts Xvfb on a free display and points DISPLAY at it.
class XServer : public ::testing::Environment {
 public:
  void SetUp() override {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    const std::string fd = std::to_string(fds[1]);
    const char* argv[] = {"Xvfb",        "-displayfd", fd.c_str(), "-screen",    "0",
                          "1024x768x24", "-nolisten",  "tcp",      "-terminate", nullptr};
    ASSERT_EQ(posix_spawnp(&pid, "Xvfb", nullptr, nullptr, const_cast<char**>(argv), environ), 0);
    close(fds[1]);
    char number[16] = {};
    ASSERT_GT(read(fds[0], number, sizeof(number) - 1), 0);
    close(fds[0]);
    setenv("DISPLAY", (":" + std::to_string(std::atoi(number))).c_str(), 1);
    // With -terminate the server ends when its last client goes, so one
    // connection lives as long as this program, however it ends.
    keeper = XOpenDisplay(nullptr);
    ASSERT_NE(keeper, nullptr);
  }
  void TearDown() override {
    if (keeper) XCloseDisplay(keeper);
    if (pid > 0) {
      kill(pid, SIGTERM);
      waitpid(pid, nullptr, 0);
    }
  }
  pid_t pid = -1;
  Display* keeper = nullptr;
};

const auto* const server = ::testing::AddGlobalTestEnvironment(new XServer);

class X11WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
    parent = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 900, 400, 0, 0, 0);
    XMapWindow(display, parent);
    XSync(display, False);
    frame = std::make_unique<CFrame>(CRect(0, 0, 851, 311),
                                     reinterpret_cast<void*>(uintptr_t(parent)), &editor);
    ASSERT_TRUE(frame->isOpen());
    editor.frame = frame.get();
    probe = new Probe(CRect(100, 50, 140, 90));
    frame->addView(probe);
    Window root, up, *children = nullptr;
    unsigned count = 0;
    XQueryTree(display, parent, &root, &up, &children, &count);
    ASSERT_EQ(count, 1u);
    child = children[0];
    XFree(children);
  }
  void TearDown() override {
    editor.frame = nullptr;
    frame.reset();
    if (display) XCloseDisplay(display);
  }
  unsigned long pixel(int x, int y) {
    XSync(display, False);
    XImage* image = XGetImage(display, child, x, y, 1, 1, AllPlanes, ZPixmap);
    const unsigned long p = XGetPixel(image, 0, 0) & 0xFFFFFF;
    XDestroyImage(image);
    return p;
  }
  // Lets the frame take its events, as the host's idle does.
  void idle() {
    XSync(display, False);
    usleep(20000);
    frame->idle();
  }

  FakeClock clock;
  RecordingEditor editor{clock};
  Display* display = nullptr;
  Window parent = 0, child = 0;
  std::unique_ptr<CFrame> frame;
  Probe* probe = nullptr;
};

TEST_F(X11WindowTest, ShowsTheCanvasAndRepaintsExposedParts) {
  idle();
  EXPECT_EQ(pixel(120, 70), 0xFF0000u);
  EXPECT_EQ(pixel(10, 10), frame->getCanvas().pixel(10, 10));
  XClearArea(display, child, 0, 0, 0, 0, False);  // wiped, no expose
  EXPECT_EQ(pixel(120, 70), 0u);
  XClearArea(display, child, 100, 50, 50, 50, True);
  idle();
  EXPECT_EQ(pixel(120, 70), 0xFF0000u);
}

TEST_F(X11WindowTest, PressesCarryTheirButtonAndModifiersAndThePointerIsRead) {
  XEvent e{};
  e.xbutton.type = ButtonPress;
  e.xbutton.window = child;
  e.xbutton.x = 110;
  e.xbutton.y = 60;
  e.xbutton.button = Button3;
  e.xbutton.state = ShiftMask | ControlMask;
  XSendEvent(display, child, False, ButtonPressMask, &e);
  idle();
  EXPECT_EQ(probe->pressAt, CPoint(110, 60));
  EXPECT_EQ(probe->pressButtons, kRButton | kShift | kControl);

  XWarpPointer(display, None, child, 0, 0, 0, 0, 30, 40);
  XSync(display, False);
  EXPECT_EQ(frame->getCurrentMouseLocation(), CPoint(30, 40));
  EXPECT_EQ(frame->getCurrentMouseButtons(), 0);
}

TEST_F(X11WindowTest, ClosingAfterTheHostDestroyedItsWindowIsHarmless) {
  XDestroyWindow(display, parent);
  XSync(display, False);
  editor.frame = nullptr;
  frame.reset();  // would end the program through the default error handler
  SUCCEED();
}

TEST_F(X11WindowTest, ReceivesFileDropsThroughTheDragAndDropProtocol) {
  Window source = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
  const Atom selection = XInternAtom(display, "XdndSelection", False);
  const Atom uriList = XInternAtom(display, "text/uri-list", False);
  XSetSelectionOwner(display, selection, source, CurrentTime);
  auto send = [&](const char* type, long l1, long l2) {
    XEvent m{};
    m.xclient.type = ClientMessage;
    m.xclient.window = child;
    m.xclient.message_type = XInternAtom(display, type, False);
    m.xclient.format = 32;
    m.xclient.data.l[0] = long(source);
    m.xclient.data.l[1] = l1;
    m.xclient.data.l[2] = l2;
    XSendEvent(display, child, False, NoEventMask, &m);
  };
  int rootX = 0, rootY = 0;
  Window unused;
  XTranslateCoordinates(display, child, DefaultRootWindow(display), 120, 70, &rootX, &rootY,
                        &unused);

  // First with the type in the enter message, then from a source that offers
  // more than three types and lists them on its window.
  for (const bool typeList : {false, true}) {
    probe->dropped = CDropItems{};
    if (typeList) {
      const Atom types[] = {XInternAtom(display, "TARGETS", False),
                            XInternAtom(display, "text/plain", False),
                            XInternAtom(display, "UTF8_STRING", False), uriList};
      XChangeProperty(display, source, XInternAtom(display, "XdndTypeList", False), XA_ATOM, 32,
                      PropModeReplace, reinterpret_cast<const unsigned char*>(types), 4);
      XSync(display, False);
      send("XdndEnter", 5L << 24 | 1, long(types[0]));
    } else {
      send("XdndEnter", 5L << 24, long(uriList));
    }
    send("XdndPosition", 0, long(rootX) << 16 | rootY);
    send("XdndDrop", 0, CurrentTime);
    idle();

    // Answer the frame's request for the data as the drag source would.
    SCOPED_TRACE(typeList ? "type list" : "enter message");
    XEvent e{};
    bool asked = false;
    for (int wait = 0; wait < 100 && !asked; ++wait) {
      if (XPending(display) == 0) {
        XSync(display, False);
        idle();
        if (XPending(display) == 0) usleep(10000);
        continue;
      }
      XNextEvent(display, &e);
      if (e.type != SelectionRequest) continue;
      EXPECT_EQ(e.xselectionrequest.target, uriList) << "type list " << typeList;
      const std::string list = "file:///tmp/a%20b.wav\r\nfile:///tmp/c.wav\r\n";
      XChangeProperty(display, e.xselectionrequest.requestor, e.xselectionrequest.property, uriList,
                      8, PropModeReplace, reinterpret_cast<const unsigned char*>(list.data()),
                      int(list.size()));
      XEvent reply{};
      reply.xselection.type = SelectionNotify;
      reply.xselection.requestor = e.xselectionrequest.requestor;
      reply.xselection.selection = selection;
      reply.xselection.target = e.xselectionrequest.target;
      reply.xselection.property = e.xselectionrequest.property;
      XSendEvent(display, e.xselectionrequest.requestor, False, NoEventMask, &reply);
      asked = true;
    }
    ASSERT_TRUE(asked);
    idle();
    EXPECT_EQ(probe->dropped.kind, CDropKind::kFiles);
    ASSERT_EQ(probe->dropped.count(), 2);
    EXPECT_EQ(probe->dropped.items[0], "/tmp/a b.wav");
    EXPECT_EQ(probe->dropped.items[1], "/tmp/c.wav");
    EXPECT_EQ(probe->dropAt, CPoint(120, 70));  // in the coordinates of its rectangle
  }
}

}  // namespace
