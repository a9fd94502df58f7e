#include "core/library/Xml/XmlParser.h"

#include "platform/AtlBase.h"

namespace {

constexpr const char kDocumentText[] = "#document - document";

// The text of a VARIANT holding a string; `fallback` for every other type.
TStdStr<char> VariantText(const VARIANT& value, const char* fallback)
{
    if (value.vt == VT_BSTR)
        return TStdStr<char>(value.bstrVal ? value.bstrVal : L"");
    return fallback;
}

} // namespace

HRESULT CXmlParser::Load(const char* source, bool fromFile)
{
    m_parseError = ParseError();
    CComPtr<IXMLDOMDocument> document;
    const HRESULT created = ::CoCreateInstance(*m_documentClass, nullptr, CLSCTX_SERVER, IID_IXMLDOMDocument,
                                               reinterpret_cast<void**>(&document.p));
    if (FAILED(created))
        return created;
    m_document = document;
    OnBeginDocument();
    if (ConfigureDocument(document)) {
        VARIANT_BOOL loaded = VARIANT_FALSE;
        HRESULT hr;
        if (fromFile) {
            CComVariant location(source ? source : "");
            hr = document->load(location, &loaded);
        } else {
            CComBSTR text(source ? source : "");
            hr = document->loadXML(text, &loaded);
        }
        if (SUCCEEDED(hr) && loaded == VARIANT_TRUE) {
            CComPtr<IXMLDOMNode> root;
            if (SUCCEEDED(document->QueryInterface(IID_IXMLDOMNode, reinterpret_cast<void**>(&root.p))) && root)
                WalkNode(root);
        } else {
            ReadParseError(document);
        }
    }
    OnEndDocument();
    m_document = nullptr;
    return created;
}

bool CXmlParser::ConfigureDocument(IXMLDOMDocument* document) const
{
    return SUCCEEDED(document->put_async(VARIANT_FALSE)) &&
           SUCCEEDED(document->put_preserveWhiteSpace(m_preserveWhiteSpace)) &&
           SUCCEEDED(document->put_validateOnParse(m_validateOnParse)) &&
           SUCCEEDED(document->put_resolveExternals(m_resolveExternals));
}

void CXmlParser::ReadParseError(IXMLDOMDocument* document)
{
    CComPtr<IXMLDOMParseError> error;
    if (FAILED(document->get_parseError(&error)) || !error)
        return;
    error->get_line(&m_parseError.line);
    error->get_linepos(&m_parseError.position);
    error->get_errorCode(&m_parseError.code);
    CComBSTR reason;
    if (SUCCEEDED(error->get_reason(&reason)))
        m_parseError.reason = TStdStr<char>(reason.m_str ? reason.m_str : L"");
    // A document that failed without any code still counts as failed.
    if (m_parseError.code == 0)
        m_parseError.code = E_FAIL;
}

void CXmlParser::WalkNode(IXMLDOMNode* node)
{
    DOMNodeType type = NODE_INVALID;
    node->get_nodeType(&type);
    CComBSTR name;
    node->get_nodeName(&name);
    const TStdStr<char> nodeName(name.m_str ? name.m_str : L"");

    TStdStr<char> text;
    switch (type) {
    case NODE_TEXT:
    case NODE_CDATA_SECTION: {
        CComBSTR content;
        node->get_text(&content);
        text = content.m_str ? content.m_str : L"";
        break;
    }
    case NODE_COMMENT: {
        CComVariant value;
        node->get_nodeValue(&value);
        text = VariantText(value, "Unknown comment type");
        break;
    }
    case NODE_ELEMENT:
    case NODE_PROCESSING_INSTRUCTION:
        text = nodeName;
        break;
    default: {
        CComBSTR typeText;
        node->get_nodeTypeString(&typeText);
        text = nodeName + " - " + TStdStr<char>(typeText.m_str ? typeText.m_str : L"");
        break;
    }
    }
    OnStartNode(text.c_str());

    CComPtr<IXMLDOMNamedNodeMap> attributes;
    if (SUCCEEDED(node->get_attributes(&attributes)) && attributes) {
        long count = 0;
        attributes->get_length(&count);
        for (long i = 0; i < count; ++i) {
            CComPtr<IXMLDOMNode> attribute;
            if (FAILED(attributes->get_item(i, &attribute)) || !attribute)
                continue;
            CComBSTR attributeName;
            attribute->get_nodeName(&attributeName);
            CComVariant value;
            attribute->get_nodeValue(&value);
            const TStdStr<char> nameText(attributeName.m_str ? attributeName.m_str : L"");
            OnAttribute(nameText.c_str(), VariantText(value, "Unsupport type").c_str());
        }
    }

    CComPtr<IXMLDOMNode> child;
    node->get_firstChild(&child);
    while (child) {
        WalkNode(child);
        CComPtr<IXMLDOMNode> next;
        child->get_nextSibling(&next);
        child = next;
    }
    OnEndNode();
}

std::unique_ptr<XML::XmlNode> CXmlTreeBuilder::CreateNode(const char* text)
{
    auto node = std::make_unique<XML::XmlNode>();
    node->text = text ? text : "";
    return node;
}

void CXmlTreeBuilder::OnStartNode(const char* text)
{
    if (m_stack.empty()) {
        m_stack.push_back(std::strcmp(text, kDocumentText) == 0 ? m_root : nullptr);
        return;
    }
    XML::XmlObject* top = m_stack.back();
    if (!top) {
        m_stack.push_back(nullptr);
        return;
    }
    m_node = CreateNode(text);
    XML::XmlObject* descend = nullptr;
    try {
        top->AddChild(*m_node);
    } catch (XML::XmlObject* object) {
        descend = object;
    }
    m_node.reset();
    m_stack.push_back(descend);
}

void CXmlTreeBuilder::OnEndNode()
{
    if (m_stack.empty())
        return;
    if (XML::XmlObject* top = m_stack.back())
        top->End();
    m_stack.pop_back();
}

void CXmlTreeBuilder::OnAttribute(const char* name, const char* value)
{
    OnStartNode(name);
    OnStartNode(value);
    OnEndNode();
    OnEndNode();
}
