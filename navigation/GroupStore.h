#pragma once
// CGroupStore: the groups of sites, named lists of addresses that open as a set of tabs. Kept in
// "Groups.ini": one section per group in display order, the addresses as the values of keys
// url1, url2, ... Loaded from the first of config\, the language's folder and defaults\; written
// to config\Groups.ini at exit when changed.
//
// Decisions the file format leaves open, taken here:
//   - a group's addresses load in the file order of their lines (not in the text order of the
//     keys, which would put url10 before url2);
//   - an empty group is written as its header alone and comes back empty;
//   - a store emptied of every group writes an empty file, so deleted groups stay deleted;
//   - the file is written whole through a temporary file, so a failed save loses nothing.
// Group names must fit a section header: see IsValidGroupName.
#include <windows.h>

#include <string>
#include <vector>

class CIniFile;

constexpr const char* kGroupsFileName = "Groups.ini";
// Opening group i is command kOpenGroupFirstCommand + i, adding the active tab's address to it
// kAddToGroupFirstCommand + i; both menus list at most kMaxMenuGroups groups, so the ranges never
// meet.
constexpr UINT kOpenGroupFirstCommand = 33600;
constexpr UINT kAddToGroupFirstCommand = 33700;
constexpr int kMaxMenuGroups = 100;

struct CSiteGroup {
    std::string name;
    std::vector<std::string> urls;
};

class CGroupStore {
public:
    CGroupStore();                          // the program's store (configuration folders)
    explicit CGroupStore(std::string savePath);  // loads nothing; empty path: never saves
    ~CGroupStore();
    CGroupStore(const CGroupStore&) = delete;
    CGroupStore& operator=(const CGroupStore&) = delete;

    void Load(CIniFile& file);
    bool Save() const;

    // The index of the group with exactly this name (case-sensitive); -1 for an empty or unknown one.
    int FindGroup(const std::string& name) const;
    // Appends the address to group `index`; ignored for an index outside the list.
    void AddUrlToGroup(int index, const std::string& url);
    // The group name is usable: not empty, no blanks at its ends, none of "[", "]", "=" or a line
    // break, at most 255 characters, and no other group (other than `except`) of that name in any
    // letter case (sections are matched without regard to case).
    bool IsValidGroupName(const std::string& name, int except = -1) const;
    // Both refuse an invalid name.
    bool AddGroup(const std::string& name, std::vector<std::string> urls = {});
    bool RenameGroup(int index, const std::string& name);
    bool DeleteGroup(int index);
    bool SetGroupUrls(int index, std::vector<std::string> urls);
    bool MoveGroup(int from, int to);

    const std::vector<CSiteGroup>& Groups() const { return m_groups; }
    int GetCount() const { return static_cast<int>(m_groups.size()); }
    bool IsModified() const { return m_modified; }
    void SetModified(bool modified = true) { m_modified = modified; }

private:
    std::vector<CSiteGroup> m_groups;
    std::string m_savePath;
    bool m_modified = false;
};

CGroupStore* GetGroupStore();

// Removes the items kOpenGroupFirstCommand, +1, ... until one is missing (at most kMaxMenuGroups),
// then appends one item per group (at most kMaxMenuGroups).
void BuildGroupsMenu(HMENU menu, const CGroupStore& store);
// Removes every item, then appends one item per group with kAddToGroupFirstCommand + index.
void BuildAddToGroupMenu(HMENU menu, const CGroupStore& store);
// Opens every address of the group in a new tab through the frame of `window`, in list order;
// the number of addresses sent.
int OpenGroup(HWND window, const CSiteGroup& group);
