// controls/RgCollection.h: the first-generation panels: margins, the panel base, and the header panel,
// a container under a styled header strip that collapses sideways to a narrow strip.
#pragma once
#include "controls/RgSharedDraw.h"
#include "rtl/Filer.h"
#include "vcl/Controls.h"
#include "vcl/Graphics.h"

namespace controls {

using rtl::String;
using rtl::TComponent;
using rtl::TNotifyEvent;
using rtl::TObject;

class TRgIndent : public rtl::TPersistent {
public:
    TRgIndent() = default;
    int Left() const { return FLeft; }
    int Top() const { return FTop; }
    // Every setter notifies, changed or not.
    void SetLeft(int Value);
    void SetTop(int Value);
    void Assign(rtl::TPersistent* Source) override;

    TNotifyEvent OnChange;

protected:
    void DoChange();

private:
    int FLeft = 0;
    int FTop = 0;
};

class TRgMargins : public TRgIndent {
public:
    TRgMargins() = default;
    int Bottom() const { return FBottom; }
    int Right() const { return FRight; }
    void SetBottom(int Value);
    void SetRight(int Value);
    void Assign(rtl::TPersistent* Source) override;

private:
    int FBottom = 0;
    int FRight = 0;
};

// Styles of the flip panel's header (declared with the panel family).
enum THeaderStyle {
    hsAuto, hsFadeAway, hsGradient, hsInverseGradient, hsOffice2007, hsSolid, hsTopGradient, hsTransparent, hsVista,
    hsWindowsLive
};

// The panels' base. Its border (BorderWidth) lies outside the client area, as the panels paint it in
// the non-client area; children are placed inside the client area only.
class TRgCollectionControl : public vcl::TCustomControl {
public:
    explicit TRgCollectionControl(TComponent* AOwner);

protected:
    void AdjustClientRect(TRect& Rect) override;
    void Dispatch(vcl::TMessage& Message) override;
    virtual void DoGestureHook(const vcl::TGestureEventInfo& EventInfo, bool& Handled) {
        DoGesture(EventInfo, Handled);
    }
    // Frames of BorderWidth pixels in Color around the window's outside.
    void FrameWindow(TColor Color);
};

enum TDisplayStyle { dsNormal, dsHeaderOnly, dsPanelOnly };
enum TRgHeaderStyle { psFlat, psNormal, psSectionHeader, psVista, psWindowsLive };
enum THeaderOption { hoClickOnBodyExpand, hoColorSchemeFont, hoCollapseButton };
using THeaderOptions = rtl::TSet<THeaderOption>;
enum TRgPanelStyle { ptDefault, ptGradient, ptInverseGradient };
using TCollapseEvent = rtl::TEvent<void(TObject* Sender, bool& Accept)>;

class TRgHeaderPanel : public TRgCollectionControl {
public:
    static constexpr int kCollapseThreshold = 33;

    explicit TRgHeaderPanel(TComponent* AOwner);
    ~TRgHeaderPanel() override;

    bool AdaptiveColors() const { return FAdaptiveColors; }
    void SetAdaptiveColors(bool Value);
    TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor Value);
    String Caption() const { return FCaption; }
    void SetCaption(const String& Value);
    int CollapseWidth = 33;
    TColorScheme ColorScheme() const { return FColorScheme; }
    void SetColorScheme(TColorScheme Value);
    TDisplayStyle DisplayStyle() const { return FDisplayStyle; }
    void SetDisplayStyle(TDisplayStyle Value);
    TDirection DrawDirection() const { return FDrawDirection; }
    void SetDrawDirection(TDirection Value);
    bool Expanded() const { return FExpanded; }
    void SetExpanded(bool Value);
    vcl::TBitmap* Glyph() const { return FGlyph.get(); }
    void SetGlyph(vcl::TBitmap* Value) { FGlyph->Assign(Value); }
    TColor HeaderColor() const { return FHeaderColor; }
    void SetHeaderColor(TColor Value);
    TColor HeaderColorTo() const { return FHeaderColorTo; }
    void SetHeaderColorTo(TColor Value);
    vcl::TFont* HeaderFont() const { return FHeaderFont.get(); }
    void SetHeaderFont(vcl::TFont* Value);
    TColor HeaderLineColor() const { return FHeaderLineColor; }
    void SetHeaderLineColor(TColor Value);
    int HeaderSize() const { return FHeaderSize; }
    void SetHeaderSize(int Value);
    TRgHeaderStyle HeaderStyle() const { return FHeaderStyle; }
    void SetHeaderStyle(TRgHeaderStyle Value);
    int Indent() const { return FIndent; }
    void SetIndent(int Value);
    TRgMargins* InnerMargins() const { return FInnerMargins.get(); }
    // Copies the four values (the margins stay the panel's own object).
    void SetInnerMargins(TRgMargins* Value) { FInnerMargins->Assign(Value); }
    THeaderOptions Options() const { return FOptions; }
    void SetOptions(THeaderOptions Value);
    TRgPanelStyle PanelStyle() const { return FPanelStyle; }
    void SetPanelStyle(TRgPanelStyle Value);
    bool ParentHeaderFont() const { return FParentHeaderFont; }
    void SetParentHeaderFont(bool Value);
    vcl::TPicture* Picture() const { return FPicture.get(); }
    void SetPicture(vcl::TPicture* Value) { FPicture->Assign(Value); }
    int FullWidth() const { return FFullWidth; }
    TButtonState ButtonState() const { return FBtnState; }

