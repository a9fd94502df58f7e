#pragma once
// The settings store: every persistent option of the program is a named value in a section under
// the application's registry key (HKEY_CURRENT_USER\software\<company>\<application>\<section>).
// Options are read and written through the abstract CSettingsStore; CRegistrySettingsStore is its
// implementation over the registry. Beside it: the integer and string setting records and the
// window-placement record that saves and restores a window's position.
#include "core/library/RegistryKey.h"
#include "core/library/StdStr.h"

#include <windows.h>

#include <cstdint>
#include <vector>

class CSettingsStore {
public:
    CSettingsStore();
    CSettingsStore(const CSettingsStore&) = delete;
    CSettingsStore& operator=(const CSettingsStore&) = delete;
    virtual ~CSettingsStore();

    // Reads never fail: a missing section, value or a value of the wrong size gives the default.
    virtual CStdString GetString(const char* section, const char* key, const char* defaultText) = 0;
    // A null key deletes the whole section; a null value deletes the value. True when it took effect.
    virtual bool WriteString(const char* section, const char* key, const char* value) = 0;
    virtual DWORD GetInt(const char* section, const char* key, DWORD defaultValue) = 0;
    virtual bool WriteInt(const char* section, const char* key, DWORD value) = 0;
    // True when the value exists; a zero-length value gives true and leaves the vector as it was.
    virtual bool GetBinary(const char* section, const char* key, std::vector<BYTE>& data) = 0;
    virtual bool WriteBinary(const char* section, const char* key, const void* data, size_t size) = 0;
    virtual bool WriteBinary(const char* section, const char* key, const std::vector<BYTE>& data)
    {
        return WriteBinary(section, key, data.empty() ? nullptr : data.data(), data.size());
    }
};

// The one store of the process (the registry store, created before the entry function runs; a
// store constructed later does not replace it).
CSettingsStore* GetSettingsStore();

class CRegistrySettingsStore : public CSettingsStore {
public:
    // The store keeps the registry names under "software" of the current user.
    explicit CRegistrySettingsStore(const char* company = "KivoBrowser", const char* application = "Kivo Browser");

    // From now on every operation works under "software\<company>\<application>".
    void SetRegistryKey(const char* company, const char* application);
    const CStdString& GetCompanyName() const { return m_company; }
    const CStdString& GetAppName() const { return m_application; }
    // "software\<company>\<application>", relative to HKEY_CURRENT_USER.
    CStdString GetRegistryPath() const;
    // Opens (creating when missing) the section's key with read and write access into the holder;
    // false on failure or for a null section.
    bool OpenSectionKey(const char* section, CRegistryKey& key) const;

    CStdString GetString(const char* section, const char* key, const char* defaultText) override;
    bool WriteString(const char* section, const char* key, const char* value) override;
    DWORD GetInt(const char* section, const char* key, DWORD defaultValue) override;
    bool WriteInt(const char* section, const char* key, DWORD value) override;
    bool GetBinary(const char* section, const char* key, std::vector<BYTE>& data) override;
    bool WriteBinary(const char* section, const char* key, const void* data, size_t size) override;
    using CSettingsStore::WriteBinary;

private:
    CStdString m_company;
    CStdString m_application;
};

// The global store as the registry store, or null when another kind of store is in use.
CRegistrySettingsStore* GetRegistrySettingsStore();

// Switches the global registry store to other names for as long as the object lives (the download
// manager's settings are read this way; tests use it to keep to a key of their own).
class CRegistryNamesScope {
public:
    CRegistryNamesScope(const char* company, const char* application);
    CRegistryNamesScope(const CRegistryNamesScope&) = delete;
    CRegistryNamesScope& operator=(const CRegistryNamesScope&) = delete;
    ~CRegistryNamesScope();

private:
    CStdString m_company;
    CStdString m_application;
};

// An integer option: section, key and value (the default until loaded).
class CSettingInt {
public:
    CSettingInt(const char* section, const char* key, int defaultValue)
        : m_section(section), m_key(key), value(defaultValue)
    {
    }
    void Load() { Load(*GetSettingsStore()); }
    void Save() const { Save(*GetSettingsStore()); }
    void Load(CSettingsStore& store) { value = static_cast<int>(store.GetInt(m_section, m_key, static_cast<DWORD>(value))); }
    void Save(CSettingsStore& store) const { store.WriteInt(m_section, m_key, static_cast<DWORD>(value)); }

    const char* GetSection() const { return m_section; }
    const char* GetKey() const { return m_key; }
    operator int() const { return value; }
    CSettingInt& operator=(int newValue)
    {
        value = newValue;
        return *this;
    }

private:
    const char* m_section;  // literals
    const char* m_key;

public:
    int value;
};

// A string option: section, key and value (the default until loaded).
class CSettingString {
public:
    CSettingString(const char* section, const char* key, const char* defaultValue)
        : m_section(section), m_key(key), value(defaultValue ? defaultValue : "")
    {
    }
    void Load() { Load(*GetSettingsStore()); }
    void Save() const { Save(*GetSettingsStore()); }
    void Load(CSettingsStore& store) { value = store.GetString(m_section, m_key, value); }
    void Save(CSettingsStore& store) const { store.WriteString(m_section, m_key, value); }

    const char* GetSection() const { return m_section; }
    const char* GetKey() const { return m_key; }
    operator const char*() const { return value; }
    CSettingString& operator=(const char* newValue)
    {
        value = newValue ? newValue : "";
        return *this;
    }

private:
    const char* m_section;  // literals
    const char* m_key;

public:
    CStdString value;
};

// Keeps a window's placement as the 44-byte WINDOWPLACEMENT in a binary value. Chained into the
// window's message map: it restores the placement at the first paint (when asked to) and saves it
// when the window is destroyed; it never marks a message handled.
class CWindowPlacementSetting {
public:
    CWindowPlacementSetting(const char* section, const char* valueName, bool restoreOnFirstPaint = true)
        : m_restoreOnFirstPaint(restoreOnFirstPaint), m_section(section), m_valueName(valueName)
    {
    }

    // Writes the window's placement; a minimised window is stored as normal. False when nothing
    // was written.
    bool Save();
    // Applies the stored placement. Without restore-on-first-paint only the position is taken and
    // the window keeps its size. A stored placement of the wrong size or wholly off the primary
    // screen is ignored. True only when the placement was applied.
    bool Restore();

    // The message-map entry point (the shape that chained maps call).
    BOOL ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                              DWORD mapId = 0);

    HWND m_hWnd = nullptr;  // set by the owner

private:
    BOOL m_handled = FALSE;
    bool m_restoreOnFirstPaint;
    CStdString m_section;
    CStdString m_valueName;
    bool m_restored = false;
};
