// A private X server for the tests that open real windows: Xvfb started on a
// free display, and the helpers to find and start programs such as xdotool.
#pragma once

#include <gtest/gtest.h>
// clang-format off
#include <X11/Xlib.h>
// clang-format on
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

extern char** environ;

namespace xvfb_support {

inline bool onPath(const char* program) {
  const char* path = std::getenv("PATH");
  std::string dirs = path ? path : "";
  size_t start = 0;
  while (start <= dirs.size()) {
    const size_t end = std::min(dirs.find(':', start), dirs.size());
    if (access((dirs.substr(start, end - start) + "/" + program).c_str(), X_OK) == 0) return true;
    start = end + 1;
  }
  return false;
}

inline pid_t spawn(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid = -1;
  return posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) == 0 ? pid : -1;
}

// Starts Xvfb on a free display (it picks the number) and points DISPLAY at it.
// With -terminate the server ends when its last client goes, so one
// connection lives as long as this program, however it ends.
class XServer : public ::testing::Environment {
 public:
  void SetUp() override {
    if (!onPath("Xvfb")) return;
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    pid = spawn({"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", "1024x768x24",
                 "-nolisten", "tcp", "-terminate"});
    close(fds[1]);
    char number[16] = {};
    const bool started = pid > 0 && read(fds[0], number, sizeof(number) - 1) > 0;
    close(fds[0]);
    ASSERT_TRUE(started);
    setenv("DISPLAY", (":" + std::to_string(std::atoi(number))).c_str(), 1);
    keeper = XOpenDisplay(nullptr);
    ASSERT_NE(keeper, nullptr);
  }
  void TearDown() override {
    if (keeper) XCloseDisplay(keeper);
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
  }
  pid_t pid = -1;
  Display* keeper = nullptr;
};

}  // namespace xvfb_support
