#include "toolkit/win32_drop.h"

#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <string>
#include <vector>

namespace {

std::string toUtf8(const std::wstring& w) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, nullptr, 0, nullptr, nullptr);
  if (n <= 1) return {};
  std::string s(size_t(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, s.data(), n, nullptr, nullptr);
  s.resize(size_t(n - 1));
  return s;
}

bool isShortcut(const std::wstring& path) {
  return path.size() > 4 && _wcsicmp(path.c_str() + path.size() - 4, L".lnk") == 0;
}

// The target of a shell shortcut, or the path itself if it cannot be read.
std::wstring resolve(const std::wstring& path) {
  if (!isShortcut(path)) return path;
  std::wstring target = path;
  IShellLinkW* link = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                 reinterpret_cast<void**>(&link)))) {
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
      wchar_t buffer[MAX_PATH] = {};
      if (SUCCEEDED(file->Load(path.c_str(), STGM_READ)) &&
          SUCCEEDED(link->GetPath(buffer, MAX_PATH, nullptr, 0)) && buffer[0])
        target = buffer;
      file->Release();
    }
    link->Release();
  }
  return target;
}

}  // namespace

CDropItems droppedFiles(HDROP drop, CPoint& where) {
  CDropItems items;
  POINT p{};
  DragQueryPoint(drop, &p);
  where = CPoint(p.x, p.y);
  const HRESULT com = CoInitialize(nullptr);
  const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    const UINT length = DragQueryFileW(drop, i, nullptr, 0);
    std::wstring path(size_t(length) + 1, L'\0');
    DragQueryFileW(drop, i, path.data(), length + 1);
    path.resize(length);
    items.items.push_back(toUtf8(resolve(path)));
  }
  if (SUCCEEDED(com)) CoUninitialize();
  DragFinish(drop);
  return items;
}
