// The second family's edit and button edit: typed values, edit options, the validation frame, the
// preview box, the margins kept clear of the button, and the button's press and click order.
#include "controls/RgEdit6.h"
#include "tests/controls/PanelForm.h"
#include "vcl/Clipbrd.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

using namespace controls;
using controls_test::PixelAt;
using controls_test::Rgb;
using controls_test::ShowForm;
using controls_test::TPanelForm;
using testing_support::FormHarness;

namespace {

class TPlainButton : public TRgEditButton {
public:
    using TRgEditButton::TRgEditButton;

protected:
    void PaintContent() override {
        Canvas()->Brush()->SetColor(vcl::clBtnFace);
        Canvas()->FillRect(ClientRect());
    }
};

class TTestButtonEdit : public TRgCustomButtonEdit6 {
public:
    explicit TTestButtonEdit(rtl::TComponent* AOwner) : TRgCustomButtonEdit6(AOwner) { Init(); }
    std::string Log;

protected:
    TRgEditButton* CreateButton() override {
        auto* b = new TPlainButton(this);
        b->SetWidth(17);
        return b;
    }
    void DoButtonClick() override { Log += "click "; }
    void DoButtonDown() override { Log += "down "; }
    void DoButtonUp() override { Log += "up "; }
};

struct EditFixture {
    FormHarness h;
    TRgEdit6* edit = nullptr;
    TTestButtonEdit* buttonEdit = nullptr;

    explicit EditFixture(std::function<void(TRgEdit6*)> Setup = nullptr) {
        ShowForm(h, [&](TPanelForm* f) {
            edit = new TRgEdit6(f);
            if (Setup) Setup(edit);
            edit->SetParent(f);
            edit->SetBounds(10, 10, 160, 24);
            buttonEdit = new TTestButtonEdit(f);
            buttonEdit->SetParent(f);
            buttonEdit->SetBounds(10, 60, 160, 24);
        });
    }
    // Client coordinates of a point given in the window's coordinates.
    vcl::TPoint FromWindow(vcl::TWinControl* c, int X, int Y) {
        RECT wr;
        GetWindowRect(c->Handle(), &wr);
        return c->ScreenToClient(vcl::TPoint(wr.left + X, wr.top + Y));
    }
};

LPARAM ScreenPoint(vcl::TWinControl* c, int X, int Y) {
    RECT wr;
    GetWindowRect(c->Handle(), &wr);
    return MAKELPARAM(static_cast<WORD>(wr.left + X), static_cast<WORD>(wr.top + Y));
}

} // namespace

TEST(Edit6, TypedValuesNeverRaise) {
    EditFixture f;
    f.edit->SetAsBoolean(true);
    EXPECT_EQ(f.edit->Text(), u"True"_qs);
    EXPECT_FALSE(f.edit->GetAsBoolean());  // only "1" reads as True
    struct Case {
        const char16_t* text;
        bool asBool;
        int asInt;
        double asFloat;
    } cases[] = {
        {u"1", true, 1, 1.0},
        {u"abc", false, 0, 0.0},
        {u"12.5", false, 0, 12.5},
        {u"-42", false, -42, -42.0},
        {u"", false, 0, 0.0},
        {u"99999999999", false, 0, 99999999999.0},  // beyond 32 bits reads as 0
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.text).toStdString());
        f.edit->SetAsString(QString::fromUtf16(c.text));
        EXPECT_EQ(f.edit->GetAsBoolean(), c.asBool);
        EXPECT_EQ(f.edit->GetAsInteger(), c.asInt);
        EXPECT_DOUBLE_EQ(f.edit->GetAsFloat(), c.asFloat);
    }
    f.edit->SetAsInteger(7);
    EXPECT_EQ(f.edit->Text(), u"7"_qs);
}

// A value source as a grid cell would be: it reports its text.
struct FakeSource : IRgBase {
    QString text;
    int asked = 0;
    rtl::String GetAsString() override {
        ++asked;
        return text;
    }
};

TEST(Edit6, AssignValueTakesTheSourcesTextThroughTheValueInterface) {
    EditFixture f;
    FakeSource source;
    source.text = u"12.5 kHz"_qs;
    f.edit->AssignValue(&source);
    EXPECT_EQ(source.asked, 1);
    EXPECT_EQ(f.edit->Text(), u"12.5 kHz"_qs);
    IRgProperty* property = f.edit;
    IRgTextControl* text = f.edit;
    property->SetAsInteger(5);
    EXPECT_EQ(text->GetEditText(), u"5"_qs);
    f.edit->AssignValue(nullptr); // nothing to take
    EXPECT_EQ(f.edit->Text(), u"5"_qs);
}

