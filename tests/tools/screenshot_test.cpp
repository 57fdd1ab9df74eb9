// quillstave-screenshot run as a user would: the PNG it writes, program and
// parameter choices, and its errors.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "screenshot/editor_snapshot.h"
#include "screenshot/png_file.h"
#include "toolkit/rect.h"

namespace {

namespace fs = std::filesystem;
using screenshot::EditorImage;

struct ToolRun {
  int exitCode = -1;
  std::string out, err;
};

std::string quoted(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

std::string slurp(const fs::path& path) {
  std::ifstream in(path);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

class ScreenshotTool : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() /
          ("qs_screenshot_" + std::to_string(getpid()) + "_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }

  ToolRun run(const std::vector<std::string>& args) {
    std::string command = quoted(QS_SCREENSHOT_TOOL);
    for (const auto& a : args) command += " " + quoted(a);
    command += " >" + quoted((dir / ".out").string()) + " 2>" + quoted((dir / ".err").string());
    const int status = std::system(command.c_str());
    ToolRun r;
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.out = slurp(dir / ".out");
    r.err = slurp(dir / ".err");
    return r;
  }
  // Runs the tool writing name in the scratch folder and reads the image back.
  EditorImage shot(const std::string& name, std::vector<std::string> args) {
    args.insert(args.end(), {"-o", (dir / name).string()});
    const ToolRun r = run(args);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    return screenshot::readPng((dir / name).string());
  }
  // Files in the scratch folder other than the captured output.
  std::vector<std::string> files() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir))
      if (e.path().filename().string()[0] != '.') names.push_back(e.path().filename());
    return names;
  }

  fs::path dir;
};

TEST_F(ScreenshotTool, WritesTheWindowOfTheChosenProgram) {
  const EditorImage first = shot("first.png", {});
  EXPECT_EQ(first.width, 851);
  EXPECT_EQ(first.height, 311);
  const EditorImage third = shot("third.png", {"--program", "3"});
  ASSERT_EQ(third.pixels.size(), first.pixels.size());
  EXPECT_NE(third.pixels, first.pixels);

  // The file holds exactly what the editor shows for that program.
  auto plugin = screenshot::createLinkedInstance();
  ASSERT_TRUE(plugin);
  plugin->dispatch(vst::effSetProgram, 0, 3);
  EXPECT_EQ(screenshot::renderEditor(*plugin).pixels, third.pixels);

  // Programs are also found by name, blanks and case aside.
  std::string name = plugin->programName();
  for (char& c : name) c = char(std::toupper(static_cast<unsigned char>(c)));
  EXPECT_EQ(shot("named.png", {"--program", " " + name + " "}).pixels, third.pixels);
}

TEST_F(ScreenshotTool, ParameterOverridesMoveOnlyTheirCell) {
  const EditorImage low = shot("low.png", {"--param", "Volume=0"});
  const EditorImage high = shot("high.png", {"--param", "35=1"});
  ASSERT_EQ(low.pixels.size(), high.pixels.size());
  // The "Volume" cell: the "Main" panel at (10, 130), the cell at (15, 15)
  // from caption to readout.
  const CRect cell(10 + 15 - 6, 130 + 15, 10 + 15 + 44, 130 + 15 + 68);
  int changed = 0;
  for (int32_t y = 0; y < low.height; ++y)
    for (int32_t x = 0; x < low.width; ++x)
      if (low.at(x, y) != high.at(x, y)) {
        ++changed;
        EXPECT_TRUE(cell.pointInside(CPoint(x, y))) << x << ", " << y;
      }
  EXPECT_GT(changed, 20);
  // Overrides apply in order, after the program.
  EXPECT_EQ(shot("both.png", {"--param", "35=1", "--param", " volume =0"}).pixels, low.pixels);
}

TEST_F(ScreenshotTool, FailsWithOneLineAndNoFile) {
  const std::string target = (dir / "editor.png").string();
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"--program", "no such program", "-o", target},
        {"--program", "32", "-o", target},
        {"--param", "Volume=2", "-o", target},
        {"--param", "Loudness=0.5", "-o", target},
        {"--colour", "-o", target},
        {"-o"}}) {
    const ToolRun r = run(args);
    EXPECT_NE(r.exitCode, 0) << args[0];
    EXPECT_EQ(r.err.rfind("quillstave-screenshot: ", 0), 0u) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_TRUE(files().empty()) << args[0];
  }
  // A folder in the way: nothing is written, no temporary file is left.
  fs::create_directories(dir / "taken.png");
  const ToolRun r = run({"-o", (dir / "taken.png").string()});
  EXPECT_NE(r.exitCode, 0);
  EXPECT_EQ(files(), std::vector<std::string>{"taken.png"});
  EXPECT_TRUE(fs::is_directory(dir / "taken.png"));

  const ToolRun help = run({"--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(help.out.find("--program N|NAME"), std::string::npos);
  EXPECT_TRUE(files().size() == 1);
}

}  // namespace
