// The loaded plug-in's editor in a real X window on a private X server: a
// host window, effEditOpen with its XID and effEditIdle from the host's loop.
// The window shows what the headless layer draws, and a drag made by xdotool
// moves the " Volume " knob with the host told of the gesture.
// gtest and the toolkit first: the X11 headers define macros such as None.
#include "host_window_support.h"
#include "plugin_fixture.h"
// clang-format off
#include <X11/Xlib.h>
#include <X11/Xutil.h>
// clang-format on
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

using namespace host_window;
using namespace std::chrono_literals;

bool onPath(const char* program) {
  const char* path = std::getenv("PATH");
  std::string dirs = path ? path : "";
  size_t start = 0;
  while (start <= dirs.size()) {
    const size_t end = std::min(dirs.find(':', start), dirs.size());
    if (access((dirs.substr(start, end - start) + "/" + program).c_str(), X_OK) == 0) return true;
    start = end + 1;
  }
  return false;
}

pid_t spawn(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid = -1;
  return posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) == 0 ? pid : -1;
}

// Starts Xvfb on a free display (it picks the number) and points DISPLAY at it.
// With -terminate the server ends when its last client goes, so one
// connection lives as long as this program, however it ends.
class XServer : public ::testing::Environment {
 public:
  void SetUp() override {
    if (!onPath("Xvfb")) return;
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    pid = spawn({"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", "1024x768x24",
                 "-nolisten", "tcp", "-terminate"});
    close(fds[1]);
    char number[16] = {};
    const bool started = pid > 0 && read(fds[0], number, sizeof(number) - 1) > 0;
    close(fds[0]);
    ASSERT_TRUE(started);
    setenv("DISPLAY", (":" + std::to_string(std::atoi(number))).c_str(), 1);
    keeper = XOpenDisplay(nullptr);
    ASSERT_NE(keeper, nullptr);
  }
  void TearDown() override {
    if (keeper) XCloseDisplay(keeper);
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
  }
  pid_t pid = -1;
  Display* keeper = nullptr;
};

XServer* const server = static_cast<XServer*>(::testing::AddGlobalTestEnvironment(new XServer));

class X11HostEditor : public ::testing::Test {
 protected:
  void SetUp() override {
    if (server->pid <= 0) GTEST_SKIP() << "Xvfb is not installed";
    display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
    host = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, kWidth, kHeight, 0, 0, 0);
    XMapWindow(display, host);
    XSync(display, False);
    plugin = testing_support::newInstance();
    ASSERT_TRUE(plugin);
    plugin->start();
    ASSERT_EQ(plugin->dispatch(vst::effEditOpen, 0, 0, reinterpret_cast<void*>(uintptr_t(host))),
              1);
    // The editor's own connection creates its window; the server may take
    // that request after this connection's query.
    for (auto end = std::chrono::steady_clock::now() + 2s;
         !editorWindow && std::chrono::steady_clock::now() < end;) {
      Window root, up, *children = nullptr;
      unsigned count = 0;
      XQueryTree(display, host, &root, &up, &children, &count);
      if (count == 1) editorWindow = children[0];
      if (children) XFree(children);
      if (!editorWindow) idle();
    }
    ASSERT_NE(editorWindow, 0u) << "the editor made no child window";
  }
  void TearDown() override {
    if (plugin) plugin->dispatch(vst::effEditClose);
    plugin.reset();
    if (display) XCloseDisplay(display);
  }

  // One turn of the host's loop.
  void idle() {
    plugin->dispatch(vst::effEditIdle);
    std::this_thread::sleep_for(10ms);
  }
  EditorImage grab() {
    XSync(display, False);
    XImage* image = XGetImage(display, editorWindow, 0, 0, kWidth, kHeight, AllPlanes, ZPixmap);
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
  size_t idleUntilShown(const EditorImage& expected) {
    size_t differing = expected.pixels.size();
    for (auto end = std::chrono::steady_clock::now() + 2s;
         std::chrono::steady_clock::now() < end;) {
      idle();
      differing = differingPixels(grab(), expected);
      if (differing == 0) break;
    }
    return differing;
  }

  Display* display = nullptr;
  Window host = 0, editorWindow = 0;
  std::unique_ptr<plughost::PluginInstance> plugin;
};

TEST_F(X11HostEditor, ShowsTheHeadlessRenderOfTheProgram) {
  plugin->dispatch(vst::effSetProgram, 0, 5);
  auto reference = screenshot::createLinkedInstance();
  ASSERT_TRUE(reference);
  reference->dispatch(vst::effSetProgram, 0, 5);
  const EditorImage expected = screenshot::renderEditor(*reference);
  EXPECT_EQ(idleUntilShown(expected), 0u);

  // A window covered and uncovered again is repainted from the canvas.
  Window cover =
      XCreateSimpleWindow(display, DefaultRootWindow(display), 100, 50, 300, 200, 0, 0, 0xFF00FF);
  XMapRaised(display, cover);
  XSync(display, False);
  XDestroyWindow(display, cover);
  XSync(display, False);
  EXPECT_NE(grab().pixels, expected.pixels);
  EXPECT_EQ(idleUntilShown(expected), 0u);
}

