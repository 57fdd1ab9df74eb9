// The loaded plug-in's editor in a real X window on a private X server: a
// host window, effEditOpen with its XID and effEditIdle from the host's loop.
// The window shows what the headless layer draws, and a drag made by xdotool
// moves the " Volume " knob with the host told of the gesture.
// gtest and the toolkit first: the X11 headers define macros such as None.
#include "plugin_fixture.h"
#include "x11_editor_window.h"
#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace host_window;
using namespace xvfb_support;
using namespace std::chrono_literals;

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
  EditorImage grab() { return x11_editor_window::grab(display, editorWindow); }
  size_t idleUntilShown(const EditorImage& expected) {
    return x11_editor_window::idleUntilShown(display, editorWindow, expected, [&] { idle(); });
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

  ASSERT_TRUE(x11_editor_window::xdotoolDrag(editorWindow, path, [&] { idle(); }));

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
