#include "toolkit/drag_idle_hook.h"

#include "toolkit/editor_host.h"
#include "toolkit/frame.h"
#include "toolkit/idle_clock.h"

namespace {
constexpr uint32_t kQuietTime = 100;
constexpr uint32_t kPaceSleep = 4;
constexpr uint32_t kMinimumInterval = 50;
}  // namespace

DragIdleHook::DragIdleHook(IdleClock& source) : clock(source), lastTime(source.milliseconds()) {}

void DragIdleHook::run(CEditorHost& editor, CFrame* frame) {
  if (clock.milliseconds() - lastTime < kQuietTime) {
    clock.sleep(kPaceSleep);
    if (clock.milliseconds() - lastTime < kMinimumInterval) return;
  }
  editor.idle();
  if (frame) frame->handlePendingPaint();
  lastTime = clock.milliseconds();
  inIdle = true;
  editor.masterIdle();
  inIdle = false;
}
