#include "toolkit/platform_window.h"

std::unique_ptr<PlatformWindow> createPlatformWindow(void*, const CRect&) { return nullptr; }
