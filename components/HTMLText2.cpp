// components/HTMLText2.cpp
#include "components/HTMLText2.h"

#include "rtl/SysUtils.h"
#include "win/shell32/shellapi.h"

#include <QFileInfo>

#include <algorithm>
#include <unordered_map>

namespace components {

// ---- tokens ----

String TListToken::GetLinkText(int IEnd) const {
    std::vector<const String*> parts;
    for (int i = IEnd - 1; i >= 0; --i) {
        const TToken* t = Item(i);
        if (t->Kind == ttLink) break;
        if (t->Kind == ttSpace || t->Kind == ttText) parts.push_back(&t->Text);
    }
    String result;
    for (auto it = parts.rbegin(); it != parts.rend(); ++it) result += **it;
    return result;
}

namespace {

void AddToken(TListToken& L, TTokenKind Kind, bool TagClose, const String& Text, int32_t Value) {
    auto token = std::make_unique<TToken>();
    token->Kind = Kind;
    token->TagClose = TagClose;
    token->Text = Text;
    token->Value = Value;
    L.Add(std::move(token));
}

String AsciiUpper(const String& S) {
    String result = S;
    for (auto& c : result)
        if (c >= u'a' && c <= u'z') c = QChar(c.unicode() - 32);
    return result;
}

bool ReadByte(const String& S, int& Value) {
    return rtl::TryStrToInt(S, Value) && Value >= 0 && Value <= 255;
}

bool IsDelimiter(QChar C) {
    return C == u' ' || C == u'<' || C == u'>' || C == u'/' || C == u'\\';
}

} // namespace

String ReplaceEntities(const String& S) {
    static const struct {
        const char16_t* Name;
        char16_t Char;
    } entities[] = {
        {u"&lt;", u'<'},          {u"&gt;", u'>'},          {u"&euro;", u'\u20AC'},   {u"&cent;", u'\u00A2'},
        {u"&pound;", u'\u00A3'},  {u"&yen;", u'\u00A5'},    {u"&amp;", u'&'},         {u"&copy;", u'\u00A9'},
        {u"&reg;", u'\u00AE'},    {u"&sect;", u'\u00A7'},   {u"&deg;", u'\u00B0'},    {u"&sup2;", u'\u00B2'},
        {u"&sup3;", u'\u00B3'},   {u"&Integral;", u'\u222B'}, {u"&micro;", u'\u00B5'}, {u"&para;", u'\u00B6'},
        {u"&middot;", u'\u00B7'}, {u"&plusmn;", u'\u00B1'}, {u"&times;", u'\u00D7'},  {u"&divide;", u'\u00F7'},
        {u"&Omega;", u'\u03A9'},  {u"&alpha;", u'\u03B1'},  {u"&beta;", u'\u03B2'},   {u"&gamma;", u'\u03B3'},
        {u"&Gamma;", u'\u0393'},  {u"&delta;", u'\u03B4'},  {u"&Delta;", u'\u0394'},  {u"&pi;", u'\u03C0'},
        {u"&Pi;", u'\u03A0'},     {u"&Sigma;", u'\u03A3'},  {u"&bull;", u'\u2022'},   {u"&ndash;", u'\u2013'},
        {u"&trade;", u'\u2122'},  {u"&SmallCircle;", u'\u2218'},
    };
    if (!S.contains(u'&')) return S;
    String result = S;
    // One pass per entity, in table order: what "&amp;" leaves behind meets the later entities.
    for (const auto& e : entities) result.replace(QString::fromUtf16(e.Name), QString(QChar(e.Char)));
    return result;
}

bool ParseHexColor(const String& S, TColor& Color) {
    String text = S;
    text.remove(u' ');
    text.remove(u'#');
    if (text.size() == 3) {
        const QChar doubled[6] = {text[0], text[0], text[1], text[1], text[2], text[2]};
        text = String(doubled, 6);
    }
    if (text.size() != 6) return false;
    int bytes[3];
    for (int i = 0; i < 3; ++i) {
        String pair = text.mid(2 * i, 2);
        if (!pair.startsWith(u'$')) pair.prepend(u'$');
        if (!ReadByte(pair, bytes[i])) return false;
    }
    Color = bytes[0] + bytes[1] * 256 + bytes[2] * 65536;
    return true;
}

bool ParseRgbColor(const String& S, TColor& Color) {
    String text = S;
    text.replace(u' ', u',');
    text.remove(QStringLiteral("rgb"), Qt::CaseInsensitive);
    text.remove(u'(');
    text.remove(u')');
    const auto first = text.indexOf(u',');
    if (first < 0) {
        int n = 0;
        if (!ReadByte(text, n)) return false;
        Color = n * 0x010101;
        return true;
    }
    const String rest = text.mid(first + 1);
    const auto second = rest.indexOf(u',');
    if (second < 0) return false;
    int r = 0, g = 0, b = 0;
    if (!ReadByte(text.left(first), r) || !ReadByte(rest.left(second), g) || !ReadByte(rest.mid(second + 1), b))
        return false;
    Color = r + g * 256 + b * 65536;
    return true;
}

TColor ParseMarkupColor(const String& S) {
    TColor color = vcl::clNone;
    if (S.startsWith(u'#') && ParseHexColor(S, color)) return color;
    if ((S.startsWith(QStringLiteral("rgb"), Qt::CaseInsensitive) || S.contains(u',') || S.contains(u' ')) &&
        ParseRgbColor(S, color))
        return color;
    String text = S;
    if (text.startsWith(u'$')) text.insert(1, QStringLiteral("00"));
    try {
        return vcl::StringToColor(text);
    } catch (const rtl::Exception&) {
        return vcl::clNone;
    }
}

bool ParseTag(const String& Content, TListToken& L) {
    String content = Content;
    bool close = false;
    if (content.startsWith(u'/')) {
        content.remove(0, 1);
        close = true;
    }
    const auto colon = content.indexOf(u':');
    const bool hasParam = colon >= 0;
    const String name = AsciiUpper(hasParam ? content.left(colon) : content);
    const String param = hasParam ? content.mid(colon + 1) : String();
    if (close && hasParam) return false;

    auto add = [&](TTokenKind Kind, const String& Text = {}, int32_t Value = 0) {
        AddToken(L, Kind, close, Text, Value);
        return true;
    };
    // A switch that takes no parameter; its closing form is accepted.
    auto plain = [&](TTokenKind Kind) { return hasParam ? false : add(Kind); };
    auto colour = [&](TTokenKind Kind) {
        if (close) return add(Kind);
        const TColor c = ParseMarkupColor(param);
        return c == vcl::clNone ? false : add(Kind, {}, c);
    };
    auto positive = [&](TTokenKind Kind) {
        const int v = rtl::StrToIntDef(param, 0);
        return v > 0 ? add(Kind, {}, v) : false;
    };

    static const struct {
        const char* Name;
        TTokenKind Kind;
    } switches[] = {{"B", ttBold},       {"I", ttItalic},         {"U", ttUnderline},     {"S", ttStrike},
                    {"L", ttAlignLeft},  {"C", ttAlignCenter},    {"R", ttAlignRight}};
    for (const auto& s : switches)
        if (name == QLatin1String(s.Name)) return plain(s.Kind);

    if (name == u"BR") return close ? false : plain(ttBreak);
    if (name == u"FN") return close ? add(ttFontName) : (param.isEmpty() ? false : add(ttFontName, param));
    if (name == u"FS") return close ? add(ttFontSize) : positive(ttFontSize);
    if (name == u"FC") return colour(ttFontColor);
    if (name == u"BC") return colour(ttBackColor);
    if (name == u"A") return hasParam && param.isEmpty() ? false : add(ttLink, param);
    if (name == u"T" || name == u"TF") return close ? false : positive(name == u"T" ? ttTab : ttTabF);
    if (name == u"HR") return add(ttHorizontalLine, {}, rtl::StrToIntDef(param, 0));
    if (name == u"H1") return add(ttHeader1);
    if (name == u"H2") return add(ttHeader2);
    if (name == u"H3") return add(ttHeader3);
    if (name == u"LC" || name == u"BBC") {
        if (close) return false; // no colour given
        return colour(name == u"LC" ? ttLineColor : ttBodyBackgroundColor);
    }
    if (name == u"LI") return add(ttListItem, param);
    if (name == u"LI2") return add(ttListItem2, param);
    if (name == u"IMG") return hasParam && param.isEmpty() ? false : add(ttImage, param);
    if (name == u"SUB") return add(ttSubscript);
    if (name == u"SUP") return add(ttSuperscript);
    if (name == u"LN") {
        if (param.isEmpty()) return add(ttLine, {}, vcl::clBlack);
        const TColor c = ParseMarkupColor(param);
        return c == vcl::clNone ? false : add(ttLine, {}, c);
    }
    return false;
}

void Tokenize(const String& Text, TListToken& L) {
    String text = Text;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("<BR>"));
    const qsizetype n = text.size();
    qsizetype nextGt = -1; // the first ">" at or after the last search start; only moves forward
    qsizetype pos = 0;
    while (pos < n) {
        const QChar c = text[pos];
        if (c == u'<') {
            if (nextGt != n && nextGt <= pos) {
                nextGt = text.indexOf(u'>', pos + 1);
                if (nextGt < 0) nextGt = n;
            }
            if (nextGt == n) {
                AddToken(L, ttInvalid, false, {}, 0);
                pos += 1;
                continue;
            }
            if (!ParseTag(text.mid(pos + 1, nextGt - pos - 1), L)) AddToken(L, ttInvalid, false, {}, 0);
            pos = nextGt + 1;
        } else if (c == u'>') {
            AddToken(L, ttInvalid, false, {}, 0);
            pos += 1;
        } else if (c == u' ') {
            AddToken(L, ttSpace, false, QStringLiteral(" "), 0);
            pos += 1;
        } else if (c == u'/' || c == u'\\') {
            AddToken(L, ttText, false, String(c), 0);
            pos += 1;
        } else {
            qsizetype end = pos + 1;
            while (end < n && !IsDelimiter(text[end])) ++end;
            AddToken(L, ttText, false, ReplaceEntities(text.mid(pos, end - pos)), 0);
            pos = end;
        }
    }
}

