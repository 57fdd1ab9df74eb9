// The Win32 window layer: the frame's child window paints the canvas, takes
// presses with their modifiers and file drops with shortcuts resolved.
#include <objbase.h>
#include <shlobj.h>
#include <windows.h>

#include <cstring>
#include <string>

#include "probe_view.h"
#include "toolkit/draw_context.h"
#include "toolkit_fixture.h"

namespace {

class Win32WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    parent = CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 900,
                             400, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(parent, nullptr);
    frame = std::make_unique<CFrame>(CRect(0, 0, 851, 311), parent, &editor);
    ASSERT_TRUE(frame->isOpen());
    editor.frame = frame.get();
    probe = new Probe(CRect(100, 50, 140, 90));
    frame->addView(probe);
    child = GetWindow(parent, GW_CHILD);
    ASSERT_NE(child, nullptr);
  }
  void TearDown() override {
    editor.frame = nullptr;
    frame.reset();
    if (parent) DestroyWindow(parent);
  }
  void pump() {
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
  }

  FakeClock clock;
  RecordingEditor editor{clock};
  HWND parent = nullptr, child = nullptr;
  std::unique_ptr<CFrame> frame;
  Probe* probe = nullptr;
};

TEST_F(Win32WindowTest, PaintShowsTheCanvas) {
  frame->idle();
  InvalidateRect(child, nullptr, FALSE);
  UpdateWindow(child);
  HDC dc = GetDC(child);
  EXPECT_EQ(GetPixel(dc, 120, 70), RGB(255, 0, 0));
  ReleaseDC(child, dc);
}

TEST_F(Win32WindowTest, PressesCarryTheirButtonAndModifiers) {
  SendMessageW(child, WM_RBUTTONDOWN, MK_RBUTTON | MK_SHIFT, MAKELPARAM(110, 60));
  EXPECT_EQ(probe->pressAt, CPoint(110, 60));
  EXPECT_EQ(probe->pressButtons & ~kAlt, kRButton | kShift);
  SendMessageW(child, WM_LBUTTONDOWN, MK_LBUTTON | MK_CONTROL, MAKELPARAM(5, 5));
  EXPECT_EQ(probe->pressAt, CPoint(110, 60));  // outside the probe
}

// A WM_DROPFILES message as the shell sends it, for the given paths.
HGLOBAL dropOf(const std::wstring& paths, POINT where) {
  HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + (paths.size() + 1) * sizeof(wchar_t));
  auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
  drop->pFiles = sizeof(DROPFILES);
  drop->pt = where;
  drop->fWide = TRUE;
  std::memcpy(drop + 1, paths.c_str(), (paths.size() + 1) * sizeof(wchar_t));
  GlobalUnlock(memory);
  return memory;
}

TEST_F(Win32WindowTest, DropsDeliverPathsWithShortcutsResolved) {
  wchar_t folder[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  const std::wstring target = std::wstring(folder) + L"qs_drop_target.wav";
  const std::wstring shortcut = std::wstring(folder) + L"qs_drop_link.lnk";
  CloseHandle(CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
  IShellLinkW* link = nullptr;
  ASSERT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                         IID_IShellLinkW, reinterpret_cast<void**>(&link))));
  link->SetPath(target.c_str());
  IPersistFile* file = nullptr;
  link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
  ASSERT_TRUE(SUCCEEDED(file->Save(shortcut.c_str(), TRUE)));
  file->Release();
  link->Release();
  CoUninitialize();

  const std::wstring paths = L"C:\\plain.wav" + std::wstring(1, L'\0') + shortcut + L'\0';
  SendMessageW(child, WM_DROPFILES, WPARAM(dropOf(paths, POINT{120, 70})), 0);
  ASSERT_EQ(probe->dropped.count(), 2);
  EXPECT_EQ(probe->dropped.items[0], "C:\\plain.wav");
  char expected[MAX_PATH];
  WideCharToMultiByte(CP_UTF8, 0, target.c_str(), -1, expected, MAX_PATH, nullptr, nullptr);
  EXPECT_STRCASEEQ(probe->dropped.items[1].c_str(), expected);
  EXPECT_EQ(probe->dropAt, CPoint(120, 70));
  DeleteFileW(shortcut.c_str());
  DeleteFileW(target.c_str());
}

}  // namespace
