#include "core/library/IniFile.h"

#include "core/tests/ScratchFolder.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

// An INI file with the given text in a scratch folder, opened for reading.
class IniFileTest : public ::testing::Test {
protected:
    IniFileTest() : m_folder("ini") {}

    void Load(const std::string& text)
    {
        m_ini.Close();
        CScratchFolder::WriteBytes(Path(), text);
        ASSERT_TRUE(m_ini.Open(Path().c_str()));
    }
    TStdStr<char> Path() const { return m_folder / "Test.ini"; }
    std::string Text() const { return CScratchFolder::ReadBytes(Path()); }

    CScratchFolder m_folder;
    CIniFile m_ini;
};

const char kSample[] =
    "; settings\r\n"
    "\r\n"
    "[ Main ] trailing words\r\n"
    "  Name  =  spaced value  \r\n"
    "Names=longer key\r\n"
    "Flag=yes\r\n"
    "Count=42abc\r\n"
    "Letters=abc\r\n"
    "Count=7\r\n"
    "garbage line\r\n"
    "\r\n"
    "[Next]\r\n"
    "A=1\n"
    "Multi=one\\ntwo\r\n"
    "[Main]\r\n"
    "Late=hidden\r\n"
    "[Last]\r\n"
    "End=no line break";

} // namespace

