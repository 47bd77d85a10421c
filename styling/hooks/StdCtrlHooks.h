// styling/hooks/StdCtrlHooks.h: the standard controls of foreign windows (buttons, edits, list boxes,
// combo boxes and statics) painted in the style.
#pragma once
#include "styling/hooks/ScrollingHooks.h"

namespace styling {

// How a button is painted, from the button type in the low four style bits.
enum TSysButtonKind { bkPushButton, bkCheckBox, bkRadioButton, bkGroupBox, bkOwnerDrawn, bkSplitButton, bkCommandLink };
TSysButtonKind ButtonKind(LONG_PTR Style);

enum TSysCheckBoxState { cbUnchecked, cbChecked, cbGrayed };

class TSysButtonStyleHook : public TMouseTrackSysControlStyleHook {
public:
    explicit TSysButtonStyleHook(HWND AHandle);

    void Paint(vcl::TCanvas* Canvas) override;
    void PaintBackground(vcl::TCanvas* Canvas) override;
    void PaintNC(vcl::TCanvas* Canvas) override;
    void WndProc(TMessage& Message) override;

    TSysButtonKind Kind() const { return ButtonKind(FSysControl->Style()); }
    TSysCheckBoxState CheckState() const;
    // The element a check box or radio button is drawn with now.
    vcl::TThemedButton CheckElement() const;
    // Where PaintCheckBox puts the box and the text (client coordinates), for the client rectangle R.
    void CheckLayout(const TRect& R, TRect& Box, TRect& Text) const;
    // The DT_ flags of a check box's or radio button's text.
    UINT CheckTextFlags() const;

    virtual void DrawCheckText(HDC DC, const rtl::String& Text, const vcl::TThemedElementDetails& Details, TRect R);
    virtual void PaintButton(vcl::TCanvas* Canvas);
    virtual void PaintCheckBox(vcl::TCanvas* Canvas);
    virtual void PaintRadioButton(vcl::TCanvas* Canvas) { PaintCheckBox(Canvas); }
    virtual void PaintGroupBox(vcl::TCanvas* Canvas);

protected:
    void Dispatch(TMessage& Message) override;
    void MouseLeave() override { Invalidate(); }
};

class TSysEditStyleHook : public TMouseTrackSysControlStyleHook {
public:
    explicit TSysEditStyleHook(HWND AHandle);
    TRect GetBorderWidths() override;
    void PaintNC(vcl::TCanvas* Canvas) override;
    void UpdateColors() override;

protected:
    void Dispatch(TMessage& Message) override;
    void MouseEnter() override { InvalidateNC(); }
    void MouseLeave() override { InvalidateNC(); }
};

class TSysListBoxStyleHook : public TSysScrollingStyleHook {
public:
    explicit TSysListBoxStyleHook(HWND AHandle);
    TRect GetBorderWidths() override;
    void UpdateColors() override;
};

class TSysComboBoxStyleHook : public TMouseTrackSysControlStyleHook {
public:
    explicit TSysComboBoxStyleHook(HWND AHandle);
    void WndProc(TMessage& Message) override;
    void UpdateColors() override;

    vcl::TComboBoxStyle ComboStyle() const;
    bool IsDroppedDown() const;
    TRect DropButtonRect() const;
    bool MouseOnButton() const { return FMouseOnButton; }
    virtual void DrawComboBox(vcl::TCanvas* Canvas);

protected:
    void Dispatch(TMessage& Message) override;
    void MouseEnter() override { Invalidate(); }
    void MouseLeave() override;
    bool IsChildHandle(HWND H) override { return FEditHandle && FEditHandle == H; }

private:
    void WMPaintCombo(TMessage& Message);
    bool FMouseOnButton = false;
    HWND FEditHandle = nullptr;
};

class TSysStaticStyleHook : public TSysStyleHook {
public:
    explicit TSysStaticStyleHook(HWND AHandle);
    void Paint(vcl::TCanvas* Canvas) override;
    void PaintNC(vcl::TCanvas* Canvas) override;
    void WndProc(TMessage& Message) override;
    void UpdateColors() override;

    bool IsTextStatic() const;
    bool IsFrameOrLineStatic() const;
    vcl::TTextFormat StaticTextFlags() const;
};

// Icon, bitmap and metafile statics get no styling at all.
bool IsImageStatic(LONG_PTR Style);

// Registers "Button", "Edit", "ComboLBox", "ComboBox", "ListBox" and "Static" once, when the active
// style is available; the end unregisters them.
void RegisterStdCtrlStyleHooks();
void UnRegisterStdCtrlStyleHooks();

} // namespace styling
