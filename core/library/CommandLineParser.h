#pragma once
// A small general command-line parser: the caller declares one-letter options, each with named
// arguments, and named positional arguments, each with a default. Parse splits a command line into
// words, assigns the values, and on failure gives an error line followed by a generated usage text.
#include "core/library/StdStr.h"

#include <map>
#include <vector>

// One named value: an argument of an option or a positional argument.
struct CCommandLineArgument {
    TStdStr<char> name;
    TStdStr<char> description;
    TStdStr<char> value; // starts equal to the default
    TStdStr<char> defaultValue;
    bool optional = true;
};

// An option: the letter that follows the prefix character, and the arguments that may follow it.
struct CCommandLineOption {
    CCommandLineOption() = default;
    CCommandLineOption(char letter_, const char* description_);

    // Appends an optional argument whose value starts as the default.
    void DeclareArgument(const char* name, const char* defaultValue, const char* description);
    // The value of the first argument with exactly this name, else "<UnKnOwN>".
    TStdStr<char> GetArgumentValue(const char* name) const;

    char letter = 0;
    std::vector<CCommandLineArgument> arguments;
    TStdStr<char> description;
    bool present = false; // set when the option occurs on the command line
};

class CCommandLineParser {
public:
    static constexpr const char* kUnknownValue = "<UnKnOwN>";

    // Null arguments give empty texts. An empty program name is taken from the command line's first
    // word at parse time.
    CCommandLineParser(const char* programName, const char* trailingText, const char* prefixChars);

    void DeclarePositional(const char* name, const char* defaultValue, const char* description);
    void DeclarePositional(const CCommandLineArgument& argument);
    // Adds a copy of the option under its letter; a letter already declared keeps its first group.
    void DeclareOption(const CCommandLineOption& option);

    // True when every word found a place and every required argument got a value. On false the
    // error text holds one error line and the usage text; values assigned before the error stay.
    // A quoted program name without its closing quote is rejected: nothing is assigned, and an
    // undeclared program name is taken as the text after the quote up to the first blank.
    bool Parse(const char* commandLine, TStdStr<char>& errorText);

    // The option with this letter; for an undeclared letter an empty option.
    const CCommandLineOption& GetOption(char letter) const;
    // The value of the first positional argument with exactly this name, else "<UnKnOwN>".
    TStdStr<char> GetPositionalValue(const char* name) const;
    TStdStr<char> GetUsage() const;

    const TStdStr<char>& GetProgramName() const { return m_programName; }

    // The words of a command line, the program name first. A quoted program name without its
    // closing quote gives no words at all.
    static std::vector<TStdStr<char>> SplitWords(const char* commandLine);

private:
    bool IsOptionWord(const TStdStr<char>& word) const;
    TStdStr<char> ErrorLine(const char* text) const;

    TStdStr<char> m_prefixChars;
    TStdStr<char> m_trailingText;
    TStdStr<char> m_programName;
    std::map<signed char, CCommandLineOption> m_options;
    std::vector<CCommandLineArgument> m_positionals;
};
