// The instrument as a CLAP plug-in instance. Host events become MIDI bytes at
// frames and parameter changes, which split the block where they fall; the
// bank with the current program is the state; the editor opens into the
// host's window. Calls come on the host's main thread or its audio thread as
// the format assigns them; what crosses between them is atomic.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>

#include "clap/abi_ext.h"
#include "core/editor_view.h"
#include "core/synth.h"

namespace clap_format {

inline constexpr char kPluginId[] = "org.quillstave.quillstave";

class ClapPlugin : public core::InstrumentListener,
                   public core::ParameterSource,
                   public core::EditListener {
 public:
  static constexpr uint32_t kEditorTimerMs = 30;

  // Null for a host of another major version or when memory runs out.
  static ClapPlugin* create(const clap::Host* host);
  ~ClapPlugin() override;

  const clap::Plugin* record() const { return &plugin; }
  static ClapPlugin* of(const clap::Plugin* plugin);

  // Lifecycle [main thread].
  bool init();
  bool activate(double sampleRate);
  void deactivate();
  void onMainThread();
  // [audio thread]
  void reset();
  int32_t process(const clap::Process& process);

  // Parameters: values and texts [main thread], events [audio thread while active].
  bool parameterValue(clap::Id id, double& value);
  bool parameterText(clap::Id id, double value, char* text, uint32_t capacity);
  bool parameterFromText(clap::Id id, const char* text, double& value);
  void flush(const clap::InputEvents* in, const clap::OutputEvents* out);

  // State and factory programs [main thread].
  bool save(const clap::OutputStream* stream);
  bool load(const clap::InputStream* stream);
  bool loadFactoryProgram(uint32_t locationKind, const char* loadKey);

  // The editor [main thread].
  bool guiCreate(const char* api, bool floating);
  void guiDestroy();
  bool guiSize(uint32_t& width, uint32_t& height);
  bool guiSetParent(const clap::Window* window);
  void onTimer(clap::Id timer);

  // core::InstrumentListener: values the instrument applies by itself.
  void applyParameter(int32_t index, float value) override;
  void displayChanged() override;
  // core::ParameterSource: what the editor shows.
  float getParameter(int32_t index) override;
  void getParameterDisplay(int32_t index, char* text) override;
  // core::EditListener: the user's edits in the editor.
  void beginEdit(int32_t index) override;
  void changeEdit(int32_t index, float value) override;
  void endEdit(int32_t index) override;

 private:
  explicit ClapPlugin(const clap::Host* host);

  // Sets a value and keeps what the main thread and the host see in step.
  void apply(int32_t index, float value);
  void handleEvent(const clap::EventHeader& header, int32_t frame);
  // The editor's edits, then the values the instrument changed by itself,
  // as events to the host.
  void applyEdits(const clap::OutputEvents* out);
  void reportOwnChanges(const clap::OutputEvents* out);
  void rescanValues();
  // A state or program load changed every value: the host rescans them
  // rather than hearing of each as a change it might record.
  void valuesReloaded();
  template <typename Ext>
  const Ext* hostExtension(const char* id) const;

  enum EditBits : uint8_t { kEditBegin = 1, kEditChange = 2, kEditEnd = 4 };

  const clap::Host* host;
  clap::Plugin plugin{};
  core::Synth synth;
  const clap::HostParams* hostParams = nullptr;
  const clap::HostState* hostState = nullptr;
  const clap::HostTimerSupport* hostTimers = nullptr;
  // What the main thread reads of the values.
  std::array<std::atomic<float>, params::kNumParams> shown{};
  // Values the instrument set by itself, for the host to hear of.
  std::array<std::atomic<bool>, params::kNumParams> ownChange{};
  // Edits in the editor waiting for the audio thread.
  std::array<std::atomic<float>, params::kNumParams> editValue{};
  std::array<std::atomic<uint8_t>, params::kNumParams> editBits{};
  std::atomic<bool> stateDirty{false};
  bool active = false;

  std::unique_ptr<core::EditorView> editor;
  std::array<float, params::kNumParams> editorShows{};
  clap::Id timer = clap::kInvalidId;
};

}  // namespace clap_format
