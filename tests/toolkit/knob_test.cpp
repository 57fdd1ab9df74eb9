// The rotary knob: handle placement, circular and linear drags, the
// Control-click default and arrow keys.
#include "toolkit/knob.h"

#include <cmath>

#include "resources/resource_data.h"
#include "toolkit/bitmap.h"
#include "toolkit/draw_context.h"
#include "toolkit/key_codes.h"
#include "toolkit_fixture.h"

namespace {

class KnobTest : public FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    face = new CBitmap(kKnobFaceImage);
    handle = new CBitmap(kKnobHandleImage);
    knob = new CKnob(CRect(40, 20, 80, 60), &listener, 7, face, handle);
    knob->setInsetValue(8);
    frame->addView(knob);
    face->forget();
    handle->forget();
    CFrame::setKnobMode(kCircularMode);
  }
  void TearDown() override {
    CFrame::setKnobMode(kCircularMode);
    FrameTest::TearDown();
  }
  // Presses at where with buttons, then holds still and releases.
  void pressAt(CPoint where, int32_t buttons) { window->press(where, buttons); }

  CBitmap* face = nullptr;
  CBitmap* handle = nullptr;
  CKnob* knob = nullptr;
  const CPoint centre{60, 40};
};

// The top-left corner where the knob's handle image lies on the drawn frame.
CPoint handleCorner(const CFrame& frame, const CBitmap& handle, CRect knobRect) {
  const CBitmap& canvas = frame.getCanvas();
  for (int y = knobRect.top; y + 7 <= knobRect.bottom; ++y)
    for (int x = knobRect.left; x + 7 <= knobRect.right; ++x) {
      bool same = true;
      for (int j = 0; j < 7 && same; ++j)
        for (int i = 0; i < 7 && same; ++i) same = canvas.pixel(x + i, y + j) == handle.pixel(i, j);
      if (same) return CPoint(x - knobRect.left, y - knobRect.top);
    }
  return CPoint(-1, -1);
}

TEST_F(KnobTest, HandleTravelsFromLowerLeftOverTheTopToLowerRight) {
  for (auto [value, corner] : {std::pair{0.0f, CPoint(9, 25)}, std::pair{0.5f, CPoint(17, 5)},
                               std::pair{1.0f, CPoint(25, 25)}}) {
    knob->setValue(value);
    ASSERT_TRUE(knob->isDirty());
    frame->idle();
    EXPECT_FALSE(knob->isDirty());
    EXPECT_EQ(handleCorner(*frame, *handle, knob->getViewSize()), corner) << value;
    // The face around the handle is the face image, copied opaque.
    EXPECT_EQ(frame->getCanvas().pixel(40, 20), face->pixel(0, 0));
  }
}

TEST_F(KnobTest, CircularPressTakesTheValueFromTheAngle) {
  pressAt(CPoint(centre.h, centre.v + 15), kLButton);  // straight below
  EXPECT_FLOAT_EQ(knob->getValue(), 0.0f);
  pressAt(CPoint(centre.h + 15, centre.v), kLButton);  // straight right
  EXPECT_NEAR(knob->getValue(), 5.0f / 6.0f, 1e-6);
  pressAt(CPoint(centre.h, centre.v - 15), kLButton);  // straight above
  EXPECT_NEAR(knob->getValue(), 0.5f, 1e-6);
  pressAt(CPoint(centre.h + 10, centre.v + 15), kLButton);  // right half of the gap
  EXPECT_FLOAT_EQ(knob->getValue(), 1.0f);
  // Each press is one gesture with its tag, and the knob takes the focus.
  EXPECT_EQ(editor.edits,
            (std::vector<int32_t>{1007, -1007, 1007, -1007, 1007, -1007, 1007, -1007}));
  EXPECT_EQ(frame->getFocusView(), knob);
  EXPECT_EQ(listener.values.size(), 4u);
}

