#include "frame/gestures/UserActions.h"

#include "core/library/LifetimeTracker.h"

#include <cstdio>

const char kUserActionsSection[] = "User Actions";

namespace {

void KeyName(int i, char (&name)[8])
{
    std::snprintf(name, sizeof name, "UA%d", i);
}

}  // namespace

CUserActions::CUserActions() : CUserActions(*GetSettingsStore()) {}

CUserActions::CUserActions(CSettingsStore& store) : m_store(&store)
{
    for (int i = 0; i < static_cast<int>(m_keys.size()); ++i) {
        char name[8];
        KeyName(i, name);
        m_keys[static_cast<size_t>(i)] = Validate(m_store->GetInt(kUserActionsSection, name, 0));
    }
}

CUserActions::~CUserActions()
{
    Save();
}

int CUserActions::GetAt(int i) const
{
    return i >= 0 && i < static_cast<int>(m_keys.size()) ? m_keys[static_cast<size_t>(i)] : 0;
}

void CUserActions::SetAt(int i, int value)
{
    if (i >= 0 && i < static_cast<int>(m_keys.size()))
        m_keys[static_cast<size_t>(i)] = Validate(static_cast<uint32_t>(value));
}

void CUserActions::Save()
{
    for (int i = 0; i < static_cast<int>(m_keys.size()); ++i) {
        char name[8];
        KeyName(i, name);
        m_store->WriteInt(kUserActionsSection, name, static_cast<DWORD>(m_keys[static_cast<size_t>(i)]));
    }
}

int CUserActions::Validate(uint32_t value)
{
    const uint32_t key = value & 0xFFFFu;
    const uint32_t modifiers = value >> 16;
    if (key == 0 || key > 0xFE || modifiers > 0xF)
        return 0;
    return static_cast<int>(value);
}

CUserActions* GetUserActions()
{
    return GetSingleton<CUserActions, kPriorityUserActions>();
}
