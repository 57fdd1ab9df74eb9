// The VST 2 layer of the editor: answers the effect's editor opcodes from a
// format-neutral editor view and turns the view's edits into host calls.
#pragma once

#include <memory>

#include "core/editor_view.h"
#include "core/instrument.h"
#include "host/editor_interface.h"

class AudioEffectX;
class IdleClock;

class VstEditor : public AEffEditor, public core::ParameterSource, public core::EditListener {
 public:
  // Attaches itself to the effect and builds the instrument's editor view.
  explicit VstEditor(AudioEffectX* effect);
  VstEditor(AudioEffectX* effect, IdleClock& clock);
  ~VstEditor() override;

  bool getRect(vst::ERect** rect) override;
  bool open(void* parentWindow) override;
  void close() override;
  void idle() override;
  int32_t onKeyDown(VstKeyCode& key) override;
  int32_t onKeyUp(VstKeyCode& key) override;
  bool setKnobMode(int32_t mode) override;
  void setParameter(int32_t index, float value) override;

  float getParameter(int32_t index) override;
  void getParameterDisplay(int32_t index, char* text) override;

  void beginEdit(int32_t index) override;
  void changeEdit(int32_t index, float value) override;
  void endEdit(int32_t index) override;
  void hostIdle() override;

  core::EditorView* view() const { return editorView.get(); }

 private:
  AudioEffectX* plugin() const;

  std::unique_ptr<core::EditorView> editorView;
  vst::ERect rect{};
};
