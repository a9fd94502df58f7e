// The XML reader over the system's DOM component: the event sequence of real documents, malformed
// documents, a missing component, and the tree builder.
#include "core/library/Xml/XmlParser.h"
#include "core/tests/ScratchFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Records every event as one line.
class RecordingParser : public CXmlParser {
public:
    std::vector<std::string> events;
    void UseClass(const CLSID* documentClass) { m_documentClass = documentClass; }

protected:
    void OnStartNode(const char* text) override { events.push_back(std::string("start ") + text); }
    void OnEndNode() override { events.push_back("end"); }
    void OnAttribute(const char* name, const char* value) override
    {
        events.push_back(std::string("attr ") + name + "=" + value);
    }
    void OnBeginDocument() override { events.push_back("begin"); }
    void OnEndDocument() override { events.push_back("end-document"); }
};

using Events = std::vector<std::string>;

TEST(XmlParser, ElementWithTwoAttributesGivesTheEventSequence)
{
    RecordingParser parser;
    ASSERT_EQ(S_OK, parser.Load("<script language=\"JScript\" src=\"a.js\"/>", false));
    EXPECT_EQ((Events{"begin", "start #document - document", "start script", "attr language=JScript", "attr src=a.js",
                      "end", "end", "end-document"}),
              parser.events);
    EXPECT_EQ(0, parser.GetParseError().code);
}

TEST(XmlParser, NodeKindsAndWhiteSpace)
{
    RecordingParser parser;
    ASSERT_EQ(S_OK, parser.Load("<?app go?>\n<root>\n  <a>text</a>\n  <!--note-->\n"
                                "  <b><![CDATA[x < y]]></b>\n</root>\n",
                                false));
    // A processing instruction reports its target; the white space between the elements is not
    // delivered while preserve-white-space is off.
    EXPECT_EQ((Events{"begin", "start #document - document", "start app", "end", "start root",
                      "start a", "start text", "end", "end", "start note", "end", "start b", "start x < y", "end", "end",
                      "end", "end", "end-document"}),
              parser.events);
}

TEST(XmlParser, MalformedDocumentsGiveOnlyBeginAndEndAndTellWhy)
{
    const char* const documents[] = {
        "<root><a></root>",   // mismatched end tag
        "<root attr=x/>",     // unquoted attribute
        "",                   // nothing at all
        "<a/><b/>",           // two roots
        "<root>&undefined;</root>",
    };
    for (const char* document : documents) {
        SCOPED_TRACE(document);
        RecordingParser parser;
        EXPECT_EQ(S_OK, parser.Load(document, false));
        EXPECT_EQ((Events{"begin", "end-document"}), parser.events);
        EXPECT_NE(0, parser.GetParseError().code);
    }
}

TEST(XmlParser, LoadsFromAFileAndReportsAMissingFile)
{
    CScratchFolder folder("xml");
    CScratchFolder::WriteBytes(folder / "doc.xml", "<list><item id=\"1\"/></list>");
    RecordingParser parser;
    ASSERT_EQ(S_OK, parser.Load((folder / "doc.xml").c_str(), true));
    EXPECT_EQ((Events{"begin", "start #document - document", "start list", "start item", "attr id=1", "end", "end",
                      "end", "end-document"}),
              parser.events);

    RecordingParser missing;
    EXPECT_EQ(S_OK, missing.Load((folder / "absent.xml").c_str(), true));
    EXPECT_EQ((Events{"begin", "end-document"}), missing.events);
    EXPECT_NE(0, missing.GetParseError().code);
}

TEST(XmlParser, MissingComponentGivesANegativeCodeAndNoEvents)
{
    static const CLSID kNoSuchClass = {0x1c2e8a9b, 0x0f3d, 0x4b8e, {0x9a, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77}};
    RecordingParser parser;
    parser.UseClass(&kNoSuchClass);
    EXPECT_LT(parser.Load("<a/>", false), 0);
    EXPECT_TRUE(parser.events.empty());
}

// A tree object that records what it was offered and descends into elements named "keep".
class Collector : public XML::XmlObject {
public:
    explicit Collector(std::vector<std::string>& log, std::string name) : m_log(log), m_name(std::move(name)) {}
    void AddChild(const XML::XmlNode& node) override
    {
        m_log.push_back(m_name + " <- " + node.text);
        if (node.text == "keep" || node.text == "name") {
            m_children.push_back(std::make_unique<Collector>(m_log, m_name + "/" + node.text));
            throw static_cast<XML::XmlObject*>(m_children.back().get());
        }
    }
    void End() override { m_log.push_back(m_name + " end"); }

private:
    std::vector<std::string>& m_log;
    std::string m_name;
    std::vector<std::unique_ptr<Collector>> m_children;
};

TEST(XmlTreeBuilder, DescendsOnlyWhereAnObjectIsThrownAndDeliversAttributesAsNodes)
{
    std::vector<std::string> log;
    Collector root(log, "root");
    CXmlTreeBuilder builder(&root);
    ASSERT_EQ(S_OK, builder.Load("<doc><keep name=\"v\"><x/></keep><skip><keep/></skip></doc>", false));
    EXPECT_EQ((std::vector<std::string>{"root <- doc", "root end"}), log);

    log.clear();
    ASSERT_EQ(S_OK, builder.Load("<keep name=\"v\"><x/><skip><keep/></skip></keep>", false));
    EXPECT_EQ((std::vector<std::string>{"root <- keep", "root/keep <- name", "root/keep/name <- v",
                                        "root/keep/name end", "root/keep <- x", "root/keep <- skip", "root/keep end",
                                        "root end"}),
              log);
}

} // namespace

namespace {

// Wine's DOM component validates document types only partly, so only the safety half is checked
// here: an external entity is never read into the document.
TEST(XmlParser, ExternalEntitiesAreNotResolved)
{
    CScratchFolder folder("xmldtd");
    CScratchFolder::WriteBytes(folder / "secret.txt", "secret");
    RecordingParser external;
    const TStdStr<char> document = "<!DOCTYPE a [<!ELEMENT a (#PCDATA)><!ENTITY e SYSTEM \"" + folder / "secret.txt" +
                                   "\">]><a>&e;</a>";
    external.Load(document.c_str(), false);
    for (const std::string& event : external.events)
        EXPECT_EQ(std::string::npos, event.find("secret")) << event;
}

} // namespace
