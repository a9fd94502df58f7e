#include "core/library/CommandLineParser.h"

#include <gtest/gtest.h>

namespace {

// The browser's own declaration: [-s|/s startmode] [url].
CCommandLineParser MakeBrowserParser()
{
    CCommandLineParser parser(nullptr, nullptr, "-/");
    parser.DeclarePositional("url", "", nullptr);
    CCommandLineOption startMode('s', nullptr);
    startMode.DeclareArgument("startmode", "single", nullptr);
    parser.DeclareOption(startMode);
    return parser;
}

const char* const kBrowserUsage = "Usage: prog [-s [startmode]] [url]\r\n"
                                  "\r\nOptions:\r\n"
                                  "\t-s\t  \r\n"
                                  "\t startmode\t= \r\n"
                                  "\t\t  optional argument (default='single')\r\n"
                                  "\r\nArguments:\r\n"
                                  "\turl\t= \r\n"
                                  "\t\t  optional argument (default='')\r\n"
                                  "\r\n\r\n";

struct BrowserCase {
    const char* commandLine;
    bool parsed;
    const char* startMode;
    const char* url;
    bool present;
    const char* errorLine; // the error text is this line followed by the usage; null: no error text
};

const BrowserCase kBrowserCases[] = {
    {"prog", true, "single", "", false, nullptr},
    {"prog http://example.org/", true, "single", "http://example.org/", false, nullptr},
    {"prog -s multi http://example.org/", true, "multi", "http://example.org/", true, nullptr},
    {"prog /s multi http://example.org/", true, "multi", "http://example.org/", true, nullptr},
    {"prog\t-s\tmulti\t\tx", true, "multi", "x", true, nullptr},
    {"prog -startmode multi x", true, "multi", "x", true, nullptr},
    {"prog x -s MULTI", true, "MULTI", "x", true, nullptr},
    {"prog -s", true, "single", "", true, nullptr},
    {"prog -s /s", true, "single", "", true, nullptr},
    {"\"C:\\Program Files\\Kivo\\prog.exe\" \"http://a b/\"", true, "single", "http://a b/", false, nullptr},
    {"\"C:\\Program Files\\Kivo\\prog.exe\"-s multi", true, "multi", "", true, nullptr},
    {"prog \"http://open", true, "single", "http://open", false, nullptr},
    {"prog \"\"", true, "single", "", false, nullptr},
    {"prog \"\" -s multi", true, "multi", "", true, nullptr},
    {"\"prog", false, "single", "", false, "prog error: The program name has no closing quote.\r\n"},
    {"\"prog -s multi", false, "single", "", false, "prog error: The program name has no closing quote.\r\n"},
    {"", true, "single", "", false, nullptr},
    {"prog a b", false, "single", "a", false, "prog error: Too much arguments. \r\n"},
    {"prog \"a\"b", false, "single", "a", false, "prog error: Too much arguments. \r\n"},
    {"prog -x multi", false, "single", "", false, "prog error: Unknown option -x.\r\n"},
    {"prog -s multi -", false, "multi", "", true, "prog error: Unknown option -.\r\n"},
    {"prog \"-s\" multi", true, "multi", "", true, nullptr},
};

} // namespace

TEST(CommandLineParser, BrowserCommandLines)
{
    for (const auto& c : kBrowserCases) {
        SCOPED_TRACE(c.commandLine);
        CCommandLineParser parser = MakeBrowserParser();
        TStdStr<char> error = "stale";
        EXPECT_EQ(parser.Parse(c.commandLine, error), c.parsed);
        EXPECT_EQ(parser.GetOption('s').GetArgumentValue("startmode"), c.startMode);
        EXPECT_EQ(parser.GetPositionalValue("url"), c.url);
        EXPECT_EQ(parser.GetOption('s').present, c.present);
        // Every rejected line explains itself.
        EXPECT_EQ(c.errorLine != nullptr, !c.parsed);
        if (c.errorLine)
            EXPECT_EQ(error, TStdStr<char>(c.errorLine) + kBrowserUsage);
        else
            EXPECT_EQ(error, "");
    }
}

