// components/KWPlusSplitter.h: a splitter bar painted as a two-colour gradient that changes while the
// pointer is over it, with a grip (dots, lines or a glyph) in its middle, a double-click that resets
// or collapses and reopens the neighbour, and the neighbour's size kept in an INI file or the registry.
#pragma once
#include "vcl/ExtCtrls.h"
#include "vcl/Graphics.h"

#include <memory>

namespace components {

using vcl::TColor;

enum TGradientDirection { gdHorizontal, gdVertical };
enum TDirectionType { dtFixed, dtAuto, dtAutoInvers };
enum TSplitterGripStyle { sgDots, sgSingleLine, sgDoubleLine, sgFlatDots, sgNone };
enum TDblClickAction { dbaDefault, dbaOpenClose };
enum TPersistenceLocation { plInifile, plRegistry };

class TPersistence : public rtl::TPersistent {
public:
    void Assign(rtl::TPersistent* Source) override;

    bool Enable = false;
    rtl::String Key;
    rtl::String Section;
    TPersistenceLocation Location = plInifile;
};

class TSplitterAppearance : public rtl::TPersistent {
public:
    // Copies colours, direction and band count; not the direction type or the grip colours. No notice.
    void Assign(rtl::TPersistent* Source) override;

    int Steps() const { return FSteps; }
    TColor Color() const { return FColor; }
    void SetColor(TColor Value) { Set(FColor, Value); }
    TColor ColorTo() const { return FColorTo; }
    void SetColorTo(TColor Value) { Set(FColorTo, Value); }
    TColor ColorHot() const { return FColorHot; }
    void SetColorHot(TColor Value) { Set(FColorHot, Value); }
    TColor ColorHotTo() const { return FColorHotTo; }
    void SetColorHotTo(TColor Value) { Set(FColorHotTo, Value); }
    TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor Value) { Set(FBorderColor, Value); }
    TColor BorderColorHot() const { return FBorderColorHot; }
    void SetBorderColorHot(TColor Value) { Set(FBorderColorHot, Value); }
    TGradientDirection Direction() const { return FDirection; }
    void SetDirection(TGradientDirection Value) { Set(FDirection, Value); }
    // These three are stored only: the next paint shows them.
    TDirectionType DirectionType() const { return FDirectionType; }
    void SetDirectionType(TDirectionType Value) { FDirectionType = Value; }
    TColor GripBrushColor() const { return FGripBrushColor; }
    void SetGripBrushColor(TColor Value) { FGripBrushColor = Value; }
    TColor GripPenColor() const { return FGripPenColor; }
    void SetGripPenColor(TColor Value) { FGripPenColor = Value; }

    rtl::TNotifyEvent OnChange;

private:
    template <class T> void Set(T& Field, T Value) {
        if (Field == Value) return;
        Field = Value;
        OnChange(this);
    }

    int FSteps = 64;
    TColor FColor = vcl::clWhite;
    TColor FColorTo = vcl::clSilver;
    TGradientDirection FDirection = gdHorizontal;
    TColor FBorderColor = vcl::clNone;
    TColor FColorHotTo = vcl::clGray;
    TColor FColorHot = vcl::clWhite;
    TColor FBorderColorHot = vcl::clNone;
    TDirectionType FDirectionType = dtAuto;
    TColor FGripBrushColor = 0xA5A5A5;
    TColor FGripPenColor = 0xA5A5A5;
};

class TKWPlusCustomSplitter : public vcl::TSplitter {
public:
    explicit TKWPlusCustomSplitter(rtl::TComponent* AOwner);
    ~TKWPlusCustomSplitter() override;

    TSplitterAppearance* Appearance() const { return FAppearance.get(); }
    void SetAppearance(TSplitterAppearance* Value) { FAppearance->Assign(Value); }
    vcl::TBitmap* Glyph() const { return FGlyph.get(); }
    void SetGlyph(vcl::TBitmap* Value) { FGlyph->Assign(Value); }
    TSplitterGripStyle GripStyle() const { return FGripStyle; }
    void SetGripStyle(TSplitterGripStyle Value);
    TDblClickAction DblClickAction() const { return FDblClickAction; }
    void SetDblClickAction(TDblClickAction Value) { FDblClickAction = Value; }
    int DefaultSize() const { return FDefaultSize; }
    void SetDefaultSize(int Value) { FDefaultSize = Value; }
    TPersistence* Persist() const { return FPersist.get(); }
    void SetPersist(TPersistence* Value) { FPersist->Assign(Value); }
    bool MouseInControl() const { return FMouseInControl; }
    rtl::String Version() const;
    void SetVersion(const rtl::String&) {}

    void Loaded() override;
    void DblClick() override;

    // The neighbour's size along the splitter's axis; 0 without a neighbour.
    virtual int GetSplitterSize();
    virtual void SetSplitterSize(int Value);
    // -1 when persistence is off or nothing was stored.
    virtual int LoadSplitterSize();
    virtual void SaveSplitterSize(int Value);

protected:
    void Paint() override;
    void MouseDown(vcl::TMouseButton Button, vcl::TShiftState Shift, int X, int Y) override;
    void MouseUp(vcl::TMouseButton Button, vcl::TShiftState Shift, int X, int Y) override;
    void CMMouseEnter(vcl::TCMMouseEnterLeave& Message) override;
    void CMMouseLeave(vcl::TCMMouseEnterLeave& Message) override;

    vcl::TControl* FindControl();
    uint32_t GetVersionNr() const { return 0x01050000; }

private:
    void PartChanged(rtl::TObject*) { Invalidate(); }
    void PaintGradient(TColor From, TColor To, vcl::TRect R, bool AcrossX);
    void PaintGrip(const vcl::TRect& R);
    void FixSnappedNeighbour();
    rtl::String IniFileName();

    std::unique_ptr<TSplitterAppearance> FAppearance;
    std::unique_ptr<vcl::TBitmap> FGlyph;
    bool FMouseInControl = false;
    TSplitterGripStyle FGripStyle = sgDots;
    int FDefaultSize = 0;
    int FSplitterSize = -1;
    int FOldSplitterSize = -1;
    std::unique_ptr<TPersistence> FPersist;
    TDblClickAction FDblClickAction = dbaDefault;
};

class TKWPlusSplitter : public TKWPlusCustomSplitter {
public:
    using TKWPlusCustomSplitter::TKWPlusCustomSplitter;
};

} // namespace components