    TRect GetButtonRect();

    TNotifyEvent OnChange;
    TCollapseEvent OnCollapse;
    TCollapseEvent OnExpand;
    TNotifyEvent OnGlyphClick;
    TNotifyEvent OnHeaderClick;

protected:
    virtual void DrawHeaderButton(const TRect& R);
    virtual void DrawHeaderButtonBackground(const TRect& R);
    virtual void DrawFlatHeader(const TRect& R);
    virtual void DrawNormalHeader(const TRect& R);
    virtual void DrawSectionHeader(const TRect& R);
    virtual void DrawVistaHeader(const TRect& R);
    virtual void DrawWindowsLiveHeader(const TRect& R);
    virtual void DrawBorder();

    void Paint() override;
    void AdjustClientRect(TRect& Rect) override;
    void DefineProperties(rtl::TFiler* Filer) override;
    void Dispatch(vcl::TMessage& Message) override;
    void WMSize(vcl::TWMSize& Message) override;
    void WMEraseBkgnd(vcl::TWMEraseBkgnd& Message) override { Message.Result = 1; }
    void CMMouseLeave(vcl::TCMMouseEnterLeave& Message) override;
    void CMTextChanged(vcl::TMessage& Message) override;
    void CMParentFontChanged(vcl::TMessage& Message) override;
    void MouseDown(vcl::TMouseButton Button, vcl::TShiftState Shift, int X, int Y) override;
    void MouseMove(vcl::TShiftState Shift, int X, int Y) override;
    void MouseUp(vcl::TMouseButton Button, vcl::TShiftState Shift, int X, int Y) override;
    virtual void DoCollapse(bool& Accept) { OnCollapse(this, Accept); }
    virtual void DoExpand(bool& Accept) { OnExpand(this, Accept); }
    virtual void DoGlyphClick() { OnGlyphClick(this); }
    virtual void DoHeaderClick() { OnHeaderClick(this); }

private:
    TRect HeaderRect() { return TRect(0, 0, ClientWidth(), FHeaderSize); }
    TRect GlyphRect() const;
    void DrawPanelBody(const TRect& R);
    void SetButtonState(TButtonState Value);
    void CopyFontToHeaderFont();
    void GlyphChanged(TObject* Sender);
    void PictureChanged(TObject* Sender);
    void HeaderFontChanged(TObject* Sender);
    void MarginsChanged(TObject* Sender);
    void ReadFullWidth(rtl::TReader* Reader) { FFullWidth = static_cast<int>(Reader->ReadInteger()); }
    void WriteFullWidth(rtl::TWriter* Writer) { Writer->WriteInteger(FFullWidth); }

    bool FAdaptiveColors = true;
    TColor FBorderColor = 0;
    String FCaption;
    TColorScheme FColorScheme = csDefault;
    TDisplayStyle FDisplayStyle = dsNormal;
    TDirection FDrawDirection = diLeftToRight;
    bool FExpanded = true;
    std::unique_ptr<vcl::TBitmap> FGlyph;
    TColor FHeaderColor = vcl::clActiveCaption;
    TColor FHeaderColorTo = vcl::clNone;
    std::unique_ptr<vcl::TFont> FHeaderFont;
    TColor FHeaderLineColor = 0x808080;
    int FHeaderSize = 27;
    TRgHeaderStyle FHeaderStyle = psNormal;
    int FIndent = 9;
    std::unique_ptr<TRgMargins> FInnerMargins;
    THeaderOptions FOptions{hoColorSchemeFont};
    TRgPanelStyle FPanelStyle = ptDefault;
    bool FParentHeaderFont = true;
    std::unique_ptr<vcl::TPicture> FPicture;

    TButtonState FBtnState;
    bool FExpanding = false;
    int FFullWidth = 245;
    bool FHeaderMouseDown = false;
    bool FCopyingFont = false;
};

// Draws a bitmap resource of the program with lime green (0x00FF00) as its transparent colour.
void DrawResourceBitmap(TCanvas* Canvas, int X, int Y, const String& Name);

} // namespace controls
