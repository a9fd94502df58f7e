#include "core/library/CommandLineParser.h"

#include <algorithm>

namespace {

const char* OrEmpty(const char* text)
{
    return text ? text : "";
}

bool IsBlank(char ch)
{
    return ch == ' ' || ch == '\t';
}

CCommandLineArgument MakeOptionalArgument(const char* name, const char* defaultValue, const char* description)
{
    CCommandLineArgument argument;
    argument.name = OrEmpty(name);
    argument.description = OrEmpty(description);
    argument.defaultValue = OrEmpty(defaultValue);
    argument.value = argument.defaultValue;
    argument.optional = true;
    return argument;
}

TStdStr<char> FindValue(const std::vector<CCommandLineArgument>& arguments, const char* name)
{
    const TStdStr<char> wanted = OrEmpty(name);
    for (const auto& argument : arguments) {
        if (argument.name == wanted)
            return argument.value;
    }
    return CCommandLineParser::kUnknownValue;
}

size_t CountRequired(const std::vector<CCommandLineArgument>& arguments)
{
    return static_cast<size_t>(
        std::count_if(arguments.begin(), arguments.end(), [](const auto& argument) { return !argument.optional; }));
}

// " [name]" for an optional argument, " name" for a required one.
void AppendSynopsis(TStdStr<char>& usage, const CCommandLineArgument& argument)
{
    usage += argument.optional ? " [" + argument.name + "]" : " " + argument.name;
}

void AppendDescription(TStdStr<char>& usage, const char* indent, const CCommandLineArgument& argument)
{
    usage += indent + argument.name + "\t= " + argument.description + "\r\n";
    if (argument.optional)
        usage += "\t\t  optional argument (default='" + argument.defaultValue + "')\r\n";
}

} // namespace

CCommandLineOption::CCommandLineOption(char letter_, const char* description_)
    : letter(letter_), description(OrEmpty(description_))
{
}

void CCommandLineOption::DeclareArgument(const char* name, const char* defaultValue, const char* description_)
{
    arguments.push_back(MakeOptionalArgument(name, defaultValue, description_));
}

TStdStr<char> CCommandLineOption::GetArgumentValue(const char* name) const
{
    return FindValue(arguments, name);
}

CCommandLineParser::CCommandLineParser(const char* programName, const char* trailingText, const char* prefixChars)
    : m_prefixChars(OrEmpty(prefixChars)), m_trailingText(OrEmpty(trailingText)), m_programName(OrEmpty(programName))
{
}

void CCommandLineParser::DeclarePositional(const char* name, const char* defaultValue, const char* description)
{
    m_positionals.push_back(MakeOptionalArgument(name, defaultValue, description));
}

void CCommandLineParser::DeclarePositional(const CCommandLineArgument& argument)
{
    m_positionals.push_back(argument);
}

void CCommandLineParser::DeclareOption(const CCommandLineOption& option)
{
    m_options.emplace(static_cast<signed char>(option.letter), option);
}

const CCommandLineOption& CCommandLineParser::GetOption(char letter) const
{
    static const CCommandLineOption empty;
    const auto found = m_options.find(static_cast<signed char>(letter));
    return found == m_options.end() ? empty : found->second;
}

TStdStr<char> CCommandLineParser::GetPositionalValue(const char* name) const
{
    return FindValue(m_positionals, name);
}

std::vector<TStdStr<char>> CCommandLineParser::SplitWords(const char* commandLine)
{
    std::vector<TStdStr<char>> words;
    const TStdStr<char> text = OrEmpty(commandLine);
    const size_t length = text.size();
    size_t pos = 0;

    // The program name: quoted, or up to the first blank.
    if (length > 0 && text[0] == '"') {
        const size_t close = text.find('"', 1);
        if (length == 1 || close == TStdStr<char>::npos)
            return words;
        words.push_back(text.substr(1, close - 1));
        pos = close + 1;
    } else {
        while (pos < length && !IsBlank(text[pos]))
            ++pos;
        words.push_back(text.substr(0, pos));
    }

    for (;;) {
        while (pos < length && IsBlank(text[pos]))
            ++pos;
        if (pos >= length)
            break;
        if (text[pos] == '"') {
            const size_t close = text.find('"', pos + 1);
            if (close == TStdStr<char>::npos) {
                words.push_back(text.substr(pos + 1));
                break;
            }
            // Scanning goes on right after the closing quote, even when no blank follows it.
            words.push_back(text.substr(pos + 1, close - pos - 1));
            pos = close + 1;
        } else {
            const size_t start = pos;
            while (pos < length && !IsBlank(text[pos]))
                ++pos;
            words.push_back(text.substr(start, pos - start));
        }
    }
    return words;
}

