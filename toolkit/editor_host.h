// What the toolkit needs from the editor that owns a frame.
#pragma once

#include <cstdint>

class CEditorHost {
 public:
  virtual ~CEditorHost() = default;

  // A control with this tag starts or ends a user gesture (a mouse drag).
  virtual void beginEdit(int32_t tag) = 0;
  virtual void endEdit(int32_t tag) = 0;
  // Runs after each step of a tracking loop to keep the host alive.
  virtual void doIdleStuff() = 0;
  // The editor's own idle: redraws dirty views.
  virtual void idle() = 0;
  // Lets the host run its own idle work.
  virtual void masterIdle() = 0;
};
