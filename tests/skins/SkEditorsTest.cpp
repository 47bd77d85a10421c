// The skinned edit and its buttons (names, text margins, when the frame repaints, the borderless
// ring) and the skinned combo box (two-stage item drawing, the hot frame, the button, the list width,
// the pointer poll, the item heights).
#include "skins/SkEditors.h"

#include "skins/SkSkinsText.h"
#include "tests/skins/RecordingSkin.h"
#include "tests/support/windows/FormHarness.h"
#include "vcl/Forms.h"
#include "win/windows.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

using namespace skins;
using namespace std::chrono_literals;
using skins_test::TRecordingSkin;
using testing_support::FormHarness;

namespace {

// An edit that counts its non-client paints.
class TCountingEdit : public TSkEdit {
public:
    using TSkEdit::TSkEdit;
    int NCPaints = 0;

protected:
    void Dispatch(vcl::TMessage& Message) override {
        if (Message.Msg == WM_NCPAINT) ++NCPaints;
        TSkEdit::Dispatch(Message);
    }
};

class TEditorForm : public vcl::TForm {
public:
    explicit TEditorForm(rtl::TComponent* AOwner) : vcl::TForm(AOwner) {
        BeginLoading();
        SetPosition(vcl::poDesigned);
        SetBounds(60, 60, 420, 320);
        Edit = new TCountingEdit(this);
        Edit->SetParent(this);
        Edit->SetBounds(10, 10, 120, 24);
        Other = new vcl::TEdit(this);
        Other->SetParent(this);
        Other->SetBounds(10, 250, 120, 24);
        Combo = new TSkComboBox(this);
        Combo->SetParent(this);
        Combo->SetBounds(200, 10, 150, 24);
        EndLoading();
    }
    TCountingEdit* Edit;
    vcl::TEdit* Other;
    TSkComboBox* Combo;
};

struct Editors : ::testing::Test {
    FormHarness h;
    TEditorForm* form = nullptr;
    void SetUp() override {
        form = h.Show<TEditorForm>();
        form->Other->SetFocus();   // the skinned controls start unfocused
        h.Pump();
    }
    void TearDown() override {
        GetSkinManager()->SetToDefaultSkin();
        TwSetThemeActive(FALSE);
    }
    void Away() { h.MoveTo(form, POINT{400, 300}); }
    void Use(TSkSkinType Type) {
        GetSkinManager()->SetToDefaultSkin();
        TwSetThemeActive(Type == sknWindows);
        if (Type == sknSkin) TRecordingSkin::Use();
        ASSERT_EQ(GetSkinManager()->GetSkinType(), Type);
        h.Pump();
    }
};

TEST_F(Editors, EditButtonsAreNamedAfterTheFirstFreeNumber) {
    auto* a = new TSkEditButton(form->Edit);
    auto* b = new TSkEditButton(form->Edit);
    EXPECT_EQ(a->Name(), QStringLiteral("SubEditButton0"));
    EXPECT_EQ(b->Name(), QStringLiteral("SubEditButton1"));
    EXPECT_EQ(a->PopupControl(), form->Edit);
    delete a;
    auto* c = new TSkEditButton(form->Edit);
    EXPECT_EQ(c->Name(), QStringLiteral("SubEditButton0"));
}

TEST_F(Editors, TextMarginsLeaveRoomForTheVisibleButtonsOnTheirSide) {
    auto margins = [&](vcl::TWinControl* e) {
        const LRESULT m = SendMessageW(e->Handle(), EM_GETMARGINS, 0, 0);
        return std::pair<int, int>(LOWORD(m), HIWORD(m));
    };
    EXPECT_EQ(margins(form->Edit), std::make_pair(0, 0));
    form->Edit->AddEditButton(false, 15);
    EXPECT_EQ(margins(form->Edit), std::make_pair(17, 0));
    form->Edit->AddEditButton(true, 20);
    form->Edit->AddEditButton(true, 10);
    EXPECT_EQ(margins(form->Edit), std::make_pair(17, 32));
    auto* spin = new TSkSpinEdit(form);
    spin->SetParent(form);
    spin->SetBounds(10, 60, 80, 24);
    EXPECT_EQ(margins(spin), std::make_pair(0, 16));
}

TEST_F(Editors, TextOfEveryAlignmentStopsAtTheMarginAndNeverOverdrawsTheButton) {
    Use(sknSkin);
    auto* button = form->Edit->AddEditButton(true, 16);
    const TColor face = TRecordingSkin::BodyColor(skncEditButton, sknsNormal);
    const int x = button->Left() + 3;   // clear of the arrow in the middle
    for (vcl::TAlignment alignment : {vcl::taLeftJustify, vcl::taCenter, vcl::taRightJustify}) {
        form->Edit->SetAlignment(alignment);
        form->Edit->SetText(QString(40, u'W'));
        h.Pump();
        // The edit alone repaints (the button does not): the child is clipped out of its painting.
        InvalidateRect(form->Edit->Handle(), nullptr, TRUE);
        UpdateWindow(form->Edit->Handle());
        h.Pump();
        const QRgb rgb = h.App().Pixel(form->Edit->Handle(), x, 5);
        EXPECT_EQ(vcl::TColor(qRed(rgb) | (qGreen(rgb) << 8) | (qBlue(rgb) << 16)), face) << "alignment " << alignment;
        const LRESULT m = SendMessageW(form->Edit->Handle(), EM_GETMARGINS, 0, 0);
        EXPECT_EQ(HIWORD(m), 18) << "the margins outlive the new window";
    }
}

struct FrameCase {
    TSkSkinType type;
    vcl::TBorderStyle border;
    bool button;
    bool focused;
    int paints;   // non-client paints for the pointer coming in and going out again
};

class EditFrameRepaint : public Editors, public ::testing::WithParamInterface<FrameCase> {};

TEST_P(EditFrameRepaint, HoverRepaintsOnlyWhenTheLookChanges) {
    const FrameCase& c = GetParam();
    Use(c.type);
    form->Edit->SetBorderStyle(c.border);
    if (c.button) form->Edit->AddEditButton(true, 14);
    if (c.focused) form->Edit->SetFocus();
    Away();
    h.Pump();
    form->Edit->NCPaints = 0;
    h.MoveTo(form->Edit, POINT{5, 5});
    h.Pump();
    Away();
    h.Pump();
    EXPECT_EQ(form->Edit->NCPaints, c.paints);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EditFrameRepaint,
    ::testing::Values(FrameCase{sknNone, vcl::bsSingle, false, false, 0}, FrameCase{sknNone, vcl::bsSingle, true, false, 2},
                      FrameCase{sknNone, vcl::bsNone, false, false, 0}, FrameCase{sknNone, vcl::bsSingle, true, true, 0},
                      // the recording skin's frame differs between Normal and HotTrack
                      FrameCase{sknSkin, vcl::bsSingle, false, false, 2}, FrameCase{sknSkin, vcl::bsNone, false, false, 0},
                      FrameCase{sknSkin, vcl::bsNone, true, false, 2}, FrameCase{sknSkin, vcl::bsSingle, false, true, 0},
                      // the default skin's frame entries are all alike
                      FrameCase{sknWindows, vcl::bsSingle, false, false, 0},
                      FrameCase{sknWindows, vcl::bsSingle, true, false, 2}));

TEST_F(Editors, BorderlessEditUnderASkinShowsItsRingInItsOwnColour) {
    Use(sknSkin);
    form->Edit->SetColor(vcl::clYellow);
    form->Edit->SetBorderStyle(vcl::bsNone);
    h.Pump();
    const QRgb ring = h.App().Pixel(form->Edit->Handle(), -1, 8);
    EXPECT_EQ(ring, 0xFFFF00u);
    form->Edit->SetBorderStyle(vcl::bsSingle);
    h.Pump();
    TRecordingSkin::Log().clear();
    form->Edit->InvalidateFrame();
    h.Pump();
    EXPECT_EQ(TRecordingSkin::Count(skncEditFrame), 1);
    EXPECT_EQ(TRecordingSkin::Last(skncEditFrame).State, sknsNormal);
}

// ---- the combo box ----

struct DrawEvent {
    std::string what;
    int index;
    TSkPaintStage stage;
    bool paintDefault;
    bool operator==(const DrawEvent&) const = default;
};

struct Combo : Editors {
    std::vector<DrawEvent> events;
    void SetUp() override {
        Editors::SetUp();
        form->Combo->Items()->Add(QStringLiteral("LAME MP3"));
        form->Combo->Items()->Add(QStringLiteral("WAV"));
        form->Combo->OnDrawItemBackground =
            TSkDrawListItemEvent([this](rtl::TObject*, vcl::TCanvas*, vcl::TRect&, int i, vcl::TOwnerDrawState,
                                        TSkPaintStage s, bool& d) { events.push_back({"background", i, s, d}); });
    }
    // Draws an item through the owner-draw notification onto a white bitmap; the bitmap is returned.
    std::unique_ptr<vcl::TBitmap> Draw(int Index, UINT State) {
        auto bitmap = std::make_unique<vcl::TBitmap>();
        bitmap->SetPixelFormat(vcl::pf32bit);
        bitmap->SetSize(150, 20);
        bitmap->Canvas()->Brush()->SetColor(vcl::clWhite);
        bitmap->Canvas()->FillRect(vcl::TRect(0, 0, 150, 20));
        DRAWITEMSTRUCT d{};
        d.CtlType = ODT_COMBOBOX;
        d.itemID = UINT(Index);
        d.itemState = State;
        d.hwndItem = form->Combo->Handle();
        d.hDC = bitmap->Canvas()->Handle();
        d.rcItem = RECT{0, 0, 150, 20};
        form->Combo->Perform(vcl::CN_DRAWITEM, 0, &d);
        return bitmap;
    }
    // Pixels unlike the far corner, where no text reaches.
    static int TextPixels(vcl::TBitmap* b) {
        const vcl::TColor ground = b->Canvas()->Pixels(b->Width() - 1, b->Height() - 1);
        int n = 0;
        for (int y = 0; y < b->Height(); ++y)
            for (int x = 0; x < b->Width(); ++x) n += b->Canvas()->Pixels(x, y) != ground;
        return n;
    }
};

TEST_F(Combo, EachDrawEventFiresTwiceAndAPreHandlerSuppressesOnlyTheText) {
    bool suppress = false;
    form->Combo->OnDrawItem = TSkDrawListItemEvent(
        [&](rtl::TObject*, vcl::TCanvas*, vcl::TRect&, int i, vcl::TOwnerDrawState, TSkPaintStage s, bool& d) {
            events.push_back({"item", i, s, d});
            if (suppress && s == pstPrePaint) d = false;
        });
    auto drawn = Draw(0, 0);
    EXPECT_EQ(events, (std::vector<DrawEvent>{{"background", 0, pstPrePaint, true}, {"background", 0, pstPostPaint, true},
                                              {"item", 0, pstPrePaint, true}, {"item", 0, pstPostPaint, true}}));
    EXPECT_GT(TextPixels(drawn.get()), 10);
    suppress = true;
    auto selected = Draw(1, ODS_SELECTED);
    EXPECT_EQ(TextPixels(selected.get()), 0);   // no text ...
    EXPECT_EQ(vcl::ColorToRGB(selected->Canvas()->Pixels(100, 10)), vcl::ColorToRGB(vcl::clHighlight));   // ... the background stays
    events.clear();
    auto empty = Draw(-1, ODS_COMBOBOXEDIT);
    EXPECT_TRUE(events.empty());
    Draw(2, 0);
    EXPECT_TRUE(events.empty());
}

TEST_F(Combo, DrawStateCarriesEveryOwnerDrawBit) {
    vcl::TOwnerDrawState seen;
    form->Combo->OnDrawItem = TSkDrawListItemEvent(
        [&](rtl::TObject*, vcl::TCanvas*, vcl::TRect&, int, vcl::TOwnerDrawState st, TSkPaintStage, bool&) { seen = st; });
    Draw(0, ODS_SELECTED | ODS_FOCUS | ODS_COMBOBOXEDIT | ODS_DISABLED);
    EXPECT_TRUE(seen.Contains(vcl::odSelected));
    EXPECT_TRUE(seen.Contains(vcl::odFocused));
    EXPECT_TRUE(seen.Contains(vcl::odComboBoxEdit));
    EXPECT_TRUE(seen.Contains(vcl::odDisabled));
}

struct FrameHotCase {
    bool hotTrack, mouseIn, focused, dropped;
    TSkSkinStatesType frame;
};

class ComboFrameHot : public Combo, public ::testing::WithParamInterface<FrameHotCase> {};

TEST_P(ComboFrameHot, FrameLightsUpByTheHotTrackRule) {
    const FrameHotCase& c = GetParam();
    Use(sknSkin);
    form->Combo->SetHotTrack(c.hotTrack);
    if (c.focused) form->Combo->SetFocus();
    if (c.mouseIn) h.MoveTo(form->Combo, POINT{10, 10});
    if (c.dropped) form->Combo->SetDroppedDown(true);
    h.Pump();
    TRecordingSkin::Log().clear();
    form->Combo->InvalidateFrame();
    h.Pump();
    ASSERT_GE(TRecordingSkin::Count(skncEditFrame), 1);
    EXPECT_EQ(TRecordingSkin::Last(skncEditFrame).State, c.frame);
    if (c.dropped) form->Combo->SetDroppedDown(false);
}

INSTANTIATE_TEST_SUITE_P(Cases, ComboFrameHot,
                         ::testing::Values(FrameHotCase{true, false, false, false, sknsNormal},
                                           FrameHotCase{true, true, false, false, sknsHotTrack},
                                           FrameHotCase{true, false, true, false, sknsHotTrack},
                                           FrameHotCase{false, true, false, false, sknsNormal},
                                           FrameHotCase{false, false, true, false, sknsNormal},
                                           FrameHotCase{false, false, false, true, sknsHotTrack}));

TEST_F(Combo, DropDownButtonIsInsetTwoUnderASkinAndOneOtherwise) {
    const int W = GetSystemMetrics(SM_CXVSCROLL);
    const int w = form->Combo->Width(), ht = form->Combo->Height();
    EXPECT_EQ(form->Combo->GetDropDownButtonRect(), vcl::TRect(w - W - 1, 1, w - 1, ht - 1));
    Use(sknSkin);
    EXPECT_EQ(form->Combo->GetDropDownButtonRect(), vcl::TRect(w - W - 2, 2, w - 2, ht - 2));
    form->Combo->SetStyle(vcl::csSimple);
    EXPECT_EQ(form->Combo->GetDropDownButtonRect(), vcl::TRect(w - 2, 2, w - 2, ht - 2));
}

TEST_F(Combo, AutoDropDownWidthFitsTheWidestItemAndNeverNarrows) {
    auto dropped = [&] { return int(SendMessageW(form->Combo->Handle(), CB_GETDROPPEDWIDTH, 0, 0)); };
    SetComboDropDownWidth(form->Combo, 8);
    EXPECT_EQ(dropped(), form->Combo->Width());   // short items: as wide as the combo
    const QString wide = QStringLiteral("A profile name far wider than the combo box itself");
    form->Combo->Items()->Add(wide);
    form->Combo->SetAutoDropDownWidth(true);
    form->Combo->RecreateWnd();
    h.Pump();
    HDC dc = GetDC(form->Combo->Handle());
    SelectObject(dc, form->Combo->Font()->Handle());
    const int text = GetTextExtent(dc, wide, false).cx;
    ReleaseDC(form->Combo->Handle(), dc);
    EXPECT_EQ(dropped(), text + GetSystemMetrics(SM_CXVSCROLL) + 8);
}

TEST_F(Combo, HotLookGoesWithinOnePollAndAPollRunsAgainOnReturn) {
    h.MoveTo(form->Combo, POINT{10, 10});
    EXPECT_TRUE(form->Combo->MouseInControl());
    ASSERT_NE(form->Combo->MouseTimer(), nullptr);
    Away();
    EXPECT_TRUE(form->Combo->MouseInControl());   // no leave handling besides the poll
    h.Advance(125ms);
    EXPECT_FALSE(form->Combo->MouseInControl());
    EXPECT_EQ(form->Combo->MouseTimer(), nullptr);   // freed after its tick
    h.MoveTo(form->Combo, POINT{10, 10});
    ASSERT_NE(form->Combo->MouseTimer(), nullptr);
    Away();
    h.Advance(125ms);
    EXPECT_FALSE(form->Combo->MouseInControl());
}

TEST_F(Combo, DropDownListIsOwnerDrawnWithAnEditPartOfTheFontHeightPlusTwo) {
    form->Combo->SetStyle(vcl::csDropDownList);
    h.Pump();
    const LONG style = GetWindowLongW(form->Combo->Handle(), GWL_STYLE);
    EXPECT_TRUE(style & CBS_OWNERDRAWFIXED);
    const int font = GetFontTextHeight(form->Combo, form->Combo->Font());
    EXPECT_EQ(int(SendMessageW(form->Combo->Handle(), CB_GETITEMHEIGHT, WPARAM(-1), 0)), font + 2);
    EXPECT_EQ(int(SendMessageW(form->Combo->Handle(), CB_GETITEMHEIGHT, 0, 0)), font);
    form->Combo->SetAutoItemHeight(false);
    form->Combo->SetItemHeight(30);
    EXPECT_EQ(form->Combo->ItemHeight(), 30);
    // The profile combo: owner-drawn variable with its own height.
    form->Combo->SetStyle(vcl::csOwnerDrawVariable);
    form->Combo->SetItemHeight(36);
    EXPECT_EQ(form->Combo->ItemHeight(), 36);
}

} // namespace
