#pragma once
// CStartPagesListView: the virtual list of the start pages on the "Start Pages" options page. It
// subclasses the page's list view (LVS_OWNERDATA), shows the start-page list and answers the
// display requests itself; the page reflects its notifications to it.
#include "core/library/StdStr.h"
#include "platform/AtlCtrls.h"
#include "platform/AtlWin.h"

#include <functional>
#include <vector>

class CStartPagesListView : public CWindowImpl<CStartPagesListView, CListViewCtrl> {
public:
    // The icon of a start page in the small image list; -1 for none.
    using IconLookup = std::function<int(const char* url)>;

    // `sites` is the start-page list shown (not owned; normally GetStartSites()->m_sites).
    explicit CStartPagesListView(const std::vector<CStdString>* sites) : m_sites(sites) {}

    BEGIN_MSG_MAP(CStartPagesListView)
        REFLECTED_NOTIFY_CODE_HANDLER(LVN_GETDISPINFOA, OnGetDispInfo)
        DEFAULT_REFLECTION_HANDLER()
    END_MSG_MAP()

    // The number of header items; 0 while the columns are still to be inserted.
    int GetListViewColumnCount() const;
    // Takes the small image list (the site icons; the caller holds the icon cache's lock) and the
    // icon lookup, and inserts the column when there is none.
    void Init(HIMAGELIST smallImages, IconLookup iconLookup);
    // The item count becomes the number of start pages; the list repaints.
    void Refresh();

private:
    LRESULT OnGetDispInfo(int, LPNMHDR header, BOOL&);

    const std::vector<CStdString>* m_sites; // not owned
    IconLookup m_iconLookup;
};
