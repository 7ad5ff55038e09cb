// The system's DLLs and their entry points, from the system's folder only.
#pragma once

#include <windows.h>

// The system's DLLs, taken from the system's own folder only: a DLL of the same name lying beside
// the launcher (players run it from where they download things) never runs in its place.
class SystemLibrary {
public:
    // First thing in the entry function: every later load by name looks in the system's folder
    // only, and the DLLs that are loaded at their first call (cmake/DelayImports.cmake) are
    // loaded from there now, where the system cannot be told to look there only.
    static void RestrictSearchPath();
    // A DLL of the system's folder, by its full path; null when the system has none.
    static HMODULE Load(const wchar_t* name);
    // An entry point of a DLL as a pointer of its type; null when the DLL or the entry point is missing.
    template <typename Function>
    static Function Find(HMODULE module, const char* name)
    {
        return module ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
    }
};