TEST(Edit6, WithoutTypingOnlyCaretKeysReachKeyDown) {
    EditFixture f;
    int keys = 0;
    f.edit->OnKeyDown = vcl::TKeyEvent([&](rtl::TObject*, WORD&, vcl::TShiftState) { ++keys; });
    f.edit->SetEditOptions({edPaste});
    f.edit->SetFocus();
    f.h.Keys('A');
    EXPECT_EQ(keys, 0);
    f.h.Keys(VK_LEFT);
    EXPECT_EQ(keys, 1);
    f.edit->SetEditOptions({edTyping});
    f.h.Keys('A');
    EXPECT_EQ(keys, 2);
}

TEST(Edit6, ValidationOnTextChangeDrawsTheVerdictsFrame) {
    EditFixture f([](TRgEdit6* e) { e->SetValidationTriggers({vtTextChanged}); });
    TRgValidationResult verdict = vrInvalid;
    std::vector<QString> seen;
    f.edit->OnValidate = TRgStringValidateEvent([&](rtl::TObject*, const rtl::String& Value, TRgValidationResult& R) {
        seen.push_back(Value);
        R = verdict;
    });
    f.edit->SetText(u"x"_qs);
    f.h.Pump();
    EXPECT_EQ(f.edit->ValidationResult(), vrInvalid);
    EXPECT_EQ(seen.back(), u"x"_qs);
    vcl::TPoint p = f.FromWindow(f.edit, 1, 10);
    EXPECT_EQ(PixelAt(f.h, f.edit, p.X, p.Y), Rgb(vcl::TColor(0x000000FF)));
    verdict = vrValid;
    f.edit->SetText(u"y"_qs);
    f.h.Pump();
    EXPECT_EQ(PixelAt(f.h, f.edit, p.X, p.Y), vcl::TColor(0x0050B000));
    // The frame takes a pixel of its own on every side.
    EXPECT_EQ(f.FromWindow(f.edit, 3, 3), vcl::TPoint(0, 0));
}

TEST(Edit6, PreviewBoxIndentsTheTextAndClicksOnlyWhenPressedAndReleasedOnIt) {
    EditFixture f;
    f.edit->Padding()->SetLeft(4);
    f.edit->SetShowPreview(true);
    f.h.Pump();
    EXPECT_EQ(f.FromWindow(f.edit, 2 + 23 + 4, 2).X, 0);
    EXPECT_EQ(f.edit->GetPreviewRect(), vcl::TRect(3, 3, 23, f.edit->Height() - 3));
    int clicks = 0;
    f.edit->OnPreviewClick = rtl::TNotifyEvent([&](rtl::TObject*) { ++clicks; });
    HWND wnd = f.edit->Handle();
    SendMessageW(wnd, WM_NCLBUTTONDOWN, HTBORDER, ScreenPoint(f.edit, 10, 10));
    SendMessageW(wnd, WM_NCLBUTTONUP, HTBORDER, ScreenPoint(f.edit, 12, 10));
    EXPECT_EQ(clicks, 1);
    SendMessageW(wnd, WM_NCLBUTTONDOWN, HTBORDER, ScreenPoint(f.edit, 10, 10));
    SendMessageW(wnd, WM_NCLBUTTONUP, HTBORDER, ScreenPoint(f.edit, 100, 10));
    SendMessageW(wnd, WM_NCLBUTTONUP, HTBORDER, ScreenPoint(f.edit, 10, 10));  // no press before it
    EXPECT_EQ(clicks, 1);
}

TEST(Edit6, PreviewIsDrawnByTheOwnerInsideAGreyBox) {
    EditFixture f;
    vcl::TRect drawn;
    int draws = 0;
    f.edit->OnPreviewDraw = TRgPreviewDrawEvent([&](rtl::TObject*, const vcl::TRect& R) {
        drawn = R;
        ++draws;
        f.edit->EditCanvas()->Brush()->SetColor(vcl::clRed);
        f.edit->EditCanvas()->FillRect(R);
    });
    f.edit->SetShowPreview(true);
    f.h.Pump();
    EXPECT_EQ(drawn, vcl::TRect(4, 4, 22, f.edit->Height() - 4));
    vcl::TPoint grey = f.FromWindow(f.edit, 3, 10), red = f.FromWindow(f.edit, 10, 10);
    EXPECT_EQ(PixelAt(f.h, f.edit, grey.X, grey.Y), vcl::TColor(0x00808080));
    EXPECT_EQ(PixelAt(f.h, f.edit, red.X, red.Y), Rgb(vcl::clRed));
    const int before = draws;
    f.edit->SetText(u"new"_qs);  // the owner's preview follows the text
    f.h.Pump();
    EXPECT_GT(draws, before);
}