// ---- layout ----

THqHHeaderLayout::THqHHeaderLayout(int Size) : Font(std::make_unique<TFont>()) {
    Font->SetName(QStringLiteral("Arial"));
    Font->SetStyle({vcl::fsBold});
    Font->SetSize(Size);
}

THqHLayoutSettings::THqHLayoutSettings() : Font(std::make_unique<TFont>()) {}

namespace {

// Tag values (tab stops, line ends, font sizes) come from the text and may be anything an int holds.
// Positions are summed in 64 bits and kept within this bound, far beyond any window, so that a word's
// rectangle (a position plus a measured size) always fits an int.
constexpr int64_t LayoutLimit = int64_t(1) << 28;
int ClampCoord(int64_t V) { return int(std::clamp(V, -LayoutLimit, LayoutLimit)); }

// A style stack whose first element, the starting state, is never removed.
template <class T> class TListStack {
public:
    explicit TListStack(T First) : FItems{First} {}
    void AddOrDel(const TToken& Token, T Value) {
        if (Token.TagClose) {
            if (FItems.size() > 1) FItems.pop_back();
        } else {
            FItems.push_back(Value);
        }
    }
    T Top() const { return FItems.back(); }

private:
    std::vector<T> FItems;
};

class TBuilder {
public:
    TBuilder(const THqHLayoutSettings& ALb, vcl::TCanvas* ACanvas, THqHLayout& AOut)
        : Lb(ALb), Canvas(ACanvas), Out(AOut), Font(ACanvas->Font()),
          FBold(Font->Style().Contains(vcl::fsBold)), FItalic(Font->Style().Contains(vcl::fsItalic)),
          FUnderline(Font->Style().Contains(vcl::fsUnderline)), FStrike(Font->Style().Contains(vcl::fsStrikeOut)),
          FName(Font->Name()), FSize(Font->Size()), FColor(Font->Color()), FBack(vcl::clNone),
          FAlign(taLeftJustify) {}

