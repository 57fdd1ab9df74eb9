// The module this code is linked into: the plug-in DLL, or a test program.
// Its resources and window class belong to it.
#pragma once

#include <windows.h>

HMODULE thisModule();
