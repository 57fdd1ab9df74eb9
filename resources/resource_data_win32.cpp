#include <windows.h>

#include "resources/embedded_resource.h"
#include "resources/module_handle_win32.h"
#include "resources/resource_data.h"

HMODULE thisModule() {
  HMODULE module = nullptr;
  GetModuleHandleExW(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCWSTR>(&thisModule), &module);
  return module;
}

// The DLL's bitmap resource; programs without the resources (the tests) use
// the compiled-in copy.
std::span<const uint8_t> resourceData(int32_t id) {
  HMODULE module = thisModule();
  if (HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(2))) {
    HGLOBAL loaded = LoadResource(module, found);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (data) return {static_cast<const uint8_t*>(data), SizeofResource(module, found)};
  }
  return embeddedResource(id);
}
