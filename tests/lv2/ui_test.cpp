// The LV2 UI loaded as a host loads it, into a parent window on a private X
// server: it shows the VST 2 editor's pixels for the values the host sends,
// and a knob dragged by xdotool becomes a write of that knob's port.
// gtest and the toolkit first: the X11 headers define macros such as None.
#include "editor/x11_editor_window.h"
#include "lv2_fixture.h"
#include "params/program_bank.h"
#include <dlfcn.h>
#include <lv2/ui/ui.h>

#include <chrono>
#include <cstring>
#include <thread>

namespace {

using namespace host_window;
using namespace xvfb_support;
using namespace std::chrono_literals;

XServer* const server = static_cast<XServer*>(::testing::AddGlobalTestEnvironment(new XServer));

struct PortWrite {
  uint32_t port, size, format;
  float value;
};

class Lv2UiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (server->pid <= 0) GTEST_SKIP() << "Xvfb is not installed";
    display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
    host = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 400, 200, 0, 0, 0);
    XMapWindow(display, host);
    XSync(display, False);

    // The UI's binary, found through the bundle as a host finds it.
    LilvUIs* uis = lilv_plugin_get_uis(lv2_support::plugin());
    ASSERT_NE(uis, nullptr);
    const LilvUI* ui = lilv_uis_get(uis, lilv_uis_begin(uis));
    char* path = lilv_file_uri_parse(lilv_node_as_uri(lilv_ui_get_binary_uri(ui)), nullptr);
    char* bundle = lilv_file_uri_parse(lilv_node_as_uri(lilv_ui_get_bundle_uri(ui)), nullptr);
    module = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    bundlePath = bundle;
    lilv_free(path);
    lilv_free(bundle);
    lilv_uis_free(uis);
    ASSERT_NE(module, nullptr) << dlerror();
    auto entry =
        reinterpret_cast<const LV2UI_Descriptor* (*)(uint32_t)>(dlsym(module, "lv2ui_descriptor"));
    ASSERT_NE(entry, nullptr);
    descriptor = entry(0);
    ASSERT_NE(descriptor, nullptr);
    idleInterface =
        static_cast<const LV2UI_Idle_Interface*>(descriptor->extension_data(LV2_UI__idleInterface));
    ASSERT_NE(idleInterface, nullptr);
  }
  void TearDown() override {
    if (handle) descriptor->cleanup(handle);
    if (module) dlclose(module);
    if (display) XCloseDisplay(display);
  }

  LV2UI_Handle open(bool withParent = true) {
    LV2_Feature parent{LV2_UI__parent, reinterpret_cast<void*>(uintptr_t(host))};
    LV2_Feature resizing{LV2_UI__resize, &resize};
    LV2_Feature idling{LV2_UI__idleInterface, nullptr};
    LV2_Feature touching{LV2_UI__touch, &touch};
    const LV2_Feature* features[] = {&resizing, &idling, &touching, withParent ? &parent : nullptr,
                                     nullptr};
    return descriptor->instantiate(descriptor, lv2::kPluginUri, bundlePath.c_str(), record, this,
                                   &widget, features);
  }
  void idle() {
    idleInterface->idle(handle);
    std::this_thread::sleep_for(5ms);
  }
  void send(uint32_t port, float value, uint32_t size = sizeof(float), uint32_t format = 0) {
    descriptor->port_event(handle, port, size, format, &value);
  }
  EditorImage grab() { return x11_editor_window::grab(display, window()); }
  Window window() const { return static_cast<Window>(reinterpret_cast<uintptr_t>(widget)); }
  size_t idleUntilShown(const EditorImage& expected) {
    return x11_editor_window::idleUntilShown(display, window(), expected, [&] { idle(); });
  }

  static void record(LV2UI_Controller self, uint32_t port, uint32_t size, uint32_t format,
                     const void* buffer) {
    float value = 0.0f;
    if (size == sizeof(float)) std::memcpy(&value, buffer, sizeof value);
    static_cast<Lv2UiTest*>(self)->writes.push_back({port, size, format, value});
  }
  // The host fits its window to the size the UI asks for.
  // Gestures are kept as writes of size 0: format 1 grabbed, 0 released.
  static void touched(LV2UI_Feature_Handle self, uint32_t port, bool grabbed) {
    static_cast<Lv2UiTest*>(self)->gestures.push_back({port, 0, grabbed ? 1u : 0u, 0.0f});
  }
  static int resized(LV2UI_Feature_Handle handle, int width, int height) {
    auto* self = static_cast<Lv2UiTest*>(handle);
    self->size = {width, height};
    XResizeWindow(self->display, self->host, unsigned(width), unsigned(height));
    XSync(self->display, False);
    return 0;
  }

  Display* display = nullptr;
  Window host = 0;
  void* module = nullptr;
  std::string bundlePath;
  const LV2UI_Descriptor* descriptor = nullptr;
  const LV2UI_Idle_Interface* idleInterface = nullptr;
  LV2UI_Handle handle = nullptr;
  LV2UI_Widget widget = nullptr;
  LV2UI_Resize resize{this, resized};
  LV2UI_Touch touch{this, touched};
  std::vector<PortWrite> gestures;
  std::pair<int, int> size{0, 0};
  std::vector<PortWrite> writes;
};

