// components/HTMLText2.h: the mark-up label: the tokenizer of its tag language (tags in angle brackets,
// entities, colour parameters), the layout that turns the tokens into positioned words and markers, and
// the windowless control that paints them and opens their links.
#pragma once
#include "components/PngCollection.h"
#include "vcl/Controls.h"
#include "vcl/Graphics.h"

#include <array>
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

struct THqHHeaderLayout {
    THqHHeaderLayout(int Size);
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
    THqHHeaderLayout TagH1Params{18}, TagH2Params{15}, TagH3Params{12};
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

// ---- the label ----

class THqHTMLText2;

enum THqHVerticalAlignment : uint8_t { vaTop, vaCenter, vaBottom };
enum THqHBulletType : uint8_t { btLongDash, btDash, btBullet, btCircle, btCustomString };
enum THqHKindStyleLinkProp : uint8_t { tslpNormal, tslpHover };

// A settings object of the label: each changed value is stored, then OnChange fires.
class THqHParams : public rtl::TPersistent {
public:
    rtl::TNotifyEvent OnChange;

protected:
    template <class T> void Change(T& Field, T Value) {
        if (Field == Value) return;
        Field = Value;
        Changed();
    }
    void Changed() { OnChange(this); }
};

// The look of a link's text, normal or under the mouse; its setters relay and repaint the label.
class THqHStyleLinkProp : public rtl::TPersistent {
public:
    THqHStyleLinkProp(THqHTMLText2* Owner, THqHKindStyleLinkProp Kind);

    void Assign(rtl::TPersistent* Source) override;
    TColor FontColor() const { return FFontColor; }
    void SetFontColor(TColor Value);
    TColor BackColor() const { return FBackColor; }
    void SetBackColor(TColor Value);
    bool Underline() const { return FUnderline; }
    void SetUnderline(bool Value);
    // Whether a form would store it: anything other than its kind's defaults.
    bool IsStored() const;
    // Font colour and brush (each unless clNone), underline when on.
    void ApplyTo(vcl::TCanvas* Canvas) const;

protected:
    rtl::TPersistent* GetOwner() const override;

private:
    void Changed();
    THqHTMLText2* FOwner;
    THqHKindStyleLinkProp FKind;
    TColor FFontColor;
    TColor FBackColor = vcl::clNone;
    bool FUnderline = false;
};

class THqHTagHRParams : public THqHParams {
public:
    vcl::TPenStyle Style() const { return FStyle; }
    void SetStyle(vcl::TPenStyle Value) { Change(FStyle, Value); }
    int32_t LineHeight() const { return FLineHeight; }
    void SetLineHeight(int32_t Value) { Change(FLineHeight, Value); }

private:
    vcl::TPenStyle FStyle = vcl::psSolid;
    int32_t FLineHeight = 1;
};

class THqHTagHeaderParams : public THqHParams {
public:
    THqHTagHeaderParams();
    ~THqHTagHeaderParams() override;
    vcl::TFont* Font() const { return FFont.get(); }
    void SetFont(vcl::TFont* Value) { FFont->Assign(Value); }
    TColor BackgroundColor() const { return FBackgroundColor; }
    void SetBackgroundColor(TColor Value) { Change(FBackgroundColor, Value); }
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value) { Change(FAlignment, Value); }
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value) { Change(FTransparent, Value); }
    void CopyTo(THqHHeaderLayout& Layout) const;

protected:
    explicit THqHTagHeaderParams(int Size);

private:
    void FontChanged(rtl::TObject*) { Changed(); }
    std::unique_ptr<vcl::TFont> FFont;
    TColor FBackgroundColor = vcl::clBtnFace;
    TAlignment FAlignment = taLeftJustify;
    bool FTransparent = true;
};

class THqHTagH1Params : public THqHTagHeaderParams {
public:
    THqHTagH1Params() : THqHTagHeaderParams(18) {}
};
class THqHTagH2Params : public THqHTagHeaderParams {
public:
    THqHTagH2Params() : THqHTagHeaderParams(15) {}
};
class THqHTagH3Params : public THqHTagHeaderParams {
public:
    THqHTagH3Params() : THqHTagHeaderParams(12) {}
};

class THqHInternalMargins : public THqHParams {
public:
    int32_t Left() const { return FLeft; }
    void SetLeft(int32_t Value) { Change(FLeft, Value); }
    int32_t Right() const { return FRight; }
    void SetRight(int32_t Value) { Change(FRight, Value); }
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value) { Change(FEnabled, Value); }

private:
    int32_t FLeft = 8, FRight = 8;
    bool FEnabled = false;
};

