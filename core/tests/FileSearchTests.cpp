#include "core/library/FileSearch.h"

#include "core/tests/PrintStdStr.h"
#include "tests/support/TestScratch.h"
#include "core/tests/RandomText.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <random>
#include <string>
#include <vector>

using StrList = std::vector<TStdStr<char>>;

namespace {

void DeleteTree(const std::string& folder)
{
    WIN32_FIND_DATAA data;
    const HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = data.cFileName;
            if (name == "." || name == "..")
                continue;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                DeleteTree(folder + "\\" + name);
            else
                DeleteFileA((folder + "\\" + name).c_str());
        } while (FindNextFileA(find, &data));
        FindClose(find);
    }
    RemoveDirectoryA(folder.c_str());
}

// A path as the Unix host names it, or empty outside Wine.
std::string UnixPath(const std::string& path)
{
    using UnixNameFn = char*(CDECL*)(const wchar_t*);
    const auto unixName = reinterpret_cast<UnixNameFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (!unixName)
        return {};
    wchar_t wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
    char* name = unixName(wide);
    std::string result = name ? name : "";
    HeapFree(GetProcessHeap(), 0, name);
    return result;
}

// Runs a host program under Wine and waits (a generous deadline) until the path exists or not, as
// asked: Wine cannot wait for a host process, so the test waits for its result instead.
bool RunOnHost(std::string command, const std::string& path, bool exists)
{
    STARTUPINFOA startup = {sizeof(startup)};
    PROCESS_INFORMATION process;
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    const ULONGLONG deadline = GetTickCount64() + 10000;
    while ((GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) != exists && GetTickCount64() < deadline)
        Sleep(20);
    return (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) == exists;
}

// Makes "link" a symbolic link to "target": through the system call, or under Wine (whose call
// only pretends) through the host's own ln. False when neither works.
bool MakeFolderLink(const std::string& link, const std::string& target)
{
    if (CreateSymbolicLinkA(link.c_str(), target.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY) &&
        GetFileAttributesA(link.c_str()) != INVALID_FILE_ATTRIBUTES)
        return true;
    const std::string unixLink = UnixPath(link);
    return !unixLink.empty() &&
           RunOnHost("Z:\\bin\\ln -s \"" + UnixPath(target) + "\" \"" + unixLink + "\"", link, true);
}

// Removes the link again; Wine deletes neither a host link to a folder as a file nor as a folder,
// so the host's rm does it there.
void RemoveFolderLink(const std::string& link)
{
    if (DeleteFileA(link.c_str()) || RemoveDirectoryA(link.c_str()))
        return;
    const std::string unixLink = UnixPath(link);
    if (!unixLink.empty())
        RunOnHost("Z:\\bin\\rm -f \"" + unixLink + "\"", link, false);
}

class FileSearchTree : public testing::Test {
protected:
    void SetUp() override
    {
        m_root = KivoTestScratchFolder() + "search";
        DeleteTree(m_root);
        for (const char* folder : {"", "\\.hidden", "\\skip", "\\sub1", "\\sub1\\deeper", "\\sub2"})
            CreateDirectoryA((m_root + folder).c_str(), nullptr);
        for (const char* file : {"\\a.url", "\\B.URL", "\\c.txt", "\\.hidden\\d.url", "\\skip\\h.url", "\\sub1\\e.url",
                                 "\\sub1\\z.url", "\\sub1\\deeper\\f.url", "\\sub2\\g.url"}) {
            const HANDLE h = CreateFileA((m_root + file).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
            CloseHandle(h);
        }
        m_slashRoot = m_root;
        for (auto& c : m_slashRoot)
            c = c == '\\' ? '/' : c;
    }
    void TearDown() override
    {
        if (!m_link.empty())
            RemoveFolderLink(m_link);
        DeleteTree(m_root);
    }
    StrList Search(const std::string& pattern)
    {
        CFileSearch search;
        search.Search(pattern.c_str());
        return search.GetResults();
    }
    StrList Expected(std::initializer_list<const char*> names)
    {
        StrList list;
        for (const char* name : names)
            list.push_back(m_slashRoot + "/" + name);
        return list;
    }

    std::string m_root;      // with backslashes, as the system gives it
    std::string m_slashRoot; // as results write it
    std::string m_link;
};

} // namespace

