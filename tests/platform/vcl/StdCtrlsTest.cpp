// The standard controls: labels, buttons, check boxes, radio buttons, group boxes; clicks through the
// platform windows, events once per change and none while a form loads.
#include "tests/support/windows/FormHarness.h"
#include "vcl/Forms.h"
#include "vcl/StdCtrls.h"

#include <gtest/gtest.h>

using namespace vcl;
using testing_support::FormHarness;

namespace {

class TStdForm : public TForm {
public:
    explicit TStdForm(TComponent* AOwner) : TForm(AOwner) {
        BeginLoading();
        SetPosition(poDesigned);
        SetBounds(100, 100, 400, 300);
        ok = Make<TButton>(10, 10);
        ok->SetCaption(u"OK"_qs);
        ok->SetDefault(true);
        ok->SetModalResult(mrOk);
        cancel = Make<TButton>(100, 10);
        cancel->SetCancel(true);
        cancel->SetModalResult(mrCancel);
        check = Make<TCheckBox>(10, 50);
        check->OnClick = [this](TObject*) { log.push_back("check:" + std::to_string(check->State())); };
        check->SetChecked(true); // while loading: no click
        group = Make<TGroupBox>(10, 80);
        group->SetCaption(u"&Group"_qs);
        radioA = Make<TRadioButton>(10, 30, group);
        radioB = Make<TRadioButton>(10, 60, group);
        radioA->SetChecked(true);
        radioB->OnClick = [this](TObject*) { log.push_back("radioB"); };
        label = new TLabel(this);
        label->SetParent(this);
        label->SetCaption(u"&Name"_qs);
        label->SetFocusControl(ok);
        EndLoading();
    }
    template <class T> T* Make(int x, int y, TWinControl* parent = nullptr) {
        T* c = new T(this);
        c->SetLeft(x);
        c->SetTop(y);
        c->SetParent(parent ? parent : this);
        return c;
    }
    TButton *ok, *cancel;
    TCheckBox* check;
    TGroupBox* group;
    TRadioButton *radioA, *radioB;
    TLabel* label;
    std::vector<std::string> log;
};

LRESULT CheckOf(TWinControl* c) { return SendMessageW(c->Handle(), BM_GETCHECK, 0, 0); }

} // namespace

TEST(StdButton, ClickSetsTheFormsModalResultAndDialogKeysPressDefaultAndCancel) {
    FormHarness h;
    auto* form = h.Show<TStdForm>();
    int clicks = 0;
    form->ok->OnClick = [&](TObject*) { ++clicks; };
    h.Click(form->ok);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(form->ModalResult(), mrOk);
    form->SetModalResult(mrNone);
    EXPECT_EQ(form->cancel->Perform(CM_DIALOGKEY, VK_ESCAPE), 1);
    EXPECT_EQ(form->ModalResult(), mrCancel);
    EXPECT_EQ(form->cancel->Perform(CM_DIALOGKEY, VK_RETURN), 0); // not the default button
    EXPECT_EQ(form->ok->Perform(CM_DIALOGKEY, VK_RETURN), 1);
    EXPECT_EQ(clicks, 2);
    EXPECT_NE(GetWindowLongW(form->ok->Handle(), GWL_STYLE) & BS_TYPEMASK, 0); // BS_DEFPUSHBUTTON
    // The keys themselves, pressed on the form.
    form->SetModalResult(mrNone);
    form->check->SetFocus();
    h.Keys(VK_ESCAPE);
    EXPECT_EQ(form->ModalResult(), mrCancel);
    h.Keys(VK_RETURN);
    EXPECT_EQ(form->ModalResult(), mrOk);
    EXPECT_EQ(clicks, 3);
}

