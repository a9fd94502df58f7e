// External tools from a scratch "ExtTools.ini": the menu, the path macros, hostile commands, and a
// tool started for real (the recording program in its place).
#include "core/tests/ScratchFolder.h"
#include "frame/services/ExternalTools.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

void WriteFile(const CStdString& path, const std::string& text)
{
    std::ofstream out(path.c_str(), std::ios::binary);
    out << text;
}

std::string ReadFile(const CStdString& path)
{
    std::ifstream in(path.c_str(), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The recording program beside the test executable.
std::string RecorderPath()
{
    char module[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, module, sizeof(module));
    std::string path = module;
    return path.substr(0, path.rfind('\\') + 1) + "services_recorder.exe";
}

struct CRecordingStarter : IToolStarter {
    bool Start(HWND, const std::string& file, const std::string& arguments, const std::string& folder) override
    {
        calls.push_back({file, arguments, folder});
        return true;
    }
    struct CCall {
        std::string file, arguments, folder;
    };
    std::vector<CCall> calls;
};

std::string MenuText(HMENU menu, UINT id)
{
    char text[256] = "";
    GetMenuStringA(menu, id, text, sizeof(text), MF_BYCOMMAND);
    return text;
}

} // namespace

TEST(ExternalTools, TheMenuListsToolsWhoseCommandResolves)
{
    CScratchFolder folder("ToolsMenu");
    std::string text;
    for (int i = 0; i < 12; ++i)
        text += "[Tool " + std::to_string(i) + "]\r\ncommand=" + RecorderPath() + "\r\n";
    text += "[Missing]\r\ncommand=C:\\no\\such\\program.exe\r\n[Share]\r\ncommand=\\\\evil\\share\\x.exe\r\n"
            "[Quoted line]\r\ncommand=\"" + RecorderPath() + "\" --extra\r\n";
    WriteFile(folder / kExternalToolsFileName, text);
    CExternalToolList list;
    ASSERT_TRUE(list.Load((folder / kExternalToolsFileName).c_str()));
    ASSERT_EQ(15u, list.m_tools.size());
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, 1, "old item");
    list.BuildMenu(menu);
    EXPECT_EQ(2 + 12, GetMenuItemCount(menu));
    EXPECT_EQ(kIdToolsManager, GetMenuItemID(menu, 0));
    EXPECT_EQ("Tool 0", MenuText(menu, kIdFirstTool));
    EXPECT_EQ("Tool 11", MenuText(menu, kIdFirstTool + 11));
    EXPECT_EQ(-1, GetMenuState(menu, kIdFirstTool + 12, MF_BYCOMMAND));
    DestroyMenu(menu);

    // Tools eleven and on have items that start nothing; the broken ones never start.
    CRecordingStarter starter;
    EXPECT_TRUE(list.Run(9, nullptr, starter));
    for (size_t index : {10u, 11u, 12u, 13u, 14u, 99u})
        EXPECT_FALSE(list.Run(index, nullptr, starter)) << index;
    EXPECT_EQ(1u, starter.calls.size());

    CExternalToolList missing;
    EXPECT_FALSE(missing.Load((folder / "none.ini").c_str()));
    menu = CreatePopupMenu();
    missing.BuildMenu(menu);
    EXPECT_EQ(2, GetMenuItemCount(menu));
    DestroyMenu(menu);
}

TEST(ExternalTools, PathMacrosCountOnlyAtTheStart)
{
    char windows[MAX_PATH] = "";
    GetWindowsDirectoryA(windows, sizeof(windows));
    EXPECT_EQ(std::string(windows) + "\\system", ExpandToolPath("$WINDIR\\system"));
    EXPECT_EQ("C:\\x\\$WINDIR", ExpandToolPath("C:\\x\\$WINDIR"));
    EXPECT_EQ("", ExpandToolPath(""));
}

TEST(ExternalTools, CommandsThatAreNoProgramFileDoNotResolve)
{
    const std::string recorder = RecorderPath();
    EXPECT_EQ(recorder, ResolveToolCommand(recorder));
    EXPECT_EQ(recorder, ResolveToolCommand("\"" + recorder + "\""));
    for (const std::string& bad : {std::string(), "\"" + recorder + "\" -x", std::string("\\\\host\\share\\tool.exe"),
                                  std::string(5000, 'a'), std::string("C:\\no\\such.exe"), std::string("nosuchtool")})
        EXPECT_EQ("", ResolveToolCommand(bad)) << bad.substr(0, 60);
    EXPECT_NE("", ResolveToolCommand("notepad"));  // found on the search path
}

TEST(ExternalTools, AToolStartsWithItsArgumentsAsWrittenInItsFolder)
{
    CScratchFolder folder("ToolsRun");
    const CStdString out = folder / "recorded.txt";
    CreateDirectoryA((folder / "start here").c_str(), nullptr);
    // The page's address in the arguments, with quotes and blanks, arrives as written.
    const std::string arguments = "--open \"http://127.0.0.1/page one.html?q=a b\" %1 $WINDIR";
    WriteFile(folder / kExternalToolsFileName, "[Recorder]\r\ncommand=\"" + RecorderPath() +
                                                   "\"\r\narguments=" + arguments + "\r\npath=" +
                                                   (folder / "start here").c_str() + "\r\n");
    CExternalToolList list;
    ASSERT_TRUE(list.Load((folder / kExternalToolsFileName).c_str()));
    SetEnvironmentVariableA("KIVO_RECORDER_OUT", out.c_str());
    ASSERT_TRUE(list.Run(0, nullptr, GetShellToolStarter()));
    // Wait for the recorder's file with a generous deadline.
    const ULONGLONG deadline = GetTickCount64() + 60000;
    while (GetFileAttributesA(out.c_str()) == INVALID_FILE_ATTRIBUTES && GetTickCount64() < deadline)
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    SetEnvironmentVariableA("KIVO_RECORDER_OUT", nullptr);
    const std::string recorded = ReadFile(out);
    ASSERT_FALSE(recorded.empty());
    const size_t lineEnd = recorded.find('\n');
    const std::string commandLine = recorded.substr(0, lineEnd);
    const std::string workingFolder = recorded.substr(lineEnd + 1, recorded.find('\n', lineEnd + 1) - lineEnd - 1);
    EXPECT_TRUE(commandLine.ends_with(arguments)) << commandLine;
    EXPECT_EQ(0, _stricmp((folder / "start here").c_str(), workingFolder.c_str())) << workingFolder;
}
