#pragma once
// The program's help: the topics of "KivoBrowser.chm" in the program folder, shown by the system's
// HTML Help, which is loaded from "hhctrl.ocx" only when a topic is first asked for. Where the
// library or its entry is missing, or the help file cannot be opened, the user is told so in a
// message box instead of the command doing nothing.
//
// IHelpViewer is the seam: the frame's commands and the dialogs with a Help button are given one
// (the system's by default); tests give a recording one, or the system's over a library name that
// does not exist. UI thread only.
#include "core/system/DynamicLibrary.h"

#include <windows.h>

#include <string>

inline constexpr const char* kHelpFileName = "KivoBrowser.chm";
inline constexpr const char* kHelpLibraryName = "hhctrl.ocx";
inline constexpr const char* kHelpTopicIntroduction = "::/intro.htm";
inline constexpr const char* kHelpTopicSkins = "::/skin.htm";

enum class EHelpResult { kShown, kNoHelpViewer, kNoHelpFile };

class IHelpViewer {
public:
    // Opens `file` at `topic` with the contents pane, owned by `owner`.
    virtual EHelpResult ShowContents(HWND owner, const char* file, const char* topic) = 0;

protected:
    ~IHelpViewer() = default;
};

// HTML Help of the system, from the named library (loaded on first use and kept).
class CHtmlHelpViewer final : public IHelpViewer {
public:
    explicit CHtmlHelpViewer(const char* libraryName = kHelpLibraryName) : m_libraryName(libraryName) {}
    CHtmlHelpViewer(const CHtmlHelpViewer&) = delete;
    CHtmlHelpViewer& operator=(const CHtmlHelpViewer&) = delete;

    EHelpResult ShowContents(HWND owner, const char* file, const char* topic) override;

private:
    using HtmlHelpFunction = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);
    HtmlHelpFunction Function();

    std::string m_libraryName;
    CDynamicLibrary m_library;
    bool m_tried = false;
    HtmlHelpFunction m_function = nullptr;  // inside m_library
};

// The system's viewer, made on first use.
IHelpViewer& GetSystemHelpViewer();

// The program's help file at the topic through `viewer`; a failure is explained to the user (the
// text translated). True when the topic is shown.
bool OpenHelpTopic(IHelpViewer& viewer, HWND owner, const char* topic);
// The path of the program's help file.
std::string GetHelpFilePath();
