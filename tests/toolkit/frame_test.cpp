// The frame: press, key and drop routing, idle redraw of dirty views, paint
// requests and the drag idle hook's pacing.
#include <string>

#include "toolkit/draw_context.h"
#include "toolkit/key_codes.h"
#include "toolkit_fixture.h"

namespace {

// A view that records what reaches it and may claim keys.
class ProbeView : public CView {
 public:
  ProbeView(const CRect& r, std::string* log, char name, bool handlesKeys = false)
      : CView(r), log(log), name(name), handlesKeys(handlesKeys) {}
  void draw(CDrawContext* context) override {
    ++draws;
    context->setFillColor(CColor{uint8_t(name), 0, 0, 0});
    context->fillRect(CRect(size.left - 1, size.top - 1, size.right, size.bottom));
    CView::draw(context);
  }
  void mouse(CDrawContext* context, CPoint& where, int32_t buttons) override {
    *log += name;
    pressAt = where;
    pressButtons = buttons;
    context->getMouseLocation(readBack);
  }
  int32_t onKeyDown(KeyStroke&) override {
    *log += name;
    return handlesKeys ? 1 : -1;
  }
  bool onDrop(const CDropItems& drop, const CPoint& where) override {
    *log += name;
    dropAt = where;
    dropped = drop.count();
    return true;
  }
  std::string* log;
  char name;
  bool handlesKeys;
  int draws = 0;
  CPoint pressAt, readBack, dropAt;
  int32_t pressButtons = 0;
  int dropped = 0;
};

class RoutingTest : public FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    // Frame: a (alone), container P at (100, 10) holding b then c, d on top of a.
    a = new ProbeView(CRect(0, 0, 50, 50), &log, 'a');
    panel = new CViewContainer(CRect(100, 10, 200, 90));
    b = new ProbeView(CRect(0, 0, 40, 40), &log, 'b');
    c = new ProbeView(CRect(10, 10, 60, 60), &log, 'c');
    d = new ProbeView(CRect(20, 20, 40, 40), &log, 'd');
    frame->addView(a);
    panel->addView(b);
    panel->addView(c);
    frame->addView(panel);
    frame->addView(d);
  }
  std::string log;
  ProbeView *a, *b, *c, *d;
  CViewContainer* panel;
};

TEST_F(RoutingTest, PressesReachTheTopmostViewInItsContainersCoordinates) {
  window->scriptPointer({{CPoint(125, 35), kLButton}});
  window->press(CPoint(115, 25), kRButton | kShift);  // inside b and c: c was added later
  EXPECT_EQ(log, "c");
  EXPECT_EQ(c->pressAt, CPoint(15, 15));
  EXPECT_EQ(c->pressButtons, kRButton | kShift);
  EXPECT_EQ(c->readBack, CPoint(25, 25));   // the pointer, read in the same coordinates
  window->press(CPoint(25, 25), kMButton);  // d lies over a
  window->press(CPoint(5, 5), kLButton);
  window->press(CPoint(60, 95), kLButton);  // nothing there
  window->press(CPoint(5, 5), 0);           // no button: no press
  EXPECT_EQ(log, "cda");
  // Presses waiting in the window are delivered by the frame's idle.
  window->queuePress(CPoint(30, 30), kLButton);
  EXPECT_EQ(log, "cda");
  frame->idle();
  EXPECT_EQ(log, "cdad");
}

TEST_F(RoutingTest, KeysGoToTheFocusThenFromTheLastAddedBack) {
  KeyStroke key{0, vkey::kUp, 0};
  EXPECT_EQ(frame->onKeyDown(key), -1);
  EXPECT_EQ(log, "dbca");  // d, then the panel's children in adding order, then a
  log.clear();
  c->handlesKeys = true;
  EXPECT_EQ(frame->onKeyDown(key), 1);
  EXPECT_EQ(log, "dbc");
  log.clear();
  frame->setFocusView(a);
  EXPECT_EQ(frame->onKeyDown(key), 1);
  EXPECT_EQ(log, "adbc");
  // A removed view loses the focus.
  frame->removeView(a);
  EXPECT_EQ(frame->getFocusView(), nullptr);
}

