// Style files are UTF-8 text, one statement a line; blank lines and lines starting with "#" are
// skipped, and words are separated by blanks:
//
//   tunewright-style 1                   first statement: the format and its version
//   name Charcoal Dark Slate             required; the rest of the line, trimmed
//   author Tunewright                    optional
//   dark yes                             required: yes or no
//   system clBtnFace #2D2D30             a system colour's replacement (class-library name)
//   color scWindow #1E1E1E               a style colour (TStyleColor name)
//   font sfButtonTextNormal #DCDCDC      a font colour (TStyleFont name)
//   element teButton 1 2 fill #3C3C3C border #707070 glyph #DCDCDC text #FFFFFF image hot.png
//   element teMenu 11 * fill #000000 size 16x16
//
// An element line names the element class, the part and the state (numbers as in the themed
// element details; "*" for every part or every state), then any of fill, border, glyph, text (each
// "#RRGGBB"), image (a PNG beside the style file) and size (the actual size, "WxH", 1 to 256 each). A state's own line wins over its part's "*"
// line, which wins over the element's "* *" line. Every value is checked; the first error raises
// EStyleFileError with the file and the line, and nothing of the file is used.
#include "vcl/StyleFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>

#include <iterator>
#include <set>
#include <tuple>

namespace vcl {

namespace {

const char* const ElementNames[] = {
    "teButton", "teClock", "teComboBox", "teEdit",
    "teExplorerBar", "teHeader", "teListView", "teMenu",
    "tePage", "teProgress", "teRebar", "teScrollBar",
    "teSpin", "teStartPanel", "teStatus", "teTab",
    "teTaskBand", "teTaskBar", "teToolBar", "teToolTip",
    "teTrackBar", "teTrayNotify", "teTreeview", "teWindow",
    "teDatePicker", "teMonthCal", "teTextStyle", "teNavigation",
    "teTaskDialog", "teCategoryButtons", "teCategoryPanelGroup", "teCheckListBox",
    "teControlBar", "teDataNavButtons", "teGrid", "teHint",
    "tePanel", "teTextLabel",
};

const char* const StyleColorNames[] = {
    "scBorder", "scButtonDisabled", "scButtonFocused", "scButtonHot",
    "scButtonNormal", "scButtonPressed", "scCategoryButtons", "scCategoryButtonsGradientBase",
    "scCategoryButtonsGradientEnd", "scCategoryPanelGroup", "scComboBox", "scComboBoxDisabled",
    "scEdit", "scEditDisabled", "scGrid", "scGenericBackground",
    "scGenericGradientBase", "scGenericGradientEnd", "scHintGradientBase", "scHintGradientEnd",
    "scListBox", "scListBoxDisabled", "scListView", "scPanel",
    "scPanelDisabled", "scSplitter", "scToolBarGradientBase", "scToolBarGradientEnd",
    "scTreeView", "scWindow",
};

const char* const StyleFontNames[] = {
    "sfButtonTextDisabled", "sfButtonTextFocused", "sfButtonTextHot", "sfButtonTextNormal",
    "sfButtonTextPressed", "sfCaptionTextInactive", "sfCaptionTextNormal", "sfCategoryPanelGroupHeaderHot",
    "sfCategoryPanelGroupHeaderNormal", "sfCatgeoryButtonsCategoryNormal", "sfCatgeoryButtonsCategorySelected", "sfCatgeoryButtonsHot",
    "sfCatgeoryButtonsNormal", "sfCatgeoryButtonsSelected", "sfCheckBoxTextDisabled", "sfCheckBoxTextFocused",
    "sfCheckBoxTextHot", "sfCheckBoxTextNormal", "sfCheckBoxTextPressed", "sfComboBoxItemDisabled",
    "sfComboBoxItemFocused", "sfComboBoxItemHot", "sfComboBoxItemNormal", "sfComboBoxItemSelected",
    "sfEditBoxTextDisabled", "sfEditBoxTextFocused", "sfEditBoxTextHot", "sfEditBoxTextNormal",
    "sfEditBoxTextSelected", "sfGridItemFixedHot", "sfGridItemFixedNormal", "sfGridItemFixedPressed",
    "sfGridItemNormal", "sfGridItemSelected", "sfGroupBoxTextDisabled", "sfGroupBoxTextNormal",
    "sfHeaderSectionTextDisabled", "sfHeaderSectionTextHot", "sfHeaderSectionTextNormal", "sfHeaderSectionTextPressed",
    "sfListItemTextDisabled", "sfListItemTextFocused", "sfListItemTextHot", "sfListItemTextNormal",
    "sfListItemTextSelected", "sfMenuItemTextDisabled", "sfMenuItemTextHot", "sfMenuItemTextNormal",
    "sfMenuItemTextSelected", "sfPanelTextDisabled", "sfPanelTextNormal", "sfPopupMenuItemTextDisabled",
    "sfPopupMenuItemTextHot", "sfPopupMenuItemTextNormal", "sfPopupMenuItemTextSelected", "sfRadioButtonTextDisabled",
    "sfRadioButtonTextFocused", "sfRadioButtonTextHot", "sfRadioButtonTextNormal", "sfRadioButtonTextPressed",
    "sfSmCaptionTextInactive", "sfSmCaptionTextNormal", "sfStatusPanelTextDisabled", "sfStatusPanelTextNormal",
    "sfTabTextActiveDisabled", "sfTabTextActiveHot", "sfTabTextActiveNormal", "sfTabTextInactiveDisabled",
    "sfTabTextInactiveHot", "sfTabTextInactiveNormal", "sfTextLabelDisabled", "sfTextLabelFocused",
    "sfTextLabelHot", "sfTextLabelNormal", "sfToolItemTextDisabled", "sfToolItemTextHot",
    "sfToolItemTextNormal", "sfToolItemTextSelected", "sfTreeItemTextDisabled", "sfTreeItemTextFocused",
    "sfTreeItemTextHot", "sfTreeItemTextNormal", "sfTreeItemTextSelected", "sfWindowTextDisabled",
    "sfWindowTextNormal",
};
static_assert(std::size(ElementNames) == size_t(teTextLabel) + 1);
static_assert(std::size(StyleColorNames) == size_t(scWindow) + 1);
static_assert(std::size(StyleFontNames) == size_t(sfWindowTextNormal) + 1);

constexpr qint64 MaxFileSize = 4 << 20; // far beyond any real style; keeps a stray file from filling memory
constexpr int MaxPart = 64;
constexpr int MaxState = 64;
constexpr int MaxElementSize = 256;
const char Magic[] = "tunewright-style";

template <size_t N> int IndexOf(const char* const (&Names)[N], const QString& Word) {
    for (size_t i = 0; i < N; ++i)
        if (Word == QLatin1String(Names[i])) return int(i);
    return -1;
}

class Parser {
public:
    Parser(const QString& Source, const QString& Folder) : FSource(Source), FFolder(Folder) {}

