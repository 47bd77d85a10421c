// components/HTMLText2.cpp
#include "components/HTMLText2.h"

#include "rtl/SysUtils.h"

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

THqHTagHeaderParams::THqHTagHeaderParams(int Size) : Font(std::make_unique<TFont>()) {
    Font->SetName(QStringLiteral("Arial"));
    Font->SetStyle({vcl::fsBold});
    Font->SetSize(Size);
}

THqHLayoutSettings::THqHLayoutSettings() : Font(std::make_unique<TFont>()) {}

namespace {

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
    const THqHTagHeaderParams* ActiveHeader() const;
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

const THqHTagHeaderParams* TBuilder::ActiveHeader() const {
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
    if (LineHeight == 0) LineHeight = Measure(QStringLiteral(" ")).cy;
    Y += LineHeight + Lb.ExtraLineSpacing;
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
    const int w = size.cx + Lb.ExtraWordSpacing, h = size.cy;
    LastHeight = h;
    const bool overflow = Lb.AutoWidth ? (Lb.MaxWidth > 0 && X + w > Lb.MaxWidth) : X + w > Out.BitmapWidth;
    if (overflow) {
        if (!Out.LWords.empty() && Out.LWords.back()->Space) {
            X -= Out.LWords.back()->Rect.Width();
            Out.LWords.pop_back();
        }
        BreakLine();
        if (T.Kind == ttSpace) return;
    }
    LineHeight = std::max(LineHeight, h);
    AddWord(TRect(X, Y, X + w, Y + h + offset), text, T.Kind == ttSpace, vcl::clNone, tagText);
    X += w;
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
            X = t.Value;
            TabIndentOn = t.Kind == ttTabF;
            TabIndent = t.Value;
            LGroupBound.push_back(t.Value);
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
            int end = Out.BitmapWidth;
            if (t.Value != 0) {
                end = t.Value;
                if (t.Value < 0) end += Out.BitmapWidth;
                if (Lb.InternalMargins.Enabled) end += Lb.InternalMargins.Left - Lb.InternalMargins.Right;
            }
            const int start = TabIndentOn ? TabIndent : X;
            AddMarker(t, TRect(start, Y, end, Y + Measure(QStringLiteral("1")).cy), tagHorizontalLine, 0);
            LGroupBound.push_back(Out.BitmapWidth);
            ++LineCount;
            break;
        }
        case ttHeader1:
        case ttHeader2:
        case ttHeader3: {
            const int h = t.Kind - ttHeader1;
            const THqHTagHeaderParams& params = h == 0 ? Lb.TagH1Params : h == 1 ? Lb.TagH2Params : Lb.TagH3Params;
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
            AddMarker(t, TRect(X, Y, 0, Y + Measure(QStringLiteral("1")).cy), tagLineColor, t.Value);
            break;
        case ttListItem:
        case ttListItem2: {
            const bool first = t.Kind == ttListItem;
            X = first ? Lb.TagLIMargin : Lb.TagLI2Margin;
            const vcl::TSize size = Measure(t.Text);
            AddMarker(t, TRect(X, Y, X + size.cx, Y + size.cy), first ? tagListItem : tagListItem2, 0);
            (first ? ListItem : ListItem2) = true;
            LGroupBound.push_back(X);
            break;
        }
        case ttImage: AddMarker(t, TRect(X, Y, 0, Y + LastHeight), tagImage, 0); break;
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
