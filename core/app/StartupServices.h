#pragma once
// IStartupServices: what the start-up calls in the neighbouring subsystems (main frame, browser
// view, edit control, ActiveX hosting), which come after the core in the order of the libraries.
// CDefaultStartupServices does the least that start-up needs; the program's entry puts the real
// implementation in place with SetStartupServices before the application starts. Message boxes of
// the start-up go through GetMessageBoxes() (core/system/MessageBoxes.h). (The namespace
// handler's class object is the module's object-map entry, which the program's entry file declares.)
#include <windows.h>

class IStartupServices {
public:
    virtual ~IStartupServices() = default;
    // The frame's default-browser check (it may ask the user).
    virtual void CheckDefaultBrowser() = 0;
    // Registers the ActiveX control host window classes.
    virtual void RegisterActiveXHost() = 0;
    // The edit-control library's start (true on success) and stop, and the loader of one parser
    // configuration held in a global memory block.
    virtual bool StartEditControl(HINSTANCE instance) = 0;
    virtual void StopEditControl(HINSTANCE instance) = 0;
    virtual void LoadParserConfiguration(HGLOBAL configuration) = 0;
    // Builds the main frame and creates its window: no parent, the given rectangle; 0 on failure.
    virtual HWND CreateMainFrame(const RECT& rect) = 0;
};

// The placeholders: nothing to check, register, start or load, and no main window.
class CDefaultStartupServices : public IStartupServices {
public:
    void CheckDefaultBrowser() override {}
    void RegisterActiveXHost() override {}
    bool StartEditControl(HINSTANCE) override { return true; }
    void StopEditControl(HINSTANCE) override {}
    void LoadParserConfiguration(HGLOBAL) override {}
    HWND CreateMainFrame(const RECT&) override { return nullptr; }
};

// The current implementation: the one set last, else the placeholders.
IStartupServices& GetStartupServices();
// Puts `services` (not owned; it must live until the program ends; null: the placeholders) in
// place and returns the previous one.
IStartupServices* SetStartupServices(IStartupServices* services);

// Puts `replacement` (not owned) in place for the object's scope and restores the previous one.
class CScopedStartupServices {
public:
    explicit CScopedStartupServices(IStartupServices& replacement) : m_previous(SetStartupServices(&replacement)) {}
    ~CScopedStartupServices() { SetStartupServices(m_previous); }
    CScopedStartupServices(const CScopedStartupServices&) = delete;
    CScopedStartupServices& operator=(const CScopedStartupServices&) = delete;

private:
    IStartupServices* m_previous = nullptr;  // not owned: the implementation before this scope
};
