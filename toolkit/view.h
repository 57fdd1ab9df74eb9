// A rectangle of the editor that draws itself and may take mouse presses,
// keys and drops. Its rectangle is in the coordinates of its container.
#pragma once

#include <atomic>
#include <cstdint>

#include "toolkit/drop_items.h"
#include "toolkit/rect.h"

class CDrawContext;
class CFrame;
struct KeyStroke;

class CView {
 public:
  explicit CView(const CRect& size);
  virtual ~CView();

  CView(const CView&) = delete;
  CView& operator=(const CView&) = delete;

  virtual void draw(CDrawContext* context);
  // A button press at where (container coordinates) with the buttons and
  // modifiers held at that moment; tracking loops read the pointer again.
  virtual void mouse(CDrawContext* context, CPoint& where, int32_t buttons);
  // Keys answer 1 when handled and −1 when not.
  virtual int32_t onKeyDown(KeyStroke& key);
  virtual int32_t onKeyUp(KeyStroke& key);
  // Answers whether the drop was accepted.
  virtual bool onDrop(const CDropItems& drop, const CPoint& where);
  // Draws the view if it is dirty and clears the flag.
  virtual void update(CDrawContext* context);

  virtual bool isDirty() const { return dirty; }
  virtual void setDirty(bool state = true) { dirty = state; }

  // Notices of joining and leaving a frame's view tree.
  virtual bool attached(CView* parent);
  virtual bool removed(CView* parent);
  bool isAttached() const { return frame != nullptr; }

  virtual bool isContainer() const { return false; }

  const CRect& getViewSize() const { return size; }
  void setViewSize(const CRect& rect) { size = rect; }
  CView* getParentView() const { return parent; }
  void setParentView(CView* view) { parent = view; }
  CFrame* getFrame() const { return frame; }

  void setMouseEnabled(bool state) { mouseEnabled = state; }
  bool getMouseEnabled() const { return mouseEnabled; }

 protected:
  CRect size;
  CView* parent = nullptr;
  CFrame* frame = nullptr;
  bool mouseEnabled = true;
  std::atomic<bool> dirty{true};
};