TEST_F(RoutingTest, DropsReachTheViewUnderTheDropPoint) {
  CDropItems files{CDropKind::kFiles, {"/tmp/a.wav", "/tmp/b.wav", "/tmp/c.wav"}};
  window->drop(files, CPoint(150, 60));
  EXPECT_EQ(log, "c");
  EXPECT_EQ(c->dropAt, CPoint(50, 50));
  EXPECT_EQ(c->dropped, 3);
  window->drop(files, CPoint(300, 300));
  EXPECT_EQ(log, "c");
}

TEST_F(RoutingTest, IdleRedrawsOnlyDirtyViewsAndShowsThem) {
  frame->idle();  // first time: everything
  EXPECT_EQ(a->draws + b->draws + c->draws + d->draws, 4);
  EXPECT_EQ(window->screen().pixel(130, 40), (CColor{'c', 0, 0, 0}.toPixel()));
  frame->idle();
  EXPECT_EQ(a->draws + b->draws + c->draws + d->draws, 4);

  b->setDirty();
  const int shown = window->showCount();
  frame->idle();
  EXPECT_EQ(b->draws, 2);
  EXPECT_EQ(a->draws + c->draws + d->draws, 3);
  EXPECT_EQ(window->showCount(), shown + 1);
  // b is drawn over c on the canvas now (its fill covers its rectangle's interior).
  EXPECT_EQ(window->screen().pixel(115, 25), (CColor{'b', 0, 0, 0}.toPixel()));
}

TEST_F(RoutingTest, PaintRequestsShowTheCanvas) {
  frame->idle();
  CBitmap* before = new CBitmap(1, 1);
  window->requestPaint(CRect(0, 0, 300, 200));
  EXPECT_EQ(window->pendingPaints(), 1);
  EXPECT_TRUE(frame->handlePendingPaint());
  EXPECT_FALSE(frame->handlePendingPaint());
  EXPECT_EQ(window->screen().pixel(10, 10), (CColor{'a', 0, 0, 0}.toPixel()));
  before->forget();
}

// A control whose press runs a tracking loop like the knob's.
class Tracker : public CControl {
 public:
  using CControl::CControl;
  void mouse(CDrawContext* context, CPoint& where, int32_t buttons) override {
    while (buttons & kLButton) {
      ++steps;
      context->getMouseLocation(where);
      frame->doIdleStuff();
      buttons = frame->getCurrentMouseButtons();
    }
  }
  int steps = 0;
};

TEST_F(FrameTest, DragIdleHookRunsAtMostEveryFiftyMillisecondsPacedByFourMillisecondSleeps) {
  auto* t = new Tracker(CRect(0, 0, 10, 10));
  frame->addView(t);
  std::vector<PointerState> held(40, PointerState{CPoint(5, 5), kLButton});
  window->scriptPointer(held);
  window->press(CPoint(5, 5), kLButton);
  EXPECT_EQ(t->steps, 41);
  // Each step within 100 ms of the last run sleeps 4 ms; the idle work runs
  // once 50 ms have passed: at 52 ms (13 sleeps) and 104 ms (26 sleeps)...
  EXPECT_EQ(clock.slept, 41u * 4u);
  EXPECT_EQ(editor.masterIdles, 3);  // 52, 104, 156 ms
  EXPECT_EQ(editor.idles, 3);
  EXPECT_TRUE(editor.inIdleDuringMaster);
  EXPECT_FALSE(editor.hook.isInIdle());

  // After a quiet spell of 100 ms or more the work runs at once, unpaced.
  clock.now += 500;
  const uint32_t slept = clock.slept;
  window->scriptPointer({});
  window->press(CPoint(5, 5), kLButton);
  EXPECT_EQ(clock.slept, slept);
  EXPECT_EQ(editor.masterIdles, 4);
}

}  // namespace
