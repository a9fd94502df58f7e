#pragma once
// CZ4KLog: the process-wide diagnostic log. Messages carry one severity level and go to the
// debugger output and to an HTML document whose head (title, meta entries, style sheet) is
// written before the first message. Not thread-safe: the log is written from the UI thread.
#include "core/library/StdStr.h"

#include <cstdarg>
#include <deque>
#include <fstream>
#include <map>
#include <memory>

class CZ4KLog;

enum Z4KLogLevel : unsigned {
    kLogCritical = 2, // "CRIT"
    kLogError = 4,    // "ERR"
    kLogWarning = 8,  // "WARN"
    kLogInfo = 16,    // "INFO"
};

enum Z4KLogOptions : unsigned {
    kLogToDebugger = 1,
    kLogToFile = 2,
    kLogTimestamp = 16,
    kLogThreadId = 32,
};

// The constants of a log that is set up for use: the file "Z4KLog.htm" in the folder "Logs" of
// the program folder, the style sheet and the time-stamp pattern.
struct Z4KLogDefaults {
    static const char* const kFileName;
    static const char* const kFolder;
    static const char* const kStyleSheet;
    static const char* const kTimestampPattern;
};

// One HTML element of the log document. Creating it queues its opening tag in the log (written
// before the next message); destroying it writes its closing tag, unless it is not paired or
// has no name. Attribute values are written bare when they are plain words and quoted
// otherwise, so that a value with blanks stays one attribute.
class CZ4KLogElement {
public:
    CZ4KLogElement(CZ4KLog& log, const char* name, bool paired = true);
    ~CZ4KLogElement();
    CZ4KLogElement(const CZ4KLogElement&) = delete;
    CZ4KLogElement& operator=(const CZ4KLogElement&) = delete;

    // Ignored when the name or the value is empty.
    void SetAttribute(const char* name, const char* value);
    TStdStr<char> GetOpeningTag() const;
    TStdStr<char> GetClosingTag() const;

private:
    CZ4KLog& m_log;
    bool m_paired;
    TStdStr<char> m_name;
    std::map<TStdStr<char>, TStdStr<char>> m_attributes;
};

// Where a log's debugger copy goes.
class ILogDebugOutput {
public:
    virtual ~ILogDebugOutput() = default;
    virtual void Send(const char* text) = 0;
};

// The debugger of the process (OutputDebugStringA), every log's output unless it is given another.
class CDebuggerLogOutput final : public ILogDebugOutput {
public:
    void Send(const char* text) override;
};

class CZ4KLog {
public:
    CZ4KLog();
    ~CZ4KLog();
    CZ4KLog(const CZ4KLog&) = delete;
    CZ4KLog& operator=(const CZ4KLog&) = delete;

    // Writes a message when its level bit is in the mask. A raw write puts the text into the
    // document as markup, with no escaping, prefix or debugger copy. The debugger copy is sent
    // even when the file cannot be written.
    void Write(unsigned level, const char* text, bool raw = false);
    void WriteFormat(unsigned level, const char* format, ...);

    // Sets the file path to the defaults' file in the defaults' folder of the program folder
    // (the folder is created when the file is first opened) and the defaults' style sheet.
    void ApplyDefaults();

    void SetFilePath(const char* path) { m_filePath = path ? path : ""; }
    const TStdStr<char>& GetFilePath() const { return m_filePath; }
    void SetTitle(const char* title) { m_title = title ? title : ""; }
    void SetStyleSheet(const char* style) { m_styleSheet = style ? style : ""; }
    void SetMeta(const char* name, const char* content) { m_meta[name ? name : ""] = content ? content : ""; }
    void SetLevelMask(unsigned mask) { m_levelMask = mask; }
    void SetMarkupLevel(unsigned level) { m_markupLevel = level; }
    void SetOptions(unsigned options) { m_options = options; }
    unsigned GetOptions() const { return m_options; }
    void SetRawText(bool raw) { m_rawText = raw; }
    // Where the debugger copy goes (not owned; it must outlive the log); null: the debugger.
    void SetDebugOutput(ILogDebugOutput* output);

    static const char* GetLevelName(unsigned level);

private:
    friend class CZ4KLogElement;

    void WriteHead();
    void Queue(CZ4KLogElement* element) { m_pending.push_back(element); }
    void Unqueue(CZ4KLogElement* element);
    bool OpenFile();

    TStdStr<char> m_title;
    TStdStr<char> m_styleSheet;
    std::map<TStdStr<char>, TStdStr<char>> m_meta;
    TStdStr<char> m_filePath;
    std::ofstream m_stream;
    bool m_headerWritten = false;
    unsigned m_levelMask = 0x7fffffff;
    unsigned m_markupLevel = 16;
    unsigned m_options = kLogToDebugger | kLogToFile;
    bool m_rawText = false;
    TStdStr<char> m_timestampPattern = Z4KLogDefaults::kTimestampPattern;
    ILogDebugOutput* m_debugOutput;  // not owned: the given output or the process's debugger output
    std::unique_ptr<CZ4KLogElement> m_html;
    std::unique_ptr<CZ4KLogElement> m_body;
    std::deque<CZ4KLogElement*> m_pending; // not owned: elements whose opening tag is not written yet
};

// The log of the process, created on first use with the defaults applied and destroyed near the
// very end of the teardown (priority 6).
CZ4KLog* GetLog();

// "&", ">", "<" and the double quote as entities, and each line feed as "<br>" and a line feed.
TStdStr<char> EscapeHtml(const char* text);
