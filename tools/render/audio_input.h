// An audio file read whole, fed block by block to the plug-in's inputs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace render {

class AudioInput {
 public:
  // Reads the file; throws RenderError when it is missing or not audio.
  explicit AudioInput(const std::string& path);

  int sampleRate() const { return rate; }
  int channels() const { return static_cast<int>(samples.size()); }
  int64_t frames() const { return length; }

  // Fills inputs[0..count) with frames [start, start + frames): a mono file
  // feeds every input, a wider one its first channels in order; zeros past
  // the end of the file.
  void fill(int64_t start, int32_t frames, float* const* inputs, int count) const;

 private:
  std::vector<std::vector<float>> samples;  // per channel
  int64_t length = 0;
  int rate = 0;
};

}  // namespace render
