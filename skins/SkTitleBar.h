// skins/SkTitleBar.h: the skinned title bar that replaces a form's caption and frame, with its caption,
// system-menu, minimize, maximize and close buttons, dragging, sizing and maximize rules; what it
// stands on: the subclassing of its form's and the application's window procedures, which a bar can
// leave safely whatever subclassed the window after it, and the sizing hit table of its frame.
#pragma once
#include "skins/SkStatusBar.h"
#include "vcl/Controls.h"

#include <functional>

namespace skins {

// A window procedure put in front of a window's own. The handler sees each message first and answers
// true when it handled it; everything else goes to the procedure that was there before. Remove puts the
// saved procedure back only while the window still runs this one; when another subclass came after
// it, this one stays in the chain as a plain forwarder to the saved procedure (whoever restores it later
// reaches a live forwarder, never the freed owner), and it goes with the window.
class TSkWindowSubclass {
public:
    using THandler = std::function<bool(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam, LRESULT& Result)>;

    TSkWindowSubclass() = default;
    ~TSkWindowSubclass() { Remove(); }
    TSkWindowSubclass(const TSkWindowSubclass&) = delete;
    TSkWindowSubclass& operator=(const TSkWindowSubclass&) = delete;

    // False when the window does not exist or this subclass is installed already.
    bool Install(HWND Wnd, THandler Handler);
    void Remove();
    bool Installed() const { return FLink != nullptr; }
    HWND Window() const { return FWnd; }
    // The saved procedure with the message (for a handler that runs it before or after its own work).
    LRESULT CallSaved(UINT Msg, WPARAM WParam, LPARAM LParam);

    struct TLink;

private:
    HWND FWnd = nullptr;
    TLink* FLink = nullptr;
};

// The frame sizing a press at (X, Y) of a W x H title bar would start: the WMSZ_ code (0 for none)
// and the cursor. Nothing within the client area inset by Frame.
struct TSkSizingHit {
    int Edge = 0;
    vcl::TCursor Cursor = vcl::crDefault;
};
TSkSizingHit GetSizingHitInfo(int X, int Y, int W, int H, const vcl::TPoint& Frame);

// Where the taskbar is; a test sets the probe to answer in its place.
extern bool (*TaskbarInfoProbe)(UINT& Edge, TRect& Rect, UINT& State);

// ---- the title and compound bars' buttons ----

class TSkButtonOptions : public rtl::TPersistent {
public:
    explicit TSkButtonOptions(vcl::TWinControl* AParent);
    ~TSkButtonOptions() override;

    TSkItem* CloseButton() const { return FCloseButton; }
    TSkItem* MinimizeButton() const { return FMinimizeButton; }
    TSkItem* MaximizeButton() const { return FMaximizeButton; }
    TSkRightAlignSpacerItem* RightAlignSpacer() const { return FRightAlignSpacer; }
    bars::TBarGroupItem* EditableItems() const { return FEditableItems; }

    bool ButtonBorders() const { return FButtonBorders; }
    void SetButtonBorders(bool Value) { FButtonBorders = Value; }
    bool Caption() const { return FCaption; }
    void SetCaption(bool Value);
    bool Close() const { return FClose; }
    void SetClose(bool Value);
    bool Minimize() const { return FMinimize; }
    void SetMinimize(bool Value);
    bool Maximize() const { return FMaximize; }
    void SetMaximize(bool Value);
    const rtl::String& CaptionLabel() const { return FCaptionLabel; }
    void SetCaptionLabel(const rtl::String& Value);
    int CaptionImageIndex() const { return FCaptionImageIndex; }
    void SetCaptionImageIndex(int Value);
    int CloseImageIndex() const { return FCloseImageIndex; }
    void SetCloseImageIndex(int Value);
    int MinimizeImageIndex() const { return FMinimizeImageIndex; }
    void SetMinimizeImageIndex(int Value);
    int MaximizeImageIndex() const { return FMaximizeImageIndex; }
    void SetMaximizeImageIndex(int Value);
    int RestoreImageIndex() const { return FRestoreImageIndex; }
    void SetRestoreImageIndex(int Value);
    int TitleBarMaxSize() const { return FTitleBarMaxSize; }
    void SetTitleBarMaxSize(int Value);

    virtual void DrawButtonImage(rtl::TObject*, vcl::TCanvas*, TSkSkinStatesType, TSkPaintStage,
                                 vcl::TCustomImageList*&, int&, TRect&, bool&) {}
    virtual void DrawButtonBackground(rtl::TObject* Sender, vcl::TCanvas* ACanvas, TRect ARect,
                                      TSkMenuItemInfo ItemInfo, TSkPaintStage PaintStage, bool& PaintDefault);
    virtual void ButtonClick(rtl::TObject* Sender) = 0;
    // Made once, by the owner, right after the options: a base constructor cannot call a derived one.
    virtual void CreateButtons();
    virtual void UpdateSpacerVisibility();
    virtual void SetupButton(TSkCustomItem* B);
    virtual bool IsRestoreButton(TSkCustomItem* B) = 0;
    virtual void SetupButtonIcon(TSkCustomItem* B);
    // Moves B to the start of the toolbar (nothing calls it here; kept for users of the class).
    void MoveItemToTheLeft(TSkCustomItem* B);

protected:
    vcl::TWinControl* FParentControl = nullptr;
    TSkToolbar* FToolbar = nullptr;
    bars::TBarGroupItem* FEditableItems = nullptr;
    TSkItem* FCloseButton = nullptr;
    TSkItem* FMinimizeButton = nullptr;
    TSkItem* FMaximizeButton = nullptr;
    TSkRightAlignSpacerItem* FRightAlignSpacer = nullptr;

private:
    int FCaptionImageIndex = -1, FCloseImageIndex = -1, FMinimizeImageIndex = -1, FMaximizeImageIndex = -1,
        FRestoreImageIndex = -1;
    rtl::String FCaptionLabel;
    bool FCaption = true, FClose = true, FMinimize = true, FMaximize = true, FButtonBorders = true;
    int FTitleBarMaxSize = 21;
};

class TSkCustomTitleBar;

class TSkTitleBarButtonOptions : public TSkButtonOptions {
public:
    explicit TSkTitleBarButtonOptions(TSkCustomTitleBar* ATitleBar);

