#pragma once
// Key bindings of a parser configuration: the descriptor syntax ("Shift Ctrl Home"), the binding
// store (64 buckets by virtual key), the binding macros and the default key map. Running a macro is
// the window's business; this is only the data. No window code here.
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quill {

enum KeyQualifier : uint8_t { kShift = 1, kCtrl = 2, kAlt = 4 };

// The keyboard layout's character-to-key translation: low byte virtual key, high byte the shift
// state the layout needs (Shift 1, Ctrl 2, Alt 4), -1 when no key produces the character.
using KeyLayout = std::function<int(char)>;

struct KeyStroke {
    uint8_t virtualKey = 0;
    uint8_t qualifiers = 0;
    bool operator==(const KeyStroke&) const = default;
};

// Parses "Shift Ctrl Home", "Ctrl d", "F1"; trailing blanks and line ends are ignored.
std::optional<KeyStroke> ParseKeyDescriptor(std::string_view text, const KeyLayout& layout);

enum class MacroStep : int { kCommand = 0, kInsertText = 1, kRun = 2, kOpen = 3 };

struct KeyMacroStep {
    MacroStep kind = MacroStep::kCommand;
    int command = 0;   // for kCommand
    std::string data;  // the text, command line or document, as written
};

struct KeyMacro {
    std::vector<KeyMacroStep> steps;
};

// Expands an "InsertText=" text: every backslash followed by n becomes CR LF.
std::string ExpandInsertText(std::string_view text);

class KeyBindings {
public:
    struct Entry {
        KeyStroke key;
        KeyMacro macro;
    };
    // A later binding of the same key and qualifiers replaces the earlier one.
    void Add(KeyStroke key, KeyMacro macro);
    const KeyMacro* Find(KeyStroke key) const;
    size_t Count() const;
    void Clear();
    const std::vector<Entry>& Bucket(int index) const { return m_buckets[index]; }

private:
    std::array<std::vector<Entry>, 64> m_buckets;
};

struct DefaultKeyBinding {
    const char* descriptor;
    int command;
};
// The default key map in insertion order; "Alt c" and "Ctrl p" appear twice, the later one wins.
const std::vector<DefaultKeyBinding>& DefaultKeyMap();
void BuildDefaultKeyMap(KeyBindings& store, const KeyLayout& layout);

} // namespace quill
