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
  bool delaysDue = false;
  for (int32_t i = 0; i < count; ++i) {
    Voice* voice = voices[i];
    if (!voice) continue;
    VoiceStep& step = steps[i];
    float s = 0.0f;
    if (step.sounding) {
      s = voice->renderFromBody(step, filtered[voice->bodyLane()]);
      delays.delay[2 * i] = step.delayA;
      delays.delay[2 * i + 1] = step.delayB;
      delaysDue |= step.delayADue | step.delayBDue;
    }
    const float pan = voice->getPan();
    left += s * pan;
    right += (1.0f - pan) * s;
  }
  if (!delaysDue) return;
  computeDelayTaps(delays);
  for (int32_t i = 0; i < count; ++i) {
    const VoiceStep& step = steps[i];
    if (!voices[i] || !step.sounding) continue;
    if (step.delayADue) voices[i]->setStringTaps(true, delays.at(2 * i));
    if (step.delayBDue) voices[i]->setStringTaps(false, delays.at(2 * i + 1));
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
