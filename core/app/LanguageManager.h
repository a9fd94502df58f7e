#pragma once
// Interface languages. Every text the user sees is written in English in the program and
// translated at run time from "<Name>.lng" files in the "language\" folder beside the executable:
// INI files whose [String] section maps string keys to texts ([Info] holds Version, Email,
// Website, Translator and the "icon" flag bitmap). The English file is the reference: its values
// are the texts the program uses, so a text is translated by finding its key there.
//
// CLanguageManager keeps two translation tables and flips between them, so switching back to the
// language before reloads nothing; existing windows and menus are translated from the previous
// language's texts to the new ones.
#include "core/app/SettingsStore.h"
#include "core/library/StdStr.h"
#include "platform/AtlCtrls.h"

#include <windows.h>
#include <commctrl.h>

#include <map>
#include <vector>

class CLanguageFile {
public:
    CLanguageFile(const CStdString& folder, const CStdString& name, int imageIndex)
        : m_name(name), m_imageIndex(imageIndex), m_folder(folder)
    {
    }

    // The [Info] values of the language's file; empty when the file cannot be read.
    CStdString GetVersion() const { return GetInfo("Version"); }
    CStdString GetEmail() const { return GetInfo("Email"); }
    CStdString GetWebsite() const { return GetInfo("Website"); }
    CStdString GetTranslator() const { return GetInfo("Translator"); }

    CStdString m_name;     // the file title without ".lng"
    int m_imageIndex;      // the flag in the manager's image list, -1 without one

private:
    CStdString GetInfo(const char* key) const;
    CStdString m_folder;
};

class CLanguageManager {
public:
    // Lists the languages of the folder (the program's "language\" folder by default) and loads
    // the one the "Config" / "Language" setting names.
    CLanguageManager();
    explicit CLanguageManager(const CStdString& languageFolder);
    CLanguageManager(const CLanguageManager&) = delete;
    CLanguageManager& operator=(const CLanguageManager&) = delete;
    ~CLanguageManager();

    // The text in the current language, or the text itself; null for a null or empty text. The
    // pointer stays valid until the tables change (copy it to keep it).
    const char* Translate(const char* text) const;
    // Switches the current language; without force nothing happens when it is already current.
    void LoadLanguage(const char* name, bool force = false);
    CStdString GetLanguageName() const { return m_languageSetting.value; }
    int GetLanguageIndex(const char* name) const;
    const CLanguageFile* FindLanguage(const char* name) const;
    const std::vector<CLanguageFile>& GetLanguages() const { return m_languages; }
    bool IsCurrentLanguage(int index) const;
    // The translated name, a TAB and the name in brackets.
    CStdString GetDisplayName(const CLanguageFile& language) const;
    HIMAGELIST GetImageList() const { return m_images; }
    // Writes the "Language" setting.
    void SaveLanguageSetting() const { m_languageSetting.Save(); }

    // Re-translate existing user interface from the previous language into the current one. Each
    // does nothing while the two are the same.
    void TranslateWindow(HWND window) const;
    void TranslateMenu(HMENU menu) const;
    void TranslateComboBox(HWND comboBox) const;

    // The file of a language in the folder.
    CStdString GetLanguageFilePath(const char* name) const;

    // Windows of other libraries whose items only their owner can read and write (the program's
    // own tab strips, say): the owner registers a routine for its window class, and
    // TranslateWindow calls it with each such window. The routine re-translates each item text
    // with TranslateItemText.
    using ItemsTranslator = void (*)(HWND window, const CLanguageManager& languages);
    static void RegisterItemsTranslator(const char* className, ItemsTranslator translator);
    CStdString TranslateItemText(const char* text) const { return TranslatedCopy(text); }

private:
    using Table = std::map<CStdString, CStdString>;

    void ListLanguages();
    bool ReadStringSection(const char* name, Table& table) const;
    bool NothingToTranslate() const { return m_languageSetting.value == m_previousName; }
    void SetTranslated(HWND window) const;
    void TranslateControlItems(HWND window, const CStdString& className) const;
    CStdString TranslatedCopy(const char* text) const;

    CStdString m_folder;  // ends in a backslash
    CImageListManaged m_images;
    std::vector<CLanguageFile> m_languages;  // "English" first
    CStdString m_previousName = "English";
    std::map<CStdString, CStdString> m_reference;  // English text to key
    Table m_tables[2];                              // key to text
    CStdString m_tableNames[2];                     // the language each table holds
    int m_current = 0;
    CSettingString m_languageSetting;
};

CLanguageManager* GetLanguageManager();

// Puts another language manager in the program's one's place while the scope lasts: the one that
// GetLanguageManager gives, and so TranslateText and every window and menu translation (a test's
// own language folder). Scopes nest. UI thread only.
class CScopedLanguageManager {
public:
    explicit CScopedLanguageManager(CLanguageManager& replacement);
    ~CScopedLanguageManager();
    CScopedLanguageManager(const CScopedLanguageManager&) = delete;
    CScopedLanguageManager& operator=(const CScopedLanguageManager&) = delete;

private:
    CLanguageManager* m_previous = nullptr;  // not owned: the replacement before this scope
};

// Translate into a string of its own (safe to keep across language switches); "" for null.
CStdString TranslateText(const char* text);

// The language name for a language id: its primary language looked up in the table of names
// ("English" when it has none); Chinese is told apart by its sublanguage.
CStdString GetLanguageNameForLangId(LANGID id);
// The name for the system's language (the user's when the system's is neutral).
CStdString GetDefaultLanguageName();
