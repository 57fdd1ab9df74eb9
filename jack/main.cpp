// quillstave-jack: the instrument as a JACK client, with its editor in a
// window of its own, playing from a MIDI keyboard without a host program.
#include <csignal>
#include <cstdio>
#include <exception>
#include <thread>

#include "jack/jack_engine.h"
#include "jack/linked_instrument.h"
#include "jack/top_window.h"

namespace {

using namespace std::chrono_literals;

volatile std::sig_atomic_t interrupted = 0;
void onSignal(int) { interrupted = 1; }

int fail(const std::string& message, int code = 1) {
  std::fprintf(stderr, "quillstave-jack: %s\n", message.c_str());
  return code;
}

// Tells where the instrument's clock starts on the server's: a render that
// starts as many frames before a phrase gives the same bits.
void announce(const standalone::JackEngine& engine, const std::string& name) {
  uint32_t frame = 0;
  for (int wait = 0; wait < 100 && !engine.firstFrame(frame) && !engine.stopped(); ++wait)
    std::this_thread::sleep_for(20ms);
  std::fprintf(stderr, "quillstave-jack: playing as \"%s\" at %.0f Hz from frame %u\n",
               name.c_str(), double(engine.sampleRate()), frame);
}

// Runs until a signal, the window's close or the server's end.
void runUntilStopped(standalone::JackEngine& engine, plughost::PluginInstance& instrument,
                     bool gui) {
  std::unique_ptr<standalone::TopWindow> window;
  if (gui) {
    vst::ERect* rect = nullptr;
    instrument.dispatch(vst::effEditGetRect, 0, 0, &rect);
    if (rect)
      window = standalone::TopWindow::create(rect->right - rect->left, rect->bottom - rect->top,
                                             "Quillstave");
    if (!window || instrument.dispatch(vst::effEditOpen, 0, 0, window->handle()) == 0) {
      std::fprintf(stderr, "quillstave-jack: no display for the editor; playing without it\n");
      window.reset();
    }
  }
  while (!interrupted && !engine.stopped()) {
    if (window) {
      if (window->closeRequested()) break;
      instrument.dispatch(vst::effEditIdle);
    }
    std::this_thread::sleep_for(20ms);
  }
  if (window) instrument.dispatch(vst::effEditClose);
}

}  // namespace

int main(int argc, char** argv) {
  standalone::Options options;
  try {
    options = standalone::parseCommandLine(argc, argv);
  } catch (const std::exception& e) {
    return fail(e.what(), 2);
  }
  if (options.help) {
    std::fputs(standalone::kUsage, stdout);
    return 0;
  }

  standalone::JackEngine engine;
  std::string error;
  if (!engine.open(options.clientName, error)) return fail(error);
  auto instrument = standalone::createInstrument(engine.sampleRate(), engine.bufferSize());
  if (!instrument) return fail("the instrument could not be created");
  try {
    standalone::applySound(*instrument, options);
  } catch (const std::exception& e) {
    return fail(e.what(), 2);
  }

  std::signal(SIGINT, onSignal);
  std::signal(SIGTERM, onSignal);
  if (!engine.start(instrument->effect(), error)) return fail(error);
  if (options.connect && engine.connectToSystem() == 0)
    std::fprintf(stderr, "quillstave-jack: found no system ports to connect to\n");
  announce(engine, options.clientName);
  runUntilStopped(engine, *instrument, options.gui);
  const bool serverGone = engine.stopped();
  engine.close();

  if (!options.keepFile.empty()) {
    try {
      standalone::saveBank(*instrument, options.keepFile);
    } catch (const std::exception& e) {
      return fail(e.what());
    }
  }
  return serverGone ? fail("the JACK server stopped") : 0;
}
