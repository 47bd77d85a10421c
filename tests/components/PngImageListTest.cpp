// tests/components/PngImageListTest.cpp
#include "components/PngImageList.h"

#include "Paper.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

using namespace components;
using namespace components_test;
using vcl::TColor;

namespace {

constexpr TColor Red = 0x0000FF, Green = 0x00FF00, Blue = 0xFF0000, Grey = 0x808080;

// A 16x16 opaque PNG of one colour.
std::unique_ptr<vcl::TPngImage> Png(TColor Colour, int Size = 16) {
    auto png = std::make_unique<vcl::TPngImage>();
    png->CreateBlank(vcl::COLOR_RGBALPHA, 8, Size, Size);
    for (int y = 0; y < Size; ++y) {
        for (int x = 0; x < Size; ++x) png->SetPixels(x, y, Colour);
        std::fill_n(png->AlphaScanline(y), Size, uint8_t(255));
    }
    return png;
}

std::unique_ptr<vcl::TBitmap> Bitmap(TColor Colour) {
    auto bmp = Paper(16, 16);
    bmp->Canvas()->Brush()->SetColor(Colour);
    bmp->Canvas()->FillRect(vcl::TRect(0, 0, 16, 16));
    return bmp;
}

// The centre colour of each item's PNG, and of each icon of the system list behind.
std::vector<TColor> PngCentres(TPngImageList& List) {
    std::vector<TColor> out;
    for (int i = 0; i < List.PngImages()->Count(); ++i) out.push_back(List.PngImages()->GetItem(i)->PngImage()->Pixels(8, 8));
    return out;
}
std::vector<TColor> MirrorCentres(TPngImageList& List) {
    std::vector<TColor> out;
    for (int i = 0; i < ImageList_GetImageCount(List.Handle()); ++i) {
        HICON icon = ImageList_GetIcon(List.Handle(), i, ILD_NORMAL);
        ICONINFO info{};
        EXPECT_TRUE(GetIconInfo(icon, &info));
        vcl::TBitmap colour, mask;
        colour.SetHandle(info.hbmColor);
        mask.SetHandle(info.hbmMask);
        out.push_back(colour.Canvas()->Pixels(8, 8));
        DestroyIcon(icon);
    }
    return out;
}

// Exposes the drawing routine the class library calls.
struct TDrawableList : TPngImageList {
    using TPngImageList::TPngImageList;
    using TPngImageList::DoDraw;
};

} // namespace

TEST(PngImageList, AddPngCopiesTheCallersPngAndKeepsTheSystemListInStep) {
    TPngImageList list(nullptr);
    EXPECT_EQ(list.ColorDepth(), vcl::cd32Bit);
    EXPECT_TRUE(list.EnabledImages());
    EXPECT_EQ(list.PngOptions(), TPngOptions{pngBlendOnDisabled});
    EXPECT_EQ(list.AddPng(nullptr), -1);
    EXPECT_EQ(list.PngImages()->Count(), 0);
    auto red = Png(Red);
    EXPECT_EQ(list.AddPng(red.get()), 0);
    EXPECT_EQ(list.AddPng(Png(Green).get(), Blue), 1);
    EXPECT_NE(list.PngImages()->GetItem(0)->PngImage(), red.get());
    EXPECT_EQ(red->Pixels(3, 3), Red); // the caller's PNG is left as it was
    EXPECT_EQ(list.PngImages()->GetItem(1)->Background(), Blue);
    EXPECT_EQ(list.PngImages()->GetItem(1)->Name(), QStringLiteral("PngImage1"));
    EXPECT_EQ(PngCentres(list), (std::vector<TColor>{Red, Green}));
    EXPECT_EQ(MirrorCentres(list), (std::vector<TColor>{Red, Green}));
    EXPECT_EQ(list.Count(), 2);
}

TEST(PngImageList, PlainImageListRoutinesActOnThePngs) {
    TPngImageList list(nullptr);
    vcl::TCustomImageList& plain = list;
    EXPECT_EQ(plain.Add(Bitmap(Red).get(), nullptr), 0);
    plain.AddMasked(Bitmap(Green).get(), vcl::clNone);
    plain.Insert(1, Bitmap(Blue).get(), nullptr);
    EXPECT_EQ(PngCentres(list), (std::vector<TColor>{Red, Blue, Green}));
    plain.Move(0, 2);
    EXPECT_EQ(PngCentres(list), (std::vector<TColor>{Blue, Green, Red}));
    plain.Replace(1, Bitmap(Grey).get(), nullptr);
    plain.Delete(0);
    plain.Delete(7); // outside: nothing
    EXPECT_EQ(PngCentres(list), (std::vector<TColor>{Grey, Red}));
    EXPECT_EQ(MirrorCentres(list), PngCentres(list));

    // A plain list still does its own work.
    vcl::TImageList other(nullptr);
    vcl::TCustomImageList& otherPlain = other;
    otherPlain.Add(Bitmap(Red).get(), nullptr);
    EXPECT_EQ(other.Count(), 1);

    plain.Clear();
    EXPECT_EQ(list.PngImages()->Count(), 0);
    EXPECT_EQ(list.Count(), 0);

    plain.Add(Bitmap(Red).get(), nullptr);
    plain.SetSize(32, 32);
    EXPECT_EQ(list.PngImages()->Count(), 0);
    EXPECT_EQ(list.Count(), 0);
}

