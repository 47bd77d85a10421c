// grid/Painters.h: the painters of everything of the grid that is not a data cell: column headers
// (caption, glyph, sort arrow), footers, input cells, the row indicator and its current-row mark, the
// corner boxes, the splitter strips and the empty header area. One painter class per header style; the
// grid sets the canvas and the font before each use.
#pragma once
#include "grid/Columns.h"
#include "grid/shared/DrawHelpers.h"
#include "vcl/Controls.h"

#include <memory>
#include <optional>

namespace grid {

enum TDisplayMedia { dmPaper, dmScreen };
enum TBoxLocation { bpAlone, bpBottom, bpTop };
enum TStyleDisplayAttribute { sdaHoverEnabled, sdaInvertFocus, sdaCustomArrow };
using TStyleDisplayAttributes = rtl::TSet<TStyleDisplayAttribute>;
using TDisplayDrawEvent = rtl::TEvent<void(rtl::TObject* Sender, int Index, const TRect& Rect)>;

// The maker's colour properties of the grid that the painters read.
struct TKwGridColors {
    bool CustomizationEnabled = false;
    TColor IndicatorHotBackground = vcl::clBtnFace;
    TColor IndicatorHotTriangle = vcl::clWindowText;
    TColor FooterBorder = vcl::clBtnFace;
    TColor FooterAreaSplitter = vcl::clBtnFace;
    TColor HeaderGrid = vcl::clGrayText;
    TColor IndicatorColumnBackground = vcl::clBtnFace;
    TColor IndicatorColumnGrid = vcl::clGrayText;
    TColor IndicatorColumnGridSelected = vcl::clGrayText;
    TColor CornerBoxTop = vcl::clBtnFace;
    TColor CornerBoxTopBorder = vcl::clGrayText;
    TColor CornerBoxBottom = vcl::clBtnFace;
    TColor CornerBoxBottomBorder = vcl::clGrayText;
    bool DontDrawHeaderVertGridOnLastCol = false;
};

// What the painters read of the grid that owns them; the grid control implements it beside being a
// component. An owner that is not a grid control leaves the indicator's current-row mark uncustomised.
class IStyleDisplayOwner {
public:
    virtual ~IStyleDisplayOwner() = default;
    virtual TColor GridColor() const = 0;
    virtual vcl::TStyleElements GridStyleElements() const {
        return {vcl::seFont, vcl::seClient, vcl::seBorder};
    }
    // May raise; the painters then draw uncustomised.
    virtual TKwGridColors KwColors() const = 0;
    virtual bool IsGridControl() const { return true; }
};

class TStyleDisplay : public rtl::TPersistent {
public:
    explicit TStyleDisplay(rtl::TComponent* AOwner);

    void Assign(rtl::TPersistent* Source) override { rtl::TPersistent::Assign(Source); }

    virtual void DrawAreaSplitter(const TRect& R);
    virtual void DrawCornerBox(const TRect& R, TBoxLocation Location);
    virtual void DrawFooter(TRgCustomColumn* Column, const TRect& R, bool Grid);
    virtual void DrawHeader(TRgCustomColumn* Column, const TRect& R);
    virtual void DrawHeaderBackground(TRgCustomColumn*, const TRect&) {}
    virtual void DrawIndicator(const TRect& R, int Index, bool Selected, bool Highlighted);
    virtual void DrawIndicatorState(const TRect& R, bool Selected, bool Highlighted);
    virtual void DrawInput(TRgCustomColumn* Column, const TRect& R, bool Grid, bool Selected, bool Focused);
    virtual void DrawInactiveHeader(const TRect& R);

    int GetHeaderContentWidth(TRgCustomColumn* Column);
    virtual int GetHeaderSpacing(TRgCustomColumn* Column);
    virtual TStyleDisplayAttributes GetStyleDisplayAttributes() { return {}; }
    void DoDrawText(TCanvas* ACanvas, const TRect& TextRect, const rtl::String& Caption, bool MultiLine);

    TBiDiMode BidiMode() const { return FBidiMode; }
    void SetBidiMode(TBiDiMode Value) { FBidiMode = Value; }
    TCanvas* Canvas() const { return FCanvas; }
    void SetCanvas(TCanvas* Value) { FCanvas = Value; }
    bool DefaultDrawing() const { return FDefaultDrawing; }
    void SetDefaultDrawing(bool Value) { FDefaultDrawing = Value; }
    TDisplayMedia DisplayMedia() const { return FDisplayMedia; }
    void SetDisplayMedia(TDisplayMedia Value) { FDisplayMedia = Value; }
    bool EnableThemes() const { return FEnableThemes; }
    void SetEnableThemes(bool Value) { FEnableThemes = Value; }
    HTHEME Theme() const { return FTheme; }
    void SetTheme(HTHEME Value) { FTheme = Value; }
    rtl::TComponent* Owner() const { return FOwner; }

    TDisplayDrawEvent OnDraw;
    TDisplayDrawEvent OnHeaderDraw;

protected:
    virtual void AdjustTextRect(TRect&) {}
    virtual void DrawSortArrow(int X, int Y, bool Ascending);
    virtual void DrawFooterContent(TRgCustomColumn* Column, const TRect& R);
    virtual void DrawHeaderContent(TRgCustomColumn* Column, const TRect& R);

    vcl::TStyleElements StyleElements() const;
    static bool UseStyles();
    // The owner's colours when it customises them and reading them works; nothing otherwise.
    std::optional<TKwGridColors> CustomColors() const;
    bool DontDrawVertGridOnLastCol() const;
    TColor OwnerColor() const;
    // Right edge down, then the bottom edge leftward: the flat and office styles' cell line.
    void RightBottomLine(const TRect& R);
    void Line(int X1, int Y1, int X2, int Y2);
    void FillRect(const TRect& R, TColor Color);
    void InvertRect(const TRect& R);
    void DrawGlyph(vcl::TBitmap* Glyph, int X, int Y);

