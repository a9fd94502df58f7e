#include "core/library/Z4KLog.h"

#include "core/library/AppWindowInfo.h"
#include "core/library/LifetimeTracker.h"
#include "core/library/Z4KTime.h"
#include "platform/Diagnostics.h"

#include <windows.h>

#include <cstring>

const char* const Z4KLogDefaults::kFileName = "Z4KLog.htm";
const char* const Z4KLogDefaults::kFolder = "Logs";
const char* const Z4KLogDefaults::kTimestampPattern = "%m/%d/%Y %H:%M:%S.%s";
const char* const Z4KLogDefaults::kStyleSheet =
    "img{border:0}\n"
    "body{font-size:10pt;font-style:normal;color:#000033;background-color:#ffffff;scrollbar-face-color:#44AA99;"
    "scrollbar-arrow-color:#EE0000;scrollbar-track-color:#4477AA;scrollbar-base-color:#000000;"
    "scrollbar-highlight-color:#44DD77;scrollbar-darkshadow-color:#117744;scrollbar-shadow-color:#447711;"
    "scrollbar-3dlight-color:#114477;}\n"
    "table,td{font-size:10pt}\n"
    ".p10c{background-color:#336699;color:white;font-size:10.5pt}\n"
    ".p9c{background-color:#336699;color:white;font-size:9pt}\n"
    ".hits{color:#FF9966;font-weight:bold}\n"
    ".aname{color:#CC3366;font-weight:bold;font-size:10.5pt}\n"
    ".title{font-size:11.5pt;font-weight:bold}";

namespace {

CDebuggerLogOutput g_debuggerOutput;

bool NeedsQuotes(const TStdStr<char>& value)
{
    for (char c : value) {
        if (static_cast<unsigned char>(c) <= 0x20 || std::strchr("\"'`=<>", c))
            return true;
    }
    return false;
}

} // namespace

TStdStr<char> EscapeHtml(const char* text)
{
    TStdStr<char> result = text ? text : "";
    result.Replace("&", "&amp;");
    result.Replace(">", "&gt;");
    result.Replace("<", "&lt;");
    result.Replace("\"", "&quot;");
    result.Replace("\n", "<br>\n");
    return result;
}

CZ4KLogElement::CZ4KLogElement(CZ4KLog& log, const char* name, bool paired)
    : m_log(log), m_paired(paired), m_name(name ? name : "")
{
    m_log.Queue(this);
}

CZ4KLogElement::~CZ4KLogElement()
{
    // Also for an element without closing tag: the write puts out the opening tags still queued,
    // so an element that lived only while attributes were set (the head's meta) is written too.
    if (!m_name.empty())
        m_log.Write(m_log.m_markupLevel, GetClosingTag().c_str(), true);
    // A write that was filtered out leaves the element queued; it must not stay there.
    m_log.Unqueue(this);
}

void CZ4KLogElement::SetAttribute(const char* name, const char* value)
{
    if (!name || !*name || !value || !*value)
        return;
    m_attributes[name] = value;
}

TStdStr<char> CZ4KLogElement::GetOpeningTag() const
{
    TStdStr<char> tag = "\n<" + m_name;
    for (const auto& [name, value] : m_attributes) {
        tag += " " + name + "=";
        if (NeedsQuotes(value)) {
            TStdStr<char> quoted = value;
            quoted.Replace("&", "&amp;");
            quoted.Replace("\"", "&quot;");
            tag += "\"" + quoted + "\"";
        } else {
            tag += value;
        }
    }
    return tag + ">";
}

TStdStr<char> CZ4KLogElement::GetClosingTag() const
{
    if (!m_paired || m_name.empty())
        return TStdStr<char>();
    return "</" + m_name + ">\n";
}

void CDebuggerLogOutput::Send(const char* text) { OutputDebugStringA(text); }

CZ4KLog::CZ4KLog() : m_debugOutput(&g_debuggerOutput) {}

void CZ4KLog::SetDebugOutput(ILogDebugOutput* output) { m_debugOutput = output ? output : &g_debuggerOutput; }

CZ4KLog::~CZ4KLog()
{
    m_body.reset();
    m_html.reset();
}

const char* CZ4KLog::GetLevelName(unsigned level)
{
    switch (level) {
    case kLogCritical:
        return "CRIT";
    case kLogError:
        return "ERR";
    case kLogWarning:
        return "WARN";
    case kLogInfo:
        return "INFO";
    default:
        return "";
    }
}

void CZ4KLog::ApplyDefaults()
{
    // The program folder is read here once; its record dies before the log at exit.
    const CAppWindowInfo* info = GetAppWindowInfo();
    const TStdStr<char> folder = info ? info->GetProgramFolder() : TStdStr<char>();
    m_filePath = folder + Z4KLogDefaults::kFolder + "\\" + Z4KLogDefaults::kFileName;
    m_styleSheet = Z4KLogDefaults::kStyleSheet;
}

