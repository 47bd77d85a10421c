// skins/SkControls.h: skinned windowed controls that show a caption and an image-list glyph: the text
// object (caption, glyph, link, skinned hint, push tracking), the button control (groups), the push
// button (default and cancel, four-state bitmap, drop-down menu, auto-repeat) and the speed buttons.
#pragma once
#include "skins/SkItemPaint.h"
#include "skins/SkSkins.h"

#include "vcl/ActnList.h"
#include "vcl/Controls.h"
#include "vcl/ExtCtrls.h"
#include "vcl/Graphics.h"
#include "vcl/ImgList.h"
#include "vcl/Menus.h"
#include "vcl/StdCtrls.h"

namespace skins {

// Posted by a skinned popup menu to the control it was shown for, once it has closed.
constexpr UINT CM_POPUPMENUCLOSED = 0xB457;
// A button of a group tells its siblings (WParam the group, LParam the sender).
constexpr UINT CM_SKGROUPINDEXUPDATE = 0xB8AE;
// Posted by a skinned control to itself to free a timer that was stopped inside its own tick.
constexpr UINT CM_SKFREETIMER = WM_APP + 2008;

enum TSkPaintStage { pstPrePaint, pstPostPaint };
enum TTextWrapping { twNone, twEndEllipsis, twPathEllipsis, twWrap };

using TSkDrawEvent = rtl::TEvent<void(rtl::TObject* Sender, vcl::TCanvas* ACanvas, TRect ARect,
                                      TSkPaintStage PaintStage, bool& PaintDefault)>;
using TSkDrawTextEvent =
    rtl::TEvent<void(rtl::TObject* Sender, vcl::TCanvas* ACanvas, TRect ClientRect, TSkSkinStatesType State,
                     String& ACaption, TRect& ARect, UINT& Flags, bool IsCaptionRotated, TSkPaintStage PaintStage,
                     bool& PaintDefault)>;
using TSkDrawHintEvent =
    rtl::TEvent<void(rtl::TObject* Sender, vcl::TBitmap* AHintBitmap, String& AHint, bool& PaintDefault)>;
using TSkGetImageIndexEvent =
    rtl::TEvent<void(rtl::TObject* Sender, vcl::TCustomImageList*& AImageList, int& AImageIndex)>;

// What a skinned popup menu offers a drop-down button: show itself under PopupControl and post it
// CM_POPUPMENUCLOSED once closed; false when it did not show.
class ISkPopupMenu {
public:
    virtual ~ISkPopupMenu() = default;
    virtual bool InternalPopup(int X, int Y, bool ForceFocus, vcl::TControl* PopupControl) = 0;
};

class TSkTextObject;

class TSkTextObjectActionLink : public vcl::TControlActionLink {
public:
    explicit TSkTextObjectActionLink(rtl::TObject* AClient);
    bool IsCheckedLinked() override;
    bool IsImageIndexLinked() override;
    void SetChecked(bool Value) override;
    void SetImageIndex(vcl::TImageIndex Value) override;

protected:
    void AssignClient(rtl::TObject* AClient) override;
    TSkTextObject* FTextObject = nullptr;
};

class TSkTextObject : public TSkCustomControl {
public:
    explicit TSkTextObject(rtl::TComponent* AOwner);
    ~TSkTextObject() override;

