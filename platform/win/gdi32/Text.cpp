// Fonts and text output: LOGFONTW mapped to installed families, drawn with QPainter.
#include "win/gdi32/Gdi.h"
#include "win/kernel32/winbase.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QPainter>
#include <QRawFont>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <string>

using namespace wingdi;

namespace {

QString FaceOf(const LOGFONTW& lf) {
    size_t n = 0;
    while (n < LF_FACESIZE && lf.lfFaceName[n]) ++n;
    return QString::fromUtf16(lf.lfFaceName, qsizetype(n));
}

bool IsMonospaceName(const QString& face) {
    static const char* const names[] = {"Consolas",
                                        "Courier New",
                                        "Courier",
                                        "Lucida Console",
                                        "Fixedsys",
                                        "Terminal",
                                        "Lucida Sans Typewriter",
                                        "Cascadia Mono"};
    for (const char* n : names)
        if (face.compare(QLatin1String(n), Qt::CaseInsensitive) == 0) return true;
    return false;
}

// Whether a family is installed, asked once per name: the font database's answer goes through
// fontconfig's alias rules each time, which costs more than the text that is measured. Adding or
// removing a font forgets the answers.
std::map<QString, bool>& KnownFamilies() {
    static std::map<QString, bool> known;
    return known;
}

bool HasFamily(const QString& face) {
    auto& known = KnownFamilies();
    auto it = known.find(face);
    if (it == known.end()) it = known.emplace(face, QFontDatabase::hasFamily(face)).first;
    return it->second;
}

QString FamilyFor(const LOGFONTW& lf) {
    QString face = FaceOf(lf);
    if (face.startsWith(u'@')) face = face.mid(1); // vertical variants: same glyphs here
    if (!face.isEmpty() && HasFamily(face)) return face;
    if (IsMonospaceName(face) || (lf.lfPitchAndFamily & 3) == FIXED_PITCH ||
        (face.isEmpty() && (lf.lfPitchAndFamily & 0xF0) == FF_MODERN))
        return QStringLiteral("DejaVu Sans Mono");
    return QStringLiteral("DejaVu Sans");
}

// Cell height (ascent + descent) per em for a family, measured once.
double CellPerEm(const QString& family) {
    static std::map<QString, double> cache;
    auto it = cache.find(family);
    if (it != cache.end()) return it->second;
    QFont f(family);
    f.setPixelSize(1000);
    QFontMetricsF fm(f);
    const double ratio = (fm.ascent() + fm.descent()) / 1000.0;
    cache[family] = ratio > 0.5 ? ratio : 1.0;
    return cache[family];
}

struct Metrics {
    int ascent, descent, height, internalLeading, externalLeading, aveWidth, maxWidth;
    bool fixedPitch;
};

Metrics MetricsOf(const QFont& qf) {
    QFontMetrics fm(qf);
    Metrics m{};
    m.ascent = fm.ascent();
    m.descent = fm.descent();
    m.height = m.ascent + m.descent;
    m.internalLeading = std::max(0, m.height - qf.pixelSize());
    m.externalLeading = std::max(0, fm.leading());
    m.aveWidth = fm.averageCharWidth();
    m.maxWidth = fm.maxWidth();
    m.fixedPitch = QFontInfo(qf).fixedPitch();
    return m;
}

// "Marlett", the face of the system's menu and caption glyphs, comes from Wine's font package, whose
// files are not on the font path: the one file is added when a font of that face is first made.
struct MarlettFont {
    std::string path = "/usr/share/wine/fonts/marlett.ttf";
    int id = -1;
    bool tried = false;
};

MarlettFont& Marlett() {
    static MarlettFont m;
    return m;
}

bool IsMarlettFace(const QString& face) { return face.compare(QLatin1String("Marlett"), Qt::CaseInsensitive) == 0; }

bool MarlettAvailable() {
    MarlettFont& m = Marlett();
    if (!m.tried) {
        m.tried = true;
        EnsureGuiApplication();
        m.id = m.path.empty() ? -1 : QFontDatabase::addApplicationFont(QString::fromStdString(m.path));
        if (m.id >= 0 && QFontDatabase::applicationFontFamilies(m.id).isEmpty()) {
            QFontDatabase::removeApplicationFont(m.id);
            m.id = -1;
        }
        KnownFamilies().clear();
    }
    return m.id >= 0;
}

} // namespace

