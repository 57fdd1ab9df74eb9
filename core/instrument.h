// The instrument as every plug-in format sees it: MIDI bytes at a frame,
// parameters with their texts, programs, state as bytes and block rendering.
// It knows no plug-in format; each format layer only translates to it.
#pragma once

#include <cstdint>

namespace core {

// The values and texts an editor shows.
class ParameterSource {
 public:
  virtual ~ParameterSource() = default;

  // The stored value of a parameter (0..1); 0 for an unknown index.
  virtual float getParameter(int32_t index) = 0;
  // The value text a host shows for the stored value (at most 24 bytes with the NUL).
  virtual void getParameterDisplay(int32_t index, char* text) = 0;
};

// What the instrument tells the layer that hosts it, on the thread of the call
// that caused it (a MIDI controller arrives on the audio thread).
class InstrumentListener {
 public:
  virtual ~InstrumentListener() = default;

  // The instrument applies a value by itself (program change, MIDI controller):
  // the layer sets it through its own parameter path, so that an editor follows.
  virtual void applyParameter(int32_t index, float value) = 0;
  // A MIDI controller changed a value: the host may refresh what it shows.
  virtual void displayChanged() = 0;
};

class Instrument : public ParameterSource {
 public:
  // The largest state blob any call answers or accepts.
  static constexpr int32_t kMaxStateSize = 1 << 16;

  // Routes the values the instrument applies by itself through the hosting
  // layer; with none they are applied directly.
  virtual void setListener(InstrumentListener* listener) = 0;

  // One MIDI message of 1 to 3 bytes, due at 'frame' of the next rendered
  // block; 'detune' is the cents offset some formats carry with a note.
  virtual void midi(const uint8_t* bytes, int32_t size, int32_t frame, int32_t detune) = 0;

  // Stores a value (0..1) and applies it; unknown indices are ignored.
  virtual void setParameter(int32_t index, float value) = 0;
  virtual void getParameterName(int32_t index, char* text) = 0;
  virtual void getParameterLabel(int32_t index, char* text) = 0;

  virtual int32_t getProgram() = 0;
  // Makes a program current and applies all its values; out-of-range numbers are ignored.
  virtual void setProgram(int32_t program) = 0;
  virtual void getProgramName(char* name) = 0;
  virtual void setProgramName(const char* name) = 0;
  virtual bool getProgramNameIndexed(int32_t index, char* name) = 0;
  // Copies the current program over another.
  virtual bool copyProgram(int32_t destination) = 0;

  // The state as bytes: the current program alone, or the whole bank. The
  // pointer stays valid until the next call that changes the state.
  virtual int32_t getState(void** data, bool programOnly) = 0;
  // Replaces the state; a blob of the wrong size is refused and nothing changes.
  virtual bool setState(const void* data, int32_t byteSize, bool programOnly) = 0;

  // Renders one block into two outputs, fed by two inputs. Input and output
  // buffers may be the same memory; 'replacing' overwrites, else adds. A
  // missing buffer (null list or channel) reads as silence or is not written.
  // A format with parameter changes inside a block renders the block in
  // pieces and sets the values between them; MIDI frames count from the
  // start of the next piece.
  virtual void render(float* const* inputs, float* const* outputs, int32_t frames,
                      bool replacing) = 0;
  virtual void setSampleRate(float rate) = 0;
  virtual float getSampleRate() = 0;
  // Silences and clears every voice; parameters and programs stay.
  virtual void suspend() = 0;
  virtual void resume() = 0;
};

}  // namespace core
