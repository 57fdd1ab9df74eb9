#include "engine/envelopes.h"

#include <algorithm>
#include <limits>

namespace engine {

namespace {

// Times below zero or not a number act as zero (an instant stage); an infinite
// time is held at the largest float so that a zero sample rate cannot make 0 x inf.
float validTime(float seconds) {
  return seconds > 0.0f ? std::min(seconds, std::numeric_limits<float>::max()) : 0.0f;
}

// Levels are kept within 0 to 1; not a number acts as 0.
float validLevel(float level) { return level > 0.0f ? std::min(level, 1.0f) : 0.0f; }

}  // namespace

Adsr::Adsr(float sampleRate) : sampleRate(validTime(std::trunc(sampleRate))) { computeSteps(); }

void Adsr::setSettings(const AdsrSettings& newSettings) {
  settings.attackTime = validTime(newSettings.attackTime);
  settings.decayTime = validTime(newSettings.decayTime);
  settings.sustainLevel = validLevel(newSettings.sustainLevel);
  settings.releaseTime = validTime(newSettings.releaseTime);
  computeSteps();
}

void Adsr::setSustain(float level) {
  settings.sustainLevel = validLevel(level);
  value = settings.sustainLevel;
  computeSteps();
}

// The release step follows from the sustain level, not from the value at the
// moment of release: a release always falls at the rate that would take the
// sustain level to 0 in the release time.
void Adsr::computeSteps() {
  attackStep = 1.0f / (settings.attackTime * sampleRate + 1.0f);
  decayStep = (1.0f - settings.sustainLevel) / (settings.decayTime * sampleRate + 1.0f);
  releaseStep = settings.sustainLevel / (settings.releaseTime * sampleRate + 1.0f);
}

}  // namespace engine