class THqHTagLIParams : public THqHParams {
public:
    THqHTagLIParams() = default;
    int32_t Margin() const { return FMargin; }
    void SetMargin(int32_t Value) { Change(FMargin, Value); }
    THqHBulletType BulletType() const { return FBulletType; }
    void SetBulletType(THqHBulletType Value) { Change(FBulletType, Value); }
    String CustomString() const { return FCustomString; }
    // Counts as a change only while the custom string is the bullet.
    void SetCustomString(const String& Value);
    uint8_t Spacing() const { return FSpacing; }
    void SetSpacing(uint8_t Value) { Change(FSpacing, Value); }
    String GetBulletText() const;

protected:
    THqHTagLIParams(int32_t Margin, THqHBulletType BulletType) : FMargin(Margin), FBulletType(BulletType) {}

private:
    int32_t FMargin = 0;
    THqHBulletType FBulletType = btBullet;
    String FCustomString;
    uint8_t FSpacing = 5;
};

class THqHTagLI1Params : public THqHTagLIParams {
public:
    THqHTagLI1Params() : THqHTagLIParams(20, btBullet) {}
};
class THqHTagLI2Params : public THqHTagLIParams {
public:
    THqHTagLI2Params() : THqHTagLIParams(35, btDash) {}
};

class THqHBorder : public THqHParams {
public:
    THqHBorder();
    ~THqHBorder() override;
    vcl::TPen* Pen() const { return FPen.get(); }
    void SetPen(vcl::TPen* Value) { FPen->Assign(Value); }
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value) { Change(FVisible, Value); }

private:
    void PenChanged(rtl::TObject*) { Changed(); }
    std::unique_ptr<vcl::TPen> FPen;
    bool FVisible = false;
};

class THqHTagScriptParams : public THqHParams {
public:
    int8_t PosYDelta() const { return FPosYDelta; }
    void SetPosYDelta(int8_t Value) { Change(FPosYDelta, Value); }
    int8_t FontSizeDelta() const { return FFontSizeDelta; }
    void SetFontSizeDelta(int8_t Value) { Change(FFontSizeDelta, Value); }

private:
    int8_t FPosYDelta = 0;
    int8_t FFontSizeDelta = 0;
};
class THqHTagSubParams : public THqHTagScriptParams {};
class THqHTagSupParams : public THqHTagScriptParams {};

using THqHEvLink = rtl::TEvent<void(rtl::TObject* Sender, int32_t LinkID, THqHLinkData* LinkData)>;
using THqHEvLinkClick =
    rtl::TEvent<void(rtl::TObject* Sender, int32_t LinkID, THqHLinkData* LinkData, bool& Handled)>;

class THqHTMLText2 : public vcl::TGraphicControl {
public:
    explicit THqHTMLText2(rtl::TComponent* AOwner);
    ~THqHTMLText2() override;

    String About() const { return FAbout; }
    String Text() const { return FText; }
    void SetText(const String& Value);
    bool AutoWidth() const { return FAutoWidth; }
    void SetAutoWidth(bool Value);
    bool AutoHeight() const { return FAutoHeight; }
    void SetAutoHeight(bool Value);
    int32_t MaxWidth() const { return FMaxWidth; }
    void SetMaxWidth(int32_t Value);
    bool AutoOpenLink() const { return FAutoOpenLink; }
    void SetAutoOpenLink(bool Value) { FAutoOpenLink = Value; }
    THqHStyleLinkProp* StyleLinkNormal() const { return FStyleLinkNormal.get(); }
    void SetStyleLinkNormal(THqHStyleLinkProp* Value) { FStyleLinkNormal->Assign(Value); }
    THqHStyleLinkProp* StyleLinkHover() const { return FStyleLinkHover.get(); }
    void SetStyleLinkHover(THqHStyleLinkProp* Value) { FStyleLinkHover->Assign(Value); }
    THqHVerticalAlignment VerticalAlignment() const { return FVerticalAlignment; }
    void SetVerticalAlignment(THqHVerticalAlignment Value);
    THqHInternalMargins* InternalMargins() const { return FInternalMargins.get(); }
    int8_t ExtraLineSpacing() const { return FExtraLineSpacing; }
    void SetExtraLineSpacing(int8_t Value);  // kept within -5..10
    uint8_t ExtraWordSpacing() const { return FExtraWordSpacing; }
    void SetExtraWordSpacing(uint8_t Value);  // kept within 0..5
    THqHTagHRParams* TagHRParams() const { return FTagHRParams.get(); }
    THqHTagH1Params* TagH1Params() const { return FTagH1Params.get(); }
    THqHTagH2Params* TagH2Params() const { return FTagH2Params.get(); }
    THqHTagH3Params* TagH3Params() const { return FTagH3Params.get(); }
    THqHTagLI1Params* TagLIParams() const { return FTagLIParams.get(); }
    THqHTagLI2Params* TagLI2Params() const { return FTagLI2Params.get(); }
    THqHTagSubParams* TagSUBParams() const { return FTagSUBParams.get(); }
    THqHTagSupParams* TagSUPParams() const { return FTagSUPParams.get(); }
    THqHBorder* Border() const { return FBorder.get(); }
    THqPngCollection* PngCollection() const { return FPngCollection; }
    void SetPngCollection(THqPngCollection* Value);
    String TagStr() const { return FTagStr; }
    void SetTagStr(const String& Value) { FTagStr = Value; }
    int32_t Lines() const { return FLines; }
    int32_t TextWidth() const { return FTextWidth; }
    int32_t TextHeight() const { return FTextHeight; }

