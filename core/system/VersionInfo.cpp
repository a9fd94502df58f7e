#include "core/system/VersionInfo.h"

#include "core/app/LanguageManager.h"

#include <cstdlib>

CFileVersionInfo::CFileVersionInfo(HMODULE module)
{
    m_path.SetModulePath(module);
    const TStdStr<char>& file = m_path.GetFullPath();
    if (file.empty())
        return;
    DWORD handle = 0;
    const DWORD size = ::GetFileVersionInfoSizeA(file.c_str(), &handle);
    if (size == 0 || handle != 0)
        return;
    m_buffer.resize(size);
    if (!::GetFileVersionInfoA(file.c_str(), 0, size, m_buffer.data())) {
        m_buffer.clear();
        return;
    }
    const WORD* translation = nullptr;
    UINT length = 0;
    if (::VerQueryValueA(m_buffer.data(), "\\VarFileInfo\\Translation", (void**)&translation, &length) &&
        translation && length >= 2 * sizeof(WORD))
        m_translation.Format("%04x%04x", translation[0], translation[1]);
}

TStdStr<char> CFileVersionInfo::GetString(const char* name) const
{
    if (m_buffer.empty() || !name)
        return TStdStr<char>();
    const TStdStr<char> query = FormatString("\\StringFileInfo\\%s\\%s", m_translation.c_str(), name);
    const char* value = nullptr;
    UINT length = 0;
    // VerQueryValue does not change the block, but takes it as writable.
    if (!::VerQueryValueA(const_cast<BYTE*>(m_buffer.data()), query.c_str(), (void**)&value, &length) || !value ||
        length == 0)
        return TStdStr<char>();
    TStdStr<char> text(value, length);
    text.resize(std::char_traits<char>::length(text.c_str()));
    return text;
}

TStdStr<char> FormatVersionText(const char* fileVersion, int mode)
{
    TStdStr<char> version;
    for (const char* ch = fileVersion ? fileVersion : ""; *ch; ++ch) {
        if (*ch != ' ')
            version += *ch;
    }
    // "1,5,0,123": the first comma becomes the point, the second goes, the third parts the build.
    int commas = 0;
    for (size_t i = 0; i < version.size() && commas < 2; ++i) {
        if (version[i] != ',')
            continue;
        if (commas++ == 0)
            version[i] = '.';
        else
            version.erase(i, 1);
    }
    TStdStr<char> main = version;
    int build = 1;
    const int comma = version.Find(',');
    if (comma >= 0) {
        main = version.Left(comma);
        build = std::atoi(version.c_str() + comma + 1);
    }
    switch (mode) {
    case 0:
        return "v" + main;
    case 1:
        return TranslateText("Version:") + FormatString(" %s build %03d", main.c_str(), build);
    default:
        return FormatString("%s.%03d", main.c_str(), build);
    }
}

TStdStr<char> FormatVersionText(int mode)
{
    return FormatVersionText(CFileVersionInfo().GetFileVersion().c_str(), mode);
}
