// The loaded DLL's editor in a real window (under Wine on a private X server
// in the Windows build): a host window, effEditOpen with its HWND and
// effEditIdle from the host's message loop. The window shows what the
// headless layer of the same build draws, and a drag made with SendInput
// moves the " Volume " knob with the host told of the gesture.
#include <windows.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "host_window_support.h"
#include "plugin_fixture.h"

namespace {

using namespace host_window;
using namespace std::chrono_literals;

// What the window shows, read back through its device context.
EditorImage grab(HWND window) {
  EditorImage shot;
  HDC windowDc = GetDC(window);
  HDC memoryDc = CreateCompatibleDC(windowDc);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = kWidth;
  info.bmiHeader.biHeight = -kHeight;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(windowDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (dib && bits) {
    HGDIOBJ previous = SelectObject(memoryDc, dib);
    if (BitBlt(memoryDc, 0, 0, kWidth, kHeight, windowDc, 0, 0, SRCCOPY)) {
      GdiFlush();
      const auto* p = static_cast<const uint32_t*>(bits);
      shot.width = kWidth;
      shot.height = kHeight;
      for (size_t i = 0; i < size_t(kWidth) * kHeight; ++i) shot.pixels.push_back(p[i] & 0xFFFFFF);
    }
    SelectObject(memoryDc, previous);
    DeleteObject(dib);
  }
  DeleteDC(memoryDc);
  ReleaseDC(window, windowDc);
  return shot;
}

class Win32HostEditor : public ::testing::Test {
 protected:
  void SetUp() override {
    host = CreateWindowExW(0, L"STATIC", L"host", WS_POPUP | WS_VISIBLE, 0, 0, kWidth, kHeight,
                           nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(host, nullptr);
    plugin = testing_support::newInstance();
    ASSERT_TRUE(plugin);
    plugin->start();
    ASSERT_EQ(plugin->dispatch(vst::effEditOpen, 0, 0, host), 1);
    editorWindow = GetWindow(host, GW_CHILD);
    ASSERT_NE(editorWindow, nullptr) << "the editor made no child window";
  }
  void TearDown() override {
    if (plugin) plugin->dispatch(vst::effEditClose);
    plugin.reset();
    if (host) DestroyWindow(host);
  }

  // One turn of the host's loop: its messages, then the editor's idle.
  void idle() {
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&m);
      DispatchMessageW(&m);
    }
    plugin->dispatch(vst::effEditIdle);
    Sleep(10);
  }
  // Idles until the window shows the expected pixels (or five seconds pass);
  // answers how many pixels differ.
  size_t idleUntilShown(const EditorImage& expected) {
    size_t differing = expected.pixels.size();
    for (auto end = std::chrono::steady_clock::now() + 5s;
         std::chrono::steady_clock::now() < end;) {
      idle();
      differing = differingPixels(grab(editorWindow), expected);
      if (differing == 0) break;
    }
    return differing;
  }

  HWND host = nullptr, editorWindow = nullptr;
  std::unique_ptr<plughost::PluginInstance> plugin;
};

TEST_F(Win32HostEditor, ShowsTheHeadlessRenderOfTheProgram) {
  plugin->dispatch(vst::effSetProgram, 0, 5);
  auto reference = screenshot::createLinkedInstance();
  ASSERT_TRUE(reference);
  reference->dispatch(vst::effSetProgram, 0, 5);
  const EditorImage expected = screenshot::renderEditor(*reference);
  EXPECT_EQ(idleUntilShown(expected), 0u);

  // Drawn over, then invalidated: the message loop paints it from the canvas.
  HDC dc = GetDC(editorWindow);
  HBRUSH magenta = CreateSolidBrush(RGB(255, 0, 255));
  RECT area{100, 50, 400, 250};
  FillRect(dc, &area, magenta);
  DeleteObject(magenta);
  ReleaseDC(editorWindow, dc);
  EXPECT_NE(grab(editorWindow).pixels, expected.pixels);
  InvalidateRect(editorWindow, &area, FALSE);
  EXPECT_EQ(idleUntilShown(expected), 0u);
}

// Absolute SendInput coordinates span the primary screen as 0 to 65535.
INPUT mouseInput(CPoint screen, DWORD flags) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dx =
      LONG((screen.h * 65536 + GetSystemMetrics(SM_CXSCREEN) / 2) / GetSystemMetrics(SM_CXSCREEN));
  in.mi.dy =
      LONG((screen.v * 65536 + GetSystemMetrics(SM_CYSCREEN) / 2) / GetSystemMetrics(SM_CYSCREEN));
  in.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  return in;
}