TEST(Edit6, MarginsKeepTheTextClearOfTheButton) {
    EditFixture f;
    auto right = [&] { return HIWORD(SendMessageW(f.buttonEdit->Handle(), EM_GETMARGINS, 0, 0)); };
    EXPECT_EQ(right(), 17);
    f.buttonEdit->SetEditMargins(2, 5);
    EXPECT_EQ(right(), 22);
    EXPECT_EQ(LOWORD(SendMessageW(f.buttonEdit->Handle(), EM_GETMARGINS, 0, 0)), 2);
    f.buttonEdit->SetShowButton(false);
    EXPECT_EQ(right(), 5);
    f.buttonEdit->SetShowButton(true);
    f.buttonEdit->SetButtonWidth(30);
    EXPECT_EQ(right(), 35);
    EXPECT_EQ(f.buttonEdit->Button()->Width(), 30);
}

// A host that knows the edit only through its in-place interface, as a grid would.
TEST(Edit6, AHostDrivesTheEditThroughItsInplaceInterface) {
    EditFixture f;
    IRgInplaceEdit* e = f.edit->InplaceEdit();
    int changes = 0;
    e->SetOnChange(rtl::TNotifyEvent([&](rtl::TObject*) { ++changes; }));
    e->SetText(u"cell"_qs);
    EXPECT_EQ(e->GetEditText(), u"cell"_qs);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(e->GetHandle(), f.edit->Handle());
    e->SetEditMargins(7, 9);
    const LRESULT margins = SendMessageW(f.edit->Handle(), EM_GETMARGINS, 0, 0);
    EXPECT_EQ(LOWORD(margins), 7);
    EXPECT_EQ(HIWORD(margins), 9);
    e->SetBounds(20, 30, 100, 22);
    EXPECT_EQ(f.edit->BoundsRect(), vcl::TRect(20, 30, 120, 52));
    e->SetReadOnly(true);
    EXPECT_TRUE(f.edit->ReadOnly());
    e->Hide();
    EXPECT_FALSE(e->GetShowing());
    e->Show();
    e->SetFocus();
    f.h.Pump();
    EXPECT_TRUE(e->Focused());
    struct Source : IRgBase {
        rtl::String GetAsString() override { return u"from the grid"_qs; }
    } source;
    e->AssignValue(&source);
    EXPECT_EQ(f.edit->Text(), u"from the grid"_qs);
    // A button edit's button reaches its edit through the same interface, and the edit's click handler
    // is set through the button edit's own.
    IRgEditButton* button = f.buttonEdit->Button()->AsEditButton();
    EXPECT_EQ(button->GetEdit(), f.buttonEdit->InplaceEdit());
    EXPECT_EQ(button->GetWidth(), 17);
    EXPECT_EQ(button->GetAlign(), vcl::alRight);
    TPlainButton loose(nullptr);
    EXPECT_EQ(loose.Edit(), nullptr);
    int clicks = 0;
    f.buttonEdit->AsButtonEdit()->SetOnButtonClick(rtl::TNotifyEvent([&](rtl::TObject*) { ++clicks; }));
    f.buttonEdit->OnButtonClick(nullptr);
    EXPECT_EQ(clicks, 1);
    // Freeing through the interface frees the control.
    vcl::TWinControl* parent = f.edit->Parent();
    const int before = parent->ControlCount();
    e->Free();
    EXPECT_EQ(parent->ControlCount(), before - 1);
}

TEST(Edit6, CaretKeysStayWithTheEdit) {
    EditFixture f;
    for (int key : {VK_BACK, VK_END, VK_HOME, VK_LEFT, VK_RIGHT, VK_DELETE}) EXPECT_FALSE(f.edit->CanDispatchKey(WORD(key)));
    for (int key : {VK_UP, VK_DOWN, VK_RETURN, VK_TAB, int('A')}) EXPECT_TRUE(f.edit->CanDispatchKey(WORD(key)));
}

TEST(Edit6, ButtonClickGivesDownUpClickAndAStickyButtonComesUpNextTimeOrOnFocusLoss) {
    EditFixture f;
    TRgEditButton* b = f.buttonEdit->Button();
    EXPECT_EQ(b->Align(), vcl::alRight);
    f.h.Click(b);
    EXPECT_EQ(f.buttonEdit->Log, "down up click ");
    EXPECT_TRUE(f.buttonEdit->Focused());
    f.buttonEdit->Log.clear();
    b->SetAutoUp(false);
    f.h.Click(b);
    EXPECT_TRUE(b->Down());
    EXPECT_EQ(f.buttonEdit->Log, "down click ");
    f.h.Click(b);
    EXPECT_FALSE(b->Down());
    f.h.Click(b);
    f.edit->SetFocus();
    f.h.Pump();
    EXPECT_FALSE(b->Down());
}

