#include "core/library/AppWindowInfo.h"

#include "core/library/LifetimeTracker.h"

#include <vector>

CAppWindowInfo::CAppWindowInfo()
{
    // The module path can be longer than MAX_PATH; grow the buffer until it fits.
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length < buffer.size()) {
            m_modulePath.assign(buffer.data(), length);
            break;
        }
        if (buffer.size() >= 32768)
            break;
        buffer.resize(buffer.size() * 2);
    }
    const size_t slash = m_modulePath.find_last_of("\\/");
    m_programFolder = slash == std::string::npos ? TStdStr<char>() : m_modulePath.substr(0, slash + 1);
}

TStdStr<char> CAppWindowInfo::GetProgramTitle() const
{
    TStdStr<char> title = m_modulePath.substr(m_programFolder.size());
    const size_t dot = title.rfind('.');
    if (dot != std::string::npos)
        title.erase(dot);
    return title;
}

CAppWindowInfo* GetAppWindowInfo() { return GetSingleton<CAppWindowInfo, kPriorityAppWindowInfo>(); }
