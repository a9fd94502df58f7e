#include "navigation/NavigationHelpers.h"

#include <algorithm>
#include <cstring>

int GetComboItemText(HWND combo, int index, std::string& text)
{
    text.clear();
    const LRESULT length = SendMessageA(combo, CB_GETLBTEXTLEN, index, 0);
    if (length == CB_ERR || length < 0)
        return CB_ERR;
    std::string buffer(static_cast<size_t>(length) + 1, '\0');
    const LRESULT copied = SendMessageA(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(buffer.data()));
    if (copied == CB_ERR || copied < 0)
        return CB_ERR;
    buffer.resize(std::min(static_cast<size_t>(copied), static_cast<size_t>(length)));
    text = buffer;
    return static_cast<int>(text.size());
}

std::string GetWindowText512(HWND window)
{
    char buffer[512] = {};
    const int length = GetWindowTextA(window, buffer, sizeof(buffer));
    return std::string(buffer, length > 0 ? static_cast<size_t>(length) : 0);
}

void ZeroBuffer(void* buffer, size_t bytes)
{
    if (buffer && bytes)
        std::memset(buffer, 0, bytes);
}

void CSiteGroupRecord::Add(CSiteGroupEntry entry, bool checked)
{
    m_entries.push_back(std::move(entry));
    m_checked.push_back(checked);
}

bool CSiteGroupRecord::Remove(int index)
{
    if (index < 0 || index >= GetCount())
        return false;
    m_entries.erase(m_entries.begin() + index);
    m_checked.erase(m_checked.begin() + index);
    return true;
}

const CSiteGroupEntry* CSiteGroupRecord::GetEntry(int index) const
{
    return (index >= 0 && index < GetCount()) ? &m_entries[index] : nullptr;
}

bool CSiteGroupRecord::IsChecked(int index) const
{
    return index >= 0 && index < GetCount() && m_checked[index];
}

bool CSiteGroupRecord::SetChecked(int index, bool checked)
{
    if (index < 0 || index >= GetCount())
        return false;
    m_checked[index] = checked;
    return true;
}