TEST(Edit6, PasteOnlyWithThePasteOption) {
    EditFixture f;
    vcl::Clipboard()->SetAsText(u"pasted"_qs);
    f.edit->SetEditOptions({edTyping});
    SendMessageW(f.edit->Handle(), WM_PASTE, 0, 0);
    EXPECT_EQ(f.edit->Text(), u""_qs);
    f.edit->SetEditOptions({edPaste});
    SendMessageW(f.edit->Handle(), WM_PASTE, 0, 0);
    EXPECT_EQ(f.edit->Text(), u"pasted"_qs);
}

TEST(Edit6, DialogCodeFollowsWantTabsAndWantReturns) {
    EditFixture f;
    auto code = [&] { return SendMessageW(f.edit->Handle(), WM_GETDLGCODE, 0, 0); };
    EXPECT_EQ(code() & (DLGC_WANTTAB | DLGC_WANTALLKEYS), 0);
    f.edit->SetWantTabs(true);
    EXPECT_NE(code() & DLGC_WANTTAB, 0);
    f.edit->SetWantTabs(false);
    f.edit->SetWantReturns(true);
    EXPECT_EQ(code() & DLGC_WANTTAB, 0);
    EXPECT_NE(code() & DLGC_WANTALLKEYS, 0);
}

TEST(Edit6, AssignCopiesTheFamilysSettings) {
    EditFixture f;
    auto* source = new TTestButtonEdit(f.edit->Owner());
    source->SetAlignment(vcl::taRightJustify);
    source->SetEditOptions({edPaste});
    source->Padding()->SetTop(3);
    source->SetShowPreview(true);
    source->SetValidationResult(vrValid);
    source->SetValidationTriggers({vtLeave});
    source->SetWantReturns(true);
    source->SetWantTabs(true);
    source->SetButtonWidth(25);
    f.buttonEdit->Assign(source);
    EXPECT_EQ(f.buttonEdit->Alignment(), vcl::taRightJustify);
    EXPECT_EQ(f.buttonEdit->EditOptions(), TRgEditOptions{edPaste});
    EXPECT_EQ(f.buttonEdit->Padding()->Top(), 3);
    EXPECT_TRUE(f.buttonEdit->ShowPreview());
    EXPECT_EQ(f.buttonEdit->ValidationResult(), vrValid);
    EXPECT_EQ(f.buttonEdit->ValidationTriggers(), TRgValidationTriggers{vtLeave});
    EXPECT_TRUE(f.buttonEdit->WantReturns() && f.buttonEdit->WantTabs());
    EXPECT_EQ(f.buttonEdit->ButtonWidth(), 25);
    EXPECT_EQ(f.buttonEdit->Button()->Width(), 25);
    f.edit->Assign(source);  // a plain edit takes all but the button
    EXPECT_EQ(f.edit->Alignment(), vcl::taRightJustify);
}

TEST(Edit6, EditingBeginsWithTheKeyAndTheCaretAfterIt) {
    EditFixture f;
    f.edit->SetText(u"old"_qs);
    f.edit->BeginEditWithKey(u'k');
    EXPECT_EQ(f.edit->Text(), u"k"_qs);
    EXPECT_EQ(f.edit->SelStart(), 1);
    EXPECT_EQ(f.edit->SelLength(), 0);
    EXPECT_EQ(f.edit->BorderStyle(), vcl::bsNone);
    EXPECT_TRUE(f.edit->WantTabs());
    EXPECT_FALSE(f.edit->AutoSelect());
}

namespace {
struct TLengthValidator : IRgValidator {
    TRgValidationResult Validate(TRgCustomEdit6* Control) override {
        return Control->Text().length() > 2 ? vrValid : vrInvalid;
    }
};
} // namespace

TEST(Edit6, LeaveAndTypingTriggersAskTheValidatorAndTheHandlerHasTheLastWord) {
    EditFixture f;
    TLengthValidator validator;
    f.edit->SetValidator(&validator);
    f.edit->SetValidationTriggers({vtLeave});
    f.edit->SetText(u"ab"_qs);
    EXPECT_EQ(f.edit->ValidationResult(), vrUnchecked);  // not on a text change
    f.edit->SetFocus();
    f.buttonEdit->SetFocus();
    EXPECT_EQ(f.edit->ValidationResult(), vrInvalid);
    f.edit->SetValidationTriggers({vtTyping});
    f.h.Type(f.edit, u"c"_qs);  // the focus selected all: "c" alone
    EXPECT_EQ(f.edit->ValidationResult(), vrInvalid);
    f.h.Type(f.edit, u"de"_qs);
    EXPECT_EQ(f.edit->ValidationResult(), vrValid);
    f.edit->OnValidate = TRgStringValidateEvent(
        [](rtl::TObject*, const rtl::String&, TRgValidationResult& R) { R = vrUnchecked; });
    EXPECT_EQ(f.edit->Validate(f.edit->Text()), vrUnchecked);
    EXPECT_EQ(f.edit->ValidationResult(), vrUnchecked);
}
