// OLE drag and drop of text: the selection dragged out of an edit window (a data object offering
// text, and a drop source), and text dropped into one (a drop target, registered while the window
// is shown). COM objects written by hand: each deletes itself when its use count reaches 0.
#include <windows.h>
#include <ole2.h>

#include <algorithm>
#include <cstring>

#include "editctl/win/DragDrop.h"
#include "editctl/win/EditCommands.h"

namespace quill::win {

namespace {

template <typename Interface>
class ComObject : public Interface {
public:
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (!out)
            return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, __uuidof(Interface))) {
            *out = static_cast<Interface*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&m_uses)); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const LONG left = InterlockedDecrement(&m_uses);
        if (left == 0)
            delete this;
        return static_cast<ULONG>(left);
    }

protected:
    ComObject() = default;
    virtual ~ComObject() = default;

private:
    LONG m_uses = 1;
};

const FORMATETC kTextFormat{CF_TEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};

bool IsTextFormat(const FORMATETC* f)
{
    return f && f->cfFormat == CF_TEXT && (f->tymed & TYMED_HGLOBAL) && f->dwAspect == DVASPECT_CONTENT;
}

// A one-format list for EnumFormatEtc, so that targets that list formats before asking accept us.
class TextFormatList : public ComObject<IEnumFORMATETC> {
public:
    explicit TextFormatList(ULONG at = 0) : m_at(at) {}
    HRESULT STDMETHODCALLTYPE Next(ULONG count, FORMATETC* out, ULONG* fetched) override
    {
        ULONG n = 0;
        if (count > 0 && out && m_at == 0) {
            out[0] = kTextFormat;
            m_at = n = 1;
        }
        if (fetched)
            *fetched = n;
        return n == count ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override
    {
        m_at = std::min<ULONG>(1, m_at + count);
        return m_at == 1 && count > 0 ? S_FALSE : S_OK;
    }
    HRESULT STDMETHODCALLTYPE Reset() override
    {
        m_at = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(IEnumFORMATETC** out) override
    {
        if (!out)
            return E_POINTER;
        *out = new TextFormatList(m_at);
        return S_OK;
    }

private:
    ULONG m_at;
};

// The dragged text: a copy taken when the drag starts.
class TextDataObject : public ComObject<IDataObject> {
public:
    explicit TextDataObject(std::string text) : m_text(std::move(text)) {}

    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override
    {
        if (!medium)
            return E_POINTER;
        if (!IsTextFormat(format))
            return DV_E_FORMATETC;
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, m_text.size() + 1);
        char* p = block ? static_cast<char*>(GlobalLock(block)) : nullptr;
        if (!p) {
            if (block)
                GlobalFree(block);
            return E_OUTOFMEMORY;
        }
        std::memcpy(p, m_text.c_str(), m_text.size() + 1);
        GlobalUnlock(block);
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = block;
        medium->pUnkForRelease = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC* format, STGMEDIUM* medium) override
    {
        if (!IsTextFormat(format) || !medium || medium->tymed != TYMED_HGLOBAL || !medium->hGlobal)
            return DV_E_FORMATETC;
        if (GlobalSize(medium->hGlobal) < m_text.size() + 1)
            return STG_E_MEDIUMFULL;
        char* p = static_cast<char*>(GlobalLock(medium->hGlobal));
        if (!p)
            return E_OUTOFMEMORY;
        std::memcpy(p, m_text.c_str(), m_text.size() + 1);
        GlobalUnlock(medium->hGlobal);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override
    {
        return IsTextFormat(format) ? S_OK : DV_E_FORMATETC;
    }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override
    {
        if (out)
            out->ptd = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) override
    {
        if (!out)
            return E_POINTER;
        if (direction != DATADIR_GET) {
            *out = nullptr;
            return E_NOTIMPL;
        }
        *out = new TextFormatList;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override
    {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

private:
    std::string m_text;
};

class TextDropSource : public ComObject<IDropSource> {
public:
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD keys) override
    {
        return EditSystem().QueryContinueDrag(escape, keys);
    }
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }
};

std::string TextOf(IDataObject* data)
{
    FORMATETC format = kTextFormat;
    STGMEDIUM medium{};
    if (!data || FAILED(data->GetData(&format, &medium)))
        return {};
    std::string text;
    if (medium.tymed == TYMED_HGLOBAL && medium.hGlobal) {
        if (const char* p = static_cast<const char*>(GlobalLock(medium.hGlobal))) {
            text.assign(p, strnlen(p, GlobalSize(medium.hGlobal)));
            GlobalUnlock(medium.hGlobal);
        }
    }
    ReleaseStgMedium(&medium);
    return text;
}

// A position after [s, e) was deleted.
TextPos AfterRemoval(TextPos p, TextPos s, TextPos e)
{
    if (p < e)
        return p < s ? p : s;
    if (p.line == e.line)
        return {s.column + (p.column - e.column), s.line};
    return {p.column, p.line - (e.line - s.line)};
}

} // namespace

// The drop target of one edit window; the window record points at it while it is registered.
class EditDropTarget : public ComObject<IDropTarget> {
public:
    explicit EditDropTarget(EditData* ed) : m_ed(ed) {}
    void Detach() { m_ed = nullptr; }

    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keys, POINTL pt, DWORD* effect) override
    {
        FORMATETC format = kTextFormat;
        m_accept = m_ed && IsWindowEnabled(m_ed->window) && data && data->QueryGetData(&format) == S_OK;
        if (!m_accept) {
            *effect = DROPEFFECT_NONE;
            return S_OK;
        }
        m_ed->input.dropActive = true;
        ShowEditCaret(*m_ed, false);
        if (m_ed->input.hasCaret)
            DestroyCaret();
        const int height = std::max(1, m_ed->config->lineHeight);
        m_ed->input.hasCaret = CreateCaret(m_ed->window, nullptr, 2 * GetSystemMetrics(SM_CXBORDER), height) != FALSE;
        m_ed->input.caretShown = false;
        PlaceCaret(pt);
        *effect = EffectFor(keys, *effect);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL pt, DWORD* effect) override
    {
        if (!m_accept || !m_ed) {
            *effect = DROPEFFECT_NONE;
            return S_OK;
        }
        ScrollAtEdges(pt);
        PlaceCaret(pt);
        *effect = EffectFor(keys, *effect);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragLeave() override
    {
        if (m_ed && m_accept) {
            if (m_ed->ReadOnly())
                DropSelection(*m_ed);
            EndDropCaret();
        }
        m_accept = false;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keys, POINTL pt, DWORD* effect) override
    {
        if (!m_ed || !m_accept) {
            *effect = DROPEFFECT_NONE;
            return S_OK;
        }
        EditData& ed = *m_ed;
        *effect = EffectFor(keys, *effect);
        const TextPos at = PositionAt(pt);
        TextPos s, e;
        const bool intoOwnSelection = ed.input.draggingOut && SelectionRange(ed, &s, &e) && s <= at && at < e;
        if (intoOwnSelection || ed.ReadOnly() || *effect == DROPEFFECT_NONE) {
            DropSelection(ed);
            InvalidateRect(ed.window, nullptr, FALSE);
            if (intoOwnSelection)
                ed.input.droppedOnSelf = true;
            *effect = DROPEFFECT_NONE;
        } else {
            const bool move = *effect == DROPEFFECT_MOVE;
            if (!DropTextAt(ed, TextOf(data), at, move, ed.input.draggingOut))
                *effect = DROPEFFECT_NONE;
            if (ed.input.draggingOut)
                ed.input.droppedOnSelf = true;
        }
        m_accept = false;
        EndDropCaret();
        return S_OK;
    }

private:
    DWORD EffectFor(DWORD keys, DWORD allowed) const
    {
        if (m_ed->ReadOnly())
            return DROPEFFECT_NONE;
        const bool ctrl = (keys & MK_CONTROL) != 0, shift = (keys & MK_SHIFT) != 0;
        if (!ctrl && (allowed & DROPEFFECT_MOVE))
            return DROPEFFECT_MOVE;
        if (ctrl && shift && (allowed & DROPEFFECT_LINK))
            return DROPEFFECT_LINK;
        if (ctrl && (allowed & DROPEFFECT_COPY))
            return DROPEFFECT_COPY;
        if (allowed & DROPEFFECT_COPY)
            return DROPEFFECT_COPY;
        return allowed & (DROPEFFECT_MOVE | DROPEFFECT_LINK);
    }
    TextPos PositionAt(POINTL pt) const
    {
        POINT p{pt.x, pt.y};
        ScreenToClient(m_ed->window, &p);
        bool onText = false;
        return PositionFromPoint(*m_ed, p, &onText);
    }
    void PlaceCaret(POINTL pt)
    {
        EditData& ed = *m_ed;
        const TextPos at = PositionAt(pt);
        const ParserConfig& cfg = *ed.config;
        const int x = (ed.doc.Text().DisplayColumn(at.line, at.column) - ed.firstColumn) * cfg.charWidth +
                      MarginWidth(ed) + LineNumberWidth(ed);
        SetCaretPos(x, (at.line - ed.firstLine) * cfg.lineHeight);
        ShowEditCaret(ed, true);
    }
    void ScrollAtEdges(POINTL pt)
    {
        EditData& ed = *m_ed;
        POINT p{pt.x, pt.y};
        ScreenToClient(ed.window, &p);
        RECT client{};
        GetClientRect(ed.window, &client);
        const int lh = std::max(1, ed.config->lineHeight), cw = std::max(1, ed.config->charWidth);
        const int left = MarginWidth(ed) + LineNumberWidth(ed);
        if (p.y < lh / 2)
            ScrollToLine(ed, ed.firstLine - 1);
        else if (p.y > client.bottom - lh / 2)
            ScrollToLine(ed, ed.firstLine + 1);
        if (p.x < left + cw / 2)
            ScrollToColumn(ed, ed.firstColumn - 1);
        else if (p.x > left + ed.visibleColumns * cw)
            ScrollToColumn(ed, ed.firstColumn + 1);
    }
    void EndDropCaret()
    {
        EditData& ed = *m_ed;
        ed.input.dropActive = false;
        if (ed.input.hasCaret)
            DestroyCaret();
        ed.input.hasCaret = ed.input.caretShown = false;
        if (ed.focused)
            CreateEditCaret(ed);
    }

    EditData* m_ed;
    bool m_accept = false;
};

IDataObject* CreateTextDataObject(const std::string& text) { return new TextDataObject(text); }

IDropTarget* DropTargetOf(EditData& ed) { return ed.input.dropTarget; }

void RegisterDropTarget(EditData& ed, bool on)
{
    if (on == (ed.input.dropTarget != nullptr))
        return;
    if (on) {
        auto* target = new EditDropTarget(&ed);
        if (FAILED(RegisterDragDrop(ed.window, target))) {
            target->Detach();
            target->Release();
            return;
        }
        ed.input.dropTarget = target;
        return;
    }
    RevokeDragDrop(ed.window);
    ed.input.dropTarget->Detach();
    ed.input.dropTarget->Release();
    ed.input.dropTarget = nullptr;
}

void StartDragOut(EditData& ed)
{
    TextPos s, e;
    if (!SelectionRange(ed, &s, &e))
        return;
    IDataObject* data = new TextDataObject(ed.doc.Text().CopyRangeText(s, e));
    IDropSource* source = new TextDropSource;
    const bool writable = !ed.ReadOnly();
    ed.input.draggingOut = true;
    ed.input.droppedOnSelf = false;
    DWORD effect = DROPEFFECT_NONE;
    const HRESULT hr = DoDragDrop(data, source, DROPEFFECT_COPY | (writable ? DROPEFFECT_MOVE : 0), &effect);
    ed.input.draggingOut = false;
    data->Release();
    source->Release();
    // Moved into another window: the text leaves this one, as one undo step.
    if (hr == DRAGDROP_S_DROP && effect == DROPEFFECT_MOVE && !ed.input.droppedOnSelf && writable &&
        ed.doc.Text().IsValid(s) && ed.doc.Text().IsValid(e)) {
        DropSelection(ed);
        if (ed.doc.DeleteText(s, e, true)) {
            ed.caret = s;
            ed.desiredColumn = DesiredColumnNow(ed);
            AfterEdit(ed, s.line, s.line);
        }
    }
    ed.input.droppedOnSelf = false;
}

bool DropTextAt(EditData& ed, const std::string& text, TextPos at, bool move, bool fromSelf)
{
    if (text.empty() || ed.ReadOnly())
        return false;
    TextStore& store = ed.doc.Text();
    at = store.Clamp(at);
    TextPos s, e;
    const bool moveHere = move && fromSelf && SelectionRange(ed, &s, &e);
    DropSelection(ed);
    TextPos start = at, end = at;
    if (moveHere && at <= s) {
        // The selection lies after the drop point: deleting it first leaves the point in place.
        if (!ed.doc.DeleteText(s, e, true) || !ed.doc.InsertText(at, text, &end, false))
            return false;
    } else if (moveHere) {
        if (!ed.doc.InsertText(at, text, &end, true) || !ed.doc.DeleteText(s, e, false))
            return false;
        start = AfterRemoval(at, s, e);
        end = AfterRemoval(end, s, e);
    } else if (!ed.doc.InsertText(at, text, &end, true)) {
        return false;
    }
    ed.caret = end;
    if (!move) {
        ed.selStart = ed.anchor = start;
        ed.selEnd = end;
    }
    ed.desiredColumn = DesiredColumnNow(ed);
    AfterEdit(ed, std::min(start.line, moveHere ? s.line : start.line), end.line);
    return true;
}

} // namespace quill::win
