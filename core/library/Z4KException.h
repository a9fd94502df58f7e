#pragma once
// The class library's exceptions. Failures are thrown by value and caught by reference; each class
// gives a human-readable message through GetErrorMessage, valid while the object lives.
#include "core/library/StdStr.h"

#include <windows.h>

class CZ4KException {
public:
    CZ4KException() = default;
    CZ4KException(const CZ4KException&) = default;
    CZ4KException& operator=(const CZ4KException&) = default;
    virtual ~CZ4KException() = default;
    virtual const char* GetErrorMessage() const { return ""; }
};

class CZ4KMemoryException : public CZ4KException {
public:
    const char* GetErrorMessage() const override { return "Out of memory."; }
};

class CZ4KNotSupportedException : public CZ4KException {
public:
    const char* GetErrorMessage() const override { return "An unsupported operation was attempted."; }
};

// Carries a fixed text (a literal; the object does not own it).
class CZ4KSimpleTextException : public CZ4KException {
public:
    explicit CZ4KSimpleTextException(const char* text) : m_text(text ? text : "") {}
    const char* GetErrorMessage() const override { return m_text; }

private:
    const char* m_text;
};

// The common part of the file and archive exceptions: a cause from a table of texts and the name of
// the file, which takes the place of the text's "%s".
class CZ4KCauseException : public CZ4KException {
public:
    // A copy takes the cause and the file name; the message is rebuilt when asked for.
    CZ4KCauseException(const CZ4KCauseException& other)
        : CZ4KException(other), m_cause(other.m_cause), m_fileName(other.m_fileName), m_texts(other.m_texts),
          m_textCount(other.m_textCount)
    {
    }
    CZ4KCauseException& operator=(const CZ4KCauseException& other)
    {
        m_cause = other.m_cause;
        m_fileName = other.m_fileName;
        m_texts = other.m_texts;
        m_textCount = other.m_textCount;
        m_message.clear();
        return *this;
    }

    // The cause's text with the file name in place of its "%s".
    const char* GetErrorMessage() const override;

    int m_cause;
    TStdStr<char> m_fileName;

protected:
    CZ4KCauseException(int cause, const char* fileName, const char* const* texts, size_t textCount)
        : m_cause(cause), m_fileName(fileName ? fileName : ""), m_texts(texts), m_textCount(textCount)
    {
    }

private:
    const char* const* m_texts;
    size_t m_textCount;
    mutable TStdStr<char> m_message;
};

class CZ4KFileException : public CZ4KCauseException {
public:
    enum Cause {
        none = 0,
        genericError = 1,
        fileNotFound = 2,
        badPath = 3,
        tooManyOpenFiles = 4,
        accessDenied = 5,
        invalidFile = 6,
        removeCurrentDir = 7,
        directoryFull = 8,
        badSeek = 9,
        hardIO = 10,
        sharingViolation = 11,
        lockViolation = 12,
        diskFull = 13,
        endOfFile = 14,
        invalidParameter = 15,
    };
    // The file name may be null (stored as empty).
    explicit CZ4KFileException(int cause = none, const char* fileName = nullptr);
};

class CZ4KArchiveException : public CZ4KCauseException {
public:
    enum Cause {
        none = 0,
        genericError = 1,
        readOnly = 2,
        endOfFile = 3,
        writeOnly = 4,
        badIndex = 5,
        badClass = 6,
        badSchema = 7,
    };
    explicit CZ4KArchiveException(int cause = none, const char* fileName = nullptr);
};

// A failed COM call; the message is the system's text for the result code.
class CComException : public CZ4KException {
public:
    explicit CComException(HRESULT result) : m_result(result) {}
    CComException(const CComException& other) : CZ4KException(other), m_result(other.m_result) {}
    CComException& operator=(const CComException& other)
    {
        m_result = other.m_result;
        m_message.clear();
        return *this;
    }

    HRESULT GetResult() const { return m_result; }
    const char* GetErrorMessage() const override;

private:
    HRESULT m_result;
    mutable TStdStr<char> m_message;
};

// The file exception cause for a Win32 error code (1 for every code without its own cause).
int MapOsErrorToCause(DWORD error);
// Throws a CZ4KFileException for a Win32 error; does nothing for 0.
void ThrowFileException(DWORD error, const char* fileName);
[[noreturn]] void ThrowZ4KMemoryException();
// The failure hook of the COM layer: E_OUTOFMEMORY becomes the memory exception, anything else a
// CComException.
[[noreturn]] void ThrowComError(HRESULT result);

// Holds an HRESULT; assigning a failure code throws that code as a plain HRESULT (not as a class), so
// callers that use it catch HRESULT themselves.
class CheckedHResult {
public:
    CheckedHResult(HRESULT result = S_OK) { *this = result; }
    CheckedHResult& operator=(HRESULT result)
    {
        m_result = result;
        if (FAILED(result))
            throw result;
        return *this;
    }
    operator HRESULT() const { return m_result; }

private:
    HRESULT m_result = S_OK;
};