TEST_F(FileSearchTree, GlobstarListsEachFolderSortedBeforeItsSubfolders)
{
    const StrList all = Expected({"B.URL", "a.url", ".hidden/d.url", "skip/h.url", "sub1/e.url", "sub1/z.url",
                                  "sub1/deeper/f.url", "sub2/g.url"});
    EXPECT_EQ(Search(m_root + "\\**.url"), all);
    EXPECT_EQ(Search(m_root + "/**/*.url"), all);
    // An exclusion of a folder keeps it out of the descent.
    EXPECT_EQ(Search(m_root + "\\**.url@-skip/"),
              Expected({"B.URL", "a.url", ".hidden/d.url", "sub1/e.url", "sub1/z.url", "sub1/deeper/f.url", "sub2/g.url"}));
    EXPECT_EQ(Search(m_root + "/**@=*.TXT"), Expected({"c.txt"}));
    // Folders: first the level of no extra folder, then the levels below each folder.
    EXPECT_EQ(Search(m_root + "/**/"), Expected({".hidden/", "skip/", "sub1/", "sub2/", "sub1/deeper/"}));
    EXPECT_EQ(Search(m_root + "/sub**.url"), Expected({"sub1/e.url", "sub1/z.url", "sub1/deeper/f.url", "sub2/g.url"}));
}

TEST_F(FileSearchTree, NamePatternsMatchFilesOnlyIgnoringCase)
{
    EXPECT_EQ(Search(m_root + "/*"), Expected({"B.URL", "a.url", "c.txt"}));
    EXPECT_EQ(Search(m_root + "/*.URL"), Expected({"B.URL", "a.url"}));
    EXPECT_EQ(Search(m_root + "/sub1/?.url"), Expected({"sub1/e.url", "sub1/z.url"}));
    EXPECT_EQ(Search(m_root + "/sub1/??.url"), StrList{});
    EXPECT_EQ(Search(m_root + "/*/*.url"), Expected({".hidden/d.url", "skip/h.url", "sub1/e.url", "sub1/z.url", "sub2/g.url"}));
    EXPECT_EQ(Search(m_root + "/nothing/*.url"), StrList{});

    CFileSearch search; // results accumulate; options replace the earlier lists
    search.AddExclusion("B.url");
    search.AddExclusion("b.URL");
    search.Search((m_root + "/*.url").c_str());
    search.Search((m_root + "/sub2/*@=g*").c_str());
    EXPECT_EQ(search.GetResults(), Expected({"a.url", "sub2/g.url"}));
}

TEST_F(FileSearchTree, FolderLinksBackUpTheTreeAreNotFollowed)
{
    m_link = m_root + "\\sub2\\loop";
    if (!MakeFolderLink(m_link, m_root))
        GTEST_SKIP() << "no way to make a symbolic link here";
    EXPECT_EQ(Search(m_root + "/**.url"), Expected({"B.URL", "a.url", ".hidden/d.url", "skip/h.url", "sub1/e.url",
                                                    "sub1/z.url", "sub1/deeper/f.url", "sub2/g.url"}));
    EXPECT_EQ(Search(m_root + "/sub2/*/*.url"), Expected({"sub2/loop/B.URL", "sub2/loop/a.url"}))
        << "a link is still listed where the pattern names a level";
}

TEST_F(FileSearchTree, LongPatternsFindNothingWithoutOverrunning)
{
    const std::string deep = m_root + "/" + std::string(300, 'x') + "/**.url";
    EXPECT_EQ(Search(deep), StrList{});
    std::string dots = m_root + "/sub1/";
    while (dots.size() < 255)
        dots += "x/";
    EXPECT_EQ(Search(dots + "**" + std::string(40, '.') + "**"), StrList{});
}

TEST(FileSearch, PatternsWithoutWildcardsAreNormalisedAndReturned)
{
    const struct {
        const char* pattern;
        const char* result;
    } cases[] = {
        {"no\\such/file.txt", "no/such/file.txt"},
        {"\\\\server\\share\\x.txt", "\\\\server/share/x.txt"},
        {"a/.../b", "a/../../b"},
        {"a\\....\\b", "a/../../../b"},
        {"a/...", "a/../.."},
        {"a/..b/...c", "a/..b/...c"},
        {"a/./../b", "a/./../b"},
        {"c:\\x@-y", "c:/x"},
    };
    for (const auto& c : cases) {
        CFileSearch search;
        search.Search(c.pattern);
        EXPECT_EQ(search.GetResults(), StrList{c.result}) << c.pattern;
    }
    EXPECT_EQ(CFileSearch::JoinSearchPath("", "n"), "n");
    EXPECT_EQ(CFileSearch::JoinSearchPath("a", "n"), "a/n");
    EXPECT_EQ(CFileSearch::JoinSearchPath("a/", "n"), "a/n");
    EXPECT_EQ(CFileSearch::JoinSearchPath("c:", "n"), "c:n");
}

