#pragma once
// A configuration environment without a system: fonts are numbered tokens, system colours fixed,
// the keyboard layout US-like, and every message is recorded instead of shown.
#include <string>
#include <vector>

#include "editctl/model/ParserConfig.h"

namespace quill::testing {

struct ReportedMessage {
    int id;
    long line;
    std::string source;
    bool operator==(const ReportedMessage&) const = default;
};

class FakeEnvironment : public ConfigEnvironment {
public:
    FontHandle CreateFont(const FontSpec& spec) override
    {
        if (spec.face == "NoSuchFont")
            return nullptr;
        fonts.push_back(spec);
        ++liveFonts;
        return reinterpret_cast<FontHandle>(static_cast<uintptr_t>(fonts.size()));
    }
    void DestroyFont(FontHandle) override { --liveFonts; }
    Colour SystemColourValue(SystemColour which) override
    {
        switch (which) {
        case SystemColour::kWindowText: return MakeColour(1, 1, 1);
        case SystemColour::kWindow: return MakeColour(250, 250, 250);
        case SystemColour::k3DLight: return MakeColour(220, 220, 220);
        case SystemColour::kScrollBar: return MakeColour(200, 200, 200);
        case SystemColour::kHighlightText: return MakeColour(255, 255, 255);
        case SystemColour::kHighlight: return MakeColour(0, 0, 128);
        }
        return 0;
    }
    int KeyForChar(char c) override
    {
        if (c >= 'a' && c <= 'z')
            return c - 'a' + 'A';
        if (c >= 'A' && c <= 'Z')
            return 0x100 | c;
        if (c == ']')
            return 0xDD;  // VK_OEM_6
        return -1;
    }
    void Report(int id, long line, std::string_view source) override { messages.push_back({id, line, std::string(source)}); }

    std::vector<FontSpec> fonts;
    int liveFonts = 0;
    std::vector<ReportedMessage> messages;
};

} // namespace quill::testing
