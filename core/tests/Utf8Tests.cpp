#include "core/library/Utf8.h"
#include "core/tests/GuardedBuffer.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

std::string Encode(const std::wstring& text)
{
    std::vector<char> buffer(text.size() * 3 + 1, 'x');
    const size_t length = Utf16ToUtf8(text.c_str(), buffer.data());
    EXPECT_EQ(buffer[length], 0);
    return std::string(buffer.data(), length);
}

std::wstring Decode(const std::string& bytes)
{
    std::vector<wchar_t> buffer(bytes.size() + 1, L'x');
    const size_t length = Utf8ToUtf16(bytes.c_str(), buffer.data());
    EXPECT_EQ(buffer[length], 0);
    return std::wstring(buffer.data(), length);
}

} // namespace

TEST(Utf8, EncodesEachPlaneWithItsSequenceLength)
{
    const struct {
        std::wstring text;
        std::string bytes;
    } cases[] = {
        {L"A", "A"},
        {{wchar_t(0x7F)}, "\x7F"},
        {{wchar_t(0x80)}, "\xC2\x80"},
        {{wchar_t(0x7FF)}, "\xDF\xBF"},
        {{wchar_t(0x20AC)}, "\xE2\x82\xAC"},
        {{wchar_t(0xFFFF)}, "\xEF\xBF\xBF"},
        // U+1F600 as a surrogate pair gives one four-byte sequence.
        {{wchar_t(0xD83D), wchar_t(0xDE00)}, "\xF0\x9F\x98\x80"},
        {{wchar_t(0xDBFF), wchar_t(0xDFFF)}, "\xF4\x8F\xBF\xBF"},
        // Lone halves are not text: each becomes U+FFFD.
        {{wchar_t(0xD83D), L'a'}, "\xEF\xBF\xBD" "a"},
        {{L'a', wchar_t(0xDE00)}, "a\xEF\xBF\xBD"},
        {{wchar_t(0xDE00), wchar_t(0xD83D)}, "\xEF\xBF\xBD\xEF\xBF\xBD"},
        {L"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Encode(c.text), c.bytes) << c.bytes;
    char bytes[1] = {'x'};
    EXPECT_EQ(Utf16ToUtf8(static_cast<const wchar_t*>(nullptr), bytes), 0u);
    EXPECT_EQ(bytes[0], 0);
    wchar_t units[1] = {L'x'};
    EXPECT_EQ(Utf8ToUtf16(nullptr, units), 0u);
    EXPECT_EQ(units[0], 0);
}

TEST(Utf8, NarrowTextIsWidenedWithTheAnsiCodePage)
{
    // 0xE9 is e-acute in code page 1252, which Wine uses for an English locale.
    const char narrow[] = "caf\xE9";
    wchar_t expected[8] = {};
    MultiByteToWideChar(CP_ACP, 0, narrow, -1, expected, 8);
    TGuardedBuffer<char> viaNarrow(3 * 4 + 1);
    const size_t length = Utf16ToUtf8(narrow, viaNarrow.Data());
    EXPECT_EQ(std::string(viaNarrow.Data(), length), Encode(expected));
    if (GetACP() == 1252) {
        EXPECT_EQ(std::string(viaNarrow.Data(), length), "caf\xC3\xA9");
    }
}

TEST(Utf8, DecodesWellFormedSequences)
{
    const struct {
        std::string bytes;
        std::wstring text;
    } cases[] = {
        {"A", L"A"},
        {"\xC2\x80", {wchar_t(0x80)}},
        {"\xE2\x82\xAC", {wchar_t(0x20AC)}},
        // Dashes, quotation marks and the ellipsis have continuation bytes of exactly 0x80.
        {"\xE2\x80\x94\xE2\x80\x9C\xE2\x80\xA6", {wchar_t(0x2014), wchar_t(0x201C), wchar_t(0x2026)}},
        {"\xE1\x80\x80", {wchar_t(0x1000)}},
        {"\xF0\x9F\x98\x80", {wchar_t(0xD83D), wchar_t(0xDE00)}},
        {"\xF0\x90\x80\x80", {wchar_t(0xD800), wchar_t(0xDC00)}},
        {"\xEF\xBB\xBFx", {wchar_t(0xFEFF), L'x'}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Decode(c.bytes), c.text) << c.bytes;
}

TEST(Utf8, IllFormedSequencesBecomeOneReplacementEach)
{
    const std::wstring r(1, wchar_t(0xFFFD));
    const struct {
        std::string bytes;
        std::wstring text;
    } cases[] = {
        {"\x80" "a", r + L"a"},                   // continuation byte in lead position
        {"\xC0\xAF", r + r},                      // overlong slash
        {"\xE0\x80\xAF", r + r + r},              // overlong three-byte form
        {"\xED\xA0\xBD", r + r + r},              // encoded surrogate half
        {"\xF4\x90\x80\x80", r + r + r + r},      // above U+10FFFF
        {"\xF8\x88\x80\x80\x80", r + r + r + r + r}, // five-byte form
        {"\xFE\xFF", r + r},
        {"\xE2\x82" "a", r + L"a"},               // cut short by an ASCII byte
        {"\xE2\x82", r},                          // cut short by the end of the text
        {"\xF0\x9F\x98", r},
        {"a\xC3", L"a" + r},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Decode(c.bytes), c.text) << c.bytes;
}

// Random, truncated and oversized input, each placed right before a no-access page, with an
// output buffer of exactly the documented size that also ends at a no-access page.
TEST(Utf8, RandomInputNeverLeavesItsBuffers)
{
    std::mt19937 random(20240607);
    for (int round = 0; round < 3000; ++round) {
        const size_t length = random() % (round < 2900 ? 40 : 5000);
        std::string bytes(length, '\0');
        for (auto& b : bytes) {
            // Mostly bytes from the interesting high range, never the terminating zero.
            const unsigned v = random() % 4 == 0 ? 1 + random() % 0x7F : 0x80 + random() % 0x80;
            b = static_cast<char>(v);
        }
        TGuardedBuffer<char> input(length + 1);
        TGuardedBuffer<char>::Fill(input, bytes.data(), length);
        TGuardedBuffer<wchar_t> output(length + 1);
        const size_t units = Utf8ToUtf16(input.Data(), output.Data());
        ASSERT_LE(units, length);
        ASSERT_EQ(output.Data()[units], 0);

        // Every decoded text encodes within its documented buffer and decodes to itself.
        std::wstring text(output.Data(), units);
        TGuardedBuffer<char> encoded(units * 3 + 1);
        const size_t encodedLength = Utf16ToUtf8(text.c_str(), encoded.Data());
        ASSERT_LE(encodedLength, units * 3);
        ASSERT_EQ(Decode(std::string(encoded.Data(), encodedLength)), text);
    }
}

TEST(Utf8, RandomUnitsRoundTrip)
{
    std::mt19937 random(7);
    for (int round = 0; round < 2000; ++round) {
        std::wstring text;
        const size_t length = random() % 30;
        for (size_t i = 0; i < length; ++i) {
            const uint32_t cp = 1 + random() % 0x10FFFF;
            if (cp >= 0xD800 && cp <= 0xDFFF)
                continue;
            if (cp < 0x10000) {
                text += static_cast<wchar_t>(cp);
            } else {
                text += static_cast<wchar_t>(0xD800 | ((cp - 0x10000) >> 10));
                text += static_cast<wchar_t>(0xDC00 | ((cp - 0x10000) & 0x3FF));
            }
        }
        // A buffer of exactly 3 bytes per unit plus 1, ending at a no-access page.
        TGuardedBuffer<char> encoded(text.size() * 3 + 1);
        const size_t bytes = Utf16ToUtf8(text.c_str(), encoded.Data());
        ASSERT_EQ(Decode(std::string(encoded.Data(), bytes)), text);
    }
}

TEST(Utf8, GuardedBufferEndsAtANoAccessPage)
{
    TGuardedBuffer<wchar_t> buffer(5);
    EXPECT_FALSE(IsBadWritePtr(buffer.Data(), 5 * sizeof(wchar_t)));
    EXPECT_TRUE(IsBadReadPtr(buffer.Data() + 5, 1));
}
