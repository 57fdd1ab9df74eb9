#include "editor/synth_editor.h"

#include <new>

#include "editor/bar.h"
#include "editor/choice_switch.h"
#include "editor/editor_colors.h"
#include "editor/label.h"
#include "editor/layout_table.h"
#include "editor/panel.h"
#include "editor/value_display.h"
#include "host/audio_effect_x.h"
#include "resources/resource_data.h"
#include "toolkit/bitmap.h"
#include "toolkit/frame.h"
#include "toolkit/idle_clock.h"
#include "toolkit/knob.h"
#include "toolkit/window_headless.h"

namespace {
constexpr int32_t kCornerRadius = 14;
constexpr int32_t kHandleInset = 8;
}  // namespace

SynthEditor::SynthEditor(AudioEffect* owner) : SynthEditor(owner, IdleClock::system()) {}

// The images are decoded when the editor first opens: hosts build many
// instances (at every scan and session load) whose editor never opens.
SynthEditor::SynthEditor(AudioEffect* owner, IdleClock& clock) : AEffEditor(owner), hook(clock) {}

SynthEditor::~SynthEditor() {
  close();
  if (background) background->forget();
}

void SynthEditor::loadBackground() {
  if (background) return;
  background = new CBitmap(kBackgroundImage);
  rect = vst::ERect{0, 0, static_cast<int16_t>(background->getHeight()),
                    static_cast<int16_t>(background->getWidth())};
}

// The editor belongs to the plug-in chain, whose edit gestures it reports.
AudioEffectX* SynthEditor::plugin() const { return static_cast<AudioEffectX*>(effect); }

bool SynthEditor::getRect(vst::ERect** out) {
  *out = &rect;
  return true;
}

bool SynthEditor::open(void* parent) {
  // Nothing thrown here may reach the host: without memory for the window or
  // the views the editor stays closed and the answer is 0.
  try {
    parentWindow = parent;
    loadBackground();
    const CRect size(0, 0, background->getWidth(), background->getHeight());
    std::unique_ptr<PlatformWindow> window = createPlatformWindow(parent, size);
    if (!window) window = std::make_unique<HeadlessWindow>(size);
    return openOn(std::move(window));
  } catch (const std::bad_alloc&) {
    close();
    for (CBitmap** image : {&knobFace, &knobHandle}) {
      if (*image) (*image)->forget();
      *image = nullptr;
    }
    return false;
  }
}

bool SynthEditor::openOn(std::unique_ptr<PlatformWindow> window) {
  close();
  if (frame) return false;  // still tracking a drag of the frame being closed
  loadBackground();
  guiThread.store(std::this_thread::get_id(), std::memory_order_relaxed);
  for (auto& pending : pendingChange) pending = false;
  // Open before the controls read their values: a change that arrives from
  // another thread while they are built is then shown at the next idle.
  isOpen = true;
  postUpdate();
  frame = new CFrame(CRect(0, 0, background->getWidth(), background->getHeight()),
                     std::move(window), this);
  frame->setBackground(background);
  knobFace = new CBitmap(kKnobFaceImage);
  knobHandle = new CBitmap(kKnobHandleImage);

  for (int32_t p = 0; p < kPanelCount; ++p) {
    const PanelLayout& layout = kPanelLayouts[p];
    auto* panel = new CPanel(layout.rect, frame, panelGrey, panelBlue, rimGrey, kCornerRadius,
                             layout.title, inkBlue);
    panels[size_t(p)] = panel;
    for (const CellLayout& cell : kCellLayouts) {
      if (cell.panel != p) continue;
      ParamBinding& b = bindings[size_t(cell.param)];
      switch (cell.kind) {
        case CellKind::kKnob:
          addKnobCell(panel, b, CPoint(cell.place.left, cell.place.top), cell.caption, cell.param);
          break;
        case CellKind::kBar:
          addBarCell(panel, b, cell.place, cell.caption, cell.param);
          break;
        case CellKind::kSelector:
          addSelector(panel, b, cell);
          break;
      }
    }
    frame->addView(panel);
  }
  knobFace->forget();
  knobHandle->forget();
  knobFace = knobHandle = nullptr;
  return true;
}

void SynthEditor::close() {
  isOpen = false;
  if (frame && frame->isTracking()) {
    // A host that closes the editor from its idle call during a drag: the
    // tracking loop still runs on this frame. It ends at its next step; the
    // frame goes at the next idle or open.
    frame->endTracking();
    closeDeferred = true;
    return;
  }
  closeDeferred = false;
  delete frame;
  frame = nullptr;
}

CLabel* SynthEditor::makeCaption(const CRect& r, const char* caption) {
  auto* label = new CLabel(r, caption);
  label->setFont(kNormalFontSmall);
  label->setFontColor(gold);
  label->setBackColor(inkBlue);
  return label;
}

