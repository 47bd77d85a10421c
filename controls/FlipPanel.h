// controls/FlipPanel.h: a container under a painted header strip; a click on the header (or its
// button) flips it between its header alone (collapsed) and its remembered full height (expanded).
#pragma once
#include "controls/RgCollection.h"
#include "vcl/StdCtrls.h"

namespace controls {

enum TFlipBackgroundStyle { bsSolid, bsVertGradient, bsTransparent };
enum TFlipKind { fkNone, fkButton, fkHeaderAndButton };

class TKWRgFlipPanel : public TRgCollectionControl {
public:
    explicit TKWRgFlipPanel(TComponent* AOwner);
    ~TKWRgFlipPanel() override;

    bool AdaptiveColors() const { return FAdaptiveColors; }
    void SetAdaptiveColors(bool Value);
    bool AllowFlip() const { return FAllowFlip; }
    void SetAllowFlip(bool Value) { FAllowFlip = Value; }
    bool AutoCollapse() const { return FAutoCollapse; }
    void SetAutoCollapse(bool Value) { FAutoCollapse = Value; }
    TColor BackgroundColor() const { return FBackgroundColor; }
    void SetBackgroundColor(TColor Value);
    TFlipBackgroundStyle BackgroundStyle() const { return FBackgroundStyle; }
    void SetBackgroundStyle(TFlipBackgroundStyle Value);
    TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor Value);
    String Caption() const { return FCaption; }
    void SetCaption(const String& Value);
    String CaptionCollapsed() const { return FCaptionCollapsed; }
    void SetCaptionCollapsed(const String& Value);
    int CaptionDeltaX() const { return FCaptionDeltaX; }
    void SetCaptionDeltaX(int Value) { StoreAndRepaintHeader(FCaptionDeltaX, Value); }
    int CaptionDeltaY() const { return FCaptionDeltaY; }
    void SetCaptionDeltaY(int Value) { StoreAndRepaintHeader(FCaptionDeltaY, Value); }
    vcl::TBitmap* CollapseGlyph() const { return FCollapseGlyph.get(); }
    void SetCollapseGlyph(vcl::TBitmap* Value) { FCollapseGlyph->Assign(Value); }
    vcl::TBitmap* ExpandGlyph() const { return FExpandGlyph.get(); }
    void SetExpandGlyph(vcl::TBitmap* Value);
    TColorScheme ColorScheme() const { return FColorScheme; }
    void SetColorScheme(TColorScheme Value);
    TDirection DrawDirection() const { return FDrawDirection; }
    void SetDrawDirection(TDirection Value);
    bool Expanded() const { return FExpanded; }
    void SetExpanded(bool Value);
    TFlipKind FlipKind() const { return FFlipKind; }
    void SetFlipKind(TFlipKind Value) { FFlipKind = Value; }
    vcl::TBitmap* Glyph() const { return FGlyph.get(); }
    void SetGlyph(vcl::TBitmap* Value);
    TColor HeaderColor() const { return FHeaderColor; }
    void SetHeaderColor(TColor Value) { StoreAndInvalidateHeader(FHeaderColor, Value); }
    TColor HeaderColorTo() const { return FHeaderColorTo; }
    void SetHeaderColorTo(TColor Value) { StoreAndInvalidateHeader(FHeaderColorTo, Value); }
    TColor HeaderHotColor() const { return FHeaderHotColor; }
    void SetHeaderHotColor(TColor Value) { StoreAndRepaintHeader(FHeaderHotColor, Value); }
    TColor HeaderHotColorTo() const { return FHeaderHotColorTo; }
    void SetHeaderHotColorTo(TColor Value) { StoreAndRepaintHeader(FHeaderHotColorTo, Value); }
    bool HeaderHotTrack() const { return FHeaderHotTrack; }
    void SetHeaderHotTrack(bool Value) { StoreAndRepaintHeader(FHeaderHotTrack, Value); }
    TColor HeaderHotBorderColor() const { return FHeaderHotBorderColor; }
    void SetHeaderHotBorderColor(TColor Value) { StoreAndRepaintHeader(FHeaderHotBorderColor, Value); }
    int HeaderHotBorderSize() const { return FHeaderHotBorderSize; }
    void SetHeaderHotBorderSize(int Value) { StoreAndRepaintHeader(FHeaderHotBorderSize, Value); }
    int HeaderTopGradientSize() const { return FHeaderTopGradientSize; }
    void SetHeaderTopGradientSize(int Value) { StoreAndRepaintHeader(FHeaderTopGradientSize, Value); }
    TColor HeaderExpandedBottomLineColor() const { return FHeaderExpandedBottomLineColor; }
    void SetHeaderExpandedBottomLineColor(TColor Value);
    vcl::TFont* HeaderFont() const { return FHeaderFont.get(); }
    void SetHeaderFont(vcl::TFont* Value);
    int HeaderHeight() const { return FHeaderHeight; }
    void SetHeaderHeight(int Value);
    THeaderStyle HeaderStyle() const { return FHeaderStyle; }
    void SetHeaderStyle(THeaderStyle Value) { StoreAndInvalidateHeader(FHeaderStyle, Value); }
    int Indent() const { return FIndent; }
    void SetIndent(int Value);
    TRgMargins* InnerMargins() const { return FInnerMargins.get(); }
    // Copies the four values (the margins stay the panel's own object).
    void SetInnerMargins(TRgMargins* Value) { FInnerMargins->Assign(Value); }
    bool ParentHeaderFont() const { return FParentHeaderFont; }
    void SetParentHeaderFont(bool Value);
    String RightCaption() const { return FRightCaption; }
    void SetRightCaption(const String& Value);
    bool RightCaptionVisible() const { return FRightCaptionVisible; }
    void SetRightCaptionVisible(bool Value);
    vcl::TFont* RightCaptionFont() const { return FRightCaptionFont.get(); }
    void SetRightCaptionFont(vcl::TFont* Value);
    vcl::TEllipsisPosition RightCaptionEllipsis() const { return FRightCaptionEllipsis; }
    void SetRightCaptionEllipsis(vcl::TEllipsisPosition Value);
    bool ShowButtons() const { return FShowButtons; }
    void SetShowButtons(bool Value);
    bool ShowGlyph() const { return FShowGlyph; }
    void SetShowGlyph(bool Value);
    bool ToggleTriangle() const { return FToggleTriangle; }
    void SetToggleTriangle(bool Value) { StoreAndRepaintHeader(FToggleTriangle, Value); }
    TColor ToggleTriangleColor() const { return FToggleTriangleColor; }
    void SetToggleTriangleColor(TColor Value) { StoreAndRepaintHeader(FToggleTriangleColor, Value); }
    TColor ToggleTriangleHotColor() const { return FToggleTriangleHotColor; }
    void SetToggleTriangleHotColor(TColor Value) { StoreAndRepaintHeader(FToggleTriangleHotColor, Value); }
    int ToggleTriangleSize() const { return FToggleTriangleSize; }
    void SetToggleTriangleSize(int Value) { StoreAndRepaintHeader(FToggleTriangleSize, Value); }
    int ToggleTriangleExpandedDeltaX() const { return FTriangleExpandedDX; }
    void SetToggleTriangleExpandedDeltaX(int Value) { StoreAndRepaintHeader(FTriangleExpandedDX, Value); }
    int ToggleTriangleExpandedDeltaY() const { return FTriangleExpandedDY; }
    void SetToggleTriangleExpandedDeltaY(int Value) { StoreAndRepaintHeader(FTriangleExpandedDY, Value); }
    int ToggleTriangleCollapsedDeltaX() const { return FTriangleCollapsedDX; }
    void SetToggleTriangleCollapsedDeltaX(int Value) { StoreAndRepaintHeader(FTriangleCollapsedDX, Value); }
    int ToggleTriangleCollapsedDeltaY() const { return FTriangleCollapsedDY; }
    void SetToggleTriangleCollapsedDeltaY(int Value) { StoreAndRepaintHeader(FTriangleCollapsedDY, Value); }
    bool TransparentButtons() const { return FTransparentButtons; }
    void SetTransparentButtons(bool Value);
    bool TransparentGlyph() const { return FTransparentGlyph; }
    void SetTransparentGlyph(bool Value);
    // The height to return to on expanding (stored with the form as FullHeight).
    int FullHeight() const { return FFullHeight; }
    void SetFullHeight(int Value) { FFullHeight = Value; }