TEST_F(Win32HostEditor, SentInputDragMovesTheVolumeKnob) {
  const std::vector<CPoint> path = volumeDragPath();
  POINT origin{0, 0};
  ClientToScreen(editorWindow, &origin);
  auto onScreen = [&](CPoint p) { return CPoint(p.h + origin.x, p.v + origin.y); };
  const float before = plugin->getParameter(kVolume);
  plugin->clearCalls();
  idle();

  // The input comes from a thread of its own: while the button is down the
  // knob's tracking loop holds the host's message loop, reading the pointer.
  std::atomic<bool> done{false};
  std::thread user([&] {
    auto send = [](INPUT in) {
      SendInput(1, &in, sizeof(INPUT));
      Sleep(50);
    };
    send(mouseInput(onScreen(path.front()), 0));
    send(mouseInput(onScreen(path.front()), MOUSEEVENTF_LEFTDOWN));
    for (size_t i = 1; i < path.size(); ++i) send(mouseInput(onScreen(path[i]), 0));
    send(mouseInput(onScreen(path.back()), MOUSEEVENTF_LEFTUP));
    done = true;
  });
  while (!done) idle();
  user.join();
  for (int i = 0; i < 5; ++i) idle();

  const float after = plugin->getParameter(kVolume);
  EXPECT_NE(after, before);
  EXPECT_NEAR(after, 2.0f / 3.0f, 0.02f);
  EXPECT_EQ(gestureOf(plugin->calls(), kVolume), kWholeGesture);
  EXPECT_GT(plugin->countCalls(vst::audioMasterIdle), 0u) << "the drag kept the host alive";

  // The same drag on the headless layer ends at the same value and picture.
  const DragResult expected = headlessDrag(path);
  EXPECT_EQ(expected.value, after);
  EXPECT_EQ(idleUntilShown(expected.shown), 0u);
}

// Two copies of the DLL in one host: each has its own window class and
// procedure, so the editor of one keeps working after the other is unloaded.
TEST(Win32TwoModules, EditorOutlivesAnUnloadedCopyOfTheDll) {
  ASSERT_TRUE(CopyFileW(L"quillstave.dll", L"quillstave-copy.dll", FALSE));
  std::string error;
  auto copy = plughost::PluginModule::load("quillstave-copy.dll", error);
  ASSERT_TRUE(copy) << error;
  auto windowFor = [] {
    return CreateWindowExW(0, L"STATIC", L"host", WS_POPUP | WS_VISIBLE, 0, 0, kWidth, kHeight,
                           nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  };
  HWND copyHost = windowFor(), host = windowFor();
  auto fromCopy = plughost::PluginInstance::create(*copy);
  auto plugin = testing_support::newInstance();
  ASSERT_TRUE(fromCopy && plugin);
  // The copy opens first: before each module had its class, the second editor
  // got the copy's class and procedure.
  ASSERT_EQ(fromCopy->dispatch(vst::effEditOpen, 0, 0, copyHost), 1);
  ASSERT_EQ(plugin->dispatch(vst::effEditOpen, 0, 0, host), 1);
  HWND copyEditor = GetWindow(copyHost, GW_CHILD), editor = GetWindow(host, GW_CHILD);
  ASSERT_TRUE(copyEditor && editor);
  EXPECT_NE(GetWindowLongPtrW(copyEditor, GWLP_WNDPROC), GetWindowLongPtrW(editor, GWLP_WNDPROC));

  fromCopy->dispatch(vst::effEditClose);
  fromCopy.reset();
  copy.reset();  // unloads the copy
  for (int i = 0; i < 10; ++i) {
    InvalidateRect(editor, nullptr, FALSE);
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&m);
      DispatchMessageW(&m);
    }
    plugin->dispatch(vst::effEditIdle);
  }
  plugin->dispatch(vst::effEditClose);
  DestroyWindow(host);
  DestroyWindow(copyHost);
  DeleteFileW(L"quillstave-copy.dll");
}

}  // namespace
