#include "core/library/Z4KArchive.h"

#include "core/library/Z4KMemFile.h"
#include "core/tests/GuardedBytes.h"
#include "core/tests/ScratchFolder.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

using StoreItems = std::function<void(CZ4KArchive&)>;

std::string StoreToMemory(const StoreItems& store, UINT bufferSize = CZ4KArchive::kBufferSize)
{
    CZ4KMemFile file(1024);
    {
        CZ4KArchive archive(&file, CZ4KArchive::kStore, bufferSize);
        store(archive);
    }
    return std::string(reinterpret_cast<const char*>(file.GetData()), file.GetLength());
}

std::string StoreToDisk(const CScratchFolder& folder, const StoreItems& store, UINT bufferSize = CZ4KArchive::kBufferSize)
{
    const TStdStr<char> path = folder / "items.bin";
    {
        CZ4KFile file;
        EXPECT_TRUE(file.Open(path.c_str(), CZ4KFile::kOpenWrite));
        CZ4KArchive archive(&file, CZ4KArchive::kStore, bufferSize);
        store(archive);
    }
    return CScratchFolder::ReadBytes(path);
}

std::string Hex(const std::string& bytes, size_t limit = 16)
{
    std::string text;
    for (size_t i = 0; i < bytes.size() && i < limit; ++i)
        text += FormatString("%02X ", static_cast<unsigned char>(bytes[i]));
    return text;
}

// Loads from bytes that end just before an inaccessible page.
template <typename Load>
void LoadFrom(const std::string& bytes, Load load)
{
    GuardedBytes guarded(bytes);
    CZ4KMemFile file(guarded.Data(), guarded.Size(), 0);
    CZ4KArchive archive(&file, CZ4KArchive::kLoad);
    load(archive);
}

int EndOfDataCause(const std::string& bytes, const std::function<void(CZ4KArchive&)>& load)
{
    try {
        LoadFrom(bytes, load);
    } catch (const CZ4KArchiveException& e) {
        return e.m_cause;
    }
    return -1;
}

} // namespace

