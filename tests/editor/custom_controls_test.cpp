// The editor's own views: panel rendering, the choice switch, the bar and the
// caption's file drops.
#include <cmath>
#include <cstring>

#include "editor/bar.h"
#include "editor/choice_switch.h"
#include "editor/editor_colors.h"
#include "editor/label.h"
#include "editor/panel.h"
#include "toolkit/offscreen_context.h"
#include "toolkit/toolkit_fixture.h"

namespace {

TEST(Panel, RendersRimBodyCornersAndTitleTab) {
  CPanel panel(CRect(0, 0, 120, 173), nullptr, panelGrey, panelBlue, rimGrey, 14, "Main", inkBlue);
  const COffscreenContext& img = panel.panelImage();
  auto at = [&](int x, int y) { return img.pixelAt(x, y); };
  const uint32_t grey = panelGrey.toPixel(), rim = rimGrey.toPixel(), body = panelBlue.toPixel();
  // Straight edges: rim x 1..2 / y 8..9, body from x 3 / y 10.
  EXPECT_EQ(at(0, 60), grey);
  EXPECT_EQ(at(1, 60), rim);
  EXPECT_EQ(at(2, 60), rim);
  EXPECT_EQ(at(3, 60), body);
  EXPECT_EQ(at(118, 60), rim);
  EXPECT_EQ(at(119, 60), grey);
  EXPECT_EQ(at(100, 7), grey);
  EXPECT_EQ(at(100, 8), rim);
  EXPECT_EQ(at(100, 9), rim);
  EXPECT_EQ(at(100, 10), body);
  EXPECT_EQ(at(100, 170), rim);
  EXPECT_EQ(at(100, 172), grey);
  // Rounded corners: the surroundings show in the corner squares.
  EXPECT_EQ(at(0, 7), grey);
  EXPECT_EQ(at(1, 8), grey);
  EXPECT_EQ(at(119, 172), grey);
  EXPECT_EQ(at(8, 15), body);
  // Tab: rim x 19..72 from row 1, body inside from x 21, open into the body.
  EXPECT_EQ(at(18, 3), grey);
  EXPECT_EQ(at(19, 3), rim);
  EXPECT_EQ(at(20, 3), rim);
  EXPECT_EQ(at(21, 3), body);
  EXPECT_EQ(at(72, 3), rim);
  EXPECT_EQ(at(73, 3), grey);
  EXPECT_EQ(at(19, 9), body);
  EXPECT_EQ(at(40, 1), rim);
  EXPECT_EQ(at(40, 0), grey);
  // The title is drawn in the tab, in the title colour.
  int ink = 0;
  for (int y = 1; y < 13; ++y)
    for (int x = 23; x < 68; ++x) ink += at(x, y) != body;
  EXPECT_GT(ink, 10);
}

class SwitchTest : public FrameTest {
 protected:
  CChoiceSwitch* make(int entries, const CRect& r) {
    auto* s = new CChoiceSwitch(r, &listener, 19, "A > B", "A > B", inkBlue, gold, inkBlue,
                                panelBlue, 0, 2);
    const char* more[] = {"B > A", "Output", "4", "5", "6", "7", "8", "9", "10", "11"};
    for (int i = 1; i < entries; ++i) s->addEntry(more[i - 1], more[i - 1]);
    frame->addView(s);
    return s;
  }
};

TEST_F(SwitchTest, ValueSelectsAnEntryWithoutGoingOutOfRange) {
  CChoiceSwitch* two = make(2, CRect(10, 10, 48, 36));
  two->setValue(0.0f);
  EXPECT_EQ(two->selectedIndex(), 0);
  two->setValue(0.5f);
  EXPECT_EQ(two->selectedIndex(), 0);
  two->setValue(0.5002f);
  EXPECT_EQ(two->selectedIndex(), 1);
  two->setValue(1.0f);
  EXPECT_EQ(two->selectedIndex(), 1);
  CChoiceSwitch* three = make(3, CRect(60, 10, 98, 49));
  three->setValue(1.0f / 3.0f + 0.00005f);
  EXPECT_EQ(three->selectedIndex(), 0);
  three->setValue(1.0f / 3.0f + 0.0002f);
  EXPECT_EQ(three->selectedIndex(), 1);
  CChoiceSwitch* full = make(11, CRect(110, 0, 148, 100));
  EXPECT_EQ(full->getCount(), 10);
}

TEST_F(SwitchTest, PressSendsTheRawPositionAndCellsLeaveGaps) {
  CChoiceSwitch* s = make(2, CRect(10, 10, 48, 36));
  s->setValue(1.0f);
  frame->idle();
  window->press(CPoint(20, 10), kRButton);  // top row
  EXPECT_EQ(listener.values, std::vector<float>{0.0f});
  window->press(CPoint(20, 35), kLButton);  // bottom row
  EXPECT_FLOAT_EQ(listener.values.back(), 25.0f / 26.0f);
  EXPECT_TRUE(editor.edits.empty());

  // 13-pixel cells: interiors of the cell rectangles, rows 2..11 and 15..24,
  // x 1..36 of the 38 columns; the gaps are left unpainted.
  const CBitmap& c = frame->getCanvas();
  const uint32_t cell = inkBlue.toPixel();
  EXPECT_EQ(c.pixel(10 + 1, 10 + 2), cell);
  EXPECT_EQ(c.pixel(10 + 36, 10 + 11), cell);
  EXPECT_EQ(c.pixel(10 + 1, 10 + 15), cell);
  EXPECT_EQ(c.pixel(10 + 36, 10 + 24), cell);
  EXPECT_NE(c.pixel(10 + 37, 10 + 11), cell);
  EXPECT_NE(c.pixel(10 + 37, 10 + 24), cell);
  for (int y : {0, 1, 12, 13, 14, 25}) EXPECT_NE(c.pixel(10 + 5, 10 + y), cell) << y;
  EXPECT_NE(c.pixel(10 + 0, 10 + 5), cell);
}

class BarTest : public FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    bar = new CBar(CRect(20, 0, 34, 120), &listener, 34, inkBlue, gold, CBar::kBipolar);
    frame->addView(bar);
  }
  // Rows of column 6 of the bar that show the bar colour.
  std::vector<int> goldRows() {
    frame->idle();
    std::vector<int> rows;
    for (int y = 0; y < 120; ++y)
      if (frame->getCanvas().pixel(20 + 6, y) == gold.toPixel()) rows.push_back(y);
    return rows;
  }
  CBar* bar = nullptr;
};

