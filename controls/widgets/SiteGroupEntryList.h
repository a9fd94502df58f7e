#pragma once
// CSiteGroupEntryList: the check-box list of the entries of one site group (title and address,
// checked entries from the group's bit set), with the favicon of each address. Check boxes follow
// the selection (CSortListView::EnableCheckBoxes); the context menu copies the first selected
// entry's address. The list is virtual: the page reflects its notifications to it.
//
// Lifetime: a member of the page (rule (a)); the entries are copied in. UI thread only.
#include "controls/widgets/SortListView.h"
#include "controls/widgets/WidgetsResource.h"

#include <functional>
#include <string>
#include <vector>

struct CSiteGroupEntry {
    std::string title;
    std::string url;
};

class CSiteGroupEntryList : public CSortListView {
public:
    // The favicon image of an address in the list's image list; -1 for none.
    using IconLookup = std::function<int(const char* url)>;

    // Columns "Title" and "URL", check boxes, the entries with their check states (bit i of
    // `checked` for entry i).
    void Init(HIMAGELIST images, std::vector<CSiteGroupEntry> entries, const std::vector<bool>& checked, IconLookup icons);
    // Title, or the address when the title is empty or "about:blank".
    static std::string DisplayTitle(const CSiteGroupEntry& entry);
    bool SortByColumn(int) override { return false; }
    // The first selected entry's address as CF_TEXT; nothing without a selection.
    bool CopyFirstSelectedUrl();

    BEGIN_MSG_MAP(CSiteGroupEntryList)
        REFLECTED_NOTIFY_CODE_HANDLER(LVN_GETDISPINFOA, OnGetDispInfo)
        MESSAGE_HANDLER(WM_CONTEXTMENU, OnContextMenu)
        COMMAND_ID_HANDLER(ID_SITE_GROUP_COPY_URL, OnCopyUrl)
        CHAIN_MSG_MAP(CSortListView)
    END_MSG_MAP()

private:
    LRESULT OnGetDispInfo(int, LPNMHDR header, BOOL&);
    LRESULT OnContextMenu(UINT, WPARAM, LPARAM lParam, BOOL&);
    LRESULT OnCopyUrl(WORD, WORD, HWND, BOOL&);

    std::vector<CSiteGroupEntry> m_entries;
    IconLookup m_icons;
};
