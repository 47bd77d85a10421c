// styling/hooks/DialogHook.h: dialog windows ("#32770": message boxes, common dialogs, template
// dialogs) with caption, caption buttons and frame drawn from the style.
#pragma once
#include "styling/hooks/ScrollingHooks.h"
#include "vcl/Forms.h"

namespace styling {

class TSysDialogStyleHook : public TSysScrollingStyleHook {
public:
    explicit TSysDialogStyleHook(HWND AHandle);
    ~TSysDialogStyleHook() override;

    TRect GetBorderWidths() override;
    void Paint(vcl::TCanvas* Canvas) override;
    void PaintNCBorder(vcl::TCanvas*) override {}
    void PaintNC(vcl::TCanvas* Canvas) override;
    void WndProc(TMessage& Message) override;

    bool UpdateRegion() const;
    vcl::TFormBorderStyle BorderStyle() const;
    vcl::TBorderIcons BorderIcons() const;
    vcl::TWindowState WindowState() const;
    HMENU SysMenu() const;

    TRect CaptionRect();
    TRect CloseButtonRect();
    TRect MaxButtonRect();
    TRect MinButtonRect();
    TRect HelpButtonRect();
    TRect SysMenuButtonRect();
    vcl::TPoint DialogScreenToWindow(const vcl::TPoint& Point);
    int HotButtonAt(const vcl::TPoint& Point);
    HRGN CaptionRegion();
    HICON Icon();
    bool IsCloseMissing() const;
    bool SysCloseButtonDisabled() const { return FSysCloseButtonDisabled; }
    bool FrameActive() const { return FFrameActive; }
    int PressedButton() const { return FPressedButton; }
    int HotButton() const { return FHotButton; }
    HRGN Region() const { return FRegion; }
    const TRect& LastCaptionTextRect() const { return FCaptionRect; }

    virtual void CommandClose();
    virtual void CommandHelp();
    virtual void CommandMaximize();
    virtual void CommandMinimize();
    virtual void CommandRestore();

protected:
    void Dispatch(TMessage& Message) override;

private:
    vcl::TThemedWindow CaptionElement() const;
    vcl::TThemedWindow ButtonElement(int Button) const;
    TRect ButtonRect(int Button);
    HICON LoadDialogIcon();
    void WMNCHitTestDialog(TMessage& Message);
    void WMNCLButtonDownDialog(TMessage& Message);
    void WMSize(TMessage& Message);
    void WMSetText(TMessage& Message);
    void WMPaintDialog(TMessage& Message);
    void ClaimFrame(bool Own, bool Creating = false);

    bool FFrameActive = true;
    int FPressedButton = 0;
    int FHotButton = 0;
    HICON FIcon = nullptr;
    HICON FIconHandle = nullptr;
    TRect FCaptionRect;
    TRect FSysMenuButtonRect;
    HRGN FRegion = nullptr;
    bool FSysCloseButtonDisabled = false;
    bool FGrown = false;            // the window took the style's frame at its first show
    bool FSizeAtCreate = false;     // the frame was claimed while the window was being made
    bool FCommandDuringPress = false;  // the window's own button loop sent the button's command
};

} // namespace styling
