// The work done after each step of a mouse tracking loop: at most every
// 50 ms (pacing the loop with 4 ms sleeps in between) the editor's idle runs,
// one pending paint is handled and the host gets its idle call.
#pragma once

#include <cstdint>

class CEditorHost;
class CFrame;
class IdleClock;

class DragIdleHook {
 public:
  // The current time counts as the last run.
  explicit DragIdleHook(IdleClock& clock);

  // One step of the hook for editor, whose frame may be null.
  void run(CEditorHost& editor, CFrame* frame);
  // True while the host's idle runs from inside the hook.
  bool isInIdle() const { return inIdle; }

 private:
  IdleClock& clock;
  uint32_t lastTime = 0;
  bool inIdle = false;
};
