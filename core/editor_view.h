// An instrument's editor as every format layer sees it: a window opened into
// the host's native parent window, reporting the user's edits to a listener.
#pragma once

#include <cstdint>

namespace core {

// Receives the user's edits: begin, change (any number of times), end.
class EditListener {
 public:
  virtual ~EditListener() = default;

  virtual void beginEdit(int32_t index) = 0;
  // The user set a value; the listener applies it and tells the host.
  virtual void changeEdit(int32_t index, float value) = 0;
  virtual void endEdit(int32_t index) = 0;
  // Lets the host run its own idle work during a long gesture.
  virtual void hostIdle() {}
};

class EditorView {
 public:
  virtual ~EditorView() = default;

  virtual int32_t getWidth() const = 0;
  virtual int32_t getHeight() const = 0;
  // Opens as a child of a native window (an X11 Window or an HWND).
  virtual bool open(void* parentWindow) = 0;
  virtual void close() = 0;
  // The open editor's own native window (null when closed or without a window system).
  virtual void* nativeWindow() const = 0;
  // The host's idle on the GUI thread: applies changes and redraws.
  virtual void idle() = 0;
  // 1 when a view handled the key, -1 when none did.
  virtual int32_t keyDown(int32_t character, uint8_t virtualKey, uint8_t modifiers) = 0;
  virtual int32_t keyUp(int32_t character, uint8_t virtualKey, uint8_t modifiers) = 0;
  virtual bool setKnobMode(int32_t mode) = 0;
  // A parameter changed (on any thread): the control follows.
  virtual void setParameter(int32_t index, float value) = 0;
};

}  // namespace core