TEST_F(KnobTest, CircularDragThroughTheGapPinsInsteadOfWrapping) {
  const int32_t l = kLButton;
  window->scriptPointer({{CPoint(centre.h + 10, centre.v + 15), l},  // right half of the gap
                         {CPoint(centre.h - 10, centre.v + 15), l},  // across to the left half
                         {CPoint(centre.h - 15, centre.v - 1), l},   // up the left side: ~0.17
                         {CPoint(centre.h, centre.v - 15), l}});     // top: 0.5, accepted
  pressAt(CPoint(centre.h + 15, centre.v - 1), l);                   // ~0.83
  ASSERT_GE(listener.values.size(), 3u);
  EXPECT_NEAR(listener.values[0], 0.82f, 0.01f);
  EXPECT_FLOAT_EQ(listener.values[1], 1.0f);  // the gap's right half
  // Left half would be 0: a fall of more than 0.5 pins to 1 (no change, no call);
  // 0.17 is still more than 0.5 below the last accepted 1; the top at 0.5 is accepted.
  EXPECT_FLOAT_EQ(listener.values.back(), 0.5f);
  for (float v : listener.values) EXPECT_TRUE(v == 0.5f || v >= 0.8f) << v;
}

TEST_F(KnobTest, ControlClickRestoresTheDefaultAndNotifiesOnce) {
  knob->setValue(0.2f);
  frame->idle();
  pressAt(centre, kLButton | kControl);
  EXPECT_FLOAT_EQ(knob->getValue(), 0.5f);
  EXPECT_EQ(listener.values, std::vector<float>{0.5f});
  pressAt(centre, kLButton | kControl);  // already there: no call
  EXPECT_EQ(listener.values.size(), 1u);
  EXPECT_TRUE(editor.edits.empty());
  // With another modifier it is a drag, and the right button alone does nothing.
  pressAt(CPoint(centre.h, centre.v + 15), kLButton | kControl | kShift);
  EXPECT_FLOAT_EQ(knob->getValue(), 0.0f);
  pressAt(CPoint(centre.h, centre.v - 15), kRButton);
  EXPECT_FLOAT_EQ(knob->getValue(), 0.0f);
}

TEST_F(KnobTest, LinearDragMovesTwoHundredPixelsPerRangeAndRebasesOnShift) {
  CFrame::setKnobMode(kLinearMode);
  knob->setValue(0.5f);
  frame->idle();
  const int32_t l = kLButton;
  window->scriptPointer({{CPoint(70, 40), l},              // 10 right: +0.05
                         {CPoint(70, 30), l},              // 10 up: +0.05 more
                         {CPoint(70, 30), l | kShift},     // shift: re-based, no jump
                         {CPoint(100, 30), l | kShift},    // 30 right at 1/300: +0.1
                         {CPoint(400, 30), l | kShift}});  // far right: limited to 1
  pressAt(CPoint(60, 40), l);
  ASSERT_GE(listener.values.size(), 4u);
  EXPECT_NEAR(listener.values[0], 0.55f, 1e-5);
  EXPECT_NEAR(listener.values[1], 0.60f, 1e-5);
  EXPECT_NEAR(listener.values[2], 0.70f, 1e-5);
  EXPECT_FLOAT_EQ(knob->getValue(), 1.0f);

  // Alt at the press selects the other mode: circular here.
  pressAt(CPoint(centre.h, centre.v + 15), l | kAlt);
  EXPECT_FLOAT_EQ(knob->getValue(), 0.0f);
  CFrame::setKnobMode(kCircularMode);
  window->scriptPointer({{CPoint(centre.h + 20, centre.v), l}});
  pressAt(CPoint(centre.h, centre.v), l | kAlt);  // linear, from the value at the press
  EXPECT_NEAR(knob->getValue(), 0.1f, 1e-5);
}

TEST_F(KnobTest, ArrowKeysStepByATenthOrAHundredthWithShift) {
  knob->setValue(0.5f);
  KeyStroke up{0, vkey::kUp, 0}, left{0, vkey::kLeft, vkey::kModifierShift};
  KeyStroke letter{'a', 0, 0};
  EXPECT_EQ(knob->onKeyDown(up), 1);
  EXPECT_NEAR(knob->getValue(), 0.6f, 1e-6);
  EXPECT_EQ(knob->onKeyDown(left), 1);
  EXPECT_NEAR(knob->getValue(), 0.59f, 1e-6);
  EXPECT_EQ(knob->onKeyDown(letter), -1);
  // Key changes reach the listener without a context; they are drawn at idle.
  EXPECT_EQ(listener.contexts, (std::vector<bool>{false, false}));
  for (int i = 0; i < 6; ++i) knob->onKeyDown(up);
  EXPECT_FLOAT_EQ(knob->getValue(), 1.0f);
}

}  // namespace
