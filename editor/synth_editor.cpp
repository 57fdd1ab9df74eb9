#include "editor/synth_editor.h"

SynthEditor::SynthEditor(AudioEffect* owner) : AEffEditor(owner) {}
SynthEditor::~SynthEditor() = default;

bool SynthEditor::getRect(vst::ERect** out) {
  *out = &rect;
  return true;
}

// No window layer yet: the editor reports its size but cannot open.
bool SynthEditor::open(void*) { return false; }
void SynthEditor::close() {}
void SynthEditor::idle() {}
bool SynthEditor::onKeyDown(VstKeyCode&) { return false; }
bool SynthEditor::onKeyUp(VstKeyCode&) { return false; }
bool SynthEditor::setKnobMode(int32_t) { return false; }
void SynthEditor::setParameter(int32_t, float) {}
