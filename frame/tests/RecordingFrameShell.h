#pragma once
// CRecordingShell: the frame shell of tests. It records the programs and documents it is asked to
// start, the beeps and sounds, the records it is asked to clear and the privacy reports asked for,
// and keeps an offline state of its own, so that no test starts a program, clears a real cache or
// makes a noise. Put in place with CScopedFrameShell.
#include "frame/FrameShell.h"

#include <string>
#include <vector>

namespace frame_test {

class CRecordingShell final : public IFrameShell {
public:
    bool Execute(const char* verb, const char* file, const char* parameters, int) override
    {
        m_executed.push_back(std::string(verb ? verb : "") + " " + (file ? file : "") + " " + (parameters ? parameters : ""));
        return true;
    }
    void Beep(DWORD frequency, DWORD milliseconds) override
    {
        m_beeps.push_back(frequency);
        m_beepLengths.push_back(milliseconds);
    }
    void PlaySoundFile(const char* path) override { m_sounds.push_back(path ? path : ""); }
    void MessageBeep(UINT) override { ++m_messageBeeps; }
    bool IsWorkingOffline() override { return m_offline; }
    void SetWorkingOffline(bool offline) override { m_offline = offline; }
    void ClearCache() override { m_cleared.push_back("cache"); }
    void ClearCookies() override { m_cleared.push_back("cookies"); }
    void ClearHistory() override { m_cleared.push_back("history"); }
    void ClearTypedAddresses() override { m_cleared.push_back("typed"); }
    void ShowInternetOptions(HWND) override { m_cleared.push_back("internet options"); }
    bool ShowPrivacyReport(HWND parent, const wchar_t* url, IEnumPrivacyRecords* records) override
    {
        m_privacyReports.push_back({parent, url ? url : L"", records != nullptr});
        return m_privacyReportShown;
    }

    struct PrivacyReport {
        HWND parent;
        std::wstring url;
        bool withRecords;
    };
    std::vector<PrivacyReport> m_privacyReports;
    bool m_privacyReportShown = true;  // what the report answers

    std::vector<std::string> m_executed;
    std::vector<DWORD> m_beeps;
    std::vector<DWORD> m_beepLengths;
    std::vector<std::string> m_sounds;
    std::vector<std::string> m_cleared;
    int m_messageBeeps = 0;
    bool m_offline = false;
};

}  // namespace frame_test