CValueDisplay* SynthEditor::makeReadout(const CRect& r, int32_t index) {
  auto* readout = new CValueDisplay(r);
  readout->setFont(kNormalFontSmall);
  readout->setFontColor(gold);
  readout->setBackColor(inkBlue);
  effect->getParameterDisplay(index, readout->getText());
  return readout;
}

void SynthEditor::addKnobCell(CPanel* panel, ParamBinding& b, CPoint at, const char* caption,
                              int32_t index) {
  const int32_t x = at.h, y = at.v;
  b.label = makeCaption(CRect(x - 6, y, x + 44, y + 12), caption);
  auto* knob = new CKnob(CRect(x, y + 14, x + 40, y + 54), this, index, knobFace, knobHandle);
  knob->setInsetValue(kHandleInset);
  knob->setValue(effect->getParameter(index));
  b.control = knob;
  b.display = makeReadout(CRect(x - 6, y + 56, x + 44, y + 68), index);
  panel->addView(b.label);
  panel->addView(b.control);
  panel->addView(b.display);
}

void SynthEditor::addBarCell(CPanel* panel, ParamBinding& b, const CRect& cell, const char* caption,
                             int32_t index) {
  const int32_t l = cell.left, t = cell.top, r = cell.right, bottom = cell.bottom;
  b.label = makeCaption(CRect(l - 6, t, l + 24, t + 12), caption);
  auto* bar = new CBar(CRect(l + 2, t + 14, r - 14, bottom - 14), this, index, inkBlue, gold,
                       CBar::kVertical | CBar::kBipolar);
  bar->setValue(effect->getParameter(index));
  b.control = bar;
  b.display = makeReadout(CRect(l - 4, bottom - 12, l + 26, bottom), index);
  panel->addView(b.label);
  panel->addView(b.control);
  panel->addView(b.display);
}

void SynthEditor::addSelector(CPanel* panel, ParamBinding& b, const CellLayout& cell) {
  b.label = makeCaption(cell.captionRect, cell.caption);
  auto* selector = new CChoiceSwitch(cell.place, this, cell.param, cell.entries[0], cell.entries[0],
                                     inkBlue, gold, inkBlue, panelBlue, 0, 2);
  for (int32_t i = 1; i < cell.entryCount; ++i)
    selector->addEntry(cell.entries[i], cell.entries[i]);
  selector->setFont(kNormalFontSmall);
  selector->setValue(effect->getParameter(cell.param));
  b.control = selector;
  panel->addView(b.label);
  panel->addView(b.control);
}

void SynthEditor::idle() {
  if (hook.isInIdle()) return;
  updateFlag = false;
  if (closeDeferred) {
    if (frame && !frame->isTracking()) close();
    return;
  }
  if (!frame) return;
  applyPendingChanges();
  frame->idle();
}

int32_t SynthEditor::onKeyDown(VstKeyCode& key) { return frame ? frame->onKeyDown(key) : -1; }
int32_t SynthEditor::onKeyUp(VstKeyCode& key) { return frame ? frame->onKeyUp(key) : -1; }

bool SynthEditor::setKnobMode(int32_t mode) {
  CFrame::setKnobMode(mode);
  return true;
}

// Drawing waits for the next idle in either case.
void SynthEditor::setParameter(int32_t index, float) {
  if (!isOpen || index < 0 || index >= kParamCount) return;
  if (std::this_thread::get_id() == guiThread.load(std::memory_order_relaxed))
    showParameter(index);
  else
    pendingChange[size_t(index)] = true;
  postUpdate();
}

// Shows the value the plug-in stored (it may clamp or quantise), and the
// plug-in's text for it.
void SynthEditor::showParameter(int32_t index) {
  const ParamBinding& b = bindings[size_t(index)];
  if (b.control) b.control->setValue(effect->getParameter(index));
  if (b.display) {
    effect->getParameterDisplay(index, b.display->getText());
    b.display->setDirty(true);
  }
}

void SynthEditor::applyPendingChanges() {
  for (int32_t i = 0; i < kParamCount; ++i)
    if (pendingChange[size_t(i)].exchange(false)) showParameter(i);
}

void SynthEditor::valueChanged(CDrawContext* context, CControl* control) {
  effect->setParameterAutomated(control->getTag(), control->getValue());
  if (context) control->update(context);
}

void SynthEditor::beginEdit(int32_t index) { plugin()->beginEdit(index); }
void SynthEditor::endEdit(int32_t index) { plugin()->endEdit(index); }
void SynthEditor::doIdleStuff() { hook.run(*this, frame); }
void SynthEditor::masterIdle() { effect->masterIdle(); }
