#include "vcl/Graphics.h"

#include "rtl/Math.h"
#include "rtl/SysUtils.h"
#include "vcl/Jpeg.h"
#include "vcl/PngImage.h"
#include "vcl/ResourceStream.h"

#include <QByteArray>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vcl {

namespace {

QString Utf16(const WCHAR* S) { return QString::fromUtf16(S); }
const WCHAR* Wide(const QString& S) { return reinterpret_cast<const WCHAR*>(S.utf16()); }

// Writes Bytes to FileName through a unique temporary file in the same folder and rename(), so a failed
// write never leaves a half-written file under the name.
void ReplaceFile(const QString& FileName, const rtl::TBytes& Bytes) {
    const QByteArray target = QFile::encodeName(FileName);
    QByteArray pattern = target + ".XXXXXX";
    auto fail = [&](int err) {
        throw rtl::EFCreateError(QStringLiteral("Cannot create file \"%1\". %2")
                                     .arg(FileName, QString::fromLocal8Bit(std::strerror(err))));
    };
    const int fd = mkstemp(pattern.data());
    if (fd < 0) fail(errno);
    size_t done = 0;
    while (done < Bytes.size()) {
        const ssize_t n = ::write(fd, Bytes.data() + done, Bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            const int err = errno;
            ::close(fd);
            ::unlink(pattern.constData());
            fail(err);
        }
        done += size_t(n);
    }
    // mkstemp gives 0600; a picture file gets the usual permissions.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    if (::close(fd) != 0 || ::rename(pattern.constData(), target.constData()) != 0) {
        const int err = errno;
        ::unlink(pattern.constData());
        fail(err);
    }
}

int ScreenPixelsPerInch() {
    HDC dc = CreateCompatibleDC(nullptr);
    int ppi = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 96;
    if (dc) DeleteDC(dc);
    return ppi > 0 ? ppi : 96;
}

} // namespace

// ---- colours ----

TColor ColorToRGB(TColor Color) {
    if (Color < 0) return TColor(GetSysColor(Color & 0xFF));
    return Color;
}

namespace {
struct ColorIdent {
    TColor Value;
    const char* Name;
};
constexpr ColorIdent ColorIdents[] = {
    {clBlack, "clBlack"}, {clMaroon, "clMaroon"}, {clGreen, "clGreen"}, {clOlive, "clOlive"},
    {clNavy, "clNavy"}, {clPurple, "clPurple"}, {clTeal, "clTeal"}, {clGray, "clGray"},
    {clSilver, "clSilver"}, {clRed, "clRed"}, {clLime, "clLime"}, {clYellow, "clYellow"},
    {clBlue, "clBlue"}, {clFuchsia, "clFuchsia"}, {clAqua, "clAqua"}, {clWhite, "clWhite"},
    {clMoneyGreen, "clMoneyGreen"}, {clSkyBlue, "clSkyBlue"}, {clCream, "clCream"}, {clMedGray, "clMedGray"},
    {clActiveBorder, "clActiveBorder"}, {clActiveCaption, "clActiveCaption"},
    {clAppWorkSpace, "clAppWorkSpace"}, {clBackground, "clBackground"}, {clBtnFace, "clBtnFace"},
    {clBtnHighlight, "clBtnHighlight"}, {clBtnShadow, "clBtnShadow"}, {clBtnText, "clBtnText"},
    {clCaptionText, "clCaptionText"}, {clDefault, "clDefault"},
    {clGradientActiveCaption, "clGradientActiveCaption"},
    {clGradientInactiveCaption, "clGradientInactiveCaption"}, {clGrayText, "clGrayText"},
    {clHighlight, "clHighlight"}, {clHighlightText, "clHighlightText"}, {clHotLight, "clHotLight"},
    {clInactiveBorder, "clInactiveBorder"}, {clInactiveCaption, "clInactiveCaption"},
    {clInactiveCaptionText, "clInactiveCaptionText"}, {clInfoBk, "clInfoBk"}, {clInfoText, "clInfoText"},
    {clMenu, "clMenu"}, {clMenuBar, "clMenuBar"}, {clMenuHighlight, "clMenuHighlight"},
    {clMenuText, "clMenuText"}, {clNone, "clNone"}, {clScrollBar, "clScrollBar"},
    {cl3DDkShadow, "cl3DDkShadow"}, {cl3DLight, "cl3DLight"}, {clWindow, "clWindow"},
    {clWindowFrame, "clWindowFrame"}, {clWindowText, "clWindowText"},
};
} // namespace

bool ColorToIdent(TColor Color, rtl::String& Ident) {
    for (const auto& c : ColorIdents)
        if (c.Value == Color) {
            Ident = QString::fromLatin1(c.Name);
            return true;
        }
    return false;
}

bool IdentToColor(const rtl::String& Ident, TColor& Color) {
    for (const auto& c : ColorIdents)
        if (Ident.compare(QLatin1String(c.Name), Qt::CaseInsensitive) == 0) {
            Color = c.Value;
            return true;
        }
    return false;
}

rtl::String ColorToString(TColor Color) {
    rtl::String s;
    if (ColorToIdent(Color, s)) return s;
    return QStringLiteral("$%1").arg(uint32_t(Color), 8, 16, QLatin1Char('0')).toUpper();
}

TColor StringToColor(const rtl::String& S) {
    TColor c = 0;
    if (IdentToColor(S, c)) return c;
    int value = 0;
    if (!rtl::TryStrToInt(S, value))
        throw rtl::EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(S));
    return value;
}

// ---- drawing tools ----

void TGraphicsObject::Changed() { OnChange(this); }

TFont::TFont() : FName(QStringLiteral("Tahoma")), FPixelsPerInch(ScreenPixelsPerInch()) {
    FHeight = -rtl::MulDiv(8, FPixelsPerInch, 72);
}

TFont::~TFont() { FreeHandle(); }

void TFont::FreeHandle() {
    if (FHandle) DeleteObject(FHandle);
    FHandle = nullptr;
}

void TFont::Changed() {
    // Canvases holding the old handle deselect it (OnChange) before it is deleted.
    HFONT old = FHandle;
    FHandle = nullptr;
    TGraphicsObject::Changed();
    if (old) DeleteObject(old);
}

HFONT TFont::Handle() {
    if (!FHandle) {
        LOGFONTW lf{};
        lf.lfHeight = FHeight;
        lf.lfEscapement = FOrientation;
        lf.lfOrientation = FOrientation;
        lf.lfWeight = FStyle.Contains(fsBold) ? FW_BOLD : FW_NORMAL;
        lf.lfItalic = FStyle.Contains(fsItalic);
        lf.lfUnderline = FStyle.Contains(fsUnderline);
        lf.lfStrikeOut = FStyle.Contains(fsStrikeOut);
        lf.lfCharSet = FCharset;
        const QString face = FName.compare(QLatin1String("Default"), Qt::CaseInsensitive) == 0
                                 ? QStringLiteral("Tahoma")
                                 : FName;
        const int n = std::min<int>(int(face.size()), LF_FACESIZE - 1);
        std::memcpy(lf.lfFaceName, face.utf16(), size_t(n) * sizeof(WCHAR));
        static constexpr BYTE Qualities[] = {DEFAULT_QUALITY, DRAFT_QUALITY, PROOF_QUALITY, NONANTIALIASED_QUALITY,
                                             ANTIALIASED_QUALITY, CLEARTYPE_QUALITY, 6};
        lf.lfQuality = Qualities[FQuality];
        lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
        lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
        lf.lfPitchAndFamily = FPitch == fpVariable ? VARIABLE_PITCH : FPitch == fpFixed ? FIXED_PITCH : DEFAULT_PITCH;
        FHandle = CreateFontIndirectW(&lf);
    }
    return FHandle;
}

void TFont::SetHandle(HFONT Value) {
    if (Value == FHandle) return;
    LOGFONTW lf{};
    if (Value && GetObjectW(Value, sizeof lf, &lf) > 0) {
        FHeight = lf.lfHeight;
        FOrientation = lf.lfEscapement;
        FStyle = {};
        if (lf.lfWeight >= FW_BOLD) FStyle.Include(fsBold);
        if (lf.lfItalic) FStyle.Include(fsItalic);
        if (lf.lfUnderline) FStyle.Include(fsUnderline);
        if (lf.lfStrikeOut) FStyle.Include(fsStrikeOut);
        FCharset = lf.lfCharSet;
        FName = Utf16(lf.lfFaceName);
        const int pitch = lf.lfPitchAndFamily & 3;
        FPitch = pitch == VARIABLE_PITCH ? fpVariable : pitch == FIXED_PITCH ? fpFixed : fpDefault;
    }
    HFONT old = FHandle;
    FHandle = Value;
    TGraphicsObject::Changed();
    if (old && old != Value) DeleteObject(old);
}

void TFont::SetName(const TFontName& Value) {
    if (Value.isEmpty() || Value == FName) return;
    FName = Value;
    Changed();
}

int TFont::Size() const { return -rtl::MulDiv(FHeight, 72, FPixelsPerInch); }
void TFont::SetSize(int Value) { SetHeight(-rtl::MulDiv(Value, FPixelsPerInch, 72)); }

void TFont::SetHeight(int Value) {
    if (Value == FHeight) return;
    FHeight = Value;
    Changed();
}

void TFont::SetStyle(TFontStyles Value) {
    if (Value == FStyle) return;
    FStyle = Value;
    Changed();
}

void TFont::SetColor(TColor Value) {
    if (Value == FColor) return;
    FColor = Value;
    TGraphicsObject::Changed();
}

void TFont::SetCharset(TFontCharset Value) {
    if (Value == FCharset) return;
    FCharset = Value;
    Changed();
}

void TFont::SetOrientation(int Value) {
    if (Value == FOrientation) return;
    FOrientation = Value;
    Changed();
}

void TFont::SetPitch(TFontPitch Value) {
    if (Value == FPitch) return;
    FPitch = Value;
    Changed();
}

void TFont::SetQuality(TFontQuality Value) {
    if (Value == FQuality) return;
    FQuality = Value;
    Changed();
}

void TFont::SetPixelsPerInch(int Value) {
    if (Value > 0) FPixelsPerInch = Value;
}

void TFont::Assign(rtl::TPersistent* Source) {
    if (auto* f = dynamic_cast<TFont*>(Source)) {
        if (f == this) return;
        FName = f->FName;
        // Across different resolutions the point size is what is kept.
        FHeight = FPixelsPerInch == f->FPixelsPerInch ? f->FHeight : -rtl::MulDiv(f->Size(), FPixelsPerInch, 72);
        FStyle = f->FStyle;
        FColor = f->FColor;
        FCharset = f->FCharset;
        FOrientation = f->FOrientation;
        FPitch = f->FPitch;
        FQuality = f->FQuality;
        Changed();
        return;
    }
    TGraphicsObject::Assign(Source);
}

TPen::~TPen() { FreeHandle(); }

void TPen::FreeHandle() {
    if (FHandle) DeleteObject(FHandle);
    FHandle = nullptr;
}

