#include "core/library/Z4KMemFile.h"

#include <gtest/gtest.h>

#include <string>

TEST(Z4KMemFile, GrowsInSteps)
{
    CZ4KMemFile file(1024);
    const std::string bytes(3000, 'x');
    file.Write(bytes.data(), 3000);
    EXPECT_EQ(file.GetCapacity(), 3072u);
    EXPECT_EQ(file.GetLength(), 3000u);
    EXPECT_EQ(file.GetPosition(), 3000u);
    file.Write("y", 1);
    EXPECT_EQ(file.GetCapacity(), 3072u);
    file.SetLength(10);
    EXPECT_EQ(file.GetPosition(), 10u);
    char buffer[16] = {};
    file.SeekToBegin();
    EXPECT_EQ(file.Read(buffer, sizeof(buffer)), 10u);
    EXPECT_EQ(file.Read(buffer, sizeof(buffer)), 0u);
    file.Close();
    EXPECT_EQ(file.GetLength(), 0u);
    EXPECT_EQ(file.GetData(), nullptr);
}

TEST(Z4KMemFile, CallerBuffers)
{
    // With no growth step the buffer is content to read and cannot grow.
    BYTE content[8] = {'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h'};
    CZ4KMemFile reader(content, sizeof(content), 0);
    EXPECT_EQ(reader.GetLength(), 8u);
    reader.Seek(6, CZ4KFile::begin);
    EXPECT_THROW(reader.Write("XYZ", 3), CZ4KMemoryException);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(content), 8), "abcdefgh"); // unchanged by the failed write
    reader.Write("XY", 2);
    EXPECT_EQ(content[7], 'Y');

    // With a growth step the buffer is space to write; growing past it moves to memory of the file's
    // own and leaves the caller's buffer alone.
    BYTE space[4] = {};
    {
        CZ4KMemFile writer(space, sizeof(space), 16);
        EXPECT_EQ(writer.GetLength(), 0u);
        writer.Write("1234", 4);
        writer.Write("5678", 4);
        EXPECT_EQ(writer.GetCapacity(), 20u);
        EXPECT_NE(writer.GetData(), space);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(writer.GetData()), 8), "12345678");
    }
    EXPECT_EQ(std::string(reinterpret_cast<char*>(space), 4), "1234");
}

TEST(Z4KMemFile, SeekRules)
{
    CZ4KMemFile file;
    file.Write("abc", 3);
    try {
        file.Seek(-1, CZ4KFile::begin);
        FAIL();
    } catch (const CZ4KFileException& e) {
        EXPECT_EQ(e.m_cause, CZ4KFileException::badSeek);
    }
    EXPECT_EQ(file.Seek(1, 7), static_cast<DWORD>(-1));
    EXPECT_EQ(file.GetPosition(), 3u);
    EXPECT_EQ(file.Seek(-1, CZ4KFile::end), 2u);
    EXPECT_EQ(file.Seek(-2, CZ4KFile::current), 0u);
    // A gap left by seeking past the end reads as zeros.
    file.Seek(6, CZ4KFile::begin);
    file.Write("z", 1);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(file.GetData()), 7), std::string("abc\0\0\0z", 7));
    EXPECT_THROW(file.Duplicate(), CZ4KNotSupportedException);
    EXPECT_THROW(file.LockRange(0, 1), CZ4KNotSupportedException);
    EXPECT_THROW(file.UnlockRange(0, 1), CZ4KNotSupportedException);
    EXPECT_EQ(file.GetFilePath(), "");
}

TEST(Z4KMemFile, DirectBufferProtocol)
{
    CZ4KMemFile file(64);
    EXPECT_EQ(file.GetBufferPtr(CZ4KFile::bufferCheck), 1u);
    void* start = nullptr;
    void* end = nullptr;
    EXPECT_EQ(file.GetBufferPtr(CZ4KFile::bufferWrite, 10, &start, &end), 10u);
    std::memcpy(start, "0123456789", 10);
    EXPECT_EQ(file.GetPosition(), 0u);
    file.GetBufferPtr(CZ4KFile::bufferCommit, 10);
    EXPECT_EQ(file.GetLength(), 10u);
    file.SeekToBegin();
    EXPECT_EQ(file.GetBufferPtr(CZ4KFile::bufferRead, 4, &start, &end), 4u);
    EXPECT_EQ(std::string(static_cast<char*>(start), 4), "0123");
    EXPECT_EQ(file.GetPosition(), 4u);
    EXPECT_EQ(file.GetBufferPtr(CZ4KFile::bufferRead, static_cast<UINT>(-1), &start, &end), 6u);
    // A position beyond the content hands out an empty span, never a negative one.
    file.Seek(30, CZ4KFile::begin);
    EXPECT_EQ(file.GetBufferPtr(CZ4KFile::bufferRead, 4, &start, &end), 0u);
    EXPECT_EQ(start, end);
}
