#include "core/app/SettingsStore.h"

#include "core/library/LifetimeTracker.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

CSettingsStore* g_store = nullptr;
bool g_storeCreated = false;

// Creates the registry store once; later calls (also after teardown) leave things as they are.
// A static initializer of another file may get here before this file's own one ran.
void CreateStore()
{
    if (g_storeCreated)
        return;
    g_storeCreated = true;
    new CRegistrySettingsStore();  // the store publishes itself
    new TLifetimeTracker<CSettingsStore>(kPrioritySettingsStore, &g_store);
}

// The store exists before the entry function runs.
struct CStoreCreation {
    CStoreCreation() { CreateStore(); }
} g_storeCreation;

// The size of a value, or false when it cannot be queried.
bool QueryValueSize(HKEY key, const char* name, DWORD& size)
{
    size = 0;
    return RegQueryValueExA(key, name, nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS;
}

}  // namespace

// Only the first store becomes the program's: a store made later for one task (a test's store in
// memory) must not take the place of the registry store and leave none behind when it goes.
CSettingsStore::CSettingsStore()
{
    if (!g_store)
        g_store = this;
}

CSettingsStore::~CSettingsStore()
{
    if (g_store == this)
        g_store = nullptr;
}

CSettingsStore* GetSettingsStore()
{
    if (!g_store)
        CreateStore();
    return g_store;
}

CRegistrySettingsStore* GetRegistrySettingsStore()
{
    return dynamic_cast<CRegistrySettingsStore*>(GetSettingsStore());
}

CRegistrySettingsStore::CRegistrySettingsStore(const char* company, const char* application)
    : m_company(company ? company : ""), m_application(application ? application : "")
{
}

void CRegistrySettingsStore::SetRegistryKey(const char* company, const char* application)
{
    m_company = company ? company : "";
    m_application = application ? application : "";
}

CStdString CRegistrySettingsStore::GetRegistryPath() const
{
    return CStdString("software\\") + m_company + "\\" + m_application;
}

bool CRegistrySettingsStore::OpenSectionKey(const char* section, CRegistryKey& key) const
{
    if (!section)
        return false;
    const CStdString path = GetRegistryPath() + "\\" + section;
    return key.Create(HKEY_CURRENT_USER, path);
}

CStdString CRegistrySettingsStore::GetString(const char* section, const char* key, const char* defaultText)
{
    CStdString result(defaultText ? defaultText : "");
    CRegistryKey sectionKey;
    DWORD size = 0;
    if (!OpenSectionKey(section, sectionKey) || !QueryValueSize(sectionKey, key, size))
        return result;
    // One byte more than the value holds, so a value stored without its terminating zero (by hand,
    // or as binary data) still ends inside the buffer.
    std::vector<char> buffer(size + 1, '\0');
    DWORD read = size;
    if (RegQueryValueExA(sectionKey, key, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer.data()), &read) !=
        ERROR_SUCCESS)
        return result;
    buffer[std::min<DWORD>(read, size)] = '\0';
    return CStdString(buffer.data());
}

bool CRegistrySettingsStore::WriteString(const char* section, const char* key, const char* value)
{
    if (!key) {
        // The whole section goes, subkeys included ("Settings" holds the docking layout's subkey,
        // which a plain key deletion would refuse).
        CRegistryKey appKey;
        if (!OpenSectionKey("", appKey))
            return false;
        return section && *section && RegDeleteTreeA(appKey, section) == ERROR_SUCCESS;
    }
    CRegistryKey sectionKey;
    if (!OpenSectionKey(section, sectionKey))
        return false;
    if (!value)
        return RegDeleteValueA(sectionKey, key) == ERROR_SUCCESS;
    return RegSetValueExA(sectionKey, key, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                          static_cast<DWORD>(std::strlen(value) + 1)) == ERROR_SUCCESS;
}

DWORD CRegistrySettingsStore::GetInt(const char* section, const char* key, DWORD defaultValue)
{
    CRegistryKey sectionKey;
    if (!OpenSectionKey(section, sectionKey))
        return defaultValue;
    DWORD value = 0;
    DWORD size = sizeof(value);
    // Only a value of exactly four bytes is a number; a shorter one would leave part of the
    // result unwritten.
    if (RegQueryValueExA(sectionKey, key, nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size) !=
            ERROR_SUCCESS ||
        size != sizeof(value))
        return defaultValue;
    return value;
}

