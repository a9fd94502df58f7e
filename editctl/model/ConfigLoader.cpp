// The ".qpp" configuration loader: one line at a time, a case-blind prefix match against the
// keyword table, then the keyword's handler on the rest of the line.
#include <cerrno>
#include <cstdlib>

#include "editctl/model/Commands.h"
#include "editctl/model/MessageIds.h"
#include "editctl/model/ParserConfig.h"
#include "editctl/model/SyntaxParser.h"
#include "editctl/model/TextUtil.h"

namespace quill {

namespace {

// Lines longer than this are handed on in pieces, each counted as a line of its own.
constexpr size_t kMaxConfigLine = 1023;

enum class Outcome { kDone, kDecline, kFail };

struct Loader {
    ParserConfig& config;
    ConfigEnvironment& env;
    std::string_view source;
    long line = 0;
    Colour keywordColour = 0;
    Colour keywordBackground = kNoColour;
    bool inBlock = false;
    BlockDef block;
    bool inKeywords = false;
    bool inKey = false;
    KeyStroke key;
    KeyMacro macro;

    void Report(int id) { env.Report(id, line, source); }
    Colour WindowText() { return env.SystemColourValue(SystemColour::kWindowText); }
};

using Handler = Outcome (*)(Loader&, std::string_view value);

// ---- value forms -----------------------------------------------------------------------------

// The value with its leading white space gone; reports 1023 and gives false when nothing is left.
bool TakeValue(Loader& l, std::string_view& value)
{
    value = TrimLeft(value);
    if (value.empty()) {
        l.Report(kMsgArgumentsRequired);
        return false;
    }
    return true;
}

// A "%ld" number at the start of the text: optional sign, then at least one digit.
bool ParseLong(std::string_view text, long& out, size_t* used = nullptr)
{
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    size_t digitsFrom = i;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        ++i, ++digitsFrom;
    size_t j = digitsFrom;
    long long value = 0;
    while (j < text.size() && text[j] >= '0' && text[j] <= '9') {
        value = value * 10 + (text[j] - '0');
        if (value > 0x7FFFFFFFLL)
            value = 0x7FFFFFFFLL;
        ++j;
    }
    if (j == digitsFrom)
        return false;
    out = static_cast<long>(digitsFrom > 0 && text[digitsFrom - 1] == '-' ? -value : value);
    if (used)
        *used = j;
    return true;
}

// "a,b,c,...": up to count numbers, each may have blanks before it but not before its comma.
int ParseNumberList(std::string_view text, long* out, int count)
{
    int got = 0;
    while (got < count) {
        size_t used = 0;
        if (!ParseLong(text, out[got], &used))
            break;
        ++got;
        text = text.substr(used);
        if (text.empty() || text[0] != ',')
            break;
        text = text.substr(1);
    }
    return got;
}

Outcome SetText(Loader& l, std::string_view value, std::string& field)
{
    if (TakeValue(l, value))
        field = std::string(TrimRight(value));
    return Outcome::kDone;
}

Outcome SetSwitch(Loader& l, std::string_view value, bool& field)
{
    if (TakeValue(l, value))
        field = value[0] == 'Y' || value[0] == 'y';
    return Outcome::kDone;
}

Outcome SetNumber(Loader& l, std::string_view value, int& field, long low, long high, int rangeMessage)
{
    if (!TakeValue(l, value))
        return Outcome::kDone;
    long number = 0;
    if (!ParseLong(value, number))
        l.Report(kMsgConfigError);
    else if (number < low || number > high)
        l.Report(rangeMessage);
    else
        field = static_cast<int>(number);
    return Outcome::kDone;
}

// Three numbers 0 to 255; anything else reports 1008 and keeps the old value.
bool ParseRgb(Loader& l, std::string_view value, Colour& out)
{
    long rgb[3] = {0, 0, 0};
    if (ParseNumberList(value, rgb, 3) < 3) {
        l.Report(kMsgConfigError);
        return false;
    }
    for (long c : rgb) {
        if (c < 0 || c > 255) {
            l.Report(kMsgConfigError);
            return false;
        }
    }
    out = MakeColour(static_cast<int>(rgb[0]), static_cast<int>(rgb[1]), static_cast<int>(rgb[2]));
    return true;
}

Outcome SetColour(Loader& l, std::string_view value, int index)
{
    if (!TakeValue(l, value))
        return Outcome::kDone;
    ParserConfig& c = l.config;
    if (value[0] == '*') {
        c.systemMask |= 1u << index;
        c.colours[index] = SystemValueOf(c, index, l.env);
    } else if (ParseRgb(l, value, c.colours[index])) {
        c.systemMask &= ~(1u << index);
    }
    return Outcome::kDone;
}

Outcome SetFontValue(Loader& l, std::string_view value, bool screen)
{
    if (!TakeValue(l, value))
        return Outcome::kDone;
    value = TrimRight(value);
    FontSpec spec;
    const size_t comma = value.find(',');
    spec.face = std::string(value.substr(0, comma).substr(0, 31));
    if (comma != std::string_view::npos) {
        long n[5] = {};
        if (ParseNumberList(value.substr(comma + 1), n, 5) < 5) {
            l.Report(kMsgConfigError);
            return Outcome::kDone;
        }
        spec.height = static_cast<int>(n[0]);
        spec.weight = static_cast<int>(n[1]);
        spec.charset = static_cast<int>(n[2]);
        spec.italic = n[3] != 0;
        spec.underline = n[4] != 0;
    }
    ParserConfig& c = l.config;
    FontHandle font = l.env.CreateFont(spec);
    if (!font) {
        l.Report(kMsgBadFont);
        return Outcome::kDone;
    }
    if (!screen) {
        c.printerSpec = spec;
        c.SetFont(c.printerFont, font);
        return Outcome::kDone;
    }
    FontSpec linkSpec = spec;
    linkSpec.underline = true;
    FontHandle link = l.env.CreateFont(linkSpec);
    if (!link) {
        l.env.DestroyFont(font);
        l.Report(kMsgBadFont);
        return Outcome::kDone;
    }
    c.screenSpec = spec;
    c.hyperlinkSpec = linkSpec;
    c.SetFont(c.screenFont, font);
    c.SetFont(c.hyperlinkFont, link);
    c.charWidth = c.lineHeight = -1;
    return Outcome::kDone;
}

// ---- sections --------------------------------------------------------------------------------

// Whether a section is open for a line that needs it; reports the message when it is not.
bool Inside(Loader& l, bool open, int message)
{
    if (!open)
        l.Report(message);
    return open;
}

Outcome OpenBlock(Loader& l, std::string_view value)
{
    if (l.inKeywords)
        return Outcome::kDecline;  // "Block..." inside a keyword section is a keyword
    l.inBlock = true;
    l.block = BlockDef{};
    l.block.name = std::string(TrimRight(TrimLeft(value)));
    return Outcome::kDone;
}

Outcome CloseBlock(Loader& l, std::string_view)
{
    if (!Inside(l, l.inBlock, kMsgEndBlockAlone))
        return Outcome::kDone;
    l.config.blocks.push_back(std::move(l.block));
    l.block = BlockDef{};
    l.inBlock = false;
    l.keywordColour = l.WindowText();
    return Outcome::kDone;
}

Outcome BlockStart(Loader& l, std::string_view value)
{
    if (!Inside(l, l.inBlock, kMsgOutsideBlock))
        return Outcome::kDone;
    return SetText(l, value, l.block.start);
}

Outcome BlockStartOfLine(Loader& l, std::string_view value)
{
    if (!Inside(l, l.inBlock, kMsgOutsideBlock))
        return Outcome::kDone;
    return SetSwitch(l, value, l.block.startOfLine);
}

Outcome BlockEnd(Loader& l, std::string_view value)
{
    if (!Inside(l, l.inBlock, kMsgOutsideBlock))
        return Outcome::kDone;
    std::string end;
    SetText(l, value, end);
    if (end.empty())
        return Outcome::kDone;
    l.block.hasEnd = true;
    l.block.endOfLine = end == "\\n";
    l.block.end = l.block.endOfLine ? std::string() : end;
    return Outcome::kDone;
}

Outcome OpenKeywords(Loader& l, std::string_view)
{
    l.inKeywords = true;
    l.keywordBackground = kNoColour;
    return Outcome::kDone;
}

Outcome CloseKeywords(Loader& l, std::string_view)
{
    if (!Inside(l, l.inKeywords, kMsgEndKeywordsAlone))
        return Outcome::kDone;
    l.inKeywords = false;
    l.keywordColour = l.WindowText();
    return Outcome::kDone;
}

Outcome KeywordColour(Loader& l, std::string_view value)
{
    if (!TakeValue(l, value))
        return Outcome::kDone;
    Colour colour = 0;
    if (value[0] == '*')
        l.Report(kMsgConfigError);
    else if (ParseRgb(l, value, colour)) {
        l.keywordColour = colour;
        if (l.inBlock)
            l.block.colour = colour;
    }
    return Outcome::kDone;
}

Outcome KeywordBackground(Loader& l, std::string_view value)
{
    if (!TakeValue(l, value))
        return Outcome::kDone;
    Colour colour = kNoColour;
    if (value[0] != '*' && !ParseRgb(l, value, colour))
        return Outcome::kDone;
    l.keywordBackground = colour;
    if (l.inBlock)
        l.block.background = colour;
    return Outcome::kDone;
}

Outcome OpenKey(Loader& l, std::string_view value)
{
    if (l.inKey) {
        l.Report(kMsgKeyAgain);
        return Outcome::kDone;
    }
    if (!TakeValue(l, value))
        return Outcome::kDone;
    const auto stroke = ParseKeyDescriptor(value, [&](char c) { return l.env.KeyForChar(c); });
    if (!stroke) {
        l.Report(kMsgBadKey);
        return Outcome::kDone;
    }
    l.inKey = true;
    l.key = *stroke;
    l.macro = KeyMacro{};
    return Outcome::kDone;
}

Outcome CloseKey(Loader& l, std::string_view)
{
    if (!Inside(l, l.inKey, kMsgEndKeyAlone))
        return Outcome::kDone;
    l.config.keys.Add(l.key, std::move(l.macro));
    l.macro = KeyMacro{};
    l.inKey = false;
    return Outcome::kDone;
}

Outcome KeyHardcoded(Loader& l, std::string_view value)
{
    if (!Inside(l, l.inKey, kMsgOutsideKey))
        return Outcome::kDone;
    if (!TakeValue(l, value))
        return Outcome::kDone;
    long number = 0;
    if (!ParseLong(value, number))
        l.Report(kMsgBadArgument);
    else if (!IsKnownCommand(static_cast<int>(number)))
        l.Report(kMsgUnknownCode);
    else
        l.macro.steps.push_back({MacroStep::kCommand, static_cast<int>(number), {}});
    return Outcome::kDone;
}

template <MacroStep kind>
Outcome KeyTextStep(Loader& l, std::string_view value)
{
    if (!Inside(l, l.inKey, kMsgOutsideKey))
        return Outcome::kDone;
    std::string text;
    SetText(l, value, text);
    if (!text.empty())
        l.macro.steps.push_back({kind, 0, std::move(text)});
    return Outcome::kDone;
}

template <int direction>
Outcome AddIndentWord(Loader& l, std::string_view value)
{
    std::string text;
    SetText(l, value, text);
    if (!text.empty())
        l.config.indentWords.push_back({std::move(text), direction});
    return Outcome::kDone;
}

template <int ParserConfig::*field, long low, long high, int message>
Outcome Number(Loader& l, std::string_view value)
{
    return SetNumber(l, value, l.config.*field, low, high, message);
}

// "GlobalSyntaxColoring=", "MaxTrack=" and "UndoSize=" belong to the default configuration only.
bool DefaultOnly(Loader& l)
{
    if (l.config.isDefault)
        return true;
    l.Report(kMsgDefaultOnly);
    return false;
}

template <bool ParserConfig::*field>
Outcome Switch(Loader& l, std::string_view value)
{
    return SetSwitch(l, value, l.config.*field);
}

template <std::string ParserConfig::*field>
Outcome Text(Loader& l, std::string_view value)
{
    return SetText(l, value, l.config.*field);
}

template <int index>
Outcome HeaderText(Loader& l, std::string_view value)
{
    return SetText(l, value, l.config.headerFooter[index]);
}

template <int index>
Outcome ColourValue(Loader& l, std::string_view value)
{
    return SetColour(l, value, index);
}

struct KeywordRow {
    const char* keyword;
    Handler handler;
};

const KeywordRow kKeywordTable[] = {
    {"Name=", Text<&ParserConfig::name>},
    {"Extentions=", Text<&ParserConfig::extentions>},
    {"Delimiters=", Text<&ParserConfig::delimiters>},
    {"Block=", OpenBlock},
    {"Block", OpenBlock},
    {"EndBlock", CloseBlock},
    {"Start=", BlockStart},
    {"StartOfLine=", BlockStartOfLine},
    {"End=", BlockEnd},
    {"Keywords", OpenKeywords},
    {"EndKeywords", CloseKeywords},
    {"Case=", Switch<&ParserConfig::caseSensitive>},
    {"AutoIndent=", Switch<&ParserConfig::autoIndent>},
    {"SmartIndent=", Switch<&ParserConfig::smartIndent>},
    {"SelectionMargin=", Switch<&ParserConfig::selectionMargin>},
    {"ClearSpaces=", Switch<&ParserConfig::clearSpaces>},
    {"AutoMatch=", Switch<&ParserConfig::autoMatch>},
    {"WholeWords=", Switch<&ParserConfig::wholeWords>},
    {"SearchCase=", Switch<&ParserConfig::searchCase>},
    {"VisibleAutoMatchError=", Switch<&ParserConfig::visibleAutoMatchError>},
    {"Default=", Switch<&ParserConfig::isDefault>},
    {"DnDEnabled=", Switch<&ParserConfig::dndEnabled>},
    {"SyntaxColoring=", Switch<&ParserConfig::syntaxColoring>},
    {"GlobalSyntaxColoring=",
     [](Loader& l, std::string_view v) { return DefaultOnly(l) ? SetSwitch(l, v, l.config.globalSyntaxColoring) : Outcome::kDone; }},
    {"PrintSyntaxColoring=", Switch<&ParserConfig::printSyntaxColoring>},
    {"PrintHeader=", Switch<&ParserConfig::printHeader>},
    {"PrintFooter=", Switch<&ParserConfig::printFooter>},
    {"PrintScreenFont=", Switch<&ParserConfig::printScreenFont>},
    {"FastScroll=", Switch<&ParserConfig::fastScroll>},
    {"ClearUndoAfterSave=", Switch<&ParserConfig::clearUndoAfterSave>},
    {"VisibleSpaces=", Switch<&ParserConfig::visibleSpaces>},
    {"ShowLineNumbers=", Switch<&ParserConfig::showLineNumbers>},
    {"CaseFixing=", Switch<&ParserConfig::caseFixing>},
    {"SolidMargin=", Switch<&ParserConfig::solidMargin>},
    {"ColorBracketMatches=", Switch<&ParserConfig::colorBracketMatches>},
    {"HighlightLine=", Switch<&ParserConfig::highlightLine>},
    {"PrintLineNumbers=", Switch<&ParserConfig::printLineNumbers>},
    {"ParseHyperlinks=", Switch<&ParserConfig::parseHyperlinks>},
    {"ShowHyperTips=", Switch<&ParserConfig::showHyperTips>},
    {"RGB=", KeywordColour},
    {"BkRGB=", KeywordBackground},
    {"TextRGB=", ColourValue<kTextRGB>},
    {"BackgroundRGB=", ColourValue<kBackgroundRGB>},
    {"BackgroundReadOnlyRGB=", ColourValue<kBackgroundReadOnlyRGB>},
    {"MarginRGB=", ColourValue<kMarginRGB>},
    {"BookmarkRGB=", ColourValue<kBookmarkRGB>},
    {"DelimiterRGB=", ColourValue<kDelimiterRGB>},
    {"NumberRGB=", ColourValue<kNumberRGB>},
    {"SelectedTextRGB=", ColourValue<kSelectedTextRGB>},
    {"SelectedBackgroundRGB=", ColourValue<kSelectedBackgroundRGB>},
    {"LineNumberRGB=", ColourValue<kLineNumberRGB>},
    {"BkgndLineNumberRGB=", ColourValue<kBkgndLineNumberRGB>},
    {"BkgndNumberRGB=", ColourValue<kBkgndNumberRGB>},
    {"BkgndDelimiterRGB=", ColourValue<kBkgndDelimiterRGB>},
    {"BracketMatchRGB=", ColourValue<kBracketMatchRGB>},
    {"LineHighlightRGB=", ColourValue<kLineHighlightRGB>},
    {"HyperlinkRGB=", ColourValue<kHyperlinkRGB>},
    {"BkgndHyperlinkRGB=", ColourValue<kBkgndHyperlinkRGB>},
    {"Tab=", Number<&ParserConfig::tab, 2, 24, kMsgTabRange>},
    {"Escape=",
     [](Loader& l, std::string_view v) {
         if (TakeValue(l, v))
             l.config.escape = v[0];
         return Outcome::kDone;
     }},
    {"MaxTrack=",
     [](Loader& l, std::string_view v) {
         return DefaultOnly(l) ? SetNumber(l, v, l.config.maxTrack, 10, 30, kMsgTrackRange) : Outcome::kDone;
     }},
    {"IndentLeft=", AddIndentWord<0>},
    {"IndentRight=", AddIndentWord<1>},
    {"CaretType=", Number<&ParserConfig::caretType, 0, 3, kMsgCaretTypeRange>},
    {"FileMode=", Number<&ParserConfig::fileMode, 0, 2, kMsgFileModeRange>},
    {"DateFormat=", Text<&ParserConfig::dateFormat>},
    {"TimeFormat=", Text<&ParserConfig::timeFormat>},
    {"ScreenFont=", [](Loader& l, std::string_view v) { return SetFontValue(l, v, true); }},
    {"PrinterFont=", [](Loader& l, std::string_view v) { return SetFontValue(l, v, false); }},
    {"HeaderLeft=", HeaderText<kHeaderLeft>},
    {"HeaderCenter=", HeaderText<kHeaderCenter>},
    {"HeaderRight=", HeaderText<kHeaderRight>},
    {"FooterLeft=", HeaderText<kFooterLeft>},
    {"FooterCenter=", HeaderText<kFooterCenter>},
    {"FooterRight=", HeaderText<kFooterRight>},
    {"BackupFiles=", Switch<&ParserConfig::backupFiles>},
    {"BackupDirectory=", Text<&ParserConfig::backupDirectory>},
    {"BackupMode=", Number<&ParserConfig::backupMode, 0, 3, kMsgBackupModeRange>},
    {"ColumnMarkerOffset=", Number<&ParserConfig::columnMarkerOffset, 0, 256, kMsgColumnMarkerRange>},
    {"ColumnMarker=", Switch<&ParserConfig::columnMarker>},
    {"Key=", OpenKey},
    {"EndKey", CloseKey},
    {"Hardcoded=", KeyHardcoded},
    {"Run=", KeyTextStep<MacroStep::kRun>},
    {"Open=", KeyTextStep<MacroStep::kOpen>},
    {"InsertText=", KeyTextStep<MacroStep::kInsertText>},
    {"UndoSize=",
     [](Loader& l, std::string_view v) {
         return DefaultOnly(l) ? SetNumber(l, v, l.config.undoSize, 100, 0x7FFFFFFF, kMsgUndoSizeRange) : Outcome::kDone;
     }},
};

static_assert(std::size(kKeywordTable) == 87, "the configuration format has 87 keywords");

// One line (without its LF); false ends the load as a failure.
bool DispatchLine(Loader& l, std::string_view raw)
{
    const std::string_view text = TrimLeft(raw);
    if (text.empty() || text[0] == ';')
        return true;
    for (const KeywordRow& row : kKeywordTable) {
        const std::string_view keyword = row.keyword;
        if (!StartsWithNoCase(text, keyword))
            continue;
        const Outcome outcome = row.handler(l, text.substr(keyword.size()));
        if (outcome == Outcome::kFail)
            return false;
        if (outcome == Outcome::kDone)
            return true;
        break;  // declined: treated like a line no keyword took
    }
    if (l.inKeywords) {
        AddKeyword(l.config, TrimRight(text), l.keywordColour, l.keywordBackground);
        return true;
    }
    l.Report(kMsgUnknownCommand);
    return false;
}

void SetDefaults(ParserConfig& c, ConfigEnvironment& env)
{
    for (int i = 0; i < kColourCount; ++i)
        c.colours[i] = SystemValueOf(c, i, env);
}

bool CreateMissingFonts(ParserConfig& c, ConfigEnvironment& env)
{
    if (!c.screenFont) {
        c.screenSpec = FontSpec{};
        c.SetFont(c.screenFont, env.CreateFont(c.screenSpec));
        if (!c.screenFont)
            return false;
    }
    if (!c.hyperlinkFont) {
        c.hyperlinkSpec = c.screenSpec;
        c.hyperlinkSpec.underline = true;
        c.SetFont(c.hyperlinkFont, env.CreateFont(c.hyperlinkSpec));
        if (!c.hyperlinkFont)
            return false;
    }
    if (!c.printerFont) {
        c.printerSpec = c.screenSpec;
        c.SetFont(c.printerFont, env.CreateFont(c.printerSpec));
        if (!c.printerFont)
            return false;
    }
    return true;
}

} // namespace

Colour Lighten(Colour c, double f)
{
    auto ch = [&](int shift) {
        const int v = static_cast<int>((c >> shift) & 0xFF);
        return static_cast<int>(v + (255 - v) * f);
    };
    return MakeColour(ch(0), ch(8), ch(16));
}

Colour Darken(Colour c, double f)
{
    auto ch = [&](int shift) {
        const int v = static_cast<int>((c >> shift) & 0xFF);
        return static_cast<int>(v - v * f);
    };
    return MakeColour(ch(0), ch(8), ch(16));
}

Colour SystemValueOf(const ParserConfig& config, int index, ConfigEnvironment& env)
{
    switch (index) {
    case kTextRGB: case kNumberRGB: case kDelimiterRGB:
        return env.SystemColourValue(SystemColour::kWindowText);
    case kBackgroundRGB: case kBkgndLineNumberRGB:
        return env.SystemColourValue(SystemColour::kWindow);
    case kBackgroundReadOnlyRGB: return env.SystemColourValue(SystemColour::k3DLight);
    case kMarginRGB: return env.SystemColourValue(SystemColour::kScrollBar);
    case kBookmarkRGB: return MakeColour(0, 255, 255);
    case kSelectedTextRGB: return env.SystemColourValue(SystemColour::kHighlightText);
    case kSelectedBackgroundRGB: return env.SystemColourValue(SystemColour::kHighlight);
    case kLineNumberRGB: return MakeColour(0, 128, 128);
    case kBracketMatchRGB: return Lighten(env.SystemColourValue(SystemColour::kHighlight), 0.7);
    case kLineHighlightRGB: return Darken(config.colours[kBackgroundRGB], 0.1);
    case kHyperlinkRGB: return MakeColour(0, 0, 255);
    default: return kNoColour;  // the backgrounds of numbers, delimiters and links: none
    }
}

void RefreshSystemColours(ParserConfig& config, ConfigEnvironment& env)
{
    // Background first: the line highlight is computed from it.
    for (int i = 0; i < kColourCount; ++i)
        if (config.systemMask & (1u << i))
            config.colours[i] = SystemValueOf(config, i, env);
}

ParserConfig::ParserConfig(ConfigEnvironment* env_) : env(env_) {}

ParserConfig::~ParserConfig()
{
    SetFont(screenFont, nullptr);
    SetFont(hyperlinkFont, nullptr);
    SetFont(printerFont, nullptr);
}

void ParserConfig::SetFont(FontHandle& slot, FontHandle font)
{
    if (slot && slot != font && env)
        env->DestroyFont(slot);
    slot = font;
}

void ParserConfig::BuildTables()
{
    isDelimiter.fill(false);
    startsBlock.fill(false);
    for (char c : delimiters)
        if (c != 0)
            isDelimiter[static_cast<unsigned char>(c)] = true;
    for (const BlockDef& block : blocks) {
        if (block.start.empty())
            continue;
        const char c = block.start[0];
        startsBlock[static_cast<unsigned char>(c)] = true;
        startsBlock[static_cast<unsigned char>(caseSensitive ? c : FoldCase(c))] = true;
        if (!caseSensitive && c >= 'a' && c <= 'z')
            startsBlock[static_cast<unsigned char>(c - 'a' + 'A')] = true;
    }
}

void AddKeyword(ParserConfig& config, std::string_view text, Colour colour, Colour background)
{
    if (text.empty())
        return;
    auto& bucket = config.keywords[KeywordHash(text.data(), text.size(), config.caseSensitive) & 0xFF];
    for (const KeywordEntry& entry : bucket)
        if (entry.text == text)
            return;
    bucket.push_back({std::string(text), colour, background});
}

std::unique_ptr<ParserConfig> LoadParserConfigText(std::string_view text, std::string_view source,
                                                   bool builtIn, ConfigEnvironment& env)
{
    if (text.empty())
        return nullptr;
    auto config = std::make_unique<ParserConfig>(&env);
    config->builtIn = builtIn;
    SetDefaults(*config, env);
    Loader l{*config, env, source};
    l.keywordColour = l.WindowText();

    size_t pos = 0;
    while (pos < text.size()) {
        // Every LF ends a line (an empty line counts as one), and long lines come in pieces.
        size_t end = text.find('\n', pos);
        const bool hasLf = end != std::string_view::npos;
        if (!hasLf)
            end = text.size();
        size_t pieceEnd = end;
        if (pieceEnd - pos > kMaxConfigLine)
            pieceEnd = pos + kMaxConfigLine;
        ++l.line;
        if (!DispatchLine(l, text.substr(pos, pieceEnd - pos)))
            return nullptr;
        pos = (pieceEnd == end && hasLf) ? end + 1 : pieceEnd;
    }
    if (!CreateMissingFonts(*config, env))
        return nullptr;
    config->BuildTables();
    return config;
}

std::unique_ptr<ParserConfig> CreateBuiltinDefaultConfig(ConfigEnvironment& env)
{
    auto config = std::make_unique<ParserConfig>(&env);
    SetDefaults(*config, env);
    config->name = "Default";
    config->isDefault = true;
    BuildDefaultKeyMap(config->keys, [&](char c) { return env.KeyForChar(c); });
    if (!CreateMissingFonts(*config, env))
        return nullptr;
    config->BuildTables();
    return config;
}

ParserConfig* DefaultConfigOf(const std::vector<ParserConfig*>& list)
{
    for (ParserConfig* c : list)
        if (c->isDefault)
            return c;
    return nullptr;
}

ParserConfig* ChooseParserConfig(const std::vector<ParserConfig*>& list, std::string_view fileName, int* matched)
{
    ParserConfig* chosen = DefaultConfigOf(list);
    int result = fileName.empty() ? 1 : 0;
    const size_t dot = fileName.rfind('.');
    if (dot != std::string_view::npos) {
        const std::string_view ext = fileName.substr(dot);
        for (ParserConfig* c : list) {
            const std::string_view exts = c->extentions;
            for (size_t at = FindText(exts, ext, 0, false); at != std::string_view::npos;
                 at = FindText(exts, ext, at + 1, false)) {
                const size_t after = at + ext.size();
                if (after == exts.size() || exts[after] == ';') {
                    chosen = c;
                    result = 1;
                    break;
                }
            }
        }
    }
    if (matched)
        *matched = result;
    return chosen;
}

} // namespace quill
