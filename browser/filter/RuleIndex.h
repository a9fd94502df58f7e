#pragma once
// CRuleIndex: finds, for a URL, the first pattern of a rule list (lowest index) that the wildcard
// match accepts, without trying every pattern. Its answers are those of the plain first-match scan
// with WildcardMatch (core/library/FileFunctions.h) for every pattern of at most kMaxIndexedRuleLength
// bytes: the same decision and the same pattern.
//
// The match: both sides folded (a-z as A-Z, "\" as "/"), "?" one byte, "*" any run, and the pattern
// only has to match a beginning of the URL. Each pattern is compiled into its "*"-separated segments;
// a pattern can match only when
//   - it does not start with "*": the URL starts with its literal prefix (up to the first wildcard,
//     at most kIndexedPrefixLength bytes), looked up by hash for each prefix length in use;
//   - otherwise: one 4-byte run of its literal text, the one whose bucket was smallest when the
//     pattern was added, occurs in the URL, looked up by hash at every position of the URL;
//   - patterns without such a run are tried for every URL.
// The candidates are then verified in ascending index order with the segment match (leftmost
// occurrence of each segment, which is exact because the URL's end is never anchored), and the
// first that matches is the answer. Patterns longer than kMaxIndexedRuleLength are kept by the list
// but never match: no URL the engine sends is that long, and they would make matching time grow
// with their length.
#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

constexpr size_t kMaxIndexedRuleLength = 4096;
constexpr size_t kIndexedPrefixLength = 16;

// The match folding of one byte.
inline unsigned char FoldRuleByte(unsigned char c)
{
    if (c == '\\')
        return '/';
    if (c >= 'a' && c <= 'z')
        return static_cast<unsigned char>(c - 'a' + 'A');
    return c;
}

class CRuleIndex {
public:
    void Build(const std::vector<std::string>& patterns);
    void Clear();
    // The index of the first matching pattern, or -1. Safe to call from several threads at once
    // while nobody builds.
    int FindFirst(const char* url, size_t length) const;
    // The plain scan over the patterns it was built from, with the compiled match (for tests and
    // the benchmark).
    int ScanFirst(const char* url, size_t length) const;

private:
    struct CCompiled {
        std::string folded;           // the folded pattern
        bool usable = false;          // not longer than kMaxIndexedRuleLength
    };
    static std::string Fold(const char* url, size_t length);
    // url: folded.
    bool Matches(const CCompiled& pattern, const unsigned char* url, size_t length) const;

    std::vector<CCompiled> m_patterns;
    std::unordered_map<uint64_t, std::vector<int>> m_prefixBuckets;  // hash of (length, prefix)
    std::vector<size_t> m_prefixLengths;                             // in use, ascending
    std::unordered_map<uint32_t, std::vector<int>> m_gramBuckets;    // 4 folded bytes
    std::vector<int> m_always;                                       // ascending
};
