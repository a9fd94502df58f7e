// The ".qpp" configuration loader and the choice of a configuration by file name.
#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <sstream>

#include "FakeEnvironment.h"
#include "TestFiles.h"
#include "editctl/model/Commands.h"
#include "editctl/model/MessageIds.h"
#include "editctl/model/SyntaxParser.h"

using namespace quill;
using quill::testing::BuiltinConfigText;
using quill::testing::FakeEnvironment;
using quill::testing::ReadFile;
using quill::testing::ReportedMessage;

namespace {

std::unique_ptr<ParserConfig> Load(FakeEnvironment& env, const std::string& text, const char* source = "test.qpp")
{
    return LoadParserConfigText(text, source, false, env);
}


} // namespace

TEST(ConfigLoader, ReadsSettingsBlocksKeywordsAndKeys)
{
    FakeEnvironment env;
    auto c = Load(env,
                  "; a comment\n"
                  "Name=Test language  \r\n"
                  "extentions=.TXT;.t\n"
                  "Delimiters=()\n"
                  "Tab=4\n"
                  "Escape=\\\n"
                  "AutoIndent=no\n"
                  "ShowLineNumbers=yes\n"
                  "TextRGB=10,20,30\n"
                  "BkgndLineNumberRGB=*\n"
                  "ScreenFont=Lucida Console,-12,700,0,1,0\n"
                  "PrinterFont=Courier New,-32,400,0,0,0,99\n"
                  "Block=Comment\n"
                  "RGB=0,128,0\n"
                  "BkRGB=*\n"
                  "Start=/*\n"
                  "End=*/\n"
                  "EndBlock\n"
                  "Block\n"
                  "Start=//\n"
                  "End=\\n\n"
                  "EndBlock\n"
                  "RGB=0,0,255\n"
                  "Keywords\n"
                  "onClick\n"
                  "  blockquote  \n"
                  "onclick\n"
                  "EndKeywords\n"
                  "Key=ctrl shift HOME\n"
                  "Hardcoded=18\n"
                  "InsertText=a\\nb\n"
                  "EndKey\n"
                  "IndentRight={\n");
    ASSERT_TRUE(c);
    EXPECT_TRUE(env.messages.empty());
    EXPECT_EQ(c->name, "Test language");
    EXPECT_EQ(c->extentions, ".TXT;.t");
    EXPECT_EQ(c->tab, 4);
    EXPECT_EQ(c->escape, '\\');
    EXPECT_FALSE(c->autoIndent);
    EXPECT_TRUE(c->showLineNumbers);
    EXPECT_EQ(c->colours[kTextRGB], MakeColour(10, 20, 30));
    EXPECT_FALSE(c->systemMask & (1u << kTextRGB));
    EXPECT_EQ(c->colours[kBkgndLineNumberRGB], MakeColour(250, 250, 250));
    EXPECT_EQ(c->screenSpec.face, "Lucida Console");
    EXPECT_EQ(c->screenSpec.height, -12);
    EXPECT_EQ(c->screenSpec.weight, 700);
    EXPECT_TRUE(c->screenSpec.italic);
    EXPECT_TRUE(c->screenSpec.fixedPitch);
    EXPECT_TRUE(c->hyperlinkSpec.underline);
    EXPECT_EQ(c->printerSpec.height, -32);
    ASSERT_EQ(c->blocks.size(), 2u);
    EXPECT_EQ(c->blocks[0].start, "/*");
    EXPECT_EQ(c->blocks[0].end, "*/");
    EXPECT_EQ(c->blocks[0].colour, MakeColour(0, 128, 0));
    EXPECT_EQ(c->blocks[0].background, kNoColour);
    EXPECT_TRUE(c->blocks[1].endOfLine);
    // Case=N: the second spelling of onClick is the same keyword; "blockquote" is a keyword too.
    const KeywordEntry* kw = FindKeyword(*c, "ONCLICK", 7);
    ASSERT_TRUE(kw);
    EXPECT_EQ(kw->text, "onClick");
    EXPECT_EQ(kw->colour, MakeColour(0, 0, 255));
    EXPECT_TRUE(FindKeyword(*c, "blockquote", 10));
    const KeyMacro* macro = c->keys.Find({0x24, kShift | kCtrl});
    ASSERT_TRUE(macro);
    ASSERT_EQ(macro->steps.size(), 2u);
    EXPECT_EQ(macro->steps[0].command, kCaretHomeExtend);
    EXPECT_EQ(ExpandInsertText(macro->steps[1].data), "a\r\nb");
    ASSERT_EQ(c->indentWords.size(), 1u);
    EXPECT_EQ(c->indentWords[0].direction, 1);
}

