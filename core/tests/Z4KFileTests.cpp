#include "core/library/Z4KFile.h"

#include "core/library/FileFunctions.h"

#include "core/tests/ScratchFolder.h"

#include <gtest/gtest.h>

TEST(Z4KFile, OpenFailureFillsTheRecord)
{
    CScratchFolder folder("z4kfile-open");
    CZ4KFile file;
    CZ4KFileException error;
    const TStdStr<char> missing = folder / "missing.dat";
    EXPECT_FALSE(file.Open(missing.c_str(), 0, &error));
    EXPECT_EQ(error.m_cause, CZ4KFileException::fileNotFound);
    EXPECT_EQ(error.m_fileName, missing);
    EXPECT_FALSE(file.IsOpen());
    EXPECT_THROW(file.Open(std::string(400, 'x').c_str(), 0), CZ4KSimpleTextException);
}

TEST(Z4KFile, CreateTruncatesUnlessKept)
{
    CScratchFolder folder("z4kfile-create");
    const TStdStr<char> path = folder / "data.bin";
    CScratchFolder::WriteBytes(path, "old content");
    {
        CZ4KFile file;
        ASSERT_TRUE(file.Open(path.c_str(), CZ4KFile::modeCreate | CZ4KFile::modeNoTruncate | CZ4KFile::modeWrite));
        EXPECT_EQ(file.GetLength(), 11u);
    }
    EXPECT_EQ(CScratchFolder::ReadBytes(path), "old content");
    {
        CZ4KFile file;
        ASSERT_TRUE(file.Open(path.c_str(), CZ4KFile::kOpenWrite));
        EXPECT_EQ(file.GetLength(), 0u);
        file.Write("abcdef", 6);
        EXPECT_EQ(file.GetPosition(), 6u);
    }
    EXPECT_EQ(CScratchFolder::ReadBytes(path), "abcdef");
    // A missing file is created with create and keep as well.
    const TStdStr<char> fresh = folder / "fresh.bin";
    CZ4KFile file;
    EXPECT_TRUE(file.Open(fresh.c_str(), CZ4KFile::modeCreate | CZ4KFile::modeNoTruncate | CZ4KFile::modeWrite));
}

TEST(Z4KFile, ShareModesDecideASecondOpen)
{
    CScratchFolder folder("z4kfile-share");
    const TStdStr<char> path = folder / "shared.ini";
    CScratchFolder::WriteBytes(path, "x");
    const struct {
        UINT first;
        UINT second;
        bool secondOpens;
    } cases[] = {
        {CZ4KFile::kOpenIni, CZ4KFile::kOpenRead, true},
        {CZ4KFile::kOpenIni, CZ4KFile::modeWrite | CZ4KFile::shareDenyNone, false},
        {CZ4KFile::modeRead | CZ4KFile::shareExclusive, CZ4KFile::modeRead | CZ4KFile::shareDenyNone, false},
        {CZ4KFile::modeRead | CZ4KFile::shareDenyNone, CZ4KFile::modeReadWrite | CZ4KFile::shareDenyNone, true},
        {CZ4KFile::modeRead | CZ4KFile::shareDenyRead, CZ4KFile::modeRead | CZ4KFile::shareDenyNone, false},
    };
    for (const auto& c : cases) {
        CZ4KFile first, second;
        ASSERT_TRUE(first.Open(path.c_str(), c.first));
        CZ4KFileException error;
        EXPECT_EQ(second.Open(path.c_str(), c.second, &error), c.secondOpens) << std::hex << c.first << " " << c.second;
        if (!c.secondOpens) {
            EXPECT_EQ(error.m_cause, CZ4KFileException::sharingViolation);
        }
    }
}

TEST(Z4KFile, ReadSeekLockAndStatus)
{
    CScratchFolder folder("z4kfile-io");
    const TStdStr<char> path = folder / "Data.Bin";
    CScratchFolder::WriteBytes(path, "0123456789");
    CZ4KFile file;
    ASSERT_TRUE(file.Open((folder / "data.bin").c_str(), CZ4KFile::modeReadWrite | CZ4KFile::shareExclusive));
    // The stored path takes the file's real letter case.
    EXPECT_EQ(file.GetFilePath(), path);
    EXPECT_EQ(file.GetFileName(), "Data.Bin");
    EXPECT_EQ(file.GetFileTitle(), "Data");
    char buffer[16] = {};
    EXPECT_EQ(file.Read(buffer, 0), 0u);
    EXPECT_EQ(file.Seek(-3, CZ4KFile::end), 7u);
    EXPECT_EQ(file.Read(buffer, sizeof(buffer)), 3u);
    EXPECT_EQ(std::string(buffer, 3), "789");
    EXPECT_EQ(file.Read(buffer, sizeof(buffer)), 0u);
    EXPECT_THROW(file.Seek(-100, CZ4KFile::current), CZ4KFileException);
    file.LockRange(0, 4);
    file.UnlockRange(0, 4);
    EXPECT_THROW(file.UnlockRange(0, 4), CZ4KFileException);
    file.SetLength(4);
    EXPECT_EQ(file.GetLength(), 4u);

    CZ4KFileStatus status;
    ASSERT_TRUE(file.GetStatus(status));
    EXPECT_EQ(status.size, 4u);
    EXPECT_EQ(TStdStr<char>(status.fullName), path);
    EXPECT_NE(status.creationTime.dwLowDateTime | status.creationTime.dwHighDateTime, 0u);

    auto copy = file.Duplicate();
    EXPECT_EQ(copy->Seek(0, CZ4KFile::begin), 0u);
    EXPECT_EQ(copy->Read(buffer, 4), 4u);
    file.Close();
    file.Close(); // harmless
    EXPECT_FALSE(file.GetStatus(status));
    file.SetFilePath("C:\\x.txt");
    EXPECT_EQ(file.GetFilePath(), "");
}

