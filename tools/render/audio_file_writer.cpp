#include "render/audio_file_writer.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>

#include "render/file_io.h"
#include "render/render_error.h"

namespace render {

int AudioFileWriter::formatFor(const std::string& path, int bits) {
  std::string ext = std::filesystem::path(path).extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return char(std::tolower(c)); });
  int container = 0;
  if (ext == ".wav") {
    container = SF_FORMAT_WAV;
  } else if (ext == ".flac") {
    container = SF_FORMAT_FLAC;
  } else if (ext == ".aif" || ext == ".aiff") {
    container = SF_FORMAT_AIFF;
  } else {
    throw RenderError(path + ": unknown audio file type (use .wav, .flac, .aif or .aiff)");
  }
  if (bits == 0) bits = container == SF_FORMAT_FLAC ? 24 : 32;
  switch (bits) {
    case 16:
      return container | SF_FORMAT_PCM_16;
    case 24:
      return container | SF_FORMAT_PCM_24;
    case 32:
      if (container == SF_FORMAT_FLAC)
        throw RenderError(path + ": FLAC holds no float samples; use --bits 16 or 24");
      return container | SF_FORMAT_FLOAT;
    default:
      throw RenderError("--bits must be 16, 24 or 32");
  }
}

AudioFileWriter::AudioFileWriter(const std::string& path, int channels, int sampleRate, int bits)
    : finalPath(path), channelCount(channels) {
  SF_INFO info{};
  info.samplerate = sampleRate;
  info.channels = channels;
  info.format = formatFor(path, bits);
  if (!sf_format_check(&info))
    throw RenderError(path + ": this file type cannot hold " + std::to_string(channels) +
                      " channels at " + std::to_string(sampleRate) + " Hz");
  makeParentFolders(path);
  temporaryPath = temporaryNameFor(path);
  file = sf_open(temporaryPath.c_str(), SFM_WRITE, &info);
  if (!file) throw RenderError("cannot create " + path + ": " + sf_strerror(nullptr));
  // Float samples beyond full scale are clipped in PCM files instead of wrapping.
  sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
  // The peak chunk carries the time of writing: left out, the same render
  // gives the same file on every run.
  sf_command(file, SFC_SET_ADD_PEAK_CHUNK, nullptr, SF_FALSE);
}

AudioFileWriter::~AudioFileWriter() { abandon(); }

void AudioFileWriter::abandon() {
  if (!file) return;
  sf_close(file);
  file = nullptr;
  std::remove(temporaryPath.c_str());
}

void AudioFileWriter::write(const float* const* channels, int32_t frames) {
  if (frames <= 0) return;
  interleaved.resize(size_t(frames) * size_t(channelCount));
  for (int32_t i = 0; i < frames; ++i)
    for (int c = 0; c < channelCount; ++c)
      interleaved[size_t(i) * size_t(channelCount) + size_t(c)] = channels[c][i];
  if (sf_writef_float(file, interleaved.data(), frames) != frames)
    throw RenderError("cannot write " + finalPath + ": " + sf_strerror(file));
  written += frames;
}

void AudioFileWriter::commit() {
  int status = sf_close(file);
  file = nullptr;
  if (status != 0) {
    std::remove(temporaryPath.c_str());
    throw RenderError("cannot finish " + finalPath + ": " + sf_error_number(status));
  }
  commitTemporary(temporaryPath, finalPath);
}

}  // namespace render
