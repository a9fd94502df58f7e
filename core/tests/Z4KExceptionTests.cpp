#include "core/library/Z4KException.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(Z4KException, MapOsErrorToCauseFollowsTheTable)
{
    const struct {
        DWORD error;
        int cause;
    } cases[] = {
        {0, 0},    {2, 2},     {6, 2},    {107, 2},  {3, 3},    {123, 3},  {267, 3},  {4, 4},   {113, 4},
        {5, 5},    {183, 5},   {999, 5},  {11, 6},   {193, 6},  {16, 7},   {145, 7},  {62, 8},  {24, 9},
        {132, 9},  {20, 10},   {997, 10}, {32, 11},  {33, 12},  {167, 12}, {39, 13},  {112, 13}, {38, 14},
        {87, 15},  {998, 1},   {1, 1},    {100000, 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MapOsErrorToCause(c.error), c.cause) << "error " << c.error;
}

TEST(Z4KException, MessagesCarryTheFileName)
{
    EXPECT_STREQ(CZ4KFileException(2, "C:\\a.txt").GetErrorMessage(), "C:\\a.txt was not found.");
    EXPECT_STREQ(CZ4KFileException(MapOsErrorToCause(87), "x").GetErrorMessage(), "Invalid Parameter.");
    EXPECT_STREQ(CZ4KFileException(13, nullptr).GetErrorMessage(), "Disk full while accessing .");
    EXPECT_STREQ(CZ4KArchiveException(3, "StartSites").GetErrorMessage(),
                 "An attempt was made to access StartSites past its end.");
    EXPECT_STREQ(CZ4KArchiveException(5, "%d%s").GetErrorMessage(), "%d%s has a bad format.");
    EXPECT_STREQ(CZ4KMemoryException().GetErrorMessage(), "Out of memory.");
    EXPECT_STREQ(CZ4KNotSupportedException().GetErrorMessage(), "An unsupported operation was attempted.");
    EXPECT_STREQ(CZ4KSimpleTextException("Bad filename!").GetErrorMessage(), "Bad filename!");
    EXPECT_STREQ(CZ4KException().GetErrorMessage(), "");

    // A copy rebuilds its own message rather than sharing the original's.
    CZ4KFileException original(5, "f");
    const char* first = original.GetErrorMessage();
    CZ4KFileException copy(original);
    EXPECT_STREQ(copy.GetErrorMessage(), "Access to f was denied.");
    EXPECT_NE(copy.GetErrorMessage(), first);
    // Caught through the base, the message is the derived one.
    try {
        throw CZ4KFileException(14, "log");
    } catch (const CZ4KException& e) {
        EXPECT_STREQ(e.GetErrorMessage(), "An attempt was made to access log past its end.");
    }
}

TEST(Z4KException, ThrowHelpers)
{
    EXPECT_NO_THROW(ThrowFileException(0, "a"));
    try {
        ThrowFileException(ERROR_SHARING_VIOLATION, "a.ini");
        FAIL();
    } catch (const CZ4KFileException& e) {
        EXPECT_EQ(e.m_cause, CZ4KFileException::sharingViolation);
        EXPECT_EQ(e.m_fileName, "a.ini");
    }
    EXPECT_THROW(ThrowZ4KMemoryException(), CZ4KMemoryException);
    EXPECT_THROW(ThrowComError(E_OUTOFMEMORY), CZ4KMemoryException);
    try {
        ThrowComError(E_ACCESSDENIED);
        FAIL();
    } catch (const CComException& e) {
        EXPECT_EQ(e.GetResult(), E_ACCESSDENIED);
        EXPECT_GT(std::strlen(e.GetErrorMessage()), 0u);
    }
    EXPECT_STREQ(CComException(static_cast<HRESULT>(0x8FFF1234)).GetErrorMessage(), "");
}

TEST(Z4KException, CheckedHResultThrowsFailureCodes)
{
    CheckedHResult hr;
    EXPECT_NO_THROW(hr = S_FALSE);
    EXPECT_EQ(static_cast<HRESULT>(hr), S_FALSE);
    try {
        hr = E_FAIL;
        FAIL();
    } catch (HRESULT code) {
        EXPECT_EQ(code, E_FAIL);
    }
}