HPEN TPen::Handle() {
    if (!FHandle) {
        static constexpr UINT Styles[] = {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_NULL,
                                          PS_INSIDEFRAME, PS_USERSTYLE, PS_ALTERNATE};
        LOGPEN lp{};
        lp.lopnStyle = Styles[FStyle];
        lp.lopnWidth.x = FWidth;
        lp.lopnColor = COLORREF(ColorToRGB(FColor));
        FHandle = CreatePenIndirect(&lp);
    }
    return FHandle;
}

void TPen::SetHandle(HPEN Value) {
    if (Value == FHandle) return;
    LOGPEN lp{};
    if (Value && GetObjectW(Value, sizeof lp, &lp) > 0) {
        FColor = TColor(lp.lopnColor);
        FWidth = std::max<int>(1, lp.lopnWidth.x);
        FStyle = lp.lopnStyle <= PS_ALTERNATE ? TPenStyle(lp.lopnStyle) : psSolid;
    }
    HPEN old = FHandle;
    FHandle = Value;
    TGraphicsObject::Changed();
    if (old) DeleteObject(old);
}

void TPen::SetColor(TColor Value) {
    if (Value == FColor) return;
    FColor = Value;
    HPEN old = FHandle;
    FHandle = nullptr;
    Changed();
    if (old) DeleteObject(old);
}

void TPen::SetWidth(int Value) {
    if (Value < 0) Value = 0;
    if (Value == FWidth) return;
    FWidth = Value;
    HPEN old = FHandle;
    FHandle = nullptr;
    Changed();
    if (old) DeleteObject(old);
}

void TPen::SetStyle(TPenStyle Value) {
    if (Value == FStyle) return;
    FStyle = Value;
    HPEN old = FHandle;
    FHandle = nullptr;
    Changed();
    if (old) DeleteObject(old);
}

void TPen::SetMode(TPenMode Value) {
    if (Value == FMode) return;
    FMode = Value;
    Changed();
}

void TPen::Assign(rtl::TPersistent* Source) {
    if (auto* p = dynamic_cast<TPen*>(Source)) {
        if (p == this) return;
        FColor = p->FColor;
        FWidth = p->FWidth;
        FStyle = p->FStyle;
        FMode = p->FMode;
        HPEN old = FHandle;
        FHandle = nullptr;
        Changed();
        if (old) DeleteObject(old);
        return;
    }
    TGraphicsObject::Assign(Source);
}

TBrush::~TBrush() { FreeHandle(); }

void TBrush::FreeHandle() {
    if (FHandle) DeleteObject(FHandle);
    FHandle = nullptr;
}

HBRUSH TBrush::Handle() {
    if (!FHandle) {
        LOGBRUSH lb{};
        if (FBitmap && !FBitmap->Empty()) {
            lb.lbStyle = BS_PATTERN;
            lb.lbHatch = ULONG_PTR(FBitmap->Handle());
        } else if (FStyle == bsSolid)
            lb.lbStyle = BS_SOLID;
        else if (FStyle == bsClear)
            lb.lbStyle = BS_HOLLOW;
        else {
            lb.lbStyle = BS_HATCHED;
            lb.lbHatch = ULONG_PTR(FStyle - bsHorizontal);
        }
        lb.lbColor = COLORREF(ColorToRGB(FColor));
        FHandle = CreateBrushIndirect(&lb);
    }
    return FHandle;
}

void TBrush::SetHandle(HBRUSH Value) {
    if (Value == FHandle) return;
    LOGBRUSH lb{};
    if (Value && GetObjectW(Value, sizeof lb, &lb) > 0) {
        FColor = TColor(lb.lbColor);
        if (lb.lbStyle == BS_SOLID) FStyle = bsSolid;
        else if (lb.lbStyle == BS_HOLLOW) FStyle = bsClear;
        else if (lb.lbStyle == BS_HATCHED && lb.lbHatch <= HS_DIAGCROSS) FStyle = TBrushStyle(bsHorizontal + int(lb.lbHatch));
        FBitmap = nullptr;
    }
    HBRUSH old = FHandle;
    FHandle = Value;
    TGraphicsObject::Changed();
    if (old) DeleteObject(old);
}

void TBrush::SetColor(TColor Value) {
    // Giving a clear brush a colour makes it solid. A system colour is made anew each time: the
    // system's colours change with the visual style.
    if (Value == FColor && FStyle != bsClear && (Value & clSystemColor) != clSystemColor) return;
    FColor = Value;
    if (FStyle == bsClear) FStyle = bsSolid;
    HBRUSH old = FHandle;
    FHandle = nullptr;
    Changed();
    if (old) DeleteObject(old);
}

void TBrush::SetStyle(TBrushStyle Value) {
    if (Value == FStyle && !FBitmap) return;
    FStyle = Value;
    FBitmap = nullptr;
    HBRUSH old = FHandle;
    FHandle = nullptr;
    Changed();
    if (old) DeleteObject(old);
}

void TBrush::SetBitmap(TBitmap* Value) {
    if (Value == FBitmap) return;
    FBitmap = Value;
    HBRUSH old = FHandle;
    FHandle = nullptr;
    Changed();
    if (old) DeleteObject(old);
}

void TBrush::Assign(rtl::TPersistent* Source) {
    if (auto* b = dynamic_cast<TBrush*>(Source)) {
        if (b == this) return;
        FColor = b->FColor;
        FStyle = b->FStyle;
        FBitmap = b->FBitmap;
        HBRUSH old = FHandle;
        FHandle = nullptr;
        Changed();
        if (old) DeleteObject(old);
        return;
    }
    TGraphicsObject::Assign(Source);
}

// ---- text formats ----

namespace {
constexpr UINT TextFormatBits[] = {
    DT_BOTTOM, DT_CALCRECT, DT_CENTER, DT_EDITCONTROL, DT_END_ELLIPSIS, DT_PATH_ELLIPSIS, DT_EXPANDTABS,
    DT_EXTERNALLEADING, DT_LEFT, DT_MODIFYSTRING, DT_NOCLIP, DT_NOPREFIX, DT_RIGHT, DT_RTLREADING,
    DT_SINGLELINE, DT_TOP, DT_VCENTER, DT_WORDBREAK, DT_HIDEPREFIX, DT_NOFULLWIDTHCHARBREAK, DT_PREFIXONLY,
    DT_TABSTOP, DT_WORD_ELLIPSIS, 0 /* tfComposited: a themes-only flag */};
} // namespace

UINT TTextFormatFlags(TTextFormat Format) {
    UINT flags = 0;
    for (int f = tfBottom; f <= tfComposited; ++f)
        if (Format.Contains(TTextFormats(f))) flags |= TextFormatBits[f];
    return flags;
}

TTextFormat TextFormatFromFlags(UINT Flags) {
    TTextFormat result;
    for (int f = tfBottom; f <= tfComposited; ++f)
        if (TextFormatBits[f] != 0 && (Flags & TextFormatBits[f]) == TextFormatBits[f]) result.Include(TTextFormats(f));
    return result;
}

// ---- canvas ----

TCanvas::TCanvas() : FFont(std::make_unique<TFont>()), FPen(std::make_unique<TPen>()), FBrush(std::make_unique<TBrush>()) {
    FFont->OnChange = rtl::TNotifyEvent(this, &TCanvas::FontChanged);
    FPen->OnChange = rtl::TNotifyEvent(this, &TCanvas::PenChanged);
    FBrush->OnChange = rtl::TNotifyEvent(this, &TCanvas::BrushChanged);
}

TCanvas::~TCanvas() { SetHandle(nullptr); }

HDC TCanvas::Handle() {
    Changing();
    RequiredState(csHandleValid | csFontValid | csPenValid | csBrushValid);
    return FHandle;
}

void TCanvas::SetHandle(HDC Value) {
    if (FHandle == Value) return;
    TPoint pos;
    bool havePos = false;
    if (FHandle) {
        DeselectHandles();
        POINT p{};
        if (GetCurrentPositionEx(FHandle, &p)) {
            pos = TPoint(p.x, p.y);
            havePos = true;
        }
        FHandle = nullptr;
        FState &= ~unsigned(csHandleValid);
    }
    if (Value) {
        FState |= csHandleValid;
        FHandle = Value;
        if (havePos) MoveToEx(FHandle, pos.X, pos.Y, nullptr);
    }
}

void TCanvas::DeselectHandles() {
    if (FHandle && (FState & (csPenValid | csBrushValid | csFontValid))) {
        SelectObject(FHandle, GetStockObject(BLACK_PEN));
        SelectObject(FHandle, GetStockObject(HOLLOW_BRUSH));
        SelectObject(FHandle, GetStockObject(SYSTEM_FONT));
        FState &= ~unsigned(csPenValid | csBrushValid | csFontValid);
    }
}

void TCanvas::RequiredState(TCanvasState ReqState) {
    const TCanvasState needed = ReqState & ~FState;
    if (!needed) return;
    if (needed & csHandleValid) {
        CreateHandle();
        if (!FHandle) throw rtl::EInvalidOperation(QStringLiteral("Canvas does not allow drawing"));
        FState |= csHandleValid;
    }
    if (needed & csFontValid) CreateFont();
    if (needed & csPenValid) CreatePen();
    if (needed & csBrushValid) CreateBrush();
    FState |= needed;
}

void TCanvas::CreateFont() {
    SelectObject(FHandle, FFont->Handle());
    SetTextColor(FHandle, COLORREF(ColorToRGB(FFont->Color())));
}

void TCanvas::CreatePen() {
    static constexpr int PenModes[] = {R2_BLACK, R2_WHITE, R2_NOP, R2_NOT, R2_COPYPEN, R2_NOTCOPYPEN,
                                       R2_MERGEPENNOT, R2_MASKPENNOT, R2_MERGENOTPEN, R2_MASKNOTPEN,
                                       R2_MERGEPEN, R2_NOTMERGEPEN, R2_MASKPEN, R2_NOTMASKPEN, R2_XORPEN,
                                       R2_NOTXORPEN};
    SelectObject(FHandle, FPen->Handle());
    SetROP2(FHandle, PenModes[FPen->Mode()]);
}

void TCanvas::CreateBrush() {
    SelectObject(FHandle, FBrush->Handle());
    const COLORREF color = COLORREF(ColorToRGB(FBrush->Color()));
    if (FBrush->Style() == bsSolid) {
        SetBkColor(FHandle, color);
        SetBkMode(FHandle, OPAQUE);
    } else {
        SetBkColor(FHandle, ~color & 0xFFFFFF);
        SetBkMode(FHandle, TRANSPARENT);
    }
}

void TCanvas::FontChanged(rtl::TObject*) {
    if (FState & csFontValid) {
        FState &= ~unsigned(csFontValid);
        SelectObject(FHandle, GetStockObject(SYSTEM_FONT));
    }
}

void TCanvas::PenChanged(rtl::TObject*) {
    if (FState & csPenValid) {
        FState &= ~unsigned(csPenValid);
        SelectObject(FHandle, GetStockObject(BLACK_PEN));
    }
}

void TCanvas::BrushChanged(rtl::TObject*) {
    if (FState & csBrushValid) {
        FState &= ~unsigned(csBrushValid);
        SelectObject(FHandle, GetStockObject(HOLLOW_BRUSH));
    }
}

