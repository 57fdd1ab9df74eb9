// The editor inside the host's window: it shows the values the main thread
// sees and hands the user's edits to the audio thread, which tells the host.
#include <cstring>

#include "clap/clap_plugin.h"
#include "editor/synth_editor.h"
#include "params/value_mapping.h"

namespace clap_format {

namespace {

#ifdef _WIN32
constexpr const char* kNativeApi = clap::kWindowApiWin32;
#else
constexpr const char* kNativeApi = clap::kWindowApiX11;
#endif

}  // namespace

bool ClapPlugin::guiCreate(const char* api, bool floating) {
  if (floating || !api || std::strcmp(api, kNativeApi) != 0 || editor) return false;
  editor = std::make_unique<SynthEditor>(*this, *this);
  for (int32_t i = 0; i < params::kNumParams; ++i) editorShows[size_t(i)] = getParameter(i);
  return true;
}

void ClapPlugin::guiDestroy() {
  if (!editor) return;
  if (timer != clap::kInvalidId && hostTimers && hostTimers->unregisterTimer)
    hostTimers->unregisterTimer(host, timer);
  timer = clap::kInvalidId;
  editor->close();
  editor.reset();
}

bool ClapPlugin::guiSize(uint32_t& width, uint32_t& height) {
  if (!editor) return false;
  width = static_cast<uint32_t>(editor->getWidth());
  height = static_cast<uint32_t>(editor->getHeight());
  return true;
}

// The editor opens as a child of the host's window; its idle runs on a timer
// of the host's, which the host must offer.
bool ClapPlugin::guiSetParent(const clap::Window* window) {
  if (!editor || !window || !window->api || std::strcmp(window->api, kNativeApi) != 0) return false;
#ifdef _WIN32
  void* parent = window->win32;
#else
  void* parent = reinterpret_cast<void*>(static_cast<uintptr_t>(window->x11));
#endif
  if (!parent || !hostTimers || !hostTimers->registerTimer) return false;
  if (!editor->open(parent) || !editor->nativeWindow()) return false;
  if (!hostTimers->registerTimer(host, kEditorTimerMs, &timer)) {
    editor->close();
    return false;
  }
  return true;
}

// Values changed by the host or the instrument reach the controls, then the
// editor redraws.
void ClapPlugin::onTimer(clap::Id id) {
  if (!editor || id != timer) return;
  for (int32_t i = 0; i < params::kNumParams; ++i) {
    const float value = getParameter(i);
    if (value == editorShows[size_t(i)]) continue;
    editorShows[size_t(i)] = value;
    editor->setParameter(i, value);
  }
  editor->idle();
}

void ClapPlugin::beginEdit(int32_t index) {
  if (index < 0 || index >= params::kNumParams) return;
  editBits[size_t(index)].fetch_or(kEditBegin, std::memory_order_relaxed);
}

// The editor shows the value at once; the audio thread applies it and tells
// the host at its next block (or the host's flush when it is not processing).
void ClapPlugin::changeEdit(int32_t index, float value) {
  if (index < 0 || index >= params::kNumParams) return;
  const float kept = params::storedValue(index, value);
  shown[size_t(index)].store(kept, std::memory_order_relaxed);
  editorShows[size_t(index)] = kept;
  editValue[size_t(index)].store(value, std::memory_order_relaxed);
  editBits[size_t(index)].fetch_or(kEditChange, std::memory_order_relaxed);
  if (editor) editor->setParameter(index, value);
  if (hostParams && hostParams->requestFlush) hostParams->requestFlush(host);
}

void ClapPlugin::endEdit(int32_t index) {
  if (index < 0 || index >= params::kNumParams) return;
  editBits[size_t(index)].fetch_or(kEditEnd, std::memory_order_relaxed);
  if (hostParams && hostParams->requestFlush) hostParams->requestFlush(host);
}

}  // namespace clap_format
