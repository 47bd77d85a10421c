// tests/grid/ColumnClassesTest.cpp: what each column class sets up and how it turns a cell into text.
#include "GridFixture.h"

#include "rtl/SysUtils.h"

#include "rtl/Streams.h"

#include <QLocale>
#include <zlib.h>

using namespace grid_test;

namespace {

TCellInfo Text(const QString& S) {
    TCellInfo Info;
    Info.AsString = S;
    return Info;
}

TCellInfo Number(double V) {
    TCellInfo Info;
    Info.AsFloat = V;
    Info.AsString = u"cell text is not used"_qs;
    return Info;
}

struct DefaultsCase {
    const char* Name;
    std::function<TRgCustomColumn*(rtl::TComponent*)> Make;
    TColumnType Type;
    TSortType Sort;
    const char* DefaultValue;
    TAlignment Alignment;
    bool TextFitHint;
    TColumnStyle Style;
};

class ColumnDefaults : public ::testing::TestWithParam<DefaultsCase> {};

TEST_P(ColumnDefaults, FixCellTypeSortTypeAndStyle) {
    const auto& c = GetParam();
    rtl::TComponent Owner(nullptr);
    TRgCustomColumn* Column = c.Make(&Owner);
    EXPECT_EQ(Column->ColumnType(), c.Type);
    EXPECT_EQ(Column->SortType(), c.Sort);
    EXPECT_EQ(Column->DefaultValue(), QString::fromLatin1(c.DefaultValue));
    EXPECT_EQ(Column->Alignment(), c.Alignment);
    EXPECT_EQ(Column->Options().Contains(coShowTextFitHint), c.TextFitHint);
    EXPECT_TRUE((TColumnOptions{coCanClick, coCanInput, coCanSort, coPublicUsing}) <= Column->Options());
    EXPECT_EQ(Column->ColumnStyle(), c.Style);
    EXPECT_EQ(Column->Width(), 80);
    EXPECT_EQ(Column->Position(), -1);
}

template <class T> TRgCustomColumn* Make(rtl::TComponent* Owner) { return new T(Owner); }

INSTANTIATE_TEST_SUITE_P(Classes, ColumnDefaults, ::testing::Values(
    DefaultsCase{"Text", Make<TRgTextColumn>, ctString, stAlphabetic, "", taLeftJustify, true,
                 {csCanEdit, csFitToLargest, csTextFitHint}},
    DefaultsCase{"CustomNumber", Make<TRgCustomNumberColumn>, ctFloat, stNumeric, "0", taLeftJustify, false,
                 {csCanEdit, csFitToLargest, csTextFitHint}},
    DefaultsCase{"Number", Make<TRgNumberColumn>, ctFloat, stNumeric, "0", taRightJustify, false,
                 {csCanEdit, csFitToLargest, csTextFitHint}},
    DefaultsCase{"CheckBox", Make<TRgCheckBoxColumn>, ctBoolean, stBoolean, "", taLeftJustify, false,
                 {csClickable, csCanEdit, csFitToLargest}},
    DefaultsCase{"Image", Make<TRgImageColumn>, ctInteger, stNumeric, "0", taLeftJustify, false, {csFitToLargest}},
    DefaultsCase{"Tree", Make<TRgTreeColumn>, ctString, stAlphabetic, "", taLeftJustify, false,
                 {csClickable, csCanEdit, csDisableSorting, csFitToLargest}},
    DefaultsCase{"Virtual", Make<TRgVirtualColumn>, ctVirtual, stAlphabetic, "", taLeftJustify, true,
                 {csCanEdit, csFitToLargest, csTextFitHint}}),
    [](const auto& Info) { return std::string(Info.param.Name); });

TEST(TextColumn, FramesTheTextAndMasksTheFramedLength) {
    rtl::TComponent Owner(nullptr);
    TRgTextColumn Column(&Owner);
    Column.OnGetDrawText = [](rtl::TObject*, QString& S) { S = S.toUpper(); };
    Column.SetTextBefore(u"<"_qs);
    Column.SetTextAfter(u">"_qs);
    EXPECT_EQ(Column.GetDrawText(Text(u"abc"_qs)), u"<ABC>"_qs);
    Column.SetTextAfter(u""_qs);
    Column.SetPasswordChar(u'*');
    EXPECT_EQ(Column.GetDrawText(Text(u"abc"_qs)), u"****"_qs);
    EXPECT_EQ(Column.GetHintText(Text(u"abc"_qs)), u"****"_qs);
    EXPECT_TRUE(Column.GetDisplayOptions().Empty());
    Column.SetMultiLine(true);
    EXPECT_EQ(Column.GetDisplayOptions(), TDisplayOptions{doMultiLine});
    EXPECT_FALSE(Column.IsKeyValid(u' '));
    EXPECT_TRUE(Column.IsKeyValid(u'!'));
}

struct NumberTextCase {
    double Value;
    const char* Mask;
    bool HideWhenEmpty;
    const char* Expected;
};

class NumberText : public ::testing::TestWithParam<NumberTextCase> {};

// OnGetDrawText runs last, on whichever text the rules made.
TEST_P(NumberText, FollowsTheEmptyCaptionMaskAndGeneralFormat) {
    const auto& c = GetParam();
    rtl::TComponent Owner(nullptr);
    TRgNumberColumn Column(&Owner);
    Column.SetTextBefore(u"$"_qs);
    Column.SetEmptyCaption(u"none"_qs);
    Column.SetFormatMask(QString::fromLatin1(c.Mask));
    Column.SetHideWhenEmpty(c.HideWhenEmpty);
    Column.OnGetDrawText = [](rtl::TObject*, QString& S) { S += u"|"_qs; };
    EXPECT_EQ(Column.GetDrawText(Number(c.Value)), QString::fromUtf8(c.Expected));
}

INSTANTIATE_TEST_SUITE_P(Cases, NumberText, ::testing::Values(
    NumberTextCase{0, "", true, "none|"},
    NumberTextCase{0.5, "", true, "$0.5|"},
    NumberTextCase{0, "", false, "$0|"},
    NumberTextCase{2.50, "", false, "$2.5|"},
    NumberTextCase{1e20, "", false, "$1E20|"},
    NumberTextCase{2.5, "0.00", false, "$2.50|"},
    NumberTextCase{1234.5, "#,##0.0", true, "$1,234.5|"},
    NumberTextCase{-3, "0;(0)", false, "$(3)|"}));

TEST(NumberColumn, AcceptsDigitsSignsAndTheLocaleSeparatorAsOptionsAllow) {
    rtl::TComponent Owner(nullptr);
    TRgNumberColumn Column(&Owner);
    EXPECT_TRUE(Column.IsKeyValid(u'7'));
    EXPECT_TRUE(Column.IsKeyValid(u'.'));
    EXPECT_FALSE(Column.IsKeyValid(u','));
    EXPECT_FALSE(Column.IsKeyValid(u'-'));
    EXPECT_FALSE(Column.IsKeyValid(u'٣')); // a digit of another script is no digit here
    Column.SetEditOptions({eoAllowSigns});
    EXPECT_TRUE(Column.IsKeyValid(u'-'));
    EXPECT_TRUE(Column.IsKeyValid(u'+'));
    EXPECT_FALSE(Column.IsKeyValid(u'.'));

    const QLocale Saved = rtl::DefaultFormatLocale();
    rtl::SetDefaultFormatLocale(QLocale(QLocale::German, QLocale::Germany));
    Column.SetEditOptions({eoAllowFloat});
    const bool Comma = Column.IsKeyValid(u','), Point = Column.IsKeyValid(u'.');
    rtl::SetDefaultFormatLocale(Saved);
    EXPECT_TRUE(Comma);
    EXPECT_FALSE(Point);
}

TEST(TreeColumn, EditorStartsAfterLinesButtonAndImage) {
    TGridData G;
    auto* Tree = G.Add<TRgTreeColumn>();
    Tree->SetPadding(4);
    TRect R(100, 0, 300, 20);
    Tree->AdjustEditRect(2, R);
    EXPECT_EQ(R.Left, 100 + 38 + 4 + 16);
    G.Host.ImagesWidth = 16;
    Tree->SetImages(reinterpret_cast<vcl::TCustomImageList*>(&G.Form)); // any list: the grid measures it
    R = TRect(100, 0, 300, 20);
    Tree->AdjustEditRect(2, R);
    EXPECT_EQ(R.Left, 100 + 74);
    EXPECT_EQ(R.Right, 300);
}

// A 1x1 PNG of the colour type with a gamma chunk, made here byte by byte.
rtl::TBytes PngWithGamma(uint8_t ColorType) {
    rtl::TBytes Out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    auto Chunk = [&](const char* Type, const rtl::TBytes& Data) {
        for (int s = 24; s >= 0; s -= 8) Out.push_back(uint8_t(Data.size() >> s));
        rtl::TBytes Body(Type, Type + 4);
        Body.insert(Body.end(), Data.begin(), Data.end());
        Out.insert(Out.end(), Body.begin(), Body.end());
        const uLong Crc = crc32(0, Body.data(), uInt(Body.size()));
        for (int s = 24; s >= 0; s -= 8) Out.push_back(uint8_t(Crc >> s));
    };
    Chunk("IHDR", {0, 0, 0, 1, 0, 0, 0, 1, 8, ColorType, 0, 0, 0});
    Chunk("gAMA", {0, 0, 0xB1, 0x8F});
    if (ColorType == 3) Chunk("PLTE", {10, 20, 30});
    const int Channels = ColorType == 2 ? 3 : ColorType == 6 ? 4 : 1;
    rtl::TBytes Raw(1 + Channels, 0), Packed(64);
    uLongf Size = uLongf(Packed.size());
    compress(Packed.data(), &Size, Raw.data(), uLong(Raw.size()));
    Packed.resize(Size);
    Chunk("IDAT", Packed);
    Chunk("IEND", {});
    return Out;
}

TEST(TreeColumn, ButtonImagesLoseTheirGammaChunkInColourTypes236) {
    rtl::TComponent Owner(nullptr);
    TRgTreeColumn Tree(&Owner);
    for (uint8_t Type : {0, 2, 3, 6}) {
        vcl::TPngImage Image;
        rtl::TBytesStream Stream(PngWithGamma(Type));
        Image.LoadFromStream(&Stream);
        ASSERT_NE(Image.Chunks().FindChunk("gAMA"), nullptr);
        Tree.SetImageExpand(&Image);
        const bool Dropped = Type != 0;
        EXPECT_EQ(Tree.ImageExpand()->Chunks().FindChunk("gAMA") == nullptr, Dropped) << int(Type);
        EXPECT_NE(Image.Chunks().FindChunk("gAMA"), nullptr); // the caller's image keeps it
    }
    Tree.SetImageExpand(nullptr);
    EXPECT_TRUE(Tree.ImageExpand()->Empty());
}

TEST(VirtualColumn, CellsLiveWithTheHandlers) {
    TGridData G;
    auto* Column = G.Add<TRgVirtualColumn>();
    G.Cells.AddRow(3);
    Column->SetTextBefore(u"["_qs);
    Column->SetTextAfter(u"]"_qs);
    Column->OnGetDrawText = [](rtl::TObject*, QString& S) { S = u"never"_qs; };
    EXPECT_EQ(Column->GetDrawText(GetCellInfo(G.Cell(0, 1), ctVirtual)), u"[]"_qs);

    std::map<int, QString> Store;
    Column->OnSetText = [&](rtl::TObject*, int, int ARow, const QString& V) { Store[ARow] = V; };
    Column->OnGetText = [&](rtl::TObject*, int, int ARow, QString& V) { V = Store[ARow]; };
    G.Cell(0, 2)->SetAsInteger(42);
    EXPECT_EQ(Store[2], u"42"_qs);
    EXPECT_EQ(G.Cell(0, 2)->AsInteger(), 42);
    EXPECT_EQ(Column->GetDrawText(GetCellInfo(G.Cell(0, 2), ctVirtual)), u"[42]"_qs);
    EXPECT_EQ(G.Cell(0, 1)->AsString(), u""_qs);
}

TEST(ColumnAssign, CopiesThePropertiesOfTheSameClass) {
    rtl::TComponent Owner(nullptr);
    TRgNumberColumn A(&Owner), B(&Owner);
    A.SetFormatMask(u"0.0"_qs);
    A.SetHideWhenEmpty(true);
    A.SetIncrement(0.5);
    A.SetWidth(33);
    A.SetVisible(false);
    A.SetAlignment(taCenter);
    A.Header()->SetCaption(u"Size"_qs);
    B.Assign(&A);
    EXPECT_EQ(B.FormatMask(), u"0.0"_qs);
    EXPECT_TRUE(B.HideWhenEmpty());
    EXPECT_EQ(B.Increment(), 0.5);
    EXPECT_EQ(B.Width(), 33);
    EXPECT_FALSE(B.Visible());
    EXPECT_EQ(B.Alignment(), taCenter);
    EXPECT_EQ(B.Header()->Caption(), u"Size"_qs);

    TRgTextColumn T1(&Owner), T2(&Owner);
    T1.SetPasswordChar(u'#');
    T1.SetMaxLength(5);
    T2.Assign(&T1);
    EXPECT_EQ(T2.PasswordChar(), u'#');
    EXPECT_EQ(T2.MaxLength(), 5);
    EXPECT_THROW(T2.Assign(&Owner), rtl::EConvertError);
}

} // namespace
