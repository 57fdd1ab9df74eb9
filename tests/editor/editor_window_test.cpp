// The editor window: building from the current state, following parameter
// changes, reporting user changes, key routing and idle.
#include <cstring>
#include <thread>

#include "editor/bar.h"
#include "editor/label.h"
#include "editor/panel.h"
#include "editor/value_display.h"
#include "editor_fixture.h"
#include "toolkit/key_codes.h"
#include "toolkit/knob.h"

namespace {

TEST_F(EditorTest, RectComesFromTheBackgroundImage) {
  vst::ERect* r = nullptr;
  ASSERT_TRUE(editor->getRect(&r));
  EXPECT_EQ(r->top, 0);
  EXPECT_EQ(r->left, 0);
  EXPECT_EQ(r->bottom, 311);
  EXPECT_EQ(r->right, 851);
  EXPECT_EQ(plugin.getAeffect()->flags & vst::effFlagsHasEditor, vst::effFlagsHasEditor);
  EXPECT_EQ(editor->getFrame(), nullptr);
}

TEST_F(EditorTest, OpenShowsEveryParametersValueAndText) {
  for (int32_t i = 0; i < 38; ++i) plugin.values[size_t(i)] = float(i) / 40.0f;
  open();
  EXPECT_TRUE(editor->isUpdatePending());
  int readouts = 0;
  for (int32_t i = 0; i < 38; ++i) {
    const ParamBinding& b = editor->binding(i);
    ASSERT_NE(b.label, nullptr) << i;
    ASSERT_NE(b.control, nullptr) << i;
    EXPECT_EQ(b.control->getTag(), i);
    EXPECT_FLOAT_EQ(b.control->getValue(), float(i) / 40.0f);
    const bool selector = i == 11 || i == 19 || i == 37;
    EXPECT_EQ(b.display == nullptr, selector) << i;
    if (b.display) {
      EXPECT_EQ(std::string(b.display->getText()), displayText(i));
      ++readouts;
    }
  }
  EXPECT_EQ(readouts, 35);
  // Captions that repeat belong each to their own parameter.
  EXPECT_STREQ(editor->binding(4).label->getText(), "Decay");
  EXPECT_STREQ(editor->binding(14).label->getText(), "Decay");
  EXPECT_STREQ(editor->binding(28).label->getText(), "Decay");
  EXPECT_STREQ(editor->binding(36).label->getText(), "Voices");
  // Panels in building order, each with its cells.
  const char* titles[] = {"Main", "LFOs", "String A", "String B", "Filter", "Misc"};
  const int views[] = {12, 18, 18, 17, 32, 14};
  for (int p = 0; p < 6; ++p) {
    EXPECT_EQ(editor->getFrame()->getView(p), editor->panel(p)) << titles[p];
    EXPECT_EQ(editor->panel(p)->getNbViews(), views[p]) << titles[p];
  }
}

TEST_F(EditorTest, CellsSitWhereTheLayoutPutsThem) {
  open();
  // Main panel at (10, 130): the Volume knob cell at (15, 15).
  const ParamBinding& volume = editor->binding(35);
  EXPECT_EQ(volume.label->getViewSize(), CRect(9, 15, 59, 27));
  EXPECT_EQ(volume.control->getViewSize(), CRect(15, 29, 55, 69));
  EXPECT_EQ(volume.display->getViewSize(), CRect(9, 71, 59, 83));
  EXPECT_EQ(editor->panel(0)->getViewSize(), CRect(10, 130, 130, 303));
  // The Mix bar cell: caption, the 14 × 120 bar and its readout.
  const ParamBinding& mix = editor->binding(34);
  EXPECT_EQ(mix.label->getViewSize(), CRect(9, 15, 39, 27));
  EXPECT_EQ(mix.control->getViewSize(), CRect(17, 29, 31, 149));
  EXPECT_EQ(mix.display->getViewSize(), CRect(11, 151, 41, 163));
  EXPECT_EQ(static_cast<CBar*>(mix.control)->getStyle(), CBar::kVertical | CBar::kBipolar);
  EXPECT_EQ(editor->binding(19).control->getViewSize(), CRect(55, 32, 93, 71));
}

TEST_F(EditorTest, ParameterChangesWhileClosedWaitForTheNextOpen) {
  editor->setParameter(3, 0.9f);  // the plug-in has not stored it; nothing happens
  EXPECT_FALSE(editor->isUpdatePending());
  plugin.setParameter(3, 0.9f);
  EXPECT_FALSE(editor->isUpdatePending());
  open();
  EXPECT_FLOAT_EQ(editor->binding(3).control->getValue(), 0.9f);
  editor->close();
  EXPECT_EQ(editor->getFrame(), nullptr);
  editor->setParameter(99, 0.5f);  // outside the table: ignored
}

TEST_F(EditorTest, ControlsShowTheStoredValueAndReadoutsRedrawAtIdle) {
  open();
  editor->idle();
  EXPECT_FALSE(editor->isUpdatePending());
  plugin.setParameter(FakePlugin::kQuantised, 0.5f);  // stored as 4/7
  const ParamBinding& voices = editor->binding(FakePlugin::kQuantised);
  EXPECT_FLOAT_EQ(voices.control->getValue(), 4.0f / 7.0f);
  EXPECT_EQ(std::string(voices.display->getText()), displayText(FakePlugin::kQuantised));
  EXPECT_TRUE(voices.display->isDirty() && voices.control->isDirty());
  EXPECT_TRUE(editor->isUpdatePending());
  editor->idle();
  EXPECT_FALSE(voices.display->isDirty() || voices.control->isDirty());
  EXPECT_FALSE(editor->isUpdatePending());
}

TEST_F(EditorTest, ChangesFromAnotherThreadAreShownByTheNextIdle) {
  open();
  editor->idle();
  std::thread automation([&] { plugin.setParameter(3, 0.8f); });
  automation.join();
  const ParamBinding& cutoff = editor->binding(3);
  EXPECT_FLOAT_EQ(cutoff.control->getValue(), 0.25f);
  EXPECT_EQ(std::string(cutoff.display->getText()), "3:0.250");
  EXPECT_TRUE(editor->isUpdatePending());
  editor->idle();
  EXPECT_FLOAT_EQ(cutoff.control->getValue(), 0.8f);
  EXPECT_EQ(std::string(cutoff.display->getText()), displayText(3));
  EXPECT_FALSE(cutoff.control->isDirty() || cutoff.display->isDirty());
}

TEST_F(EditorTest, KnobDragAutomatesAndRewritesTheReadoutAtOnce) {
  open();
  editor->idle();
  const ParamBinding& bright = editor->binding(0);
  const CPoint centre = inWindow(bright.control, 20, 20);
  window->press(CPoint(centre.h, centre.v - 15), kLButton);  // straight above: 0.5
  EXPECT_FLOAT_EQ(plugin.values[0], 0.5f);
  EXPECT_EQ(plugin.automated, std::vector<int32_t>{0});
  EXPECT_EQ(plugin.gestures, (std::vector<int32_t>{1000, -1000}));
  EXPECT_EQ(std::string(bright.display->getText()), displayText(0));
  EXPECT_FALSE(bright.control->isDirty());  // drawn during the press
  EXPECT_TRUE(bright.display->isDirty());   // waits for idle
  EXPECT_EQ(editor->getFrame()->getFocusView(), bright.control);
}

TEST_F(EditorTest, ArrowKeysGoToTheFocusedKnobOrElseToVoices) {
  open();
  VstKeyCode up{0, vkey::kUp, 0};
  EXPECT_EQ(editor->onKeyDown(up), 1);
  EXPECT_NEAR(plugin.values[36], std::round((0.25f + 0.1f) * 7.0f) / 7.0f, 1e-6);
  const ParamBinding& warp = editor->binding(22);
  const CPoint centre = inWindow(warp.control, 20, 20);
  window->press(CPoint(centre.h, centre.v - 15), kLButton);
  EXPECT_EQ(editor->onKeyDown(up), 1);
  EXPECT_NEAR(plugin.values[22], 0.6f, 1e-6);
  VstKeyCode letter{'x', 0, 0};
  EXPECT_EQ(editor->onKeyDown(letter), -1);
  editor->close();
  EXPECT_EQ(editor->onKeyDown(up), -1);
  EXPECT_EQ(editor->onKeyUp(up), -1);
}

TEST_F(EditorTest, KnobModeIsSharedByTheProcess) {
  EXPECT_TRUE(editor->setKnobMode(kLinearMode));
  EXPECT_EQ(CFrame::getKnobMode(), kLinearMode);
  open();
  const ParamBinding& warp = editor->binding(22);
  const CPoint centre = inWindow(warp.control, 20, 20);
  window->scriptPointer({{CPoint(centre.h + 40, centre.v), kLButton}});
  window->press(centre, kLButton);
  EXPECT_NEAR(plugin.values[22], 0.25f + 0.2f, 1e-6);
  editor->setKnobMode(kCircularMode);
}

TEST_F(EditorTest, DragHookPacesTheHostIdleAndIgnoresReentry) {
  open();
  editor->idle();
  plugin.reenter = true;
  plugin.setParameter(5, 0.75f);
  clock.now += 200;
  editor->doIdleStuff();  // due at once: the editor's idle, then the host's
  EXPECT_EQ(plugin.masterIdles, 1);
  EXPECT_FALSE(editor->binding(5).display->isDirty());
  EXPECT_TRUE(plugin.pendingAfterReentry);  // the host's call of idle did nothing
  editor->idle();
  EXPECT_FALSE(editor->isUpdatePending());
  editor->doIdleStuff();  // 4 ms later: not due
  EXPECT_EQ(plugin.masterIdles, 1);
  EXPECT_EQ(clock.slept, 4u);
}

TEST_F(EditorTest, HostClosingTheEditorDuringADragEndsTheDrag) {
  // The host's idle call, made from inside a knob's and then a bar's tracking
  // loop, closes the editor: the loop ends and the frame goes at the next idle.
  for (int32_t param : {22, 12}) {
    open();
    const CPoint at = inWindow(editor->binding(param).control, 10, 20);
    std::vector<PointerState> drag(200, PointerState{CPoint(at.h, at.v - 1), kLButton});
    window->scriptPointer(drag);
    plugin.closeOnIdle = true;
    clock.now += 200;  // the hook's first step is due at once
    window->press(at, kLButton);
    plugin.closeOnIdle = false;
    EXPECT_EQ(plugin.masterIdles, param == 22 ? 1 : 2) << param;
    EXPECT_EQ(plugin.gestures.back(), -(param + 1000)) << "the gesture ended";
    ASSERT_NE(editor->getFrame(), nullptr);
    editor->idle();
    EXPECT_EQ(editor->getFrame(), nullptr);
  }
}

}  // namespace
