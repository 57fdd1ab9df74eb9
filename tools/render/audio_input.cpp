#include "render/audio_input.h"

#include <sndfile.h>

#include <algorithm>

#include "render/render_error.h"

namespace render {

AudioInput::AudioInput(const std::string& path) {
  SF_INFO info{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (!file) throw RenderError(path + ": cannot read audio: " + sf_strerror(nullptr));
  rate = info.samplerate;
  length = info.frames;
  std::vector<float> interleaved(size_t(length) * size_t(info.channels));
  sf_count_t got = sf_readf_float(file, interleaved.data(), length);
  sf_close(file);
  if (got != length) throw RenderError(path + ": audio data ends early");
  samples.assign(size_t(info.channels), std::vector<float>(size_t(length)));
  for (int64_t i = 0; i < length; ++i)
    for (size_t c = 0; c < samples.size(); ++c)
      samples[c][size_t(i)] = interleaved[size_t(i) * samples.size() + c];
}

void AudioInput::fill(int64_t start, int32_t frames, float* const* inputs, int count) const {
  for (int c = 0; c < count; ++c) {
    const std::vector<float>& source = samples[size_t(c) % samples.size()];
    for (int32_t i = 0; i < frames; ++i) {
      int64_t at = start + i;
      inputs[c][i] = at < length ? source[size_t(at)] : 0.0f;
    }
  }
}

}  // namespace render
