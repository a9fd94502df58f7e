// Item id lists on hand-made byte lists, shell paths, and shell links and Internet shortcuts
// written and read back.
#include "core/system/ShellItems.h"
#include "core/tests/ScratchFolder.h"
#include "platform/AtlBase.h"

#include <gtest/gtest.h>
#include <intshcut.h>
#include <isguids.h>
#include <tlhelp32.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace {

// A list of items with the given byte contents.
CPidl MakeList(std::initializer_list<std::string> items)
{
    std::vector<BYTE> bytes;
    for (const std::string& item : items) {
        const USHORT size = static_cast<USHORT>(item.size() + sizeof(USHORT));
        bytes.push_back(static_cast<BYTE>(size & 0xFF));
        bytes.push_back(static_cast<BYTE>(size >> 8));
        bytes.insert(bytes.end(), item.begin(), item.end());
    }
    LPITEMIDLIST list = AllocPidl(static_cast<UINT>(bytes.size() + sizeof(USHORT)));
    memcpy(list, bytes.data(), bytes.size());
    return CPidl(list);
}

TEST(ShellItems, ItemIdListsOnByteLists)
{
    CPidl empty = MakeList({});
    CPidl ab = MakeList({"a", "bb"});
    CPidl abc = MakeList({"a", "bb", "ccc"});
    CPidl c = MakeList({"ccc"});
    CPidl ax = MakeList({"a", "bx"});

    EXPECT_EQ(2u, GetPidlSize(empty));
    EXPECT_EQ(2u + 3 + 4, GetPidlSize(ab));
    EXPECT_EQ(0u, GetPidlSize(nullptr));

    EXPECT_TRUE(PidlEqual(nullptr, nullptr));
    EXPECT_FALSE(PidlEqual(nullptr, empty));
    EXPECT_TRUE(PidlEqual(empty, MakeList({})));
    EXPECT_TRUE(PidlEqual(ab, MakeList({"a", "bb"})));
    EXPECT_FALSE(PidlEqual(ab, ax));
    EXPECT_FALSE(PidlEqual(ab, abc));

    EXPECT_TRUE(PidlEqual(ab, CPidl(ConcatPidl(nullptr, ab))));
    EXPECT_TRUE(PidlEqual(abc, ab.Combine(c)));
    EXPECT_TRUE(PidlEqual(ab, CPidl(ConcatPidl(ab, empty))));

    EXPECT_TRUE(PidlEqual(c, abc.GetRelative(ab)));
    EXPECT_TRUE(PidlEqual(abc, abc.GetRelative(nullptr)));
    EXPECT_TRUE(PidlEqual(abc, abc.GetRelative(empty)));
    EXPECT_EQ(nullptr, abc.GetRelative(abc).Get()) << "a list relative to itself";
    EXPECT_EQ(nullptr, ab.GetRelative(abc).Get()) << "a parent longer than the list";
    // A parent that is not a leading part of the list, though shorter: no list cut inside an item.
    EXPECT_EQ(nullptr, abc.GetRelative(ax).Get());
    EXPECT_EQ(nullptr, abc.GetRelative(MakeList({"abbb"})).Get());

    CPidl moving = MakeList({"a", "bb", "ccc"});
    moving.MakeRelative(ab);
    EXPECT_TRUE(PidlEqual(c, moving));
}

TEST(ShellItems, PathsOfRealAndVirtualFolders)
{
    CScratchFolder folder("shellpaths");
    CPidl list(ParseDisplayNameToPidl(folder.Path().c_str()));
    ASSERT_NE(nullptr, list.Get());
    EXPECT_EQ(0, lstrcmpiA((folder.Path().Left(static_cast<int>(folder.Path().size()) - 1)).c_str(),
                           GetPathFromIDList(list).c_str()));
    EXPECT_GE(GetPidlIconIndex(list, SHGFI_SMALLICON), 0);

    CComPtr<IShellFolder> shellFolder;
    EXPECT_TRUE(BindToShellFolder(list, &shellFolder));
    EXPECT_NE(nullptr, shellFolder.p);

    CPidl drives;
    ASSERT_EQ(S_OK, SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &drives));
    EXPECT_EQ("", GetPathFromIDList(drives));
    EXPECT_EQ("", GetPathFromIDList(nullptr));
    EXPECT_EQ(nullptr, ParseDisplayNameToPidl("Q:\\kivo\\no\\such\\folder\\"));

    EXPECT_NE(0u, GetFileNotificationMessage());
    EXPECT_EQ(RegisterWindowMessageA("_FileNotification"), GetFileNotificationMessage());
}

// Writes a shell link to `target` with arguments and a working folder.
void WriteLink(const TStdStr<char>& path, const char* target, const char* arguments, const char* folder)
{
    CComPtr<IShellLinkA> link;
    ASSERT_EQ(S_OK, CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                     reinterpret_cast<void**>(&link.p)));
    link->SetPath(target);
    link->SetArguments(arguments);
    link->SetWorkingDirectory(folder);
    CComPtr<IPersistFile> file;
    ASSERT_EQ(S_OK, link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file.p)));
    const std::wstring wide(path.begin(), path.end());
    ASSERT_EQ(S_OK, file->Save(wide.c_str(), TRUE));
}