    void LayoutTokens();
    void AlignLines();

    const THqHLayoutSettings& Lb;
    vcl::TCanvas* Canvas;
    THqHLayout& Out;
    TListToken L;
    std::vector<int32_t> LGroupBound;
    int32_t CalcWidth = 0, CalcHeight = 0;

private:
    vcl::TSize Measure(const String& Text);
    void BreakLine();
    void AddWord(const TRect& R, const String& Text, bool Space, TColor ExtraColor, int32_t TagID);
    void AddMarker(const TToken& T, const TRect& R, int32_t TagID, TColor ExtraColor);
    void PlaceText(const TToken& T);
    void ApplyStyle();
    const THqHHeaderLayout* ActiveHeader() const;
    int ScriptSize() const;
    int SubscriptStep();
    int SuperscriptStep();

    TFont* Font;
    // One canvas per font met: switching the label canvas's font back and forth for every styled run
    // would realise a new font each time.
    std::unordered_map<QString, std::unique_ptr<vcl::TBitmap>> FMeasurers;
    vcl::TBitmap* FMeasurer = nullptr;
    String FMeasuredName;
    int FMeasuredHeight = 0;
    vcl::TFontStyles FMeasuredStyle;
    TListStack<bool> FBold, FItalic, FUnderline, FStrike;
    TListStack<String> FName;
    TListStack<int> FSize;
    TListStack<TColor> FColor, FBack;
    TListStack<TAlignment> FAlign;

