// Speed of the INI file reader and writer and of the archive, each at two sizes so that the growth
// with size can be read off. Run by hand: core_bench.exe [folder]
#include "core/library/FileFunctions.h"
#include "core/library/IniFile.h"
#include "core/library/Z4KArchive.h"
#include "core/library/Z4KFile.h"
#include "core/library/Z4KMemFile.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int kKeysPerSection = 100;
constexpr int kRepeats = 3;

double Seconds(const std::function<void()>& work)
{
    LARGE_INTEGER frequency, start, stop;
    QueryPerformanceFrequency(&frequency);
    double best = 1e30;
    for (int i = 0; i < kRepeats; ++i) {
        QueryPerformanceCounter(&start);
        work();
        QueryPerformanceCounter(&stop);
        best = std::min(best, static_cast<double>(stop.QuadPart - start.QuadPart) / frequency.QuadPart);
    }
    return best;
}

// keys lines of 52 bytes (about 1 MB for 20,000 keys) in sections of 100 keys.
std::string MakeIni(int keys)
{
    std::string text;
    text.reserve(static_cast<size_t>(keys) * 53 + keys / kKeysPerSection * 20);
    for (int key = 0; key < keys; ++key) {
        if (key % kKeysPerSection == 0)
            text += FormatString("[Section%05d]\r\n", key / kKeysPerSection);
        text += FormatString("Key%05d=%-41.41s\r\n", key, "http://www.example.com/some/page.html?q=1");
    }
    return text;
}

void WriteFileBytes(const TStdStr<char>& path, const std::string& bytes)
{
    CZ4KFile file;
    file.Open(path.c_str(), CZ4KFile::kOpenWrite);
    file.Write(bytes.data(), static_cast<UINT>(bytes.size()));
}

void BenchIni(const TStdStr<char>& folder, int keys)
{
    const TStdStr<char> path = folder + FormatString("bench%d.ini", keys);
    const std::string text = MakeIni(keys);
    WriteFileBytes(path, text);
    CIniFile ini;
    ini.Open(path.c_str());
    size_t pairs = 0;
    const double bulk = Seconds([&] {
        std::vector<TStdStr<char>> names;
        ini.GetSectionNames(names);
        pairs = 0;
        for (const auto& name : names)
            pairs += ini.GetSectionKeyValues(name.c_str()).size();
    });
    size_t found = 0;
    const double lookups = Seconds([&] {
        found = 0;
        for (int key = 0; key < keys; ++key) {
            const TStdStr<char> section = FormatString("Section%05d", key / kKeysPerSection);
            found += !ini.GetString(section.c_str(), FormatString("Key%05d", key).c_str()).empty();
        }
    });
    const TStdStr<char> middle = FormatString("Section%05d", keys / kKeysPerSection / 2);
    const double rewrite = Seconds([&] { ini.WriteKey(middle.c_str(), "Key00000", "changed"); });
    const double deletion = Seconds([&] { ini.DeleteSection(middle.c_str()); });
    std::printf("INI  %6d keys %8.2f MB: names+bulk read %7.1f ms (%zu pairs), every key looked up %7.1f ms (%zu), "
                "WriteKey %6.1f ms, DeleteSection %6.1f ms\n",
                keys, text.size() / 1048576.0, bulk * 1000, pairs, lookups * 1000, found, rewrite * 1000, deletion * 1000);
    ini.Close();
    DeleteFileA(path.c_str());
}

void BenchArchive(const TStdStr<char>& folder, int strings)
{
    const TStdStr<char> path = folder + FormatString("bench%d.bin", strings);
    std::vector<TStdStr<char>> texts;
    texts.reserve(strings);
    for (int i = 0; i < strings; ++i)
        texts.push_back(FormatString("http://www.example.com/page%d.html", i));
    const double store = Seconds([&] {
        StoreArchiveFile(path.c_str(), [&](CZ4KArchive& archive) {
            archive << static_cast<DWORD>(texts.size());
            for (const auto& text : texts)
                archive << text;
        });
    });
    size_t loaded = 0;
    const double load = Seconds([&] {
        CZ4KFile file;
        file.Open(path.c_str(), CZ4KFile::kOpenRead);
        CZ4KArchive archive(&file, CZ4KArchive::kLoad);
        DWORD count = 0;
        archive >> count;
        TStdStr<char> text;
        loaded = 0;
        for (DWORD i = 0; i < count; ++i) {
            archive >> text;
            ++loaded;
        }
    });
    const double memory = Seconds([&] {
        CZ4KMemFile file(1024);
        {
            CZ4KArchive archive(&file, CZ4KArchive::kStore);
            for (const auto& text : texts)
                archive << text;
        }
        file.SeekToBegin();
        CZ4KArchive archive(&file, CZ4KArchive::kLoad);
        TStdStr<char> text;
        for (size_t i = 0; i < texts.size(); ++i)
            archive >> text;
    });
    CZ4KFileStatus status;
    GetFileStatusByName(path.c_str(), status);
    std::printf("ARCH %6d strings %6.2f MB: store to disk %7.1f ms, load from disk %7.1f ms (%zu), "
                "memory file store+load %7.1f ms\n",
                strings, status.size / 1048576.0, store * 1000, load * 1000, loaded, memory * 1000);
    DeleteFileA(path.c_str());
}

} // namespace

int main(int argc, char** argv)
{
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    TStdStr<char> folder = argc > 1 ? argv[1] : temp;
    if (!folder.empty() && folder.back() != '\\')
        folder += '\\';
    std::printf("best of %d runs each, files in %s\n", kRepeats, folder.c_str());
    for (int keys : {20000, 40000})
        BenchIni(folder, keys);
    for (int strings : {100000, 200000})
        BenchArchive(folder, strings);
    return 0;
}
