// win/kernel32/modules.h: the registry of the stand-in's own modules, by their Windows library name.
// LoadLibraryW/GetModuleHandleW/GetProcAddress resolve through it, so that "uxtheme.dll" gives the
// exported (patchable) functions of the stand-in's theme library.
#pragma once

#include "win/windef.h"

extern "C" {

// Called by each module when it is loaded: a Windows name ("user32.dll") and any address inside it.
void WINAPI TwRegisterModule(LPCWSTR name, const void* anyAddressInside);
// The module handle for a Windows library name (case-insensitive), or 0 when the stand-in lacks it.
HMODULE WINAPI TwFindModule(LPCWSTR name);
// An exported function of a registered module by name, or nullptr.
FARPROC WINAPI TwFindExport(HMODULE module, LPCSTR procName);

} // extern "C"