TEST(StdCheckBox, ClicksCycleTheStateAndTheWindowFollowsWithOneEventPerChange) {
    FormHarness h;
    auto* form = h.Show<TStdForm>();
    TCheckBox* box = form->check;
    EXPECT_TRUE(form->log.empty()); // the state set while loading clicked nothing
    EXPECT_EQ(CheckOf(box), BST_CHECKED);
    h.Click(box);
    EXPECT_EQ(box->State(), cbUnchecked);
    EXPECT_EQ(CheckOf(box), BST_UNCHECKED);
    box->SetAllowGrayed(true);
    h.Click(box);
    h.Click(box);
    EXPECT_EQ(box->State(), cbChecked);
    box->SetChecked(true); // no change, no event
    box->SetState(cbUnchecked);
    EXPECT_EQ(CheckOf(box), BST_UNCHECKED);
    EXPECT_EQ(form->log, (std::vector<std::string>{"check:0", "check:2", "check:1", "check:0"}));
    box->RecreateWnd(); // a new window shows the state again
    box->SetState(cbGrayed);
    box->RecreateWnd();
    EXPECT_EQ(CheckOf(box), BST_INDETERMINATE);
}

TEST(StdRadioButton, CheckingOneUnchecksItsSiblings) {
    FormHarness h;
    auto* form = h.Show<TStdForm>();
    EXPECT_EQ(CheckOf(form->radioA), BST_CHECKED);
    h.Click(form->radioB);
    EXPECT_TRUE(form->radioB->Checked());
    EXPECT_FALSE(form->radioA->Checked());
    EXPECT_EQ(CheckOf(form->radioA), BST_UNCHECKED);
    EXPECT_EQ(CheckOf(form->radioB), BST_CHECKED);
    h.Click(form->radioB); // already checked: no second event
    EXPECT_EQ(form->log, (std::vector<std::string>{"radioB"}));
}

TEST(StdLabel, AutoSizeFollowsTheCaptionAndTheAcceleratorFocusesItsControl) {
    FormHarness h;
    auto* form = h.Show<TStdForm>();
    TLabel* label = form->label;
    const int oneWord = label->Width();
    EXPECT_GT(oneWord, 0);
    EXPECT_GT(label->Height(), 0);
    label->SetCaption(u"&Name of the file"_qs);
    EXPECT_GT(label->Width(), oneWord);
    const int lineHeight = label->Height();
    label->SetWordWrap(true);
    label->SetWidth(oneWord);
    label->SetCaption(u"&Name of the file"_qs + u" "_qs);
    EXPECT_EQ(label->Width(), oneWord);
    EXPECT_GE(label->Height(), 2 * lineHeight);
    // "&&" is a plain ampersand; the accelerator is the letter after a single one.
    for (auto [key, caption, expected] : {std::tuple{'N', u"&Name"_qs, true}, {'A', u"N&&ame"_qs, false},
                                          {'A', u"N&&&ame"_qs, true}, {'N', u"Name"_qs, false}})
        EXPECT_EQ(IsAccel(key, caption), expected) << caption.toStdString();
    form->cancel->SetFocus();
    EXPECT_EQ(label->Perform(CM_DIALOGCHAR, 'n'), 1);
    EXPECT_TRUE(form->ok->Focused());
    delete form->ok; // the label lets go of a freed focus control
    EXPECT_EQ(label->FocusControl(), nullptr);
}

TEST(StdGroupBox, ChildrenSitBelowTheCaption) {
    FormHarness h;
    auto* form = h.Show<TStdForm>();
    form->radioA->SetAlign(alTop);
    EXPECT_GE(form->radioA->Top(), form->group->Canvas()->TextHeight(u"0"_qs));
    EXPECT_GT(form->radioA->Left(), 0);
    EXPECT_LT(form->radioA->Left() + form->radioA->Width(), form->group->Width());
    // Its accelerator focuses the first control inside.
    EXPECT_EQ(form->group->Perform(CM_DIALOGCHAR, 'g'), 1);
    EXPECT_TRUE(form->radioA->Focused() || form->radioB->Focused());
}

namespace {
class TEditForm : public TForm {
public:
    explicit TEditForm(TComponent* AOwner) : TForm(AOwner) {
        BeginLoading();
        SetPosition(poDesigned);
        SetBounds(100, 100, 300, 200);
        edit = new TEdit(this);
        edit->SetBounds(10, 10, 150, 21);
        edit->SetParent(this);
        edit->OnChange = [this](TObject*) { changes.push_back(edit->Text().toStdString()); };
        edit->SetText(u"loaded"_qs); // no event while loading
        EndLoading();
    }
    TEdit* edit;
    std::vector<std::string> changes;
};
} // namespace

