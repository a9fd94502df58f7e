#include "editctl/model/KeyMap.h"

#include "editctl/model/Commands.h"
#include "editctl/model/TextUtil.h"

namespace quill {

namespace {

struct CommandRow {
    int number;
    const char* name;
};

const CommandRow kCommandTable[] = {
    {kCaretRight, "CaretRight"}, {kCaretRightExtend, "CaretRightExtend"}, {kCaretLeft, "CaretLeft"},
    {kCaretLeftExtend, "CaretLeftExtend"}, {kCaretUp, "CaretUp"}, {kCaretUpExtend, "CaretUpExtend"},
    {kCaretDown, "CaretDown"}, {kCaretDownExtend, "CaretDownExtend"}, {kCaretEndOfLine, "CaretEndOfLine"},
    {kCaretEndOfLineExtend, "CaretEndOfLineExtend"}, {kCaretStartOfLine, "CaretStartOfLine"},
    {kCaretStartOfLineExtend, "CaretStartOfLineExtend"}, {kCaretNextWord, "CaretNextWord"},
    {kCaretNextWordExtend, "CaretNextWordExtend"}, {kCaretPreviousWord, "CaretPreviousWord"},
    {kCaretPreviousWordExtend, "CaretPreviousWordExtend"}, {kCaretHome, "CaretHome"},
    {kCaretHomeExtend, "CaretHomeExtend"}, {kCaretEnd, "CaretEnd"}, {kCaretEndExtend, "CaretEndExtend"},
    {kCaretTabBack, "CaretTabBack"}, {kCaretTabBackExtend, "CaretTabBackExtend"},
    {kCaretViewUp, "CaretViewUp"}, {kCaretViewUpExtend, "CaretViewUpExtend"},
    {kCaretViewDown, "CaretViewDown"}, {kCaretViewDownExtend, "CaretViewDownExtend"},
    {kMiscClearUndoBuffers, "MiscClearUndoBuffers"},
    {kScrollViewUp, "ScrollViewUp"}, {kScrollViewDown, "ScrollViewDown"},
    {kScrollViewLeft, "ScrollViewLeft"}, {kScrollViewRight, "ScrollViewRight"},
    {kEditUndo, "EditUndo"}, {kEditRedo, "EditRedo"}, {kEditPull, "EditPull"},
    {kEditDeleteEndOfLine, "EditDeleteEndOfLine"}, {kEditBackSpace, "EditBackSpace"},
    {kEditDeleteChar, "EditDeleteChar"}, {kEditDeleteLine, "EditDeleteLine"},
    {kEditSplitLine, "EditSplitLine"}, {kEditWordToUpper, "EditWordToUpper"},
    {kEditWordToLower, "EditWordToLower"}, {kEditWordSwapCase, "EditWordSwapCase"},
    {kEditCopyLine, "EditCopyLine"}, {kEditDeleteWord, "EditDeleteWord"},
    {kEditDeleteEndOfWord, "EditDeleteEndOfWord"}, {kEditDeleteStartOfWord, "EditDeleteStartOfWord"},
    {kEditDoTab, "EditDoTab"}, {kEditDoBackTab, "EditDoBackTab"}, {kEditSwapLines, "EditSwapLines"},
    {kEditUpperCaseSelection, "EditUpperCaseSelection"}, {kEditLowerCaseSelection, "EditLowerCaseSelection"},
    {kEditSwapCaseSelection, "EditSwapCaseSelection"}, {kEditInsertDate, "EditInsertDate"},
    {kEditInsertTime, "EditInsertTime"}, {kEditToggleOverwrite, "EditToggleOverwrite"},
    {kEditUndoAll, "EditUndoAll"}, {kEditRedoAll, "EditRedoAll"},
    {kMarkWord, "MarkWord"}, {kMarkAll, "MarkAll"}, {kMarkClear, "MarkClear"}, {kMarkLine, "MarkLine"},
    {kClipPaste, "ClipPaste"}, {kClipCopy, "ClipCopy"}, {kClipCut, "ClipCut"}, {kClipDelete, "ClipDelete"},
    {kClipCopyClipLine, "ClipCopyClipLine"}, {kClipCutLine, "ClipCutLine"},
    {kClipClearClipboard, "ClipClearClipboard"}, {kClipCopyAppend, "ClipCopyAppend"},
    {kClipCutAppend, "ClipCutAppend"},
    {kBookmarkSet, "BookmarkSet"}, {kBookmarkClear, "BookmarkClear"}, {kBookmarkToggle, "BookmarkToggle"},
    {kBookmarkClearAll, "BookmarkClearAll"}, {kBookmarkGotoNext, "BookmarkGotoNext"},
    {kBookmarkGotoPrevious, "BookmarkGotoPrevious"}, {kBookmarkGotoFirst, "BookmarkGotoFirst"},
    {kBookmarkGotoLast, "BookmarkGotoLast"},
    {kFindNextWord, "FindNextWord"}, {kFindPrevWord, "FindPrevWord"}, {kFindNext, "FindNext"},
    {kFindPrevious, "FindPrevious"}, {kFindMatchingBracket, "FindMatchingBracket"},
    {kFindMatchingBracketSelect, "FindMatchingBracketSelect"},
    {kDialogGoto, "DialogGoto"}, {kDialogFind, "DialogFind"}, {kDialogReplace, "DialogReplace"},
    {kDialogProperties, "DialogProperties"}, {kDialogAbout, "DialogAbout"},
    {kDialogPageSetup, "DialogPageSetup"},
    {kFileSave, "FileSave"}, {kFileClear, "FileClear"}, {kFilePrint, "FilePrint"},
};

struct KeyName {
    const char* name;
    uint8_t key;
};

const KeyName kKeyNames[] = {
    {"LButton", 0x01}, {"RButton", 0x02}, {"Cancel", 0x03}, {"MButton", 0x04}, {"Back", 0x08},
    {"Tab", 0x09}, {"Clear", 0x0C}, {"Return", 0x0D}, {"Pause", 0x13}, {"Escape", 0x1B},
    {"Space", 0x20}, {"PageUp", 0x21}, {"PageDown", 0x22}, {"End", 0x23}, {"Home", 0x24},
    {"Left", 0x25}, {"Up", 0x26}, {"Right", 0x27}, {"Down", 0x28}, {"Select", 0x29},
    {"Execute", 0x2B}, {"PrintScreen", 0x2C}, {"Insert", 0x2D}, {"Delete", 0x2E}, {"Help", 0x2F},
    {"LeftWindows", 0x5B}, {"RightWindows", 0x5C}, {"PopMenuKey", 0x5D},
    {"NP0", 0x60}, {"NP1", 0x61}, {"NP2", 0x62}, {"NP3", 0x63}, {"NP4", 0x64}, {"NP5", 0x65},
    {"NP6", 0x66}, {"NP7", 0x67}, {"NP8", 0x68}, {"NP9", 0x69}, {"NP*", 0x6A}, {"NP+", 0x6B},
    {"Separator", 0x6C}, {"NP-", 0x6D}, {"NP.", 0x6E}, {"NP/", 0x6F},
    {"F1", 0x70}, {"F2", 0x71}, {"F3", 0x72}, {"F4", 0x73}, {"F5", 0x74}, {"F6", 0x75},
    {"F7", 0x76}, {"F8", 0x77}, {"F9", 0x78}, {"F10", 0x79}, {"F11", 0x7A}, {"F12", 0x7B},
    {"F13", 0x7C}, {"F14", 0x7D}, {"F15", 0x7E}, {"F16", 0x7F}, {"F17", 0x80}, {"F18", 0x81},
    {"F19", 0x82}, {"F20", 0x83}, {"F21", 0x84}, {"F22", 0x85}, {"F23", 0x86}, {"F24", 0x87},
};

size_t SkipBlanks(std::string_view text, size_t pos)
{
    while (pos < text.size() && IsConfigSpace(text[pos]))
        ++pos;
    return pos;
}

} // namespace

const char* CommandName(int number)
{
    for (const CommandRow& row : kCommandTable)
        if (row.number == number)
            return row.name;
    return nullptr;
}

int CommandCount() { return static_cast<int>(std::size(kCommandTable)); }
int CommandAt(int index) { return kCommandTable[index].number; }

std::optional<KeyStroke> ParseKeyDescriptor(std::string_view text, const KeyLayout& layout)
{
    text = TrimRight(text);
    if (text.empty())
        return std::nullopt;
    KeyStroke stroke;
    size_t pos = 0;
    for (;;) {
        pos = SkipBlanks(text, pos);
        const std::string_view rest = text.substr(pos);
        if (StartsWithNoCase(rest, "Shift "))
            stroke.qualifiers |= kShift, pos += 6;
        else if (StartsWithNoCase(rest, "Ctrl "))
            stroke.qualifiers |= kCtrl, pos += 5;
        else if (StartsWithNoCase(rest, "Alt "))
            stroke.qualifiers |= kAlt, pos += 4;
        else
            break;
    }
    pos = SkipBlanks(text, pos);
    std::string_view key = text.substr(pos);
    if (key.empty())
        key = text;  // "Shift " alone: the whole text is the key name, which matches nothing
    if (key.size() == 1) {
        const int scan = layout ? layout(key[0]) : -1;
        if (scan < 0 || (scan & 0xFF) == 0xFF)
            return std::nullopt;
        stroke.virtualKey = static_cast<uint8_t>(scan & 0xFF);
        stroke.qualifiers |= static_cast<uint8_t>((scan >> 8) & 7);
        return stroke;
    }
    for (const KeyName& name : kKeyNames) {
        if (StartsWithNoCase(name.name, key)) {
            stroke.virtualKey = name.key;
            return stroke;
        }
    }
    return std::nullopt;
}

std::string ExpandInsertText(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == 'n') {
            out += "\r\n";
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

void KeyBindings::Add(KeyStroke key, KeyMacro macro)
{
    auto& bucket = m_buckets[key.virtualKey & 63];
    for (Entry& entry : bucket) {
        if (entry.key == key) {
            entry.macro = std::move(macro);
            return;
        }
    }
    bucket.push_back({key, std::move(macro)});
}

const KeyMacro* KeyBindings::Find(KeyStroke key) const
{
    for (const Entry& entry : m_buckets[key.virtualKey & 63])
        if (entry.key == key)
            return &entry.macro;
    return nullptr;
}

size_t KeyBindings::Count() const
{
    size_t count = 0;
    for (const auto& bucket : m_buckets)
        count += bucket.size();
    return count;
}

void KeyBindings::Clear()
{
    for (auto& bucket : m_buckets)
        bucket.clear();
}

const std::vector<DefaultKeyBinding>& DefaultKeyMap()
{
    static const std::vector<DefaultKeyBinding> map = {
        {"Up", kCaretUp}, {"Shift Up", kCaretUpExtend}, {"Down", kCaretDown}, {"Shift Down", kCaretDownExtend},
        {"Left", kCaretLeft}, {"Shift Left", kCaretLeftExtend}, {"Right", kCaretRight},
        {"Shift Right", kCaretRightExtend}, {"Home", kCaretStartOfLine}, {"Shift Home", kCaretStartOfLineExtend},
        {"End", kCaretEndOfLine}, {"Shift End", kCaretEndOfLineExtend}, {"Ctrl Home", kCaretHome},
        {"Shift Ctrl Home", kCaretHomeExtend}, {"Ctrl End", kCaretEnd}, {"Shift Ctrl End", kCaretEndExtend},
        {"Ctrl Right", kCaretNextWord}, {"Shift Ctrl Right", kCaretNextWordExtend},
        {"Ctrl Left", kCaretPreviousWord}, {"Shift Ctrl Left", kCaretPreviousWordExtend},
        {"Shift Ctrl Tab", kCaretTabBackExtend}, {"PageUp", kCaretViewUp}, {"Shift PageUp", kCaretViewUpExtend},
        {"PageDown", kCaretViewDown}, {"Shift PageDown", kCaretViewDownExtend}, {"Ctrl Up", kScrollViewDown},
        {"Ctrl Down", kScrollViewUp}, {"Ctrl PageUp", kScrollViewRight}, {"Ctrl PageDown", kScrollViewLeft},
        {"Ctrl d", kEditInsertDate}, {"Ctrl Shift d", kEditInsertTime}, {"Return", kEditSplitLine},
        {"Delete", kEditDeleteChar}, {"Ctrl z", kEditUndo}, {"Ctrl y", kEditRedo}, {"Back", kEditBackSpace},
        {"Alt Delete", kEditDeleteLine}, {"Shift Delete", kEditDeleteEndOfLine}, {"Ctrl p", kEditPull},
        {"Alt u", kEditWordToUpper}, {"Alt l", kEditWordToLower}, {"Alt s", kEditWordSwapCase},
        {"Alt c", kEditCopyLine}, {"Insert", kEditToggleOverwrite}, {"Ctrl Delete", kEditDeleteEndOfWord},
        {"Ctrl Back", kEditDeleteStartOfWord}, {"Ctrl Shift Delete", kEditDeleteWord}, {"Tab", kEditDoTab},
        {"Shift Tab", kEditDoBackTab}, {"Alt Shift t", kEditSwapLines}, {"Ctrl u", kEditLowerCaseSelection},
        {"Ctrl Shift u", kEditUpperCaseSelection}, {"Ctrl Alt u", kEditSwapCaseSelection},
        {"Ctrl v", kClipPaste}, {"Shift Insert", kClipPaste}, {"Ctrl c", kClipCopy}, {"Alt c", kClipCopyAppend},
        {"Ctrl x", kClipCut}, {"Alt x", kClipCutAppend}, {"Ctrl Shift c", kClipCopyClipLine},
        {"Ctrl Shift x", kClipCutLine}, {"Ctrl s", kFileSave}, {"Ctrl p", kFilePrint},
        {"Ctrl F2", kBookmarkToggle}, {"Shift Ctrl F2", kBookmarkClearAll}, {"F2", kBookmarkGotoNext},
        {"Shift F2", kBookmarkGotoPrevious}, {"F3", kFindNext}, {"Shift F3", kFindPrevious},
        {"Ctrl F3", kFindNextWord}, {"Shift Ctrl F3", kFindPrevWord}, {"Ctrl ]", kFindMatchingBracket},
        {"Shift Ctrl ]", kFindMatchingBracketSelect}, {"Ctrl g", kDialogGoto}, {"Ctrl f", kDialogFind},
        {"Ctrl h", kDialogReplace}, {"Alt Return", kDialogProperties}, {"Ctrl F1", kDialogAbout},
        {"Ctrl a", kMarkAll}, {"Ctrl Shift w", kMarkWord}, {"Ctrl Shift l", kMarkLine}, {"Escape", kMarkClear},
    };
    return map;
}

void BuildDefaultKeyMap(KeyBindings& store, const KeyLayout& layout)
{
    for (const DefaultKeyBinding& row : DefaultKeyMap()) {
        if (const auto stroke = ParseKeyDescriptor(row.descriptor, layout))
            store.Add(*stroke, KeyMacro{{KeyMacroStep{MacroStep::kCommand, row.command, {}}}});
    }
}

} // namespace quill