    bool SystemMenu() const { return FSystemMenu; }
    void SetSystemMenu(bool Value);
    TSkSystemMenuItem* SystemButton() const { return FSystemButton; }

    void DrawButtonBackground(rtl::TObject* Sender, vcl::TCanvas* ACanvas, TRect ARect, TSkMenuItemInfo ItemInfo,
                              TSkPaintStage PaintStage, bool& PaintDefault) override;
    void ButtonClick(rtl::TObject* Sender) override;
    void CreateButtons() override;
    void UpdateSpacerVisibility() override;
    bool IsRestoreButton(TSkCustomItem* B) override;

private:
    bool FSystemMenu = true;
    TSkSystemMenuItem* FSystemButton = nullptr;
    TSkCustomTitleBar* FTitleBar = nullptr;
};

// ---- the title bar ----

class TSkTitleToolbar : public TSkToolbar {
public:
    explicit TSkTitleToolbar(rtl::TComponent* AOwner);

    TColor GetItemsTextColor(TSkSkinStatesType State) override;
    int GetRightAlignMargin() override;

protected:
    void MouseDown(vcl::TMouseButton Button, vcl::TShiftState Shift, int X, int Y) override;

private:
    TSkCustomTitleBar* TitleBar() const;
};

class TSkCustomTitleBar : public TSkCompoundBar {
public:
    explicit TSkCustomTitleBar(rtl::TComponent* AOwner);
    ~TSkCustomTitleBar() override;

    bool Active() const { return FActive; }
    void SetActive(bool Value);
    bool MouseActive() const { return FMouseActive; }
    void SetMouseActive(bool Value);
    bool FixedSize() const { return FFixedSize; }
    void SetFixedSize(bool Value) { FFixedSize = Value; }
    bool FullScreenMaximize() const { return FFullScreenMaximize; }
    void SetFullScreenMaximize(bool Value);
    TSkTitleBarButtonOptions* Options() const { return FOptions.get(); }
    vcl::TCustomForm* ParentForm() const { return FParentForm; }
    bool IsActive() const { return FActive && FMouseActive; }

    bars::TBarCustomItem* GetRootItems() override;
    vcl::TPoint GetFrameSize();
    TRect GetClientAreaRect();
    void ChangeTitleBarState(bool Activate);
    bool FormMaximized();
    // Shows the form's system menu at P (screen coordinates); a test may take it over.
    virtual void PopupSystemMenu(const vcl::TPoint& P);
    virtual void DoDrawBackground(vcl::TCanvas* ACanvas, const TRect& ARect, TSkPaintStage PaintStage,
                                  bool& PaintDefault);
    void DoDrawDockBackground(vcl::TCanvas* ACanvas, const TRect& ARect, TSkPaintStage PaintStage,
                              bool& PaintDefault) override;

    TSkDrawEvent OnDrawBackground;

protected:
    void Loaded() override;
    void MouseDown(vcl::TMouseButton Button, vcl::TShiftState Shift, int X, int Y) override;
    void Dispatch(vcl::TMessage& Message) override;
    void AdjustClientRect(TRect& Rect) override;
    // The form's messages before its own procedure; true when handled.
    virtual bool ParentFormWndProc(UINT Msg, WPARAM WParam, LPARAM LParam, LRESULT& Result);
    virtual bool AppWndProc(UINT Msg, WPARAM WParam, LPARAM LParam, LRESULT& Result);

private:
    friend class TSkTitleToolbar;
    friend class TSkTitleBarButtonOptions;
    void SysCommand(WPARAM Command);
    void HookForm();
    bool FormHasMenuBar();
    void UpdateRegion();
    void WindowPosChanged();

    bool FActive = true;
    bool FFixedSize = false;
    bool FFullScreenMaximize = false;
    bool FMouseActive = true;
    std::unique_ptr<TSkTitleBarButtonOptions> FOptions;
    TSkWindowSubclass FFormSubclass;
    TSkWindowSubclass FAppSubclass;
    HRGN FRegion = nullptr;
    bool FUpdateRegionCalled = false;
    vcl::TCustomForm* FParentForm = nullptr;
};

class TSkTitleBar : public TSkCustomTitleBar {
public:
    using TSkCustomTitleBar::TSkCustomTitleBar;
};

} // namespace skins