TEST(StdEdit, OnChangeOncePerChangeFromTypingSettingOrReplacingTheSelection) {
    FormHarness h;
    auto* form = h.Show<TEditForm>();
    TEdit* e = form->edit;
    EXPECT_EQ(e->Text(), u"loaded"_qs);
    EXPECT_TRUE(form->changes.empty());
    EXPECT_FALSE(e->Modified());
    e->SetText(u"Hello world"_qs);
    e->SetSelStart(6);
    e->SetSelLength(5);
    EXPECT_EQ(e->SelText(), u"world"_qs);
    e->SetSelText(u"there"_qs);
    EXPECT_EQ(e->Text(), u"Hello there"_qs);
    e->SelectAll();
    EXPECT_EQ(e->SelLength(), 11);
    h.Type(e, u"ab"_qs);
    EXPECT_TRUE(e->Modified());
    EXPECT_EQ(form->changes, (std::vector<std::string>{"Hello world", "Hello there", "a", "ab"}));
    // The modified flag survives a new window.
    e->SetNumbersOnly(true);
    EXPECT_TRUE(e->Modified());
    e->SetModified(false);
    EXPECT_FALSE(e->Modified());
}

TEST(StdEdit, LimitsPasswordReadOnlyDigitsAndCaseReachTheWindow) {
    FormHarness h;
    auto* form = h.Show<TEditForm>();
    TEdit* e = form->edit;
    e->Clear();
    e->SetMaxLength(4);
    h.Type(e, u"abcdef"_qs);
    EXPECT_EQ(e->Text(), u"abcd"_qs);
    e->SetPasswordChar(u'#');
    EXPECT_EQ(SendMessageW(e->Handle(), EM_GETPASSWORDCHAR, 0, 0), u'#');
    e->SetReadOnly(true);
    h.Type(e, u"x"_qs);
    EXPECT_EQ(e->Text(), u"abcd"_qs);
    e->SetReadOnly(false);
    e->SetCharCase(ecUpperCase);
    EXPECT_EQ(e->Text(), u"ABCD"_qs);
    e->SetMaxLength(0);
    e->SetSelStart(4);
    h.Type(e, u"e"_qs);
    EXPECT_EQ(e->Text(), u"ABCDE"_qs);
    e->SetNumbersOnly(true);
    e->Clear();
    h.Type(e, u"1a2"_qs);
    EXPECT_EQ(e->Text(), u"12"_qs);
    // Settings made before the window exists are applied when it is made.
    e->SetPasswordChar(u'%');
    e->RecreateWnd();
    EXPECT_EQ(SendMessageW(e->Handle(), EM_GETPASSWORDCHAR, 0, 0), u'%');
    EXPECT_NE(GetWindowLongW(e->Handle(), GWL_STYLE) & ES_NUMBER, 0);
}

TEST(StdEdit, TextHintShowsInTheEmptyUnfocusedBoxOnly) {
    FormHarness h;
    auto* form = h.Show<TEditForm>();
    TEdit* e = form->edit;
    auto* other = new TButton(form);
    other->SetParent(form);
    other->SetTop(50);
    other->SetFocus();
    e->SetTextHint(u"Search"_qs);
    auto hintPixels = [&] {
        TBitmap bmp(e->Width(), e->Height());
        e->PaintTo(bmp.Canvas()->Handle(), 0, 0);
        int n = 0;
        for (int y = 0; y < bmp.Height(); ++y)
            for (int x = 0; x < bmp.Width(); ++x) n += bmp.Canvas()->Pixels(x, y) == ColorToRGB(clGrayText);
        return n;
    };
    EXPECT_EQ(hintPixels(), 0); // the box holds text
    e->Clear();
    EXPECT_GT(hintPixels(), 0);
    e->SetFocus();
    EXPECT_EQ(hintPixels(), 0);
}