TEST_F(Lv2UiTest, ShowsTheVst2EditorForTheValuesTheHostSends) {
  EXPECT_EQ(open(false), nullptr) << "a UI without a parent window";
  handle = open();
  ASSERT_NE(handle, nullptr);
  ASSERT_NE(widget, nullptr);
  EXPECT_EQ(size, std::make_pair(kWidth, kHeight));

  // After a preset load the host sends the new port values; odd events are ignored.
  params::ProgramBank bank;
  params::writeFactoryPresets(bank);
  for (uint32_t i = 0; i < 38; ++i) send(i, bank.programs[5].values[i]);
  send(lv2::kMidiPort, 0.5f);
  send(99, 0.5f);
  send(params::kVolume, 0.9f, 2);
  send(params::kVolume, 0.9f, sizeof(float), 17);

  auto reference = screenshot::createLinkedInstance();
  ASSERT_TRUE(reference);
  reference->dispatch(vst::effSetProgram, 0, 5);
  EXPECT_EQ(idleUntilShown(screenshot::renderEditor(*reference)), 0u);
  EXPECT_TRUE(writes.empty()) << "notifications are not echoed back";
}

TEST_F(Lv2UiTest, XdotoolDragWritesTheVolumePort) {
  if (!onPath("xdotool")) GTEST_SKIP() << "xdotool is not installed";
  handle = open();
  ASSERT_NE(handle, nullptr);
  idle();
  const std::vector<CPoint> path = volumeDragPath();
  ASSERT_TRUE(x11_editor_window::xdotoolDrag(window(), path, [&] { idle(); }));

  // Only the Volume port is written, as a float control value, ending where
  // the VST 2 editor's same drag ends.
  ASSERT_FALSE(writes.empty());
  for (const PortWrite& w : writes) {
    EXPECT_EQ(w.port, uint32_t(kVolume));
    EXPECT_EQ(w.size, sizeof(float));
    EXPECT_EQ(w.format, 0u);
  }
  // The drag is one gesture on that port.
  ASSERT_EQ(gestures.size(), 2u);
  EXPECT_EQ(gestures[0].port, uint32_t(kVolume));
  EXPECT_EQ(gestures[0].format, 1u);
  EXPECT_EQ(gestures[1].port, uint32_t(kVolume));
  EXPECT_EQ(gestures[1].format, 0u);
  const DragResult expected = headlessDrag(path);
  EXPECT_EQ(writes.back().value, expected.value);
  EXPECT_NEAR(writes.back().value, 2.0f / 3.0f, 0.02f);
  EXPECT_EQ(idleUntilShown(expected.shown), 0u);
}

}  // namespace
