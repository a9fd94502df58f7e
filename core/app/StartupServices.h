#pragma once
// What the start-up calls in the neighbouring subsystems (main frame, browser view, edit control,
// ActiveX hosting), gathered in one table of replaceable operations.
// Each entry starts as the least that start-up needs; the subsystems that own the real operations
// put theirs in place when they arrive. (The namespace handler's class object is the module's
// object-map entry, which the program's entry file declares.)
#include <windows.h>

struct CStartupServices {
    // The frame's default-browser check (it may ask the user). Placeholder: nothing to check.
    void (*checkDefaultBrowser)();
    // Registers the ActiveX control host window classes. Placeholder: nothing to register.
    void (*registerActiveXHost)();
    // The edit-control library's start (true on success) and stop, and the loader of one parser
    // configuration held in a global memory block. Placeholders: nothing to start or load.
    bool (*startEditControl)(HINSTANCE instance);
    void (*stopEditControl)(HINSTANCE instance);
    void (*loadParserConfiguration)(HGLOBAL configuration);
    // Builds the main frame and creates its window: no parent, the given rectangle; 0 on failure.
    // The program connects the frame library's; without it there is no main window.
    HWND (*createMainFrame)(const RECT& rect);
    // Every user-visible message box of start-up goes through here, so that tests can replace it.
    int (*showMessageBox)(HWND owner, const char* text, const char* caption, UINT type);
};

CStartupServices& GetStartupServices();