// Every one of the 87 keywords is taken, each with a good value: no message, and the values land.
TEST(ConfigLoader, TakesEveryKeyword)
{
    const char* text =
        "Default=Y\nName=All\nExtentions=.all\nDelimiters=;,\nBlock=b\nBlock\nStart=<\nStartOfLine=Y\nEnd=>\n"
        "EndBlock\nKeywords\nword\nEndKeywords\nCase=N\nAutoIndent=N\nSmartIndent=Y\nSelectionMargin=N\n"
        "ClearSpaces=N\nAutoMatch=Y\nWholeWords=Y\nSearchCase=Y\nVisibleAutoMatchError=Y\nDnDEnabled=N\n"
        "SyntaxColoring=N\nGlobalSyntaxColoring=N\nPrintSyntaxColoring=N\nPrintHeader=Y\nPrintFooter=Y\n"
        "PrintScreenFont=N\nFastScroll=N\nClearUndoAfterSave=Y\nVisibleSpaces=Y\nShowLineNumbers=Y\nCaseFixing=Y\n"
        "SolidMargin=Y\nColorBracketMatches=Y\nHighlightLine=Y\nPrintLineNumbers=Y\nParseHyperlinks=Y\n"
        "ShowHyperTips=Y\nRGB=1,2,3\nBkRGB=*\nTextRGB=0,0,0\nBackgroundRGB=1,1,1\nBackgroundReadOnlyRGB=2,2,2\n"
        "MarginRGB=3,3,3\nBookmarkRGB=4,4,4\nDelimiterRGB=6,6,6\nNumberRGB=5,5,5\nSelectedTextRGB=7,7,7\n"
        "SelectedBackgroundRGB=8,8,8\nLineNumberRGB=9,9,9\nBkgndLineNumberRGB=10,10,10\nBkgndNumberRGB=11,11,11\n"
        "BkgndDelimiterRGB=12,12,12\nBracketMatchRGB=13,13,13\nLineHighlightRGB=14,14,14\nHyperlinkRGB=15,15,15\n"
        "BkgndHyperlinkRGB=16,16,16\nTab=3\nEscape=\\\nMaxTrack=15\nIndentLeft=}\nIndentRight={\nCaretType=2\n"
        "FileMode=1\nDateFormat=yyyy\nTimeFormat=HH\nScreenFont=Courier New\nPrinterFont=Courier New,-10,700,0,0,0\n"
        "HeaderLeft=%F\nHeaderCenter=%p\nHeaderRight=%P\nFooterLeft=%d\nFooterCenter=%t\nFooterRight=%%\n"
        "BackupFiles=Y\nBackupDirectory=c:\\backup\nBackupMode=1\nColumnMarkerOffset=72\nColumnMarker=Y\n"
        "Key=F5\nHardcoded=1\nRun=tool.exe\nOpen=http://x\nInsertText=hi\nEndKey\nUndoSize=200\n";
    FakeEnvironment env;
    auto c = Load(env, text);
    ASSERT_TRUE(c);
    EXPECT_TRUE(env.messages.empty()) << env.messages.front().id << " on line " << env.messages.front().line;
    EXPECT_TRUE(c->isDefault);
    EXPECT_EQ(c->blocks.size(), 1u);
    EXPECT_TRUE(c->blocks[0].startOfLine);
    EXPECT_FALSE(c->globalSyntaxColoring);
    EXPECT_TRUE(c->clearUndoAfterSave && c->caseFixing && c->columnMarker && c->backupFiles && c->showHyperTips);
    EXPECT_EQ(c->tab, 3);
    EXPECT_EQ(c->maxTrack, 15);
    EXPECT_EQ(c->caretType, 2);
    EXPECT_EQ(c->fileMode, 1);
    EXPECT_EQ(c->backupMode, 1);
    EXPECT_EQ(c->columnMarkerOffset, 72);
    EXPECT_EQ(c->undoSize, 200);
    EXPECT_EQ(c->backupDirectory, "c:\\backup");
    EXPECT_EQ(c->headerFooter[kFooterRight], "%%");
    EXPECT_EQ(c->printerSpec.weight, 700);
    for (int i = 0; i < kColourCount; ++i)
        EXPECT_EQ(c->colours[i], MakeColour(i, i, i)) << i;
    EXPECT_EQ(c->systemMask, 0u);
    ASSERT_TRUE(c->keys.Find({0x74, 0}));
    EXPECT_EQ(c->keys.Find({0x74, 0})->steps.size(), 4u);
}

