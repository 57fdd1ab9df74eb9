// Writes the rendered audio through libsndfile: WAV, FLAC or AIFF by the
// file name's extension, 32-bit float or 16/24-bit PCM. The file appears
// under its name only when commit() succeeds.
#pragma once

#include <sndfile.h>

#include <cstdint>
#include <string>
#include <vector>

namespace render {

class AudioFileWriter {
 public:
  // bits: 16 or 24 (PCM) or 32 (float); 0 picks the container's best default
  // (float, or 24-bit PCM for FLAC, which has no float samples).
  AudioFileWriter(const std::string& path, int channels, int sampleRate, int bits);
  ~AudioFileWriter();  // abandons the file unless committed

  AudioFileWriter(const AudioFileWriter&) = delete;
  AudioFileWriter& operator=(const AudioFileWriter&) = delete;

  // Appends frames of the given channel buffers.
  void write(const float* const* channels, int32_t frames);
  // Finishes the file and moves it to its name.
  void commit();

  int64_t framesWritten() const { return written; }

  // The libsndfile format for a name and sample size; throws RenderError for
  // an unknown extension or a size the container cannot hold.
  static int formatFor(const std::string& path, int bits);

 private:
  void abandon();

  std::string finalPath;
  std::string temporaryPath;
  SNDFILE* file = nullptr;
  int channelCount = 0;
  int64_t written = 0;
  std::vector<float> interleaved;
};

}  // namespace render
