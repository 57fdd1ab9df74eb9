// An editor on the headless window, attached to a stand-in plug-in that keeps
// 38 values, quantises one of them and records what the editor asks of it.
#pragma once

#include <array>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "editor/synth_editor.h"
#include "host/audio_effect_x.h"
#include "toolkit/frame.h"
#include "toolkit/toolkit_fixture.h"

class FakePlugin : public AudioEffectX {
 public:
  FakePlugin() : AudioEffectX(nullptr, 1, 38) { values.fill(0.25f); }

  // Like the instrument: store, then let the editor follow.
  void setParameter(int32_t index, float value) override {
    values[size_t(index)] = index == kQuantised ? std::round(value * 7.0f) / 7.0f : value;
    ++sets;
    if (editor) editor->setParameter(index, value);
  }
  float getParameter(int32_t index) override { return values[size_t(index)]; }
  void getParameterDisplay(int32_t index, char* text) override {
    std::snprintf(text, 24, "%d:%.3f", int(index), double(values[size_t(index)]));
  }
  void setParameterAutomated(int32_t index, float value) override {
    automated.push_back(index);
    AudioEffectX::setParameterAutomated(index, value);
  }
  bool beginEdit(int32_t index) override {
    gestures.push_back(index + 1000);
    return true;
  }
  bool endEdit(int32_t index) override {
    gestures.push_back(-(index + 1000));
    return true;
  }
  // With reenter set, the host calls the editor's idle from inside its own.
  void masterIdle() override {
    ++masterIdles;
    if (closeOnIdle && editor) editor->close();
    if (!reenter || !editor) return;
    auto* e = static_cast<SynthEditor*>(editor);
    e->postUpdate();
    e->idle();
    pendingAfterReentry = e->isUpdatePending();
  }

  static constexpr int32_t kQuantised = 36;
  std::array<float, 38> values{};
  std::vector<int32_t> automated;
  std::vector<int32_t> gestures;
  int sets = 0;
  int masterIdles = 0;
  bool reenter = false;
  bool closeOnIdle = false;  // the host closes the editor from its idle call
  bool pendingAfterReentry = false;
};

class EditorTest : public ::testing::Test {
 protected:
  void SetUp() override { editor = new SynthEditor(&plugin, clock); }
  void open() {
    auto w = std::make_unique<HeadlessWindow>(CRect(0, 0, 851, 311));
    window = w.get();
    ASSERT_TRUE(editor->openOn(std::move(w)));
  }
  std::string displayText(int32_t index) {
    char text[32];
    plugin.getParameterDisplay(index, text);
    return text;
  }
  // Window coordinates of a view inside a panel.
  CPoint inWindow(const CView* view, int32_t dx, int32_t dy) {
    const CRect& p = view->getParentView()->getViewSize();
    return CPoint(p.left + view->getViewSize().left + dx, p.top + view->getViewSize().top + dy);
  }

  FakeClock clock;
  FakePlugin plugin;
  SynthEditor* editor = nullptr;  // owned by the plug-in
  HeadlessWindow* window = nullptr;
};
