#include "engine/lane_renderer.h"

namespace engine {

void mixVoicesInTurn(Voice* const* voices, int32_t count, float inA, float inB, float& left,
                     float& right) {
  for (int32_t i = 0; i < count; ++i) {
    Voice* voice = voices[i];
    if (!voice) continue;
    const float s = voice->render(inA, inB);
    const float pan = voice->getPan();
    left += s * pan;
    right += (1.0f - pan) * s;
  }
}

}  // namespace engine
