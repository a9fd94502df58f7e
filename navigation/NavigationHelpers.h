#pragma once
// Small helpers the frame and the other libraries call in the navigation aids: a combo box item's
// text, a window text of at most 511 characters, zeroing a buffer, and the site-group record that
// the site-group list edits (entries with a checked bit each).
#include <windows.h>

#include <string>
#include <vector>

// The text of item `index` of a combo box; its length, or CB_ERR (text then empty) for an index
// outside the list.
int GetComboItemText(HWND combo, int index, std::string& text);
// The window text through a 512-character buffer: at most 511 characters.
std::string GetWindowText512(HWND window);
void ZeroBuffer(void* buffer, size_t bytes);

struct CSiteGroupEntry {
    std::string title;
    std::string url;
};

// The entries in order and one checked bit per entry. The count is the entries' count, and the
// bits are kept the same length, so a reader can never ask past the entries.
class CSiteGroupRecord {
public:
    void Add(CSiteGroupEntry entry, bool checked);
    bool Remove(int index);
    int GetCount() const { return static_cast<int>(m_entries.size()); }
    const CSiteGroupEntry* GetEntry(int index) const;
    bool IsChecked(int index) const;
    bool SetChecked(int index, bool checked);

private:
    std::vector<CSiteGroupEntry> m_entries;
    std::vector<bool> m_checked;
};
