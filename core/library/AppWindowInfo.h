#pragma once
// CAppWindowInfo: the process-wide record of the program's own module file, its folder and the
// main window. Start-up stores the main window once the frame exists; every part that must
// reach the main window reads it here (null before that).
#include "core/library/StdStr.h"

#include <windows.h>

class CAppWindowInfo {
public:
    CAppWindowInfo();

    // The full path of the program file.
    const TStdStr<char>& GetModulePath() const { return m_modulePath; }
    // The module path without its file part, ending in a backslash.
    const TStdStr<char>& GetProgramFolder() const { return m_programFolder; }
    // The program file's name without folder and extension ("KivoBrowser").
    TStdStr<char> GetProgramTitle() const;

    HWND GetMainWindow() const { return m_mainWindow; }
    void SetMainWindow(HWND window) { m_mainWindow = window; }

private:
    TStdStr<char> m_modulePath;
    TStdStr<char> m_programFolder;
    HWND m_mainWindow = nullptr;
};

// Created on first use; among the last objects of the teardown (priority 8).
CAppWindowInfo* GetAppWindowInfo();
