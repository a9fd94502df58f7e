#pragma once
// A failure reporter for tests: installed for its own scope, it keeps every text reported.
#include <mutex>
#include <string>
#include <vector>

#include "platform/Diagnostics.h"

class CRecordingReporter : public IFailureReporter
{
public:
    CRecordingReporter() = default;
    CRecordingReporter(const CRecordingReporter&) = delete;
    CRecordingReporter& operator=(const CRecordingReporter&) = delete;

    void Report(const char* text) override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_texts.emplace_back(text);
    }
    std::vector<std::string> Texts()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_texts;
    }

private:
    std::mutex m_mutex;
    std::vector<std::string> m_texts;
    CScopedFailureReporter m_scope{*this}; // last: installed once the rest is ready, removed first
};
