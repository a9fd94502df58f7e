#include "frame/RecentClosedList.h"

#include "controls/CommandImageManager.h"

#include <algorithm>

namespace {

constexpr const char* kCountValue = "DocumentCount";

TStdStr<char> ValueName(const char* prefix, int position)
{
    return FormatString("%s%d", prefix, position);
}

// The head of the text, "..." and, for a path, its last part, in at most maxLength characters.
TStdStr<char> ShortenTitle(const TStdStr<char>& title, int maxLength)
{
    const size_t limit = static_cast<size_t>(std::max(maxLength, 4));
    if (title.size() <= limit)
        return title;
    const size_t slash = title.find_last_of("\\/");
    if (slash != TStdStr<char>::npos && slash > 0) {
        const TStdStr<char> last = title.substr(slash);
        if (last.size() + 3 < limit)
            return title.substr(0, limit - 3 - last.size()) + "..." + last;
    }
    return title.substr(0, limit - 3) + "...";
}

} // namespace

TStdStr<char> FormatRecentMenuText(int number, const TStdStr<char>& title, int maxLength)
{
    const TStdStr<char> shortened = ShortenTitle(title, maxLength);
    TStdStr<char> text = FormatString("&%d ", number);
    for (char c : shortened) {
        text += c;
        if (c == '&')
            text += '&';
    }
    return text;
}

void CRecentClosedList::SetMaxEntries(int maxEntries)
{
    m_maxEntries = std::clamp(maxEntries, kMinEntries, kMaxEntriesLimit);
    if (m_entries.size() > static_cast<size_t>(m_maxEntries))
        m_entries.erase(m_entries.begin(), m_entries.end() - m_maxEntries);
}

void CRecentClosedList::AddToList(const char* title, const char* url)
{
    const TStdStr<char> newUrl = url ? url : "";
    m_entries.erase(std::remove_if(m_entries.begin(), m_entries.end(),
                                   [&](const CRecentClosedEntry& entry) {
                                       return lstrcmpiA(entry.url.c_str(), newUrl.c_str()) == 0;
                                   }),
                    m_entries.end());
    while (m_entries.size() >= static_cast<size_t>(m_maxEntries))
        m_entries.erase(m_entries.begin());
    m_entries.push_back({title ? title : "", newUrl});
    UpdateMenu();
}

const CRecentClosedEntry* CRecentClosedList::EntryForCommand(UINT command) const
{
    if (command < kFirstCommand)
        return nullptr;
    const size_t fromNewest = command - kFirstCommand;
    if (fromNewest >= m_entries.size())
        return nullptr;
    return &m_entries[m_entries.size() - 1 - fromNewest];
}

bool CRecentClosedList::RemoveCommand(UINT command)
{
    const CRecentClosedEntry* entry = EntryForCommand(command);
    if (!entry)
        return false;
    m_entries.erase(m_entries.begin() + (entry - m_entries.data()));
    UpdateMenu();
    return true;
}

void CRecentClosedList::Clear()
{
    m_entries.clear();
    UpdateMenu();
}

void CRecentClosedList::SetMenuHandle(HMENU menu)
{
    m_menu = menu;
    m_emptyText = "(empty)";
    char text[kMaxItemLength + 1] = {};
    if (menu && ::GetMenuStringA(menu, kFirstCommand, text, sizeof(text), MF_BYCOMMAND) > 0)
        m_emptyText = text;
}

// The items keep their place in the popup: the new ones go where item 57616 was, and the old
// 57616 is deleted after them.
bool CRecentClosedList::UpdateMenu()
{
    if (!m_menu || !::IsMenu(m_menu))
        return false;
    for (int i = 1; i < kMaxEntriesLimit; ++i)
        ::DeleteMenu(m_menu, kFirstCommand + i, MF_BYCOMMAND);
    int position = -1;
    const int count = ::GetMenuItemCount(m_menu);
    for (int i = 0; i < count; ++i) {
        if (::GetMenuItemID(m_menu, i) == kFirstCommand) {
            position = i;
            break;
        }
    }
    if (position < 0)
        position = std::max(count, 0);
    int inserted = 0;
    if (m_entries.empty()) {
        ::InsertMenuA(m_menu, position, MF_BYPOSITION | MF_STRING | MF_GRAYED, kFirstCommand, m_emptyText.c_str());
        inserted = 1;
    } else {
        // The command-icon store is made on first use, which costs the start-up tens of
        // milliseconds under Wine (the shell's image list): an empty list does not ask for it.
        CCommandImageManager* images = GetCommandImageManager();
        for (size_t i = 0; i < m_entries.size(); ++i) {
            const CRecentClosedEntry& entry = m_entries[m_entries.size() - 1 - i];
            const UINT id = kFirstCommand + static_cast<UINT>(i);
            const TStdStr<char> text = FormatRecentMenuText(static_cast<int>(i) + 1, entry.title, kMaxItemLength);
            ::InsertMenuA(m_menu, position + static_cast<int>(i), MF_BYPOSITION | MF_STRING, id, text.c_str());
            if (images)
                images->SetCommandText(id, entry.url.c_str());
        }
        inserted = static_cast<int>(m_entries.size());
    }
    // The item 57616 that was there before has moved down behind the inserted ones.
    if (::GetMenuItemCount(m_menu) > position + inserted &&
        ::GetMenuItemID(m_menu, position + inserted) == kFirstCommand)
        ::DeleteMenu(m_menu, position + inserted, MF_BYPOSITION);
    return true;
}

bool CRecentClosedList::ReadFromRegistry(CRegistryKey& key, bool updateMenu)
{
    DWORD count = 0;
    if (!key.QueryDWordValue(kCountValue, count))
        return false;
    SetMaxEntries(static_cast<int>(std::min<DWORD>(count, kMaxEntriesLimit)));
    m_entries.clear();
    for (int i = m_maxEntries; i >= 1; --i) {
        TStdStr<char> title;
        if (!key.QueryStringValue(ValueName("Document", i).c_str(), title))
            continue;
        TStdStr<char> url;
        key.QueryStringValue(ValueName("OpenName", i).c_str(), url);
        if (url.size() > kMaxStoredUrl)
            continue;
        if (title.size() > kMaxStoredTitle)
            title.resize(kMaxStoredTitle);
        m_entries.push_back({title, url});
    }
    if (updateMenu)
        UpdateMenu();
    return true;
}

bool CRecentClosedList::WriteToRegistry(CRegistryKey& key) const
{
    bool written = key.SetDWordValue(kCountValue, static_cast<DWORD>(m_maxEntries));
    const int count = GetCount();
    for (int i = count; i >= 1; --i) {
        const CRecentClosedEntry& entry = m_entries[static_cast<size_t>(count - i)];
        written = key.SetStringValue(ValueName("Document", i).c_str(), entry.title.c_str()) && written;
        written = key.SetStringValue(ValueName("OpenName", i).c_str(), entry.url.c_str()) && written;
    }
    for (int i = count + 1; i <= kMaxEntriesLimit; ++i) {
        if (!key.DeleteValue(ValueName("Document", i).c_str()))
            break;
        key.DeleteValue(ValueName("OpenName", i).c_str());
    }
    return written;
}