TEST(Z4KFile, BorrowedHandleStaysOpen)
{
    CScratchFolder folder("z4kfile-handle");
    const TStdStr<char> path = folder / "h.bin";
    HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    DWORD flags = 0;
    HANDLE duplicated = nullptr;
    {
        CZ4KFile borrowed(handle);
        borrowed.Write("ab", 2);
        // The duplicate's handle is new, so the duplicate closes it, borrowed original or not.
        auto copy = borrowed.Duplicate();
        duplicated = copy->GetHandle();
        ASSERT_NE(duplicated, handle);
        EXPECT_TRUE(GetHandleInformation(duplicated, &flags));
    }
    EXPECT_FALSE(GetHandleInformation(duplicated, &flags));
    {
        // Opening another file gives the caller's handle up without closing it.
        CZ4KFile borrowed(handle);
        ASSERT_TRUE(borrowed.Open((folder / "other.bin").c_str(), CZ4KFile::kOpenWrite));
        EXPECT_NE(borrowed.GetHandle(), handle);
    }
    EXPECT_TRUE(GetHandleInformation(handle, &flags));
    DWORD written = 0;
    EXPECT_TRUE(WriteFile(handle, "c", 1, &written, nullptr));
    CloseHandle(handle);
    EXPECT_EQ(CScratchFolder::ReadBytes(path), "abc");
}

TEST(Z4KFile, MappingsAndTemporaryFiles)
{
    CScratchFolder folder("z4kfile-map");
    const TStdStr<char> path = folder / "m.bin";
    CScratchFolder::WriteBytes(path, "mapped");
    HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    CFileMapping view;
    ASSERT_TRUE(view.MapFile(handle));
    EXPECT_EQ(view.GetSize(), 6u);
    EXPECT_EQ(std::string(static_cast<const char*>(view.GetData()), 6), "mapped");
    EXPECT_TRUE(view.Unmap());
    EXPECT_TRUE(view.Unmap());
    CloseHandle(handle);

    const TStdStr<char> name = FormatString("KivoCoreTestMapping%lu", GetCurrentProcessId());
    CFileMapping first, second;
    bool existed = true;
    ASSERT_TRUE(first.CreateShared(4096, name.c_str(), &existed));
    EXPECT_FALSE(existed);
    ASSERT_TRUE(second.CreateShared(4096, name.c_str(), &existed));
    EXPECT_TRUE(existed);
    static_cast<char*>(first.GetData())[10] = 'q';
    EXPECT_EQ(static_cast<char*>(second.GetData())[10], 'q');

    // A committed temporary file replaces its target; an uncommitted one leaves no trace.
    const TStdStr<char> target = folder / "target.dat";
    CScratchFolder::WriteBytes(target, "old");
    {
        CTempFile temp;
        ASSERT_TRUE(temp.Create(folder.Path().c_str()));
        EXPECT_EQ(GetFileName(temp.GetTempName().c_str()).Left(3), "TFR");
        temp.Write("new", 3);
        EXPECT_TRUE(temp.Commit(target.c_str()));
    }
    EXPECT_EQ(CScratchFolder::ReadBytes(target), "new");
    {
        CTempFile temp;
        ASSERT_TRUE(temp.Create(folder.Path().c_str()));
        temp.Write("x", 1);
    }
    EXPECT_EQ(folder.List().size(), 2u); // m.bin and target.dat
    {
        // A target that cannot be replaced keeps its content, and the temporary file goes.
        HANDLE reader = CreateFileA(target.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        CTempFile temp;
        ASSERT_TRUE(temp.Create(folder.Path().c_str()));
        temp.Write("lost", 4);
        EXPECT_FALSE(temp.Commit(target.c_str()));
        CloseHandle(reader);
    }
    EXPECT_EQ(CScratchFolder::ReadBytes(target), "new");
    EXPECT_EQ(folder.List().size(), 2u);
}

TEST(Z4KFile, SystemFolders)
{
    EXPECT_FALSE(GetWindowsFolder().empty());
    EXPECT_EQ(GetSystemFolder().Left(GetWindowsFolder().GetLength()), GetWindowsFolder());
    EXPECT_FALSE(GetProgramFilesDir().empty());
}