// Each bad line: its message and its line number (every LF counts, also in memory blocks); the
// load goes on, except for an unknown command.
TEST(ConfigLoader, ReportsBadValuesWithTheirLineNumbers)
{
    struct Case {
        const char* line;
        int message;
    };
    const Case cases[] = {
        {"Tab=1", kMsgTabRange}, {"Tab=x", kMsgConfigError}, {"Tab=", kMsgArgumentsRequired},
        {"RGB=*", kMsgConfigError}, {"TextRGB=300,0,0", kMsgConfigError}, {"TextRGB=-1,0,0", kMsgConfigError},
        {"TextRGB=1,2", kMsgConfigError}, {"Start=x", kMsgOutsideBlock}, {"EndBlock", kMsgEndBlockAlone},
        {"EndKeywords", kMsgEndKeywordsAlone}, {"CaretType=4", kMsgCaretTypeRange},
        {"UndoSize=500", kMsgDefaultOnly}, {"MaxTrack=15", kMsgDefaultOnly}, {"FileMode=3", kMsgFileModeRange},
        {"Key=Shift ", kMsgBadKey}, {"EndKey", kMsgEndKeyAlone}, {"Hardcoded=5", kMsgOutsideKey},
        {"BackupMode=9", kMsgBackupModeRange}, {"ScreenFont=NoSuchFont", kMsgBadFont},
        {"ScreenFont=Courier,1,2", kMsgConfigError}, {"ColumnMarkerOffset=300", kMsgColumnMarkerRange},
    };
    for (const Case& c : cases) {
        FakeEnvironment env;
        auto config = LoadParserConfigText(std::string("Name=x\n\n\n") + c.line + "\nTab=6\n", "MemoryHandle", true, env);
        ASSERT_TRUE(config) << c.line;
        EXPECT_EQ(env.messages, (std::vector<ReportedMessage>{{c.message, 4, "MemoryHandle"}})) << c.line;
        EXPECT_EQ(config->tab, 6) << c.line;  // the line after it was read
    }
    // Bad values inside key bindings and default-only settings: reported, the load succeeds.
    FakeEnvironment env2;
    auto ok = Load(env2, "Default=Y\nUndoSize=50\nKey=F1\nHardcoded=9999\nKey=F2\nHardcoded=z\nEndKey\n");
    ASSERT_TRUE(ok);
    EXPECT_EQ(env2.messages, (std::vector<ReportedMessage>{{kMsgUndoSizeRange, 2, "test.qpp"},
                                                            {kMsgUnknownCode, 4, "test.qpp"},
                                                            {kMsgKeyAgain, 5, "test.qpp"},
                                                            {kMsgBadArgument, 6, "test.qpp"}}));
    FakeEnvironment env3;
    EXPECT_FALSE(Load(env3, "Name=x\nExtensions=.txt\n"));
    EXPECT_EQ(env3.messages, (std::vector<ReportedMessage>{{kMsgUnknownCommand, 2, "test.qpp"}}));
    EXPECT_EQ(env3.liveFonts, 0);  // a failed load frees what it made
}

