#pragma once
// CDynamicLibrary: the holder of a library loaded at run time, freed with the object. Loading
// shows no "file not found" box.
#include <windows.h>

class CDynamicLibrary {
public:
    CDynamicLibrary() = default;
    ~CDynamicLibrary() { Free(); }
    CDynamicLibrary(const CDynamicLibrary&) = delete;
    CDynamicLibrary& operator=(const CDynamicLibrary&) = delete;

    bool Load(const char* name, DWORD flags = 0);
    void Free();
    FARPROC GetProc(const char* name) const { return m_module ? ::GetProcAddress(m_module, name) : nullptr; }
    HMODULE GetHandle() const { return m_module; }
    bool IsLoaded() const { return m_module != nullptr; }

private:
    HMODULE m_module = nullptr;
};