TEST_F(X11HostEditor, XdotoolDragMovesTheVolumeKnob) {
  if (!onPath("xdotool")) GTEST_SKIP() << "xdotool is not installed";
  const std::vector<CPoint> path = volumeDragPath();
  const float before = plugin->getParameter(kVolume);
  plugin->clearCalls();
  idle();

  // xdotool runs on its own: while the button is down the knob's tracking loop
  // holds the host's idle call, reading the pointer from the server.
  const std::string editorId = std::to_string(editorWindow);
  std::vector<std::string> args = {"xdotool"};
  auto moveTo = [&](CPoint p) {
    args.insert(args.end(), {"mousemove", "--window", editorId, std::to_string(p.h),
                             std::to_string(p.v), "sleep", "0.05"});
  };
  moveTo(path.front());
  args.insert(args.end(), {"mousedown", "1", "sleep", "0.1"});
  for (size_t i = 1; i < path.size(); ++i) moveTo(path[i]);
  args.insert(args.end(), {"mouseup", "1"});
  const pid_t drag = spawn(args);
  ASSERT_GT(drag, 0);
  int status = 0;
  pid_t ended = 0;
  for (auto end = std::chrono::steady_clock::now() + 10s;
       ended == 0 && std::chrono::steady_clock::now() < end;) {
    idle();
    ended = waitpid(drag, &status, WNOHANG);
  }
  if (ended == 0) {
    kill(drag, SIGKILL);
    waitpid(drag, &status, 0);
    FAIL() << "xdotool did not finish";
  }
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  for (int i = 0; i < 5; ++i) idle();

  const float after = plugin->getParameter(kVolume);
  EXPECT_NE(after, before);
  EXPECT_NEAR(after, 2.0f / 3.0f, 0.02f);
  // The gesture reached the host: begin, automation of 35, end, in that order.
  EXPECT_EQ(gestureOf(plugin->calls(), kVolume), kWholeGesture);
  EXPECT_GT(plugin->countCalls(vst::audioMasterIdle), 0u) << "the drag kept the host alive";

  // The same drag on the headless layer ends at the same value and picture.
  const DragResult expected = headlessDrag(path);
  EXPECT_EQ(expected.value, after);
  EXPECT_EQ(idleUntilShown(expected.shown), 0u);
}

// Hosts that get windows wrong must not lose their process: Xlib's default
// error handler ends it. Each case runs in the host's own connection too.
class X11HostMistakes : public ::testing::Test {
 protected:
  void SetUp() override {
    if (server->pid <= 0) GTEST_SKIP() << "Xvfb is not installed";
    display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
    plugin = testing_support::newInstance();
    plugin->start();
  }
  void TearDown() override {
    plugin.reset();
    if (display) XCloseDisplay(display);
  }
  void idle(int turns) {
    for (int i = 0; i < turns; ++i) {
      plugin->setParameter(kVolume, float(i % 7) / 7.0f);  // something to draw
      plugin->dispatch(vst::effEditIdle);
      std::this_thread::sleep_for(5ms);
    }
  }
  Window hostWindow(Visual* visual, int depth) {
    XSetWindowAttributes a{};
    a.colormap = XCreateColormap(display, DefaultRootWindow(display), visual, AllocNone);
    Window w = XCreateWindow(display, DefaultRootWindow(display), 0, 0, kWidth, kHeight, 0, depth,
                             InputOutput, visual, CWColormap | CWBorderPixel | CWBackPixel, &a);
    XMapWindow(display, w);
    XSync(display, False);
    return w;
  }
  Display* display = nullptr;
  std::unique_ptr<plughost::PluginInstance> plugin;
};

TEST_F(X11HostMistakes, HostDestroysItsWindowBeforeClosingTheEditor) {
  const Window host = hostWindow(DefaultVisual(display, 0), DefaultDepth(display, 0));
  ASSERT_EQ(plugin->dispatch(vst::effEditOpen, 0, 0, reinterpret_cast<void*>(uintptr_t(host))), 1);
  idle(3);
  XDestroyWindow(display, host);
  XSync(display, False);
  idle(10);
  plugin->dispatch(vst::effEditClose);
  EXPECT_EQ(plugin->dispatch(vst::effEditOpen, 0, 0, nullptr), 1);  // still alive
  plugin->dispatch(vst::effEditClose);
}

TEST_F(X11HostMistakes, HostWindowWithAnAlphaVisualShowsTheEditor) {
  XVisualInfo info{};
  if (!XMatchVisualInfo(display, 0, 32, TrueColor, &info)) GTEST_SKIP() << "no 32-bit visual";
  const Window host = hostWindow(info.visual, 32);
  ASSERT_EQ(plugin->dispatch(vst::effEditOpen, 0, 0, reinterpret_cast<void*>(uintptr_t(host))), 1);
  idle(10);
  Window root, up, *children = nullptr;
  unsigned count = 0;
  XQueryTree(display, host, &root, &up, &children, &count);
  ASSERT_EQ(count, 1u);
  XWindowAttributes child{};
  XGetWindowAttributes(display, children[0], &child);
  XFree(children);
  EXPECT_EQ(child.depth, 24);
  plugin->dispatch(vst::effEditClose);
  XDestroyWindow(display, host);
}

TEST_F(X11HostMistakes, ParentThatDoesNotExist) {
  // The editor is built without a window; the host goes on.
  EXPECT_EQ(plugin->dispatch(vst::effEditOpen, 0, 0, reinterpret_cast<void*>(uintptr_t(0x3FFFFF0))),
            1);
  idle(3);
  plugin->dispatch(vst::effEditClose);
}

}  // namespace