void TCanvas::Changing() { OnChanging(this); }
void TCanvas::Changed() { OnChange(this); }

void TCanvas::SetCopyMode(TCopyMode Value) { FCopyMode = Value; }

TPoint TCanvas::PenPos() {
    RequiredState(csHandleValid);
    POINT p{};
    GetCurrentPositionEx(FHandle, &p);
    return TPoint(p.x, p.y);
}

TRect TCanvas::ClipRect() {
    RequiredState(csHandleValid);
    RECT r{};
    GetClipBox(FHandle, &r);
    return TRect(r);
}

TColor TCanvas::Pixels(int X, int Y) {
    RequiredState(csHandleValid);
    return TColor(GetPixel(FHandle, X, Y));
}

void TCanvas::SetPixels(int X, int Y, TColor Value) {
    Changing();
    RequiredState(csHandleValid | csPenValid);
    SetPixel(FHandle, X, Y, COLORREF(ColorToRGB(Value)));
    Changed();
}

void TCanvas::MoveTo(int X, int Y) {
    RequiredState(csHandleValid);
    MoveToEx(FHandle, X, Y, nullptr);
}

void TCanvas::LineTo(int X, int Y) {
    Changing();
    RequiredState(csHandleValid | csPenValid | csBrushValid);
    ::LineTo(FHandle, X, Y);
    Changed();
}

void TCanvas::Rectangle(int X1, int Y1, int X2, int Y2) {
    Changing();
    RequiredState(csHandleValid | csBrushValid | csPenValid);
    ::Rectangle(FHandle, X1, Y1, X2, Y2);
    Changed();
}

void TCanvas::FillRect(const TRect& Rect) {
    Changing();
    RequiredState(csHandleValid | csBrushValid);
    const RECT r = Rect;
    ::FillRect(FHandle, &r, FBrush->Handle());
    Changed();
}

void TCanvas::FrameRect(const TRect& Rect) {
    Changing();
    RequiredState(csHandleValid | csBrushValid);
    const RECT r = Rect;
    ::FrameRect(FHandle, &r, FBrush->Handle());
    Changed();
}

void TCanvas::RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3) {
    Changing();
    RequiredState(csHandleValid | csBrushValid | csPenValid);
    ::RoundRect(FHandle, X1, Y1, X2, Y2, X3, Y3);
    Changed();
}

void TCanvas::Ellipse(int X1, int Y1, int X2, int Y2) {
    Changing();
    RequiredState(csHandleValid | csBrushValid | csPenValid);
    ::Ellipse(FHandle, X1, Y1, X2, Y2);
    Changed();
}

namespace {
std::vector<POINT> ToPOINTs(const std::vector<TPoint>& Points) {
    std::vector<POINT> pts(Points.size());
    for (size_t i = 0; i < Points.size(); ++i) pts[i] = POINT{Points[i].X, Points[i].Y};
    return pts;
}
} // namespace

void TCanvas::Polygon(const std::vector<TPoint>& Points) {
    Changing();
    RequiredState(csHandleValid | csPenValid | csBrushValid);
    const auto pts = ToPOINTs(Points);
    ::Polygon(FHandle, pts.data(), int(pts.size()));
    Changed();
}

void TCanvas::Polyline(const std::vector<TPoint>& Points) {
    Changing();
    RequiredState(csHandleValid | csPenValid | csBrushValid);
    const auto pts = ToPOINTs(Points);
    ::Polyline(FHandle, pts.data(), int(pts.size()));
    Changed();
}

void TCanvas::Arc(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) {
    Changing();
    RequiredState(csHandleValid | csPenValid | csBrushValid);
    ::Arc(FHandle, X1, Y1, X2, Y2, X3, Y3, X4, Y4);
    Changed();
}

void TCanvas::Pie(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) {
    Changing();
    RequiredState(csHandleValid | csPenValid | csBrushValid);
    ::Pie(FHandle, X1, Y1, X2, Y2, X3, Y3, X4, Y4);
    Changed();
}

void TCanvas::DrawFocusRect(const TRect& Rect) {
    Changing();
    RequiredState(csHandleValid | csBrushValid);
    const RECT r = Rect;
    ::DrawFocusRect(FHandle, &r);
    Changed();
}

void TCanvas::Draw(int X, int Y, TGraphic* Graphic) {
    if (!Graphic || Graphic->Empty()) return;
    Changing();
    RequiredState(csHandleValid);
    SetBkColor(FHandle, COLORREF(ColorToRGB(FBrush->Color())));
    SetTextColor(FHandle, COLORREF(ColorToRGB(FFont->Color())));
    Graphic->Draw(this, TRect(X, Y, X + Graphic->Width(), Y + Graphic->Height()));
    Changed();
}

void TCanvas::Draw(int X, int Y, TGraphic* Graphic, uint8_t Opacity) {
    if (!Graphic || Graphic->Empty()) return;
    Changing();
    RequiredState(csHandleValid);
    SetBkColor(FHandle, COLORREF(ColorToRGB(FBrush->Color())));
    SetTextColor(FHandle, COLORREF(ColorToRGB(FFont->Color())));
    Graphic->DrawTransparent(this, TRect(X, Y, X + Graphic->Width(), Y + Graphic->Height()), Opacity);
    Changed();
}

void TCanvas::StretchDraw(const TRect& Rect, TGraphic* Graphic) {
    if (!Graphic) return;
    Changing();
    RequiredState(csHandleValid | csFontValid | csPenValid | csBrushValid);
    Graphic->Draw(this, Rect);
    Changed();
}

void TCanvas::CopyRect(const TRect& Dest, TCanvas* Canvas, const TRect& Source) {
    Changing();
    RequiredState(csHandleValid | csFontValid | csBrushValid);
    Canvas->RequiredState(csHandleValid | csBrushValid);
    StretchBlt(FHandle, Dest.Left, Dest.Top, Dest.Width(), Dest.Height(), Canvas->FHandle, Source.Left, Source.Top,
               Source.Width(), Source.Height(), FCopyMode);
    Changed();
}

void TCanvas::TextOut(int X, int Y, const rtl::String& Text) {
    Changing();
    RequiredState(csHandleValid | csFontValid | csBrushValid);
    ExtTextOutW(FHandle, X, Y, UINT(FTextFlags), nullptr, Wide(Text), UINT(Text.size()), nullptr);
    MoveTo(X + TextWidth(Text), Y);
    Changed();
}

void TCanvas::TextRect(const TRect& Rect, int X, int Y, const rtl::String& Text) {
    Changing();
    RequiredState(csHandleValid | csFontValid | csBrushValid);
    UINT options = ETO_CLIPPED | UINT(FTextFlags);
    if (FBrush->Style() != bsClear) options |= ETO_OPAQUE;
    const RECT r = Rect;
    ExtTextOutW(FHandle, X, Y, options, &r, Wide(Text), UINT(Text.size()), nullptr);
    Changed();
}

void TCanvas::TextRect(TRect& Rect, rtl::String& Text, TTextFormat TextFormat) {
    Changing();
    RequiredState(csHandleValid | csFontValid | csBrushValid);
    UINT format = TTextFormatFlags(TextFormat);
    RECT r = Rect;
    if (TextFormat.Contains(tfModifyString)) {
        // DrawText may write the shortened text back: room for the ellipsis and the terminator.
        std::vector<WCHAR> buffer(size_t(Text.size()) + 5, 0);
        std::memcpy(buffer.data(), Text.utf16(), size_t(Text.size()) * sizeof(WCHAR));
        DrawTextW(FHandle, buffer.data(), int(Text.size()), &r, format);
        Text = Utf16(buffer.data());
    } else
        DrawTextW(FHandle, Wide(Text), int(Text.size()), &r, format);
    if (TextFormat.Contains(tfCalcRect)) Rect = TRect(r);
    Changed();
}

TSize TCanvas::TextExtent(const rtl::String& Text) {
    RequiredState(csHandleValid | csFontValid);
    SIZE size{0, 0};
    GetTextExtentPoint32W(FHandle, Wide(Text), int(Text.size()), &size);
    return size;
}

void TCanvas::Refresh() { DeselectHandles(); }

// The program paints from one thread; the lock counts nesting so that Lock/Unlock pairs balance.
void TCanvas::Lock() { ++FLockCount; }
void TCanvas::Unlock() {
    if (FLockCount > 0) --FLockCount;
}
bool TCanvas::TryLock() {
    ++FLockCount;
    return true;
}

// ---- graphic ----

void TGraphic::SetSize(int AWidth, int AHeight) {
    SetWidth(AWidth);
    SetHeight(AHeight);
}

void TGraphic::SetTransparent(bool Value) {
    if (Value == FTransparent) return;
    FTransparent = Value;
    Changed(this);
}

void TGraphic::SetModified(bool Value) {
    if (Value) Changed(this);
    else FModified = false;
}

void TGraphic::Changed(rtl::TObject*) {
    FModified = true;
    OnChange(this);
}

void TGraphic::DrawTransparent(TCanvas* ACanvas, const TRect& Rect, uint8_t Opacity) {
    // Graphics without their own blending draw through a 32-bit copy with a constant alpha.
    if (Opacity == 255) {
        Draw(ACanvas, Rect);
        return;
    }
    TBitmap work;
    work.SetPixelFormat(pf32bit);
    work.SetSize(Rect.Width(), Rect.Height());
    HDC dest = ACanvas->Handle();
    BitBlt(work.Canvas()->Handle(), 0, 0, Rect.Width(), Rect.Height(), dest, Rect.Left, Rect.Top, SRCCOPY);
    work.Canvas()->StretchDraw(TRect(0, 0, Rect.Width(), Rect.Height()), this);
    BLENDFUNCTION blend{AC_SRC_OVER, 0, Opacity, 0};
    AlphaBlend(dest, Rect.Left, Rect.Top, Rect.Width(), Rect.Height(), work.Canvas()->Handle(), 0, 0, Rect.Width(),
               Rect.Height(), blend);
}

void TGraphic::LoadFromFile(const rtl::String& FileName) {
    rtl::TFileStream stream(FileName, rtl::fmOpenRead | rtl::fmShareDenyWrite);
    LoadFromStream(&stream);
}

void TGraphic::SaveToFile(const rtl::String& FileName) {
    rtl::TMemoryStream stream;
    SaveToStream(&stream);
    const auto* p = static_cast<const uint8_t*>(stream.Memory());
    ReplaceFile(FileName, rtl::TBytes(p, p + stream.Size()));
}

// ---- bitmap ----