TEST(PngImageList, AddImageAnswersTheCountAndCopiesFromAnyList) {
    TPngImageList source(nullptr);
    source.AddPng(Png(Red).get());
    vcl::TImageList plain(nullptr);
    plain.Add(Bitmap(Green).get(), nullptr);

    TPngImageList list(nullptr);
    list.AddPng(Png(Blue).get());
    EXPECT_EQ(list.AddImage(&source, 0), 2); // one more than the new index
    EXPECT_EQ(list.AddImage(&plain, 0), 3);
    EXPECT_EQ(PngCentres(list), (std::vector<TColor>{Blue, Red, Green}));
    EXPECT_EQ(list.PngImages()->GetItem(2)->PngImage()->AlphaScanline(8)[8], 255);
    list.AddImages(&list); // itself: nothing
    EXPECT_EQ(list.PngImages()->Count(), 3);
}

TEST(PngImageList, NewSizeRemovesEveryPng) {
    TPngImageList list(nullptr);
    list.AddPng(Png(Red).get());
    list.SetWidth(16); // unchanged: kept
    EXPECT_EQ(list.PngImages()->Count(), 1);
    list.SetWidth(24);
    EXPECT_EQ(list.PngImages()->Count(), 0);
    EXPECT_EQ(list.Count(), 0);

    // Through the plain list's type the PNGs go too, and the lists stay in step afterwards.
    vcl::TCustomImageList& plain = list;
    for (const std::function<void()>& resize : std::initializer_list<std::function<void()>>{
             [&] { plain.SetSize(20, 20); }, [&] { plain.SetWidth(18); }, [&] { plain.SetHeight(22); }}) {
        list.AddPng(Png(Red).get());
        list.AddPng(Png(Green).get());
        resize();
        EXPECT_EQ(list.PngImages()->Count(), 0);
        EXPECT_EQ(list.Count(), 0);
    }
    list.AddPng(Png(Red).get());
    list.AddPng(Png(Blue).get());
    list.Delete(0);
    EXPECT_EQ(MirrorCentres(list), PngCentres(list));
}

TEST(PngImageList, MovingOrReplacingOutsideTheListChangesNothing) {
    TPngImageList list(nullptr);
    list.AddPng(Png(Red).get());
    list.AddPng(Png(Green).get());
    EXPECT_THROW(list.Move(0, 2), rtl::EInvalidOperation);
    EXPECT_THROW(list.Move(-1, 0), rtl::EInvalidOperation);
    EXPECT_THROW(list.Replace(2, Bitmap(Blue).get(), nullptr), rtl::EInvalidOperation);
    EXPECT_THROW(list.ReplaceMasked(-1, Bitmap(Blue).get(), vcl::clNone), rtl::EInvalidOperation);
    EXPECT_EQ(PngCentres(list), (std::vector<TColor>{Red, Green}));
    EXPECT_EQ(MirrorCentres(list), (std::vector<TColor>{Red, Green}));
}

TEST(PngImageList, DisabledLookGoesToTheSystemListOnlyAndDrawingKeepsThePng) {
    TDrawableList list(nullptr);
    list.AddPng(Png(Red).get());
    list.SetPngOptions(TPngOptions{pngBlendOnDisabled, pngGrayscaleOnDisabled});
    list.SetEnabledImages(false);
    const TColor mirrored = MirrorCentres(list).at(0);
    EXPECT_EQ(mirrored & 0xFF, (mirrored >> 8) & 0xFF); // gray
    EXPECT_EQ(mirrored & 0xFF, (mirrored >> 16) & 0xFF);
    // A PNG added now gets the same look in the system list as those already there.
    list.AddPng(Png(Red).get());
    EXPECT_EQ(MirrorCentres(list).at(1), mirrored);

    auto paper = Paper(16, 16);
    list.DoDraw(0, paper->Canvas(), 0, 0, 0, true);
    EXPECT_EQ(paper->Canvas()->Pixels(8, 8), Red);
    paper->Canvas()->Brush()->SetColor(vcl::clWhite);
    paper->Canvas()->FillRect(vcl::TRect(0, 0, 16, 16));
    list.DoDraw(0, paper->Canvas(), 0, 0, 0, false);
    const TColor disabled = paper->Canvas()->Pixels(8, 8);
    EXPECT_NE(disabled, Red);
    EXPECT_EQ(disabled & 0xFF, (disabled >> 8) & 0xFF);
}

