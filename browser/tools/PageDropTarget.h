#pragma once
// The program-wide drop target of web pages. The engine asks its host for a drop target, and the
// host answers with this one object, so that whatever is dropped on any page is the program's: a
// link or a file opens in a new tab (the open-URL request to the main window), dropped text is
// searched with the default search engine (through IPageTextSearch, which the search bar's owner
// installs). A drag that offers copy, move and link at once is left alone, as the system's own
// shell drags are.
//
// Lifetime: one object for the program, made on first use by GetPageDropTarget and kept to the end
// (it holds no resource); its reference count is kept for COM's sake but never deletes it.
// UI thread only (OLE drag and drop).
#include "core/library/StdStr.h"

#include <windows.h>
#include <oleidl.h>

// What the drop target asks of the search bar: search the text with the default engine.
class IPageTextSearch {
public:
    virtual ~IPageTextSearch() = default;
    virtual void SearchText(const char* text) = 0;
};
IPageTextSearch* GetPageTextSearch();
// Installs search (null: none; dropped text is then dropped) and returns the one it replaces.
IPageTextSearch* SetPageTextSearch(IPageTextSearch* search);

class CPageDropTarget final : public IDropTarget {
public:
    CPageDropTarget() = default;
    CPageDropTarget(const CPageDropTarget&) = delete;
    CPageDropTarget& operator=(const CPageDropTarget&) = delete;
    virtual ~CPageDropTarget() = default;

    STDMETHOD(QueryInterface)(REFIID iid, void** object) override;
    STDMETHOD_(ULONG, AddRef)() override;
    STDMETHOD_(ULONG, Release)() override;
    STDMETHOD(DragEnter)(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) override;
    STDMETHOD(DragOver)(DWORD keyState, POINTL point, DWORD* effect) override;
    STDMETHOD(DragLeave)() override { return S_OK; }
    STDMETHOD(Drop)(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) override;

    DWORD LastKeyState() const { return m_keyState; }

private:
    LONG m_references = 0;
    DWORD m_keyState = 0;
};

// The program's page drop target, made on first use.
IDropTarget* GetPageDropTarget();