    TBiDiMode FBidiMode = bdLeftToRight;
    TCanvas* FCanvas = nullptr;
    bool FDefaultDrawing = true;
    TDisplayMedia FDisplayMedia = dmScreen;
    bool FEnableThemes = false;
    HTHEME FTheme = 0;
    rtl::TComponent* FOwner;
};

class TDefaultStyleDisplay : public TStyleDisplay {
public:
    using TStyleDisplay::TStyleDisplay;
    TStyleDisplayAttributes GetStyleDisplayAttributes() override;
    void DrawCornerBox(const TRect& R, TBoxLocation Location) override;
    void DrawHeaderBackground(TRgCustomColumn* Column, const TRect& R) override;
    void DrawIndicator(const TRect& R, int Index, bool Selected, bool Highlighted) override;
    void DrawInactiveHeader(const TRect& R) override;

protected:
    virtual void DrawClassicHeader(TRgCustomColumn* Column, const TRect& R);
    virtual void DrawThemedHeader(TRgCustomColumn* Column, const TRect& R);
    virtual void DrawStyledHeader(TRgCustomColumn* Column, const TRect& R);
};

class TFlatStyleDisplay : public TStyleDisplay {
public:
    using TStyleDisplay::TStyleDisplay;
    void DrawAreaSplitter(const TRect& R) override;
    void DrawCornerBox(const TRect& R, TBoxLocation Location) override;
    void DrawHeaderBackground(TRgCustomColumn* Column, const TRect& R) override { DrawHeaderFace(Column, R); }
    void DrawIndicator(const TRect& R, int Index, bool Selected, bool Highlighted) override;

protected:
    virtual void DrawHeaderFace(TRgCustomColumn* Column, const TRect& R);
};

class TOffice2007StyleDisplay : public TStyleDisplay {
public:
    using TStyleDisplay::TStyleDisplay;
    void DrawAreaSplitter(const TRect& R) override;
    void DrawCornerBox(const TRect& R, TBoxLocation Location) override;
    void DrawHeaderBackground(TRgCustomColumn* Column, const TRect& R) override { DrawHeaderFace(Column, R); }
    void DrawIndicator(const TRect& R, int, bool, bool) override { DrawCornerBox(R, bpAlone); }

protected:
    void AdjustTextRect(TRect& R) override { R.Left += 2; }
    virtual void DrawHeaderFace(TRgCustomColumn* Column, const TRect& R);
    // The face gradient's two ends.
    virtual TColor FaceFrom() const;
    virtual TColor FaceTo() const;
};

class TOffice2010StyleDisplay : public TOffice2007StyleDisplay {
public:
    using TOffice2007StyleDisplay::TOffice2007StyleDisplay;

protected:
    void DrawSortArrow(int X, int Y, bool Ascending) override;
    TColor FaceFrom() const override;
    TColor FaceTo() const override;
};

class TOldStyleDisplay : public TStyleDisplay {
public:
    using TStyleDisplay::TStyleDisplay;
    TStyleDisplayAttributes GetStyleDisplayAttributes() override { return {sdaInvertFocus}; }
    void DrawCornerBox(const TRect& R, TBoxLocation) override;
    void DrawHeaderBackground(TRgCustomColumn*, const TRect& R) override { DrawCornerBox(R, bpAlone); }
    void DrawIndicator(const TRect& R, int, bool, bool) override { DrawCornerBox(R, bpAlone); }
};

class TOutlookStyleDisplay : public TStyleDisplay {
public:
    using TStyleDisplay::TStyleDisplay;
    TStyleDisplayAttributes GetStyleDisplayAttributes() override { return {sdaInvertFocus}; }
    void DrawAreaSplitter(const TRect& R) override;
    void DrawCornerBox(const TRect& R, TBoxLocation Location) override;
    void DrawHeaderBackground(TRgCustomColumn* Column, const TRect& R) override { DrawHeaderFace(Column, R); }

protected:
    void AdjustTextRect(TRect& R) override { R.Bottom -= 3; }
    virtual void DrawHeaderFace(TRgCustomColumn* Column, const TRect& R);
    // The three shaded bottom rows, blended from the shadow into Color.
    void DrawShadeRows(const TRect& R, TColor Color);
};

class TVistaStyleDisplay : public TStyleDisplay {
public:
    using TStyleDisplay::TStyleDisplay;
    TStyleDisplayAttributes GetStyleDisplayAttributes() override { return {sdaCustomArrow}; }
    void DrawHeaderBackground(TRgCustomColumn* Column, const TRect& R) override { DrawHeaderFace(Column, R); }
    void DrawIndicator(const TRect& R, int Index, bool Selected, bool Highlighted) override;

protected:
    void AdjustTextRect(TRect& R) override { R.Left += 2; }
    virtual void DrawHeaderFace(TRgCustomColumn* Column, const TRect& R);
    void DrawVistaSortMark(int X, int Y, bool Ascending);
    // The white and button-face edge lines; the rectangle between them.
    TRect DrawVistaEdges(const TRect& R);
};

// The painter of a header style by the grid's HeaderStyle ordinal (hsAuto, hsFlatBorders, hsOffice2007,
// hsOffice2010, hsOldStyle, hsOutlook, hsVista), owned by the caller.
std::unique_ptr<TStyleDisplay> CreateStyleDisplay(int HeaderStyle, rtl::TComponent* AOwner);

} // namespace grid
