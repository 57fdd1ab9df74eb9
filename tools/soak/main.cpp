// The soak run: plays the plug-in for a chosen length of audio at 44.1 kHz
// with random notes, controllers, pitch bend, program changes and parameter
// automation, as a host would, and reports what goes wrong over time:
// non-finite samples, the peak level, the CPU cost per audio second of the
// first and last tenth (a growing cost means denormals or leaks of work) and
// the growth of the heap in use after the first tenth.
// Usage: quillstave-soak [seconds of audio] [plug-in module]
#include <malloc.h>
#include <time.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "plughost/plugin_host.h"
#include "soak/soak_script.h"

namespace {

constexpr float kRate = 44100.0f;
constexpr int32_t kBlock = 512;
constexpr uint32_t kSeed = 20261208;

double threadSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// Heap memory in use (allocated and not freed, mapped blocks included): what
// a leak grows. Resident pages are no measure of that: memory allocated at
// start-up and first written late (a voice's longest note so far) becomes
// resident only then.
long heapInUseBytes() {
  const struct mallinfo2 info = mallinfo2();
  return long(info.uordblks + info.hblkhd);
}}  // namespace

int main(int argc, char** argv) {
  const double seconds = argc > 1 ? std::atof(argv[1]) : 120.0;
  const std::string path = argc > 2 ? argv[2] : QS_DEFAULT_PLUGIN;
  std::string error;
  auto module = plughost::PluginModule::load(path, error);
  if (!module) {
    std::fprintf(stderr, "quillstave-soak: %s\n", error.c_str());
    return 2;
  }
  auto plugin = plughost::PluginInstance::create(*module, {2400, kRate, kBlock});
  if (!plugin || seconds < 1.0) {
    std::fprintf(stderr, "quillstave-soak: no instance (or a length under a second)\n");
    return 2;
  }
  plugin->start();

  const long blocks = std::lround(seconds * kRate / kBlock);
  const long tenth = blocks / 10 > 0 ? blocks / 10 : 1;
  // Host buffers and the event list are made once: the loop allocates nothing.
  std::vector<float> in(kBlock), left(kBlock), right(kBlock);
  for (int32_t i = 0; i < kBlock; ++i) in[size_t(i)] = 0.01f * std::sin(0.05f * float(i));
  float* ins[2] = {in.data(), in.data()};
  float* outs[2] = {left.data(), right.data()};
  std::vector<vst::VstMidiEvent> events(soak::Script::kMaxEvents);
  std::vector<char> listBlock(sizeof(vst::VstEvents) +
                              soak::Script::kMaxEvents * sizeof(vst::VstEvent*));
  auto* list = reinterpret_cast<vst::VstEvents*>(listBlock.data());
  soak::Script script(kSeed);
  soak::BlockActions actions;
  actions.midi.reserve(soak::Script::kMaxEvents);
  actions.parameters.reserve(8);

  // Every tenth replays the same script, so block j of the last tenth does the
  // work of block j of the first. The verdict uses the lower quartile of their
  // cost ratios: other processes only ever make a block dearer, while a
  // slowdown of the instrument's own (denormals) makes nearly every block so.
  std::vector<double> firstCosts(size_t(tenth), 0.0), ratios;
  ratios.reserve(size_t(tenth));
  long nonFinite = 0;
  float peak = 0.0f;
  double firstCost = 0.0, lastCost = 0.0;
  long warmHeap = 0;
  for (long block = 0; block < blocks; ++block) {
    if (block % tenth == 0) script.restart(kSeed);
    if (block == tenth) warmHeap = heapInUseBytes();
    script.next(kBlock, actions);
    const double start = threadSeconds();
    if (actions.program >= 0) plugin->dispatch(vst::effSetProgram, 0, actions.program);
    for (const auto& [index, value] : actions.parameters) plugin->setParameter(index, value);
    list->numEvents = int32_t(actions.midi.size());
    for (size_t i = 0; i < actions.midi.size(); ++i) {
      vst::VstMidiEvent& e = events[i];
      e = vst::VstMidiEvent{};
      e.type = vst::kVstMidiType;
      e.byteSize = sizeof(e);
      e.deltaFrames = actions.midi[i].delta;
      e.midiData[0] = char(actions.midi[i].status);
      e.midiData[1] = char(actions.midi[i].data1);
      e.midiData[2] = char(actions.midi[i].data2);
      vst::setEventAt(list, int32_t(i), reinterpret_cast<vst::VstEvent*>(&e));
    }
    if (list->numEvents > 0) plugin->dispatch(vst::effProcessEvents, 0, 0, list);
    plugin->processReplacing(ins, outs, kBlock);
    const double cost = threadSeconds() - start;
    if (block < tenth) {
      firstCost += cost;
      firstCosts[size_t(block)] = cost;
    }
    if (block >= blocks - tenth) {
      lastCost += cost;
      const double before = firstCosts[size_t(block % tenth)];
      if (before > 0.0) ratios.push_back(cost / before);
    }
    plugin->clearCalls();  // the host's record of calls keeps its room
    for (int32_t i = 0; i < kBlock; ++i) {
      for (float s : {left[size_t(i)], right[size_t(i)]}) {
        if (!std::isfinite(s))
          ++nonFinite;
        else if (std::fabs(s) > peak)
          peak = std::fabs(s);
      }
    }
  }
  const long growth = heapInUseBytes() - warmHeap;
  const double tenthSeconds = double(tenth) * kBlock / kRate;
  const double ratio = firstCost > 0.0 ? lastCost / firstCost : 0.0;
  double quartileRatio = 0.0;
  if (!ratios.empty()) {
    auto quarter = ratios.begin() + std::ptrdiff_t(ratios.size() / 4);
    std::nth_element(ratios.begin(), quarter, ratios.end());
    quartileRatio = *quarter;
  }
  std::printf("audio:        %.1f s at 44.1 kHz, blocks of %d\n", double(blocks) * kBlock / kRate,
              kBlock);
  std::printf("non-finite:   %ld samples\n", nonFinite);
  std::printf("peak:         %.4f (%.1f dBFS)\n", double(peak),
              peak > 0.0f ? 20.0 * std::log10(double(peak)) : -999.0);
  std::printf("CPU per audio second: first tenth %.2f ms, last tenth %.2f ms, ratio %.3f\n",
              1e3 * firstCost / tenthSeconds, 1e3 * lastCost / tenthSeconds, ratio);
  std::printf("CPU of the same block, last tenth against first: lower quartile of the ratios %.3f\n",
              quartileRatio);
  std::printf("heap in use, growth after the first tenth: %ld bytes\n", growth);
  const bool pass = nonFinite == 0 && quartileRatio <= 1.2 && growth <= 0;
  std::printf("%s\n", pass ? "soak passed" : "soak FAILED");
  return pass ? 0 : 1;
}
