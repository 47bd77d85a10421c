// components/HTMLText2.h: the mark-up label's text engine: the tokenizer of its tag language (tags in
// angle brackets, entities, colour parameters) and the layout that turns the tokens into positioned
// words and markers. The label control paints what this produces.
#pragma once
#include "vcl/Graphics.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace components {

using rtl::String;
using vcl::TColor;
using vcl::TFont;
using vcl::TRect;

enum TAlignment : uint8_t { taLeftJustify, taRightJustify, taCenter };

enum TTokenKind : uint8_t {
    ttInvalid,
    ttBold,
    ttItalic,
    ttUnderline,
    ttStrike,
    ttFontName,
    ttFontSize,
    ttFontColor,
    ttBackColor,
    ttTab,
    ttTabF,
    ttSpace,
    ttBreak,
    ttText,
    ttLink,
    ttAlignLeft,
    ttAlignCenter,
    ttAlignRight,
    ttHorizontalLine,
    ttHeader1,
    ttHeader2,
    ttHeader3,
    ttLineColor,
    ttListItem,
    ttListItem2,
    ttImage,
    ttBodyBackgroundColor,
    ttSubscript,
    ttSuperscript,
    ttLine
};

struct TToken {
    TTokenKind Kind = ttInvalid;
    bool TagClose = false;
    String Text;
    int32_t Value = 0;
};

class TListToken {
public:
    int Count() const { return static_cast<int>(FItems.size()); }
    TToken* Item(int Index) const { return FItems[static_cast<size_t>(Index)].get(); }
    void Add(std::unique_ptr<TToken> Token) { FItems.push_back(std::move(Token)); }
    void Clear() { FItems.clear(); }
    // The visible text of the link closed by the token at IEnd: blanks and words back to its start.
    String GetLinkText(int IEnd) const;

private:
    std::vector<std::unique_ptr<TToken>> FItems;
};

String ReplaceEntities(const String& S);
// clNone when the text names no colour.
TColor ParseMarkupColor(const String& S);
bool ParseHexColor(const String& S, TColor& Color);
bool ParseRgbColor(const String& S, TColor& Color);

// Appends the tokens of Text to L, in text order.
void Tokenize(const String& Text, TListToken& L);
// Appends one token for accepted tag content (what stands between the brackets); false otherwise.
bool ParseTag(const String& Content, TListToken& L);

// ---- layout ----

// Marker kinds of a laid-out piece.
constexpr int32_t tagText = -1, tagHorizontalLine = 10, tagLineColor = 11, tagListItem = 12, tagListItem2 = 13,
                  tagImage = 14, tagBodyBackground = 15, tagLine = 20;

struct THqHWord {
    TRect Rect;
    String Text;
    int32_t Group = 0;
    TAlignment Align = taLeftJustify;
    std::unique_ptr<TFont> Font;
    TColor BColor = vcl::clNone;
    bool Link = false;
    int32_t LinkID = -1;
    bool Space = false;
    bool Hover = false;
    TColor ExtraColor = vcl::clNone;
    int32_t TagID = tagText;
};

struct THqHLinkData {
    String Target;
    String Text;
};

struct THqHTagHeaderParams {
    THqHTagHeaderParams(int Size);
    std::unique_ptr<TFont> Font;
    TColor BackgroundColor = vcl::clBtnFace;
    TAlignment Alignment = taLeftJustify;
    bool Transparent = true;
};

struct THqHTagSubSupParams {
    int8_t PosYDelta = 0;
    int8_t FontSizeDelta = 0;
};

// What the layout reads of the label: its text, font, width and the tag settings.
struct THqHLayoutSettings {
    THqHLayoutSettings();
    String Text;
    std::unique_ptr<TFont> Font;
    int32_t Width = 0;
    bool AutoWidth = false;
    int32_t MaxWidth = 0;
    struct {
        bool Enabled = false;
        int32_t Left = 8, Right = 8;
    } InternalMargins;
    int8_t ExtraLineSpacing = 0;
    uint8_t ExtraWordSpacing = 0;
    THqHTagHeaderParams TagH1Params{18}, TagH2Params{15}, TagH3Params{12};
    int32_t TagLIMargin = 20, TagLI2Margin = 35;
    THqHTagSubSupParams TagSUBParams, TagSUPParams;
};

struct THqHLayout {
    std::vector<std::unique_ptr<THqHWord>> LWords;
    std::vector<std::unique_ptr<THqHLinkData>> LLinkData;
    int32_t BitmapWidth = 0;
    int32_t TextWidth = 0;
    int32_t TextHeight = 0;
    int32_t Lines = 0;
};

// Tokenizes and lays out the settings' text, measuring with Canvas (whose font the pass changes).
void RebuildLayout(const THqHLayoutSettings& Lb, vcl::TCanvas* Canvas, THqHLayout& Out);

} // namespace components