namespace wingdi {

QFont QFontOf(const LOGFONTW& lf) {
    EnsureGuiApplication();
    const QString family = FamilyFor(lf);
    QFont f(family);
    int em = 0;
    if (lf.lfHeight < 0)
        em = -lf.lfHeight;
    else
        em = int(std::lround((lf.lfHeight == 0 ? 16 : lf.lfHeight) / CellPerEm(family)));
    f.setPixelSize(std::max(1, em));
    const int weight = lf.lfWeight == 0 ? FW_NORMAL : std::clamp<int>(lf.lfWeight, 100, 900);
    f.setWeight(QFont::Weight(weight));
    f.setItalic(lf.lfItalic != 0);
    f.setUnderline(lf.lfUnderline != 0);
    f.setStrikeOut(lf.lfStrikeOut != 0);
    f.setKerning(false); // GDI does not kern unless asked
    f.setHintingPreference(QFont::PreferFullHinting);
    if (lf.lfQuality == NONANTIALIASED_QUALITY) f.setStyleStrategy(QFont::NoAntialias);
    if (lf.lfWidth > 0) {
        const int natural = QFontMetrics(f).averageCharWidth();
        if (natural > 0)
            f.setStretch(std::clamp<int>(int(std::lround(lf.lfWidth * 100.0 / natural)), 1, 4000));
    }
    return f;
}

const LOGFONTW& CurrentLogFont(const DC& dc) {
    Font* f = GetFont(dc.s.font);
    if (!f) f = GetFont(GetStockObject(SYSTEM_FONT));
    return f->lf;
}

const QFont& CurrentQFont(const DC& dc) {
    Font* f = GetFont(dc.s.font);
    if (!f) f = GetFont(GetStockObject(SYSTEM_FONT));
    if (!f->qfont) f->qfont = std::make_unique<QFont>(QFontOf(f->lf));
    return *f->qfont;
}

const Font& CurrentFont(const DC& dc) {
    const Font* f = GetFont(dc.s.font);
    return f ? *f : *GetFont(GetStockObject(SYSTEM_FONT));
}

// The metrics of the DC's font, kept by font for each thread: a layout asks for them item by item.
Metrics CurrentMetrics(const DC& dc) {
    struct TKept {
        uint64_t Font = 0;
        Metrics Value{};
    };
    thread_local std::array<TKept, 16> Kept;
    const uint64_t serial = CurrentFont(dc).serial;
    TKept& k = Kept[serial % Kept.size()];
    if (k.Font != serial) {
        k.Value = MetricsOf(CurrentQFont(dc));
        k.Font = serial;
    }
    return k.Value;
}

int TextWidth(const DC& dc, const QString& text) {
    if (text.isEmpty()) return 0;
    // A text is measured several times over while it is laid out and drawn (fitted, ellipsed,
    // aligned), and a bar lays out all its items again on every resize: measures are kept by font and
    // text, for each thread, in a table the pair's hash picks the place in.
    struct TMeasure {
        uint64_t Font = 0;
        QString Text;
        int Width = 0;
    };
    thread_local std::array<TMeasure, 512> Kept;
    const uint64_t serial = CurrentFont(dc).serial;
    const int extra = dc.s.charExtra * int(text.size());
    TMeasure& m = Kept[(qHash(text) ^ size_t(serial * 0x9E3779B97F4A7C15ull)) % Kept.size()];
    if (m.Font == serial && m.Text == text) return m.Width + extra;
    m.Font = serial;
    m.Text = text;
    m.Width = QFontMetrics(CurrentQFont(dc)).horizontalAdvance(text);
    return m.Width + extra;
}

BOOL TextLine(DC& dc, int x, int y, UINT options, const RECT* rect, const QString& text, const INT* dx) {
    PixelTarget t = dc.Target();
    if (!t.Valid()) return TRUE;
    const QFont& qf = CurrentQFont(dc);
    const LOGFONTW& lf = CurrentLogFont(dc);
    const Metrics m = CurrentMetrics(dc);
    const bool updateCP = dc.s.textAlign & TA_UPDATECP;
    if (updateCP) {
        x = dc.s.pos.x;
        y = dc.s.pos.y;
    }
    // Glyph positions along the line: from the caller's spacing or the font's advances.
    std::vector<int> pos;
    int width = 0;
    if (dx) {
        for (qsizetype i = 0; i < text.size(); ++i) {
            pos.push_back(width);
            width += dx[i];
        }
    } else {
        width = TextWidth(dc, text);
    }
    const UINT align = dc.s.textAlign;
    double ox = 0;
    if ((align & TA_CENTER) == TA_CENTER)
        ox = -width / 2.0;
    else if (align & TA_RIGHT)
        ox = -width;
    double baseline = m.ascent; // TA_TOP
    if ((align & TA_BASELINE) == TA_BASELINE)
        baseline = 0;
    else if (align & TA_BOTTOM)
        baseline = -m.descent;
    const double angle = lf.lfEscapement / 10.0;
    const double rad = angle * M_PI / 180.0;
    const POINT p = dc.ToDevice(x, y);

    if (options & ETO_OPAQUE && rect) {
        Brush bk;
        bk.color = dc.s.bkColor;
        BrushSource src;
        src.brush = &bk;
        src.solid = t.FromColorRef(dc.s.bkColor);
        PaintRegion(dc, Region::FromRect(dc.ToDevice(*rect)).Intersect(dc.EffectiveClip()), src, R2_COPYPEN);
    }
    std::optional<Region> extra;
    if ((options & ETO_CLIPPED) && rect) extra = Region::FromRect(dc.ToDevice(*rect));

    if (!text.isEmpty()) {
        // Device bounds of the text cell, rotated, with room for overhangs.
        const double top = baseline - m.ascent;
        const double corners[4][2] = {
            {ox, top}, {ox + width, top}, {ox, top + m.height}, {ox + width, top + m.height}};
        double minx = 1e18, miny = 1e18, maxx = -1e18, maxy = -1e18;
        for (const auto& c : corners) {
            const double X = p.x + c[0] * std::cos(rad) + c[1] * std::sin(rad);
            const double Y = p.y - c[0] * std::sin(rad) + c[1] * std::cos(rad);
            minx = std::min(minx, X), maxx = std::max(maxx, X), miny = std::min(miny, Y),
            maxy = std::max(maxy, Y);
        }
        const int pad = std::max(2, qf.pixelSize() / 2);
        RECT box{LONG(std::floor(minx)) - pad, LONG(std::floor(miny)) - pad, LONG(std::ceil(maxx)) + pad,
                 LONG(std::ceil(maxy)) + pad};
        Region visible = dc.EffectiveClip();
        if (extra) visible = visible.Intersect(*extra);
        const RECT vb = visible.Bounds();
        box = RECT{std::max(box.left, vb.left), std::max(box.top, vb.top), std::min(box.right, vb.right),
                   std::min(box.bottom, vb.bottom)};
        if (box.left < box.right && box.top < box.bottom) {
            QImage img = ReadImage(dc, box);
            const QImage before = img.copy();
            {
                QPainter painter(&img);
                painter.translate(p.x - box.left, p.y - box.top);
                painter.rotate(-angle);
                if (dc.s.bkMode == OPAQUE)
                    painter.fillRect(QRectF(ox, baseline - m.ascent, width, m.height),
                                     QColor(0xFF000000u | RgbOf(dc.s.bkColor)));
                painter.setFont(qf);
                painter.setPen(QColor(0xFF000000u | RgbOf(dc.s.textColor)));
                if (dx || dc.s.charExtra) {
                    int adv = 0;
                    for (qsizetype i = 0; i < text.size(); ++i) {
                        const double gx = ox + (dx ? pos[size_t(i)] : adv);
                        painter.drawText(QPointF(gx, baseline), QString(text[i]));
                        if (!dx) adv += QFontMetrics(qf).horizontalAdvance(text[i]) + dc.s.charExtra;
                    }
                } else {
                    painter.drawText(QPointF(ox, baseline), text);
                }
            }
            WriteImage(dc, box, img, before, extra ? &*extra : nullptr);
        }
    }
    if (updateCP) {
        dc.s.pos.x = x + LONG(std::lround(width * std::cos(rad)));
        dc.s.pos.y = y - LONG(std::lround(width * std::sin(rad)));
    }
    return TRUE;
}

} // namespace wingdi

