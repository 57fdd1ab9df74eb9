#include "host/vst_editor.h"

#include "editor/synth_editor.h"
#include "host/audio_effect_x.h"
#include "toolkit/idle_clock.h"

VstEditor::VstEditor(AudioEffectX* owner) : VstEditor(owner, IdleClock::system()) {}

VstEditor::VstEditor(AudioEffectX* owner, IdleClock& clock)
    : AEffEditor(owner), editorView(std::make_unique<SynthEditor>(*this, *this, clock)) {}

// The view goes first: closing it may still report to this layer.
VstEditor::~VstEditor() { editorView.reset(); }

// The editor belongs to the plug-in chain, whose edit gestures it reports.
AudioEffectX* VstEditor::plugin() const { return static_cast<AudioEffectX*>(effect); }

bool VstEditor::getRect(vst::ERect** out) {
  rect = vst::ERect{0, 0, static_cast<int16_t>(editorView->getHeight()),
                    static_cast<int16_t>(editorView->getWidth())};
  *out = &rect;
  return true;
}

bool VstEditor::open(void* parentWindow) { return editorView->open(parentWindow); }
void VstEditor::close() { editorView->close(); }
void VstEditor::idle() { editorView->idle(); }

int32_t VstEditor::onKeyDown(VstKeyCode& key) {
  return editorView->keyDown(key.character, key.virt, key.modifier);
}

int32_t VstEditor::onKeyUp(VstKeyCode& key) {
  return editorView->keyUp(key.character, key.virt, key.modifier);
}

bool VstEditor::setKnobMode(int32_t mode) { return editorView->setKnobMode(mode); }
void VstEditor::setParameter(int32_t index, float value) { editorView->setParameter(index, value); }

float VstEditor::getParameter(int32_t index) { return effect->getParameter(index); }

void VstEditor::getParameterDisplay(int32_t index, char* text) {
  effect->getParameterDisplay(index, text);
}

void VstEditor::beginEdit(int32_t index) { plugin()->beginEdit(index); }
void VstEditor::changeEdit(int32_t index, float value) {
  effect->setParameterAutomated(index, value);
}
void VstEditor::endEdit(int32_t index) { plugin()->endEdit(index); }
void VstEditor::hostIdle() { effect->masterIdle(); }