TEST(ShellItems, ShellLinkWrittenAndReadBack)
{
    CScratchFolder folder("shelllink");
    CScratchFolder::WriteBytes(folder / "target.txt", "x");
    const TStdStr<char> link = folder / "Target.LNK";
    WriteLink(link, (folder / "target.txt").c_str(), "-a", folder.Path().c_str());

    CComPtr<IShellLinkA> loaded;
    ASSERT_TRUE(OpenShortcut(link.c_str(), &loaded)) << "the extension in capitals";
    char arguments[MAX_PATH] = {};
    loaded->GetArguments(arguments, MAX_PATH);
    EXPECT_STREQ("-a", arguments);
    EXPECT_EQ(0, lstrcmpiA((folder / "target.txt").c_str(), GetShortcutTargetPath(link.c_str()).c_str()));

    // Through the folder object, as the favorites and links code reaches shortcuts.
    CPidl folderList(ParseDisplayNameToPidl(folder.Path().c_str()));
    CComPtr<IShellFolder> shellFolder;
    ASSERT_TRUE(BindToShellFolder(folderList, &shellFolder));
    CPidl item;
    ULONG eaten = 0;
    WCHAR name[] = L"Target.LNK";
    ASSERT_EQ(S_OK, shellFolder->ParseDisplayName(nullptr, nullptr, name, &eaten, &item, nullptr));
    EXPECT_EQ(0, lstrcmpiA((folder / "target.txt").c_str(), ResolveShortcutTarget(shellFolder, item).c_str()));

    CComPtr<IShellLinkA> none;
    EXPECT_FALSE(OpenShortcut((folder / "target.txt").c_str(), &none));
    EXPECT_EQ(nullptr, none.p);
    EXPECT_FALSE(OpenShortcut((folder / "absent.lnk").c_str(), &none));
    EXPECT_EQ("", GetShortcutTargetPath((folder / "absent.lnk").c_str()));
    EXPECT_EQ("", ResolveShortcutTarget(nullptr, item));
}

TEST(ShellItems, InternetShortcutWrittenAndReadBack)
{
    CScratchFolder folder("urlshortcut");
    const TStdStr<char> path = folder / "Example.url";
    {
        CComPtr<IUniformResourceLocatorA> shortcut;
        ASSERT_EQ(S_OK, CoCreateInstance(CLSID_InternetShortcut, nullptr, CLSCTX_INPROC_SERVER,
                                         IID_IUniformResourceLocatorA, reinterpret_cast<void**>(&shortcut.p)));
        ASSERT_EQ(S_OK, shortcut->SetURL("http://www.example.org/page?q=1", 0));
        CComPtr<IPersistFile> file;
        ASSERT_EQ(S_OK, shortcut->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file.p)));
        const std::wstring wide(path.begin(), path.end());
        ASSERT_EQ(S_OK, file->Save(wide.c_str(), TRUE));
    }
    EXPECT_EQ("http://www.example.org/page?q=1", GetInternetShortcutUrl(path.c_str()));

    // A file written by hand, as other browsers leave them in the favorites.
    CScratchFolder::WriteBytes(folder / "Hand.url", "[InternetShortcut]\r\nURL=http://hand.example/\r\n");
    EXPECT_EQ("http://hand.example/", GetInternetShortcutUrl((folder / "Hand.url").c_str()));
    EXPECT_EQ("", GetInternetShortcutUrl((folder / "absent.url").c_str()));
}

namespace {

// Waits until no process of that program name started by this one is left (a generous deadline).
bool WaitUntilChildrenEnded(const char* programName)
{
    const ULONGLONG deadline = GetTickCount64() + 30000;
    for (;;) {
        bool running = false;
        HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
        if (snapshot == INVALID_HANDLE_VALUE)
            return false;
        PROCESSENTRY32 entry = {};
        entry.dwSize = sizeof(entry);
        for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
            running = running || (entry.th32ParentProcessID == GetCurrentProcessId() &&
                                   lstrcmpiA(entry.szExeFile, programName) == 0);
        CloseHandle(snapshot);
        if (!running)
            return true;
        if (GetTickCount64() > deadline)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

} // namespace

TEST(ShellItems, LaunchExecutableStartsProgramsAndShortcutsToThem)
{
    CScratchFolder folder("launch");
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, MAX_PATH);
    const TStdStr<char> cmd = TStdStr<char>(system) + "\\cmd.exe";

    const TStdStr<char> direct = folder / "direct.txt";
    EXPECT_TRUE(LaunchExecutable(cmd.c_str(), ("/c echo direct> \"" + direct + "\"").c_str()));

    // The shortcut's own arguments and working folder are used.
    const TStdStr<char> link = folder / "cmd.lnk";
    WriteLink(link, cmd.c_str(), "/c echo linked> linked.txt", folder.Path().c_str());
    EXPECT_TRUE(LaunchExecutable(link.c_str(), "ignored"));

    CScratchFolder::WriteBytes(folder / "notes.txt", "x");
    WriteLink(folder / "notes.lnk", (folder / "notes.txt").c_str(), "", "");
    EXPECT_FALSE(LaunchExecutable((folder / "notes.lnk").c_str(), ""));
    EXPECT_FALSE(LaunchExecutable((folder / "notes.txt").c_str(), ""));

    // The shells write their markers and end; the folder goes only after they have let go of it
    // (one of them works in it).
    EXPECT_TRUE(WaitUntilChildrenEnded("cmd.exe"));
    for (const TStdStr<char>& marker : {direct, folder / "linked.txt"})
        EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(marker.c_str())) << marker;
}

TEST(ShellItems, FileTypeIconsAndMissingResources)
{
    HICON small = GetFileIconHandle("page.htm", true);
    HICON large = GetFileIconHandle("page.htm", false);
    EXPECT_NE(nullptr, small);
    EXPECT_NE(nullptr, large);
    if (small)
        DestroyIcon(small);
    if (large)
        DestroyIcon(large);
    CManagedIcon icon(4711, true);
    EXPECT_EQ(nullptr, icon.Get());
    CManagedBitmap bitmap(4711);
    EXPECT_EQ(nullptr, bitmap.Get());
}

} // namespace
