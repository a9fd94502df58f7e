#pragma once
// CXmlParser: walks an XML document that the system's DOM component (MSXML DOMDocument) has
// parsed and reports every node and attribute, depth first, to the virtual operations of a
// derived class. CXmlTreeBuilder turns those events into a tree of XML::XmlObject nodes.
// Nothing of the XML syntax is parsed here.
#include "core/library/StdStr.h"

#include <windows.h>
#include <msxml.h>

#include <memory>
#include <vector>

class CXmlParser {
public:
    CXmlParser() = default;
    virtual ~CXmlParser() = default;
    CXmlParser(const CXmlParser&) = delete;
    CXmlParser& operator=(const CXmlParser&) = delete;

    // Loads the document from the file or URL `source` names (fromFile) or from the text itself,
    // and reports it. The result is that of creating the DOM component: negative when the
    // component is missing (then nothing is reported). A document that does not load or parse is
    // reported as begin and end only; GetParseError tells why.
    virtual HRESULT Load(const char* source, bool fromFile = false);

    void SetPreserveWhiteSpace(bool preserve) { m_preserveWhiteSpace = preserve ? VARIANT_TRUE : VARIANT_FALSE; }
    void SetResolveExternals(bool resolve) { m_resolveExternals = resolve ? VARIANT_TRUE : VARIANT_FALSE; }
    void SetValidateOnParse(bool validate) { m_validateOnParse = validate ? VARIANT_TRUE : VARIANT_FALSE; }

    // Why the last Load reported no nodes: the parser's line, position and reason. A line of 0
    // and an empty reason after a document that loaded.
    struct ParseError {
        long line = 0;
        long position = 0;
        long code = 0;
        TStdStr<char> reason;
    };
    const ParseError& GetParseError() const { return m_parseError; }

protected:
    virtual void OnStartNode(const char* text) = 0;
    virtual void OnEndNode() = 0;
    virtual void OnAttribute(const char* name, const char* value) = 0;
    virtual void OnBeginDocument() = 0;
    virtual void OnEndDocument() = 0;

    // The class of the DOM component; a test replaces it to stand for a missing component.
    const CLSID* m_documentClass = &CLSID_DOMDocument;

private:
    bool ConfigureDocument(IXMLDOMDocument* document) const;
    void ReadParseError(IXMLDOMDocument* document);
    void WalkNode(IXMLDOMNode* node);

    IXMLDOMDocument* m_document = nullptr; // held only during Load
    VARIANT_BOOL m_preserveWhiteSpace = VARIANT_FALSE;
    VARIANT_BOOL m_resolveExternals = VARIANT_FALSE;
    VARIANT_BOOL m_validateOnParse = VARIANT_TRUE;
    ParseError m_parseError;
};

namespace XML {

// The record a tree builder makes of one event text: a node type and the text.
struct XmlNode {
    enum Type { Text = 0 };
    Type type = Text;
    TStdStr<char> text;
};

// One object of a built tree. AddChild is offered every child node; an object that wants to
// descend into that child's subtree throws a pointer to the XmlObject that takes it (itself or a
// new child it owns); returning without throwing skips the subtree. End is called when the
// object's node is complete.
class XmlObject {
public:
    virtual ~XmlObject() = default;
    virtual void AddChild(const XmlNode& node) = 0;
    virtual void End() {}
};

} // namespace XML

// Builds a tree of XML::XmlObject from the parser's events. The root object (not owned) receives
// the document's top-level nodes; attributes arrive as a node named after the attribute holding a
// node with its value.
class CXmlTreeBuilder : public CXmlParser {
public:
    explicit CXmlTreeBuilder(XML::XmlObject* root) : m_root(root) {}

protected:
    // The record for one event text; a derived builder may return a richer node.
    virtual std::unique_ptr<XML::XmlNode> CreateNode(const char* text);

    void OnStartNode(const char* text) override;
    void OnEndNode() override;
    void OnAttribute(const char* name, const char* value) override;
    void OnBeginDocument() override { m_stack.clear(); }
    void OnEndDocument() override { m_stack.clear(); }

private:
    std::unique_ptr<XML::XmlNode> m_node; // the node under construction
    XML::XmlObject* m_root;               // not owned
    std::vector<XML::XmlObject*> m_stack; // null entries stand for ignored subtrees
};