TEST(ConfigLoader, LongLinesComeInPiecesAndALastLineWithoutBreakCounts)
{
    FakeEnvironment env;
    // A 3000-character name: the first 1023 characters are the name, the rest are further lines
    // that are no commands.
    auto c = Load(env, "Name=" + std::string(3000, 'n') + "\nTab=5");
    EXPECT_FALSE(c);
    ASSERT_EQ(env.messages.size(), 1u);
    EXPECT_EQ(env.messages[0].id, kMsgUnknownCommand);
    EXPECT_EQ(env.messages[0].line, 2);
    FakeEnvironment env2;
    auto d = Load(env2, "Keywords\n" + std::string(2000, 'k') + "\nEndKeywords\nTab=5");
    ASSERT_TRUE(d);
    EXPECT_EQ(d->tab, 5);
    EXPECT_TRUE(FindKeyword(*d, std::string(1023, 'k').c_str(), 1023));
}

TEST(ConfigLoader, KeywordBucketsFollowTheCaseSwitch)
{
    FakeEnvironment env;
    auto c = Load(env, "Case=Y\nRGB=1,0,0\nKeywords\nonClick\nonclick\nonClick\nEndKeywords\n");
    ASSERT_TRUE(c);
    ASSERT_TRUE(FindKeyword(*c, "onclick", 7));
    EXPECT_EQ(FindKeyword(*c, "onclick", 7)->text, "onclick");
    EXPECT_FALSE(FindKeyword(*c, "ONCLICK", 7));
    size_t entries = 0;
    for (const auto& bucket : c->keywords)
        entries += bucket.size();
    EXPECT_EQ(entries, 2u);
}

// Malformed input, made from valid lines cut, doubled and scrambled with fixed seeds: the loader
// answers with a configuration or a clear failure, never a crash, and leaks no font.
TEST(ConfigLoader, SurvivesMalformedText)
{
    const std::string valid = BuiltinConfigText("html.qpp");
    ASSERT_FALSE(valid.empty());
    const std::string alphabet = "=;,*\\\n\r\t 0123456789-ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz\"'<>/{}";
    int loaded = 0, failed = 0;
    for (unsigned seed = 1; seed <= 300; ++seed) {
        std::mt19937 rng(seed);
        std::string text = valid.substr(rng() % valid.size(), 200 + rng() % 2000);
        const int edits = static_cast<int>(rng() % 40);
        for (int i = 0; i < edits && !text.empty(); ++i) {
            const size_t at = rng() % text.size();
            switch (rng() % 3) {
            case 0: text[at] = alphabet[rng() % alphabet.size()]; break;
            case 1: text.insert(at, std::string(rng() % 1500, alphabet[rng() % alphabet.size()])); break;
            default: text.erase(at, rng() % 30); break;
            }
        }
        if (rng() % 4 == 0)
            text[rng() % text.size()] = static_cast<char>(rng() % 256);
        FakeEnvironment env;
        {
            auto c = LoadParserConfigText(text, "MemoryHandle", true, env);
            (c ? loaded : failed) += 1;
            if (!c && !text.empty()) {  // an empty text fails without a message
                ASSERT_FALSE(env.messages.empty()) << "seed " << seed;
                EXPECT_EQ(env.messages.back().id, kMsgUnknownCommand) << "seed " << seed;
            }
        }
        EXPECT_EQ(env.liveFonts, 0) << "seed " << seed;
    }
    EXPECT_GT(loaded, 0);
    EXPECT_GT(failed, 0);
}