TEST(Z4KArchive, GoldenItemBytes)
{
    CScratchFolder folder("archive-golden");
    const struct {
        const char* name;
        StoreItems store;
        std::string expected;
    } cases[] = {
        {"32-bit 1", [](CZ4KArchive& a) { a << static_cast<DWORD>(1); }, std::string("\x01\0\0\0", 4)},
        {"int -2", [](CZ4KArchive& a) { a << -2; }, "\xFE\xFF\xFF\xFF"},
        {"16-bit", [](CZ4KArchive& a) { a << static_cast<WORD>(0x1234); }, "\x34\x12"},
        {"byte", [](CZ4KArchive& a) { a << static_cast<BYTE>(0xAB); }, "\xAB"},
        {"double 1.0", [](CZ4KArchive& a) { a << 1.0; }, std::string("\0\0\0\0\0\0\xF0\x3F", 8)},
        {"abc", [](CZ4KArchive& a) { a.WriteString("abc"); }, "\x03" "abc"},
        {"literal", [](CZ4KArchive& a) { a << "ab" << TStdStr<char>("c"); }, "\x02" "ab" "\x01" "c"},
        {"empty", [](CZ4KArchive& a) { a.WriteString(""); }, std::string("\0", 1)},
        {"int list", [](CZ4KArchive& a) { a.WriteIntList({1, -1}); },
         std::string("\x02\0\0\0\x01\0\0\0\xFF\xFF\xFF\xFF", 12)},
        {"raw", [](CZ4KArchive& a) { a.Write("xyz", 3); }, "xyz"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(StoreToMemory(c.store), c.expected) << c.name;
        EXPECT_EQ(StoreToDisk(folder, c.store), c.expected) << c.name;
    }

    // The string prefixes at their boundaries: the prefix bytes, then the text.
    const struct {
        size_t length;
        std::string prefix;
    } strings[] = {
        {254, "\xFE"},
        {255, std::string("\xFF\xFF\x00", 3)},
        {300, "\xFF\x2C\x01"},
        {65533, "\xFF\xFD\xFF"},
        {65534, std::string("\xFF\xFF\xFF\xFE\xFF\x00\x00", 7)},
        {65535, std::string("\xFF\xFF\xFF\xFF\xFF\x00\x00", 7)},
        {70000, std::string("\xFF\xFF\xFF\x70\x11\x01\x00", 7)},
    };
    for (const auto& s : strings) {
        const TStdStr<char> text(s.length, 'q');
        const StoreItems store = [&](CZ4KArchive& a) { a << text; };
        for (const std::string& bytes : {StoreToMemory(store), StoreToDisk(folder, store)}) {
            ASSERT_EQ(bytes.size(), s.prefix.size() + s.length) << s.length;
            EXPECT_EQ(bytes.substr(0, s.prefix.size()), s.prefix) << s.length << ": " << Hex(bytes);
            EXPECT_EQ(bytes.substr(s.prefix.size()), text) << s.length;
        }
        LoadFrom(StoreToMemory(store), [&](CZ4KArchive& a) {
            TStdStr<char> loaded;
            a >> loaded;
            EXPECT_EQ(loaded, text) << s.length;
        });
    }
}

TEST(Z4KArchive, LoadsWideStringsAndLengths)
{
    const std::string wide("\xFF\xFE\xFF\x03h\0i\0!\0", 12);
    LoadFrom(wide, [](CZ4KArchive& a) {
        TStdStr<char> text;
        a >> text;
        EXPECT_EQ(text, "hi!");
    });
    LoadFrom(wide, [](CZ4KArchive& a) { EXPECT_EQ(a.ReadStringLength(), -1); });
    LoadFrom(std::string("\xFF\x2C\x01", 3), [](CZ4KArchive& a) { EXPECT_EQ(a.ReadStringLength(), 300); });
    LoadFrom(std::string("\x02\x00\x00\x00\x01\x61\x01\x62", 8), [](CZ4KArchive& a) {
        EXPECT_EQ(a.ReadCount(2), 2u);
        TStdStr<char> text;
        a >> text;
        EXPECT_EQ(text, "a");
    });
    // An empty item clears the target instead of leaving the previous text in it.
    LoadFrom(std::string("\x02hi\x00", 4), [](CZ4KArchive& a) {
        TStdStr<char> text;
        a >> text;
        EXPECT_EQ(text, "hi");
        a >> text;
        EXPECT_EQ(text, "");
    });
}

TEST(Z4KArchive, DamagedInputThrowsEndOfData)
{
    const struct {
        const char* name;
        std::string bytes;
        std::function<void(CZ4KArchive&)> load;
    } cases[] = {
        {"half a 32-bit value", std::string("\x01\x00", 2), [](CZ4KArchive& a) { DWORD v; a >> v; }},
        {"nothing at all", "", [](CZ4KArchive& a) { BYTE v; a >> v; }},
        {"string cut short", "\x05" "ab", [](CZ4KArchive& a) { TStdStr<char> s; a >> s; }},
        {"huge 32-bit length", std::string("\xFF\xFF\xFF\xFF\xFF\xFF\x7F" "abc", 10), [](CZ4KArchive& a) { TStdStr<char> s; a >> s; }},
        {"huge wide length", std::string("\xFF\xFE\xFF\xFF\xFF\xFF\xFF\xFF\xFF" "ab", 11), [](CZ4KArchive& a) { TStdStr<char> s; a >> s; }},
        {"huge list count", std::string("\x00\x00\x00\x40\x01\x00\x00\x00", 8), [](CZ4KArchive& a) { std::vector<int> v; a.ReadIntList(v); }},
        {"count beyond the input", std::string("\x05\x00\x00\x00\x01\x61\x01\x62", 8), [](CZ4KArchive& a) { a.ReadCount(2); }},
        {"list cut short", std::string("\x02\x00\x00\x00\x01\x00\x00\x00\x02", 9), [](CZ4KArchive& a) { std::vector<int> v; a.ReadIntList(v); }},
    };
    for (const auto& c : cases)
        EXPECT_EQ(EndOfDataCause(c.bytes, c.load), CZ4KArchiveException::endOfFile) << c.name;

    // The same through a disk file, with the message of the end-of-data cause.
    CScratchFolder folder("archive-damaged");
    const TStdStr<char> path = folder / "cut.bin";
    CScratchFolder::WriteBytes(path, std::string("\xFF\xFF\xFF\x00\x00\x00\x10", 7));
    CZ4KFile file;
    ASSERT_TRUE(file.Open(path.c_str(), CZ4KFile::kOpenRead));
    CZ4KArchive archive(&file, CZ4KArchive::kLoad);
    TStdStr<char> text;
    try {
        archive >> text;
        FAIL();
    } catch (const CZ4KArchiveException& e) {
        EXPECT_EQ(e.m_cause, CZ4KArchiveException::endOfFile);
        EXPECT_STREQ(e.GetErrorMessage(), "An attempt was made to access  past its end.");
    }
}

TEST(Z4KArchive, BufferAndFlushRules)
{
    CScratchFolder folder("archive-buffer");
    const TStdStr<char> path = folder / "flush.bin";
    {
        // A buffer size of 16 becomes 128: the 129th byte sends out the first 128.
        CZ4KFile file;
        ASSERT_TRUE(file.Open(path.c_str(), CZ4KFile::kOpenWrite));
        CZ4KArchive archive(&file, CZ4KArchive::kStore, 16);
        for (int i = 0; i < 128; ++i)
            archive << static_cast<BYTE>(i);
        EXPECT_EQ(file.GetLength(), 0u);
        archive << static_cast<BYTE>(128);
        EXPECT_EQ(file.GetLength(), 128u);
    }
    EXPECT_EQ(CScratchFolder::ReadBytes(path).size(), 129u);
    {
        // With mode bit 2 the destructor writes nothing.
        CZ4KFile file;
        ASSERT_TRUE(file.Open(path.c_str(), CZ4KFile::kOpenWrite));
        CZ4KArchive archive(&file, CZ4KArchive::kStore | CZ4KArchive::noFlushOnDelete);
        archive << 7;
    }
    EXPECT_EQ(CScratchFolder::ReadBytes(path).size(), 0u);

    // A loading archive leaves the file right behind the last item it handed out.
    CScratchFolder::WriteBytes(path, std::string("\x01\0\0\0\x02\0\0\0\x03", 9));
    CZ4KFile file;
    ASSERT_TRUE(file.Open(path.c_str(), CZ4KFile::kOpenRead));
    {
        CZ4KArchive archive(&file, CZ4KArchive::kLoad);
        int first = 0;
        archive >> first;
        EXPECT_EQ(first, 1);
        EXPECT_THROW(archive << 5, CZ4KArchiveException);
    }
    EXPECT_EQ(file.GetPosition(), 4u);
}

// Random item sequences, including raw blocks larger than the buffer, come back as stored through a
// disk file and through a memory file, and both give the same bytes.
TEST(Z4KArchive, RandomRoundTrips)
{
    CScratchFolder folder("archive-roundtrip");
    for (unsigned seed : {1u, 2u, 3u, 4u}) {
        std::mt19937 random(seed);
        struct Item {
            int kind;
            DWORD number;
            std::string text;
        };
        std::vector<Item> items;
        for (int i = 0; i < 300; ++i) {
            Item item{static_cast<int>(random() % 5), static_cast<DWORD>(random()), {}};
            if (item.kind >= 3) {
                const size_t lengths[] = {0, 1, 254, 255, 4095, 4096, 9000, 65534};
                item.text.resize(random() % 3 ? random() % 300 : lengths[random() % 8]);
                for (char& ch : item.text)
                    ch = static_cast<char>(random());
            }
            items.push_back(std::move(item));
        }
        const UINT bufferSize = seed % 2 ? 128 : CZ4KArchive::kBufferSize;
        const StoreItems store = [&](CZ4KArchive& a) {
            for (const auto& item : items) {
                switch (item.kind) {
                case 0: a << static_cast<BYTE>(item.number); break;
                case 1: a << static_cast<WORD>(item.number); break;
                case 2: a << item.number << static_cast<double>(item.number) / 3; break;
                case 3: a << TStdStr<char>(item.text); break;
                default:
                    a << static_cast<DWORD>(item.text.size());
                    a.Write(item.text.data(), static_cast<UINT>(item.text.size()));
                    break;
                }
            }
        };
        const std::string memory = StoreToMemory(store, bufferSize);
        ASSERT_EQ(StoreToDisk(folder, store, bufferSize), memory) << seed;

        auto check = [&](CZ4KArchive& a) {
            for (const auto& item : items) {
                BYTE b = 0;
                WORD w = 0;
                DWORD d = 0;
                double x = 0;
                TStdStr<char> s = "previous";
                switch (item.kind) {
                case 0: a >> b; ASSERT_EQ(b, static_cast<BYTE>(item.number)); break;
                case 1: a >> w; ASSERT_EQ(w, static_cast<WORD>(item.number)); break;
                case 2: a >> d >> x; ASSERT_EQ(d, item.number); ASSERT_EQ(x, static_cast<double>(item.number) / 3); break;
                case 3: a >> s; ASSERT_EQ(s, item.text); break;
                default: {
                    a >> d;
                    ASSERT_EQ(d, item.text.size());
                    std::string raw(d, '\0');
                    ASSERT_EQ(a.Read(raw.data(), d), d);
                    ASSERT_EQ(raw, item.text);
                    break;
                }
                }
            }
            BYTE extra = 0;
            EXPECT_THROW(a >> extra, CZ4KArchiveException);
        };
        LoadFrom(memory, check);
        CZ4KFile file;
        ASSERT_TRUE(file.Open((folder / "items.bin").c_str(), CZ4KFile::kOpenRead));
        CZ4KArchive archive(&file, CZ4KArchive::kLoad, bufferSize);
        check(archive);
    }
}

// Truncated, oversized and random input: every read either delivers an item or throws the archive
// exception; none reads past the input (which ends at an inaccessible page).
TEST(Z4KArchive, BadInputNeverReadsOutOfBounds)
{
    const std::string valid = StoreToMemory([](CZ4KArchive& a) {
        a << static_cast<DWORD>(3);
        a << TStdStr<char>("http://www.example.com/") << TStdStr<char>(300, 'p') << TStdStr<char>("");
        a.WriteIntList({1, 2, 3});
        a << TStdStr<char>(70000, 'z');
    });
    std::vector<std::string> inputs;
    for (size_t cut = 0; cut < valid.size(); cut += cut < 400 ? 1 : 997)
        inputs.push_back(valid.substr(0, cut));
    std::mt19937 random(20261209);
    for (int i = 0; i < 300; ++i) {
        std::string bytes(random() % 64, '\0');
        for (char& ch : bytes)
            ch = static_cast<char>(random() % 4 ? random() : 0xFF);
        inputs.push_back(bytes);
        std::string flipped = valid;
        flipped[random() % 400] = static_cast<char>(random());
        inputs.push_back(flipped);
    }
    int failures = 0;
    for (const auto& input : inputs) {
        try {
            LoadFrom(input, [](CZ4KArchive& a) {
                DWORD count = 0;
                a >> count;
                for (int i = 0; i < 4; ++i) {
                    TStdStr<char> text;
                    a >> text;
                }
                std::vector<int> list;
                a.ReadIntList(list);
                TStdStr<char> text;
                a >> text;
            });
        } catch (const CZ4KArchiveException&) {
            ++failures;
        }
    }
    EXPECT_GT(failures, 0);
}

TEST(Z4KArchive, StoreArchiveFileKeepsTheOldFileOnFailure)
{
    CScratchFolder folder("archive-store");
    const TStdStr<char> path = folder / "StartSites";
    ASSERT_TRUE(StoreArchiveFile(path.c_str(), [](CZ4KArchive& a) { a << 10 << static_cast<DWORD>(1) << TStdStr<char>("a"); }));
    const std::string good = CScratchFolder::ReadBytes(path);
    EXPECT_EQ(good, std::string("\x0A\0\0\0\x01\0\0\0\x01" "a", 10));

    EXPECT_FALSE(StoreArchiveFile(path.c_str(), [](CZ4KArchive& a) {
        a << 10 << TStdStr<char>(9000, 'x');
        throw CZ4KFileException(CZ4KFileException::diskFull, "StartSites");
    }));
    EXPECT_EQ(CScratchFolder::ReadBytes(path), good);
    EXPECT_EQ(folder.List(), std::vector<std::string>{"StartSites"});
    // A folder that does not exist cannot take the temporary file: nothing is written.
    EXPECT_FALSE(StoreArchiveFile((folder / "missing\\file").c_str(), [](CZ4KArchive& a) { a << 1; }));
}
