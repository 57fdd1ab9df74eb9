// The editor window of the instrument.
#pragma once

#include "host/editor_interface.h"

class SynthEditor : public AEffEditor {
 public:
  explicit SynthEditor(AudioEffect* effect);
  ~SynthEditor() override;

  bool getRect(vst::ERect** rect) override;
  bool open(void* parentWindow) override;
  void close() override;
  void idle() override;
  bool onKeyDown(VstKeyCode& key) override;
  bool onKeyUp(VstKeyCode& key) override;
  bool setKnobMode(int32_t mode) override;
  void setParameter(int32_t index, float value) override;

 private:
  vst::ERect rect{0, 0, 311, 851};
};
