// grid/CellPainters.cpp
#include "grid/CellPainters.h"

#include "rtl/Math.h"
#include "vcl/ImgList.h"
#include "vcl/Themes.h"

namespace grid {

using namespace vcl;

namespace {

LPCWSTR Wide(const rtl::String& S) {
    return reinterpret_cast<LPCWSTR>(S.utf16());
}

} // namespace

// ---- TColumnDisplay ---------------------------------------------------------------------------------------

TRect TColumnDisplay::GetTextRect() {
    return TRect(FClientRect.Left + 2, FClientRect.Top, FClientRect.Right - 2, FClientRect.Bottom);
}

UINT TColumnDisplay::TextFlags(bool Drawing) const {
    UINT Flags = DT_NOPREFIX;
    if (FColumn->BiDiMode() != bdLeftToRight) Flags |= DT_RTLREADING;
    if (FColumn->Alignment() == taRightJustify) Flags |= DT_RIGHT;
    if (FColumn->Alignment() == taCenter) Flags |= DT_CENTER;
    if (FColumn->VerticalAlignment() == taAlignBottom) Flags |= DT_BOTTOM;
    if (FColumn->VerticalAlignment() == taVerticalCenter) Flags |= DT_VCENTER;
    switch (FColumn->WrapKind()) {
    case wkEllipsis:
        if (Drawing) Flags |= DT_END_ELLIPSIS;
        break;
    case wkPathEllipsis:
        if (Drawing) Flags |= DT_PATH_ELLIPSIS;
        break;
    case wkWordWrap:
        Flags |= DT_WORDBREAK | DT_EDITCONTROL;
        break;
    case wkNone:
        break;
    }
    if (FColumn->WrapKind() != wkWordWrap && !FColumn->GetDisplayOptions().Contains(doMultiLine))
        Flags |= DT_SINGLELINE;
    return Flags;
}

void TColumnDisplay::DrawCellText(const rtl::String& Text, TRect Rect) {
    const UINT Flags = TextFlags(true);
    HDC DC = FCanvas->Handle();
    if (!(Flags & DT_SINGLELINE) && FColumn->VerticalAlignment() != taAlignTop) {
        // Multi-line text is placed by its measured height; DrawTextW centres single lines only.
        RECT Measured = Rect;
        DrawTextW(DC, Wide(Text), int(Text.size()), &Measured, Flags | DT_CALCRECT);
        if (FColumn->VerticalAlignment() == taAlignBottom)
            Rect.Top = Rect.Bottom - (Measured.bottom - Measured.top);
        else
            Rect.Top = Rect.Top + int(rtl::Round((Rect.Bottom - Measured.bottom) / 2.0));
    }
    FCanvas->Brush()->SetStyle(bsClear);
    RECT R = Rect;
    DrawTextW(FCanvas->Handle(), Wide(Text), int(Text.size()), &R, Flags);
    FCanvas->Brush()->SetStyle(bsSolid);
}

void TColumnDisplay::DrawHintMark() {
    FCanvas->Pen()->SetColor(clRed);
    FCanvas->Brush()->SetColor(clRed);
    const TRect& R = FClientRect;
    FCanvas->Polygon({{R.Right - 5, R.Top}, {R.Right - 1, R.Top}, {R.Right - 1, R.Top + 4}});
}

TSize TColumnDisplay::GetTextSize() {
    RECT R = GetTextRect();
    DrawTextW(FCanvas->Handle(), Wide(FAsString), int(FAsString.size()), &R,
              TextFlags(false) | DT_CALCRECT | DT_NOCLIP);
    return TSize{R.right - R.left, R.bottom - R.top};
}

void TColumnDisplay::PaintBackground(TColor CellColor, bool ClientCell) {
    FCanvas->Brush()->SetColor(CellColor);
    if (ClientCell)
        FCanvas->FillRect(FClientRect);
    else
        FCanvas->FrameRect(FClientRect);
}

// ---- TColumnPlay ------------------------------------------------------------------------------------------

void TColumnPlay::Show() {
    if (!FDisplay) return;
    FAsBoolean = FDisplay->AsBoolean();
    FDisplay->Paint();
}

void TColumnPlay::DoChange() {
    if (OnChange) OnChange(this);
}

void TColumnPlay::DoExpand() {
    if (OnExpand) OnExpand(this);
}

// ---- text and number cells --------------------------------------------------------------------------------

void TTextColumnDisplay::Paint() {
    TCellInfo Info;
    Info.AsString = FAsString;
    DrawCellText(FColumn->GetDrawText(Info), GetTextRect());
}

void TNumberColumnDisplay::Paint() {
    TCellInfo Info;
    Info.AsString = FAsString;
    Info.AsFloat = FAsFloat;
    DrawCellText(FColumn->GetDrawText(Info), GetTextRect());
}

// ---- check-box cells --------------------------------------------------------------------------------------

int CheckBoxSize() {
    if (IsActiveStyleEnabled()) return 16;
    return IsThemingActive() ? 13 : 11;
}

void TCheckBoxColumnDisplay::Paint() {
    DrawCheckBox(FClientRect, FAsBoolean, false, false);
}

int TCheckBoxColumnDisplay::GetContentWidth() {
    return IsThemingActive() ? 13 : 11;
}

void TCheckBoxColumnDisplay::DrawCheckBox(const TRect& R, bool Checked, bool Hot, bool Pressed) {
    const int Size = CheckBoxSize();
    const TPoint P =
        TCalcProvider::PosInRect(Size, Size, 2, R, FColumn->Alignment(), FColumn->VerticalAlignment());
    const TRect Box = Bounds(P.X, P.Y, Size, Size);
    if (Size == 16) {
        StyleServices()->DrawElement(
            FCanvas->Handle(),
            StyleServices()->GetElementDetails(Checked ? tbCheckBoxCheckedNormal : tbCheckBoxUncheckedNormal),
            Box);
        return;
    }
    if (Size == 13) {
        const TThemeLibrary& T = ThemeLibrary();
        HTHEME Theme = T.OpenThemeData(FHandle, reinterpret_cast<LPCWSTR>(u"Button"));
        if (!Theme) return;
        int State = Checked ? 5 : 1;
        if (Hot) State = Checked ? (Pressed ? 7 : 6) : (Pressed ? 3 : 2);
        const RECT Rc = Box;
        T.DrawThemeBackground(Theme, FCanvas->Handle(), BP_CHECKBOX, State, &Rc, nullptr);
        T.CloseThemeData(Theme);
        return;
    }
    FCanvas->Pen()->SetColor(clBtnShadow);
    FCanvas->Brush()->SetColor(Pressed ? clBtnFace : clWindow);
    FCanvas->Rectangle(Box);
    if (!Checked) return;
    FCanvas->Pen()->SetColor(clWindowText);
    for (int Dy = 0; Dy < 3; ++Dy)
        FCanvas->Polyline({{P.X + 2, P.Y + 4 + Dy}, {P.X + 4, P.Y + 6 + Dy}, {P.X + 9, P.Y + 1 + Dy}});
}

TRect TCheckBoxColumnPlay::CheckBoxRect() const {
    TRect Cell(0, 0, FClientRect.Width(), FClientRect.Height());
    Cell.Inflate(1, 1);
    const int Size = CheckBoxSize();
    const TPoint P =
        TCalcProvider::PosInRect(Size, Size, 2, Cell, FColumn->Alignment(), FColumn->VerticalAlignment());
    return Bounds(P.X, P.Y, Size, Size);
}

void TCheckBoxColumnPlay::Toggle() {
    FAsBoolean = !FAsBoolean;
    FAsString = FAsBoolean ? QStringLiteral("True") : QStringLiteral("False");
    DoChange();
}

void TCheckBoxColumnPlay::DoChange() {
    TColumnPlay::DoChange();
    if (auto* CheckBoxColumn = dynamic_cast<TRgCheckBoxColumn*>(FColumn)) CheckBoxColumn->DoChange();
}

void TCheckBoxColumnPlay::KeyPress(rtl::Char& Key) {
    if (Key == u' ') Toggle();
}

void TCheckBoxColumnPlay::MouseUp(TMouseButton, TShiftState, int X, int Y) {
    if (FColumn->Options().Contains(coCanClick) && CheckBoxRect().Contains(TPoint(X, Y))) Toggle();
}

void TCheckBoxColumnPlay::Show() {
    TColumnPlay::Show();
    FAsBoolean = true;
    if (FDisplay) FDisplay->Paint();
}

// ---- image cells ------------------------------------------------------------------------------------------

void TImageColumnDisplay::Paint() {
    auto* Column = dynamic_cast<TRgImageColumn*>(FColumn);
    TCustomImageList* Images = Column ? Column->Images() : nullptr;
    if (!Images || FAsInteger < 0 || FAsInteger >= Images->Count()) return;
    const TPoint P = TCalcProvider::PosInRect(Images->Width(), Images->Height(), 2, FClientRect,
                                              FColumn->Alignment(), FColumn->VerticalAlignment());
    Images->Draw(FCanvas, P.X, P.Y, FAsInteger, true);
}

int TImageColumnDisplay::GetContentWidth() {
    auto* Column = dynamic_cast<TRgImageColumn*>(FColumn);
    return Column && Column->Images() ? Column->Images()->Width() : 0;
}

// ---- tree cells -------------------------------------------------------------------------------------------

TRgTreeColumn* TTreeColumnDisplay::Tree() const {
    return dynamic_cast<TRgTreeColumn*>(FColumn);
}

TRect TTreeColumnDisplay::GetTextRect() {
    TRect R = TColumnDisplay::GetTextRect();
    R.Left += FLevel * LevelIndent + 16;
    if (Tree() && Tree()->Images()) R.Left += Tree()->Images()->Width();
    return R;
}

int TTreeColumnDisplay::GetContentWidth() {
    return TColumnDisplay::GetContentWidth() + FLevel * LevelIndent + 16;
}

void TTreeColumnDisplay::Paint() {
    TRgTreeColumn* Column = Tree();
    if (Column && Column->ShowLines()) DrawTreeLines();
    TCustomImageList* Images = Column ? Column->Images() : nullptr;
    if (Images && FImageIndex >= 0 && FImageIndex < Images->Count())
        Images->Draw(FCanvas, FClientRect.Left + FLevel * LevelIndent + 16,
                     FClientRect.Top + (FClientRect.Height() - Images->Height()) / 2, FImageIndex, true);
    if (FChildCount > 0) DrawButton();
    DrawCellText(FAsString, GetTextRect());
}

void TTreeColumnDisplay::DrawTreeLines() {
    const TRect& R = FClientRect;
    const bool HasChildren = FChildCount > 0;
    const int M = int(rtl::Round(R.Top + R.Height() / 2.0));
    auto X = [&](int Level) { return R.Left + Level * LevelIndent + 6; };
    auto VLine = [&](int Level, int Y1, int Y2) {
        FCanvas->MoveTo(X(Level), Y1);
        FCanvas->LineTo(X(Level), Y2);
    };
    FCanvas->Pen()->SetColor(clGrayText);
    if (FIsLast && !FIsFirst) VLine(FLevel, R.Top, HasChildren ? M - 4 : M);
    int ARow = FRowIndex;
    for (int i = FLevel; i >= 0; --i) {
        int NextSibling = -1;
        if (OnParentRow) OnParentRow(ARow, NextSibling);
        if (NextSibling == -1) continue;
        if (i == FLevel && HasChildren) {
            if (!FIsFirst) VLine(i, R.Top, M - 4);
            if (!FIsLast) VLine(i, M + 4, R.Bottom);
        } else if (FIsFirst) {
            VLine(i, M, FCanvas->ClipRect().Bottom);
        } else {
            VLine(i, R.Top, R.Bottom);
        }
    }
    const int Base = R.Left + FLevel * LevelIndent;
    FCanvas->MoveTo(Base + (HasChildren ? 10 : 6), M - 1);
    FCanvas->LineTo(Base + 15, M - 1);
}

void TTreeColumnDisplay::DrawButton() {
    TRgTreeColumn* Column = Tree();
    if (!Column || !Column->ShowButtons()) return;
    const TRect Box = Bounds(FClientRect.Left + FLevel * LevelIndent + 2,
                             FClientRect.Top + FClientRect.Height() / 2 - 5, ButtonSize, ButtonSize);
    if (IsThemingActive()) {
        TPngImage* Image = FExpanded ? Column->ImageCollapse() : Column->ImageExpand();
        if (Image && !Image->Empty())
            FCanvas->Draw(Box.Left, Box.Top, Image);
        else
            DrawThemedPart(FHandle, FCanvas->Handle(), Box, QStringLiteral("treeview"), 2, FExpanded ? 2 : 1);
        return;
    }
    const bool Highlight = FSelected && Column->HighlightButton();
    FCanvas->Brush()->SetColor(Highlight ? clHighlightText : clGrayText);
    FCanvas->Pen()->SetColor(Highlight ? clHighlightText : clBlack);
    FCanvas->FrameRect(Box);
    FCanvas->MoveTo(Box.Left + 2, Box.Top + 4);
    FCanvas->LineTo(Box.Right - 2, Box.Top + 4);
    if (!FExpanded) {
        FCanvas->MoveTo(Box.Left + 4, Box.Top + 2);
        FCanvas->LineTo(Box.Left + 4, Box.Bottom - 2);
    }
}

bool TTreeColumnPlay::Locked() const {
    auto* Tree = dynamic_cast<TRgTreeColumn*>(FColumn);
    return Tree && Tree->ExpandLock();
}

TRect TTreeColumnPlay::ButtonRect() const {
    TRect R = Bounds(FLevel * TTreeColumnDisplay::LevelIndent + FColumn->Padding(), 0,
                     TTreeColumnDisplay::ButtonSize, TTreeColumnDisplay::ButtonSize);
    R.Offset(2, FClientRect.Height() / 2 - 5);
    return R;
}

void TTreeColumnPlay::KeyPress(rtl::Char& Key) {
    if (!Locked() && (Key == u'+' || Key == u'-')) DoExpand();
}

void TTreeColumnPlay::MouseUp(TMouseButton, TShiftState, int X, int Y) {
    if (!Locked() && ButtonRect().Contains(TPoint(X, Y))) DoExpand();
}

// ---- factories --------------------------------------------------------------------------------------------

std::unique_ptr<TColumnDisplay> CreateColumnDisplay(TRgCustomColumn* AColumn) { return AColumn->GetColumnDisplayClass(); }

std::unique_ptr<TColumnPlay> CreateColumnPlay(TRgCustomColumn* AColumn) { return AColumn->GetColumnPlayClass(); }

} // namespace grid
