#pragma once
// CFileVersionInfo reads string values from a module's version resource; FormatVersionText turns
// the program's "FileVersion" into the texts it shows ("v1.50", "Version: 1.50 build 123",
// "1.50.123").
#include "core/library/FileFunctions.h"
#include "core/library/StdStr.h"

#include <windows.h>

#include <vector>

class CFileVersionInfo {
public:
    // The version resource of the module's file; a null handle means the program's own file.
    explicit CFileVersionInfo(HMODULE module = nullptr);
    virtual ~CFileVersionInfo() = default;

    // The value of "\StringFileInfo\<translation>\<name>"; empty when there is none.
    TStdStr<char> GetString(const char* name) const;
    TStdStr<char> GetFileVersion() const { return GetString("FileVersion"); }
    // "%04x%04x" of the first language and code page; empty without a translation table.
    const TStdStr<char>& GetTranslation() const { return m_translation; }

private:
    CFilePath m_path;
    std::vector<BYTE> m_buffer;
    TStdStr<char> m_translation;
};

// The display forms of a "FileVersion" text: 0 "v" and the main part; 1 the translated "Version:"
// and " %s build %03d"; any other mode "%s.%03d".
TStdStr<char> FormatVersionText(const char* fileVersion, int mode);
// The same for the program's own version resource.
TStdStr<char> FormatVersionText(int mode);
