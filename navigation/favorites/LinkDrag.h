#pragma once
// Dragging out of the program: a link (the address bar's site icon, a page's link) through a
// CLinkDataObject, and a favorite (a Links bar button) through the shell's own data object of its
// file. Both run the system's drag loop on the calling (user-interface) thread.
#include "navigation/favorites/LinkDataObject.h"

#include <oleidl.h>

#include <string>
#include <vector>

// The drop source of the program's drags: Escape cancels, releasing the button that started the
// drag (left or right) drops, and the system's cursors are shown.
class CDragOutSource : public IDropSource {
public:
    // A source with one reference; `button` is MK_LBUTTON or MK_RBUTTON.
    static CDragOutSource* Create(DWORD button);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD keys) override;
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }

private:
    explicit CDragOutSource(DWORD button) : m_button(button) {}
    virtual ~CDragOutSource() = default;
    LONG m_references = 1;
    DWORD m_button = MK_LBUTTON;
};

// Drags the links out with the effects allowed (copy and link unless told); the effect of the drop,
// DROPEFFECT_NONE when the drag was cancelled or could not start.
DWORD DragLinksOut(const std::vector<CDraggedLink>& links, DWORD button = MK_LBUTTON,
                   DWORD allowed = DROPEFFECT_COPY | DROPEFFECT_LINK);
// The shell's data object of one file or folder (its CF_HDROP and item-list formats); null when the
// path cannot be had. The caller releases it.
IDataObject* CreateShellDataObject(const std::string& path);
