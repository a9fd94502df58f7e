#pragma once
// CFileSearch: expands a path pattern with wildcards into the list of matching file paths.
//
// Besides "*" and "?" inside a name, a pattern knows "**" (any number of folder levels, none
// included), a component of three or more dots (n dots stand for n - 1 parent folders), UNC
// paths, and options behind the pattern: "@-name" excludes files and folders ("sub/" keeps a
// folder out of the descent), "@=name" keeps only files that match. Each folder's matches are
// sorted by name, a folder's files come before those of its subfolders, and results are full
// paths written with "/" (a leading "\\" of a UNC path stays).
#include "core/library/StdStr.h"

#include <windows.h>

#include <vector>

class CFileSearch {
public:
    CFileSearch();

    // Appends the matches of the pattern to the results; several searches accumulate. A pattern
    // without wildcards is itself the one result, whether or not the file exists. Folders that
    // cannot be read give no matches.
    void Search(const char* pattern);
    const std::vector<TStdStr<char>>& GetResults() const { return m_results; }

    // Add a name pattern unless an equal one (ignoring case) is there already.
    void AddInclusion(const char* pattern);
    void AddExclusion(const char* pattern);

    // "?" matches one character, "*" any run, letters ignoring case unless caseSensitive.
    static bool MatchFileNamePattern(const char* pattern, const char* name, bool caseSensitive);
    // The folder, "/" unless the folder is empty or ends in "/" or ":", then the name.
    static TStdStr<char> JoinSearchPath(const TStdStr<char>& folder, const TStdStr<char>& name);

private:
    // Identifies a folder on its volume, so that links and junctions leading back to a folder
    // that is already being listed are not followed again.
    struct FolderId {
        bool valid = false;
        DWORD volume = 0;
        DWORD indexHigh = 0;
        DWORD indexLow = 0;
        bool operator==(const FolderId& other) const
        {
            return valid && other.valid && volume == other.volume && indexHigh == other.indexHigh &&
                   indexLow == other.indexLow;
        }
    };
    struct Entry {
        TStdStr<char> name;
        bool reparsePoint = false;
    };

    void ReadOptions(const TStdStr<char>& options);
    void Expand(TStdStr<char> pattern, std::vector<FolderId>& ancestors);
    std::vector<Entry> ListFolder(const TStdStr<char>& folder, const TStdStr<char>& component, bool files) const;
    bool IsExcluded(const TStdStr<char>& name) const;
    bool IsIncluded(const TStdStr<char>& name) const;
    static FolderId GetFolderId(const TStdStr<char>& folder);

    std::vector<TStdStr<char>> m_inclusions;
    std::vector<TStdStr<char>> m_exclusions;
    std::vector<TStdStr<char>> m_results;
};
