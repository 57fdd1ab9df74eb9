// The constants of a voice's sample, shared by the voice rendered on its own
// and the voices rendered side by side.
#pragma once

#include <cstdint>

namespace engine::render {

// A string beyond this (40 dB above full scale) has run away: the voice stops.
constexpr float kRunawayLevel = 100.0f;
// A voice taken over by a pending note: its loop gains shrink by this factor
// per sample, and it ends below this level.
constexpr float kTakeoverFade = 0.98f;
constexpr float kTakeoverEndLevel = 1e-5f;
// A held note ends when its level stays below this after this many samples.
constexpr float kSilentLevel = 1e-6f;
constexpr uint32_t kSilentSamples = 44100;
// String B's envelope above this (the followers' floor) enables the leak shaping.
constexpr float kAudibleEnvelope = 1e-13f;
// Pole of the DC blockers on the two leak paths.
constexpr float kLeakBlockerPole = 0.97f;
// The leaks are limited to this magnitude when the body filter sits in a leak path.
constexpr float kLeakLimit = 0.5f;
// The warping coefficient's range.
constexpr float kLargestWarp = 0.999f;
constexpr float kSmallestWarp = 0.0001f;
// Filter Pos thresholds: from 2/3 on the body filter is on the output, above 1/3
// on the B->A leak, otherwise on the A->B leak.
constexpr float kBodyOnOutput = 0.6666667f;
constexpr float kBodyOnLeakBA = 0.33333334f;
// Quality low: the leak shaping every 4th sample, the string modulation every 8th.
constexpr uint32_t kLowQualityLeakInterval = 4;
constexpr uint32_t kLowQualityModulationInterval = 8;

}  // namespace engine::render
