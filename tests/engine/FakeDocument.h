#pragma once
// A small document model for the engine double, read by name like the engine's own: a body of
// text runs and elements (each element has a tag, an id and its text), text ranges over the body's
// visible text (findText, text, pasteHTML of one element's markup), the all collection (live: it is
// asked anew on every call, so changing an element while walking it by index shifts the rest, as
// with the engine), element innerHTML and outerHTML, the selection and the frames, each with a
// document of its own.
//
// Lifetime: the model is shared (std::shared_ptr) by the objects made from it, which stay valid
// while any of them is held. UI thread only.
#include "tests/engine/FakeEngine.h"

#include <memory>
#include <string>
#include <vector>

// A document as the page analyzer reads it: its title and address, its images, scripts and links
// collections (in collection order), the markup of its HTML element and its frames, each a document
// of the same kind. Published by name, as the engine's own objects answer.
struct FakeImageElement {
    std::wstring name, src, alt;
    long width = 0, height = 0;
    std::wstring mimeType, fileSize;
};
struct FakeScriptElement {
    std::wstring src, type, language;
};
struct FakeLinkEntry {
    std::wstring tag;  // "A" or "AREA"
    std::wstring href;
};
struct FakeDocumentTree {
    std::wstring title, url, markup;
    std::vector<FakeImageElement> images;
    std::vector<FakeScriptElement> scripts;
    std::vector<FakeLinkEntry> links;
    std::vector<FakeDocumentTree> frames;
};
// Puts title, URL, images, scripts, links, all.tags("HTML") and frames on a document object.
void PublishDocumentTree(const FakeDocumentTree& tree, CFakeDispatch& document);
// A collection object (length, item by index) over the given objects.
CComPtr<CFakeDispatch> MakeFakeCollection(std::vector<CComPtr<CFakeDispatch>> items);

struct FakeNode {
    bool element = false;
    std::wstring tag;  // elements only
    std::wstring id;
    std::wstring style;
    std::wstring text;
    int serial = 0;
};

class CFakeTextDocument : public std::enable_shared_from_this<CFakeTextDocument> {
public:
    CFakeTextDocument() = default;
    CFakeTextDocument(const CFakeTextDocument&) = delete;
    CFakeTextDocument& operator=(const CFakeTextDocument&) = delete;

    // Builds the body from plain text and elements.
    void AddText(const std::wstring& text);
    void AddElement(const std::wstring& tag, const std::wstring& id, const std::wstring& text);
    // A frame of the document (its window's document is `frame`).
    void AddFrame(std::shared_ptr<CFakeTextDocument> frame) { m_frames.push_back(std::move(frame)); }

    // The visible text, and the body as markup ("<TAG id='..' style='..'>text</TAG>" per element).
    std::wstring Text() const;
    std::wstring Markup() const;
    const std::vector<FakeNode>& Nodes() const { return m_nodes; }
    const std::vector<std::shared_ptr<CFakeTextDocument>>& Frames() const { return m_frames; }
    int selectionClears = 0;
    // What the last select() of a range selected ("" after the selection was emptied), and how
    // often a range was scrolled into view.
    std::wstring selectedText;
    size_t selectedAt = 0;
    int scrolls = 0;

    // Puts body, all, frames and selection on a document object (a browser's or a frame's).
    void Publish(CFakeDispatch& document);

private:
    struct Range {
        size_t start = 0;
        size_t end = 0;
    };
    CComPtr<CFakeDispatch> MakeRange();
    CComPtr<CFakeDispatch> MakeElement(int serial);
    bool FindText(Range& range, const std::wstring& word) const;
    void Paste(Range& range, const std::wstring& markup);
    FakeNode* NodeBySerial(int serial);

    std::vector<FakeNode> m_nodes;
    std::vector<std::shared_ptr<CFakeTextDocument>> m_frames;
    int m_nextSerial = 1;
    // Bookmarks name their document: a bookmark of another document does not move a range here.
    int m_documentNumber = NextDocumentNumber();
    static int NextDocumentNumber();
};
