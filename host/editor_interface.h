// What the plug-in layers need of an editor; the editor window implements it.
#pragma once

#include <cstdint>

#include "host/effect_record.h"
#include "toolkit/key_codes.h"

class AudioEffect;

// A key as the host passes it: character, virtual key code and modifier bits.
using VstKeyCode = KeyStroke;

class AEffEditor {
 public:
  // Attaches itself to the effect: stores the pointer and sets the editor flag.
  explicit AEffEditor(AudioEffect* effect);
  // Detaches itself, so that an editor whose construction failed (or that is
  // deleted first) leaves no pointer behind in the effect.
  virtual ~AEffEditor();

  AEffEditor(const AEffEditor&) = delete;
  AEffEditor& operator=(const AEffEditor&) = delete;

  virtual bool getRect(vst::ERect** rect) = 0;
  virtual bool open(void* parentWindow) = 0;
  virtual void close() = 0;
  virtual void idle() = 0;
  // 1 when a view handled the key, -1 when none did.
  virtual int32_t onKeyDown(VstKeyCode& key) = 0;
  virtual int32_t onKeyUp(VstKeyCode& key) = 0;
  virtual bool setKnobMode(int32_t mode) = 0;
  // A parameter changed: the control on screen follows (may arrive on any thread).
  virtual void setParameter(int32_t index, float value) = 0;

 protected:
  AudioEffect* effect;
};