    int X = 0, Y = 0, LineHeight = 0, WidestLine = 0, LineCount = 0;
    bool TabIndentOn = false;
    int TabIndent = 0;
    bool ListItem = false, ListItem2 = false;
    bool Header[3] = {false, false, false};
    bool Subscript = false, Superscript = false;
    int ScriptBase = -1; // the font size when the running sub- or superscript began
    bool InLink = false;
    int LinkIndex = -1;
    TAlignment Alignment = taLeftJustify;
    TColor Background = vcl::clNone;
    int LastHeight = 0;
};

void TBuilder::ApplyStyle() {
    vcl::TFontStyles style;
    if (FBold.Top()) style.Include(vcl::fsBold);
    if (FItalic.Top()) style.Include(vcl::fsItalic);
    if (FUnderline.Top()) style.Include(vcl::fsUnderline);
    if (FStrike.Top()) style.Include(vcl::fsStrikeOut);
    Font->SetStyle(style);
}

const THqHHeaderLayout* TBuilder::ActiveHeader() const {
    if (Header[0]) return &Lb.TagH1Params;
    if (Header[1]) return &Lb.TagH2Params;
    if (Header[2]) return &Lb.TagH3Params;
    return nullptr;
}

void TBuilder::AddWord(const TRect& R, const String& Text, bool Space, TColor ExtraColor, int32_t TagID) {
    auto w = std::make_unique<THqHWord>();
    w->Rect = R;
    w->Text = Text;
    w->Group = static_cast<int32_t>(LGroupBound.size());
    w->Align = Alignment;
    w->Font = std::make_unique<TFont>();
    w->Font->Assign(Font);
    w->BColor = Background;
    w->Link = InLink;
    w->LinkID = LinkIndex;
    w->Space = Space;
    w->ExtraColor = ExtraColor;
    w->TagID = TagID;
    Out.LWords.push_back(std::move(w));
}

void TBuilder::AddMarker(const TToken& T, const TRect& R, int32_t TagID, TColor ExtraColor) {
    AddWord(R, T.Text, false, ExtraColor, TagID);
}

vcl::TSize TBuilder::Measure(const String& Text) {
    const TFont& f = *Font;
    if (!FMeasurer || f.Name() != FMeasuredName || f.Height() != FMeasuredHeight || f.Style() != FMeasuredStyle) {
        FMeasuredName = f.Name();
        FMeasuredHeight = f.Height();
        FMeasuredStyle = f.Style();
        int styleBits = 0;
        for (auto s : {vcl::fsBold, vcl::fsItalic, vcl::fsUnderline, vcl::fsStrikeOut})
            styleBits = styleBits * 2 + int(FMeasuredStyle.Contains(s));
        auto& measurer = FMeasurers[FMeasuredName + u'|' + QString::number(FMeasuredHeight) + u'|' + QString::number(styleBits)];
        if (!measurer) {
            measurer = std::make_unique<vcl::TBitmap>();
            measurer->SetSize(1, 1);
            measurer->Canvas()->Font()->Assign(Font);
        }
        FMeasurer = measurer.get();
    }
    return FMeasurer->Canvas()->TextExtent(Text);
}

void TBuilder::BreakLine() {
    if (LineHeight == 0) LineHeight = ClampCoord(Measure(QStringLiteral(" ")).cy);
    Y = ClampCoord(int64_t(Y) + LineHeight + Lb.ExtraLineSpacing);
    LineHeight = 0;
    WidestLine = std::max(WidestLine, X);
    X = 0;
    if (TabIndentOn) X = TabIndent;
    if (ListItem) X = Lb.TagLIMargin;
    if (ListItem2) X = Lb.TagLI2Margin;
    LGroupBound.push_back(Out.BitmapWidth);
    ++LineCount;
}

// The size the offset and reduction tables are read with: the header's while one is active.
int TBuilder::ScriptSize() const {
    if (const auto* h = ActiveHeader()) return h->Font->Size();
    return ScriptBase;
}

int TBuilder::SubscriptStep() {
    const int s = ScriptSize();
    int offset = 0;
    if (s >= 1 && s <= 8) offset = -2;
    else if (s == 9) offset = -1;
    else if (s == 11 || s == 12) offset = 1;
    else if (s == 13 || s == 14) offset = -1;
    else if (s >= 15 && s <= 17) offset = 1;
    else if (s == 20) offset = -1;
    else if (s == 21 || s == 22) offset = -3;
    offset += Lb.TagSUBParams.PosYDelta;
    int d = 9;
    if (s >= 1 && s <= 8) d = 1;
    else if (s >= 9 && s <= 11) d = 2;
    else if (s >= 12 && s <= 14) d = 3;
    else if (s >= 15 && s <= 18) d = 4;
    else if (s >= 19 && s <= 22) d = 5;
    else if (s >= 23 && s <= 29) d = 7;
    Font->SetSize(ScriptBase - d + Lb.TagSUBParams.FontSizeDelta);
    return offset + Measure(QStringLiteral("1")).cy / 2;
}

int TBuilder::SuperscriptStep() {
    const int s = ScriptSize();
    int offset;
    if (s >= 1 && s <= 8) offset = -2;
    else if (s == 9) offset = -3;
    else if (s == 10) offset = -5;
    else offset = 1 - s / 2;
    offset += Lb.TagSUPParams.PosYDelta;
    int d;
    if (s >= 1 && s <= 8) d = 1;
    else if (s == 9) d = 2;
    else if (s <= 11 && s >= 10) d = 3;
    else if (s <= 13 && s >= 12) d = 4;
    else if (s <= 15 && s >= 14) d = 5;
    else if (s <= 17 && s >= 16) d = 6;
    else d = s / 2 - 4;
    Font->SetSize(ScriptBase - d + Lb.TagSUPParams.FontSizeDelta);
    return -(Measure(QStringLiteral("1")).cy / 2) - offset;
}

void TBuilder::PlaceText(const TToken& T) {
    int offset = 0;
    if (Subscript || Superscript) {
        if (ScriptBase < 0) ScriptBase = Font->Size();
        offset = Subscript ? SubscriptStep() : SuperscriptStep();
    }
    const String text = T.Kind == ttInvalid ? QStringLiteral("<?>") : T.Kind == ttSpace ? QStringLiteral(" ") : T.Text;
    const vcl::TSize size = Measure(text);
    const int w = ClampCoord(int64_t(size.cx) + Lb.ExtraWordSpacing), h = ClampCoord(size.cy);
    LastHeight = h;
    const int64_t right = int64_t(X) + w;
    const bool overflow = Lb.AutoWidth ? (Lb.MaxWidth > 0 && right > Lb.MaxWidth) : right > Out.BitmapWidth;
    if (overflow) {
        if (!Out.LWords.empty() && Out.LWords.back()->Space) {
            X -= Out.LWords.back()->Rect.Width();
            Out.LWords.pop_back();
        }
        BreakLine();
        if (T.Kind == ttSpace) return;
    }
    LineHeight = std::max(LineHeight, h);
    AddWord(TRect(X, Y, ClampCoord(int64_t(X) + w), ClampCoord(int64_t(Y) + h + offset)), text, T.Kind == ttSpace,
            vcl::clNone, tagText);
    X = ClampCoord(int64_t(X) + w);
}

void TBuilder::LayoutTokens() {
    for (int index = 0; index < L.Count(); ++index) {
        const TToken& t = *L.Item(index);
        switch (t.Kind) {
        case ttBold: FBold.AddOrDel(t, true); ApplyStyle(); break;
        case ttItalic: FItalic.AddOrDel(t, true); ApplyStyle(); break;
        case ttUnderline: FUnderline.AddOrDel(t, true); ApplyStyle(); break;
        case ttStrike: FStrike.AddOrDel(t, true); ApplyStyle(); break;
        case ttFontName: FName.AddOrDel(t, t.Text); Font->SetName(FName.Top()); break;
        case ttFontSize: FSize.AddOrDel(t, t.Value); Font->SetSize(FSize.Top()); break;
        case ttFontColor: FColor.AddOrDel(t, t.Value); Font->SetColor(FColor.Top()); break;
        case ttBackColor: FBack.AddOrDel(t, t.Value); Background = FBack.Top(); break;
        case ttAlignLeft:
        case ttAlignCenter:
        case ttAlignRight:
            FAlign.AddOrDel(t, t.Kind == ttAlignLeft ? taLeftJustify : t.Kind == ttAlignCenter ? taCenter : taRightJustify);
            Alignment = FAlign.Top();
            break;
        case ttTab:
        case ttTabF:
            X = ClampCoord(t.Value);
            TabIndentOn = t.Kind == ttTabF;
            TabIndent = X;
            LGroupBound.push_back(X);
            break;
        case ttBreak:
            TabIndentOn = ListItem = ListItem2 = false;
            BreakLine();
            break;
        case ttLink:
            if (!t.TagClose) {
                Out.LLinkData.push_back(std::make_unique<THqHLinkData>(THqHLinkData{t.Text, {}}));
                InLink = true;
                LinkIndex = static_cast<int>(Out.LLinkData.size()) - 1;
            } else {
                if (LinkIndex != -1) Out.LLinkData[static_cast<size_t>(LinkIndex)]->Text = L.GetLinkText(index);
                InLink = false;
                LinkIndex = -1;
            }
            break;
        case ttHorizontalLine: {
            int64_t end = Out.BitmapWidth;
            if (t.Value != 0) {
                end = t.Value;
                if (t.Value < 0) end += Out.BitmapWidth;
                if (Lb.InternalMargins.Enabled) end += int64_t(Lb.InternalMargins.Left) - Lb.InternalMargins.Right;
            }
            const int start = TabIndentOn ? TabIndent : X;
            AddMarker(t, TRect(start, Y, ClampCoord(end), ClampCoord(int64_t(Y) + Measure(QStringLiteral("1")).cy)),
                      tagHorizontalLine, 0);
            LGroupBound.push_back(Out.BitmapWidth);
            ++LineCount;
            break;
        }
        case ttHeader1:
        case ttHeader2:
        case ttHeader3: {
            const int h = t.Kind - ttHeader1;
            const THqHHeaderLayout& params = h == 0 ? Lb.TagH1Params : h == 1 ? Lb.TagH2Params : Lb.TagH3Params;
            Header[h] = !t.TagClose;
            if (!t.TagClose) {
                Font->Assign(params.Font.get());
                Alignment = params.Alignment;
                if (!params.Transparent) Background = params.BackgroundColor;
            } else {
                Font->SetColor(FColor.Top());
                Font->SetSize(FSize.Top());
                Font->SetName(FName.Top());
                Background = FBack.Top();
                Alignment = FAlign.Top();
                ApplyStyle();
            }
            break;
        }
        case ttLineColor:
            AddMarker(t, TRect(X, Y, 0, ClampCoord(int64_t(Y) + Measure(QStringLiteral("1")).cy)), tagLineColor,
                      t.Value);
            break;
        case ttListItem:
        case ttListItem2: {
            const bool first = t.Kind == ttListItem;
            X = first ? Lb.TagLIMargin : Lb.TagLI2Margin;
            const vcl::TSize size = Measure(t.Text);
            AddMarker(t, TRect(X, Y, ClampCoord(int64_t(X) + size.cx), ClampCoord(int64_t(Y) + size.cy)),
                      first ? tagListItem : tagListItem2, 0);
            (first ? ListItem : ListItem2) = true;
            LGroupBound.push_back(X);
            break;
        }
        case ttImage: AddMarker(t, TRect(X, Y, 0, ClampCoord(int64_t(Y) + LastHeight)), tagImage, 0); break;
        case ttBodyBackgroundColor: AddMarker(t, TRect(X, Y, 0, 0), tagBodyBackground, t.Value); break;
        case ttLine: AddMarker(t, TRect(X, Y, 0, 0), tagLine, t.Value); break;
        case ttSubscript:
        case ttSuperscript:
            (t.Kind == ttSubscript ? Subscript : Superscript) = !t.TagClose;
            if (t.TagClose) {
                if (const auto* h = ActiveHeader())
                    Font->Assign(h->Font.get());
                else
                    Font->SetSize(FSize.Top());
                ScriptBase = -1;
            }
            break;
        case ttInvalid:
        case ttSpace:
        case ttText: PlaceText(t); break;
        }
    }
    if (!Out.LWords.empty()) BreakLine();
    CalcWidth = WidestLine;
    if (Lb.InternalMargins.Enabled) CalcWidth += Lb.InternalMargins.Left + Lb.InternalMargins.Right;
    CalcHeight = Y;
    Out.Lines = LineCount;
}

void TBuilder::AlignLines() {
    const size_t groups = LGroupBound.size() + 1;
    std::vector<int64_t> contentEnd(groups, 0);
    std::vector<bool> started(groups, false);
    for (const auto& w : Out.LWords) {
        const auto g = static_cast<size_t>(w->Group);
        if (!started[g]) {
            contentEnd[g] = w->Rect.Left;
            started[g] = true;
        }
        contentEnd[g] += w->Rect.Right - w->Rect.Left;
    }
    for (const auto& w : Out.LWords) {
        if (w->Align == taLeftJustify) continue;
        const auto g = static_cast<size_t>(w->Group);
        if (g >= LGroupBound.size()) continue; // a group nothing closed has no bound to align to
        int shift = static_cast<int>(LGroupBound[g] - contentEnd[g]);
        if (w->Align == taCenter) shift /= 2;
        w->Rect.Offset(shift, 0);
    }
}

} // namespace

