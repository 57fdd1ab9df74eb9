// The standalone program's command line: the sound to start with, the bank
// file kept across runs, the JACK client's name and connections, and whether
// the editor opens.
#pragma once

#include <string>
#include <vector>

namespace standalone {

struct Options {
  std::string clientName = "Quillstave";
  std::string program;              // number or name; empty: the bank's current one
  std::string presetFile;           // .fxp loaded over the current program
  std::string bankFile;             // .fxb loaded at the start
  std::string keepFile;             // bank restored at the start when present, saved at exit
  std::vector<std::string> params;  // NAME=VALUE or INDEX=VALUE, 0 to 1
  bool gui = true;
  bool connect = false;  // to the system's playback ports and MIDI inputs
  bool help = false;
};

// Throws std::runtime_error naming what is wrong.
Options parseCommandLine(int argc, const char* const* argv);

extern const char kUsage[];

}  // namespace standalone
