#pragma once
// CFrameDropTarget: what is dropped on the main frame outside its tabs: files, text and Internet
// shortcuts, each opened in a new tab through the open-URL operation (whose rules refuse programs).
// The frame holds the object for its lifetime and registers it with its window; the reference
// count does nothing, because the frame's lifetime decides.
#include "core/library/StdStr.h"

#include <windows.h>
#include <ole2.h>

#include <functional>
#include <vector>

class CFrameDropTarget final : public IDropTarget {
public:
    // open: opens one text in a new tab and answers whether something was opened.
    explicit CFrameDropTarget(std::function<bool(const char*)> open) : m_open(std::move(open)) {}
    CFrameDropTarget(const CFrameDropTarget&) = delete;
    CFrameDropTarget& operator=(const CFrameDropTarget&) = delete;
    virtual ~CFrameDropTarget() = default;

    // The texts a data object offers: every file of a file list, else its text, else its
    // Internet shortcut's URL; each at most the open-URL limit.
    static std::vector<TStdStr<char>> TextsOf(IDataObject* data);
    // The effect for the keys held and the effects the source allows; DROPEFFECT_NONE when the
    // data offers nothing to open.
    static DWORD EffectFor(bool offersSomething, DWORD keyState, DWORD allowed);

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override { return 1; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP DragEnter(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) override;
    STDMETHODIMP DragOver(DWORD keyState, POINTL point, DWORD* effect) override;
    STDMETHODIMP DragLeave() override;
    STDMETHODIMP Drop(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) override;

private:
    std::function<bool(const char*)> m_open;
    bool m_offersSomething = false;
};
