// The standard controls: labels, buttons, check boxes, radio buttons, group boxes; clicks through the
// platform windows, events once per change and none while a form loads.
#include "tests/support/windows/FormHarness.h"
#include "vcl/Forms.h"
#include "vcl/StdCtrls.h"

#include <gtest/gtest.h>

#include <map>

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
    // Without AutoSize the label keeps the size it was given, whatever its caption or font.
    label->SetAutoSize(false);
    label->SetBounds(0, 0, 110, 16);
    label->SetCaption(u"&N"_qs);
    label->Font()->SetSize(20);
    label->SetWordWrap(false);
    EXPECT_EQ(label->Width(), 110);
    EXPECT_EQ(label->Height(), 16);
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

// Made and sized in code before it has a parent: no window can exist yet, so the caption is measured
// without one, and the children still start below it once the box is placed.
TEST(StdGroupBox, SizedBeforeItHasAParent) {
    FormHarness h;
    auto* form = h.Show<TStdForm>();
    auto* group = new TGroupBox(form);
    auto* inner = new TCheckBox(group);
    inner->SetParent(group);
    inner->SetAlign(alTop);
    group->SetBounds(0, 150, 200, 120);
    EXPECT_FALSE(group->HandleAllocated());
    group->SetParent(form);
    EXPECT_GE(inner->Top(), group->Canvas()->TextHeight(u"0"_qs));
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

TEST(StdEdit, FocusByKeyboardSelectsTheTextButAClickPlacesTheCaret) {
    FormHarness h;
    auto* form = h.Show<TEditForm>();
    TEdit* e = form->edit;
    auto* other = new TButton(form);
    other->SetParent(form);
    other->SetTop(50);
    auto* memo = new TMemo(form);
    memo->SetBounds(10, 90, 150, 60);
    memo->SetParent(form);
    memo->SetText(u"memo"_qs);
    struct Case { TCustomEdit* edit; bool autoSelect; bool byClick; int selLength; };
    for (const Case& c : {Case{e, true, false, 6}, Case{e, false, false, 0}, Case{e, true, true, 0},
                          Case{memo, true, false, 0}}) {
        other->SetFocus();
        c.edit->SetSelStart(0);
        c.edit->SetAutoSelect(c.autoSelect);
        if (c.byClick) h.Click(c.edit, POINT{c.edit->Width() - 10, 8});
        else c.edit->SetFocus();
        h.Pump();
        ASSERT_TRUE(c.edit->Focused());
        EXPECT_EQ(c.edit->SelLength(), c.selLength) << (c.edit == memo ? "memo" : "edit") << " auto " << c.autoSelect
                                                     << " click " << c.byClick;
    }
}

TEST(StdEdit, AutoSizeFitsTheHeightToTheFontUnlessTurnedOff) {
    FormHarness h;
    auto* form = h.Show<TEditForm>();
    TEdit* e = form->edit;
    EXPECT_EQ(e->Height(), 21);  // the default font's line and the 3-D frame
    e->Font()->SetSize(20);
    const int big = e->Height();
    EXPECT_GT(big, 30);
    e->SetHeight(50);
    e->RecreateWnd();
    EXPECT_EQ(e->Height(), big);
    e->SetAutoSize(false);
    e->SetHeight(50);
    e->Font()->SetSize(8);
    e->RecreateWnd();
    EXPECT_EQ(e->Height(), 50);
    auto* memo = new TMemo(form);
    memo->SetParent(form);
    memo->Font()->SetSize(20);
    EXPECT_EQ(memo->Height(), 89);  // memos keep their size
}

namespace {
// A form with a memo, a list box, a combo box and a scroll bar, each logging its events.
class TListForm : public TForm {
public:
    explicit TListForm(TComponent* AOwner) : TForm(AOwner) {
        BeginLoading();
        SetPosition(poDesigned);
        SetBounds(100, 100, 500, 400);
        ok = new TButton(this);
        ok->SetBounds(400, 350, 75, 25);
        ok->SetParent(this);
        ok->SetDefault(true);
        ok->SetModalResult(mrOk);
        memo = new TMemo(this);
        memo->SetBounds(10, 10, 200, 100);
        memo->SetParent(this);
        memo->SetWordWrap(false);
        memo->OnChange = [this](TObject*) { log.push_back("memo"); };
        memo->Lines()->SetText(u"loaded"_qs);
        list = new TListBox(this);
        list->SetBounds(220, 10, 120, 100);
        list->SetParent(this);
        list->OnClick = [this](TObject*) { log.push_back("list:" + std::to_string(list->ItemIndex())); };
        combo = new TComboBox(this);
        combo->SetBounds(10, 150, 150, 23);
        combo->SetParent(this);
        combo->OnChange = [this](TObject*) { log.push_back("change:" + combo->Text().toStdString()); };
        combo->OnDropDown = [this](TObject*) { log.push_back("dropdown"); };
        combo->OnCloseUp = [this](TObject*) { log.push_back("closeup"); };
        bar = new TScrollBar(this);
        bar->SetBounds(10, 300, 200, 17);
        bar->SetParent(this);
        bar->OnChange = [this](TObject*) { log.push_back("bar:" + std::to_string(bar->Position())); };
        bar->SetPosition(5);
        EndLoading();
    }
    TButton* ok;
    TMemo* memo;
    TListBox* list;
    TComboBox* combo;
    TScrollBar* bar;
    std::vector<std::string> log;
};

std::vector<std::string> LinesOf(rtl::TStrings* s) {
    std::vector<std::string> r;
    for (int i = 0; i < s->Count(); ++i) r.push_back(s->Strings(i).toStdString());
    return r;
}
using Lines = std::vector<std::string>;
} // namespace

TEST(StdMemo, LinesEditTheWindowsTextAndAnEmptyLastLineStillCounts) {
    FormHarness h;
    auto* form = h.Show<TListForm>();
    TMemo* memo = form->memo;
    EXPECT_TRUE(form->log.empty()); // the text set while loading fired nothing
    EXPECT_EQ(LinesOf(memo->Lines()), Lines{"loaded"});
    memo->Lines()->Clear();
    form->log.clear();
    memo->Lines()->Add(u"first"_qs);
    memo->Lines()->Add(u"second"_qs);
    memo->Lines()->Add(QString());
    EXPECT_EQ(memo->Text(), u"first\r\nsecond\r\n\r\n"_qs);
    EXPECT_EQ(LinesOf(memo->Lines()), (Lines{"first", "second", ""}));
    EXPECT_EQ(form->log.size(), 3u); // one change per line added
    memo->Lines()->Insert(1, u"between"_qs);
    memo->Lines()->SetStrings(0, u"FIRST"_qs);
    memo->Lines()->Delete(2);
    EXPECT_EQ(LinesOf(memo->Lines()), (Lines{"FIRST", "between", ""}));
    // A text without a final break: the next line goes after a new break.
    memo->SetText(u"a\r\nb"_qs);
    memo->Lines()->Add(u"c"_qs);
    EXPECT_EQ(memo->Text(), u"a\r\nbc"_qs.replace(u"bc"_qs, u"b\r\nc"_qs));
    EXPECT_THROW(memo->Lines()->Delete(3), rtl::Exception);
    EXPECT_THROW(memo->Lines()->Insert(5, u"x"_qs), rtl::Exception);
    EXPECT_THROW(memo->Lines()->Strings(-1), rtl::Exception);
}

TEST(StdMemo, LinesWorkBeforeTheWindowAndSurviveIt) {
    FormHarness h;
    auto* form = h.Show<TListForm>();
    auto* memo = new TMemo(form);
    memo->Lines()->Add(u"one"_qs);
    memo->Lines()->Add(u"two"_qs);
    memo->Lines()->SetStrings(1, u"2"_qs);
    EXPECT_FALSE(memo->HandleAllocated());
    memo->SetParent(form);
    EXPECT_EQ(LinesOf(memo->Lines()), (Lines{"one", "2"}));
    EXPECT_TRUE(memo->HandleAllocated());
    memo->SetScrollBars(ssBoth); // a new window keeps the lines
    EXPECT_NE(GetWindowLongW(memo->Handle(), GWL_STYLE) & WS_HSCROLL, 0);
    EXPECT_EQ(LinesOf(memo->Lines()), (Lines{"one", "2"}));
}

TEST(StdMemo, AHundredThousandLinesAssignedReadBackExactly) {
    FormHarness h;
    auto* form = h.Show<TListForm>();
    rtl::TStringList source;
    for (int i = 0; i < 100000; ++i) source.Add(QStringLiteral("line %1").arg(i));
    form->log.clear();
    form->memo->Lines()->Assign(&source);
    rtl::TStrings* lines = form->memo->Lines();
    ASSERT_EQ(lines->Count(), 100000);
    for (int i : {0, 1, 4999, 99998, 99999}) EXPECT_EQ(lines->Strings(i), QStringLiteral("line %1").arg(i));
    EXPECT_EQ(lines->Text(), source.Text());
    EXPECT_LE(form->log.size(), 2u); // the clear and the block, not one change per line
    lines->Add(u"last"_qs);
    EXPECT_EQ(lines->Strings(100000), u"last"_qs);
}

TEST(StdMemo, ABevelFrameTakesRoomOnItsEdgesAndIsDrawnThere) {
    FormHarness h;
    auto* form = h.Show<TEditForm>();
    auto* memo = new TMemo(form);
    memo->SetBounds(10, 40, 120, 80);
    memo->SetBorderStyle(bsNone);
    memo->SetParent(form);
    struct Case { TBevelKind kind; TBevelCut inner; TBevelEdges edges; RECT client; };
    for (const Case& c : {Case{bkNone, bvRaised, {beLeft, beTop, beRight, beBottom}, {0, 0, 120, 80}},
                          Case{bkFlat, bvRaised, {beLeft, beTop, beRight, beBottom}, {2, 2, 118, 78}},
                          Case{bkFlat, bvNone, {beLeft, beTop, beRight, beBottom}, {1, 1, 119, 79}},
                          Case{bkSoft, bvRaised, {beBottom}, {0, 0, 120, 78}}}) {
        memo->SetBevelKind(c.kind);
        memo->SetBevelInner(c.inner);
        memo->SetBevelEdges(c.edges);
        h.Pump();
        RECT w{}, cl{};
        GetWindowRect(memo->Handle(), &w);
        GetClientRect(memo->Handle(), &cl);
        POINT origin{0, 0};
        ClientToScreen(memo->Handle(), &origin);
        const RECT client{origin.x - w.left, origin.y - w.top, origin.x - w.left + cl.right, origin.y - w.top + cl.bottom};
        EXPECT_TRUE(EqualRect(&client, &c.client)) << "kind " << c.kind << ": " << client.left << "," << client.top << ","
                                                   << client.right << "," << client.bottom;
        // The room below the client area holds a bevel line.
        const QImage shot = h.App().Grab(memo->Handle());
        bool lined = false;
        for (int y = client.bottom; y < 80; ++y) lined |= (shot.pixel(60, y) & 0xFFFFFF) != QRgb(ColorToRGB(clWindow));
        EXPECT_EQ(lined, c.kind != bkNone) << "kind " << c.kind;
    }
}

TEST(StdMemo, ReturnsAndTabsGoToTheMemoOnlyWhenItWantsThem) {
    FormHarness h;
    auto* form = h.Show<TListForm>();
    TMemo* memo = form->memo;
    memo->Clear();
    memo->SetFocus();
    h.Keys(VK_RETURN);
    EXPECT_EQ(memo->Text(), u"\r\n"_qs);
    EXPECT_EQ(form->ModalResult(), mrNone);
    h.Keys(VK_TAB); // not wanted: the focus moves on
    EXPECT_FALSE(memo->Focused());
    memo->Clear();
    memo->SetWantTabs(true);
    memo->SetWantReturns(false);
    memo->SetFocus();
    h.Keys(VK_TAB);
    EXPECT_TRUE(memo->Focused());
    EXPECT_EQ(memo->Text(), u"\t"_qs);
    h.Keys(VK_RETURN); // the form's default button takes it
    EXPECT_EQ(form->ModalResult(), mrOk);
    EXPECT_EQ(memo->Text(), u"\t"_qs);
}

TEST(StdListBox, ItemsSelectionAndOrderSurviveANewWindowAndOnlyTheUserClicks) {
    FormHarness h;
    auto* form = h.Show<TListForm>();
    TListBox* list = form->list;
    auto* early = new TListBox(form); // items before the window exists
    early->SetSorted(true);
    early->Items()->Add(u"pear"_qs);
    early->Items()->Add(u"Apple"_qs);
    early->Items()->Add(u"fig"_qs);
    early->SetItemIndex(1);
    early->SetParent(form);
    early->SetLeft(350);
    EXPECT_EQ(LinesOf(early->Items()), (Lines{"Apple", "fig", "pear"}));
    EXPECT_EQ(SendMessageW(early->Handle(), LB_GETCURSEL, 0, 0), 1);

    for (auto s : {u"zero"_qs, u"one"_qs, u"two"_qs}) list->Items()->Add(s);
    list->SetItemIndex(2); // from code: no click
    EXPECT_TRUE(form->log.empty());
    const int h0 = list->ItemHeight();
    h.Click(list, POINT{10, h0 + h0 / 2});
    EXPECT_EQ(list->ItemIndex(), 1);
    list->SetSorted(true); // a new window, sorted, the chosen item kept by index
    EXPECT_EQ(LinesOf(list->Items()), (Lines{"one", "two", "zero"}));
    list->Items()->SetStrings(1, u"TWO"_qs);
    EXPECT_EQ(list->ItemIndex(), 1); // replacing the chosen item keeps it chosen
    EXPECT_EQ(form->log, (std::vector<std::string>{"list:1"}));
    // Many at once into the sorted list: the same order, equal items in the order they came.
    rtl::TStringList more;
    more.SetText(u"pear\nApple\nfig\napple"_qs);
    early->Items()->Assign(&more);
    EXPECT_EQ(LinesOf(early->Items()), (Lines{"Apple", "apple", "fig", "pear"}));
    EXPECT_EQ(list->ItemAtPos(TPoint(10, h0 / 2), true), 0);
    EXPECT_EQ(list->ItemAtPos(TPoint(10, 90), true), -1);
    EXPECT_EQ(list->ItemAtPos(TPoint(10, 90), false), 3);
}

TEST(StdListBox, MultiSelectReadsAndSetsEachItem) {
    FormHarness h;
    auto* form = h.Show<TListForm>();
    TListBox* list = form->list;
    for (auto s : {u"a"_qs, u"b"_qs, u"c"_qs, u"d"_qs}) list->Items()->Add(s);
    list->SetMultiSelect(true);
    list->SetSelected(1, true);
    list->SetSelected(3, true);
    EXPECT_EQ(list->SelCount(), 2);
    EXPECT_EQ(SendMessageW(list->Handle(), LB_GETSEL, 3, 0), 1);
    list->RecreateWnd();
    EXPECT_TRUE(list->Selected(1) && list->Selected(3) && !list->Selected(0));
    list->DeleteSelected();
    EXPECT_EQ(LinesOf(list->Items()), (Lines{"a", "c"}));
    EXPECT_THROW(list->Selected(5), rtl::Exception);
}

TEST(StdListBox, OwnerDrawnItemsAreMeasuredAndDrawnWithTheirState) {
    FormHarness h;
    auto* form = h.Show<TListForm>();
    TListBox* list = form->list;
    list->SetStyle(lbOwnerDrawVariable);
    list->OnMeasureItem = [](TWinControl*, int Index, int& Height) { Height = 10 + 5 * Index; };
    std::vector<std::pair<int, TOwnerDrawState>> drawn;
    list->OnDrawItem = [&](TWinControl*, int Index, TRect, TOwnerDrawState State) { drawn.push_back({Index, State}); };
    for (auto s : {u"a"_qs, u"b"_qs, u"c"_qs}) list->Items()->Add(s);
    EXPECT_EQ(list->ItemRect(2).Height(), 20);
    EXPECT_EQ(list->ItemRect(1).Top, 10);
    list->SetItemIndex(1);
    drawn.clear();
    list->Repaint();
    ASSERT_EQ(drawn.size(), 3u);
    EXPECT_TRUE(drawn[1].second.Contains(odSelected));
    EXPECT_FALSE(drawn[0].second.Contains(odSelected));
    EXPECT_EQ(drawn[2].first, 2);
}

TEST(StdComboBox, ChoosingFromTheListFiresDropDownChangeAndCloseUpInOrder) {
    FormHarness h;
    auto* form = h.Show<TListForm>();
    TComboBox* combo = form->combo;
    for (auto s : {u"red"_qs, u"green"_qs, u"blue"_qs}) combo->Items()->Add(s);
    combo->SetItemIndex(0); // from code: no event
    EXPECT_EQ(combo->Text(), u"red"_qs);
    EXPECT_TRUE(form->log.empty());
    combo->SetDropDownCount(2);
    combo->SetFocus();  // the keys below go to the focused combo box; dropping it down takes no focus
    combo->SetDroppedDown(true);
    EXPECT_TRUE(combo->DroppedDown());
    COMBOBOXINFO info{};
    info.cbSize = sizeof(info);
    GetComboBoxInfo(combo->Handle(), &info);
    RECT lr;
    GetClientRect(info.hwndList, &lr);
    const int itemH = int(SendMessageW(combo->Handle(), CB_GETITEMHEIGHT, 0, 0));
    EXPECT_EQ(lr.bottom / itemH, 2); // DropDownCount items show
    // A click on the third item (scrolled into view by the key) chooses it.
    h.Keys(VK_DOWN);
    h.Keys(VK_DOWN);
    h.Keys(VK_RETURN);
    EXPECT_FALSE(combo->DroppedDown());
    EXPECT_EQ(combo->ItemIndex(), 2);
    // Each step in the open list is a choice already, as the platform tells it.
    EXPECT_EQ(form->log, (std::vector<std::string>{"dropdown", "change:green", "change:blue", "closeup"}));
    // With OnSelect the choice goes there instead of OnChange.
    int selects = 0;
    combo->OnSelect = [&](TObject*) { ++selects; };
    combo->SetDroppedDown(true);
    h.Keys(VK_UP);
    h.Keys(VK_RETURN);
    EXPECT_EQ(selects, 1);
    EXPECT_EQ(form->log.back(), "closeup");
    EXPECT_EQ(form->ModalResult(), mrNone); // Enter closed the list, not the form
    // Escape closes it too, and leaves the form open.
    combo->SetDroppedDown(true);
    h.Keys(VK_ESCAPE);
    EXPECT_FALSE(combo->DroppedDown());
    EXPECT_EQ(form->log.back(), "closeup");
    EXPECT_EQ(form->ModalResult(), mrNone);
}

TEST(StdComboBox, TypingChangesOncePerKeyAndItemsSurviveANewWindow) {
    FormHarness h;
    auto* form = h.Show<TListForm>();
    TComboBox* combo = form->combo;
    for (auto s : {u"b"_qs, u"a"_qs}) combo->Items()->Add(s);
    h.Type(combo, u"xy"_qs);
    EXPECT_EQ(combo->Text(), u"xy"_qs);
    EXPECT_EQ(form->log, (std::vector<std::string>{"change:x", "change:xy"}));
    combo->SetItemIndex(1);
    combo->SetSorted(true);
    EXPECT_EQ(LinesOf(combo->Items()), (Lines{"a", "b"}));
    EXPECT_EQ(combo->Text(), u"b"_qs); // the chosen index is kept
    combo->SetStyle(csDropDownList);
    EXPECT_EQ(GetWindowLongW(combo->Handle(), GWL_STYLE) & 3, CBS_DROPDOWNLIST);
    EXPECT_EQ(combo->ItemIndex(), 1);
    EXPECT_EQ(form->log.size(), 2u);
}

namespace {
// A combo box that watches the keys of its inner edit, as the program's own combo boxes do.
class TWatchingCombo : public TComboBox {
public:
    using TComboBox::TComboBox;
    std::vector<WPARAM> chars;

protected:
    void EditWndProc(TMessage& Message) override {
        if (Message.Msg == WM_CHAR) chars.push_back(Message.WParam);
        TComboBox::EditWndProc(Message);
    }
};
} // namespace

TEST(StdComboBox, TheInnerEditsMessagesPassThroughEditWndProc) {
    FormHarness h;
    auto* form = h.Show<TListForm>();
    auto* combo = new TWatchingCombo(form);
    combo->SetTop(200);
    combo->SetParent(form);
    ASSERT_NE(combo->EditHandle(), nullptr);
    h.Type(combo, u"ab"_qs);
    EXPECT_EQ(combo->chars, (std::vector<WPARAM>{u'a', u'b'}));
    EXPECT_EQ(combo->Text(), u"ab"_qs);
    EXPECT_EQ(form->ActiveControl(), combo); // the edit's focus is the combo box's
    combo->SetSorted(true); // the new window's edit is watched too
    ASSERT_NE(combo->EditHandle(), nullptr);
    SendMessageW(combo->EditHandle(), WM_CHAR, u'c', 0);
    EXPECT_EQ(combo->chars.back(), WPARAM(u'c'));
    combo->SetStyle(csDropDownList);
    EXPECT_EQ(combo->EditHandle(), nullptr);
}

TEST(StdComboBox, OwnerDrawnFieldAndItemsGetTheirStates) {
    FormHarness h;
    auto* form = h.Show<TListForm>();
    TComboBox* combo = form->combo;
    combo->SetStyle(csOwnerDrawVariable);
    combo->SetItemHeight(20);
    combo->OnMeasureItem = [](TWinControl*, int Index, int& Height) { Height = Index == 1 ? 30 : Height; };
    std::vector<std::pair<int, TOwnerDrawState>> drawn;
    combo->OnDrawItem = [&](TWinControl*, int Index, TRect, TOwnerDrawState State) { drawn.push_back({Index, State}); };
    for (auto s : {u"a"_qs, u"b"_qs, u"c"_qs}) combo->Items()->Add(s);
    EXPECT_EQ(SendMessageW(combo->Handle(), CB_GETITEMHEIGHT, 1, 0), 30);
    EXPECT_EQ(SendMessageW(combo->Handle(), CB_GETITEMHEIGHT, 2, 0), 20);
    combo->SetItemIndex(1);
    combo->SetFocus();
    drawn.clear();
    combo->Repaint();
    ASSERT_FALSE(drawn.empty());
    EXPECT_EQ(drawn.back().first, 1);
    EXPECT_EQ(drawn.back().second, (TOwnerDrawState{odComboBoxEdit, odSelected, odFocused}));
    combo->SetDroppedDown(true);
    drawn.clear();
    COMBOBOXINFO info{};
    info.cbSize = sizeof(info);
    GetComboBoxInfo(combo->Handle(), &info);
    RedrawWindow(info.hwndList, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    h.Pump();
    // The open list's items, told apart from the field by odComboBoxEdit.
    std::map<int, TOwnerDrawState> items;
    for (auto& d : drawn)
        if (!d.second.Contains(odComboBoxEdit)) items[d.first] = d.second;
    ASSERT_TRUE(items.count(1) && items.count(2));
    EXPECT_EQ(items[1], TOwnerDrawState{odSelected});
    EXPECT_EQ(items[2], TOwnerDrawState{});
    combo->SetDroppedDown(false);
}

TEST(StdScrollBar, StepsGoThroughOnScrollAndStayInRange) {
    FormHarness h;
    auto* form = h.Show<TListForm>();
    TScrollBar* bar = form->bar;
    EXPECT_TRUE(form->log.empty());
    EXPECT_EQ(GetScrollPos(bar->Handle(), SB_CTL), 5);
    bar->SetLargeChange(10);
    bar->SetPageSize(20);
    std::vector<TScrollCode> codes;
    bar->OnScroll = [&](TObject*, TScrollCode Code, int& Pos) {
        codes.push_back(Code);
        if (Code == scPageDown) Pos += 1; // a handler may move the landing place
    };
    bar->Perform(CN_HSCROLL, SB_LINEDOWN, LPARAM(bar->Handle()));
    bar->Perform(CN_HSCROLL, SB_PAGEDOWN, LPARAM(bar->Handle()));
    bar->Perform(CN_HSCROLL, SB_BOTTOM, LPARAM(bar->Handle()));
    EXPECT_EQ(bar->Position(), 81); // Max less the page
    bar->Perform(CN_HSCROLL, SB_LINEDOWN, LPARAM(bar->Handle()));
    EXPECT_EQ(codes, (std::vector<TScrollCode>{scLineDown, scPageDown, scBottom, scLineDown}));
    EXPECT_EQ(form->log, (std::vector<std::string>{"bar:6", "bar:17", "bar:81"}));
    // A click on the right arrow arrives the same way.
    bar->SetPosition(0);
    h.Click(bar, POINT{bar->Width() - 3, bar->Height() / 2});
    EXPECT_EQ(bar->Position(), 1);
    EXPECT_THROW(bar->SetMax(10), rtl::Exception); // below the page
    EXPECT_THROW(bar->SetParams(0, 50, 40), rtl::Exception);
    EXPECT_EQ(bar->Max(), 100);
}

TEST(StdComboBox, TypingCompletesFromTheItemsAndBackspaceTakesTheCompletion) {
    FormHarness h;
    auto* form = h.Show<TListForm>();
    TComboBox* combo = form->combo;
    for (auto s : {u"Arial"_qs, u"Arial Black"_qs, u"Courier"_qs}) combo->Items()->Add(s);
    h.Type(combo, u"a"_qs);
    EXPECT_EQ(combo->Text(), u"arial"_qs); // typed as typed, the rest from the item
    EXPECT_EQ(combo->ItemIndex(), 0);
    EXPECT_EQ(combo->SelStart(), 1);
    EXPECT_EQ(combo->SelLength(), 4);
    h.Type(combo, u"rial "_qs);
    EXPECT_EQ(combo->Text(), u"arial Black"_qs);
    h.Type(combo, u"b"_qs);
    EXPECT_EQ(combo->Text(), u"arial black"_qs);
    EXPECT_EQ(combo->ItemIndex(), 1);
    EXPECT_EQ(combo->SelLength(), 4);
    h.Keys(VK_BACK); // the completed tail and the typed "b"
    EXPECT_EQ(combo->Text(), u"arial "_qs);
    EXPECT_EQ(combo->SelLength(), 0);
    // Once per change of the text: "r", "i", "a", "l" only confirmed the completion.
    EXPECT_EQ(form->log, (std::vector<std::string>{"change:arial", "change:arial Black", "change:arial black", "change:arial "}));
    // A key typed inside the text is an ordinary edit, never a completion.
    combo->SetText(u"Cx"_qs);
    combo->SetSelStart(1);
    h.Keys('O');
    EXPECT_EQ(combo->Text(), u"Cox"_qs);
    combo->SetAutoComplete(false);
    combo->SetText(String());
    h.Type(combo, u"c"_qs);
    EXPECT_EQ(combo->Text(), u"c"_qs);
}

TEST(StdComboBox, ADropDownListGathersKeysTypedWithinTheDelay) {
    FormHarness h;
    auto* form = h.Show<TListForm>();
    TComboBox* combo = form->combo;
    combo->SetStyle(csDropDownList);
    for (auto s : {u"apple"_qs, u"banana"_qs, u"berry"_qs}) combo->Items()->Add(s);
    h.Type(combo, u"be"_qs);
    EXPECT_EQ(combo->ItemIndex(), 2);
    h.Type(combo, u"x"_qs); // no item: the choice stays
    EXPECT_EQ(combo->ItemIndex(), 2);
    h.Advance(std::chrono::milliseconds(500));
    h.Type(combo, u"a"_qs);
    EXPECT_EQ(combo->ItemIndex(), 0);
    h.Advance(std::chrono::milliseconds(499));
    h.Type(combo, u"b"_qs); // "ab" matches nothing
    EXPECT_EQ(combo->ItemIndex(), 0);
}

TEST(StdComboBox, AutoDropDownOpensOnTypingAndAutoCloseUpClosesOnAWholeItem) {
    FormHarness h;
    auto* form = h.Show<TListForm>();
    TComboBox* combo = form->combo;
    for (auto s : {u"one"_qs, u"one two"_qs}) combo->Items()->Add(s);
    combo->SetAutoDropDown(true);
    combo->SetAutoCloseUp(true);
    h.Type(combo, u"o"_qs);
    EXPECT_TRUE(combo->DroppedDown());
    h.Type(combo, u"n"_qs);
    EXPECT_TRUE(combo->DroppedDown());
    h.Type(combo, u"e"_qs);
    EXPECT_FALSE(combo->DroppedDown());
    EXPECT_EQ(form->log, (std::vector<std::string>{"dropdown", "change:one", "closeup"}));
}

TEST(StdComboBox, CharCaseReachesTheEditAndTheTextThere) {
    FormHarness h;
    auto* form = h.Show<TListForm>();
    TComboBox* combo = form->combo;
    combo->SetText(u"Mixed"_qs);
    combo->SetCharCase(ecUpperCase);
    EXPECT_EQ(combo->Text(), u"MIXED"_qs);
    combo->SetText(String());
    h.Type(combo, u"ab"_qs);
    EXPECT_EQ(combo->Text(), u"AB"_qs);
    combo->SetCharCase(ecLowerCase);
    EXPECT_EQ(combo->Text(), u"ab"_qs);
}

TEST(StdComboBox, FocusInTheInnerEditCountsAndComesBackWithANewWindow) {
    FormHarness h;
    auto* form = h.Show<TListForm>();
    TComboBox* combo = form->combo;
    combo->SetFocus();
    h.Pump();
    ASSERT_EQ(GetFocus(), combo->EditHandle());
    EXPECT_TRUE(combo->Focused());
    combo->SetSorted(true); // a new window
    h.Pump();
    ASSERT_NE(combo->EditHandle(), nullptr);
    EXPECT_EQ(GetFocus(), combo->EditHandle());
    EXPECT_EQ(form->ActiveControl(), combo);
}
