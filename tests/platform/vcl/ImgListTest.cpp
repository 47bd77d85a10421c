#include "vcl/ImgList.h"

#include "rtl/Filer.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace vcl;

namespace {

// A bitmap of Count side-by-side 16x16 squares, square i filled with Colours[i].
std::unique_ptr<TBitmap> Strip(std::vector<TColor> Colours, int Size = 16) {
    auto bmp = std::make_unique<TBitmap>(Size * int(Colours.size()), Size);
    bmp->SetPixelFormat(pf24bit);
    for (size_t i = 0; i < Colours.size(); ++i) {
        bmp->Canvas()->Brush()->SetColor(Colours[i]);
        bmp->Canvas()->FillRect(Bounds(int(i) * Size, 0, Size, Size));
    }
    return bmp;
}

// The colour of every image's centre, as the list draws it.
std::vector<TColor> Centres(TCustomImageList& List) {
    std::vector<TColor> out;
    for (int i = 0; i < List.Count(); ++i) {
        TBitmap bmp;
        EXPECT_TRUE(List.GetBitmap(i, &bmp));
        out.push_back(bmp.Canvas()->Pixels(List.Width() / 2, List.Height() / 2));
    }
    return out;
}

constexpr TColor Red = 0x0000FF, Green = 0x00FF00, Blue = 0xFF0000, Grey = 0x808080;

} // namespace

TEST(ImageList, AddCutsAStripAndRefusesSmallPictures) {
    TImageList list(nullptr);
    EXPECT_EQ(list.Add(Strip({Red, Green, Blue}).get(), nullptr), 0);
    EXPECT_EQ(list.Add(Strip({Grey}).get(), nullptr), 3);
    EXPECT_EQ(Centres(list), (std::vector<TColor>{Red, Green, Blue, Grey}));

    EXPECT_THROW(list.Add(Strip({Red}, 8).get(), nullptr), rtl::EInvalidOperation);
    EXPECT_EQ(list.Count(), 4);
}

TEST(ImageList, InsertMoveAndDeleteKeepTheOrder) {
    TImageList list(nullptr);
    list.Add(Strip({Red, Green, Blue}).get(), nullptr);
    list.Insert(1, Strip({Grey}).get(), nullptr);
    EXPECT_EQ(Centres(list), (std::vector<TColor>{Red, Grey, Green, Blue}));
    list.Insert(4, Strip({Grey}).get(), nullptr); // at the end
    list.Move(0, 3);
    EXPECT_EQ(Centres(list), (std::vector<TColor>{Grey, Green, Blue, Red, Grey}));
    list.Move(3, 0);
    list.Delete(4);
    EXPECT_EQ(Centres(list), (std::vector<TColor>{Red, Grey, Green, Blue}));

    EXPECT_THROW(list.Delete(4), rtl::EInvalidOperation);
    EXPECT_THROW(list.Insert(5, Strip({Red}).get(), nullptr), rtl::EInvalidOperation);
    EXPECT_THROW(list.Move(0, -1), rtl::EInvalidOperation);
    EXPECT_EQ(list.Count(), 4);
}

TEST(ImageList, MaskedAddLeavesTheMaskColourTransparent) {
    TImageList list(nullptr);
    auto bmp = Strip({Red});
    bmp->Canvas()->Brush()->SetColor(Green);
    bmp->Canvas()->FillRect(Rect(0, 0, 16, 4)); // the top rows in the mask colour
    ASSERT_EQ(list.AddMasked(bmp.get(), Green), 0);

    TBitmap target(16, 16);
    target.Canvas()->Brush()->SetColor(Blue);
    target.Canvas()->FillRect(Rect(0, 0, 16, 16));
    list.Draw(target.Canvas(), 0, 0, 0);
    EXPECT_EQ(target.Canvas()->Pixels(8, 1), Blue);
    EXPECT_EQ(target.Canvas()->Pixels(8, 10), Red);
}

TEST(ImageList, DisabledImageIsEmbossedInButtonColours) {
    TImageList list(nullptr);
    auto bmp = Strip({Red});
    bmp->Canvas()->Brush()->SetColor(clWhite);
    bmp->Canvas()->FillRect(Rect(8, 0, 16, 16)); // left half red, right half transparent white
    list.AddMasked(bmp.get(), clWhite);

    TBitmap target(20, 20);
    target.Canvas()->Brush()->SetColor(Blue);
    target.Canvas()->FillRect(Rect(0, 0, 20, 20));
    list.Draw(target.Canvas(), 0, 0, 0, false);
    EXPECT_EQ(target.Canvas()->Pixels(3, 3), ColorToRGB(clBtnShadow));
    EXPECT_EQ(target.Canvas()->Pixels(8, 5), ColorToRGB(clBtnHighlight)); // the shape's shifted edge
    EXPECT_EQ(target.Canvas()->Pixels(12, 5), Blue);
}

