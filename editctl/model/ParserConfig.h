#pragma once
// A parser configuration ("language file"): the behaviour, colours, fonts, syntax rules and key
// bindings that edit windows share. Fonts and system colours come through ConfigEnvironment, so
// this model needs no window code and is tested without one.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "editctl/model/KeyMap.h"

namespace quill {

using Colour = uint32_t;                    // 0x00BBGGRR
constexpr Colour kNoColour = 0xFF000000;    // no background: leave it transparent

constexpr Colour MakeColour(int r, int g, int b)
{
    return static_cast<Colour>(r) | (static_cast<Colour>(g) << 8) | (static_cast<Colour>(b) << 16);
}
Colour Lighten(Colour c, double f);
Colour Darken(Colour c, double f);

// The 17 colours, in the index order that messages 0x515 and 0x516 use.
enum ColourIndex : int {
    kTextRGB, kBackgroundRGB, kBackgroundReadOnlyRGB, kMarginRGB, kBookmarkRGB, kNumberRGB,
    kDelimiterRGB, kSelectedTextRGB, kSelectedBackgroundRGB, kLineNumberRGB, kBkgndLineNumberRGB,
    kBkgndNumberRGB, kBkgndDelimiterRGB, kBracketMatchRGB, kLineHighlightRGB, kHyperlinkRGB,
    kBkgndHyperlinkRGB, kColourCount
};

// The system colours a configuration can follow.
enum class SystemColour { kWindowText, kWindow, k3DLight, kScrollBar, kHighlightText, kHighlight };

struct FontSpec {
    std::string face = "Courier New";
    int height = 0;
    int weight = 400;
    int charset = 0;
    bool italic = false;
    bool underline = false;
    // Every screen font must be fixed-pitch: the painter places characters in columns. The
    // default face asks for it too, so that a system without "Courier New" substitutes another
    // fixed-pitch face rather than a proportional one.
    bool fixedPitch = true;
    bool operator==(const FontSpec&) const = default;
};

using FontHandle = void*;

// What the loader needs from the platform: fonts, system colours, the keyboard layout, and a way
// to report a message of the string table (id, line number, source name).
class ConfigEnvironment {
public:
    virtual ~ConfigEnvironment() = default;
    virtual FontHandle CreateFont(const FontSpec& spec) = 0;  // nullptr when it cannot be made
    virtual void DestroyFont(FontHandle font) = 0;
    virtual Colour SystemColourValue(SystemColour which) = 0;
    virtual int KeyForChar(char c) = 0;  // as KeyLayout
    virtual void Report(int messageId, long line, std::string_view source) = 0;
};

struct BlockDef {
    std::string name;
    Colour colour = 0;
    Colour background = kNoColour;
    bool startOfLine = false;
    std::string start;      // empty: the block has no start text and never opens
    bool hasEnd = false;    // false: ends at the next white space or delimiter
    bool endOfLine = false; // "End=\n": ends at the end of its line
    std::string end;
};

struct KeywordEntry {
    std::string text;
    Colour colour = 0;
    Colour background = kNoColour;
};

struct IndentWord {
    std::string text;
    int direction = 0;  // 0 IndentLeft, 1 IndentRight
};

enum HeaderFooter : int { kHeaderLeft, kHeaderCenter, kHeaderRight, kFooterLeft, kFooterCenter, kFooterRight };

struct ParserConfig {
    explicit ParserConfig(ConfigEnvironment* env);
    ~ParserConfig();
    ParserConfig(const ParserConfig&) = delete;
    ParserConfig& operator=(const ParserConfig&) = delete;

    // Replaces a font, destroying the old one; the config owns its fonts.
    void SetFont(FontHandle& slot, FontHandle font);

    ConfigEnvironment* env;  // not owned; destroys the fonts
    std::string sourcePath;  // empty for memory blocks
    std::string name, extentions, dateFormat, timeFormat, delimiters;
    std::vector<IndentWord> indentWords;
    KeyBindings keys;
    FontHandle screenFont = nullptr, hyperlinkFont = nullptr, printerFont = nullptr;
    FontSpec screenSpec, hyperlinkSpec, printerSpec;
    int charWidth = -1, lineHeight = -1;  // measured by the painter
    std::array<std::string, 6> headerFooter;

    bool autoIndent = true, smartIndent = false, selectionMargin = true, clearSpaces = true;
    bool autoMatch = false, wholeWords = false, searchCase = false, visibleAutoMatchError = false;
    bool isDefault = false, dndEnabled = true, syntaxColoring = true, globalSyntaxColoring = true;
    bool printSyntaxColoring = true, printHeader = false, printFooter = false, printScreenFont = true;
    bool fastScroll = true, clearUndoAfterSave = false, visibleSpaces = false, showLineNumbers = false;
    bool caseFixing = false, solidMargin = false, colorBracketMatches = false, highlightLine = false;
    bool printLineNumbers = false, parseHyperlinks = false, showHyperTips = false, columnMarker = false;
    bool backupFiles = false;
    bool builtIn = false;  // loaded from memory; survives a reload
    int tab = 8, maxTrack = 20, caretType = 1, fileMode = 0, backupMode = 0, columnMarkerOffset = 80;
    int undoSize = 1000;
    std::string backupDirectory;

    std::array<Colour, kColourCount> colours{};
    uint32_t systemMask = (1u << kColourCount) - 1;  // bit i: colour i follows the system

    std::vector<BlockDef> blocks;
    char escape = 0;
    bool caseSensitive = false;  // "Case="
    std::array<std::vector<KeywordEntry>, 256> keywords;

    // Lookup tables of the parser, made from delimiters and blocks once they are read.
    void BuildTables();
    std::array<bool, 256> isDelimiter{};
    std::array<bool, 256> startsBlock{};  // some block's start text begins with this byte
};

// The value "*" stands for, for colour index i, with the system colours as they are now.
Colour SystemValueOf(const ParserConfig& config, int index, ConfigEnvironment& env);
// Re-reads every colour whose mask bit is set (a change of the system colours).
void RefreshSystemColours(ParserConfig& config, ConfigEnvironment& env);

// Loads one configuration from its text; lines are split at LF (a CR before it is white space)
// and into pieces of 1023 characters. Messages go to env.Report with the line number and source.
// Returns nullptr when the load fails (unknown command, a default font that cannot be made).
std::unique_ptr<ParserConfig> LoadParserConfigText(std::string_view text, std::string_view source,
                                                   bool builtIn, ConfigEnvironment& env);

// The configuration made in code: every default, the default key map, Default=Y, the screen font.
std::unique_ptr<ParserConfig> CreateBuiltinDefaultConfig(ConfigEnvironment& env);

// Adds a keyword with the given colours unless its exact text stands in its bucket already.
void AddKeyword(ParserConfig& config, std::string_view text, Colour colour, Colour background);

// The configuration for a file name among the list (in list order): the last one whose Extentions
// hold the name's extension, else the first with Default=Y. matched: 1 for a hit or no name, else 0.
ParserConfig* ChooseParserConfig(const std::vector<ParserConfig*>& list, std::string_view fileName, int* matched);
ParserConfig* DefaultConfigOf(const std::vector<ParserConfig*>& list);

} // namespace quill