bool CRegistrySettingsStore::WriteInt(const char* section, const char* key, DWORD value)
{
    CRegistryKey sectionKey;
    return OpenSectionKey(section, sectionKey) && RegSetValueExA(sectionKey, key, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                                        sizeof(value)) == ERROR_SUCCESS;
}

bool CRegistrySettingsStore::GetBinary(const char* section, const char* key, std::vector<BYTE>& data)
{
    CRegistryKey sectionKey;
    DWORD size = 0;
    if (!OpenSectionKey(section, sectionKey) || !QueryValueSize(sectionKey, key, size))
        return false;
    if (size == 0)
        return true;
    std::vector<BYTE> buffer(size);
    DWORD read = size;
    if (RegQueryValueExA(sectionKey, key, nullptr, nullptr, buffer.data(), &read) != ERROR_SUCCESS)
        return false;
    buffer.resize(std::min(read, size));
    data = std::move(buffer);
    return true;
}

bool CRegistrySettingsStore::WriteBinary(const char* section, const char* key, const void* data, size_t size)
{
    CRegistryKey sectionKey;
    return OpenSectionKey(section, sectionKey) && RegSetValueExA(sectionKey, key, 0, REG_BINARY, static_cast<const BYTE*>(data),
                                        static_cast<DWORD>(size)) == ERROR_SUCCESS;
}

CRegistryNamesScope::CRegistryNamesScope(const char* company, const char* application)
{
    if (CRegistrySettingsStore* store = GetRegistrySettingsStore()) {
        m_company = store->GetCompanyName();
        m_application = store->GetAppName();
        store->SetRegistryKey(company, application);
    }
}

CRegistryNamesScope::~CRegistryNamesScope()
{
    if (CRegistrySettingsStore* store = GetRegistrySettingsStore())
        store->SetRegistryKey(m_company, m_application);
}

// Window placement

namespace {

constexpr UINT kPlacementSize = sizeof(WINDOWPLACEMENT);
static_assert(kPlacementSize == 44, "the stored placement is the 44-byte WINDOWPLACEMENT");

}  // namespace

bool CWindowPlacementSetting::Save()
{
    WINDOWPLACEMENT placement = {};
    placement.length = kPlacementSize;
    if (!m_hWnd || !GetWindowPlacement(m_hWnd, &placement))
        return false;
    placement.flags = IsZoomed(m_hWnd) ? WPF_RESTORETOMAXIMIZED : 0;
    if (placement.showCmd != SW_SHOWMAXIMIZED)
        placement.showCmd = SW_SHOWNORMAL;
    return GetSettingsStore()->WriteBinary(m_section, m_valueName, &placement, kPlacementSize);
}

bool CWindowPlacementSetting::Restore()
{
    std::vector<BYTE> data;
    if (!m_hWnd || !GetSettingsStore()->GetBinary(m_section, m_valueName, data) || data.size() != kPlacementSize)
        return false;
    WINDOWPLACEMENT placement;
    std::memcpy(&placement, data.data(), kPlacementSize);
    if (placement.length != kPlacementSize)
        return false;
    if (!m_restoreOnFirstPaint) {
        RECT current = {};
        GetWindowRect(m_hWnd, &current);
        placement.rcNormalPosition.right = placement.rcNormalPosition.left + (current.right - current.left);
        placement.rcNormalPosition.bottom = placement.rcNormalPosition.top + (current.bottom - current.top);
    }
    const RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    RECT overlap;
    if (!IntersectRect(&overlap, &placement.rcNormalPosition, &screen))
        return false;
    return SetWindowPlacement(m_hWnd, &placement) != FALSE;
}

BOOL CWindowPlacementSetting::ProcessWindowMessage(HWND, UINT message, WPARAM, LPARAM, LRESULT&, DWORD)
{
    switch (message) {
    case WM_PAINT:
        if (m_restoreOnFirstPaint && !m_restored) {
            m_restored = true;
            if (!Restore())
                ShowWindow(m_hWnd, SW_SHOWDEFAULT);
        }
        break;
    case WM_DESTROY:
        // A window that was meant to be restored at its first paint but never painted keeps the
        // placement it had last time.
        if (!m_restoreOnFirstPaint || m_restored)
            Save();
        break;
    default:
        break;
    }
    m_handled = FALSE;
    return FALSE;
}
