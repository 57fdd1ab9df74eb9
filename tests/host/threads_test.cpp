// A host may change parameters from its GUI or automation thread while the
// audio thread renders. Built with ThreadSanitizer this test fails on any
// data race; in every build the audio stays finite.
#include <atomic>
#include <cmath>
#include <thread>

#include "plugin_fixture.h"

using namespace testing_support;

TEST(Threads, ParameterChangesWhileRendering) {
  auto plugin = newInstance();
  ASSERT_TRUE(plugin);
  plugin->start();
  std::atomic<bool> done{false};

  std::thread automation([&] {
    unsigned step = 0;
    while (!done.load()) {
      const int index = static_cast<int>(step % 38);
      plugin->setParameter(index, static_cast<float>((step * 37) % 101) / 100.0f);
      plugin->getParameter(index);
      if (step % 97 == 0) plugin->dispatch(vst::effSetProgram, 0, (step / 97) % 8);
      if (step % 13 == 0) plugin->parameterDisplay(index);
      ++step;
    }
  });

  constexpr int kBlock = 256;
  std::vector<float> silence(kBlock, 0.0f), left(kBlock), right(kBlock);
  float* ins[2] = {silence.data(), silence.data()};
  float* outs[2] = {left.data(), right.data()};
  bool finite = true;
  for (int block = 0; block < 400; ++block) {
    if (block % 20 == 0)
      plugin->sendMidi({{0, 0x90, static_cast<uint8_t>(40 + block % 30), 100},
                        {7, 0xB0, 1, static_cast<uint8_t>(block % 128)}});
    plugin->processReplacing(ins, outs, kBlock);
    for (float s : left) finite = finite && std::isfinite(s);
  }
  done = true;
  automation.join();
  EXPECT_TRUE(finite);
}
