// Three threads at once, as a busy host drives an instance: automation with
// program changes, chunks and program copies; events and rendering; and the
// GUI thread idling the open editor. Built with ThreadSanitizer this fails on
// any data race; in every build the audio stays finite and the editor ends
// up showing the stored values.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

#include "editor/synth_editor.h"
#include "host/audio_effect.h"
#include "screenshot/editor_snapshot.h"
#include "toolkit/control.h"
#include "toolkit/window_headless.h"

namespace {

TEST(ConcurrencyStress, AutomationRenderingAndEditorIdleTogether) {
  auto plugin = screenshot::createLinkedInstance();
  ASSERT_TRUE(plugin);
  plugin->start();
  auto* editor = dynamic_cast<SynthEditor*>(AudioEffect::fromRecord(plugin->effect())->getEditor());
  ASSERT_NE(editor, nullptr);
  std::vector<uint8_t> bank = plugin->getChunk(false);
  std::vector<uint8_t> program = plugin->getChunk(true);
  ASSERT_EQ(bank.size(), 5632u);
  ASSERT_EQ(program.size(), 176u);

  std::atomic<bool> stop{false};
  std::thread automation([&] {
    for (unsigned step = 0; !stop; ++step) {
      for (int32_t index = 0; index < 38; ++index)
        plugin->setParameter(index, float((step * 37 + unsigned(index) * 11) % 101) / 100.0f);
      if (step % 5 == 0) plugin->dispatch(vst::effSetProgram, 0, step % 8);
      if (step % 7 == 0) plugin->setChunk(step % 2 ? program : bank, step % 2 == 1);
      if (step % 11 == 0) plugin->dispatch(vst::effCopyProgram, int32_t(8 + step % 24));
    }
  });
  std::atomic<bool> finite{true};
  std::thread audio([&] {
    constexpr int kBlock = 128;
    std::vector<float> silence(kBlock, 0.0f), left(kBlock), right(kBlock);
    float* ins[2] = {silence.data(), silence.data()};
    float* outs[2] = {left.data(), right.data()};
    for (unsigned block = 0; !stop; ++block) {
      if (block % 8 == 0)
        plugin->sendMidi({{0, 0x90, uint8_t(40 + block % 40), 100},
                          {3, 0xB0, 1, uint8_t(block % 128)},
                          {5, 0xE0, 0, uint8_t(block % 128)}});
      plugin->processReplacing(ins, outs, kBlock);
      for (float s : left)
        if (!std::isfinite(s)) finite = false;
    }
  });
  // The GUI thread: the editor opens while the others run (a change made while
  // its controls are built must not be lost), idles, closes and opens again.
  for (int round = 0; round < 3; ++round) {
    ASSERT_TRUE(editor->openOn(std::make_unique<HeadlessWindow>(CRect(0, 0, 851, 311))));
    for (int i = 0; i < 40; ++i) plugin->dispatch(vst::effEditIdle);
    if (round < 2) editor->close();
  }
  stop = true;
  automation.join();
  audio.join();
  EXPECT_TRUE(finite);
  editor->idle();
  for (int32_t i = 0; i < SynthEditor::kParamCount; ++i)
    EXPECT_FLOAT_EQ(editor->binding(i).control->getValue(), plugin->getParameter(i)) << i;
  editor->close();
}

}  // namespace