void CZ4KLog::Unqueue(CZ4KLogElement* element)
{
    for (auto it = m_pending.begin(); it != m_pending.end(); ++it) {
        if (*it == element) {
            m_pending.erase(it);
            return;
        }
    }
}

bool CZ4KLog::OpenFile()
{
    if (m_stream.is_open())
        return m_stream.good();
    if (m_filePath.empty())
        return false;
    const size_t slash = m_filePath.find_last_of("\\/");
    if (slash != std::string::npos && slash > 0)
        CreateDirectoryA(m_filePath.substr(0, slash).c_str(), nullptr);
    m_stream.open(m_filePath.c_str(), std::ios::out | std::ios::trunc | std::ios::binary);
    return m_stream.is_open() && m_stream.good();
}

void CZ4KLog::WriteHead()
{
    std::deque<CZ4KLogElement*> setAside;
    setAside.swap(m_pending);
    m_html = std::make_unique<CZ4KLogElement>(*this, "HTML");
    {
        CZ4KLogElement head(*this, "Head");
        if (!m_meta.empty()) {
            CZ4KLogElement meta(*this, "meta", false);
            for (const auto& [name, content] : m_meta)
                meta.SetAttribute(name.c_str(), content.c_str());
        }
        if (!m_title.empty()) {
            CZ4KLogElement title(*this, "Title");
            if (m_rawText)
                Write(m_markupLevel, (m_title + "\n").c_str(), false);
            else
                Write(m_markupLevel, m_title.c_str(), true);
        }
        if (!m_styleSheet.empty()) {
            CZ4KLogElement style(*this, "Style");
            if (!m_rawText)
                Write(m_markupLevel, m_styleSheet.c_str(), true);
        }
    }
    m_body = std::make_unique<CZ4KLogElement>(*this, "Body");
    m_pending.insert(m_pending.end(), setAside.begin(), setAside.end());
}

void CZ4KLog::Write(unsigned level, const char* text, bool raw)
{
    if (!(level & m_levelMask))
        return;
    if (!text)
        text = "";
    if (!m_headerWritten) {
        if (std::strcmp(text, "\n<Body>") == 0)
            return;
        m_headerWritten = true;
        WriteHead();
    }
    if (!m_pending.empty()) {
        TStdStr<char> tags;
        std::deque<CZ4KLogElement*> pending;
        pending.swap(m_pending);
        for (const CZ4KLogElement* element : pending)
            tags += element->GetOpeningTag();
        Write(level, tags.c_str(), true);
    }
    TStdStr<char> prefix;
    if (!raw) {
        if (m_options & kLogTimestamp)
            prefix += GetTimestampText() + " ";
        if (m_options & kLogThreadId)
            prefix += FormatString("(%d): ", static_cast<int>(GetCurrentThreadId()));
    }
    if ((m_options & kLogToFile) && OpenFile()) {
        if (raw)
            m_stream << text;
        else
            m_stream << prefix << (m_rawText ? TStdStr<char>(text) : EscapeHtml(text));
        if (level == kLogCritical || level == kLogError)
            m_stream.flush();
    }
    if ((m_options & kLogToDebugger) && !raw) {
        m_debugOutput->Send(FormatString("%s:(%s) :", "Z4K", GetLevelName(level)).c_str());
        m_debugOutput->Send(text);
    }
}

void CZ4KLog::WriteFormat(unsigned level, const char* format, ...)
{
    TStdStr<char> text;
    va_list args;
    va_start(args, format);
    text.FormatV(format, args);
    va_end(args);
    Write(level, text.c_str(), false);
}

namespace {

// The process's log starts with the defaults applied, so that its messages have somewhere to go,
// and takes the failure reports (KIVO_CHECK, exceptions caught at boundaries) as errors while it
// lives. The log is not thread-safe: reports from other threads than the one that made it reach
// the debugger output only.
class CProcessLog final : public CZ4KLog, private IFailureReporter {
public:
    CProcessLog()
    {
        ApplyDefaults();
        m_previousReporter = InstallFailureReporter(this);
    }
    ~CProcessLog() { InstallFailureReporter(m_previousReporter); }
    CProcessLog(const CProcessLog&) = delete;
    CProcessLog& operator=(const CProcessLog&) = delete;

private:
    void Report(const char* text) override
    {
        if (GetCurrentThreadId() == m_thread)
            Write(kLogError, text);
    }

    const DWORD m_thread = GetCurrentThreadId();
    IFailureReporter* m_previousReporter = nullptr; // not owned: put back when the log goes
};

} // namespace

CZ4KLog* GetLog() { return GetSingleton<CProcessLog, kPriorityLog>(); }
