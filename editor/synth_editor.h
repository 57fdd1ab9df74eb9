// The editor window of the instrument: six panels with a control for every
// parameter, kept in step with the plug-in's values.
#pragma once

#include <array>
#include <atomic>
#include <memory>
#include <thread>

#include "editor/param_binding.h"
#include "host/editor_interface.h"
#include "toolkit/control_listener.h"
#include "toolkit/drag_idle_hook.h"
#include "toolkit/editor_host.h"
#include "toolkit/rect.h"

class AudioEffectX;
class CBitmap;
class CFrame;
class CPanel;
class IdleClock;
class PlatformWindow;
struct CellLayout;

class SynthEditor : public AEffEditor, public CControlListener, public CEditorHost {
 public:
  static constexpr int32_t kParamCount = 38;

  explicit SynthEditor(AudioEffect* effect);
  SynthEditor(AudioEffect* effect, IdleClock& clock);
  ~SynthEditor() override;

  bool getRect(vst::ERect** rect) override;
  // Opens inside the host's window; without a usable window system the views
  // are built on a headless window all the same.
  bool open(void* parentWindow) override;
  // Opens on the given window layer; the calling thread is the GUI thread.
  bool openOn(std::unique_ptr<PlatformWindow> window);
  void close() override;
  // The host's idle: redraws dirty views unless the drag idle hook is running.
  void idle() override;
  int32_t onKeyDown(VstKeyCode& key) override;
  int32_t onKeyUp(VstKeyCode& key) override;
  bool setKnobMode(int32_t mode) override;
  // On the GUI thread the control and readout follow at once; a call from
  // another thread is recorded and applied by the next idle.
  void setParameter(int32_t index, float value) override;

  void valueChanged(CDrawContext* context, CControl* control) override;
  void beginEdit(int32_t index) override;
  void endEdit(int32_t index) override;
  void doIdleStuff() override;
  void masterIdle() override;

  void postUpdate() { updateFlag = true; }
  bool isUpdatePending() const { return updateFlag; }
  CFrame* getFrame() const { return frame; }
  const ParamBinding& binding(int32_t index) const { return bindings[size_t(index)]; }
  CPanel* panel(int32_t index) const { return panels[size_t(index)]; }

 private:
  AudioEffectX* plugin() const;
  // Decodes the background image (once) and takes the editor's size from it.
  void loadBackground();
  void addKnobCell(CPanel* panel, ParamBinding& binding, CPoint where, const char* caption,
                   int32_t index);
  void addBarCell(CPanel* panel, ParamBinding& binding, const CRect& cell, const char* caption,
                  int32_t index);
  void addSelector(CPanel* panel, ParamBinding& binding, const CellLayout& layout);
  CLabel* makeCaption(const CRect& rect, const char* caption);
  CValueDisplay* makeReadout(const CRect& rect, int32_t index);
  // Sets a parameter's control and readout from the plug-in.
  void showParameter(int32_t index);
  void applyPendingChanges();

  vst::ERect rect{0, 0, 311, 851};
  void* parentWindow = nullptr;
  std::atomic<bool> updateFlag{false};
  std::atomic<bool> isOpen{false};
  bool closeDeferred = false;  // closed during a drag: the frame goes at the next idle
  std::atomic<std::thread::id> guiThread;
  std::array<std::atomic<bool>, kParamCount> pendingChange{};
  CFrame* frame = nullptr;
  std::array<ParamBinding, kParamCount> bindings{};
  std::array<CPanel*, 6> panels{};
  CBitmap* background = nullptr;
  CBitmap* knobFace = nullptr;
  CBitmap* knobHandle = nullptr;
  DragIdleHook hook;
};