    void Flip() { SetExpanded(!FExpanded); }
    // Every flip panel of the parent (this one too, alone without a parent), in control order, is
    // expanded or collapsed as far as it allows; expanding here collapses no sibling.
    void ExpandAll() { SetAllExpanded(true); }
    void CollapseAll() { SetAllExpanded(false); }
    void RefreshBody();
    void RepaintHeader();
    bool IsMouseInHeader();
    TRect GetHeaderRect() { return TRect(0, 0, ClientWidth(), FHeaderHeight); }
    TRect GetBodyRect() { return TRect(0, FHeaderHeight, ClientWidth(), ClientHeight()); }
    TRect GetButtonRect();

    TNotifyEvent OnChange;

protected:
    void Paint() override;
    virtual void DrawBackground();
    virtual void DrawHeader();
    virtual void DrawBorder();

    void DefineProperties(rtl::TFiler* Filer) override;
    void AdjustClientRect(TRect& Rect) override;
    void CreateParams(vcl::TCreateParams& Params) override;
    void ChangeScale(int M, int D) override;
    void Dispatch(vcl::TMessage& Message) override;
    void WMEraseBkgnd(vcl::TWMEraseBkgnd& Message) override { Message.Result = 1; }
    void WMSize(vcl::TWMSize& Message) override;
    void WMWindowPosChanged(vcl::TWMWindowPosMsg& Message) override;
    void CMDialogChar(vcl::TCMDialogChar& Message) override;
    void CMFontChanged(vcl::TMessage& Message) override;
    void CMMouseEnter(vcl::TCMMouseEnterLeave& Message) override;
    void CMMouseLeave(vcl::TCMMouseEnterLeave& Message) override;
    void CMTextChanged(vcl::TMessage& Message) override;
    void MouseMove(vcl::TShiftState Shift, int X, int Y) override;
    void MouseUp(vcl::TMouseButton Button, vcl::TShiftState Shift, int X, int Y) override;
    virtual void DoChange() { OnChange(this); }
    virtual void HeaderFontChanged(TObject* Sender);

private:
    template <class T> void StoreAndRepaintHeader(T& Field, T Value) {
        Field = Value;
        RepaintHeader();
    }
    template <class T> void StoreAndInvalidateHeader(T& Field, T Value) {
        Field = Value;
        InvalidateHeader();
    }
    void InvalidateHeader();
    void InvalidateNoErase(const TRect& R);
    void ResizeParentFlipPanels(int Delta);
    void CollapseSiblings();
    void SetAllExpanded(bool Value);
    void CopyFontToHeaderFont();
    void GlyphChanged(TObject* Sender) { (void)Sender; Invalidate(); }
    void MarginsChanged(TObject* Sender);
    void DrawButton(int X, int Y);
    void DrawToggleTriangle(int X, int Y);
    void DrawGlyphButton(int X, int Y);
    void DrawClassicButton(int X, int Y);
    void ReadFullHeight(rtl::TReader* Reader) { FFullHeight = static_cast<int>(Reader->ReadInteger()); }
    void WriteFullHeight(rtl::TWriter* Writer) { Writer->WriteInteger(FFullHeight); }

