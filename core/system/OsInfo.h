#pragma once
// COsInfo: the facts about the running system that drawing and feature decisions depend on, read
// once. Beside it: the version query of a system DLL through its DllGetVersion export, the code
// page for text conversion, and the web browser's link colours of the current user.
#include <windows.h>
#include <shlwapi.h>

// The function that names the code page of the current thread for text conversions.
using CodePageFunction = UINT (*)();

class COsInfo {
public:
    COsInfo();

    const SYSTEM_INFO& GetSystemInfo() const { return m_systemInfo; }
    const OSVERSIONINFOA& GetVersionInfo() const { return m_versionInfo; }
    DWORD GetPlatform() const { return m_versionInfo.dwPlatformId; }
    DWORD GetMajorVersion() const { return m_versionInfo.dwMajorVersion; }
    DWORD GetMinorVersion() const { return m_versionInfo.dwMinorVersion; }
    // Windows XP or later: the NT platform, version 5.1 or later.
    bool IsWinXPOrLater() const;

    // The version of COMCTL32.DLL; 4.0 when the DLL does not answer DllGetVersion.
    DWORD GetComCtlMajor() const { return m_comCtlMajor; }
    DWORD GetComCtlMinor() const { return m_comCtlMinor; }

    // The code page of the current thread for conversions.
    UINT GetCodePage() const;

    int GetLargeIconWidth() const { return m_largeIconWidth; }
    int GetLargeIconHeight() const { return m_largeIconHeight; }
    int GetSmallIconWidth() const { return m_smallIconWidth; }
    int GetSmallIconHeight() const { return m_smallIconHeight; }

private:
    SYSTEM_INFO m_systemInfo = {};
    OSVERSIONINFOA m_versionInfo = {};
    DWORD m_comCtlMajor = 4;
    DWORD m_comCtlMinor = 0;
    CodePageFunction volatile m_codePage = nullptr;
    int m_largeIconWidth = 0;
    int m_largeIconHeight = 0;
    int m_smallIconWidth = 0;
    int m_smallIconHeight = 0;
};

// The one COsInfo, created on first use; destroyed late in the teardown (priority 5).
COsInfo* GetOsInfo();

// Loads the DLL, calls its DllGetVersion when it exports one (the record's size is set here),
// frees the DLL; true when the call succeeded.
bool GetDllVersion(const char* dllName, DLLVERSIONINFO* version);
// The version of SHDOCVW.DLL; the outputs are 0 when it cannot be read.
bool GetShdocvwVersion(DWORD* major, DWORD* minor, DWORD* build);
// The default ANSI code page of the thread's locale; the system's ANSI code page when the locale
// names none.
UINT GetCodePageOfThreadLocale();

// "r,g,b" in decimal as a COLORREF (each part modulo 256); CLR_INVALID when a part is missing.
COLORREF ParseColorString(const char* text);
// The browser's "Anchor Color" and "Anchor Color Visited" of the current user. An output is set
// only when its value parses; true when the settings key was opened.
bool GetIeLinkColors(COLORREF* link, COLORREF* visited);
