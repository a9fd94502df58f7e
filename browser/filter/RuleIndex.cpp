#include "browser/filter/RuleIndex.h"

#include <algorithm>
#include <cstring>
#include <unordered_set>

namespace {

uint64_t HashPrefix(const unsigned char* text, size_t length)
{
    uint64_t hash = 1469598103934665603ull ^ length;
    for (size_t i = 0; i < length; ++i) {
        hash ^= text[i];
        hash *= 1099511628211ull;
    }
    return hash;
}

uint32_t Gram(const unsigned char* text)
{
    uint32_t value;
    std::memcpy(&value, text, sizeof(value));
    return value;
}

// Leftmost position >= from where the segment (with "?" as any byte) matches, or npos.
size_t FindSegment(const unsigned char* url, size_t length, size_t from, const unsigned char* segment,
                   size_t segmentLength)
{
    if (segmentLength == 0)
        return from <= length ? from : std::string::npos;
    if (segmentLength > length)
        return std::string::npos;
    // The first byte that is not "?" anchors a quick search.
    size_t anchor = 0;
    while (anchor < segmentLength && segment[anchor] == '?')
        ++anchor;
    for (size_t at = from; at + segmentLength <= length; ++at) {
        if (anchor < segmentLength) {
            const void* hit = std::memchr(url + at + anchor, segment[anchor], length - segmentLength + 1 - at);
            if (!hit)
                return std::string::npos;
            at = static_cast<size_t>(static_cast<const unsigned char*>(hit) - url) - anchor;
        }
        size_t i = 0;
        while (i < segmentLength && (segment[i] == '?' || segment[i] == url[at + i]))
            ++i;
        if (i == segmentLength)
            return at;
    }
    return std::string::npos;
}

}  // namespace

void CRuleIndex::Clear()
{
    m_patterns.clear();
    m_prefixBuckets.clear();
    m_prefixLengths.clear();
    m_gramBuckets.clear();
    m_always.clear();
}

void CRuleIndex::Build(const std::vector<std::string>& patterns)
{
    Clear();
    m_patterns.resize(patterns.size());
    for (size_t i = 0; i < patterns.size(); ++i) {
        CCompiled& compiled = m_patterns[i];
        const std::string& pattern = patterns[i];
        compiled.usable = pattern.size() <= kMaxIndexedRuleLength;
        if (!compiled.usable)
            continue;
        compiled.folded.resize(pattern.size());
        for (size_t k = 0; k < pattern.size(); ++k)
            compiled.folded[k] = static_cast<char>(FoldRuleByte(static_cast<unsigned char>(pattern[k])));
        const auto* text = reinterpret_cast<const unsigned char*>(compiled.folded.data());
        const size_t length = compiled.folded.size();
        const int index = static_cast<int>(i);
        if (length > 0 && text[0] != '*') {
            size_t prefix = 0;
            while (prefix < length && prefix < kIndexedPrefixLength && text[prefix] != '*' && text[prefix] != '?')
                ++prefix;
            if (prefix > 0) {
                m_prefixBuckets[HashPrefix(text, prefix)].push_back(index);
                if (std::find(m_prefixLengths.begin(), m_prefixLengths.end(), prefix) == m_prefixLengths.end())
                    m_prefixLengths.push_back(prefix);
                continue;
            }
        }
        // The 4-byte literal run whose bucket is smallest so far.
        size_t best = std::string::npos;
        size_t bestSize = 0;
        size_t run = 0;
        for (size_t k = 0; k < length; ++k) {
            run = (text[k] == '*' || text[k] == '?') ? 0 : run + 1;
            if (run < 4)
                continue;
            const auto found = m_gramBuckets.find(Gram(text + k - 3));
            const size_t size = found == m_gramBuckets.end() ? 0 : found->second.size();
            if (best == std::string::npos || size < bestSize) {
                best = k - 3;
                bestSize = size;
                if (size == 0)
                    break;
            }
        }
        if (best != std::string::npos)
            m_gramBuckets[Gram(text + best)].push_back(index);
        else
            m_always.push_back(index);
    }
    std::sort(m_prefixLengths.begin(), m_prefixLengths.end());
}