    bool FAdaptiveColors = true;
    bool FAllowFlip = true;
    bool FAutoCollapse = false;
    TColor FBackgroundColor = vcl::clBtnFace;
    TFlipBackgroundStyle FBackgroundStyle = bsSolid;
    TColor FBorderColor = 0;
    String FCaption;
    String FCaptionCollapsed;
    int FCaptionDeltaX = 0;
    int FCaptionDeltaY = 0;
    std::unique_ptr<vcl::TBitmap> FCollapseGlyph;
    std::unique_ptr<vcl::TBitmap> FExpandGlyph;
    TColorScheme FColorScheme = csDefault;
    TDirection FDrawDirection = diLeftToRight;
    bool FExpanded = true;
    TFlipKind FFlipKind = fkHeaderAndButton;
    std::unique_ptr<vcl::TBitmap> FGlyph;
    TColor FHeaderColor = 0xC0C0C0;
    TColor FHeaderColorTo = 0x808080;
    TColor FHeaderHotColor = 0xB2B2B2;
    TColor FHeaderHotColorTo = 0x9E9E9E;
    bool FHeaderHotTrack = false;
    TColor FHeaderHotBorderColor = 0x808080;
    int FHeaderHotBorderSize = 1;
    int FHeaderTopGradientSize = 4;
    TColor FHeaderExpandedBottomLineColor = vcl::clNone;
    std::unique_ptr<vcl::TFont> FHeaderFont;
    int FHeaderHeight = 18;
    THeaderStyle FHeaderStyle = hsSolid;
    int FIndent = 4;
    std::unique_ptr<TRgMargins> FInnerMargins;
    bool FParentHeaderFont = true;
    String FRightCaption;
    bool FRightCaptionVisible = true;
    std::unique_ptr<vcl::TFont> FRightCaptionFont;
    vcl::TEllipsisPosition FRightCaptionEllipsis = vcl::epEndEllipsis;
    bool FShowButtons = true;
    bool FShowGlyph = true;
    bool FToggleTriangle = true;
    TColor FToggleTriangleColor = 0x444444;
    TColor FToggleTriangleHotColor = 0xC67200;
    int FToggleTriangleSize = 9;
    int FTriangleExpandedDX = 0, FTriangleExpandedDY = 0;
    int FTriangleCollapsedDX = 0, FTriangleCollapsedDY = 0;
    bool FTransparentButtons = false;
    bool FTransparentGlyph = false;

    int FFullHeight = 200;
    bool FExpanding = false;
    bool FHeaderFontUpdating = false;
    bool HotPainted = false;
    bool MouseInHeader = false;
    bool MouseInControl = false;
};

} // namespace controls
