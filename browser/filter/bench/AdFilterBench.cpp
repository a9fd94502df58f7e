// The rule matcher's benchmark, run by hand under Wine (build/bin/adfilter_bench.exe): the index
// (CRuleIndex::FindFirst) against the plain first-match scan with WildcardMatch, on generated lists
// shaped like real ad lists (host parts "*ads.example.com*", path parts "*/banner/*", anchored
// prefixes "http://ads.", "?" wildcards) of 1,000, 10,000 and 50,000 patterns over 200,000 URLs.
// Prints the time per URL of both, their ratio and the number of differing answers.
#include "browser/filter/RuleIndex.h"
#include "core/library/FileFunctions.h"

#include <windows.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

std::string Word(std::mt19937& random, int minLength, int maxLength)
{
    static const char letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    const int length = minLength + static_cast<int>(random() % static_cast<unsigned>(maxLength - minLength + 1));
    std::string word;
    for (int i = 0; i < length; ++i)
        word += letters[random() % (sizeof(letters) - 1)];
    return word;
}

std::vector<std::string> MakePatterns(std::mt19937& random, int count)
{
    std::vector<std::string> patterns;
    const char* tlds[] = {"com", "net", "org", "de", "co.uk"};
    for (int i = 0; i < count; ++i) {
        switch (random() % 5) {
        case 0: patterns.push_back("*" + Word(random, 3, 8) + "." + Word(random, 4, 10) + "." + tlds[random() % 5] + "*"); break;
        case 1: patterns.push_back("*/" + Word(random, 4, 9) + "/*"); break;
        case 2: patterns.push_back("http://" + Word(random, 3, 8) + "." + Word(random, 3, 9) + "."); break;
        case 3: patterns.push_back("*/" + Word(random, 3, 6) + "?" + Word(random, 2, 5) + "*.gif"); break;
        default: patterns.push_back("*" + Word(random, 5, 9) + "=" + Word(random, 2, 4) + "&*"); break;
        }
    }
    return patterns;
}

std::vector<std::string> MakeUrls(std::mt19937& random, const std::vector<std::string>& patterns, int count)
{
    std::vector<std::string> urls;
    for (int i = 0; i < count; ++i) {
        std::string url = (random() % 4 ? "http://" : "https://") + Word(random, 3, 8) + "." + Word(random, 4, 10) + ".com";
        for (int k = static_cast<int>(random() % 4); k > 0; --k)
            url += "/" + Word(random, 3, 9);
        url += random() % 2 ? ".gif" : "?id=" + Word(random, 3, 8);
        // One URL in ten carries a piece of a pattern, so that some match.
        if (random() % 10 == 0) {
            std::string piece = patterns[random() % patterns.size()];
            for (char& c : piece)
                if (c == '*' || c == '?')
                    c = 'x';
            url += "/" + piece;
        }
        urls.push_back(url);
    }
    return urls;
}

double Seconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace

int main()
{
    std::mt19937 random(4109);
    std::printf("%8s %12s %12s %8s %11s %8s\n", "patterns", "scan us/url", "index us/url", "ratio", "differences", "matches");
    for (const int count : {1000, 10000, 50000}) {
        const std::vector<std::string> patterns = MakePatterns(random, count);
        const std::vector<std::string> urls = MakeUrls(random, patterns, 200000);
        CRuleIndex index;
        index.Build(patterns);
        std::vector<int> fast(urls.size());
        LARGE_INTEGER start, middle, end;
        QueryPerformanceCounter(&start);
        for (size_t i = 0; i < urls.size(); ++i)
            fast[i] = index.FindFirst(urls[i].c_str(), urls[i].size());
        QueryPerformanceCounter(&middle);
        // The scan is slow at 50,000 patterns: it runs over every tenth URL there.
        const size_t step = count >= 50000 ? 10 : count >= 10000 ? 2 : 1;
        int differences = 0;
        int matches = 0;
        size_t scanned = 0;
        for (size_t i = 0; i < urls.size(); i += step, ++scanned) {
            int first = -1;
            for (size_t p = 0; p < patterns.size(); ++p) {
                if (WildcardMatch(patterns[p].c_str(), urls[i].c_str())) {
                    first = static_cast<int>(p);
                    break;
                }
            }
            matches += first >= 0;
            differences += first != fast[i];
        }
        QueryPerformanceCounter(&end);
        const double indexPerUrl = Seconds(start, middle) * 1e6 / static_cast<double>(urls.size());
        const double scanPerUrl = Seconds(middle, end) * 1e6 / static_cast<double>(scanned);
        std::printf("%8d %12.3f %12.3f %8.1f %11d %8d\n", count, scanPerUrl, indexPerUrl, scanPerUrl / indexPerUrl,
                    differences, matches);
    }
    return 0;
}
