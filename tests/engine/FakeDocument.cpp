#include "tests/engine/FakeDocument.h"

#include <algorithm>
#include <cwctype>

namespace {

std::wstring Lowered(std::wstring text)
{
    for (wchar_t& c : text)
        c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

std::wstring StringArgument(const DISPPARAMS& params, UINT fromEnd)
{
    if (params.cArgs <= fromEnd)
        return std::wstring();
    const VARIANT& value = params.rgvarg[params.cArgs - 1 - fromEnd];
    return value.vt == VT_BSTR && value.bstrVal ? std::wstring(value.bstrVal) : std::wstring();
}

long LongArgument(const DISPPARAMS& params, UINT fromEnd)
{
    if (params.cArgs <= fromEnd)
        return -1;
    CComVariant value;
    if (FAILED(::VariantChangeType(&value, &params.rgvarg[params.cArgs - 1 - fromEnd], 0, VT_I4)))
        return -1;
    return value.lVal;
}

bool IsPut(const DISPPARAMS& params)
{
    return params.cNamedArgs == 1 && params.rgdispidNamedArgs && params.rgdispidNamedArgs[0] == DISPID_PROPERTYPUT;
}

// The text between two markers after `from`, "" when either is missing.
std::wstring Between(const std::wstring& text, const std::wstring& open, const std::wstring& close, size_t& from)
{
    const size_t start = text.find(open, from);
    if (start == std::wstring::npos)
        return std::wstring();
    const size_t end = text.find(close, start + open.size());
    if (end == std::wstring::npos)
        return std::wstring();
    from = end + close.size();
    return text.substr(start + open.size(), end - start - open.size());
}

} // namespace

void CFakeTextDocument::AddText(const std::wstring& text)
{
    m_nodes.push_back({false, L"", L"", L"", text, m_nextSerial++});
}

void CFakeTextDocument::AddElement(const std::wstring& tag, const std::wstring& id, const std::wstring& text)
{
    m_nodes.push_back({true, tag, id, L"", text, m_nextSerial++});
}

std::wstring CFakeTextDocument::Text() const
{
    std::wstring text;
    for (const FakeNode& node : m_nodes)
        text += node.text;
    return text;
}

std::wstring CFakeTextDocument::Markup() const
{
    std::wstring markup;
    for (const FakeNode& node : m_nodes)
        markup += node.element ? L"<" + node.tag + L" id='" + node.id + L"' style='" + node.style + L"'>" + node.text +
                                     L"</" + node.tag + L">"
                               : node.text;
    return markup;
}

FakeNode* CFakeTextDocument::NodeBySerial(int serial)
{
    for (FakeNode& node : m_nodes)
        if (node.serial == serial)
            return &node;
    return nullptr;
}

// The engine searches without regard to case; a match lies inside one text run here.
bool CFakeTextDocument::FindText(Range& range, const std::wstring& word) const
{
    if (word.empty())
        return false;
    const std::wstring wanted = Lowered(word);
    size_t position = 0;
    for (const FakeNode& node : m_nodes) {
        const size_t nodeEnd = position + node.text.size();
        if (!node.element && nodeEnd > range.start) {
            const size_t from = range.start > position ? range.start - position : 0;
            const size_t found = Lowered(node.text).find(wanted, from);
            // A range of text is searched within itself; a collapsed one on to the end, as with
            // the engine.
            const size_t limit = range.start == range.end ? std::wstring::npos : range.end;
            if (found != std::wstring::npos && (limit == std::wstring::npos || position + found + word.size() <= limit)) {
                range.start = position + found;
                range.end = range.start + word.size();
                return true;
            }
        }
        position = nodeEnd;
    }
    return false;
}

// Pastes one element's markup over the range, which must lie in one text run; the range then
// stands collapsed after the pasted element.
void CFakeTextDocument::Paste(Range& range, const std::wstring& markup)
{
    size_t position = 0;
    for (size_t i = 0; i < m_nodes.size(); ++i) {
        FakeNode& node = m_nodes[i];
        const size_t nodeEnd = position + node.text.size();
        if (!node.element && range.start >= position && range.end <= nodeEnd && range.start < range.end) {
            size_t at = 0;
            const std::wstring tag = Between(markup, L"<", L" ", at);
            const std::wstring id = Between(markup, L"id='", L"'", at);
            const std::wstring style = Between(markup, L"style='", L"'>", at);
            const size_t textEnd = markup.rfind(L"</");
            const std::wstring text = textEnd != std::wstring::npos && textEnd >= at ? markup.substr(at, textEnd - at)
                                                                                     : std::wstring();
            const std::wstring before = node.text.substr(0, range.start - position);
            const std::wstring after = node.text.substr(range.end - position);
            const int serial = node.serial;
            std::vector<FakeNode> replacement;
            if (!before.empty())
                replacement.push_back({false, L"", L"", L"", before, serial});
            replacement.push_back({true, tag, id, style, text, m_nextSerial++});
            if (!after.empty())
                replacement.push_back({false, L"", L"", L"", after, m_nextSerial++});
            m_nodes.erase(m_nodes.begin() + static_cast<std::ptrdiff_t>(i));
            m_nodes.insert(m_nodes.begin() + static_cast<std::ptrdiff_t>(i), replacement.begin(), replacement.end());
            range.start = range.end = range.start + text.size();
            return;
        }
        position = nodeEnd;
    }
}

int CFakeTextDocument::NextDocumentNumber()
{
    static int number = 0;
    return ++number;
}

CComPtr<CFakeDispatch> CFakeTextDocument::MakeRange()
{
    auto self = shared_from_this();
    auto range = std::make_shared<Range>();
    range->end = Text().size();
    CComPtr<CFakeDispatch> object = CFakeDispatch::Make();
    object->SetFunction(L"findText", [self, range](const DISPPARAMS& params) {
        return CComVariant(self->FindText(*range, StringArgument(params, 0)));
    });
    object->SetFunction(L"text", [self, range](const DISPPARAMS&) {
        const std::wstring all = self->Text();
        return CComVariant(range->start < range->end && range->end <= all.size()
                               ? all.substr(range->start, range->end - range->start).c_str()
                               : L"");
    });
    object->SetFunction(L"pasteHTML", [self, range](const DISPPARAMS& params) {
        self->Paste(*range, StringArgument(params, 0));
        return CComVariant();
    });
    object->SetFunction(L"getBookmark", [self, range](const DISPPARAMS&) {
        const std::wstring mark = L"bm:" + std::to_wstring(self->m_documentNumber) + L":" +
                                  std::to_wstring(range->start) + L":" + std::to_wstring(range->end);
        return CComVariant(mark.c_str());
    });
    object->SetFunction(L"moveToBookmark", [self, range](const DISPPARAMS& params) {
        const std::wstring mark = StringArgument(params, 0);
        const std::wstring prefix = L"bm:" + std::to_wstring(self->m_documentNumber) + L":";
        if (mark.compare(0, prefix.size(), prefix) != 0)
            return CComVariant(false);
        const size_t colon = mark.find(L':', prefix.size());
        if (colon == std::wstring::npos)
            return CComVariant(false);
        const size_t length = self->Text().size();
        const size_t start = std::wcstoul(mark.c_str() + prefix.size(), nullptr, 10);
        const size_t end = std::wcstoul(mark.c_str() + colon + 1, nullptr, 10);
        if (start > end || end > length)
            return CComVariant(false);
        range->start = start;
        range->end = end;
        return CComVariant(true);
    });
    object->SetFunction(L"collapse", [range](const DISPPARAMS& params) {
        const bool toStart = params.cArgs == 0 || LongArgument(params, 0) != 0;
        if (toStart)
            range->end = range->start;
        else
            range->start = range->end;
        return CComVariant();
    });
    object->SetFunction(L"moveStart", [self, range](const DISPPARAMS& params) {
        const long count = LongArgument(params, 1);
        const size_t length = self->Text().size();
        range->start = std::min(length, range->start + static_cast<size_t>(std::max(0L, count)));
        range->end = std::max(range->end, range->start);
        return CComVariant(count);
    });
    object->SetFunction(L"moveEnd", [self, range](const DISPPARAMS& params) {
        if (Lowered(StringArgument(params, 0)) == L"textedit")
            range->end = self->Text().size();
        return CComVariant(1L);
    });
    object->SetFunction(L"select", [self, range](const DISPPARAMS&) {
        const std::wstring all = self->Text();
        self->selectedText = range->end <= all.size() ? all.substr(range->start, range->end - range->start) : L"";
        self->selectedAt = range->start;
        return CComVariant();
    });
    object->SetFunction(L"scrollIntoView", [self](const DISPPARAMS&) {
        ++self->scrolls;
        return CComVariant();
    });
    return object;
}

CComPtr<CFakeDispatch> CFakeTextDocument::MakeElement(int serial)
{
    auto self = shared_from_this();
    CComPtr<CFakeDispatch> object = CFakeDispatch::Make();
    const FakeNode* node = NodeBySerial(serial);
    object->Set(L"id", CComVariant(node ? node->id.c_str() : L""));
    object->Set(L"tagName", CComVariant(node ? node->tag.c_str() : L""));
    object->SetFunction(L"innerHTML", [self, serial](const DISPPARAMS&) {
        const FakeNode* current = self->NodeBySerial(serial);
        return CComVariant(current ? current->text.c_str() : L"");
    });
    // Setting the outer markup to bare text turns the element back into a text run.
    object->SetFunction(L"outerHTML", [self, serial](const DISPPARAMS& params) {
        if (!IsPut(params))
            return CComVariant();
        if (FakeNode* current = self->NodeBySerial(serial)) {
            current->element = false;
            current->tag.clear();
            current->id.clear();
            current->style.clear();
            current->text = StringArgument(params, 0);
        }
        return CComVariant();
    });
    return object;
}

void CFakeTextDocument::Publish(CFakeDispatch& document)
{
    auto self = shared_from_this();
    CComPtr<CFakeDispatch> body = CFakeDispatch::Make();
    body->SetFunction(L"createTextRange", [self](const DISPPARAMS&) {
        return CComVariant(static_cast<IDispatch*>(self->MakeRange().p));
    });
    document.Set(L"body", CComVariant(static_cast<IDispatch*>(body.p)));

    // Live: every call looks at the elements as they are now.
    CComPtr<CFakeDispatch> all = CFakeDispatch::Make();
    all->SetFunction(L"length", [self](const DISPPARAMS&) {
        return CComVariant(static_cast<long>(std::count_if(self->m_nodes.begin(), self->m_nodes.end(),
                                                           [](const FakeNode& node) { return node.element; })));
    });
    all->SetFunction(L"item", [self](const DISPPARAMS& params) {
        long index = LongArgument(params, 0);
        for (const FakeNode& node : self->m_nodes)
            if (node.element && index-- == 0)
                return CComVariant(static_cast<IDispatch*>(self->MakeElement(node.serial).p));
        return CComVariant();
    });
    document.Set(L"all", CComVariant(static_cast<IDispatch*>(all.p)));

    CComPtr<CFakeDispatch> frames = CFakeDispatch::Make();
    frames->Set(L"length", CComVariant(static_cast<long>(m_frames.size())));
    std::vector<CComPtr<CFakeDispatch>> windows;
    for (const auto& frame : m_frames) {
        CComPtr<CFakeDispatch> frameDocument = CFakeDispatch::Make();
        frame->Publish(*frameDocument);
        CComPtr<CFakeDispatch> window = CFakeDispatch::Make();
        window->Set(L"document", CComVariant(static_cast<IDispatch*>(frameDocument.p)));
        windows.push_back(window);
    }
    frames->SetFunction(L"item", [windows](const DISPPARAMS& params) {
        const long index = LongArgument(params, 0);
        if (index < 0 || index >= static_cast<long>(windows.size()))
            return CComVariant();
        return CComVariant(static_cast<IDispatch*>(windows[static_cast<size_t>(index)].p));
    });
    document.Set(L"frames", CComVariant(static_cast<IDispatch*>(frames.p)));

    CComPtr<CFakeDispatch> selection = CFakeDispatch::Make();
    selection->SetMethod(L"empty", [self] {
        ++self->selectionClears;
        self->selectedText.clear();
    });
    document.Set(L"selection", CComVariant(static_cast<IDispatch*>(selection.p)));
}

CComPtr<CFakeDispatch> MakeFakeCollection(std::vector<CComPtr<CFakeDispatch>> items)
{
    CComPtr<CFakeDispatch> collection = CFakeDispatch::Make();
    collection->Set(L"length", CComVariant(static_cast<long>(items.size())));
    collection->SetFunction(L"item", [items](const DISPPARAMS& params) {
        const long index = LongArgument(params, 0);
        if (index < 0 || index >= static_cast<long>(items.size()))
            return CComVariant();
        return CComVariant(static_cast<IDispatch*>(items[static_cast<size_t>(index)].p));
    });
    return collection;
}

void PublishDocumentTree(const FakeDocumentTree& tree, CFakeDispatch& document)
{
    document.Set(L"title", CComVariant(tree.title.c_str()));
    document.Set(L"URL", CComVariant(tree.url.c_str()));
    std::vector<CComPtr<CFakeDispatch>> images;
    for (const FakeImageElement& image : tree.images) {
        CComPtr<CFakeDispatch> element = CFakeDispatch::Make();
        element->Set(L"tagName", CComVariant(L"IMG"));
        element->Set(L"name", CComVariant(image.name.c_str()));
        element->Set(L"src", CComVariant(image.src.c_str()));
        element->Set(L"alt", CComVariant(image.alt.c_str()));
        element->Set(L"width", CComVariant(image.width));
        element->Set(L"height", CComVariant(image.height));
        element->Set(L"mimeType", CComVariant(image.mimeType.c_str()));
        element->Set(L"fileSize", CComVariant(image.fileSize.c_str()));
        images.push_back(element);
    }
    document.Set(L"images", CComVariant(static_cast<IDispatch*>(MakeFakeCollection(images).p)));
    std::vector<CComPtr<CFakeDispatch>> scripts;
    for (const FakeScriptElement& script : tree.scripts) {
        CComPtr<CFakeDispatch> element = CFakeDispatch::Make();
        element->Set(L"tagName", CComVariant(L"SCRIPT"));
        element->Set(L"src", CComVariant(script.src.c_str()));
        element->Set(L"type", CComVariant(script.type.c_str()));
        element->Set(L"language", CComVariant(script.language.c_str()));
        scripts.push_back(element);
    }
    document.Set(L"scripts", CComVariant(static_cast<IDispatch*>(MakeFakeCollection(scripts).p)));
    std::vector<CComPtr<CFakeDispatch>> links;
    for (const FakeLinkEntry& link : tree.links) {
        CComPtr<CFakeDispatch> element = CFakeDispatch::Make();
        element->Set(L"tagName", CComVariant(link.tag.c_str()));
        element->Set(L"href", CComVariant(link.href.c_str()));
        links.push_back(element);
    }
    document.Set(L"links", CComVariant(static_cast<IDispatch*>(MakeFakeCollection(links).p)));
    CComPtr<CFakeDispatch> html = CFakeDispatch::Make();
    html->Set(L"tagName", CComVariant(L"HTML"));
    html->Set(L"outerHTML", CComVariant(tree.markup.c_str()));
    CComPtr<CFakeDispatch> htmlOnly = MakeFakeCollection({html});
    CComPtr<CFakeDispatch> all = CFakeDispatch::Make();
    all->SetFunction(L"tags", [htmlOnly](const DISPPARAMS& params) {
        if (Lowered(StringArgument(params, 0)) != L"html")
            return CComVariant(static_cast<IDispatch*>(MakeFakeCollection({}).p));
        return CComVariant(static_cast<IDispatch*>(htmlOnly.p));
    });
    document.Set(L"all", CComVariant(static_cast<IDispatch*>(all.p)));
    std::vector<CComPtr<CFakeDispatch>> windows;
    for (const FakeDocumentTree& frame : tree.frames) {
        CComPtr<CFakeDispatch> frameDocument = CFakeDispatch::Make();
        PublishDocumentTree(frame, *frameDocument);
        CComPtr<CFakeDispatch> window = CFakeDispatch::Make();
        window->Set(L"document", CComVariant(static_cast<IDispatch*>(frameDocument.p)));
        windows.push_back(window);
    }
    document.Set(L"frames", CComVariant(static_cast<IDispatch*>(MakeFakeCollection(windows).p)));
}