TEST(PngImageList, OverlayIsStoredEvenWhenItNamesNoImage) {
    TDrawableList list(nullptr);
    for (TColor c : {Red, Green, Blue, Grey, Red}) list.AddPng(Png(c).get());
    auto corner = Png(Blue);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            if (x >= 4 || y >= 4) corner->AlphaScanline(y)[x] = 0;
    list.AddPng(corner.get()); // index 5: a blue corner for the overlay
    EXPECT_FALSE(list.Overlay(20, 1));
    EXPECT_EQ(list.OverlayIndex(1), 20);
    EXPECT_TRUE(list.Overlay(5, 0));

    auto paper = Paper(16, 16);
    list.DoDraw(0, paper->Canvas(), 0, 0, 2 << 8, true); // overlay 2 = slot 1: index 20, nothing
    EXPECT_EQ(paper->Canvas()->Pixels(1, 1), Red);
    list.DoDraw(0, paper->Canvas(), 0, 0, 1 << 8, true); // overlay 1 = slot 0: the blue corner on top
    EXPECT_EQ(paper->Canvas()->Pixels(1, 1), Blue);
    EXPECT_EQ(paper->Canvas()->Pixels(8, 8), Red);
}

TEST(PngImageList, NamesAreFoundWithoutRegardToCase) {
    TPngImageList list(nullptr);
    list.AddPng(Png(Red).get());
    list.AddPng(Png(Green).get());
    list.PngImages()->GetItem(1)->SetName(QStringLiteral("Add file"));
    EXPECT_EQ(list.FindIndexByName(QStringLiteral("ADD FILE")), 1);
    EXPECT_EQ(list.FindIndexByName(QStringLiteral("Remove")), -1);
    EXPECT_EQ(list.GetImageName(0), QStringLiteral("PngImage0"));
    EXPECT_EQ(list.GetImageName(9), QString());
    rtl::TStringList names;
    list.ListImageNames(&names);
    ASSERT_EQ(names.Count(), 2);
    EXPECT_EQ(names.Strings(1), QStringLiteral("Add file"));
}

TEST(PngImageList, ItemChangesRemakeTheSystemListAndEmptyItemsKeepTheirPlace) {
    TPngImageList list(nullptr);
    list.AddPng(Png(Red).get());
    list.AddPng(Png(Green).get());
    list.PngImages()->GetItem(0)->SetPngImage(Png(Blue).get());
    EXPECT_EQ(MirrorCentres(list), (std::vector<TColor>{Blue, Green}));
    list.PngImages()->GetItem(0)->SetPngImage(nullptr); // empty now
    const auto mirror = MirrorCentres(list);
    ASSERT_EQ(mirror.size(), 2u);
    EXPECT_EQ(mirror[1], Green); // still at index 1
}

TEST(PngImageList, DimmedCopyOfAListAsTheMainWindowBuildsIt) {
    TPngImageList light(nullptr), dark(nullptr);
    light.AddPng(Png(Red).get());
    light.AddPng(Png(Green).get());
    for (int i = 0; i < light.PngImages()->Count(); ++i) {
        auto png = light.PngImages()->GetItem(i)->Duplicate();
        ScalePngOpacity(png.get(), 190);
        dark.AddPng(png.get(), vcl::clNone);
    }
    ASSERT_EQ(dark.PngImages()->Count(), 2);
    EXPECT_LT(dark.PngImages()->GetItem(1)->PngImage()->AlphaScanline(0)[0], 255);
    EXPECT_EQ(light.PngImages()->GetItem(1)->PngImage()->AlphaScanline(0)[0], 255);
}

TEST(PngImageList, AssignCopiesThePngsAndSettings) {
    TPngImageList from(nullptr), to(nullptr);
    from.AddPng(Png(Red).get());
    from.AddPng(Png(Green).get());
    from.PngImages()->GetItem(1)->SetName(QStringLiteral("Play"));
    from.PngImages()->GetItem(1)->SetBackground(Blue);
    from.SetEnabledImages(false);
    to.AddPng(Png(Blue).get());
    to.Assign(&from);
    EXPECT_EQ(PngCentres(to), (std::vector<TColor>{Red, Green}));
    EXPECT_EQ(to.GetImageName(1), QStringLiteral("Play"));
    EXPECT_EQ(to.PngImages()->GetItem(1)->Background(), Blue);
    EXPECT_FALSE(to.EnabledImages());
    EXPECT_EQ(to.Count(), 2);
}

TEST(PngImageList, MaskedIconShowsThePngOnItsBackgroundWhereItIsOpaque) {
    auto half = Png(Red);
    for (int y = 0; y < 16; ++y) std::fill_n(half->AlphaScanline(y), 8, uint8_t(0)); // left half clear
    auto keyed = std::make_unique<vcl::TPngImage>();
    keyed->CreateBlank(vcl::COLOR_RGB, 8, 16, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) keyed->SetPixels(x, y, x < 8 ? Green : Red);
    keyed->SetTransparentColor(Green);
    for (vcl::TPngImage* png : {half.get(), keyed.get()}) {
        for (HICON handle : {PngToMaskedIcon(png, Blue), PngToIcon32(png)}) {
            vcl::TIcon icon;
            icon.SetHandle(handle);
            auto paper = Paper(16, 16);
            paper->Canvas()->Draw(0, 0, &icon);
            EXPECT_EQ(paper->Canvas()->Pixels(3, 8), kPaper);
            EXPECT_EQ(paper->Canvas()->Pixels(12, 8), Red);
        }
    }
}
