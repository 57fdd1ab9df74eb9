// The editor as a host reaches it through the dispatcher of the loaded
// plug-in (without a parent window it runs on the headless window layer).
#include <cmath>

#include "plugin_fixture.h"
#include "toolkit/key_codes.h"

using namespace testing_support;

namespace {

TEST(PluginEditor, OpensFollowsKeysAndCloses) {
  auto plugin = newInstance();
  ASSERT_TRUE(plugin);
  EXPECT_TRUE(plugin->effect()->flags & vst::effFlagsHasEditor);
  vst::ERect* rect = nullptr;
  ASSERT_EQ(plugin->dispatch(vst::effEditGetRect, 0, 0, &rect), 1);
  ASSERT_NE(rect, nullptr);
  EXPECT_EQ(rect->bottom - rect->top, 311);
  EXPECT_EQ(rect->right - rect->left, 851);

  // Keys without a window are not used: the answer is 0, which hosts read as
  // "pass the key on".
  EXPECT_EQ(plugin->dispatch(vst::effEditKeyDown, 0, vkey::kUp, nullptr, 0.0f), 0);
  EXPECT_EQ(plugin->dispatch(vst::effEditKeyUp, 0, vkey::kUp, nullptr, 0.0f), 0);
  ASSERT_EQ(plugin->dispatch(vst::effEditOpen, 0, 0, nullptr), 1);
  plugin->dispatch(vst::effEditIdle);

  // Without a focused control an arrow key moves the "Voices" knob (36), and
  // the change reaches the host as automation.
  plugin->clearCalls();
  plugin->setParameter(36, 0.0f);
  EXPECT_EQ(plugin->dispatch(vst::effEditKeyDown, 0, vkey::kUp, nullptr, 0.0f), 1);
  bool automated = false;
  for (const auto& call : plugin->calls())
    automated |= call.opcode == vst::audioMasterAutomate && call.index == 36;
  EXPECT_TRUE(automated);
  EXPECT_GT(plugin->getParameter(36), 0.0f);
  // A key no view uses (the space bar) is left to the host, and a modifier
  // value that no int holds reads as none.
  EXPECT_EQ(plugin->dispatch(vst::effEditKeyDown, ' ', 0, nullptr, 0.0f), 0);
  for (float opt : {std::nanf(""), 1e30f, -1e30f, 2147483648.0f})
    EXPECT_EQ(plugin->dispatch(vst::effEditKeyUp, ' ', 0, nullptr, opt), 0);
  EXPECT_EQ(plugin->dispatch(vst::effSetEditKnobMode, 0, 2), 1);
  plugin->dispatch(vst::effEditIdle);
  plugin->dispatch(vst::effEditClose);
  EXPECT_EQ(plugin->dispatch(vst::effEditKeyDown, 0, vkey::kUp, nullptr, 0.0f), 0);
  // Opening again builds everything anew.
  ASSERT_EQ(plugin->dispatch(vst::effEditOpen, 0, 0, nullptr), 1);
  plugin->dispatch(vst::effEditIdle);
  plugin->dispatch(vst::effEditClose);
}

TEST(PluginEditor, ShowsAnyStoredValue) {
  // Knobs, bars and selectors convert the value to pixels and indices: values
  // no int can hold must not reach those conversions.
  auto plugin = newInstance();
  ASSERT_EQ(plugin->dispatch(vst::effEditOpen, 0, 0, nullptr), 1);
  for (float v : {std::nanf(""), HUGE_VALF, -HUGE_VALF, 3e38f, -3e38f}) {
    for (int32_t index = 0; index < 38; ++index) plugin->setParameter(index, v);
    plugin->dispatch(vst::effEditIdle);
  }
  plugin->dispatch(vst::effEditClose);
}

}  // namespace