TEST_F(IniFileTest, LookupGrammar)
{
    Load(kSample);
    const struct {
        const char* section;
        const char* key;
        const char* expected;
    } cases[] = {
        {"main", "NAME", "  spaced value  "},  // blanks around the value are kept
        {"MAIN", "names", "longer key"},
        {"Main", "Nam", "<default>"},          // a key that only begins with the wanted one
        {"Main", "Count", "42abc"},            // the first of two equal keys
        {"Main", "Late", "<default>"},         // the first matching header wins
        {"Main", "A", "<default>"},            // a section ends at the next header
        {"next", "a", "1"},                    // LF line ends
        {"Last", "End", "no line break"},      // the last line needs no line break
        {"Missing", "Name", "<default>"},
        {"Mai", "Name", "<default>"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(m_ini.GetString(c.section, c.key, "<default>"), c.expected) << c.section << "/" << c.key;
    EXPECT_EQ(m_ini.GetString("Missing", "x"), "");
    TStdStr<char> out = "stale";
    m_ini.GetString("Next", "A", out, "d");
    EXPECT_EQ(out, "1");

    // The buffer form always terminates: a long value is cut to size - 1 characters.
    char buffer[6];
    EXPECT_EQ(m_ini.GetString("Main", "Names", "d", buffer, sizeof(buffer)), 5);
    EXPECT_STREQ(buffer, "longe");
    EXPECT_EQ(m_ini.GetString("Main", "None", "defaultvalue", buffer, sizeof(buffer)), 5);
    EXPECT_STREQ(buffer, "defau");
}

TEST_F(IniFileTest, BoolAndInt)
{
    Load("[B]\r\na=1\r\nb=YES\r\nc=yEs\r\nd=y\r\ne=True\r\nf=yess\r\ng=10\r\nh=no\r\ni=\r\n"
         "[I]\r\nx=42abc\r\ny=abc\r\nz=  -17 \r\n");
    const struct {
        const char* key;
        bool expected;
    } bools[] = {{"a", true}, {"b", true}, {"c", true}, {"d", true}, {"e", true},
                 {"f", false}, {"g", false}, {"h", false}, {"i", false}};
    for (const auto& c : bools) {
        EXPECT_EQ(m_ini.GetBool("B", c.key, !c.expected), c.expected) << c.key;
    }
    EXPECT_TRUE(m_ini.GetBool("B", "missing", true));
    EXPECT_FALSE(m_ini.GetBool("B", "missing", false));
    EXPECT_EQ(m_ini.GetInt("I", "x", 5), 42);
    EXPECT_EQ(m_ini.GetInt("I", "y", 5), 0);
    EXPECT_EQ(m_ini.GetInt("I", "z", 5), -17);
    EXPECT_EQ(m_ini.GetInt("I", "missing", -3), -3);
}

TEST_F(IniFileTest, BulkReading)
{
    Load(kSample);
    const CIniFile::KeyValues main = m_ini.GetSectionKeyValues("main");
    ASSERT_EQ(main.size(), 6u);
    EXPECT_EQ(main[0].first, "Name");
    EXPECT_EQ(main[0].second, "spaced value");
    EXPECT_EQ(main[3].second, "42abc");
    EXPECT_EQ(main[5].second, "7");
    EXPECT_EQ(m_ini.GetSectionKeyValues("Next")[1].second, "one\ntwo");

    Load("[Map]\r\nk1=v\r\nk2=v\r\nk1=other\r\n");
    CIniFile::SectionMap byKey, byValue;
    m_ini.GetSectionMap("Map", byKey, true);
    m_ini.GetSectionMap("Map", byValue, false);
    EXPECT_EQ(byKey, (CIniFile::SectionMap{{"k1", "v"}, {"k2", "v"}}));
    EXPECT_EQ(byValue, (CIniFile::SectionMap{{"v", "k1"}, {"other", "k1"}}));

    Load("[ One ]\r\n[]\r\nx=[not]\r\n[Two]x\r\n  [Three\r\n");
    std::vector<TStdStr<char>> names;
    m_ini.GetSectionNames(names);
    EXPECT_EQ(names, (std::vector<TStdStr<char>>{"One", "Two"}));
}

// A line longer than any buffer neither ends the reading nor is lost by a rewrite.
TEST_F(IniFileTest, LongLinesDoNotEndTheFile)
{
    const std::string longValue(1500, 'v');
    Load("[S]\r\nLong=" + longValue + "\r\nAfter=found\r\n[T]\r\nx=1\r\n");
    EXPECT_EQ(m_ini.GetString("S", "After"), "found");
    EXPECT_EQ(m_ini.GetString("T", "x"), "1");
    EXPECT_EQ(m_ini.GetString("S", "Long"), longValue);
    ASSERT_TRUE(m_ini.WriteKey("T", "y", "2"));
    EXPECT_EQ(Text(), "[S]\r\nLong=" + longValue + "\r\nAfter=found\r\n[T]\r\nx=1\r\ny=2\r\n");
}

TEST_F(IniFileTest, RewritesGolden)
{
    Load("; c\r\n\r\n[Main]\r\nName = old\r\nOther=1\r\n\r\n[Next]\nA=1\n");
    ASSERT_TRUE(m_ini.WriteKey("main", "name", "new"));
    EXPECT_EQ(Text(), "; c\r\n[Main]\r\nName =new\r\nOther=1\r\n[Next]\r\nA=1\r\n");
    ASSERT_TRUE(m_ini.WriteKey("Main", "Missing", "m"));
    EXPECT_EQ(Text(), "; c\r\n[Main]\r\nName =new\r\nOther=1\r\nMissing=m\r\n[Next]\r\nA=1\r\n");
    ASSERT_TRUE(m_ini.WriteKey("Next", "B", "2"));
    ASSERT_TRUE(m_ini.WriteKey("New", "k", "v"));
    EXPECT_EQ(Text(), "; c\r\n[Main]\r\nName =new\r\nOther=1\r\nMissing=m\r\n[Next]\r\nA=1\r\nB=2\r\n[New]\r\nk=v\r\n");
    // The file is open again after each rewrite.
    EXPECT_EQ(m_ini.GetString("New", "k"), "v");
    ASSERT_TRUE(m_ini.DeleteSection("MAIN"));
    EXPECT_EQ(Text(), "; c\r\n[Main]\r\n[Next]\r\nA=1\r\nB=2\r\n[New]\r\nk=v\r\n");
    // Line breaks in a value are stored escaped, so they cannot add lines or sections.
    ASSERT_TRUE(m_ini.WriteKey("New", "k", "a\r\n[Evil]\nb"));
    EXPECT_EQ(m_ini.GetString("New", "k"), "a\\n[Evil]\\nb");
    EXPECT_EQ(m_ini.GetSectionKeyValues("New")[0].second, "a\n[Evil]\nb");
    std::vector<TStdStr<char>> names;
    m_ini.GetSectionNames(names);
    EXPECT_EQ(names.size(), 3u);

    Load("");
    ASSERT_TRUE(m_ini.WriteKey("S", "k", "v"));
    EXPECT_EQ(Text(), "[S]\r\nk=v\r\n");
    EXPECT_EQ(m_folder.List(), std::vector<std::string>{"Test.ini"});
}

TEST_F(IniFileTest, FailedRewriteKeepsTheFile)
{
    Load("[S]\r\nk=old\r\n");
    // A second reader without delete sharing keeps the file from being replaced.
    HANDLE other = CreateFileA(Path().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(m_ini.WriteKey("S", "k", "new"));
    EXPECT_FALSE(m_ini.DeleteSection("S"));
    CloseHandle(other);
    EXPECT_EQ(Text(), "[S]\r\nk=old\r\n");
    EXPECT_EQ(m_folder.List(), std::vector<std::string>{"Test.ini"});
    EXPECT_EQ(m_ini.GetString("S", "k"), "old");
    EXPECT_TRUE(m_ini.WriteKey("S", "k", "new"));
    EXPECT_EQ(m_ini.GetString("S", "k"), "new");

    CIniFile closed;
    EXPECT_FALSE(closed.Open((m_folder / "missing.ini").c_str()));
    EXPECT_FALSE(closed.WriteKey("S", "k", "v"));
    EXPECT_EQ(closed.GetString("S", "k", "d"), "d");
    EXPECT_FALSE(closed.Open(std::string(400, 'n').c_str()));
}

// Random and damaged files: every reader returns, and a written key reads back.
TEST_F(IniFileTest, RandomInput)
{
    const char alphabet[] = "[]= \t\r\n\nabAB;\\\xE9\xFF";
    const char* sections[] = {"a", "AB", "b a", "x"};
    const char* keys[] = {"a", "b", "ab", "B"};
    for (unsigned seed = 1; seed <= 60; ++seed) {
        std::mt19937 random(seed);
        std::string text(random() % 400, '\0');
        for (char& ch : text)
            ch = alphabet[random() % (sizeof(alphabet) - 1)];
        if (seed % 5 == 0)
            text.insert(random() % (text.size() + 1), std::string(3000, 'L'));
        if (seed % 7 == 0)
            text[random() % text.size()] = '\0';
        Load(text);
        std::vector<TStdStr<char>> names;
        m_ini.GetSectionNames(names);
        for (const char* section : sections) {
            CIniFile::SectionMap map;
            m_ini.GetSectionMap(section, map, seed % 2 == 0);
            for (const char* key : keys) {
                m_ini.GetString(section, key, "d");
                m_ini.GetBool(section, key, true);
                m_ini.GetInt(section, key, 1);
            }
        }
        const char* section = sections[random() % 4];
        const char* key = keys[random() % 4];
        const TStdStr<char> value = FormatString("v%u", seed);
        ASSERT_TRUE(m_ini.WriteKey(section, key, value.c_str())) << seed;
        if (text.find('\0') == std::string::npos) {
            EXPECT_EQ(m_ini.GetString(section, key), value) << "seed " << seed;
        }
        ASSERT_TRUE(m_ini.DeleteSection(section)) << seed;
        EXPECT_EQ(m_ini.GetString(section, key, "gone"), "gone") << "seed " << seed;
    }
}