TEST(CommandLineParser, EveryRejectedLineGivesAnErrorLineAndTheUsage)
{
    struct RejectedCase {
        const char* commandLine;
        const char* programName; // declared; null: taken from the line
        const char* errorLine;
    };
    const RejectedCase cases[] = {
        {"\"prog -s multi", nullptr, "prog error: The program name has no closing quote.\r\n"},
        {"\"C:\\Kivo\\prog.exe\thttp://a/", nullptr,
         "C:\\Kivo\\prog.exe error: The program name has no closing quote.\r\n"},
        {"\"", nullptr, " error: The program name has no closing quote.\r\n"},
        {"\"prog -s multi", "Kivo", "Kivo error: The program name has no closing quote.\r\n"},
        {"prog -q", nullptr, "prog error: Unknown option -q.\r\n"},
        {"prog a b", nullptr, "prog error: Too much arguments. \r\n"},
        {"prog - a", "Kivo", "Kivo error: Unknown option -.\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.commandLine);
        CCommandLineParser parser(c.programName, "trailer", "-/");
        parser.DeclarePositional("url", "", "page");
        CCommandLineOption startMode('s', "start mode");
        startMode.DeclareArgument("startmode", "single", nullptr);
        parser.DeclareOption(startMode);
        TStdStr<char> error;
        EXPECT_FALSE(parser.Parse(c.commandLine, error));
        // The usage is built after the parse, with the program name the parse settled on.
        const TStdStr<char> usage = parser.GetUsage();
        EXPECT_EQ(error, TStdStr<char>(c.errorLine) + usage);
        EXPECT_EQ(usage.rfind("Usage: ", 0), 0u);
        EXPECT_NE(usage.find("trailer"), TStdStr<char>::npos);
        // A rejected program name assigns nothing.
        if (c.commandLine[0] == '"') {
            EXPECT_EQ(parser.GetOption('s').GetArgumentValue("startmode"), "single");
        }
    }
}

TEST(CommandLineParser, DeclaredProgramNameIsKept)
{
    // The first word is the program name only when none was declared.
    CCommandLineParser parser("Kivo", "", "-");
    TStdStr<char> error;
    EXPECT_TRUE(parser.Parse("other.exe", error));
    EXPECT_EQ(parser.GetProgramName(), "Kivo");
    EXPECT_EQ(parser.GetUsage(), "Usage: Kivo\r\n\r\n\r\n");
}

TEST(CommandLineParser, UnknownNamesGiveTheUnknownValue)
{
    CCommandLineParser parser = MakeBrowserParser();
    EXPECT_EQ(parser.GetPositionalValue("URL"), "<UnKnOwN>");
    EXPECT_EQ(parser.GetOption('s').GetArgumentValue("mode"), "<UnKnOwN>");
    const CCommandLineOption& undeclared = parser.GetOption('q');
    EXPECT_TRUE(undeclared.arguments.empty());
    EXPECT_EQ(undeclared.GetArgumentValue("startmode"), "<UnKnOwN>");
}

TEST(CommandLineParser, SplitsWordsAtBlanksAndQuotes)
{
    using Words = std::vector<TStdStr<char>>;
    EXPECT_EQ(CCommandLineParser::SplitWords("a  b\t\"c d\"e \"\" \"f"), (Words{"a", "b", "c d", "e", "", "f"}));
    EXPECT_EQ(CCommandLineParser::SplitWords("\"a b\"c"), (Words{"a b", "c"}));
    EXPECT_EQ(CCommandLineParser::SplitWords("\"\" x"), (Words{"", "x"}));
    EXPECT_EQ(CCommandLineParser::SplitWords("a   "), (Words{"a"}));
    EXPECT_EQ(CCommandLineParser::SplitWords(nullptr), (Words{""}));
    EXPECT_TRUE(CCommandLineParser::SplitWords("\"a b").empty());
}

namespace {

// A parser with required arguments, descriptions, a trailing text and letters declared out of order.
CCommandLineParser MakeToolParser()
{
    CCommandLineParser parser("tool", "See the manual.", "/-");
    CCommandLineOption output('o', "output file");
    CCommandLineArgument file;
    file.name = "file";
    file.description = "where to write";
    file.optional = false;
    output.arguments.push_back(file);
    output.DeclareArgument("mode", "text", "text or binary");
    CCommandLineOption all('a', "all items");
    CCommandLineOption duplicate('a', "ignored");
    duplicate.DeclareArgument("ignored", "", "");
    parser.DeclareOption(output);
    parser.DeclareOption(all);
    parser.DeclareOption(duplicate);
    CCommandLineArgument source;
    source.name = "source";
    source.description = "input";
    source.optional = false;
    parser.DeclarePositional(source);
    parser.DeclarePositional("target", "out.txt", "result");
    return parser;
}

const char* const kToolUsage = "Usage: tool [/a] [/o file [mode]] source [target]\r\n"
                               "\r\nOptions:\r\n"
                               "\t-a\t  all items\r\n"
                               "\t-o\t  output file\r\n"
                               "\t file\t= where to write\r\n"
                               "\t mode\t= text or binary\r\n"
                               "\t\t  optional argument (default='text')\r\n"
                               "\r\nArguments:\r\n"
                               "\tsource\t= input\r\n"
                               "\ttarget\t= result\r\n"
                               "\t\t  optional argument (default='out.txt')\r\n"
                               "\r\nSee the manual.\r\n";

} // namespace

TEST(CommandLineParser, RequiredArgumentsAndUsage)
{
    struct ToolCase {
        const char* commandLine;
        bool parsed;
        const char* file;
        const char* mode;
        const char* source;
        const char* target;
        const char* errorLine;
    };
    const ToolCase cases[] = {
        {"x.exe in", true, "", "text", "in", "out.txt", nullptr},
        {"x.exe -o f.txt bin in res", true, "f.txt", "bin", "in", "res", nullptr},
        {"x.exe /o f.txt /a in", true, "f.txt", "text", "in", "out.txt", nullptr},
        {"x.exe", false, "", "text", "", "out.txt", "tool error: Too few arguments.\r\n"},
        {"x.exe /a", false, "", "text", "", "out.txt", "tool error: Too few arguments.\r\n"},
        {"x.exe in /o", false, "", "text", "in", "out.txt", "tool error: Too few arguments for option /o.\r\n"},
        {"x.exe /output /a in", false, "", "text", "", "out.txt",
         "tool error: Too few arguments for option /output.\r\n"},
        {"x.exe in res more", false, "", "text", "in", "res", "tool error: Too much arguments. \r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.commandLine);
        CCommandLineParser parser = MakeToolParser();
        TStdStr<char> error;
        EXPECT_EQ(parser.Parse(c.commandLine, error), c.parsed);
        EXPECT_EQ(parser.GetOption('o').GetArgumentValue("file"), c.file);
        EXPECT_EQ(parser.GetOption('o').GetArgumentValue("mode"), c.mode);
        EXPECT_EQ(parser.GetPositionalValue("source"), c.source);
        EXPECT_EQ(parser.GetPositionalValue("target"), c.target);
        EXPECT_EQ(error, c.errorLine ? TStdStr<char>(c.errorLine) + kToolUsage : TStdStr<char>());
    }
    EXPECT_EQ(MakeToolParser().GetOption('a').description, "all items");
}

TEST(CommandLineParser, OptionsAreOrderedAsSignedLetters)
{
    CCommandLineParser parser("p", "", "-");
    parser.DeclareOption(CCommandLineOption('b', ""));
    parser.DeclareOption(CCommandLineOption('\xE9', ""));
    parser.DeclareOption(CCommandLineOption('A', ""));
    const TStdStr<char> usage = parser.GetUsage();
    EXPECT_EQ(usage.substr(0, usage.find("\r\n")), "Usage: p [-\xE9] [-A] [-b]");
}