    // The laid-out pieces and links of the last rebuild.
    const std::vector<std::unique_ptr<THqHWord>>& Words() const { return FLayout.LWords; }
    int LinkCount() const { return static_cast<int>(FLayout.LLinkData.size()); }
    // nullptr outside the link list.
    THqHLinkData* GetLinkData(int LinkID) const;
    THqHLinkData* GetSelectedLinkData() const { return GetLinkData(FSelectedLinkID); }
    bool IsLinkHover() const { return FIsLinkHover; }
    int32_t SelectedLinkID() const { return FSelectedLinkID; }

    // The collection's image at Index; nullptr without a collection or outside it.
    vcl::TPngImage* GetPngImage(int Index) const;
    // A new image loaded from the file, owned by the caller; nullptr when it is missing or unreadable.
    static std::unique_ptr<vcl::TPngImage> GetPngImageFromFile(const String& FileName);

    void RebuildLayout();
    void RebuildAndInvalidate();
    void Click() override;

    THqHEvLink OnLinkEnter, OnLinkLeave;
    THqHEvLinkClick OnLinkClick, OnLinkRightClick;

protected:
    void Loaded() override;
    void Resize() override;
    void Paint() override;
    void MouseMove(vcl::TShiftState Shift, int X, int Y) override;
    void MouseUp(vcl::TMouseButton Button, vcl::TShiftState Shift, int X, int Y) override;
    void Notification(rtl::TComponent* AComponent, rtl::TOperation Operation) override;
    void Dispatch(vcl::TMessage& Message) override;
    void CMColorChanged(vcl::TMessage& Message) override;
    void CMFontChanged(vcl::TMessage& Message) override;
    void CMMouseLeave(vcl::TCMMouseEnterLeave& Message) override;

private:
    void CheckLinkHover(int X, int Y);
    void DrawContent();
    void ParamsChanged(rtl::TObject*) { RebuildAndInvalidate(); }
    std::array<THqHParams*, 10> Params() const;
    void SetOwnCursor(vcl::TCursor Value);
    template <class T> void ChangeAndRebuild(T& Field, T Value, bool Repaint);

    String FAbout;
    THqHLayout FLayout;
    int32_t FBitmapTop = 0;
    String FText;
    bool FAutoWidth = false, FAutoHeight = false;
    int32_t FMaxWidth = 0;
    bool FAutoOpenLink = true;
    int32_t FLines = 0, FTextWidth = 0, FTextHeight = 0;
    std::unique_ptr<THqHStyleLinkProp> FStyleLinkNormal, FStyleLinkHover;
    bool FIsLinkHover = false;
    int32_t FSelectedLinkID = -1;
    bool NoCursorChange = false;
    vcl::TCursor DefaultCursor = vcl::crDefault;
    std::unique_ptr<THqHTagHRParams> FTagHRParams;
    std::unique_ptr<THqHTagH1Params> FTagH1Params;
    std::unique_ptr<THqHTagH2Params> FTagH2Params;
    std::unique_ptr<THqHTagH3Params> FTagH3Params;
    THqHVerticalAlignment FVerticalAlignment = vaTop;
    std::unique_ptr<THqHInternalMargins> FInternalMargins;
    int8_t FExtraLineSpacing = 0;
    uint8_t FExtraWordSpacing = 0;
    std::unique_ptr<THqHTagLI1Params> FTagLIParams;
    std::unique_ptr<THqHTagLI2Params> FTagLI2Params;
    std::unique_ptr<THqHBorder> FBorder;
    std::unique_ptr<THqHTagSubParams> FTagSUBParams;
    std::unique_ptr<THqHTagSupParams> FTagSUPParams;
    THqPngCollection* FPngCollection = nullptr;
    String FTagStr;
    // Measures for the layout, apart from the control's canvas, which exists only while painting.
    vcl::TBitmap FMeasure;
    bool FRebuilding = false;
};

} // namespace components
