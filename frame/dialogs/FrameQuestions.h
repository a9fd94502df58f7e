#pragma once
// IFrameQuestions: the modal questions the main frame asks on its own (before it ends, at start-up,
// every 50th run) and the File menu's Open dialog. The frame asks through GetFrameQuestions(); the
// production implementation runs the dialogs, and a test replaces it for its scope with
// CScopedFrameQuestions, so that a frame under test is never stopped by a question it does not ask
// for.
#include "core/app/Settings.h"
#include "core/library/StdStr.h"

#include <windows.h>

#include <functional>
#include <vector>

// The answers of "Open Selected Sites".
constexpr int kSessionRestoreOpen = 1;
constexpr int kSessionRestoreOpenNone = 2;

class IFrameQuestions {
public:
    virtual ~IFrameQuestions() = default;
    // The exit dialog (or its answer without showing when it is switched off): IDOK to go on
    // closing. saveToGroup saves the open pages under a group name; false when it could not.
    virtual int AskExit(HWND frame, const std::function<bool(const char* group)>& saveToGroup) = 0;
    // The donation dialog in reminder mode.
    virtual void RemindDonation(HWND parent) = 0;
    // "Open Selected Sites": 1 opens the sites whose entry of `chosen` (one per site, in list order)
    // is true, 2 opens none. normalRestore: false after a run that did not end normally.
    virtual int ChooseSessionSites(HWND frame, const std::vector<CSessionEntry>& sites, std::vector<bool>& chosen,
                                   bool normalRestore) = 0;
    // The Open dialog: true with the address to open, false when cancelled.
    virtual bool AskOpenAddress(HWND frame, CStdString& address) = 0;
    // The Help menu's About box and donation dialog (plain mode).
    virtual void ShowAbout(HWND parent) = 0;
    virtual void ShowDonation(HWND parent) = 0;
};

// The dialogs themselves.
class CFrameDialogQuestions : public IFrameQuestions {
public:
    int AskExit(HWND frame, const std::function<bool(const char* group)>& saveToGroup) override;
    void RemindDonation(HWND parent) override;
    int ChooseSessionSites(HWND frame, const std::vector<CSessionEntry>& sites, std::vector<bool>& chosen,
                           bool normalRestore) override;
    bool AskOpenAddress(HWND frame, CStdString& address) override;
    void ShowAbout(HWND parent) override;
    void ShowDonation(HWND parent) override;
};

// The installed implementation: the dialogs unless a scope replaced them.
IFrameQuestions& GetFrameQuestions();

// Installs its implementation for its scope and puts the previous one back.
class CScopedFrameQuestions {
public:
    explicit CScopedFrameQuestions(IFrameQuestions& questions);
    ~CScopedFrameQuestions();
    CScopedFrameQuestions(const CScopedFrameQuestions&) = delete;
    CScopedFrameQuestions& operator=(const CScopedFrameQuestions&) = delete;

private:
    IFrameQuestions* m_previous;  // not owned
};
