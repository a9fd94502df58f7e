#pragma once
// TStdStr: the program's string class. A std::basic_string with the editing and formatting members
// the rest of the code calls by name. Positions are 0-based ints; "not found" is -1. The narrow text
// is in the process's ANSI code page.
#include <windows.h>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

template <typename T>
class TStdStr : public std::basic_string<T> {
public:
    using Base = std::basic_string<T>;
    using Base::Base;

    TStdStr() = default;
    TStdStr(const Base& text) : Base(text) {}
    TStdStr(Base&& text) noexcept : Base(std::move(text)) {}
    // Wide text is converted through the system's ANSI code page; a null pointer gives "".
    TStdStr(const wchar_t* wide) { AssignWide(wide); }
    TStdStr& operator=(const wchar_t* wide)
    {
        AssignWide(wide);
        return *this;
    }
    TStdStr& operator=(const T* text)
    {
        Base::assign(text ? text : EmptyText());
        return *this;
    }
    TStdStr& operator=(const Base& text)
    {
        Base::assign(text);
        return *this;
    }

    // Formats with the runtime's printf rules. The output is cut at 43008 characters.
    void Format(const T* format, ...)
    {
        va_list args;
        va_start(args, format);
        FormatV(format, args);
        va_end(args);
    }
    void FormatV(const T* format, va_list args);

    int Find(const T* text) const { return ToIndex(Base::find(text)); }
    int Find(T ch) const { return ToIndex(Base::find(ch)); }

    int Replace(T oldChar, T newChar)
    {
        int count = 0;
        for (auto& ch : *this) {
            if (ch == oldChar) {
                ch = newChar;
                ++count;
            }
        }
        return count;
    }
    // Replaces left to right; the search resumes behind each inserted text, so text produced by a
    // replacement is never searched again.
    int Replace(const T* oldText, const T* newText)
    {
        if (!oldText || !*oldText)
            return 0;
        if (!newText)
            newText = EmptyText();
        const size_t oldLength = std::char_traits<T>::length(oldText);
        const size_t newLength = std::char_traits<T>::length(newText);
        int count = 0;
        for (size_t pos = Base::find(oldText); pos != Base::npos; pos = Base::find(oldText, pos + newLength)) {
            Base::replace(pos, oldLength, newText, newLength);
            ++count;
        }
        return count;
    }

    TStdStr Left(int count) const { return count <= 0 ? TStdStr() : TStdStr(Base::substr(0, count)); }
    TStdStr Mid(int pos) const
    {
        if (pos < 0)
            pos = 0;
        return static_cast<size_t>(pos) >= Base::size() ? TStdStr() : TStdStr(Base::substr(pos));
    }
    TStdStr Mid(int pos, int count) const
    {
        if (pos < 0)
            pos = 0;
        if (count <= 0 || static_cast<size_t>(pos) >= Base::size())
            return TStdStr();
        return TStdStr(Base::substr(pos, count));
    }
    TStdStr Right(int count) const
    {
        if (count <= 0)
            return TStdStr();
        if (static_cast<size_t>(count) >= Base::size())
            return *this;
        return TStdStr(Base::substr(Base::size() - count));
    }

    TStdStr& MakeLower();
    TStdStr& MakeUpper();

    // White space as the C locale classifies it.
    TStdStr& TrimLeft()
    {
        size_t first = 0;
        while (first < Base::size() && IsSpace((*this)[first]))
            ++first;
        Base::erase(0, first);
        return *this;
    }
    TStdStr& TrimRight()
    {
        size_t end = Base::size();
        while (end > 0 && IsSpace((*this)[end - 1]))
            --end;
        Base::erase(end);
        return *this;
    }
    TStdStr& Trim() { return TrimRight().TrimLeft(); }

    // Lengthens to at least n characters with zeros and returns the writable buffer.
    T* GetBuffer(int minLength)
    {
        if (minLength > 0 && Base::size() < static_cast<size_t>(minLength))
            Base::resize(minLength, T());
        return Base::data();
    }
    // Sets the length after direct writes: to n, or when n is negative to the zero-terminated length.
    void ReleaseBuffer(int length = -1)
    {
        if (length < 0)
            length = static_cast<int>(std::char_traits<T>::length(Base::c_str()));
        Base::resize(length);
    }
    // Sets the length to n (negative counts as 0; added characters are zero) and returns the buffer.
    T* GetBufferSetLength(int length)
    {
        Base::resize(length < 0 ? 0 : length, T());
        return Base::data();
    }

    // Indexing by int, so that str[i] is not ambiguous with the conversion to const T*.
    T& operator[](int index) { return Base::operator[](static_cast<size_t>(index)); }
    const T& operator[](int index) const { return Base::operator[](static_cast<size_t>(index)); }
    using Base::operator[];

    int GetLength() const { return static_cast<int>(Base::size()); }
    bool IsEmpty() const { return Base::empty(); }
    operator const T*() const { return Base::c_str(); }

private:
    static int ToIndex(size_t pos) { return pos == Base::npos ? -1 : static_cast<int>(pos); }
    static const T* EmptyText()
    {
        static const T empty[1] = {};
        return empty;
    }
    static bool IsSpace(T ch)
    {
        return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\r' || ch == '\v' || ch == '\f';
    }
    void AssignWide(const wchar_t* wide);
};

using CStdString = TStdStr<char>;

// A new string holding the formatted text (same rules as TStdStr::Format).
TStdStr<char> FormatString(const char* format, ...);

template <>
void TStdStr<char>::FormatV(const char* format, va_list args);
template <>
TStdStr<char>& TStdStr<char>::MakeLower();
template <>
TStdStr<char>& TStdStr<char>::MakeUpper();
template <>
void TStdStr<char>::AssignWide(const wchar_t* wide);
