// Shared pieces of the toolkit tests: a frame on the headless window layer, a
// clock that only moves when told, an editor that records its calls and a
// listener that behaves like the editor's.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "toolkit/control.h"
#include "toolkit/control_listener.h"
#include "toolkit/drag_idle_hook.h"
#include "toolkit/editor_host.h"
#include "toolkit/frame.h"
#include "toolkit/idle_clock.h"
#include "toolkit/window_headless.h"

class FakeClock : public IdleClock {
 public:
  uint32_t milliseconds() override { return now; }
  void sleep(uint32_t ms) override {
    now += ms;
    slept += ms;
  }
  uint32_t now = 1000;
  uint32_t slept = 0;
};

class RecordingEditor : public CEditorHost {
 public:
  explicit RecordingEditor(IdleClock& clock) : hook(clock) {}
  void beginEdit(int32_t tag) override { edits.push_back(tag + 1000); }
  void endEdit(int32_t tag) override { edits.push_back(-(tag + 1000)); }
  void doIdleStuff() override {
    ++hookRuns;
    hook.run(*this, frame);
  }
  void idle() override {
    ++idles;
    if (frame) frame->idle();
  }
  void masterIdle() override {
    ++masterIdles;
    inIdleDuringMaster = hook.isInIdle();
  }

  DragIdleHook hook;
  CFrame* frame = nullptr;
  std::vector<int32_t> edits;  // tag + 1000 at begin, −(tag + 1000) at end
  int hookRuns = 0;
  int idles = 0;
  int masterIdles = 0;
  bool inIdleDuringMaster = false;
};

// Like the editor: records the change and redraws a mouse-changed control at once.
class RecordingListener : public CControlListener {
 public:
  void valueChanged(CDrawContext* context, CControl* control) override {
    values.push_back(control->getValue());
    contexts.push_back(context != nullptr);
    if (context) control->update(context);
  }
  std::vector<float> values;
  std::vector<bool> contexts;
};

class FrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto w = std::make_unique<HeadlessWindow>(CRect(0, 0, 300, 200));
    window = w.get();
    frame = std::make_unique<CFrame>(CRect(0, 0, 300, 200), std::move(w), &editor);
    editor.frame = frame.get();
  }
  void TearDown() override {
    editor.frame = nullptr;
    frame.reset();
  }

  FakeClock clock;
  RecordingEditor editor{clock};
  RecordingListener listener;
  HeadlessWindow* window = nullptr;
  std::unique_ptr<CFrame> frame;
};