TEST(ConfigChoice, LastMatchInListOrderWinsElseTheDefault)
{
    FakeEnvironment env;
    auto def = CreateBuiltinDefaultConfig(env);
    auto html = Load(env, "Name=HTML\nExtentions=.html;.htm\n");
    auto text1 = Load(env, "Name=T1\nExtentions=.txt\n");
    auto text2 = Load(env, "Name=T2\nExtentions=.txt;.log\n");
    const std::vector<ParserConfig*> list{def.get(), html.get(), text1.get(), text2.get()};
    struct Case {
        const char* name;
        const char* config;
        int matched;
    };
    const Case cases[] = {
        {"page.HTM", "HTML", 1}, {"x.ht", "Default", 0}, {"a.txt", "T2", 1}, {"noext", "Default", 0},
        {"", "Default", 1}, {"dir.htm\\file", "Default", 0}, {"b.html", "HTML", 1}, {"c.tx", "Default", 0},
    };
    for (const Case& c : cases) {
        int matched = -1;
        ParserConfig* chosen = ChooseParserConfig(list, c.name, &matched);
        ASSERT_TRUE(chosen) << c.name;
        EXPECT_EQ(chosen->name, c.config) << c.name;
        EXPECT_EQ(matched, c.matched) << c.name;
    }
}

TEST(KeyMap, DescriptorsAndTheDefaultMap)
{
    FakeEnvironment env;
    auto layout = [&](char c) { return env.KeyForChar(c); };
    EXPECT_EQ(ParseKeyDescriptor("ctrl shift HOME", layout), (KeyStroke{0x24, kShift | kCtrl}));
    EXPECT_EQ(ParseKeyDescriptor("Ctrl Page", layout), (KeyStroke{0x21, kCtrl}));
    EXPECT_EQ(ParseKeyDescriptor("F1\r\n", layout), (KeyStroke{0x70, 0}));
    EXPECT_EQ(ParseKeyDescriptor("Ctrl ]", layout), (KeyStroke{0xDD, kCtrl}));
    EXPECT_EQ(ParseKeyDescriptor("Shift ", layout), std::nullopt);
    EXPECT_EQ(ParseKeyDescriptor("Bogus", layout), std::nullopt);
    KeyBindings keys;
    BuildDefaultKeyMap(keys, layout);
    EXPECT_EQ(keys.Find({'C', kAlt})->steps[0].command, kClipCopyAppend);
    EXPECT_EQ(keys.Find({'P', kCtrl})->steps[0].command, kFilePrint);
    EXPECT_EQ(keys.Count(), DefaultKeyMap().size() - 2);
    EXPECT_EQ(CommandCount(), 93);
}

// The three built-in configurations load without a message and carry the whole default key map.
TEST(BuiltinConfigs, LoadCleanlyWithTheFullKeyMap)
{
    struct Case {
        const char* file;
        const char* name;
        const char* extension;
    };
    const Case cases[] = {{"html.qpp", "HTML", ".htm"}, {"css.qpp", "CSS", ".css"}, {"javascript.qpp", "Java Script", ".js"}};
    FakeEnvironment env;
    auto layout = [&](char c) { return env.KeyForChar(c); };
    KeyBindings defaults;
    BuildDefaultKeyMap(defaults, layout);
    for (const Case& c : cases) {
        auto config = LoadParserConfigText(BuiltinConfigText(c.file), "MemoryHandle", true, env);
        ASSERT_TRUE(config) << c.file;
        EXPECT_TRUE(env.messages.empty()) << c.file << ": message " << env.messages.front().id << " line " << env.messages.front().line;
        EXPECT_EQ(config->name, c.name);
        int matched = 0;
        EXPECT_EQ(ChooseParserConfig({config.get()}, std::string("x") + c.extension, &matched), config.get());
        EXPECT_EQ(config->keys.Count(), defaults.Count()) << c.file;
        for (int b = 0; b < 64; ++b) {
            for (const auto& entry : defaults.Bucket(b)) {
                const KeyMacro* macro = config->keys.Find(entry.key);
                ASSERT_TRUE(macro) << c.file << " key " << int(entry.key.virtualKey);
                EXPECT_EQ(macro->steps[0].command, entry.macro.steps[0].command) << c.file;
            }
        }
    }
}
