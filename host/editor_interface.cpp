#include "host/editor_interface.h"

#include "host/audio_effect.h"

AEffEditor::AEffEditor(AudioEffect* owner) : effect(owner) { owner->setEditor(this); }

AEffEditor::~AEffEditor() {
  if (effect && effect->getEditor() == this) effect->setEditor(nullptr);
}