extern "C" {

HFONT WINAPI CreateFontIndirectW(const LOGFONTW* lf) {
    if (!lf) return nullptr;
    // Without its file the glyph face cannot be had: another face would draw letters instead of glyphs.
    if (IsMarlettFace(FaceOf(*lf)) && !MarlettAvailable()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return nullptr;
    }
    auto f = std::make_unique<Font>();
    f->lf = *lf;
    f->lf.lfFaceName[LF_FACESIZE - 1] = 0;
    return static_cast<HFONT>(AddObject(std::move(f)));
}

HFONT WINAPI CreateFontW(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                         DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision,
                         DWORD clipPrecision, DWORD quality, DWORD pitchAndFamily, LPCWSTR face) {
    LOGFONTW lf{};
    lf.lfHeight = height;
    lf.lfWidth = width;
    lf.lfEscapement = escapement;
    lf.lfOrientation = orientation;
    lf.lfWeight = weight;
    lf.lfItalic = BYTE(italic);
    lf.lfUnderline = BYTE(underline);
    lf.lfStrikeOut = BYTE(strikeOut);
    lf.lfCharSet = BYTE(charSet);
    lf.lfOutPrecision = BYTE(outPrecision);
    lf.lfClipPrecision = BYTE(clipPrecision);
    lf.lfQuality = BYTE(quality);
    lf.lfPitchAndFamily = BYTE(pitchAndFamily);
    for (int i = 0; face && face[i] && i < LF_FACESIZE - 1; ++i) lf.lfFaceName[i] = face[i];
    return CreateFontIndirectW(&lf);
}

BOOL WINAPI TextOutW(HDC hdc, int x, int y, LPCWSTR s, int c) {
    DC* dc = wingdi::GetDC(hdc);
    if (!dc || c < 0 || (!s && c > 0)) return FALSE;
    return TextLine(*dc, x, y, 0, nullptr, QString::fromUtf16(s, c), nullptr);
}

BOOL WINAPI ExtTextOutW(HDC hdc, int x, int y, UINT options, const RECT* rect, LPCWSTR s, UINT c,
                        const INT* dx) {
    DC* dc = wingdi::GetDC(hdc);
    if (!dc || (!s && c > 0)) return FALSE;
    if (options & ETO_GLYPH_INDEX) return FALSE; // glyph indices are not used by the program
    return TextLine(*dc, x, y, options, rect, QString::fromUtf16(s, qsizetype(c)), dx);
}

BOOL WINAPI GetTextExtentPoint32W(HDC hdc, LPCWSTR s, int c, LPSIZE size) {
    DC* dc = wingdi::GetDC(hdc);
    if (!dc || !size || c < 0 || (!s && c > 0)) return FALSE;
    const QString text = QString::fromUtf16(s, c);
    size->cx = TextWidth(*dc, text);
    size->cy = CurrentMetrics(*dc).height;
    return TRUE;
}

BOOL WINAPI GetTextExtentExPointW(HDC hdc, LPCWSTR s, int c, int maxExtent, LPINT fit, LPINT dx,
                                  LPSIZE size) {
    DC* dc = wingdi::GetDC(hdc);
    if (!dc || c < 0 || (!s && c > 0)) return FALSE;
    const QString text = QString::fromUtf16(s, c);
    QFontMetrics fm(CurrentQFont(*dc));
    int n = 0;
    for (int i = 0; i < c; ++i) {
        const int w = fm.horizontalAdvance(text.left(i + 1)) + dc->s.charExtra * (i + 1);
        if (dx) dx[i] = w;
        if (w <= maxExtent) n = i + 1;
    }
    if (fit) *fit = n;
    if (size) {
        size->cx = TextWidth(*dc, text);
        size->cy = CurrentMetrics(*dc).height;
    }
    return TRUE;
}

BOOL WINAPI GetTextMetricsW(HDC hdc, LPTEXTMETRICW tm) {
    DC* dc = wingdi::GetDC(hdc);
    if (!dc || !tm) return FALSE;
    const LOGFONTW& lf = CurrentLogFont(*dc);
    const Metrics m = CurrentMetrics(*dc);
    *tm = TEXTMETRICW{};
    tm->tmHeight = m.height;
    tm->tmAscent = m.ascent;
    tm->tmDescent = m.descent;
    tm->tmInternalLeading = m.internalLeading;
    tm->tmExternalLeading = m.externalLeading;
    tm->tmAveCharWidth = m.aveWidth;
    tm->tmMaxCharWidth = m.maxWidth;
    tm->tmWeight = lf.lfWeight == 0 ? FW_NORMAL : lf.lfWeight;
    tm->tmDigitizedAspectX = TwGetLogPixels();
    tm->tmDigitizedAspectY = TwGetLogPixels();
    tm->tmFirstChar = 0x20;
    tm->tmLastChar = 0xFFFC;
    tm->tmDefaultChar = 0x1F;
    tm->tmBreakChar = 0x20;
    tm->tmItalic = lf.lfItalic ? 0xFF : 0;
    tm->tmUnderlined = lf.lfUnderline ? 0xFF : 0;
    tm->tmStruckOut = lf.lfStrikeOut ? 0xFF : 0;
    // The "fixed pitch" bit is set for variable-pitch fonts: Windows' own inverted convention.
    tm->tmPitchAndFamily = BYTE((m.fixedPitch ? 0 : TMPF_FIXED_PITCH) | TMPF_VECTOR | TMPF_TRUETYPE |
                                (m.fixedPitch ? FF_MODERN : FF_SWISS));
    tm->tmCharSet = lf.lfCharSet == DEFAULT_CHARSET ? ANSI_CHARSET : lf.lfCharSet;
    return TRUE;
}

int WINAPI GetTextFaceW(HDC hdc, int c, LPWSTR name) {
    DC* dc = wingdi::GetDC(hdc);
    if (!dc) return 0;
    const QString family = QFontInfo(CurrentQFont(*dc)).family();
    if (!name) return int(family.size()) + 1;
    if (c <= 0) return 0;
    const int n = std::min<int>(int(family.size()), c - 1);
    std::memcpy(name, family.utf16(), size_t(n) * sizeof(WCHAR));
    name[n] = 0;
    return n + 1;
}

BOOL WINAPI GetCharWidth32W(HDC hdc, UINT first, UINT last, LPINT out) {
    DC* dc = wingdi::GetDC(hdc);
    if (!dc || !out || last < first) return FALSE;
    QFontMetrics fm(CurrentQFont(*dc));
    for (UINT ch = first; ch <= last; ++ch) out[ch - first] = fm.horizontalAdvance(QChar(char16_t(ch)));
    return TRUE;
}

static int EnumFamilies(const QString& wanted, FONTENUMPROCW proc, LPARAM lParam) {
    EnsureGuiApplication();
    int result = 1;
    const QStringList families = QFontDatabase::families();
    for (const QString& fam : families) {
        if (!wanted.isEmpty() && fam.compare(wanted, Qt::CaseInsensitive) != 0) continue;
        ENUMLOGFONTEXW elf{};
        LOGFONTW& lf = elf.elfLogFont;
        lf.lfHeight = -12;
        lf.lfWeight = FW_NORMAL;
        lf.lfCharSet = ANSI_CHARSET;
        lf.lfOutPrecision = OUT_TT_PRECIS;
        lf.lfQuality = DEFAULT_QUALITY;
        lf.lfPitchAndFamily = BYTE(QFontDatabase::isFixedPitch(fam) ? FIXED_PITCH : VARIABLE_PITCH);
        const int n = std::min<int>(int(fam.size()), LF_FACESIZE - 1);
        std::memcpy(lf.lfFaceName, fam.utf16(), size_t(n) * sizeof(WCHAR));
        std::memcpy(elf.elfFullName, fam.utf16(), size_t(n) * sizeof(WCHAR));
        NEWTEXTMETRICW ntm{};
        ntm.tm.tmHeight = 12;
        ntm.tm.tmWeight = FW_NORMAL;
        result = proc(&lf, &ntm.tm, TRUETYPE_FONTTYPE, lParam);
        if (!result) break;
    }
    return result;
}

int WINAPI EnumFontFamiliesExW(HDC, LPLOGFONTW lf, FONTENUMPROCW proc, LPARAM lParam, DWORD) {
    if (!lf || !proc) return 0;
    return EnumFamilies(FaceOf(*lf), proc, lParam);
}

int WINAPI EnumFontsW(HDC, LPCWSTR face, FONTENUMPROCW proc, LPARAM lParam) {
    if (!proc) return 0;
    return EnumFamilies(face ? QString::fromUtf16(face) : QString(), proc, lParam);
}

HANDLE WINAPI AddFontMemResourceEx(PVOID data, DWORD size, PVOID, DWORD* count) {
    if (!data || size == 0) return nullptr;
    EnsureGuiApplication();
    const int id = QFontDatabase::addApplicationFontFromData(
        QByteArray(static_cast<const char*>(data), qsizetype(size)));
    if (id < 0) return nullptr;
    KnownFamilies().clear();
    if (count) *count = DWORD(QFontDatabase::applicationFontFamilies(id).size());
    return reinterpret_cast<HANDLE>(intptr_t(id) + 1);
}

BOOL WINAPI TwSetMarlettFile(const char* path) {
    MarlettFont& m = Marlett();
    if (m.id >= 0) QFontDatabase::removeApplicationFont(m.id);
    m = MarlettFont{};
    m.path = path ? path : "";
    KnownFamilies().clear();
    return TRUE;
}

BOOL WINAPI RemoveFontMemResourceEx(HANDLE h) {
    if (!h) return FALSE;
    KnownFamilies().clear();
    return QFontDatabase::removeApplicationFont(int(reinterpret_cast<intptr_t>(h) - 1));
}

} // extern "C"
