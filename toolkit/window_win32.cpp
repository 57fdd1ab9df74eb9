// The Win32 window layer: a child window of the host's window. The host's
// message loop delivers its messages; tracking loops read the pointer and
// the buttons straight from the system.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <windowsx.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <cwchar>

#include "resources/module_handle_win32.h"
#include "toolkit/bitmap.h"
#include "toolkit/platform_window.h"
#include "toolkit/win32_drop.h"

namespace {

int classUsers = 0;

// The window class is this module's own: a name that carries the module's
// address, registered for the module only. Two copies of the DLL in one host
// then never share a window procedure (one of which may be unloaded).
const wchar_t* className() {
  static wchar_t name[48] = {};
  if (!name[0]) {
    const auto address = reinterpret_cast<uintptr_t>(thisModule());
    swprintf(name, 48, L"QuillstaveFrame%llx", static_cast<unsigned long long>(address));
  }
  return name;
}

bool held(int key) { return (GetAsyncKeyState(key) & 0x8000) != 0; }

// Buttons and modifiers of a button message (Alt is not among its flags).
int32_t buttonsOf(WPARAM w) {
  int32_t b = 0;
  if (w & MK_LBUTTON) b |= kLButton;
  if (w & MK_RBUTTON) b |= kRButton;
  if (w & MK_MBUTTON) b |= kMButton;
  if (w & MK_SHIFT) b |= kShift;
  if (w & MK_CONTROL) b |= kControl;
  if (GetKeyState(VK_MENU) < 0) b |= kAlt;
  return b;
}

class Win32Window final : public PlatformWindow {
 public:
  Win32Window(HWND parent, const CRect& size) : width(size.width()), height(size.height()) {
    HINSTANCE instance = thisModule();
    if (classUsers++ == 0) {
      WNDCLASSEXW wc{};
      wc.cbSize = sizeof(wc);
      wc.lpfnWndProc = &Win32Window::procedure;
      wc.hInstance = instance;
      wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
      wc.lpszClassName = className();
      RegisterClassExW(&wc);
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top row first, as the canvas
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    memoryDc = CreateCompatibleDC(nullptr);
    dib = CreateDIBSection(memoryDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    previous = SelectObject(memoryDc, dib);
    hwnd = CreateWindowExW(0, className(), L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0,
                           width, height, parent, nullptr, instance, this);
    if (hwnd) DragAcceptFiles(hwnd, TRUE);
  }

  ~Win32Window() override {
    if (hwnd) {
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      DestroyWindow(hwnd);
    }
    SelectObject(memoryDc, previous);
    DeleteObject(dib);
    DeleteDC(memoryDc);
    if (--classUsers == 0) UnregisterClassW(className(), thisModule());
  }

  Win32Window(const Win32Window&) = delete;
  Win32Window& operator=(const Win32Window&) = delete;

  bool isValid() const { return hwnd && dib && bits; }

  void setEvents(WindowEvents* sink) override { events = sink; }

  void show(const CBitmap& canvas, const CRect& area) override {
    const CRect r = area.intersected(
        CRect(0, 0, std::min(width, canvas.getWidth()), std::min(height, canvas.getHeight())));
    if (r.isEmpty()) return;
    auto* dst = static_cast<uint32_t*>(bits);
    for (int32_t y = r.top; y < r.bottom; ++y)
      std::memcpy(dst + size_t(y) * size_t(width) + size_t(r.left),
                  canvas.data() + size_t(y) * size_t(canvas.getWidth()) + size_t(r.left),
                  size_t(r.width()) * 4);
    GdiFlush();
    HDC dc = GetDC(hwnd);
    BitBlt(dc, r.left, r.top, r.width(), r.height(), memoryDc, r.left, r.top, SRCCOPY);
    ReleaseDC(hwnd, dc);
  }

  CPoint pointerPosition() override {
    POINT p{};
    GetCursorPos(&p);
    ScreenToClient(hwnd, &p);
    return CPoint(p.x, p.y);
  }

  // The physical buttons, mapped to logical ones when the user swapped them.
  int32_t pointerButtons() override {
    const bool swapped = GetSystemMetrics(SM_SWAPBUTTON) != 0;
    int32_t b = 0;
    if (held(swapped ? VK_RBUTTON : VK_LBUTTON)) b |= kLButton;
    if (held(swapped ? VK_LBUTTON : VK_RBUTTON)) b |= kRButton;
    if (held(VK_MBUTTON)) b |= kMButton;
    if (held(VK_SHIFT)) b |= kShift;
    if (held(VK_CONTROL)) b |= kControl;
    if (held(VK_MENU)) b |= kAlt;
    return b;
  }

  // The host's message loop delivers messages to the window procedure.
  void processEvents() override {}

  bool handlePendingPaint() override {
    MSG m;
    if (!PeekMessageW(&m, hwnd, WM_PAINT, WM_PAINT, PM_REMOVE)) return false;
    DispatchMessageW(&m);
    return true;
  }

 private:
  static LRESULT CALLBACK procedure(HWND h, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_NCCREATE) {
      auto* create = reinterpret_cast<CREATESTRUCTW*>(l);
      SetWindowLongPtrW(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<Win32Window*>(GetWindowLongPtrW(h, GWLP_USERDATA));
    if (self && self->events && self->handle(h, message, w, l)) return 0;
    return DefWindowProcW(h, message, w, l);
  }

  bool handle(HWND h, UINT message, WPARAM w, LPARAM l) {
    switch (message) {
      case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(h, &ps);
        const RECT& r = ps.rcPaint;
        events->windowPaint(CRect(r.left, r.top, r.right, r.bottom));
        EndPaint(h, &ps);
        return true;
      }
      case WM_ERASEBKGND:
        return true;
      case WM_LBUTTONDOWN:
      case WM_RBUTTONDOWN:
      case WM_MBUTTONDOWN: {
        SetCapture(h);
        events->windowMouseDown(CPoint(GET_X_LPARAM(l), GET_Y_LPARAM(l)), buttonsOf(w));
        ReleaseCapture();
        return true;
      }
      case WM_DROPFILES: {
        CPoint where;
        const CDropItems items = droppedFiles(reinterpret_cast<HDROP>(w), where);
        if (items.count() > 0) events->windowDrop(items, where);
        return true;
      }
      default:
        return false;
    }
  }

  HWND hwnd = nullptr;
  int32_t width;
  int32_t height;
  HDC memoryDc = nullptr;
  HBITMAP dib = nullptr;
  HGDIOBJ previous = nullptr;
  void* bits = nullptr;
  WindowEvents* events = nullptr;
};

}  // namespace

std::unique_ptr<PlatformWindow> createPlatformWindow(void* parent, const CRect& size) {
  if (!parent) return nullptr;
  auto window = std::make_unique<Win32Window>(static_cast<HWND>(parent), size);
  if (!window->isValid()) return nullptr;
  return window;
}