TEST_F(BarTest, BipolarBarGrowsFromTheCentreRow) {
  bar->setValue(0.5f);
  EXPECT_EQ(goldRows(), std::vector<int>{59});
  for (int x = 0; x < 14; ++x)
    EXPECT_EQ(frame->getCanvas().pixel(20 + x, 59) == gold.toPixel(), x >= 2 && x <= 11) << x;
  bar->setValue(1.0f);
  const auto up = goldRows();
  EXPECT_EQ(up.front(), 2);
  EXPECT_EQ(up.back(), 59);
  EXPECT_EQ(up.size(), 58u);
  bar->setValue(0.0f);
  const auto down = goldRows();
  EXPECT_EQ(down.front(), 59);
  EXPECT_EQ(down.back(), 117);
  EXPECT_EQ(down.size(), 59u);
}

TEST_F(BarTest, ControlClickRestoresTheDefaultAbsoluteDragFollowsThePointer) {
  bar->setValue(0.9f);
  frame->idle();
  window->press(CPoint(25, 100), kLButton | kControl);
  EXPECT_EQ(listener.values, std::vector<float>{0.5f});
  window->press(CPoint(25, 100), kLButton | kControl);
  EXPECT_EQ(listener.values.size(), 1u);
  EXPECT_TRUE(editor.edits.empty());

  // Absolute drag: p = (y − top − 2) / (h − 4), inverted for a bipolar bar.
  window->scriptPointer({{CPoint(25, 60), kLButton}, {CPoint(25, -50), kLButton}});
  window->press(CPoint(25, 31), kLButton | kRButton);
  ASSERT_EQ(listener.values.size(), 4u);
  EXPECT_FLOAT_EQ(listener.values[1], 0.75f);
  EXPECT_FLOAT_EQ(listener.values[2], 1.0f - 58.0f / 116.0f);
  EXPECT_FLOAT_EQ(listener.values[3], 1.0f);
  EXPECT_EQ(editor.edits, (std::vector<int32_t>{1034, -1034}));
  EXPECT_EQ(frame->getFocusView(), nullptr);
}

TEST_F(BarTest, FineModesCreepTowardThePointer) {
  bar->setValue(0.5f);
  frame->idle();
  window->press(CPoint(25, 2), kRButton | kShift);  // above the value: one small step up
  EXPECT_FLOAT_EQ(bar->getValue(), 0.5f + 0.000025f);

  // Held still at p = 0.5 + 0.0005: two steps up, then dithering around it.
  bar->setValue(0.5f);
  const float target = 0.5f + 0.0005f;
  const int y = int(std::lround(2 + (1.0f - target) * 116.0f));
  const float p = 1.0f - float(y - 2) / 116.0f;
  std::vector<PointerState> held(12, PointerState{CPoint(25, y), kLButton | kShift});
  window->scriptPointer(held);
  window->press(CPoint(25, y), kLButton | kShift);
  EXPECT_EQ(frame->getFocusView(), bar);
  EXPECT_EQ(editor.edits, (std::vector<int32_t>{1034, -1034}));
  EXPECT_LE(std::fabs(bar->getValue() - p), 0.00025f + 1e-6f);
  float lowest = 1.0f, highest = 0.0f;
  for (size_t i = 4; i < listener.values.size(); ++i) {
    lowest = std::min(lowest, listener.values[i]);
    highest = std::max(highest, listener.values[i]);
  }
  EXPECT_NEAR(highest - lowest, 0.00025f, 1e-6f);
  EXPECT_EQ(clock.slept, 13u * 4u);  // each step paced by the drag idle hook
}

TEST_F(FrameTest, CaptionShowsFilesDroppedOnIt) {
  auto* label = new CLabel(CRect(100, 40, 150, 52), "Volume");
  frame->addView(label);
  frame->idle();
  CDropItems files{CDropKind::kFiles, {"/home/u/one.wav", "/home/u/two.wav", "/x"}};
  window->drop(files, CPoint(125, 46));
  EXPECT_STREQ(label->getText(), "3 : /home/u/one.wav at 25");
  EXPECT_TRUE(label->isDirty());
  CDropItems text{CDropKind::kText, {"hello"}};
  EXPECT_TRUE(label->onDrop(text, CPoint(125, 46)));
  EXPECT_STREQ(label->getText(), "3 : /home/u/one.wav at 25");
  CDropItems longPath{CDropKind::kFiles, {std::string(400, 'a')}};
  label->onDrop(longPath, CPoint(100, 46));
  EXPECT_EQ(std::strlen(label->getText()), 255u);
}

}  // namespace