void RebuildLayout(const THqHLayoutSettings& Lb, vcl::TCanvas* Canvas, THqHLayout& Out) {
    Out.LWords.clear();
    Out.LLinkData.clear();
    Out.BitmapWidth = Lb.Width;
    if (Lb.InternalMargins.Enabled) Out.BitmapWidth -= Lb.InternalMargins.Left + Lb.InternalMargins.Right;
    Canvas->Font()->Assign(Lb.Font.get());
    TBuilder builder(Lb, Canvas, Out);
    Tokenize(Lb.Text, builder.L);
    builder.LayoutTokens();
    builder.AlignLines();
    Out.TextWidth = builder.CalcWidth;
    Out.TextHeight = builder.CalcHeight;
}

} // namespace components

namespace components {

// ---- the label's settings objects ----

THqHStyleLinkProp::THqHStyleLinkProp(THqHTMLText2* Owner, THqHKindStyleLinkProp Kind)
    : FOwner(Owner), FKind(Kind), FFontColor(Kind == tslpNormal ? vcl::clBlue : vcl::clRed) {}

void THqHStyleLinkProp::Assign(rtl::TPersistent* Source) {
    auto* style = dynamic_cast<THqHStyleLinkProp*>(Source);
    if (!style) {
        rtl::TPersistent::Assign(Source);
        return;
    }
    FFontColor = style->FFontColor;
    FBackColor = style->FBackColor;
    FUnderline = style->FUnderline;
    Changed();
}

void THqHStyleLinkProp::Changed() {
    if (FOwner) FOwner->RebuildAndInvalidate();
}

void THqHStyleLinkProp::SetFontColor(TColor Value) {
    if (FFontColor == Value) return;
    FFontColor = Value;
    Changed();
}

void THqHStyleLinkProp::SetBackColor(TColor Value) {
    if (FBackColor == Value) return;
    FBackColor = Value;
    Changed();
}

void THqHStyleLinkProp::SetUnderline(bool Value) {
    if (FUnderline == Value) return;
    FUnderline = Value;
    Changed();
}

bool THqHStyleLinkProp::IsStored() const {
    return FFontColor != (FKind == tslpNormal ? vcl::clBlue : vcl::clRed) || FUnderline || FBackColor != vcl::clNone;
}

void THqHStyleLinkProp::ApplyTo(vcl::TCanvas* Canvas) const {
    if (FFontColor != vcl::clNone) Canvas->Font()->SetColor(FFontColor);
    if (FBackColor != vcl::clNone) {
        Canvas->Brush()->SetStyle(vcl::bsSolid);
        Canvas->Brush()->SetColor(FBackColor);
    }
    if (FUnderline) Canvas->Font()->SetStyle(Canvas->Font()->Style() + vcl::TFontStyles{vcl::fsUnderline});
}

rtl::TPersistent* THqHStyleLinkProp::GetOwner() const { return FOwner; }

THqHTagHeaderParams::THqHTagHeaderParams() : FFont(std::make_unique<TFont>()) {
    FFont->SetStyle({vcl::fsBold});
    FFont->OnChange = rtl::TNotifyEvent(this, &THqHTagHeaderParams::FontChanged);
}

THqHTagHeaderParams::THqHTagHeaderParams(int Size) : THqHTagHeaderParams() {
    FFont->OnChange = nullptr;
    FFont->SetName(QStringLiteral("Arial"));
    FFont->SetSize(Size);
    FFont->OnChange = rtl::TNotifyEvent(this, &THqHTagHeaderParams::FontChanged);
}

THqHTagHeaderParams::~THqHTagHeaderParams() { FFont->OnChange = nullptr; }

void THqHTagHeaderParams::CopyTo(THqHHeaderLayout& Layout) const {
    Layout.Font->Assign(FFont.get());
    Layout.BackgroundColor = FBackgroundColor;
    Layout.Alignment = FAlignment;
    Layout.Transparent = FTransparent;
}

void THqHTagLIParams::SetCustomString(const String& Value) {
    if (FCustomString == Value) return;
    FCustomString = Value;
    if (FBulletType == btCustomString) Changed();
}

String THqHTagLIParams::GetBulletText() const {
    switch (FBulletType) {
    case btLongDash: return QString(QChar(0x2013));
    case btDash: return QStringLiteral("-");
    case btBullet: return QString(QChar(0x2022));
    case btCircle: return QString(QChar(0x2218));
    case btCustomString: return FCustomString;
    }
    return String();
}

THqHBorder::THqHBorder() : FPen(std::make_unique<vcl::TPen>()) {
    FPen->OnChange = rtl::TNotifyEvent(this, &THqHBorder::PenChanged);
}

THqHBorder::~THqHBorder() { FPen->OnChange = nullptr; }

// ---- the label ----

THqHTMLText2::THqHTMLText2(rtl::TComponent* AOwner)
    : vcl::TGraphicControl(AOwner), FAbout(QStringLiteral("Mark-up text label 2.0")),
      FStyleLinkNormal(std::make_unique<THqHStyleLinkProp>(this, tslpNormal)),
      FStyleLinkHover(std::make_unique<THqHStyleLinkProp>(this, tslpHover)),
      FTagHRParams(std::make_unique<THqHTagHRParams>()), FTagH1Params(std::make_unique<THqHTagH1Params>()),
      FTagH2Params(std::make_unique<THqHTagH2Params>()), FTagH3Params(std::make_unique<THqHTagH3Params>()),
      FInternalMargins(std::make_unique<THqHInternalMargins>()), FTagLIParams(std::make_unique<THqHTagLI1Params>()),
      FTagLI2Params(std::make_unique<THqHTagLI2Params>()), FBorder(std::make_unique<THqHBorder>()),
      FTagSUBParams(std::make_unique<THqHTagSubParams>()), FTagSUPParams(std::make_unique<THqHTagSupParams>()) {
    SetControlStyle(ControlStyle() + vcl::TControlStyle{vcl::csOpaque});
    SetBounds(Left(), Top(), 150, 60);
    const rtl::TNotifyEvent changed(this, &THqHTMLText2::ParamsChanged);
    for (THqHParams* p : Params())
        p->OnChange = changed;
    FMeasure.SetSize(1, 1);
    DefaultCursor = Cursor();
}

THqHTMLText2::~THqHTMLText2() {
    // The sub-objects die after this body: none may call back into a half-destroyed label.
    for (THqHParams* p : Params())
        p->OnChange = nullptr;
    if (FPngCollection) FPngCollection->RemoveFreeNotification(this);
}

std::array<THqHParams*, 10> THqHTMLText2::Params() const {
    return {FTagHRParams.get(),  FTagH1Params.get(),  FTagH2Params.get(), FTagH3Params.get(),  FInternalMargins.get(),
            FTagLIParams.get(), FTagLI2Params.get(), FBorder.get(),       FTagSUBParams.get(), FTagSUPParams.get()};
}

template <class T> void THqHTMLText2::ChangeAndRebuild(T& Field, T Value, bool Repaint) {
    if (Field == Value) return;
    Field = Value;
    if (Repaint)
        RebuildAndInvalidate();
    else
        RebuildLayout();
}

void THqHTMLText2::SetText(const String& Value) { ChangeAndRebuild(FText, Value, true); }

void THqHTMLText2::SetAutoWidth(bool Value) {
    if (FAutoWidth == Value) return;
    FAutoWidth = Value;
    if (Value) RebuildLayout();
}

void THqHTMLText2::SetAutoHeight(bool Value) {
    if (FAutoHeight == Value) return;
    FAutoHeight = Value;
    if (Value) RebuildLayout();
}

void THqHTMLText2::SetMaxWidth(int32_t Value) { ChangeAndRebuild(FMaxWidth, Value, false); }

void THqHTMLText2::SetVerticalAlignment(THqHVerticalAlignment Value) { ChangeAndRebuild(FVerticalAlignment, Value, true); }

void THqHTMLText2::SetExtraLineSpacing(int8_t Value) {
    ChangeAndRebuild(FExtraLineSpacing, static_cast<int8_t>(std::clamp<int>(Value, -5, 10)), true);
}

void THqHTMLText2::SetExtraWordSpacing(uint8_t Value) {
    ChangeAndRebuild(FExtraWordSpacing, static_cast<uint8_t>(std::min<int>(Value, 5)), true);
}

void THqHTMLText2::SetPngCollection(THqPngCollection* Value) {
    if (FPngCollection == Value) return;
    if (FPngCollection) FPngCollection->RemoveFreeNotification(this);
    FPngCollection = Value;
    if (Value) Value->FreeNotification(this);
}

void THqHTMLText2::Notification(rtl::TComponent* AComponent, rtl::TOperation Operation) {
    vcl::TGraphicControl::Notification(AComponent, Operation);
    if (Operation == rtl::opRemove && AComponent == FPngCollection) FPngCollection = nullptr;
}

THqHLinkData* THqHTMLText2::GetLinkData(int LinkID) const {
    if (LinkID < 0 || LinkID >= LinkCount()) return nullptr;
    return FLayout.LLinkData[static_cast<size_t>(LinkID)].get();
}

vcl::TPngImage* THqHTMLText2::GetPngImage(int Index) const {
    return FPngCollection ? FPngCollection->GetPngImage(Index) : nullptr;
}

std::unique_ptr<vcl::TPngImage> THqHTMLText2::GetPngImageFromFile(const String& FileName) {
    if (!QFileInfo(FileName).isFile()) return nullptr;
    auto png = std::make_unique<vcl::TPngImage>();
    try {
        png->LoadFromFile(FileName);
    } catch (const std::exception&) {
        return nullptr;
    }
    return png;
}

void THqHTMLText2::RebuildLayout() {
    if (ComponentState().Contains(rtl::csLoading) || FRebuilding) return;
    // Setting the size below resizes, which would rebuild again in the middle of this rebuild.
    FRebuilding = true;
    THqHLayoutSettings lb;
    lb.Text = FText;
    lb.Font->Assign(Font());
    lb.Width = Width();
    lb.AutoWidth = FAutoWidth;
    lb.MaxWidth = FMaxWidth;
    lb.InternalMargins.Enabled = FInternalMargins->Enabled();
    lb.InternalMargins.Left = FInternalMargins->Left();
    lb.InternalMargins.Right = FInternalMargins->Right();
    lb.ExtraLineSpacing = FExtraLineSpacing;
    lb.ExtraWordSpacing = FExtraWordSpacing;
    FTagH1Params->CopyTo(lb.TagH1Params);
    FTagH2Params->CopyTo(lb.TagH2Params);
    FTagH3Params->CopyTo(lb.TagH3Params);
    lb.TagLIMargin = FTagLIParams->Margin();
    lb.TagLI2Margin = FTagLI2Params->Margin();
    lb.TagSUBParams = THqHTagSubSupParams{FTagSUBParams->PosYDelta(), FTagSUBParams->FontSizeDelta()};
    lb.TagSUPParams = THqHTagSubSupParams{FTagSUPParams->PosYDelta(), FTagSUPParams->FontSizeDelta()};
    components::RebuildLayout(lb, FMeasure.Canvas(), FLayout);
    FLines = FLayout.Lines;
    FTextWidth = FLayout.TextWidth;
    FTextHeight = FLayout.TextHeight;
    if (FAutoWidth) SetWidth(FTextWidth);
    if (FAutoHeight) SetHeight(FTextHeight);
    FRebuilding = false;
}

void THqHTMLText2::RebuildAndInvalidate() {
    RebuildLayout();
    Invalidate();
}

void THqHTMLText2::Loaded() {
    vcl::TGraphicControl::Loaded();
    RebuildLayout();
}

void THqHTMLText2::Resize() {
    if (Parent()) RebuildLayout();
    vcl::TGraphicControl::Resize();
}

void THqHTMLText2::Paint() { DrawContent(); }

void THqHTMLText2::DrawContent() {
    const int width = FLayout.BitmapWidth, height = Height();
    vcl::TBitmap bmp;
    bmp.SetSize(std::max(width, 0), std::max(height, 0));
    vcl::TCanvas* c = bmp.Canvas();
    c->Brush()->SetStyle(vcl::bsSolid);
    c->Brush()->SetColor(Color());
    c->FillRect(TRect(0, 0, width, height));
    if (ComponentState().Contains(rtl::csDesigning) && !FBorder->Visible()) {
        c->Pen()->SetColor(vcl::clBtnShadow);
        c->Pen()->SetStyle(vcl::psDot);
        c->Brush()->SetStyle(vcl::bsClear);
        c->Rectangle(TRect(0, 0, width, height));
    }
    for (const auto& w : FLayout.LWords) {
        const TRect& r = w->Rect;
        c->Font()->Assign(w->Font.get());
        if (w->BColor == vcl::clNone)
            c->Brush()->SetStyle(vcl::bsClear);
        else {
            c->Brush()->SetStyle(vcl::bsSolid);
            c->Brush()->SetColor(w->BColor);
        }
        const bool banded = w->ExtraColor != vcl::clNone;
        if (w->TagID == tagLineColor && banded) {
            c->Brush()->SetStyle(vcl::bsSolid);
            c->Brush()->SetColor(w->ExtraColor);
            c->FillRect(TRect(r.Left, r.Top, r.Left + width, r.Bottom));
        } else if (w->TagID == tagLine && banded) {
            c->Pen()->SetStyle(vcl::psSolid);
            c->Pen()->SetWidth(1);
            c->Pen()->SetColor(w->ExtraColor);
            c->MoveTo(r.Left, r.Top);
            c->LineTo(r.Left + width, r.Top);
        } else if (w->TagID == tagBodyBackground && banded) {
            c->Brush()->SetStyle(vcl::bsSolid);
            c->Brush()->SetColor(w->ExtraColor);
            c->FillRect(TRect(0, r.Top, width, r.Top + height));
        } else if (w->TagID == tagImage) {
            // The reference is a collection index or a file path; paths keep their "/" here.
            std::unique_ptr<vcl::TPngImage> fromFile;
            vcl::TPngImage* png = nullptr;
            int index = 0;
            if (rtl::TryStrToInt(w->Text, index))
                png = GetPngImage(index);
            else if ((fromFile = GetPngImageFromFile(w->Text)))
                png = fromFile.get();
            if (png && !png->Empty()) {
                int x = r.Left;
                if (w->Align == taRightJustify)
                    x = r.Right - png->Width();
                else if (w->Align == taCenter)
                    x = r.Left - png->Width() / 2;
                c->Draw(x, r.Top, png);
            }
        } else if (w->TagID == tagHorizontalLine) {
            c->Pen()->SetColor(w->Font->Color());
            c->Pen()->SetWidth(1);
            c->Pen()->SetStyle(FTagHRParams->Style());
            const int lineHeight = FTagHRParams->LineHeight();
            const int top = r.Top + (r.Height() / 2 - lineHeight / 2);
            for (int i = 0; i < lineHeight; ++i) {
                c->MoveTo(r.Left, top + i);
                c->LineTo(r.Right, top + i);
            }
        } else if (w->TagID == tagListItem || w->TagID == tagListItem2) {
            const THqHTagLIParams& li =
                w->TagID == tagListItem ? static_cast<const THqHTagLIParams&>(*FTagLIParams) : *FTagLI2Params;
            const String bullet = w->Text.isEmpty() ? li.GetBulletText() : w->Text;
            c->TextOut(r.Left - li.Spacing() - c->TextWidth(bullet), r.Top, bullet);
        } else {
            if (w->Link) (w->Hover ? FStyleLinkHover : FStyleLinkNormal)->ApplyTo(c);
            TRect tr = r;
            String text = w->Text;
            c->TextRect(tr, text, vcl::TTextFormat{vcl::tfSingleLine, vcl::tfLeft, vcl::tfBottom, vcl::tfNoClip,
                                                   vcl::tfNoPrefix});
        }
    }

    vcl::TCanvas* canvas = Canvas();
    canvas->Brush()->SetStyle(vcl::bsSolid);
    canvas->Brush()->SetColor(Color());
    canvas->Pen()->SetColor(Color());
    canvas->FillRect(ClientRect());
    const int x = FInternalMargins->Enabled() ? FInternalMargins->Left() : 0;
    int y = 0;
    if (!FAutoHeight && FTextHeight < height) {
        if (FVerticalAlignment == vaCenter)
            y = height / 2 - FTextHeight / 2;
        else if (FVerticalAlignment == vaBottom)
            y = height - FTextHeight;
    }
    canvas->Draw(x, y, &bmp);
    FBitmapTop = y;
    if (FBorder->Visible()) {
        canvas->Pen()->SetColor(FBorder->Pen()->Color());
        canvas->Pen()->SetStyle(FBorder->Pen()->Style());
        canvas->Pen()->SetWidth(1);
        canvas->Brush()->SetStyle(vcl::bsClear);
        const TRect client = ClientRect();
        for (int i = 0; i < FBorder->Pen()->Width(); ++i)
            canvas->Rectangle(TRect(client.Left + i, client.Top + i, client.Right - i, client.Bottom - i));
    }
}

void THqHTMLText2::SetOwnCursor(vcl::TCursor Value) {
    NoCursorChange = true;
    SetCursor(Value);
    NoCursorChange = false;
}

void THqHTMLText2::CheckLinkHover(int X, int Y) {
    if (FInternalMargins->Enabled()) X -= FInternalMargins->Left();
    Y -= FBitmapTop;
    int hit = -1;
    for (const auto& w : FLayout.LWords)
        if (w->Link && X >= w->Rect.Left && X < w->Rect.Right && Y >= w->Rect.Top && Y < w->Rect.Bottom) {
            hit = w->LinkID;
            break;
        }
    bool changed = false;
    for (const auto& w : FLayout.LWords) {
        if (!w->Link) continue;
        const bool hover = w->LinkID == hit;
        if (w->Hover != hover) {
            w->Hover = hover;
            changed = true;
        }
    }
    if (!changed) return;
    if (hit != -1) {
        SetOwnCursor(vcl::crHandPoint);
        FIsLinkHover = true;
        FSelectedLinkID = hit;
        OnLinkEnter(this, hit, GetLinkData(hit));
    } else {
        SetOwnCursor(DefaultCursor);
        FIsLinkHover = false;
        const int previous = FSelectedLinkID;
        FSelectedLinkID = -1;
        OnLinkLeave(this, previous, GetLinkData(previous));
    }
    Invalidate();
}

void THqHTMLText2::MouseMove(vcl::TShiftState Shift, int X, int Y) {
    CheckLinkHover(X, Y);
    vcl::TGraphicControl::MouseMove(Shift, X, Y);
}

void THqHTMLText2::Click() {
    // A rebuild may have dropped the link under the mouse: only a link that still exists opens.
    if (THqHLinkData* data = FIsLinkHover ? GetLinkData(FSelectedLinkID) : nullptr) {
        bool handled = false;
        OnLinkClick(this, FSelectedLinkID, data, handled);
        if (FAutoOpenLink && !handled) {
            // The desktop's answer is not looked at: a target that cannot be opened fails silently.
            const std::u16string target = data->Target.toStdU16String();
            ShellExecuteW(nullptr, u"", target.c_str(), u"", u"", SW_HIDE);
        }
    }
    vcl::TGraphicControl::Click();
}

void THqHTMLText2::MouseUp(vcl::TMouseButton Button, vcl::TShiftState Shift, int X, int Y) {
    if (Button == vcl::mbRight && FIsLinkHover && OnLinkRightClick) {
        if (THqHLinkData* data = GetLinkData(FSelectedLinkID)) {
            bool handled = false;
            OnLinkRightClick(this, FSelectedLinkID, data, handled);
        }
    }
    vcl::TGraphicControl::MouseUp(Button, Shift, X, Y);
}

void THqHTMLText2::Dispatch(vcl::TMessage& Message) {
    if (Message.Msg == vcl::CM_CURSORCHANGED && !NoCursorChange) DefaultCursor = Cursor();
    vcl::TGraphicControl::Dispatch(Message);
}

void THqHTMLText2::CMColorChanged(vcl::TMessage& Message) {
    vcl::TGraphicControl::CMColorChanged(Message);
    Invalidate();
}

void THqHTMLText2::CMFontChanged(vcl::TMessage& Message) {
    vcl::TGraphicControl::CMFontChanged(Message);
    RebuildAndInvalidate();
}

void THqHTMLText2::CMMouseLeave(vcl::TCMMouseEnterLeave& Message) {
    CheckLinkHover(-1, -1);
    vcl::TGraphicControl::CMMouseLeave(Message);
}

} // namespace components
