// A view that paints its rectangle red and records what reaches it: the
// window-layer tests check presses and drops through it.
#pragma once

#include "toolkit/draw_context.h"
#include "toolkit/drop_items.h"
#include "toolkit/view.h"

class Probe : public CView {
 public:
  using CView::CView;
  void draw(CDrawContext* context) override {
    context->setFillColor(CColor{255, 0, 0, 0});
    context->fillRect(CRect(size.left - 1, size.top - 1, size.right, size.bottom));
    CView::draw(context);
  }
  void mouse(CDrawContext*, CPoint& where, int32_t buttons) override {
    pressAt = where;
    pressButtons = buttons;
  }
  bool onDrop(const CDropItems& drop, const CPoint& where) override {
    dropped = drop;
    dropAt = where;
    return true;
  }
  CPoint pressAt{-1, -1}, dropAt{-1, -1};
  int32_t pressButtons = 0;
  CDropItems dropped;
};
