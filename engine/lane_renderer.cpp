#include "engine/lane_renderer.h"

namespace engine {

void LaneRenderer::mix(Voice* const* voices, int32_t count, float inA, float inB, float& left,
                       float& right) {
  if (count > kMaxVoices) count = kMaxVoices;
  for (bool& active : frame.active) active = false;
  for (int32_t i = 0; i < count; ++i) {
    Voice* voice = voices[i];
    if (!voice) continue;
    voice->renderToBody(inA, inB, steps[i]);
    if (steps[i].sounding && steps[i].bodyRuns) {
      const int lane = voice->bodyLane();
      frame.active[lane] = true;
      frame.input[lane] = steps[i].bodyInput;
      frame.lambda[lane] = steps[i].warp;
      frame.morph[lane] = steps[i].morph;
    }
  }
  filters.process(frame, filtered);
  for (int32_t i = 0; i < count; ++i) {
    Voice* voice = voices[i];
    if (!voice) continue;
    const float s =
        steps[i].sounding ? voice->renderFromBody(steps[i], filtered[voice->bodyLane()]) : 0.0f;
    const float pan = voice->getPan();
    left += s * pan;
    right += (1.0f - pan) * s;
  }
}

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