    vcl::TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(vcl::TAlignment Value);
    TSkGlowDirection CaptionGlow() const { return FCaptionGlow; }
    void SetCaptionGlow(TSkGlowDirection Value);
    TColor CaptionGlowColor() const { return FCaptionGlowColor; }
    void SetCaptionGlowColor(TColor Value);
    bool Checked() { return GetChecked(); }
    void SetCheckedValue(bool Value) { SetChecked(Value); }
    bool DisabledIconCorrection() const { return FDisabledIconCorrection; }
    void SetDisabledIconCorrection(bool Value);
    bool DrawPushedCaption() const { return FDrawPushedCaption; }
    void SetDrawPushedCaption(bool Value) { FDrawPushedCaption = Value; }
    TSkGlyphLayout GlyphLayout() const { return FGlyphLayout; }
    void SetGlyphLayout(TSkGlyphLayout Value);
    vcl::TCustomImageList* Images() const { return FImages; }
    void SetImages(vcl::TCustomImageList* Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    String LinkText() const { return FLinkText; }
    void SetLinkText(const String& Value) { FLinkText = Value; }
    String LinkTextParams() const { return FLinkTextParams; }
    void SetLinkTextParams(const String& Value) { FLinkTextParams = Value; }
    bool MouseInControl() const { return FMouseInControl; }
    bool Pushed() const { return FPushed; }
    bool ShowAccelChar() const { return FShowAccelChar; }
    void SetShowAccelChar(bool Value);
    TTextWrapping Wrapping() const { return FWrapping; }
    void SetWrapping(TTextWrapping Value);

    UINT GetTextFlags();
    vcl::TAlignment GetRealAlignment() const;
    bool HasGlyph() const;
    void AdjustBounds();
    bool CanFocus() override { return false; }

    TSkDrawEvent OnDraw;
    TSkDrawTextEvent OnDrawCaption;
    TSkDrawHintEvent OnDrawHint;
    TSkGetImageIndexEvent OnGetImageIndex;
    // The class library's OnMouseEnter and OnMouseLeave follow the text object's own tracking.

protected:
    virtual void AdjustFont(vcl::TFont* AFont);
    virtual bool DoDrawHint(vcl::TBitmap* AHintBitmap, String& AHint);
    virtual bool DoDraw(vcl::TCanvas* ACanvas, const TRect& ARect, TSkPaintStage PaintStage);
    virtual int DoDrawText(vcl::TCanvas* ACanvas, TRect& ARect, UINT Flags);
    virtual void DoGetImageIndex(vcl::TCustomImageList*& AImageList, int& AImageIndex);
    virtual void DoDrawGlyph(vcl::TCanvas* ACanvas, const TRect& ARect);
    virtual TRect GetFocusRect(const TRect& ClientR, const TRect& TextR, const TRect& GlyphR);
    virtual TRect GetTextMargins();
    virtual bool IsGlassCaption();
    virtual void CalcAutoSize(int& AWidth, int& AHeight);
    virtual bool ShowFocusRect();
    virtual bool GetPushed();
    virtual void DoMouseEnter();
    virtual void DoMouseLeave();
    virtual void DoLinkClick();
    virtual bool GetChecked();
    virtual void SetChecked(bool Value);
    virtual void GetSize(TRect& TotalR, TRect& TextR, TRect& GlyphR);
    virtual vcl::TSize GetGlyphSize();

    void Paint() override;
    void Click() override;
    void Loaded() override;
    bool CanAutoSize(int& NewWidth, int& NewHeight) override;
    void KeyDown(WORD& Key, vcl::TShiftState Shift) override;
    void KeyUp(WORD& Key, vcl::TShiftState Shift) override;
    void Notification(rtl::TComponent* AComponent, rtl::TOperation Operation) override;
    void ActionChange(rtl::TObject* Sender, bool CheckDefaults) override;
    std::unique_ptr<vcl::TControlActionLink> CreateActionLink() override;
    void Dispatch(vcl::TMessage& Message) override;
    void WMMouseButton(vcl::TWMMouse& Message) override;
    void WMMouseMove(vcl::TWMMouse& Message) override;
    void WMSetFocus(vcl::TWMSetFocus& Message) override;
    void WMKillFocus(vcl::TWMKillFocus& Message) override;
    void WMEraseBkgnd(vcl::TWMEraseBkgnd& Message) override;
    void WMSetCursor(vcl::TWMSetCursor& Message) override;
    void CMMouseEnter(vcl::TCMMouseEnterLeave& Message) override;
    void CMMouseLeave(vcl::TCMMouseEnterLeave& Message) override;
    void CMEnabledChanged(vcl::TMessage& Message) override;
    void CMFontChanged(vcl::TMessage& Message) override;
    void CMTextChanged(vcl::TMessage& Message) override;
    void CMHintShow(vcl::TCMHintShow& Message) override;

    // Sends the enter or leave notification when the pointer's place disagrees with MouseInControl;
    // ForceLeave sends the leave.
    void UpdateTracking(bool ForceLeave);
    void SetPushedState(bool Value) { FPushed = Value; }

    bool FMouseInControl = false;
    bool FPushed = false;
    bool FChecked = false;
    bool FSpaceAsClick = false;

private:
    void ImageListChange(rtl::TObject* Sender);
    TRect LayoutCaption(vcl::TCanvas* ACanvas, const TRect& R, UINT Flags, TRect& TextR, TRect& GlyphR);

    vcl::TAlignment FAlignment = vcl::taLeftJustify;
    TSkGlowDirection FCaptionGlow = gldNone;
    TColor FCaptionGlowColor = vcl::clYellow;
    TSkTextRotationAngle FCaptionRotationAngle = tra0;
    bool FDisabledIconCorrection = true;
    bool FDrawPushedCaption = false;
    TSkGlyphLayout FGlyphLayout = ghlGlyphLeft;
    vcl::TCustomImageList* FImages = nullptr;
    std::unique_ptr<vcl::TChangeLink> FImageChangeLink;
    int FImageIndex = -1;
    String FLinkText;
    String FLinkTextParams;
    bool FShowAccelChar = true;
    bool FUpdating = false;
    TTextWrapping FWrapping = twNone;
};

class TSkButtonControl : public TSkTextObject {
public:
    explicit TSkButtonControl(rtl::TComponent* AOwner);

