#pragma once
// CUrlAliasList: the URL aliases, short words the address bar expands to full addresses. Loaded
// from the "Alias" section of "Alias.ini" (first of config\, the language's folder, defaults\),
// written back to config\Alias.ini at exit only when the editors changed it, so a shipped default
// stays the source until the user edits the list.
//
// Aliases are matched without regard to case everywhere: the loader keeps the first of two keys
// that differ only in case (the INI key lookup would merge them on writing anyway), and the
// editors refuse such a duplicate, so no record is lost when the file is written back.
#include <string>
#include <vector>

class CIniFile;

constexpr const char* kAliasFileName = "Alias.ini";
constexpr const char* kAliasSection = "Alias";

struct CUrlAlias {
    std::string alias;
    std::string url;
};

class CUrlAliasList {
public:
    // The program's own list: loaded from the configuration folders, saved at destruction.
    CUrlAliasList();
    // A list that loads nothing and saves to `savePath` (empty: never saves); for the tests.
    explicit CUrlAliasList(std::string savePath);
    ~CUrlAliasList();
    CUrlAliasList(const CUrlAliasList&) = delete;
    CUrlAliasList& operator=(const CUrlAliasList&) = delete;

    void Load(CIniFile& file);
    // Writes the section in one pass, every other section of the file kept; without records the
    // section is removed. False when the file could not be written (it is then unchanged).
    bool Save() const;

    // The URL of the alias equal to the text without regard to case; the text itself otherwise.
    std::string Lookup(const std::string& text) const;
    // The index of the alias equal to the text without regard to case, -1 when none.
    int Find(const std::string& alias) const;

    const std::vector<CUrlAlias>& Records() const { return m_records; }
    int GetCount() const { return static_cast<int>(m_records.size()); }
    // Editing, for the alias dialogs; each sets the modified flag. Add and Replace refuse an empty
    // alias or URL and an alias that another record already has (any letter case).
    bool Add(const CUrlAlias& record);
    bool Replace(int index, const CUrlAlias& record);
    bool Remove(int index);
    // Takes every record of an edited copy (whose records were accepted one by one) and sets the
    // modified flag.
    void Assign(const std::vector<CUrlAlias>& records);
    bool IsModified() const { return m_modified; }
    void SetModified(bool modified = true) { m_modified = modified; }
    const std::string& GetSavePath() const { return m_savePath; }

private:
    bool Acceptable(const CUrlAlias& record, int except) const;

    std::vector<CUrlAlias> m_records;
    std::string m_savePath;
    bool m_modified = false;
};

// The program's alias list (created on first use, saved and destroyed in the ordered teardown).
CUrlAliasList* GetUrlAliases();