TEST(ImageList, ChangeLinksHearEachChangeOnceAndLeaveWhenFreed) {
    TImageList list(nullptr);
    int heard = 0, events = 0;
    rtl::TObject* sender = nullptr;
    auto link = std::make_unique<TChangeLink>();
    link->OnChange = [&](rtl::TObject* S) { ++heard, sender = S; };
    list.OnChange = [&](rtl::TObject*) { ++events; };
    list.RegisterChanges(link.get());
    EXPECT_EQ(link->Sender(), &list);

    list.Add(Strip({Red}).get(), nullptr);
    EXPECT_EQ(heard, 1);
    EXPECT_EQ(sender, &list);

    list.BeginUpdate();
    list.Add(Strip({Red}).get(), nullptr);
    list.Delete(0);
    EXPECT_EQ(heard, 1);
    list.EndUpdate();
    EXPECT_EQ(heard, 2);
    EXPECT_EQ(events, 2);

    link.reset(); // unregisters itself
    list.Clear();
    EXPECT_EQ(events, 3);

    // A link that outlives its list is let go.
    TChangeLink orphan;
    {
        TImageList shortLived(nullptr);
        shortLived.RegisterChanges(&orphan);
    }
    EXPECT_EQ(orphan.Sender(), nullptr);
}

TEST(ImageList, NewSizeEmptiesTheListAndSettingsRemakeItWithItsImages) {
    TImageList list(nullptr);
    list.Add(Strip({Red, Green}).get(), nullptr);
    list.SetMasked(false);
    list.SetColorDepth(cd32Bit);
    EXPECT_EQ(Centres(list), (std::vector<TColor>{Red, Green}));
    list.SetSize(24, 24);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_THROW(list.SetWidth(0), rtl::EInvalidOperation);
}

TEST(ImageList, StreamsAndAssignCopyTheImages) {
    TImageList source(nullptr);
    source.SetSize(20, 20);
    source.Add(Strip({Red, Green, Blue}, 20).get(), nullptr);

    rtl::TMemoryStream stream;
    rtl::TWriter(&stream).WriteProperties(&source);
    stream.SetPosition(0);
    TImageList read(nullptr);
    rtl::TReader(&stream).ReadProperties(&read);
    EXPECT_EQ(read.Width(), 20);
    EXPECT_EQ(Centres(read), (std::vector<TColor>{Red, Green, Blue}));

    TImageList copy(nullptr);
    copy.Assign(&source);
    EXPECT_EQ(copy.Height(), 20);
    EXPECT_EQ(Centres(copy), (std::vector<TColor>{Red, Green, Blue}));
}

TEST(ImageList, DamagedStreamRaisesAndLeavesTheListAlone) {
    TImageList list(nullptr);
    list.Add(Strip({Red}).get(), nullptr);
    rtl::TMemoryStream good;
    list.WriteData(&good);

    for (const int64_t cut : {int64_t(3), int64_t(16), good.Size() - 1}) {
        rtl::TMemoryStream damaged;
        damaged.WriteBuffer(good.Memory(), cut);
        damaged.SetPosition(0);
        TImageList target(nullptr);
        target.Add(Strip({Blue}).get(), nullptr);
        EXPECT_THROW(target.ReadData(&damaged), rtl::EReadError) << cut;
        EXPECT_EQ(Centres(target), (std::vector<TColor>{Blue})) << cut;
    }
}

TEST(ImageList, BackgroundColourFillsUnderTheMaskUnlessDrawnTransparent) {
    TImageList list(nullptr);
    auto bmp = Strip({Red});
    bmp->Canvas()->Brush()->SetColor(Green);
    bmp->Canvas()->FillRect(Rect(0, 0, 16, 4));
    list.AddMasked(bmp.get(), Green);
    list.SetBkColor(Grey);

    struct Case {
        TDrawingStyle style;
        TColor underMask;
    };
    for (const Case c : {Case{dsNormal, Grey}, Case{dsTransparent, Blue}}) {
        TBitmap target(16, 16);
        target.Canvas()->Brush()->SetColor(Blue);
        target.Canvas()->FillRect(Rect(0, 0, 16, 16));
        list.SetDrawingStyle(c.style);
        list.Draw(target.Canvas(), 0, 0, 0);
        EXPECT_EQ(target.Canvas()->Pixels(8, 1), c.underMask) << c.style;
        EXPECT_EQ(target.Canvas()->Pixels(8, 10), Red) << c.style;
    }
}

TEST(ImageList, ARoutineCalledThroughThePlainListReachesTheSubclass) {
    // A list that keeps its own record of images, as PNG lists keep their PNGs.
    struct TRecordingList : TImageList {
        using TImageList::TImageList;
        std::vector<std::string> Calls;
        int Add(TBitmap*, TBitmap*) override { Calls.push_back("Add"); return 7; }
        void Clear() override { Calls.push_back("Clear"); }
        void Move(int, int) override { Calls.push_back("Move"); }
        bool Overlay(int, TOverlay) override { Calls.push_back("Overlay"); return true; }
    };
    TRecordingList own(nullptr);
    TCustomImageList& plain = own;
    EXPECT_EQ(plain.Add(Strip({Red}).get(), nullptr), 7);
    plain.Clear();
    plain.Move(0, 1);
    EXPECT_TRUE(plain.Overlay(0, 0));
    EXPECT_EQ(own.Calls, (std::vector<std::string>{"Add", "Clear", "Move", "Overlay"}));
    EXPECT_EQ(own.Count(), 0); // the system list was never touched
}