// An empty word (a quoted empty pair) has no first character and so no prefix: it is positional.
bool CCommandLineParser::IsOptionWord(const TStdStr<char>& word) const
{
    return !word.empty() && m_prefixChars.find(word[0]) != TStdStr<char>::npos;
}

TStdStr<char> CCommandLineParser::ErrorLine(const char* text) const
{
    return m_programName + text + "\r\n" + GetUsage();
}

bool CCommandLineParser::Parse(const char* commandLine, TStdStr<char>& errorText)
{
    errorText.clear();
    const std::vector<TStdStr<char>> words = SplitWords(commandLine);
    if (words.empty()) {
        // Only a quoted program name without its closing quote splits into no words. The name the
        // usage shows is then what follows the quote up to the first blank.
        if (m_programName.empty()) {
            const TStdStr<char> text = OrEmpty(commandLine);
            const size_t start = text.empty() ? 0 : 1;
            size_t end = start;
            while (end < text.size() && !IsBlank(text[end]))
                ++end;
            m_programName = TStdStr<char>(text.substr(start, end - start));
        }
        errorText = ErrorLine(" error: The program name has no closing quote.");
        return false;
    }
    if (m_programName.empty())
        m_programName = words[0];

    size_t nextPositional = 0;
    for (size_t i = 1; i < words.size(); ++i) {
        const TStdStr<char>& word = words[i];
        if (!IsOptionWord(word)) {
            if (nextPositional >= m_positionals.size()) {
                errorText = ErrorLine(" error: Too much arguments. ");
                return false;
            }
            m_positionals[nextPositional++].value = word;
            continue;
        }
        // The letter is the second character; the rest of the word does not matter, so "-s" and
        // "-startmode" name the same option. A bare prefix character has the terminator as its letter.
        const auto found = m_options.find(static_cast<signed char>(word[1]));
        if (found == m_options.end()) {
            errorText = ErrorLine((" error: Unknown option " + word + ".").c_str());
            return false;
        }
        CCommandLineOption& option = found->second;
        option.present = true;
        size_t assigned = 0;
        for (auto& argument : option.arguments) {
            if (i + 1 >= words.size() || IsOptionWord(words[i + 1]))
                break;
            argument.value = words[++i];
            ++assigned;
        }
        if (assigned < CountRequired(option.arguments)) {
            errorText = ErrorLine((" error: Too few arguments for option " + word + ".").c_str());
            return false;
        }
    }
    if (CountRequired(m_positionals) > nextPositional) {
        errorText = ErrorLine(" error: Too few arguments.");
        return false;
    }
    return true;
}

TStdStr<char> CCommandLineParser::GetUsage() const
{
    TStdStr<char> usage = "Usage: " + m_programName;
    for (const auto& [key, option] : m_options) {
        usage += " [";
        if (!m_prefixChars.empty())
            usage += m_prefixChars[0];
        usage += option.letter;
        for (const auto& argument : option.arguments)
            AppendSynopsis(usage, argument);
        usage += "]";
    }
    for (const auto& argument : m_positionals)
        AppendSynopsis(usage, argument);
    usage += "\r\n";

    if (!m_options.empty()) {
        usage += "\r\nOptions:\r\n";
        for (const auto& [key, option] : m_options) {
            usage += "\t-";
            usage += option.letter;
            usage += "\t  " + option.description + "\r\n";
            for (const auto& argument : option.arguments)
                AppendDescription(usage, "\t ", argument);
        }
    }
    if (!m_positionals.empty()) {
        usage += "\r\nArguments:\r\n";
        for (const auto& argument : m_positionals)
            AppendDescription(usage, "\t", argument);
    }
    usage += "\r\n" + m_trailingText + "\r\n";
    return usage;
}