namespace {

int BitsOf(TPixelFormat F) {
    switch (F) {
    case pf1bit: return 1;
    case pf4bit: return 4;
    case pf8bit: return 8;
    case pf24bit: return 24;
    default: return 32;
    }
}

int64_t StrideOf(int64_t Width, int Bits) { return ((Width * Bits + 31) / 32) * 4; }

std::vector<RGBQUAD> DefaultColorTable(TPixelFormat F) {
    std::vector<RGBQUAD> t;
    if (F == pf1bit) t = {{0, 0, 0, 0}, {255, 255, 255, 0}};
    else if (F == pf4bit) {
        static constexpr uint8_t vga[16][3] = {{0, 0, 0},     {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
                                               {0, 0, 128},   {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
                                               {128, 128, 128}, {255, 0, 0}, {0, 255, 0},   {255, 255, 0},
                                               {0, 0, 255},   {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
        for (const auto& c : vga) t.push_back({c[2], c[1], c[0], 0});
    } else if (F == pf8bit) {
        // A 6x6x6 colour cube and a ramp of grays.
        for (int r = 0; r < 6; ++r)
            for (int g = 0; g < 6; ++g)
                for (int b = 0; b < 6; ++b) t.push_back({uint8_t(b * 51), uint8_t(g * 51), uint8_t(r * 51), 0});
        for (int i = 0; i < 40; ++i) {
            const uint8_t v = uint8_t(i * 255 / 39);
            t.push_back({v, v, v, 0});
        }
    }
    return t;
}

unsigned NearestIndex(const std::vector<RGBQUAD>& Table, uint8_t R, uint8_t G, uint8_t B) {
    unsigned best = 0;
    long bestDist = -1;
    for (size_t i = 0; i < Table.size(); ++i) {
        const long dr = long(Table[i].rgbRed) - R, dg = long(Table[i].rgbGreen) - G, db = long(Table[i].rgbBlue) - B;
        const long d = dr * dr + dg * dg + db * db;
        if (bestDist < 0 || d < bestDist) {
            bestDist = d;
            best = unsigned(i);
        }
    }
    return best;
}

} // namespace

TBitmap::TBitmap() = default;

TBitmap::TBitmap(int AWidth, int AHeight) { SetSize(AWidth, AHeight); }

TBitmap::~TBitmap() {
    FCanvas.reset();
    if (FHandle) DeleteObject(FHandle);
    if (FPaletteHandle) DeleteObject(FPaletteHandle);
}

TGraphic* TBitmap::CreateCopy() const {
    auto* copy = new TBitmap;
    copy->Assign(const_cast<TBitmap*>(this));
    return copy;
}

int TBitmap::BitsPerPixel() const { return BitsOf(FPixelFormat); }
int TBitmap::Stride() const { return int(StrideOf(FWidth, BitsPerPixel())); }

void TBitmap::FreeContext() {
    if (FCanvas) FCanvas->FreeContext();
}

void TBitmap::FreeImage(bool KeepSize) {
    FreeContext();
    if (FPaletteHandle) DeleteObject(FPaletteHandle);
    FPaletteHandle = nullptr;
    if (FHandle) DeleteObject(FHandle);
    FHandle = nullptr;
    FBits = nullptr;
    if (!KeepSize) FWidth = FHeight = 0;
}

void TBitmap::CreateImage(int AWidth, int AHeight, TPixelFormat AFormat, bool FillWhite) {
    FreeImage(false);
    FPixelFormat = AFormat;
    if (AWidth <= 0 || AHeight <= 0) return;
    const int bits = BitsOf(AFormat);
    if (StrideOf(AWidth, bits) * AHeight > (int64_t(1) << 31))
        throw EOutOfResources(QStringLiteral("Out of system resources"));
    if (bits <= 8 && FColors.size() != (size_t(1) << bits)) FColors = DefaultColorTable(AFormat);
    if (bits > 8) FColors.clear();
    std::vector<uint8_t> info(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD) + 3 * sizeof(DWORD), 0);
    auto* bmi = reinterpret_cast<BITMAPINFO*>(info.data());
    bmi->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi->bmiHeader.biWidth = AWidth;
    bmi->bmiHeader.biHeight = AHeight;                  // bottom-up, as the class library's DIBs
    bmi->bmiHeader.biPlanes = 1;
    bmi->bmiHeader.biBitCount = WORD(bits);
    bmi->bmiHeader.biCompression = BI_RGB;
    if (bits <= 8) {
        bmi->bmiHeader.biClrUsed = DWORD(FColors.size());
        std::memcpy(bmi->bmiColors, FColors.data(), FColors.size() * sizeof(RGBQUAD));
    }
    void* bitsPtr = nullptr;
    FHandle = CreateDIBSection(nullptr, bmi, DIB_RGB_COLORS, &bitsPtr, nullptr, 0);
    if (!FHandle || !bitsPtr) {
        if (FHandle) DeleteObject(FHandle);
        FHandle = nullptr;
        throw EOutOfResources(QStringLiteral("Out of system resources"));
    }
    FBits = static_cast<uint8_t*>(bitsPtr);
    FWidth = AWidth;
    FHeight = AHeight;
    const size_t total = size_t(StrideOf(AWidth, bits)) * size_t(AHeight);
    if (!FillWhite) std::memset(FBits, 0, total);
    else if (bits <= 8) {
        const unsigned white = NearestIndex(FColors, 255, 255, 255);
        uint8_t pattern = 0;
        for (int i = 0; i < 8 / bits; ++i) pattern = uint8_t(pattern << bits | white);
        std::memset(FBits, pattern, total);
    } else {
        // One row made white pixel by pixel, then copied to the others: the same bytes, padding included.
        std::memset(FBits, 0, total);
        for (int x = 0; x < AWidth; ++x) SetPixelRGB(x, AHeight - 1, 0xFFFFFF, 0); // the first row in memory
        const size_t stride = size_t(StrideOf(AWidth, bits));
        for (int y = 1; y < AHeight; ++y) std::memcpy(FBits + size_t(y) * stride, FBits, stride);
    }
}

void TBitmap::HandleNeeded() {
    if (!FHandle && FWidth > 0 && FHeight > 0) {
        const int w = FWidth, h = FHeight;
        CreateImage(w, h, FPixelFormat, true);
    }
}

uint32_t TBitmap::GetPixelRGB(int X, int Y) const {
    const int bits = BitsPerPixel();
    const uint8_t* row = FBits + size_t(FHeight - 1 - Y) * size_t(Stride());
    auto fromTable = [&](unsigned i) -> uint32_t {
        if (i >= FColors.size()) return 0;
        return uint32_t(FColors[i].rgbRed) | uint32_t(FColors[i].rgbGreen) << 8 | uint32_t(FColors[i].rgbBlue) << 16;
    };
    switch (bits) {
    case 1: return fromTable((row[X / 8] >> (7 - X % 8)) & 1);
    case 4: return fromTable((row[X / 2] >> (X % 2 ? 0 : 4)) & 15);
    case 8: return fromTable(row[X]);
    case 24: return uint32_t(row[X * 3 + 2]) | uint32_t(row[X * 3 + 1]) << 8 | uint32_t(row[X * 3]) << 16;
    default: return uint32_t(row[X * 4 + 2]) | uint32_t(row[X * 4 + 1]) << 8 | uint32_t(row[X * 4]) << 16;
    }
}

void TBitmap::SetPixelRGB(int X, int Y, uint32_t RGB, uint8_t Alpha) {
    const int bits = BitsPerPixel();
    uint8_t* row = FBits + size_t(FHeight - 1 - Y) * size_t(Stride());
    const uint8_t r = uint8_t(RGB), g = uint8_t(RGB >> 8), b = uint8_t(RGB >> 16);
    switch (bits) {
    case 1: {
        const unsigned i = NearestIndex(FColors, r, g, b);
        row[X / 8] = uint8_t((row[X / 8] & ~(0x80 >> (X % 8))) | (i ? 0x80 >> (X % 8) : 0));
        break;
    }
    case 4: {
        const unsigned i = NearestIndex(FColors, r, g, b);
        row[X / 2] = uint8_t(X % 2 ? (row[X / 2] & 0xF0) | i : (row[X / 2] & 0x0F) | i << 4);
        break;
    }
    case 8: row[X] = uint8_t(NearestIndex(FColors, r, g, b)); break;
    case 24:
        row[X * 3] = b;
        row[X * 3 + 1] = g;
        row[X * 3 + 2] = r;
        break;
    default:
        row[X * 4] = b;
        row[X * 4 + 1] = g;
        row[X * 4 + 2] = r;
        row[X * 4 + 3] = Alpha;
    }
}

void TBitmap::CopyPixelsFrom(const TBitmap& Source, int W, int H) {
    if (!Source.FBits || !FBits) return;
    W = std::min({W, Source.FWidth, FWidth});
    H = std::min({H, Source.FHeight, FHeight});
    const bool sameLayout = Source.FPixelFormat == FPixelFormat ||
                            (BitsPerPixel() == 32 && Source.BitsPerPixel() == 32);
    const bool sameColors = Source.FColors.size() == FColors.size() &&
                            (FColors.empty() ||
                             std::memcmp(Source.FColors.data(), FColors.data(), FColors.size() * sizeof(RGBQUAD)) == 0);
    if (sameLayout && sameColors) {
        const size_t bytes = (size_t(W) * size_t(BitsPerPixel()) + 7) / 8;
        for (int y = 0; y < H; ++y)
            std::memcpy(static_cast<uint8_t*>(ScanLine(y)), const_cast<TBitmap&>(Source).ScanLine(y), bytes);
        return;
    }
    const bool srcAlpha = Source.BitsPerPixel() == 32;
    for (int y = 0; y < H; ++y) {
        const uint8_t* srow = Source.FBits + size_t(Source.FHeight - 1 - y) * size_t(Source.Stride());
        for (int x = 0; x < W; ++x) SetPixelRGB(x, y, Source.GetPixelRGB(x, y), srcAlpha ? srow[x * 4 + 3] : 0);
    }
}

void TBitmap::SetSize(int AWidth, int AHeight) {
    AWidth = std::max(0, AWidth);
    AHeight = std::max(0, AHeight);
    if (AWidth == FWidth && AHeight == FHeight) return;
    TBitmap old;
    old.FPixelFormat = FPixelFormat;
    old.FColors = FColors;
    std::swap(old.FHandle, FHandle);
    std::swap(old.FBits, FBits);
    std::swap(old.FWidth, FWidth);
    std::swap(old.FHeight, FHeight);
    FreeContext();
    CreateImage(AWidth, AHeight, FPixelFormat, true);
    CopyPixelsFrom(old, AWidth, AHeight);
    Changed(this);
}

void TBitmap::SetPixelFormat(TPixelFormat Value) {
    // The DIB sections of the GDI stand-in have 1, 4, 8, 24 or 32 bits per pixel.
    if (Value == pfCustom || Value == pf15bit || Value == pf16bit)
        throw EInvalidGraphic(QStringLiteral("Unsupported pixel format"));
    if (Value == FPixelFormat) return;
    TBitmap old;
    old.FPixelFormat = FPixelFormat;
    old.FColors = FColors;
    std::swap(old.FHandle, FHandle);
    std::swap(old.FBits, FBits);
    std::swap(old.FWidth, FWidth);
    std::swap(old.FHeight, FHeight);
    FreeContext();
    FColors.clear();
    CreateImage(old.FWidth, old.FHeight, Value, true);
    CopyPixelsFrom(old, old.FWidth, old.FHeight);
    if (BitsOf(Value) != 32) FAlphaFormat = afIgnored;
    Changed(this);
}

void TBitmap::SetAlphaFormat(TAlphaFormat Value) {
    if (Value == FAlphaFormat) return;
    if (FBits && BitsPerPixel() == 32 && (Value == afPremultiplied || FAlphaFormat == afPremultiplied)) {
        const bool premultiply = Value == afPremultiplied;
        for (int y = 0; y < FHeight; ++y) {
            auto* row = static_cast<uint8_t*>(ScanLine(y));
            for (int x = 0; x < FWidth; ++x) {
                uint8_t* p = row + x * 4;
                const unsigned a = p[3];
                for (int c = 0; c < 3; ++c) {
                    if (premultiply) p[c] = uint8_t((p[c] * a + 127) / 255);
                    else if (a) p[c] = uint8_t(std::min(255u, (p[c] * 255 + a / 2) / a));
                }
            }
        }
    }
    FAlphaFormat = Value;
    Changed(this);
}

bool TBitmap::Monochrome() const {
    return FPixelFormat == pf1bit && FColors.size() == 2 && FColors[0].rgbRed == 0 && FColors[0].rgbGreen == 0 &&
           FColors[0].rgbBlue == 0 && FColors[1].rgbRed == 255 && FColors[1].rgbGreen == 255 &&
           FColors[1].rgbBlue == 255;
}

void TBitmap::SetMonochrome(bool Value) {
    if (Value == Monochrome()) return;
    if (Value) {
        FColors.clear();
        SetPixelFormat(pf1bit);
    } else
        SetPixelFormat(pfDevice);
}

void* TBitmap::ScanLine(int Row) {
    if (Row < 0 || Row >= FHeight) throw EInvalidGraphicOperation(QStringLiteral("Scan line index out of range"));
    HandleNeeded();
    GdiFlush();
    return FBits + size_t(FHeight - 1 - Row) * size_t(Stride());
}

TCanvas* TBitmap::Canvas() {
    if (!FCanvas) {
        FCanvas = std::make_unique<TBitmapCanvas>(this);
        FCanvas->OnChange = rtl::TNotifyEvent(this, &TBitmap::Changed);
    }
    return FCanvas.get();
}

HBITMAP TBitmap::Handle() {
    HandleNeeded();
    return FHandle;
}

void TBitmap::SetHandle(HBITMAP Value) {
    if (Value == FHandle) return;
    FreeImage(false);
    if (!Value) {
        Changed(this);
        return;
    }
    DIBSECTION ds{};
    const int got = GetObjectW(Value, sizeof ds, &ds);
    const int bits = got > 0 ? ds.dsBm.bmBitsPixel : 0;
    if (got >= int(sizeof ds) && ds.dsBm.bmBits && ds.dsBmih.biHeight > 0 &&
        (bits == 1 || bits == 4 || bits == 8 || bits == 24 || bits == 32) &&
        !(ds.dsBmih.biCompression == BI_BITFIELDS)) {
        // A bottom-up DIB section is used as it is.
        FHandle = Value;
        FBits = static_cast<uint8_t*>(ds.dsBm.bmBits);
        FWidth = ds.dsBm.bmWidth;
        FHeight = ds.dsBm.bmHeight;
        FPixelFormat = bits == 1 ? pf1bit : bits == 4 ? pf4bit : bits == 8 ? pf8bit : bits == 24 ? pf24bit : pf32bit;
        FColors.clear();
        if (bits <= 8) {
            FColors.resize(size_t(1) << bits);
            HDC dc = CreateCompatibleDC(nullptr);
            HGDIOBJ old = SelectObject(dc, Value);
            const UINT n = GetDIBColorTable(dc, 0, UINT(FColors.size()), FColors.data());
            SelectObject(dc, old);
            DeleteDC(dc);
            if (n == 0) FColors = DefaultColorTable(FPixelFormat);
            else FColors.resize(n);
        }
    } else if (got > 0) {
        // Any other bitmap (device-dependent, monochrome, top-down) is copied into a DIB section of
        // its own and then deleted: the bitmap owns what it was given.
        const int w = ds.dsBm.bmWidth, h = std::abs(ds.dsBm.bmHeight);
        FColors.clear();
        CreateImage(w, h, ds.dsBm.bmBitsPixel == 1 ? pf1bit : pf32bit, false);
        HDC src = CreateCompatibleDC(nullptr);
        HGDIOBJ oldSrc = SelectObject(src, Value);
        HDC dst = CreateCompatibleDC(nullptr);
        HGDIOBJ oldDst = SelectObject(dst, FHandle);
        BitBlt(dst, 0, 0, w, h, src, 0, 0, SRCCOPY);
        SelectObject(dst, oldDst);
        SelectObject(src, oldSrc);
        DeleteDC(dst);
        DeleteDC(src);
        DeleteObject(Value);
    } else
        throw EInvalidGraphic(QStringLiteral("Invalid bitmap handle"));
    Changed(this);
}

HBITMAP TBitmap::ReleaseHandle() {
    HandleNeeded();
    FreeContext();
    HBITMAP result = FHandle;
    FHandle = nullptr;
    FBits = nullptr;
    // The size stays; a new blank image is made when the pixels are needed again.
    return result;
}

HPALETTE TBitmap::Palette() const {
    if (FColors.empty()) return nullptr;
    if (FPaletteHandle) return FPaletteHandle;
    std::vector<uint8_t> buffer(sizeof(LOGPALETTE) + FColors.size() * sizeof(PALETTEENTRY));
    auto* lp = reinterpret_cast<LOGPALETTE*>(buffer.data());
    lp->palVersion = 0x300;
    lp->palNumEntries = WORD(FColors.size());
    for (size_t i = 0; i < FColors.size(); ++i)
        lp->palPalEntry[i] = {FColors[i].rgbRed, FColors[i].rgbGreen, FColors[i].rgbBlue, 0};
    FPaletteHandle = CreatePalette(lp);
    return FPaletteHandle;
}

TColor TBitmap::TransparentColor() const {
    if (FTransparentMode == tmFixed) return FTransparentColor;
    if (Empty()) return clDefault;
    if (Monochrome()) return clWhite;
    auto* self = const_cast<TBitmap*>(this);
    self->HandleNeeded();
    return TColor(GetPixelRGB(0, FHeight - 1));
}

void TBitmap::SetTransparentColor(TColor Value) {
    if (Value == FTransparentColor && FTransparentMode == (Value == clDefault ? tmAuto : tmFixed)) return;
    FTransparentMode = Value == clDefault ? tmAuto : tmFixed;
    FTransparentColor = Value;
    Changed(this);
}

void TBitmap::SetTransparentMode(TTransparentMode Value) {
    if (Value == FTransparentMode) return;
    if (Value == tmAuto) SetTransparentColor(clDefault);
    else SetTransparentColor(TransparentColor());
}

void TBitmap::Changed(rtl::TObject* Sender) { TGraphic::Changed(Sender); }

void TBitmap::Assign(rtl::TPersistent* Source) {
    if (!Source) {
        FreeImage(false);
        Changed(this);
        return;
    }
    if (auto* b = dynamic_cast<TBitmap*>(Source)) {
        if (b == this) return;
        FreeImage(false);
        FColors = b->FColors;
        FPixelFormat = b->FPixelFormat;
        FAlphaFormat = b->FAlphaFormat;
        FTransparent = b->FTransparent;
        FTransparentColor = b->FTransparentColor;
        FTransparentMode = b->FTransparentMode;
        if (!b->Empty()) {
            CreateImage(b->FWidth, b->FHeight, b->FPixelFormat, false);
            b->HandleNeeded();
            CopyPixelsFrom(*b, b->FWidth, b->FHeight);
        }
        Changed(this);
        return;
    }
    TGraphic::Assign(Source);
}

void TBitmap::Draw(TCanvas* ACanvas, const TRect& Rect) {
    if (Empty()) return;
    HDC dest = ACanvas->Handle();
    HDC src = Canvas()->Handle();
    if (Transparent()) {
        const COLORREF key = COLORREF(ColorToRGB(TransparentColor())) & 0xFFFFFF;
        TransparentBlt(dest, Rect.Left, Rect.Top, Rect.Width(), Rect.Height(), src, 0, 0, FWidth, FHeight, key);
    } else if (BitsPerPixel() == 32 && FAlphaFormat != afIgnored) {
        BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        if (FAlphaFormat == afDefined) {
            // AlphaBlend wants premultiplied pixels: blend from a premultiplied copy.
            TBitmap copy;
            copy.Assign(this);
            copy.SetAlphaFormat(afPremultiplied);
            AlphaBlend(dest, Rect.Left, Rect.Top, Rect.Width(), Rect.Height(), copy.Canvas()->Handle(), 0, 0, FWidth,
                       FHeight, blend);
        } else
            AlphaBlend(dest, Rect.Left, Rect.Top, Rect.Width(), Rect.Height(), src, 0, 0, FWidth, FHeight, blend);
    } else
        StretchBlt(dest, Rect.Left, Rect.Top, Rect.Width(), Rect.Height(), src, 0, 0, FWidth, FHeight,
                   ACanvas->CopyMode());
}

void TBitmap::DrawTransparent(TCanvas* ACanvas, const TRect& Rect, uint8_t Opacity) {
    if (Opacity == 255 || Empty()) {
        Draw(ACanvas, Rect);
        return;
    }
    HDC dest = ACanvas->Handle();
    const bool perPixel = BitsPerPixel() == 32 && FAlphaFormat != afIgnored;
    TBitmap copy;
    copy.Assign(this);
    if (perPixel && FAlphaFormat == afDefined) copy.SetAlphaFormat(afPremultiplied);
    BLENDFUNCTION blend{AC_SRC_OVER, 0, Opacity, BYTE(perPixel ? AC_SRC_ALPHA : 0)};
    AlphaBlend(dest, Rect.Left, Rect.Top, Rect.Width(), Rect.Height(), copy.Canvas()->Handle(), 0, 0, FWidth, FHeight,
               blend);
}

// BMP files: the file header, an info header (core, 40-byte or later), the colour table and the rows.
void TBitmap::LoadFromStream(rtl::TStream* Stream) {
    auto invalid = []() -> EInvalidGraphic { return EInvalidGraphic(QStringLiteral("Bitmap image is not valid")); };
    const int64_t start = Stream->Position();
    const int64_t available = Stream->Size() - start;
    auto readExact = [&](void* Buffer, int64_t Count) {
        if (Count < 0 || Stream->Read(Buffer, Count) != Count) throw invalid();
    };
    uint8_t fileHeader[14];
    readExact(fileHeader, 14);
    if (fileHeader[0] != 'B' || fileHeader[1] != 'M') throw invalid();
    uint32_t offBits;
    std::memcpy(&offBits, fileHeader + 10, 4);
    uint32_t headerSize = 0;
    readExact(&headerSize, 4);
    if (headerSize != 12 && (headerSize < 40 || headerSize > 124) ) throw invalid();
    std::vector<uint8_t> header(headerSize);
    std::memcpy(header.data(), &headerSize, 4);
    readExact(header.data() + 4, headerSize - 4);

    int32_t width, height;
    uint16_t bitCount;
    uint32_t compression = BI_RGB, clrUsed = 0;
    uint32_t masks[4] = {0, 0, 0, 0};
    if (headerSize == 12) {
        uint16_t w16, h16;
        std::memcpy(&w16, header.data() + 4, 2);
        std::memcpy(&h16, header.data() + 6, 2);
        std::memcpy(&bitCount, header.data() + 10, 2);
        width = w16;
        height = int16_t(h16);
    } else {
        std::memcpy(&width, header.data() + 4, 4);
        std::memcpy(&height, header.data() + 8, 4);
        std::memcpy(&bitCount, header.data() + 14, 2);
        std::memcpy(&compression, header.data() + 16, 4);
        std::memcpy(&clrUsed, header.data() + 32, 4);
        if (headerSize >= 52) std::memcpy(masks, header.data() + 40, 12);
        if (headerSize >= 56) std::memcpy(masks + 3, header.data() + 52, 4);
    }
    if (width <= 0 || height == 0 || height == INT32_MIN) throw invalid();
    const bool topDown = height < 0;
    const int h = std::abs(height);
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)
        throw invalid();
    if (compression == BI_BITFIELDS) {
        if (bitCount != 16 && bitCount != 32) throw invalid();
        if (headerSize == 40) readExact(masks, 12);
    } else if (compression != BI_RGB)
        throw EInvalidGraphic(QStringLiteral("Compressed bitmaps are not supported"));

    std::vector<RGBQUAD> colors;
    if (bitCount <= 8) {
        const uint32_t maxColors = 1u << bitCount;
        const uint32_t count = clrUsed == 0 || clrUsed > maxColors ? maxColors : clrUsed;
        const int entrySize = headerSize == 12 ? 3 : 4;
        if (int64_t(count) * entrySize > available - (Stream->Position() - start)) throw invalid();
        std::vector<uint8_t> table(size_t(count) * size_t(entrySize));
        readExact(table.data(), int64_t(table.size()));
        for (uint32_t i = 0; i < count; ++i)
            colors.push_back({table[i * entrySize], table[i * entrySize + 1], table[i * entrySize + 2], 0});
    }
    if (offBits != 0) {
        const int64_t here = Stream->Position() - start;
        if (int64_t(offBits) < here || int64_t(offBits) > available) throw invalid();
        Stream->SetPosition(start + offBits);
    }
    const int64_t stride = StrideOf(width, bitCount);
    const int64_t remaining = Stream->Size() - Stream->Position();
    if (stride > remaining / h) throw invalid(); // h >= 1; stride * h itself may overflow
    std::vector<uint8_t> pixels(size_t(stride * h));
    readExact(pixels.data(), int64_t(pixels.size()));

    // Build the new image aside, then take it over: a failure keeps the old picture.
    TBitmap result;
    TPixelFormat format = bitCount == 1 ? pf1bit : bitCount == 4 ? pf4bit : bitCount == 8 ? pf8bit
                          : bitCount == 24 ? pf24bit : bitCount == 32 ? pf32bit : pf24bit;
    result.FColors = colors;
    if (bitCount <= 8 && colors.size() < (size_t(1) << bitCount)) result.FColors.resize(size_t(1) << bitCount);
    result.CreateImage(width, h, format, false);
    if (bitCount == 16 || (bitCount == 32 && compression == BI_BITFIELDS)) {
        if (compression != BI_BITFIELDS) {
            masks[0] = 0x7C00;
            masks[1] = 0x03E0;
            masks[2] = 0x001F;
        }
        auto channel = [](uint32_t v, uint32_t mask) -> uint8_t {
            if (!mask) return 0;
            int shift = 0;
            while (!((mask >> shift) & 1)) ++shift;
            const uint32_t maxv = mask >> shift;
            return uint8_t(((v & mask) >> shift) * 255 / maxv);
        };
        for (int y = 0; y < h; ++y) {
            const uint8_t* row = pixels.data() + size_t(topDown ? y : h - 1 - y) * size_t(stride);
            for (int x = 0; x < width; ++x) {
                uint32_t v = 0;
                if (bitCount == 16) v = uint32_t(row[x * 2]) | uint32_t(row[x * 2 + 1]) << 8;
                else std::memcpy(&v, row + x * 4, 4);
                const uint32_t rgb = channel(v, masks[0]) | channel(v, masks[1]) << 8 | channel(v, masks[2]) << 16;
                result.SetPixelRGB(x, y, rgb, masks[3] ? channel(v, masks[3]) : 0);
            }
        }
    } else
        for (int y = 0; y < h; ++y) {
            const uint8_t* row = pixels.data() + size_t(topDown ? y : h - 1 - y) * size_t(stride);
            std::memcpy(result.ScanLine(y), row, size_t(stride));
        }

    FreeImage(false);
    std::swap(FHandle, result.FHandle);
    std::swap(FBits, result.FBits);
    std::swap(FWidth, result.FWidth);
    std::swap(FHeight, result.FHeight);
    FPixelFormat = result.FPixelFormat;
    FColors = result.FColors;
    FAlphaFormat = afIgnored;
    Changed(this);
}

void TBitmap::SaveToStream(rtl::TStream* Stream) {
    HandleNeeded();
    const int bits = BitsPerPixel();
    const uint32_t colorBytes = bits <= 8 ? uint32_t(FColors.size() * 4) : 0;
    const uint32_t imageBytes = uint32_t(Stride()) * uint32_t(FHeight);
    const uint32_t offBits = 14 + 40 + colorBytes;
    uint8_t fileHeader[14] = {'B', 'M'};
    const uint32_t fileSize = offBits + imageBytes;
    std::memcpy(fileHeader + 2, &fileSize, 4);
    std::memcpy(fileHeader + 10, &offBits, 4);
    BITMAPINFOHEADER bih{};
    bih.biSize = 40;
    bih.biWidth = FWidth;
    bih.biHeight = FHeight;
    bih.biPlanes = 1;
    bih.biBitCount = WORD(bits);
    bih.biCompression = BI_RGB;
    bih.biSizeImage = imageBytes;
    bih.biClrUsed = bits <= 8 ? DWORD(FColors.size()) : 0;
    Stream->WriteBuffer(fileHeader, 14);
    Stream->WriteBuffer(&bih, 40);
    if (bits <= 8)
        Stream->WriteBuffer(FColors.data(), int64_t(FColors.size() * 4));
    if (imageBytes) {
        GdiFlush();
        Stream->WriteBuffer(FBits, imageBytes);
    }
}

TBitmapCanvas::~TBitmapCanvas() { FreeContext(); }

void TBitmapCanvas::CreateHandle() {
    if (!FBitmap) return;
    FBitmap->HandleNeeded();
    HDC dc = CreateCompatibleDC(nullptr);
    if (!dc) throw EOutOfResources(QStringLiteral("Out of system resources"));
    FOldBitmap = FBitmap->FHandle ? static_cast<HBITMAP>(SelectObject(dc, FBitmap->FHandle)) : nullptr;
    FHandle = dc;
}

void TBitmapCanvas::FreeContext() {
    if (!FHandle) return;
    HDC dc = FHandle;
    DeselectHandles();
    if (FOldBitmap) SelectObject(dc, FOldBitmap);
    FOldBitmap = nullptr;
    SetHandle(nullptr);
    DeleteDC(dc);
}

TBitmap* AllocPatternBitmap(TColor BkColor, TColor FgColor) {
    static std::vector<std::pair<std::pair<TColor, TColor>, std::unique_ptr<TBitmap>>> cache;
    for (const auto& entry : cache)
        if (entry.first == std::make_pair(BkColor, FgColor)) return entry.second.get();
    auto bmp = std::make_unique<TBitmap>();
    bmp->SetSize(8, 8);
    TCanvas* c = bmp->Canvas();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(BkColor);
    c->FillRect(TRect(0, 0, 8, 8));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            if (y % 2 == x % 2) c->SetPixels(x, y, FgColor);
    cache.emplace_back(std::make_pair(BkColor, FgColor), std::move(bmp));
    return cache.back().second.get();
}

// ---- icon ----

namespace {

struct IconImage {
    int Width = 0, Height = 0;
    std::vector<uint32_t> Pixels;       // BGRA, top-down
    std::vector<uint8_t> Mask;          // 1 = transparent, per pixel
};

struct IconEntry {
    int Width, Height, BitCount;
    uint32_t Size, Offset;
};

std::vector<IconEntry> ReadIconDirectory(const rtl::TBytes& Data, size_t& End) {
    auto invalid = [] { return EInvalidGraphic(QStringLiteral("Icon image is not valid")); };
    if (Data.size() < 6) throw invalid();
    const uint16_t reserved = uint16_t(Data[0] | Data[1] << 8), type = uint16_t(Data[2] | Data[3] << 8),
                   count = uint16_t(Data[4] | Data[5] << 8);
    if (reserved != 0 || type != 1 || count == 0) throw invalid();
    if (size_t(count) * 16 > Data.size() - 6) throw invalid();
    std::vector<IconEntry> entries;
    End = 6 + size_t(count) * 16;
    for (int i = 0; i < count; ++i) {
        const uint8_t* e = Data.data() + 6 + i * 16;
        IconEntry entry{};
        entry.Width = e[0] ? e[0] : 256;
        entry.Height = e[1] ? e[1] : 256;
        entry.BitCount = e[6] | e[7] << 8;
        std::memcpy(&entry.Size, e + 8, 4);
        std::memcpy(&entry.Offset, e + 12, 4);
        if (entry.Offset > Data.size() || entry.Size > Data.size() - entry.Offset || entry.Size < 16) throw invalid();
        End = std::max<size_t>(End, size_t(entry.Offset) + entry.Size);
        entries.push_back(entry);
    }
    return entries;
}

IconImage DecodeIconEntry(const rtl::TBytes& Data, const IconEntry& Entry) {
    auto invalid = [] { return EInvalidGraphic(QStringLiteral("Icon image is not valid")); };
    const uint8_t* p = Data.data() + Entry.Offset;
    IconImage img;
    if (Entry.Size >= 8 && std::memcmp(p, "\x89PNG", 4) == 0) {
        TPngImage png;
        png.LoadFromBytes(rtl::TBytes(p, p + Entry.Size));
        img.Width = png.Width();
        img.Height = png.Height();
        TBitmap bmp;
        bmp.Assign(&png);
        bmp.SetPixelFormat(pf32bit);
        const bool alpha = png.TransparencyMode() == ptmPartial;
        img.Pixels.resize(size_t(img.Width) * size_t(img.Height));
        img.Mask.assign(img.Pixels.size(), 0);
        const TColor key = png.TransparencyMode() == ptmBit ? png.TransparentColor() : clNone;
        for (int y = 0; y < img.Height; ++y) {
            const auto* row = static_cast<const uint32_t*>(bmp.ScanLine(y));
            for (int x = 0; x < img.Width; ++x) {
                uint32_t v = row[x];
                if (!alpha) v |= 0xFF000000u;
                if (key != clNone && TColor(((v >> 16) & 0xFF) | (v & 0xFF00) | (v & 0xFF) << 16) == key) v &= 0x00FFFFFFu;
                img.Pixels[size_t(y) * size_t(img.Width) + size_t(x)] = v;
                img.Mask[size_t(y) * size_t(img.Width) + size_t(x)] = (v >> 24) == 0;
            }
        }
        return img;
    }
    if (Entry.Size < sizeof(BITMAPINFOHEADER)) throw invalid();
    BITMAPINFOHEADER bih;
    std::memcpy(&bih, p, sizeof bih);
    if (bih.biSize < 40 || bih.biSize > Entry.Size || bih.biWidth <= 0 || bih.biWidth > 1024 || bih.biHeight <= 0 ||
        bih.biHeight > 2048 || bih.biCompression != BI_RGB)
        throw invalid();
    const int w = bih.biWidth, h = bih.biHeight / 2;
    const int bits = bih.biBitCount;
    if (h <= 0 || (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32)) throw invalid();
    size_t pos = bih.biSize;
    std::vector<RGBQUAD> colors;
    if (bits <= 8) {
        const uint32_t n = bih.biClrUsed && bih.biClrUsed <= (1u << bits) ? bih.biClrUsed : 1u << bits;
        if (size_t(n) * 4 > Entry.Size - pos) throw invalid();
        colors.resize(n);
        std::memcpy(colors.data(), p + pos, size_t(n) * 4);
        pos += size_t(n) * 4;
    }
    const size_t xorStride = size_t(StrideOf(w, bits)), andStride = size_t(StrideOf(w, 1));
    if (xorStride * size_t(h) > Entry.Size - pos) throw invalid();
    const uint8_t* xorBits = p + pos;
    pos += xorStride * size_t(h);
    // Some 32-bit icons leave the mask out: then alpha alone decides.
    const uint8_t* andBits = andStride * size_t(h) <= Entry.Size - pos ? p + pos : nullptr;
    img.Width = w;
    img.Height = h;
    img.Pixels.resize(size_t(w) * size_t(h));
    img.Mask.assign(img.Pixels.size(), 0);
    bool anyAlpha = false;
    for (int y = 0; y < h; ++y) {
        const uint8_t* row = xorBits + size_t(h - 1 - y) * xorStride;
        const uint8_t* mrow = andBits ? andBits + size_t(h - 1 - y) * andStride : nullptr;
        for (int x = 0; x < w; ++x) {
            uint32_t v = 0;
            auto fromTable = [&](unsigned i) {
                return i < colors.size() ? uint32_t(colors[i].rgbBlue) | uint32_t(colors[i].rgbGreen) << 8 |
                                               uint32_t(colors[i].rgbRed) << 16
                                         : 0u;
            };
            switch (bits) {
            case 1: v = fromTable((row[x / 8] >> (7 - x % 8)) & 1); break;
            case 4: v = fromTable((row[x / 2] >> (x % 2 ? 0 : 4)) & 15); break;
            case 8: v = fromTable(row[x]); break;
            case 24: v = uint32_t(row[x * 3]) | uint32_t(row[x * 3 + 1]) << 8 | uint32_t(row[x * 3 + 2]) << 16; break;
            default: std::memcpy(&v, row + x * 4, 4); anyAlpha |= (v >> 24) != 0;
            }
            const bool transparent = mrow && ((mrow[x / 8] >> (7 - x % 8)) & 1);
            img.Mask[size_t(y) * size_t(w) + size_t(x)] = transparent;
            img.Pixels[size_t(y) * size_t(w) + size_t(x)] = v;
        }
    }
    for (size_t i = 0; i < img.Pixels.size(); ++i) {
        if (bits == 32 && anyAlpha) img.Mask[i] = (img.Pixels[i] >> 24) == 0;
        else img.Pixels[i] = img.Mask[i] ? 0 : (img.Pixels[i] | 0xFF000000u);
    }
    return img;
}

HICON CreateIconFromImage(const IconImage& Img) {
    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = Img.Width;
    bmi.bmiHeader.biHeight = -Img.Height;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP color = CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!color || !bits) {
        if (color) DeleteObject(color);
        return nullptr;
    }
    std::memcpy(bits, Img.Pixels.data(), Img.Pixels.size() * 4);
    const int stride = (Img.Width + 15) / 16 * 2;     // CreateBitmap rows are word aligned
    std::vector<uint8_t> maskBits(size_t(stride) * size_t(Img.Height), 0);
    for (int y = 0; y < Img.Height; ++y)
        for (int x = 0; x < Img.Width; ++x)
            if (Img.Mask[size_t(y) * size_t(Img.Width) + size_t(x)])
                maskBits[size_t(y) * size_t(stride) + size_t(x / 8)] |= uint8_t(0x80 >> (x % 8));
    HBITMAP mask = CreateBitmap(Img.Width, Img.Height, 1, 1, maskBits.data());
    ICONINFO ii{TRUE, 0, 0, mask, color};
    HICON icon = CreateIconIndirect(&ii);
    DeleteObject(color);
    if (mask) DeleteObject(mask);
    return icon;
}

} // namespace

TIcon::~TIcon() { Clear(); }

void TIcon::Clear() {
    if (FHandle) DestroyIcon(FHandle);
    FHandle = nullptr;
    FData.clear();
    FWidth = FHeight = 0;
}

TGraphic* TIcon::CreateCopy() const {
    auto* copy = new TIcon;
    copy->Assign(const_cast<TIcon*>(this));
    return copy;
}

bool TIcon::Empty() const { return !FHandle && FData.empty(); }
int TIcon::Width() const { return FWidth; }
int TIcon::Height() const { return FHeight; }

void TIcon::SetWidth(int Value) {
    if (Empty()) FRequestedWidth = Value;
    else throw EInvalidGraphicOperation(QStringLiteral("Cannot change the size of an icon"));
}

void TIcon::SetHeight(int Value) {
    if (Empty()) FRequestedHeight = Value;
    else throw EInvalidGraphicOperation(QStringLiteral("Cannot change the size of an icon"));
}

void TIcon::HandleNeeded() {
    if (FHandle || FData.empty()) return;
    size_t end = 0;
    const auto entries = ReadIconDirectory(FData, end);
    const int wantW = FRequestedWidth > 0 ? FRequestedWidth : GetSystemMetrics(SM_CXICON);
    const int wantH = FRequestedHeight > 0 ? FRequestedHeight : GetSystemMetrics(SM_CYICON);
    const IconEntry* best = nullptr;
    for (const auto& e : entries) {
        auto dist = [&](const IconEntry& x) { return std::abs(x.Width - wantW) + std::abs(x.Height - wantH); };
        if (!best || dist(e) < dist(*best) || (dist(e) == dist(*best) && e.BitCount > best->BitCount)) best = &e;
    }
    const IconImage img = DecodeIconEntry(FData, *best);
    FHandle = CreateIconFromImage(img);
    if (!FHandle) throw EOutOfResources(QStringLiteral("Out of system resources"));
    FWidth = img.Width;
    FHeight = img.Height;
}

HICON TIcon::Handle() {
    HandleNeeded();
    return FHandle;
}

void TIcon::SetHandle(HICON Value) {
    if (Value == FHandle) return;
    Clear();
    FHandle = Value;
    if (Value) {
        ICONINFO ii{};
        if (GetIconInfo(Value, &ii)) {
            BITMAP bm{};
            if (ii.hbmColor && GetObjectW(ii.hbmColor, sizeof bm, &bm) > 0) {
                FWidth = bm.bmWidth;
                FHeight = std::abs(bm.bmHeight);
            } else if (ii.hbmMask && GetObjectW(ii.hbmMask, sizeof bm, &bm) > 0) {
                FWidth = bm.bmWidth;
                FHeight = std::abs(bm.bmHeight) / 2;
            }
            if (ii.hbmColor) DeleteObject(ii.hbmColor);
            if (ii.hbmMask) DeleteObject(ii.hbmMask);
        }
    }
    Changed(this);
}

HICON TIcon::ReleaseHandle() {
    HandleNeeded();
    HICON result = FHandle;
    FHandle = nullptr;
    FData.clear();
    FWidth = FHeight = 0;
    Changed(this);
    return result;
}

void TIcon::Assign(rtl::TPersistent* Source) {
    if (!Source) {
        Clear();
        Changed(this);
        return;
    }
    if (auto* icon = dynamic_cast<TIcon*>(Source)) {
        if (icon == this) return;
        Clear();
        FRequestedWidth = icon->FRequestedWidth;
        FRequestedHeight = icon->FRequestedHeight;
        if (!icon->FData.empty()) {
            FData = icon->FData;
            FWidth = icon->FWidth;
            FHeight = icon->FHeight;
            if (icon->FHandle) HandleNeeded();
        } else if (icon->FHandle) {
            FHandle = CopyIcon(icon->FHandle);
            FWidth = icon->FWidth;
            FHeight = icon->FHeight;
        }
        Changed(this);
        return;
    }
    TGraphic::Assign(Source);
}

void TIcon::AssignTo(rtl::TPersistent* Dest) {
    if (auto* bmp = dynamic_cast<TBitmap*>(Dest)) {
        // The icon's colour bitmap with straight alpha: its own alpha when it has one, else the mask's.
        ICONINFO ii{};
        if (!Handle() || !GetIconInfo(FHandle, &ii)) throw EInvalidGraphic(QStringLiteral("Icon image is not valid"));
        TBitmap color, mask;
        mask.SetHandle(ii.hbmMask);
        if (ii.hbmColor) color.SetHandle(ii.hbmColor);
        else {
            // A monochrome icon: the mask's lower half is the picture.
            color.SetPixelFormat(pf32bit);
            color.SetSize(mask.Width(), mask.Height() / 2);
            BitBlt(color.Canvas()->Handle(), 0, 0, color.Width(), color.Height(), mask.Canvas()->Handle(), 0,
                   color.Height(), SRCCOPY);
        }
        color.SetPixelFormat(pf32bit);
        bool anyAlpha = false;
        for (int y = 0; y < color.Height() && !anyAlpha; ++y) {
            const auto* row = static_cast<const uint8_t*>(color.ScanLine(y));
            for (int x = 0; x < color.Width(); ++x) anyAlpha |= row[x * 4 + 3] != 0;
        }
        if (!anyAlpha)
            for (int y = 0; y < color.Height(); ++y) {
                auto* row = static_cast<uint8_t*>(color.ScanLine(y));
                for (int x = 0; x < color.Width(); ++x)
                    row[x * 4 + 3] = y < mask.Height() && mask.GetPixelRGB(x, y) != 0 ? 0 : 255;
            }
        color.SetAlphaFormat(afDefined);
        bmp->Assign(&color);
        return;
    }
    TGraphic::AssignTo(Dest);
}

void TIcon::LoadFromStream(rtl::TStream* Stream) {
    const int64_t start = Stream->Position();
    const int64_t remaining = Stream->Size() - start;
    if (remaining < 6 || remaining > (int64_t(1) << 30)) throw EInvalidGraphic(QStringLiteral("Icon image is not valid"));
    rtl::TBytes data(size_t(remaining), 0);
    if (Stream->Read(data.data(), remaining) != remaining) throw EInvalidGraphic(QStringLiteral("Icon image is not valid"));
    size_t end = 0;
    const auto entries = ReadIconDirectory(data, end);
    data.resize(end);
    // Decode now so that a damaged image is reported at load time, not at the first paint.
    TIcon loaded;
    loaded.FRequestedWidth = FRequestedWidth;
    loaded.FRequestedHeight = FRequestedHeight;
    loaded.FData = std::move(data);
    loaded.HandleNeeded();
    Clear();
    std::swap(FData, loaded.FData);
    std::swap(FHandle, loaded.FHandle);
    FWidth = loaded.FWidth;
    FHeight = loaded.FHeight;
    Stream->SetPosition(start + int64_t(end));
    Changed(this);
}

void TIcon::SaveToStream(rtl::TStream* Stream) {
    if (!FData.empty()) {
        Stream->WriteBuffer(FData.data(), int64_t(FData.size()));
        return;
    }
    if (!FHandle) return;
    // An icon known only by its handle: one 32-bit entry with its mask.
    TBitmap bmp;
    AssignTo(&bmp);
    const int w = bmp.Width(), h = bmp.Height();
    const size_t maskStride = size_t(StrideOf(w, 1));
    const uint32_t imageSize = uint32_t(40 + size_t(w) * size_t(h) * 4 + maskStride * size_t(h));
    std::vector<uint8_t> out(6 + 16, 0);
    out[2] = 1;
    out[4] = 1;
    out[6] = uint8_t(w >= 256 ? 0 : w);
    out[7] = uint8_t(h >= 256 ? 0 : h);
    out[10] = 1;
    out[12] = 32;
    std::memcpy(out.data() + 14, &imageSize, 4);
    const uint32_t offset = 22;
    std::memcpy(out.data() + 18, &offset, 4);
    BITMAPINFOHEADER bih{};
    bih.biSize = 40;
    bih.biWidth = w;
    bih.biHeight = h * 2;
    bih.biPlanes = 1;
    bih.biBitCount = 32;
    const auto* b = reinterpret_cast<const uint8_t*>(&bih);
    out.insert(out.end(), b, b + 40);
    std::vector<uint8_t> mask(maskStride * size_t(h), 0);
    for (int y = h - 1; y >= 0; --y) {
        const auto* row = static_cast<const uint8_t*>(bmp.ScanLine(y));
        out.insert(out.end(), row, row + size_t(w) * 4);
        for (int x = 0; x < w; ++x)
            if (row[x * 4 + 3] == 0) mask[size_t(h - 1 - y) * maskStride + size_t(x / 8)] |= uint8_t(0x80 >> (x % 8));
    }
    out.insert(out.end(), mask.begin(), mask.end());
    Stream->WriteBuffer(out.data(), int64_t(out.size()));
}

void TIcon::Draw(TCanvas* ACanvas, const TRect& Rect) {
    HICON icon = Handle();
    if (!icon) return;
    DrawIconEx(ACanvas->Handle(), Rect.Left, Rect.Top, icon, Rect.Width(), Rect.Height(), 0, nullptr, DI_NORMAL);
}

// ---- picture ----

namespace {

struct FileFormat {
    rtl::String Extension;
    rtl::String Description;
    rtl::String ClassName;
    TPicture::TGraphicFactory Factory;
};

std::vector<FileFormat>& FileFormats() {
    static std::vector<FileFormat> formats = {
        {QStringLiteral("bmp"), QStringLiteral("Bitmaps"), QStringLiteral("TBitmap"), [] { return new TBitmap; }},
        {QStringLiteral("ico"), QStringLiteral("Icons"), QStringLiteral("TIcon"), [] { return new TIcon; }},
        {QStringLiteral("png"), QStringLiteral("Portable Network Graphics"), QStringLiteral("TPngImage"),
         [] { return new TPngImage; }},
        {QStringLiteral("jpg"), QStringLiteral("JPEG Image File"), QStringLiteral("TJPEGImage"),
         [] { return new TJPEGImage; }},
        {QStringLiteral("jpeg"), QStringLiteral("JPEG Image File"), QStringLiteral("TJPEGImage"),
         [] { return new TJPEGImage; }},
        {QStringLiteral("jpe"), QStringLiteral("JPEG Image File"), QStringLiteral("TJPEGImage"),
         [] { return new TJPEGImage; }},
        {QStringLiteral("jfif"), QStringLiteral("JPEG Image File"), QStringLiteral("TJPEGImage"),
         [] { return new TJPEGImage; }},
        {QString(), QString(), QStringLiteral("TPNGObject"), [] { return new TPNGObject; }},
    };
    return formats;
}

} // namespace

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::RegisterFileFormat(const rtl::String& Extension, const rtl::String& Description,
                                  const rtl::String& ClassName, TGraphicFactory Factory) {
    auto& formats = FileFormats();
    formats.insert(formats.begin(), FileFormat{Extension.toLower(), Description, ClassName, std::move(Factory)});
}

void TPicture::UnregisterGraphicClass(const rtl::String& ClassName) {
    auto& formats = FileFormats();
    formats.erase(std::remove_if(formats.begin(), formats.end(),
                                 [&](const FileFormat& f) { return f.ClassName == ClassName; }),
                  formats.end());
}

TGraphic* TPicture::CreateGraphicByClassName(const rtl::String& ClassName) {
    for (const auto& f : FileFormats())
        if (f.ClassName.compare(ClassName, Qt::CaseInsensitive) == 0) return f.Factory();
    return nullptr;
}

void TPicture::Changed(rtl::TObject*) { OnChange(this); }

void TPicture::Adopt(TGraphic* NewGraphic) {
    FGraphic.reset(NewGraphic);
    if (FGraphic) FGraphic->OnChange = rtl::TNotifyEvent(this, &TPicture::Changed);
    Changed(this);
}

void TPicture::SetGraphic(TGraphic* Value) {
    if (Value == FGraphic.get()) return;
    Adopt(Value ? Value->CreateCopy() : nullptr);
}

TBitmap* TPicture::Bitmap() {
    if (!dynamic_cast<TBitmap*>(FGraphic.get())) Adopt(new TBitmap);
    return static_cast<TBitmap*>(FGraphic.get());
}

TIcon* TPicture::Icon() {
    if (!dynamic_cast<TIcon*>(FGraphic.get())) Adopt(new TIcon);
    return static_cast<TIcon*>(FGraphic.get());
}

void TPicture::LoadFromFile(const rtl::String& FileName) {
    const QString ext = QFileInfo(FileName).suffix().toLower();
    for (const auto& f : FileFormats())
        if (!f.Extension.isEmpty() && f.Extension == ext) {
            std::unique_ptr<TGraphic> graphic(f.Factory());
            graphic->LoadFromFile(FileName);
            Adopt(graphic.release());
            return;
        }
    throw EInvalidGraphic(QStringLiteral("Unknown picture file extension (.%1)").arg(ext));
}

void TPicture::SaveToFile(const rtl::String& FileName) {
    if (FGraphic) FGraphic->SaveToFile(FileName);
}

void TPicture::LoadFromStream(rtl::TStream* Stream) {
    const int64_t start = Stream->Position();
    uint8_t sig[8] = {};
    const int64_t got = Stream->Read(sig, 8);
    Stream->SetPosition(start);
    std::unique_ptr<TGraphic> graphic;
    if (got >= 2 && sig[0] == 'B' && sig[1] == 'M') graphic = std::make_unique<TBitmap>();
    else if (got >= 8 && std::memcmp(sig, "\x89PNG\r\n\x1a\n", 8) == 0) graphic = std::make_unique<TPngImage>();
    else if (got >= 3 && sig[0] == 0xFF && sig[1] == 0xD8 && sig[2] == 0xFF) graphic = std::make_unique<TJPEGImage>();
    else if (got >= 4 && sig[0] == 0 && sig[1] == 0 && sig[2] == 1 && sig[3] == 0) graphic = std::make_unique<TIcon>();
    else throw EInvalidGraphic(QStringLiteral("Unsupported graphic format"));
    graphic->LoadFromStream(Stream);
    Adopt(graphic.release());
}

void TPicture::SaveToStream(rtl::TStream* Stream) {
    if (FGraphic) FGraphic->SaveToStream(Stream);
}

void TPicture::Assign(rtl::TPersistent* Source) {
    if (!Source) SetGraphic(nullptr);
    else if (auto* p = dynamic_cast<TPicture*>(Source)) SetGraphic(p->Graphic());
    else if (auto* g = dynamic_cast<TGraphic*>(Source)) SetGraphic(g);
    else rtl::TPersistent::Assign(Source);
}

void TPicture::AssignTo(rtl::TPersistent* Dest) {
    if (FGraphic && dynamic_cast<TGraphic*>(Dest)) {
        static_cast<rtl::TPersistent*>(Dest)->Assign(FGraphic.get());
        return;
    }
    rtl::TPersistent::AssignTo(Dest);
}

// ---- graphics from resources ----

namespace {

// The module keeps a bitmap without its file header: put one back (pixels right after the colours)
// and read it as a file.
void LoadBitmapResource(TBitmap* Bitmap, TResourceStream& Resource) {
    rtl::TMemoryStream file;
    const uint32_t fileSize = uint32_t(std::min<int64_t>(Resource.Size() + 14, UINT32_MAX)), zero = 0;
    file.WriteBuffer("BM", 2);
    file.WriteBuffer(&fileSize, 4);
    file.WriteBuffer(&zero, 4);
    file.WriteBuffer(&zero, 4);
    file.CopyFrom(&Resource, 0);
    file.SetPosition(0);
    Bitmap->LoadFromStream(&file);
}

} // namespace

void TBitmap::LoadFromResourceName(HINSTANCE Instance, const rtl::String& ResName) {
    TResourceStream stream(Instance, ResName, RT_BITMAP);
    LoadBitmapResource(this, stream);
}

void TBitmap::LoadFromResourceID(HINSTANCE Instance, int ResID) {
    std::unique_ptr<TResourceStream> stream(TResourceStream::CreateFromID(Instance, ResID, RT_BITMAP));
    LoadBitmapResource(this, *stream);
}

static void LoadIconResource(TIcon* Icon, HINSTANCE Instance, LPCWSTR Name, int Width, int Height) {
    // Without a size set, the system icon size (as an .ico file loads).
    HICON handle = static_cast<HICON>(LoadImageW(Instance, Name, IMAGE_ICON, Width, Height, LR_DEFAULTSIZE));
    if (!handle) {
        const rtl::String shown = IS_INTRESOURCE(Name)
                                      ? QStringLiteral("#%1").arg(reinterpret_cast<ULONG_PTR>(Name))
                                      : QString::fromUtf16(Name);
        throw EResNotFound(QStringLiteral("Resource %1 not found").arg(shown));
    }
    Icon->SetHandle(handle);
}

void TIcon::LoadFromResourceName(HINSTANCE Instance, const rtl::String& ResName) {
    LoadIconResource(this, Instance, reinterpret_cast<LPCWSTR>(ResName.utf16()), FRequestedWidth, FRequestedHeight);
}

void TIcon::LoadFromResourceID(HINSTANCE Instance, int ResID) {
    LoadIconResource(this, Instance, MAKEINTRESOURCEW(ResID), FRequestedWidth, FRequestedHeight);
}

} // namespace vcl
