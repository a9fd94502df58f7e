#include "core/library/FileFunctions.h"

#include "core/library/Z4KException.h"
#include "core/library/Z4KFile.h"
#include "core/tests/ScratchFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

namespace {

// The matcher's rules written the slow, obvious way, to check the fast one against.
bool ReferenceMatch(const char* pattern, const char* text)
{
    auto fold = [](char ch) { return ch == '\\' ? '/' : (ch >= 'a' && ch <= 'z') ? static_cast<char>(ch - 32) : ch; };
    if (!*pattern)
        return true;
    if (*pattern == '*') {
        for (const char* t = text;; ++t) {
            if (ReferenceMatch(pattern + 1, t))
                return true;
            if (!*t)
                return false;
        }
    }
    if (!*text)
        return false;
    return (*pattern == '?' || fold(*pattern) == fold(*text)) && ReferenceMatch(pattern + 1, text + 1);
}

} // namespace

TEST(FileFunctions, WildcardMatch)
{
    const struct {
        const char* pattern;
        const char* text;
        bool expected;
    } cases[] = {
        {"http://ads.example.com", "http://ads.example.com/banner/1.gif", true}, // a pattern matches as a prefix
        {"*.gif", "http://x.com/A.GIF", true},
        {"http:\\\\x.com\\a", "http://x.com/a", true},
        {"*/ads/*", "http://x.com/ads/top", true},
        {"*/ads/*", "http://x.com/adds/top", false},
        {"h?tp://", "http://", true},
        {"h?tp://", "hp://", false},
        {"", "anything", true},
        {"", "", true},
        {"**", "", true},
        {"a", "", false},
        {"*a*b", "xxaxxb", true},
        {"*a*b", "xxaxx", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WildcardMatch(c.pattern, c.text), c.expected) << c.pattern << " / " << c.text;
    EXPECT_FALSE(WildcardMatch("a", nullptr));

    std::mt19937 random(131);
    const char alphabet[] = "ab*?/\\A";
    for (int i = 0; i < 3000; ++i) {
        std::string pattern(random() % 8, ' '), text(random() % 10, ' ');
        for (char& ch : pattern)
            ch = alphabet[random() % 7];
        for (char& ch : text)
            ch = alphabet[random() % 7];
        ASSERT_EQ(WildcardMatch(pattern.c_str(), text.c_str()), ReferenceMatch(pattern.c_str(), text.c_str()))
            << pattern << " / " << text;
    }
}

TEST(FileFunctions, CommandLines)
{
    const struct {
        const char* command;
        const char* program;
        const char* arguments;
    } cases[] = {
        {"\"C:\\Program Files\\Ed\\ed.exe\" -n file.txt", "C:\\Program Files\\Ed\\ed.exe", "-n file.txt"},
        {"\"C:\\Tools\\ed.exe\" \"%1\"", "C:\\Tools\\ed.exe", "\"%1\""},
        {"notepad.exe", "notepad.exe", ""},
        {"notepad.exe a b", "notepad.exe", "a b"},
        {"\"unclosed path", "unclosed path", ""},
    };
    for (const auto& c : cases) {
        TStdStr<char> program = "x", arguments = "y";
        SplitCommandLine(c.command, program, arguments);
        EXPECT_EQ(program, c.program) << c.command;
        EXPECT_EQ(arguments, c.arguments) << c.command;
    }
    TStdStr<char> program, arguments;
    SplitAtExe("\"C:\\A B\\Tool.EXE\" /open %1", program, arguments);
    EXPECT_EQ(program, "C:\\A B\\Tool.EXE");
    EXPECT_EQ(arguments, " /open %1");
    SplitAtExe("C:\\x.exe", program, arguments);
    EXPECT_EQ(program, "C:\\x.exe");
    EXPECT_EQ(arguments, "");
    SplitAtExe("no program here", program, arguments);
    EXPECT_EQ(program, "C:\\x.exe"); // unchanged when there is no ".exe"
    SetEnvironmentVariableA("KIVO_TEST_TOOL", "C:\\T");
    SplitCommandLine("%KIVO_TEST_TOOL%\\t.exe arg", program, arguments);
    EXPECT_EQ(program, "C:\\T\\t.exe");
}

TEST(FileFunctions, PathTexts)
{
    TStdStr<char> title = "Q: Why? <a|b> \"c\" d/e\\f,g;h*";
    ReplaceInvalidFileNameChars(title);
    EXPECT_EQ(title, "Q- Why- -a-b- -c- d-e-f-g-h-");

    EXPECT_TRUE(HasExtension("C:\\a\\page.HTM", ".htm"));
    EXPECT_TRUE(HasExtension("C:\\a\\page.html", ".html"));
    EXPECT_FALSE(HasExtension("C:\\a\\page.html", ".htm"));
    EXPECT_FALSE(HasExtension("a", ".htm")); // shorter than the extension
    EXPECT_FALSE(HasExtension("page.htm", ""));

    const struct {
        const char* path;
        const char* title;
        const char* name;
    } names[] = {
        {"C:\\Favorites\\Links\\", "Links", "Links"},
        {"C:\\a\\b.c\\report.final.txt", "report.final", "report.final.txt"},
        {"C:\\a\\README", "README", "README"},
        {"plain.doc", "plain", "plain.doc"},
    };
    for (const auto& n : names) {
        EXPECT_EQ(GetFileTitle(n.path), n.title) << n.path;
        EXPECT_EQ(GetFileName(n.path), n.name) << n.path;
    }

    EXPECT_TRUE(PathsEqual("C:\\Program Files\\", "c:\\program files"));
    EXPECT_FALSE(PathsEqual("C:\\a", "C:\\b"));
    EXPECT_TRUE(IsFolderPath("C:\\a\\", false));
    EXPECT_FALSE(IsFolderPath("C:\\a", false));

    EXPECT_EQ(ExpandPathMacros("$WINDIR\\x;$SYSDIR\\y"), GetWindowsFolder() + "\\x;" + GetSystemFolder() + "\\y");
    EXPECT_EQ(ExpandPathMacros("$PROGRAMFILES\\Kivo"), GetProgramFilesDir() + "\\Kivo");
    EXPECT_EQ(ExpandPathMacros("C:\\plain"), "C:\\plain");
}

TEST(FileFunctions, PathObject)
{
    CScratchFolder folder("paths");
    ASSERT_TRUE(CreateFolderTree((folder / "MixedCase\\Deeper\\Deepest\\").c_str()));
    EXPECT_FALSE(CreateFolderTree((folder / "MixedCase").c_str())); // it exists already
    const TStdStr<char> file = folder / "MixedCase\\Deeper\\Report.Final.TXT";
    CScratchFolder::WriteBytes(file, "12345");

    const CFilePath path((folder / "mixedcase\\deeper\\..\\DEEPER\\report.final.txt").c_str());
    EXPECT_EQ(path.GetFullPath(), file); // resolved, and in the real letter case
    EXPECT_EQ(TStdStr<char>(path.GetTitle()), "Report.Final");
    EXPECT_EQ(TStdStr<char>(path.GetExtension()), ".TXT");
    EXPECT_EQ(path.GetFileName(), "Report.Final.TXT");
    EXPECT_EQ(TStdStr<char>(path.GetDrive()) + path.GetFolder() + path.GetFileName(), file);
    EXPECT_EQ(ChangeFileExtension(file.c_str(), ".bak"), folder / "MixedCase\\Deeper\\Report.Final.bak");
    // A part that does not exist stays as written.
    EXPECT_EQ(CFilePath((folder / "mixedcase\\NotThere\\x.y").c_str()).GetFullPath(), folder / "MixedCase\\NotThere\\x.y");

    // (The last error is set before the throw, but the runtime's unwinding may change it again before
    // a handler runs, so it is not checked here.)
    try {
        CFilePath bad(std::string(300, 'a').c_str());
        FAIL();
    } catch (const CZ4KSimpleTextException& e) {
        EXPECT_STREQ(e.GetErrorMessage(), "Bad filename!");
    }
    CFilePath module;
    module.SetModulePath(nullptr);
    EXPECT_EQ(module.GetFileName(), "core_tests.exe");

    EXPECT_TRUE(IsDirectory((folder / "MixedCase").c_str()));
    EXPECT_FALSE(IsDirectory(file.c_str()));
    EXPECT_TRUE(IsFolderPath((folder / "MixedCase").c_str(), true));

    CZ4KFileStatus status;
    ASSERT_TRUE(GetFileStatusByName(file.c_str(), status));
    EXPECT_EQ(status.size, 5u);
    EXPECT_EQ(TStdStr<char>(status.fullName), file);
    EXPECT_FALSE(GetFileStatusByName("", status));
    EXPECT_FALSE(GetFileStatusByName((folder / "none.txt").c_str(), status));
}

TEST(FileFunctions, FileFinder)
{
    CScratchFolder folder("finder");
    for (const char* name : {"one.txt", "two.txt", "three.log"})
        CScratchFolder::WriteBytes(folder / name, "x");
    CFileFinder finder;
    ASSERT_TRUE(finder.FindFirst((folder / "*.txt").c_str()));
    EXPECT_EQ(finder.GetRoot() + "\\", folder.Path());
    std::set<std::string> seen;
    bool more = true;
    while (more) {
        more = finder.FindNext();
        seen.insert(finder.GetFileName());
        EXPECT_EQ(finder.GetFilePath(), folder / finder.GetFileName().c_str());
        EXPECT_FALSE(finder.IsDots());
    }
    EXPECT_EQ(seen, (std::set<std::string>{"one.txt", "two.txt"}));
    EXPECT_FALSE(finder.FindNext());

    ASSERT_TRUE(finder.FindFirst((folder / "*").c_str()));
    int dots = 0, files = 0;
    for (more = true; more;) {
        more = finder.FindNext();
        if (finder.IsDots())
            ++dots;
        else if (!finder.MatchesAttribute(FILE_ATTRIBUTE_DIRECTORY))
            ++files;
    }
    EXPECT_EQ(dots, 2);
    EXPECT_EQ(files, 3);

    EXPECT_FALSE(finder.FindFirst(std::string(300, 'p').c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILENAME_EXCED_RANGE));
    EXPECT_FALSE(finder.FindFirst((folder / "*.none").c_str()));
    EXPECT_FALSE(finder.FindNext());
    EXPECT_EQ(finder.GetFileName(), "");
}

TEST(FileFunctions, FindApplicationPath)
{
    EXPECT_TRUE(PathsEqual(FindApplicationPath("notepad.exe").c_str(), (GetSystemFolder() + "\\notepad.exe").c_str()) ||
                PathsEqual(FindApplicationPath("notepad.exe").c_str(), (GetWindowsFolder() + "\\notepad.exe").c_str()));
    CFilePath module;
    module.SetModulePath(nullptr);
    EXPECT_TRUE(PathsEqual(FindApplicationPath("core_tests.exe").c_str(), module.GetFullPath().c_str()));
    EXPECT_EQ(FindApplicationPath("$SYSDIR\\kernel32.dll"), GetSystemFolder() + "\\kernel32.dll");
    EXPECT_EQ(FindApplicationPath("surely-not-a-program-here.exe"), "");
    EXPECT_EQ(FindApplicationPath(""), "");
}
