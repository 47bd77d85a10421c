// components/KWPlusSplitter.cpp
#include "components/KWPlusSplitter.h"

#include "rtl/Files.h"
#include "rtl/IniFiles.h"
#include "vcl/Registry.h"

#include <cmath>

namespace components {

using vcl::TRect;
using vcl::TPoint;
using vcl::TControl;

void TPersistence::Assign(rtl::TPersistent* Source) {
    auto* src = dynamic_cast<TPersistence*>(Source);
    if (!src) return rtl::TPersistent::Assign(Source);
    Enable = src->Enable;
    Key = src->Key;
    Section = src->Section;
    Location = src->Location;
}

void TSplitterAppearance::Assign(rtl::TPersistent* Source) {
    auto* src = dynamic_cast<TSplitterAppearance*>(Source);
    if (!src) return rtl::TPersistent::Assign(Source);
    FBorderColor = src->FBorderColor;
    FColor = src->FColor;
    FColorTo = src->FColorTo;
    FBorderColorHot = src->FBorderColorHot;
    FColorHot = src->FColorHot;
    FColorHotTo = src->FColorHotTo;
    FDirection = src->FDirection;
    FSteps = src->FSteps;
}

TKWPlusCustomSplitter::TKWPlusCustomSplitter(rtl::TComponent* AOwner)
    : vcl::TSplitter(AOwner),
      FAppearance(std::make_unique<TSplitterAppearance>()),
      FGlyph(std::make_unique<vcl::TBitmap>()),
      FPersist(std::make_unique<TPersistence>()) {
    FAppearance->OnChange = rtl::TNotifyEvent(this, &TKWPlusCustomSplitter::PartChanged);
    FGlyph->OnChange = rtl::TNotifyEvent(this, &TKWPlusCustomSplitter::PartChanged);
}

TKWPlusCustomSplitter::~TKWPlusCustomSplitter() {
    if (FPersist->Enable && FSplitterSize != -1) {
        // Saving runs at shutdown: a store that cannot be written loses the size, not the program.
        try {
            SaveSplitterSize(FSplitterSize);
        } catch (...) {
        }
    }
    FAppearance->OnChange = {};
    FGlyph->OnChange = {};
}

rtl::String TKWPlusCustomSplitter::Version() const {
    const uint32_t v = GetVersionNr();
    return QStringLiteral("%1.%2.%3.%4").arg(v >> 24).arg((v >> 16) & 0xFF).arg((v >> 8) & 0xFF).arg(v & 0xFF);
}

void TKWPlusCustomSplitter::SetGripStyle(TSplitterGripStyle Value) {
    if (FGripStyle == Value) return;
    FGripStyle = Value;
    Invalidate();
}

void TKWPlusCustomSplitter::CMMouseEnter(vcl::TCMMouseEnterLeave& Message) {
    vcl::TSplitter::CMMouseEnter(Message);
    if (ComponentState().Contains(rtl::csDesigning)) return;
    FMouseInControl = true;
    Invalidate();
}

void TKWPlusCustomSplitter::CMMouseLeave(vcl::TCMMouseEnterLeave& Message) {
    vcl::TSplitter::CMMouseLeave(Message);
    if (ComponentState().Contains(rtl::csDesigning)) return;
    FMouseInControl = false;
    Invalidate();
}

TControl* TKWPlusCustomSplitter::FindControl() {
    vcl::TWinControl* parent = Parent();
    if (!parent) return nullptr;
    TPoint p(Left(), Top());
    const vcl::TAlign align = Align();
    switch (align) {
    case vcl::alTop: p.Y -= 1; break;
    case vcl::alBottom: p.Y += Height(); break;
    case vcl::alLeft: p.X -= 1; break;
    case vcl::alRight: p.X += Width(); break;
    default: return nullptr;
    }
    if (align == vcl::alLeft || align == vcl::alRight) p.Y += Height() / 2;
    else p.X += Width() / 2;
    for (int i = 0; i < parent->ControlCount(); ++i) {
        TControl* c = parent->Controls(i);
        if (!c->Visible() || !c->Enabled()) continue;
        TRect r = c->BoundsRect();
        // A collapsed neighbour still has to be found: give it one pixel on the splitter's side.
        if (r.Right == r.Left) {
            if (align == vcl::alLeft) r.Left -= 1;
            else if (align == vcl::alRight) r.Right += 1;
        }
        if (r.Bottom == r.Top) {
            if (align == vcl::alTop) r.Top -= 1;
            else if (align == vcl::alBottom) r.Bottom += 1;
        }
        if (r.Contains(p)) return c;
    }
    return nullptr;
}

int TKWPlusCustomSplitter::GetSplitterSize() {
    TControl* c = FindControl();
    if (!c) return 0;
    switch (Align()) {
    case vcl::alTop:
    case vcl::alBottom: return c->Height();
    case vcl::alLeft:
    case vcl::alRight: return c->Width();
    default: return 0;
    }
}

void TKWPlusCustomSplitter::SetSplitterSize(int Value) {
    TControl* c = FindControl();
    if (!c || !DoCanResize(Value)) return;
    vcl::TWinControl* parent = Parent();
    switch (Align()) {
    case vcl::alTop: c->SetHeight(Value); break;
    case vcl::alLeft: c->SetWidth(Value); break;
    case vcl::alBottom:
    case vcl::alRight: {
        // The far edge stays where it is; the parent must not realign half-way.
        parent->DisableAlign();
        try {
            if (Align() == vcl::alBottom)
                c->SetBounds(c->Left(), c->Top() + c->Height() - Value, c->Width(), Value);
            else
                c->SetBounds(c->Left() + c->Width() - Value, c->Top(), Value, c->Height());
        } catch (...) {
            parent->EnableAlign();
            throw;
        }
        parent->EnableAlign();
        break;
    }
    default: return;
    }
    c->Invalidate();
}

void TKWPlusCustomSplitter::DblClick() {
    vcl::TSplitter::DblClick();
    if (FDblClickAction == dbaOpenClose) {
        const int collapsed = MinSize() + 1;
        int size;
        if (FSplitterSize == collapsed) {
            size = FOldSplitterSize;
        } else {
            // Before any drag or load the size is unknown: the neighbour's present size is the one to reopen to.
            FOldSplitterSize = FSplitterSize != -1 ? FSplitterSize : GetSplitterSize();
            size = collapsed;
        }
        FSplitterSize = size;
        SetSplitterSize(size);
    } else if (FDefaultSize > 0) {
        SetSplitterSize(FDefaultSize);
    } else {
        return;
    }
    StopSizing();
    if (TControl* c = FindControl()) c->Invalidate();
    if (Parent()) Parent()->Invalidate();
}

void TKWPlusCustomSplitter::FixSnappedNeighbour() {
    vcl::TWinControl* parent = Parent();
    if (!AutoSnap() || !parent || Left() > MinSize() || Top() > MinSize()) return;
    const bool vertical = Align() == vcl::alLeft || Align() == vcl::alRight;
    const TPoint p = vertical ? TPoint(Left() + Width() - 1, Top()) : TPoint(Left(), Top() + Height() - 1);
    for (int i = 0; i < parent->ControlCount(); ++i) {
        TControl* c = parent->Controls(i);
        if (!c->Visible() || !c->Enabled()) continue;
        if (vertical ? c->Width() != 0 : c->Height() != 0) continue;
        TRect r = c->BoundsRect();
        if (vertical) r.Left -= 1;
        else r.Top -= 1;
        if (!r.Contains(p)) continue;
        if (vertical) c->SetLeft(Left() - 1);
        else c->SetTop(Top() - 1);
        return;
    }
}

void TKWPlusCustomSplitter::MouseDown(vcl::TMouseButton Button, vcl::TShiftState Shift, int X, int Y) {
    FixSnappedNeighbour();
    vcl::TSplitter::MouseDown(Button, Shift, X, Y);
}

void TKWPlusCustomSplitter::MouseUp(vcl::TMouseButton Button, vcl::TShiftState Shift, int X, int Y) {
    vcl::TSplitter::MouseUp(Button, Shift, X, Y);
    FSplitterSize = GetSplitterSize();
}

void TKWPlusCustomSplitter::PaintGradient(TColor From, TColor To, TRect R, bool AcrossX) {
    if (AcrossX) R.Right -= 1;
    else R.Bottom -= 1;
    const int steps = std::max(1, FAppearance->Steps());
    const TColor f = vcl::ColorToRGB(From), t = vcl::ColorToRGB(To);
    const int r0 = f & 0xFF, g0 = (f >> 8) & 0xFF, b0 = (f >> 16) & 0xFF;
    const double dr = double((t & 0xFF) - r0) / steps;
    const double dg = double(((t >> 8) & 0xFF) - g0) / steps;
    const double db = double(((t >> 16) & 0xFF) - b0) / steps;
    const double band = double(AcrossX ? R.Right - R.Left : R.Bottom - R.Top) / steps;
    const int bandPx = int(std::nearbyint(band));
    vcl::TCanvas* cv = Canvas();
    for (int i = 0; i < steps; ++i) {
        const TColor c = (r0 + int(std::nearbyint(dr * i))) + (g0 + int(std::nearbyint(dg * i))) * 256 +
                         (b0 + int(std::nearbyint(db * i))) * 65536;
        cv->Pen()->SetColor(c);
        cv->Brush()->SetColor(c);
        const int o = int(std::nearbyint(i * band));
        if (AcrossX) cv->Rectangle(R.Left + o, R.Top, R.Left + o + bandPx + 1, R.Bottom);
        else cv->Rectangle(R.Left, R.Top + o, R.Right, R.Top + o + bandPx + 1);
    }
}

void TKWPlusCustomSplitter::PaintGrip(const TRect& R) {
    const vcl::TAlign align = Align();
    const bool horizontal = align == vcl::alTop || align == vcl::alBottom;
    if (!horizontal && align != vcl::alLeft && align != vcl::alRight) return;
    const int a = ((horizontal ? Width() : Height()) - 34) / 2;
    const int mid = horizontal ? R.Top + (R.Bottom - R.Top) / 2 : R.Left + (R.Right - R.Left) / 2;
    // (along, across) to canvas coordinates.
    auto pt = [&](int along, int across) { return horizontal ? TPoint(along, across) : TPoint(across, along); };
    vcl::TCanvas* cv = Canvas();
    auto square = [&](int along, int across) {
        const TPoint p = pt(along, across);
        cv->Rectangle(p.X, p.Y, p.X + 2, p.Y + 2);
    };
    auto line = [&](TPoint from, TPoint to) {
        cv->MoveTo(from.X, from.Y);
        cv->LineTo(to.X, to.Y);
    };
    switch (FGripStyle) {
    case sgDots:
        cv->Pen()->SetColor(vcl::clWhite);
        cv->Brush()->SetColor(vcl::clWhite);
        for (int k = 0; k < 9; ++k) square(a + 1 + 4 * k, mid);
        cv->Pen()->SetColor(vcl::clBlack);
        cv->Brush()->SetColor(vcl::clBlack);
        for (int k = 0; k < 9; ++k) square(a + 4 * k, mid - 1);
        for (int k = 0; k < 9; ++k) {
            const TPoint p = pt(a + 1 + 4 * k, mid);
            cv->SetPixels(p.X, p.Y, FAppearance->ColorTo());
        }
        break;
    case sgSingleLine: {
        const TPoint p1 = pt(a + 1, horizontal ? mid : mid - 1), p2 = pt(a + 37, horizontal ? mid : mid - 1);
        cv->Pen()->SetColor(vcl::clWhite);
        if (horizontal) {
            cv->MoveTo(p1.X - 1, p1.Y + 1);
            cv->LineTo(p1.X - 1, p1.Y - 1);
            cv->LineTo(p2.X + 1, p2.Y - 1);
        } else {
            cv->MoveTo(p1.X - 1, p1.Y - 1);
            cv->LineTo(p2.X - 1, p2.Y);
            cv->LineTo(p2.X + 1, p2.Y);
        }
        cv->Pen()->SetColor(vcl::clBtnShadow);
        if (horizontal) {
            cv->MoveTo(p2.X + 1, p2.Y - 1);
            cv->LineTo(p2.X + 1, p2.Y + 1);
            cv->LineTo(p1.X, p1.Y + 1);
        } else {
            cv->MoveTo(p2.X + 1, p2.Y);
            cv->LineTo(p2.X + 1, p1.Y);
            cv->LineTo(p2.X - 1, p1.Y);
        }
        break;
    }
    case sgDoubleLine:
        cv->Pen()->SetColor(FAppearance->GripPenColor());
        if (horizontal) {
            line(pt(a + 1, mid - 1), pt(a + 37, mid - 1));
            line(pt(a + 1, mid + 1), pt(a + 37, mid + 1));
        } else {
            line(pt(a + 1, mid - 2), pt(a + 37, mid - 2));
            line(pt(a + 1, mid), pt(a + 37, mid));
        }
        break;
    case sgFlatDots:
        cv->Pen()->SetColor(FAppearance->GripPenColor());
        cv->Brush()->SetColor(FAppearance->GripBrushColor());
        for (int k = 0; k < 9; ++k) square(a + 1 + 4 * k, mid - 1);
        break;
    case sgNone: break;
    }
}

void TKWPlusCustomSplitter::Paint() {
    const TRect R = ClientRect();
    bool acrossX;
    const vcl::TAlign align = Align();
    const bool vertical = align == vcl::alLeft || align == vcl::alRight;
    const bool horizontal = align == vcl::alTop || align == vcl::alBottom;
    switch (FAppearance->DirectionType()) {
    case dtFixed: acrossX = FAppearance->Direction() == gdHorizontal; break;
    case dtAuto: acrossX = vertical; break;
    case dtAutoInvers: acrossX = horizontal; break;
    default: acrossX = false; break;
    }
    const TSplitterAppearance& ap = *FAppearance;
    const TColor from = FMouseInControl ? ap.ColorHot() : ap.Color();
    const TColor to = FMouseInControl ? ap.ColorHotTo() : ap.ColorTo();
    const TColor border = FMouseInControl ? ap.BorderColorHot() : ap.BorderColor();
    vcl::TCanvas* cv = Canvas();
    cv->Pen()->SetStyle(vcl::psSolid);
    cv->Brush()->SetStyle(vcl::bsSolid);
    PaintGradient(from, to, R, acrossX);
    if (!FGlyph->Empty()) {
        FGlyph->SetTransparent(true);
        cv->Draw(R.Left + (R.Right - R.Left - FGlyph->Width()) / 2 + 1,
                 R.Top + (R.Bottom - R.Top - FGlyph->Height()) / 2 + 1, FGlyph.get());
    } else {
        PaintGrip(R);
    }
    if (border != vcl::clNone) {
        cv->Pen()->SetColor(border);
        cv->Brush()->SetStyle(vcl::bsClear);
        cv->Rectangle(R);
    }
}

rtl::String TKWPlusCustomSplitter::IniFileName() {
    if (FPersist->Key.isEmpty()) FPersist->Key = rtl::ChangeFileExt(rtl::ParamStr(0), QStringLiteral(".INI"));
    if (FPersist->Section.isEmpty()) FPersist->Section = Name();
    return FPersist->Key;
}

int TKWPlusCustomSplitter::LoadSplitterSize() {
    if (!FPersist->Enable) return -1;
    if (FPersist->Location == plInifile) {
        rtl::TIniFile ini(IniFileName());
        return ini.ReadInteger(FPersist->Section, Name(), -1);
    }
    vcl::TRegIniFile reg(FPersist->Key);
    return reg.ReadInteger(FPersist->Section, Name(), -1);
}

void TKWPlusCustomSplitter::SaveSplitterSize(int Value) {
    if (!FPersist->Enable) return;
    if (FPersist->Location == plInifile) {
        rtl::TIniFile ini(IniFileName());
        ini.WriteInteger(FPersist->Section, Name(), Value);
        return;
    }
    vcl::TRegIniFile reg(FPersist->Key);
    reg.WriteInteger(FPersist->Section, Name(), Value);
}

void TKWPlusCustomSplitter::Loaded() {
    vcl::TSplitter::Loaded();
    if (!FPersist->Enable || ComponentState().Contains(rtl::csDesigning)) return;
    FSplitterSize = LoadSplitterSize();
    if (FSplitterSize != -1) SetSplitterSize(FSplitterSize);
}

} // namespace components