bool CRuleIndex::Matches(const CCompiled& pattern, const unsigned char* url, size_t length) const
{
    if (!pattern.usable)
        return false;
    const auto* text = reinterpret_cast<const unsigned char*>(pattern.folded.data());
    const size_t patternLength = pattern.folded.size();
    size_t at = 0;   // position in the pattern
    size_t pos = 0;  // position in the URL
    bool anchored = true;
    while (at < patternLength) {
        if (text[at] == '*') {
            anchored = false;
            ++at;
            continue;
        }
        size_t end = at;
        while (end < patternLength && text[end] != '*')
            ++end;
        const size_t segmentLength = end - at;
        if (anchored) {
            if (segmentLength > length - pos)
                return false;
            for (size_t i = 0; i < segmentLength; ++i) {
                if (text[at + i] != '?' && text[at + i] != url[pos + i])
                    return false;
            }
            pos += segmentLength;
        } else {
            const size_t found = FindSegment(url, length, pos, text + at, segmentLength);
            if (found == std::string::npos)
                return false;
            pos = found + segmentLength;
        }
        at = end;
    }
    return true;
}

std::string CRuleIndex::Fold(const char* url, size_t length)
{
    std::string folded(url, length);
    for (char& c : folded)
        c = static_cast<char>(FoldRuleByte(static_cast<unsigned char>(c)));
    return folded;
}

int CRuleIndex::ScanFirst(const char* url, size_t length) const
{
    const std::string folded = Fold(url, length);
    const auto* bytes = reinterpret_cast<const unsigned char*>(folded.data());
    for (size_t i = 0; i < m_patterns.size(); ++i) {
        if (Matches(m_patterns[i], bytes, length))
            return static_cast<int>(i);
    }
    return -1;
}

int CRuleIndex::FindFirst(const char* url, size_t length) const
{
    if (m_patterns.empty())
        return -1;
    const std::string folded = Fold(url, length);
    const auto* bytes = reinterpret_cast<const unsigned char*>(folded.data());
    std::vector<int> candidates(m_always);
    if (!m_prefixLengths.empty()) {
        unsigned char head[kIndexedPrefixLength];
        const size_t headLength = std::min(length, kIndexedPrefixLength);
        for (size_t i = 0; i < headLength; ++i)
            head[i] = bytes[i];
        for (const size_t prefix : m_prefixLengths) {
            if (prefix > headLength)
                break;
            const auto found = m_prefixBuckets.find(HashPrefix(head, prefix));
            if (found != m_prefixBuckets.end())
                candidates.insert(candidates.end(), found->second.begin(), found->second.end());
        }
    }
    if (!m_gramBuckets.empty() && length >= 4) {
        // A long URL repeats its runs: each bucket is taken once, so the candidates never outgrow the list.
        std::unordered_set<uint32_t> taken;
        const bool long_ = length > 512;
        unsigned char window[4] = {bytes[0], bytes[1], bytes[2], 0};
        for (size_t i = 3; i < length; ++i) {
            window[3] = bytes[i];
            const uint32_t gram = Gram(window);
            const auto found = m_gramBuckets.find(gram);
            if (found != m_gramBuckets.end() && (!long_ || taken.insert(gram).second))
                candidates.insert(candidates.end(), found->second.begin(), found->second.end());
            window[0] = window[1];
            window[1] = window[2];
            window[2] = window[3];
        }
    }
    std::sort(candidates.begin(), candidates.end());
    candidates.erase(std::unique(candidates.begin(), candidates.end()), candidates.end());
    for (const int candidate : candidates) {
        if (Matches(m_patterns[static_cast<size_t>(candidate)], bytes, length))
            return candidate;
    }
    return -1;
}
