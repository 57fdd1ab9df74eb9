// A host may change parameters from its automation thread while its GUI
// thread idles the open editor. Built with ThreadSanitizer this test fails on
// any data race; in every build the editor ends up showing the last values.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "editor/synth_editor.h"
#include "editor/value_display.h"
#include "host/audio_effect.h"
#include "screenshot/editor_snapshot.h"
#include "toolkit/control.h"
#include "toolkit/frame.h"
#include "toolkit/window_headless.h"

namespace {

constexpr int32_t kParams = SynthEditor::kParamCount;

TEST(EditorThreads, ParameterChangesWhileTheEditorIdles) {
  auto plugin = screenshot::createLinkedInstance();
  ASSERT_TRUE(plugin);
  SynthEditor* editor = screenshot::editorOf(*plugin);
  ASSERT_NE(editor, nullptr);
  ASSERT_TRUE(editor->openOn(std::make_unique<HeadlessWindow>(CRect(0, 0, 851, 311))));
  editor->idle();

  std::atomic<bool> stop{false};
  std::atomic<unsigned> steps{0};
  std::thread automation([&] {
    for (unsigned step = 0; !stop; ++step) {
      const int32_t index = int32_t(step % kParams);
      plugin->setParameter(index, float((step * 37) % 101) / 100.0f);
      if (step % 13 == 0) plugin->parameterDisplay(index);
      steps = step + 1;
    }
  });
  // The host's GUI thread idles (redrawing what changed) while changes arrive.
  while (steps == 0) std::this_thread::yield();
  for (int i = 0; i < 150; ++i) plugin->dispatch(vst::effEditIdle);
  const unsigned duringIdles = steps;
  stop = true;
  automation.join();
  EXPECT_GT(duringIdles, unsigned(kParams));

  // One more idle brings every control and readout to the stored value.
  editor->idle();
  for (int32_t i = 0; i < kParams; ++i) {
    const ParamBinding& b = editor->binding(i);
    ASSERT_NE(b.control, nullptr);
    EXPECT_FLOAT_EQ(b.control->getValue(), plugin->getParameter(i)) << i;
    EXPECT_FALSE(b.control->isDirty()) << i;
    if (b.display) {
      EXPECT_EQ(std::string(b.display->getText()), plugin->parameterDisplay(i)) << i;
    }
  }
  editor->close();
}

}  // namespace