// Random patterns without wildcards never reach the file system: each gives exactly one result,
// written with "/" only (after a UNC prefix), whatever its dots, separators and options.
TEST(FileSearch, RandomPatternsWithoutWildcardsGiveOneNormalisedResult)
{
    std::mt19937 random(31337);
    for (int round = 0; round < 5000; ++round) {
        const std::string pattern = RandomText(random, "./\\ab@-=:", random() % (round % 100 == 99 ? 2000 : 24));
        CFileSearch search;
        search.Search(pattern.c_str());
        ASSERT_EQ(search.GetResults().size(), 1u) << pattern;
        const TStdStr<char>& result = search.GetResults()[0];
        const size_t start = result.starts_with("\\\\") ? 2 : 0;
        ASSERT_EQ(result.find('\\', start), std::string::npos) << pattern << " gave " << result;
        ASSERT_EQ(result.find('@'), std::string::npos) << pattern;
    }
}

namespace {

// A plain recursive matcher to hold the real one against.
bool ReferenceMatch(const char* p, const char* n)
{
    if (!*p)
        return !*n;
    if (*p == '*')
        return ReferenceMatch(p + 1, n) || (*n && ReferenceMatch(p, n + 1));
    return *n && (*p == '?' || tolower(static_cast<unsigned char>(*p)) == tolower(static_cast<unsigned char>(*n))) &&
           ReferenceMatch(p + 1, n + 1);
}

} // namespace

TEST(FileSearch, NameMatcherAgreesWithAPlainMatcher)
{
    const struct {
        const char* pattern;
        const char* name;
        bool caseSensitive;
        bool match;
    } cases[] = {
        {"*", "", false, true},   {"*", "abc", false, true},   {"?", "", false, false},  {"?", "a", false, true},
        {"a?c", "abc", false, true}, {"a?c", "ac", false, false}, {"*.url", "x.URL", false, true},
        {"*.url", "x.URL", true, false}, {"a*b*c", "aXbYbZc", false, true}, {"a*b", "ab", false, true},
        {"*ab", "aab", false, true}, {"", "", false, true},    {"", "a", false, false}, {"abc", "ab", false, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CFileSearch::MatchFileNamePattern(c.pattern, c.name, c.caseSensitive), c.match)
            << c.pattern << " " << c.name;

    std::mt19937 random(99);
    for (int round = 0; round < 20000; ++round) {
        const std::string pattern = RandomText(random, "aAb*?", random() % 8);
        const std::string name = RandomText(random, "aAb", random() % 10);
        ASSERT_EQ(CFileSearch::MatchFileNamePattern(pattern.c_str(), name.c_str(), false),
                  ReferenceMatch(pattern.c_str(), name.c_str()))
            << pattern << " " << name;
    }
}

// Random patterns inside the test tree (no ".." so the walk stays inside it): the search ends,
// every result lies inside the tree, and a pattern without wildcards gives exactly one result.
TEST_F(FileSearchTree, RandomPatternsEndInsideTheTree)
{
    std::mt19937 random(4242);
    for (int round = 0; round < 400; ++round) {
        const std::string tail = RandomText(random, "ab*?/\\.@-=suU1lr", random() % (round % 50 == 49 ? 400 : 16));
        if (tail.find("..") != std::string::npos)
            continue;
        CFileSearch search;
        search.Search((m_root + "/" + tail).c_str());
        const bool wild = tail.substr(0, tail.find('@')).find_first_of("*?") != std::string::npos;
        if (!wild) {
            ASSERT_EQ(search.GetResults().size(), 1u) << tail;
        }
        for (const auto& result : search.GetResults())
            ASSERT_EQ(result.compare(0, m_slashRoot.size(), m_slashRoot), 0) << tail << " gave " << result;
    }
}