    bool AllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool Value);
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value);

    bool CanFocus() override;

protected:
    virtual bool CanUpdateExclusive() { return FGroupIndex != 0; }
    void UpdateExclusive();
    void SetChecked(bool Value) override;
    void Dispatch(vcl::TMessage& Message) override;
    void CMDialogChar(vcl::TCMDialogChar& Message) override;

private:
    bool FAllowAllUp = false;
    int FGroupIndex = 0;
};

class TSkCustomButton : public TSkButtonControl {
public:
    explicit TSkCustomButton(rtl::TComponent* AOwner);
    ~TSkCustomButton() override;

    vcl::TBitmap* Bitmap() const { return FBitmap.get(); }
    void SetBitmap(vcl::TBitmap* Value);
    bool BitmapTransparent() const { return FBitmapTransparent; }
    void SetBitmapTransparent(bool Value) { FBitmapTransparent = Value; }
    bool Active() const { return FActive; }
    bool Cancel() const { return FCancel; }
    void SetCancel(bool Value) { FCancel = Value; }
    bool Default() const { return FDefault; }
    void SetDefault(bool Value);
    bool DropDownArrow() const { return FDropDownArrow; }
    void SetDropDownArrow(bool Value);
    vcl::TPopupMenu* DropDownMenu() const { return FDropDownMenu; }
    void SetDropDownMenu(vcl::TPopupMenu* Value);
    bool DropDownMenuVisible() const { return FDropDownMenuVisible; }
    bool Flat() const { return FFlat; }
    void SetFlat(bool Value);
    vcl::TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(vcl::TModalResult Value) { FModalResult = Value; }
    bool Repeating() const { return FRepeating; }
    void SetRepeating(bool Value) { FRepeating = Value; }
    bool ToolbarStyle() const { return FToolbarStyle; }
    void SetToolbarStyle(bool Value);
    vcl::TControl* PopupControl() const { return FPopupControl; }
    void SetPopupControl(vcl::TControl* Value) { FPopupControl = Value; }
    // The timer of the running repeat (nullptr when none runs); tests look at it.
    vcl::TTimer* RepeatTimer() const { return FRepeatTimer; }

    // Four rows of equal height: normal, hot, pushed or checked, disabled.
    bool IsBitmapSkinned() const;
    TRect GetSkinStateRect() const;
    bool IsDroppedDown() const { return FDropDownMenuVisible; }
    void Click() override;

protected:
    virtual void DrawDropDownArrow(vcl::TCanvas* ACanvas, const TRect& R);
    virtual vcl::TPopupMenu* GetDropDownMenu() { return FDropDownMenu; }
    virtual void StopRepeat();
    void DiscardPendingClicks();
    void RepeatTimerTick(rtl::TObject* Sender);

    bool DoDraw(vcl::TCanvas* ACanvas, const TRect& ARect, TSkPaintStage PaintStage) override;
    void AdjustFont(vcl::TFont* AFont) override;
    TRect GetTextMargins() override;
    TRect GetFocusRect(const TRect& ClientR, const TRect& TextR, const TRect& GlyphR) override;
    bool GetPushed() override;
    void CreateWnd() override;
    void Notification(rtl::TComponent* AComponent, rtl::TOperation Operation) override;
    void Dispatch(vcl::TMessage& Message) override;
    void WMMouseButton(vcl::TWMMouse& Message) override;
    void CMDialogKey(vcl::TCMDialogKey& Message) override;
    void CMFocusChanged(vcl::TCMFocusChanged& Message) override;

private:
    void BitmapChanged(rtl::TObject* Sender);
    void SetActive(bool Value);

    std::unique_ptr<vcl::TBitmap> FBitmap;
    bool FBitmapTransparent = true;
    bool FActive = false;
    bool FCancel = false;
    bool FDefault = false;
    bool FDropDownArrow = true;
    vcl::TPopupMenu* FDropDownMenu = nullptr;
    bool FDropDownMenuVisible = false;
    bool FFlat = false;
    vcl::TModalResult FModalResult = vcl::mrNone;
    bool FRepeating = false;
    vcl::TTimer* FRepeatTimer = nullptr;
    bool FInRepeatTick = false;
    bool FRepeatTimerDoomed = false;
    bool FToolbarStyle = false;
    vcl::TControl* FPopupControl = nullptr;
};

class TSkCustomSpeedButton : public TSkCustomButton {
public:
    explicit TSkCustomSpeedButton(rtl::TComponent* AOwner);
    bool CanFocus() override { return false; }
    void Click() override;

protected:
    bool IsGlassCaption() override;
};

class TSkSpeedButton : public TSkCustomSpeedButton {
public:
    using TSkCustomSpeedButton::TSkCustomSpeedButton;
};

} // namespace skins
