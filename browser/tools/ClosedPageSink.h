#pragma once
// Where a closing tab hands its page for the recently closed pages: one call, made from the tab's
// WM_CLOSE for web addresses only. The main frame owns the list and installs the sink that adds to
// it; without one (tests of the tab alone, start-up not done) closed pages are simply not kept.
// The sink is not owned; whoever installs it puts the previous one back before it goes.

class IClosedPageSink {
public:
    virtual ~IClosedPageSink() = default;
    virtual void AddClosedPage(const char* title, const char* url) = 0;
};

IClosedPageSink* GetClosedPageSink();
// Installs sink (null: none) and returns the one it replaces.
IClosedPageSink* SetClosedPageSink(IClosedPageSink* sink);

// The tab's part: hands (title, url) to the sink when url is a web address.
void NotifyPageClosed(const char* title, const char* url);

class CRecentClosedList;  // frame/RecentClosedList.h

// The program's sink: a closed page becomes the newest entry of the recently closed pages (the
// list given, else the main frame's while it lives), except while the program closes, whose tabs
// are the session's and no closed pages.
class CRecentClosedPagesSink final : public IClosedPageSink {
public:
    explicit CRecentClosedPagesSink(CRecentClosedList* list = nullptr) : m_list(list) {}
    void AddClosedPage(const char* title, const char* url) override;

private:
    CRecentClosedList* m_list;  // not owned; null: the main frame's
};
// Start-up: installs the program's sink for the rest of the run.
void InstallRecentClosedPagesSink();
