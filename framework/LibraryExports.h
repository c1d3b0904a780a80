// A function of a library loaded on first use, looked up by name into a
// pointer of its own declared type; null when the library lacks it.
#pragma once

#include <windows.h>

template <typename Function>
void ResolveExport(HMODULE module, const char* name, Function& function) {
  function = reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}
