#pragma once
// CLanguageListView: the virtual list of the interface languages on the options page: each
// language's name in the interface language with its flag, the file's own name beside it, and
// the language in use drawn in red. It subclasses the page's list view (LVS_OWNERDATA); the page
// reflects its notifications to it.
//
// Lifetime: a member of the page (rule (a)); the language manager is the caller's. UI thread only.
#include "controls/widgets/SortListView.h"

class CLanguageManager;

class CLanguageListView : public CGridListView {
public:
    static constexpr COLORREF kCurrentLanguageColor = RGB(255, 0, 0);

    // `languages` is not owned and outlives the list.
    explicit CLanguageListView(const CLanguageManager& languages) : CGridListView(false), m_languages(languages) {}

    BOOL SubclassWindow(HWND list);

    BEGIN_MSG_MAP(CLanguageListView)
        REFLECTED_NOTIFY_CODE_HANDLER(LVN_GETDISPINFOA, OnGetDispInfo)
        REFLECTED_NOTIFY_CODE_HANDLER(NM_CUSTOMDRAW, OnCustomDraw)
        REFLECTED_NOTIFY_CODE_HANDLER(LVN_ODCACHEHINT, OnZero)
        REFLECTED_NOTIFY_CODE_HANDLER(LVN_ODFINDITEMA, OnZero)
        CHAIN_MSG_MAP(CGridListView)
    END_MSG_MAP()

private:
    LRESULT OnGetDispInfo(int, LPNMHDR header, BOOL&);
    LRESULT OnCustomDraw(int, LPNMHDR header, BOOL&);
    LRESULT OnZero(int, LPNMHDR, BOOL&) { return 0; }

    const CLanguageManager& m_languages;
};
