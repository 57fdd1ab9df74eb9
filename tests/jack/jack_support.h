// A private JACK server on the dummy backend for one test program, the
// standalone program started as a child, and JACK clients of the test's own.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <jack/jack.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace jack_support {

using namespace std::chrono_literals;

constexpr int kRate = 44100;
constexpr int kPeriod = 256;

// Starts a program with the test's environment; stderr goes to 'errors' when given.
inline pid_t spawn(const std::vector<std::string>& args, const std::string& errors = "") {
  std::vector<char*> argv;
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (!errors.empty())
    posix_spawn_file_actions_addopen(&actions, 2, errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
  pid_t pid = -1;
  const int failed = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  return failed ? -1 : pid;
}

// The exit status, or -1 when the program did not end in time (it is then killed).
inline int waitFor(pid_t pid, std::chrono::milliseconds limit = 10s) {
  for (auto end = std::chrono::steady_clock::now() + limit; std::chrono::steady_clock::now() < end;
       std::this_thread::sleep_for(10ms)) {
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
  return -1;
}

inline jack_client_t* openClient(const char* name) {
  jack_status_t status{};
  return jack_client_open(name, JackNoStartServer, &status);
}

// jackd -d dummy under a name of this test program's own. It runs
// synchronously, waiting for every client in each period: on a loaded machine
// it would otherwise go on without a late client, whose clock then falls behind.
class JackServer : public ::testing::Environment {
 public:
  void SetUp() override {
    name = "qs-test-" + std::to_string(getpid());
    setenv("JACK_DEFAULT_SERVER", name.c_str(), 1);
    setenv("JACK_NO_AUDIO_RESERVATION", "1", 1);
    pid = spawn({"jackd", "--no-realtime", "--sync", "-n", name, "-d", "dummy", "-r",
                 std::to_string(kRate), "-p", std::to_string(kPeriod)},
                "/dev/null");
    if (pid <= 0) return;
    jack_set_error_function([](const char*) {});
    jack_set_info_function([](const char*) {});
    for (auto end = std::chrono::steady_clock::now() + 10s;
         !running && std::chrono::steady_clock::now() < end; std::this_thread::sleep_for(50ms)) {
      if (jack_client_t* probe = openClient("qs-probe")) {
        jack_client_close(probe);
        running = true;
      }
    }
  }
  void TearDown() override {
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    waitFor(pid);
  }
  std::string name;
  pid_t pid = -1;
  bool running = false;
};

// quillstave-jack running as a client named 'name', until it is stopped.
class Standalone {
 public:
  Standalone(const std::string& name, std::vector<std::string> args, bool gui = false)
      : client(name) {
    args.insert(args.begin(), {QS_STANDALONE_PATH, "--name", name});
    if (!gui) args.push_back("--no-gui");
    pid = spawn(args, errorsPath());
    // Up once it has told where its clock starts; or ended early.
    for (auto end = std::chrono::steady_clock::now() + 10s;
         pid > 0 && !up && std::chrono::steady_clock::now() < end;
         std::this_thread::sleep_for(20ms)) {
      int status = 0;
      if (waitpid(pid, &status, WNOHANG) == pid) {
        exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        pid = -1;
        break;
      }
      const std::string text = errors();
      const size_t at = text.find(" from frame ");
      if (at == std::string::npos || text.find('\n', at) == std::string::npos) continue;
      startFrame = uint32_t(std::stoul(text.substr(at + 12)));
      up = true;
    }
  }
  // Stops it as Ctrl-C does (or lets it end by itself); answers its exit status.
  int stop(bool interrupt = true) {
    if (pid <= 0) return exitStatus;
    if (interrupt) kill(pid, SIGINT);
    exitStatus = waitFor(pid);
    pid = -1;
    return exitStatus;
  }
  ~Standalone() {
    stop();
    std::remove(errorsPath().c_str());
  }
  std::string errors() const {
    std::ifstream file(errorsPath());
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
  }
  std::string errorsPath() const {
    return ::testing::TempDir() + client + "-" + std::to_string(getpid()) + ".stderr";
  }

  std::string client;
  pid_t pid = -1;
  int exitStatus = -1;
  uint32_t startFrame = 0;
  bool up = false;
};

}  // namespace jack_support
