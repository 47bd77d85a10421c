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
// A module also gives one of its exports by number (uxtheme's 129 is OpenThemeDataForDpi).
void WINAPI TwSetExportOrdinal(HMODULE module, WORD ordinal, LPCSTR procName);
// Tests take a module away by its full name ("wmvcore.dll"), as systems without it are: it is then not
// found whether registered or not; FALSE gives it back.
void WINAPI TwWithholdModule(LPCWSTR name, BOOL withhold);
// Tests hide an export's name, as systems that give it only by number do; FALSE shows it again.
void WINAPI TwHideExport(HMODULE module, LPCSTR procName, BOOL hide);

#define ERROR_MOD_NOT_FOUND 126L
#define ERROR_PROC_NOT_FOUND 127L

// The program's module for a null name (the handle its resources are filed under); a registered
// Windows library name; otherwise 0 with ERROR_MOD_NOT_FOUND. Never loads anything.
HMODULE WINAPI GetModuleHandleW(LPCWSTR lpModuleName);
// A Windows library name resolves to the stand-in's module ("uxtheme.dll" is ours); a library we do
// not provide fails with ERROR_MOD_NOT_FOUND, so callers take their fallback path. A name holding
// ".so" is a Linux shared library and goes to dlopen.
HMODULE WINAPI LoadLibraryW(LPCWSTR lpLibFileName);
// Exports by name, and by the numbers a module gave (otherwise ERROR_PROC_NOT_FOUND).
FARPROC WINAPI GetProcAddress(HMODULE hModule, LPCSTR lpProcName);
// Modules stay loaded for the life of the process; TRUE for any module handle.
BOOL WINAPI FreeLibrary(HMODULE hLibModule);

} // extern "C"
