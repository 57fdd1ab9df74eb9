// The CLAP editor embedded into an X11 parent window on a private X server:
// it shows the VST 2 editor's pixels for the values the host sets, idles on
// the host's timer, and a knob dragged by xdotool reaches the host as one
// gesture of parameter events.
// gtest and the toolkit first: the X11 headers define macros such as None.
#include "clap_fixture.h"
#include "editor/x11_editor_window.h"
#include "params/parameter_table.h"
#include <chrono>
#include <thread>

namespace {

using namespace host_window;
using namespace xvfb_support;
using namespace std::chrono_literals;

XServer* const server = static_cast<XServer*>(::testing::AddGlobalTestEnvironment(new XServer));

class ClapGuiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (server->pid <= 0) GTEST_SKIP() << "Xvfb is not installed";
    display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
    host = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, kWidth, kHeight, 0, 0, 0);
    XMapWindow(display, host);
    XSync(display, False);
    plugin = clap_support::newClapInstance();
    ASSERT_TRUE(plugin);
    gui = plugin->extension<clap::PluginGui>(clap::kExtGui);
    ASSERT_NE(gui, nullptr);
  }
  void TearDown() override {
    if (gui && plugin) gui->destroy(plugin->plugin());
    plugin.reset();
    if (display) XCloseDisplay(display);
  }

  // Creates the editor in the host's window and finds its child window.
  bool open() {
    const clap::Plugin* p = plugin->plugin();
    if (!gui->create(p, clap::kWindowApiX11, false)) return false;
    clap::Window parent{clap::kWindowApiX11, {}};
    parent.x11 = host;
    if (!gui->setParent(p, &parent) || !gui->show(p)) return false;
    for (auto end = std::chrono::steady_clock::now() + 2s;
         !editor && std::chrono::steady_clock::now() < end;) {
      Window root, up, *children = nullptr;
      unsigned count = 0;
      XQueryTree(display, host, &root, &up, &children, &count);
      if (count == 1) editor = children[0];
      if (children) XFree(children);
      if (!editor) idle();
    }
    return editor != 0;
  }
  void idle() {
    plugin->fireTimers();
    std::this_thread::sleep_for(5ms);
  }
  EditorImage grab() { return x11_editor_window::grab(display, editor); }
  size_t idleUntilShown(const EditorImage& expected) {
    return x11_editor_window::idleUntilShown(display, editor, expected, [&] { idle(); });
  }

  Display* display = nullptr;
  Window host = 0, editor = 0;
  std::unique_ptr<claphost::Instance> plugin;
  const clap::PluginGui* gui = nullptr;
};

TEST_F(ClapGuiTest, ShowsTheVst2EditorForTheHostsValues) {
  const clap::Plugin* p = plugin->plugin();
  EXPECT_TRUE(gui->isApiSupported(p, clap::kWindowApiX11, false));
  EXPECT_FALSE(gui->isApiSupported(p, clap::kWindowApiX11, true));
  EXPECT_FALSE(gui->create(p, "cocoa", false));
  uint32_t width = 0, height = 0;
  EXPECT_FALSE(gui->getSize(p, &width, &height)) << "no editor yet";
  ASSERT_TRUE(open());
  ASSERT_TRUE(gui->getSize(p, &width, &height));
  EXPECT_EQ(width, uint32_t(kWidth));
  EXPECT_EQ(height, uint32_t(kHeight));
  EXPECT_EQ(plugin->timers.size(), 1u);

  // A program load and an automated value, as the host sets them.
  ASSERT_TRUE(clap_support::loadFactory(*plugin, 5));
  claphost::EventList change;
  change.param(0, params::kVolume, 0.9);
  plugin->process(64, &change);
  auto reference = screenshot::createLinkedInstance();
  ASSERT_TRUE(reference);
  reference->dispatch(vst::effSetProgram, 0, 5);
  reference->setParameter(params::kVolume, 0.9f);
  EXPECT_EQ(idleUntilShown(screenshot::renderEditor(*reference)), 0u);

  gui->destroy(p);
  EXPECT_TRUE(plugin->timers.empty());
  gui = nullptr;
  plugin->fireTimers();  // a stale timer does nothing
}

TEST_F(ClapGuiTest, XdotoolDragReachesTheHostAsOneGesture) {
  if (!onPath("xdotool")) GTEST_SKIP() << "xdotool is not installed";
  ASSERT_TRUE(open());
  idle();
  const std::vector<CPoint> path = volumeDragPath();
  // The host's audio thread runs blocks meanwhile and collects what is sent.
  std::vector<claphost::Instance::Sent> sent;
  ASSERT_TRUE(x11_editor_window::xdotoolDrag(editor, path, [&] {
    idle();
    plugin->process(64);
    sent.insert(sent.end(), plugin->sent.begin(), plugin->sent.end());
  }));

  ASSERT_GE(sent.size(), 3u);
  EXPECT_EQ(sent.front().type, clap::kParamGestureBegin);
  EXPECT_EQ(sent.back().type, clap::kParamGestureEnd);
  for (const auto& s : sent) EXPECT_EQ(s.id, uint32_t(params::kVolume));
  EXPECT_EQ(sent[sent.size() - 2].type, clap::kParamValue);
  const DragResult expected = headlessDrag(path);
  EXPECT_EQ(float(sent[sent.size() - 2].value), expected.value);
  EXPECT_EQ(float(plugin->value(params::kVolume)), expected.value);
  EXPECT_GT(plugin->flushRequests, 0);
  EXPECT_EQ(idleUntilShown(expected.shown), 0u);
}

}  // namespace
