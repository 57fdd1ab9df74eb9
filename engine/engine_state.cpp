#include "engine/engine_state.h"

namespace engine {

EngineState::EngineState() {
  // Equal temperament from MIDI note 0; the running product is kept in double.
  double f = 8.175798915636872;
  for (float& entry : noteFrequencies) {
    entry = static_cast<float>(f);
    f *= 1.059463094359;
  }
  parameters[21] = 0.8f;  // Reso.
  parameters[22] = 0.5f;  // Warp
  parameters[31] = 0.0f;  // Random Pan
  parameters[32] = 0.5f;  // Vel -> Vol
  parameters[33] = 0.5f;  // Vel -> Bright
  warpSmoothed = parameters[22].get();
}

double* EngineState::randomBodyCoefs(bool forType1) { return randomCoefs[forType1 ? 0 : 1]; }

}  // namespace engine