    [[noreturn]] void Fail(const QString& What) const {
        throw EStyleFileError(QStringLiteral("%1, line %2: %3").arg(FSource).arg(FLine).arg(What), FLine);
    }

    TColor Color(const QString& Word) const {
        bool ok = Word.size() == 7 && Word[0] == u'#';
        const uint rgb = ok ? Word.mid(1).toUInt(&ok, 16) : 0;
        if (!ok) Fail(QStringLiteral("'%1' is not a colour (#RRGGBB)").arg(Word));
        return TColor(((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF));
    }

    int Number(const QString& Word, int Max, const char* What) const {
        if (Word == u"*") return 0;
        bool ok = false;
        const int n = Word.toInt(&ok);
        if (!ok || n < 1 || n > Max) Fail(QStringLiteral("%1 '%2' is not * or 1 to %3").arg(QLatin1String(What), Word).arg(Max));
        return n;
    }

    QString Image(const QString& Name) const {
        // Only files inside the style's folder: a style file must not reach elsewhere.
        if (QDir::isAbsolutePath(Name) || Name.split(u'/').contains(QStringLiteral("..")))
            Fail(QStringLiteral("image '%1' is not a file beside the style").arg(Name));
        if (!QFileInfo(QDir(FFolder).filePath(Name)).isFile())
            Fail(QStringLiteral("image '%1' does not exist").arg(Name));
        return Name;
    }

    void Size(const QString& Word, TStyleElementLook& Look) const {
        const QStringList wh = Word.split(u'x');
        bool okW = false, okH = false;
        const int w = wh.size() == 2 ? wh[0].toInt(&okW) : 0, h = wh.size() == 2 ? wh[1].toInt(&okH) : 0;
        if (!okW || !okH || w < 1 || h < 1 || w > MaxElementSize || h > MaxElementSize)
            Fail(QStringLiteral("size '%1' is not WxH with 1 to %2 each").arg(Word).arg(MaxElementSize));
        Look.Width = w;
        Look.Height = h;
    }

    void Element(const QStringList& W, TStyleFileData& D) {
        if (W.size() < 6) Fail(QStringLiteral("an element needs a class, part, state and at least one colour"));
        const int element = IndexOf(ElementNames, W[1]);
        if (element < 0) Fail(QStringLiteral("unknown element '%1'").arg(W[1]));
        TStyleElementEntry e;
        e.Element = TThemedElement(element);
        e.Part = Number(W[2], MaxPart, "part");
        e.State = Number(W[3], MaxState, "state");
        if (e.Part == 0 && e.State != 0) Fail(QStringLiteral("a state needs a part"));
        if ((W.size() - 4) % 2) Fail(QStringLiteral("'%1' has no value").arg(W.last()));
        QStringList seen;
        for (qsizetype i = 4; i < W.size(); i += 2) {
            const QString& key = W[i];
            if (seen.contains(key)) Fail(QStringLiteral("'%1' given twice").arg(key));
            seen << key;
            if (key == u"fill") e.Look.Fill = Color(W[i + 1]);
            else if (key == u"border") e.Look.Border = Color(W[i + 1]);
            else if (key == u"glyph") e.Look.Glyph = Color(W[i + 1]);
            else if (key == u"text") e.Look.Text = Color(W[i + 1]);
            else if (key == u"image") e.Look.Image = Image(W[i + 1]);
            else if (key == u"size") Size(W[i + 1], e.Look);
            else Fail(QStringLiteral("unknown element key '%1'").arg(key));
        }
        // A set, not a scan of the entries so far: a file of many thousand lines must not take minutes.
        if (!FElementsSeen.insert({int(e.Element), e.Part, e.State}).second)
            Fail(QStringLiteral("element %1 %2 %3 given twice").arg(W[1], W[2], W[3]));
        D.Elements.push_back(std::move(e));
    }

    template <class Key> void Entry(const QStringList& W, int Index, std::map<Key, TColor>& Map, const char* What) {
        if (W.size() != 3) Fail(QStringLiteral("'%1' needs a name and a colour").arg(W[0]));
        if (Index < 0) Fail(QStringLiteral("unknown %1 '%2'").arg(QLatin1String(What), W[1]));
        if (!Map.emplace(Key(Index), Color(W[2])).second) Fail(QStringLiteral("%1 '%2' given twice").arg(QLatin1String(What), W[1]));
    }

    TStyleFileData Parse(const QByteArray& Text) {
        TStyleFileData d;
        d.Folder = FFolder;
        bool started = false, haveDark = false;
        const QList<QByteArray> lines = Text.split('\n');
        for (qsizetype n = 0; n < lines.size(); ++n) {
            FLine = int(n) + 1;
            QByteArray raw = lines[n];
            if (raw.endsWith('\r')) raw.chop(1);
            if (n == 0 && raw.startsWith("\xEF\xBB\xBF")) raw.remove(0, 3);
            const QString line = QString::fromUtf8(raw).trimmed();
            if (line.isEmpty() || line.startsWith(u'#')) continue;
            if (line.toUtf8() != raw.trimmed()) Fail(QStringLiteral("the line is not valid UTF-8"));
            const QStringList w = line.split(u' ', Qt::SkipEmptyParts);
            const QString& key = w[0];
            if (!started) {
                if (w.size() != 2 || key != QLatin1String(Magic)) Fail(QStringLiteral("not a style file"));
                if (w[1] != u"1") Fail(QStringLiteral("style format version '%1' is not supported").arg(w[1]));
                started = true;
                continue;
            }
            if (key == u"name" || key == u"author") {
                QString& field = key == u"name" ? d.Name : d.Author;
                if (!field.isEmpty()) Fail(QStringLiteral("'%1' given twice").arg(key));
                field = line.mid(key.size()).trimmed();
                if (field.isEmpty()) Fail(QStringLiteral("'%1' is empty").arg(key));
            } else if (key == u"dark") {
                if (haveDark) Fail(QStringLiteral("'dark' given twice"));
                if (w.size() != 2 || (w[1] != u"yes" && w[1] != u"no")) Fail(QStringLiteral("'dark' must be yes or no"));
                d.Dark = w[1] == u"yes";
                haveDark = true;
            } else if (key == u"system") {
                TColor c = clNone;
                const bool isSystem = w.size() > 1 && IdentToColor(w[1], c) && (c & clSystemColor) == clSystemColor;
                Entry(w, isSystem ? int(c & 0xFF) : -1, d.SystemColors, "system colour");
            } else if (key == u"color") {
                Entry(w, w.size() > 1 ? IndexOf(StyleColorNames, w[1]) : -1, d.StyleColors, "style colour");
            } else if (key == u"font") {
                Entry(w, w.size() > 1 ? IndexOf(StyleFontNames, w[1]) : -1, d.FontColors, "font colour");
            } else if (key == u"element") {
                Element(w, d);
            } else {
                Fail(QStringLiteral("unknown statement '%1'").arg(key));
            }
        }
        FLine = 0;
        if (!started) Fail(QStringLiteral("not a style file"));
        if (d.Name.isEmpty()) Fail(QStringLiteral("the style has no name"));
        if (!haveDark) Fail(QStringLiteral("the style does not say whether it is dark"));
        return d;
    }

private:
    QString FSource, FFolder;
    int FLine = 0;
    std::set<std::tuple<int, int, int>> FElementsSeen;
};

QString Hex(TColor C) {
    const uint v = uint(C);
    return QStringLiteral("#%1").arg(((v & 0xFF) << 16) | (v & 0xFF00) | ((v >> 16) & 0xFF), 6, 16, QChar(u'0')).toUpper();
}

QString Number(int N) { return N ? QString::number(N) : QStringLiteral("*"); }

} // namespace

const TStyleElementLook* TStyleFileData::Find(TThemedElement Element, int Part, int State) const {
    const TStyleElementLook *part = nullptr, *whole = nullptr;
    for (const TStyleElementEntry& e : Elements) {
        if (e.Element != Element) continue;
        if (e.Part == Part && e.State == State) return &e.Look;
        if (e.Part == Part && e.State == 0) part = &e.Look;
        else if (e.Part == 0) whole = &e.Look;
    }
    return part ? part : whole;
}

TStyleFileData ParseStyleText(const QByteArray& Text, const rtl::String& Source, const rtl::String& Folder) {
    return Parser(Source, Folder).Parse(Text);
}

TStyleFileData ReadStyleFile(const rtl::String& FileName) {
    QFile f(FileName);
    if (!f.open(QIODevice::ReadOnly)) throw EStyleFileError(QStringLiteral("%1: cannot be read").arg(FileName), 0);
    if (f.size() > MaxFileSize) throw EStyleFileError(QStringLiteral("%1: too large for a style file").arg(FileName), 0);
    const QByteArray text = f.read(MaxFileSize + 1);
    if (text.size() > MaxFileSize) throw EStyleFileError(QStringLiteral("%1: too large for a style file").arg(FileName), 0);
    return ParseStyleText(text, FileName, QFileInfo(FileName).absolutePath());
}

QByteArray StyleFileText(const TStyleFileData& D) {
    QString t = QStringLiteral("%1 1\nname %2\n").arg(QLatin1String(Magic), D.Name);
    if (!D.Author.isEmpty()) t += QStringLiteral("author %1\n").arg(D.Author);
    t += QStringLiteral("dark %1\n").arg(D.Dark ? u"yes" : u"no");
    for (const auto& [index, color] : D.SystemColors) {
        QString ident;
        ColorToIdent(TColor(clSystemColor | index), ident);
        t += QStringLiteral("system %1 %2\n").arg(ident, Hex(color));
    }
    for (const auto& [which, color] : D.StyleColors)
        t += QStringLiteral("color %1 %2\n").arg(StyleColorName(which), Hex(color));
    for (const auto& [which, color] : D.FontColors)
        t += QStringLiteral("font %1 %2\n").arg(StyleFontName(which), Hex(color));
    for (const TStyleElementEntry& e : D.Elements) {
        t += QStringLiteral("element %1 %2 %3").arg(ElementName(e.Element), Number(e.Part), Number(e.State));
        const std::pair<const char*, TColor> colors[] = {
            {"fill", e.Look.Fill}, {"border", e.Look.Border}, {"glyph", e.Look.Glyph}, {"text", e.Look.Text}};
        for (const auto& [key, color] : colors)
            if (color != clNone) t += QStringLiteral(" %1 %2").arg(QLatin1String(key), Hex(color));
        if (!e.Look.Image.isEmpty()) t += QStringLiteral(" image %1").arg(e.Look.Image);
        if (e.Look.Width > 0) t += QStringLiteral(" size %1x%2").arg(e.Look.Width).arg(e.Look.Height);
        t += u'\n';
    }
    return t.toUtf8();
}

bool WriteStyleFile(const rtl::String& FileName, const TStyleFileData& Data) {
    QSaveFile f(FileName);
    if (!f.open(QIODevice::WriteOnly)) return false;
    const QByteArray text = StyleFileText(Data);
    if (f.write(text) != text.size()) {
        f.cancelWriting();
        return false;
    }
    return f.commit();
}

rtl::String ElementName(TThemedElement Element) { return QLatin1String(ElementNames[Element]); }
rtl::String StyleColorName(TStyleColor Color) { return QLatin1String(StyleColorNames[Color]); }
rtl::String StyleFontName(TStyleFont Font) { return QLatin1String(StyleFontNames[Font]); }

} // namespace vcl
