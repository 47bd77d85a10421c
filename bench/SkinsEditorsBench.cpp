// bench/SkinsEditorsBench.cpp: the skinned editors under load. 10,000 Up keys on a focused spin edit
// cost at most twice as many on the platform's edit with an up-down buddy (arrow keys, buddy integer).
// The list width of a skinned combo box of 10,000 items takes at most 12 times that of 1,000; its list
// opens to the first paint within a 60 Hz frame and at most 1.5 times an owner-drawn class-library
// combo box drawing its text, with at most the visible rows + 2 item draws per opening. Selecting a
// text skin with 500 skinned edits and 500 skinned combo boxes takes at most a frame, and no control
// paints its frame more than twice for it. Prints the numbers; exits non-zero when a bound is missed.
// bench-libs: skins toolbars vcl win rtl Qt6::Gui
#include "bench/BenchSupport.h"
#include "skins/SkEditors.h"
#include "skins/SkSkins.h"
#include "vcl/Forms.h"
#include "vcl/StdCtrls.h"
#include "win/windows.h"

#include <QElapsedTimer>
#include <QFileInfo>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

using namespace skins;
using bench_support::Check;

double Since(const QElapsedTimer& t) { return double(t.nsecsElapsed()) / 1e9; }

void PumpAll() {
    MSG msg{};
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

vcl::TForm* NewForm() {
    auto* form = new vcl::TForm(vcl::Application);
    form->SetBounds(0, 0, 800, 600);
    return form;
}

// ---- keys ----

double SpinKeys(int keys) {
    auto* form = NewForm();
    auto* spin = new TSkSpinEdit(form);
    spin->SetParent(form);
    spin->SetBounds(10, 10, 100, 24);
    form->Show();
    spin->SetFocus();
    PumpAll();
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < keys; ++i) SendMessageW(spin->Handle(), WM_KEYDOWN, VK_UP, 1);
    const double s = Since(t);
    if (spin->Value() != keys) std::printf("  (the spin edit reached %g, not %d)\n", spin->Value(), keys);
    delete form;
    return s;
}

double UpDownKeys(int keys) {
    HWND top = CreateWindowExW(0, u"#32770", u"bench", WS_POPUP, 0, 0, 400, 300, nullptr, nullptr, nullptr, nullptr);
    HWND edit = CreateWindowExW(WS_EX_CLIENTEDGE, u"Edit", u"0", WS_CHILD | WS_VISIBLE | ES_RIGHT, 10, 10, 100, 24, top,
                                nullptr, nullptr, nullptr);
    HWND updown = CreateWindowExW(0, UPDOWN_CLASSW, u"",
                                  WS_CHILD | WS_VISIBLE | UDS_ARROWKEYS | UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_NOTHOUSANDS,
                                  0, 0, 14, 24, top, nullptr, nullptr, nullptr);
    SendMessageW(updown, UDM_SETBUDDY, WPARAM(edit), 0);
    SendMessageW(updown, UDM_SETRANGE32, 0, 1'000'000);
    SetFocus(edit);
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < keys; ++i) SendMessageW(edit, WM_KEYDOWN, VK_UP, 1);
    const double s = Since(t);
    const int pos = int(SendMessageW(updown, UDM_GETPOS32, 0, 0));
    if (pos != keys) std::printf("  (the up-down reached %d, not %d)\n", pos, keys);
    DestroyWindow(top);
    return s;
}

// ---- combo box ----

template <class Combo> Combo* FilledCombo(vcl::TForm* form, int items) {
    auto* combo = new Combo(form);
    combo->SetParent(form);
    combo->SetBounds(10, 10, 150, 24);
    combo->SetStyle(vcl::csOwnerDrawFixed);
    rtl::TStringList lines;
    for (int i = 0; i < items; ++i) lines.Add(QStringLiteral("profile %1 with a longer name").arg(i));
    combo->Items()->Assign(&lines);
    return combo;
}

double DropDownWidth(int items) {
    auto* form = NewForm();
    auto* combo = FilledCombo<TSkComboBox>(form, items);
    form->Show();
    PumpAll();
    QElapsedTimer t;
    t.start();
    SetComboDropDownWidth(combo, 8);
    const double s = Since(t);
    delete form;
    return s;
}

struct Opening {
    double seconds = 1e9;
    int draws = 0;
};

// Opens the list and pumps until it has painted; the drawn items are counted.
template <class Combo> Opening OpenList(int items, bool skinned) {
    auto* form = NewForm();
    auto* combo = FilledCombo<Combo>(form, items);
    int draws = 0;
    if constexpr (std::is_same_v<Combo, TSkComboBox>) {
        combo->OnDrawItem = TSkDrawListItemEvent([&](rtl::TObject*, vcl::TCanvas*, vcl::TRect&, int i, vcl::TOwnerDrawState,
                                                     TSkPaintStage stage, bool&) { draws += i >= 0 && stage == pstPrePaint; });
    } else {
        combo->OnDrawItem = vcl::TDrawItemEvent([&](vcl::TWinControl* c, int i, vcl::TRect r, vcl::TOwnerDrawState) {
            auto* cb = static_cast<vcl::TComboBox*>(c);
            cb->Canvas()->FillRect(r);
            cb->Canvas()->TextOut(r.Left + 2, r.Top + 1, cb->Items()->Strings(i));
            draws += i >= 0;
        });
    }
    (void)skinned;
    form->Show();
    PumpAll();
    draws = 0;
    QElapsedTimer t;
    t.start();
    combo->SetDroppedDown(true);
    PumpAll();
    Opening o{Since(t), draws};
    combo->SetDroppedDown(false);
    PumpAll();
    delete form;
    return o;
}

// ---- skin change ----

class TCountingEdit : public TSkEdit {
public:
    using TSkEdit::TSkEdit;
    int Paints = 0;

protected:
    void Dispatch(vcl::TMessage& Message) override {
        if (Message.Msg == WM_NCPAINT) ++Paints;
        TSkEdit::Dispatch(Message);
    }
};

class TCountingCombo : public TSkComboBox {
public:
    using TSkComboBox::TSkComboBox;
    int Paints = 0;

protected:
    void Dispatch(vcl::TMessage& Message) override {
        if (Message.Msg == WM_PAINT) ++Paints;   // the combo paints its frame with its client
        TSkComboBox::Dispatch(Message);
    }
};

bool SkinChange() {
    const QString file = QFileInfo(QStringLiteral(__FILE__)).absolutePath() + QStringLiteral("/../skins/texts/carbon.skin");
    rtl::TStringList text;
    text.LoadFromFile(file);
    GetSkinManager()->SkinsList()->AddSkin(&text);
    auto* form = NewForm();
    std::vector<TCountingEdit*> edits;
    std::vector<TCountingCombo*> combos;
    for (int i = 0; i < 500; ++i) {
        auto* e = new TCountingEdit(form);
        e->SetParent(form);
        e->SetBounds((i % 20) * 40, (i / 20) * 12, 38, 12);
        edits.push_back(e);
        auto* c = new TCountingCombo(form);
        c->SetParent(form);
        c->SetBounds((i % 20) * 40, 300 + (i / 20) * 12, 38, 12);
        combos.push_back(c);
    }
    form->Show();
    PumpAll();
    for (auto* e : edits) e->Paints = 0;
    for (auto* c : combos) c->Paints = 0;
    double best = 1e9;
    int worst = 0;
    for (int run = 0; run < 3; ++run) {
        QElapsedTimer t;
        t.start();
        GetSkinManager()->SetSkin(run % 2 ? QStringLiteral("Default") : QStringLiteral("Carbon"));
        best = std::min(best, Since(t));
        PumpAll();
        for (auto* e : edits) worst = std::max(worst, e->Paints), e->Paints = 0;
        for (auto* c : combos) worst = std::max(worst, c->Paints), c->Paints = 0;
    }
    delete form;
    GetSkinManager()->SetToDefaultSkin();
    bool ok = Check("SetSkin of a text skin, 1,000 editors, ms (best of 3)", best * 1000, "<=", 1000.0 / 60);
    ok &= Check("frame paints per control for one skin change (most)", worst, "<=", 2);
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    TwStartGui(&argc, argv, TRUE);   // offscreen unless QT_QPA_PLATFORM names a platform
    bool ok = true;

    double spin = 1e9, updown = 1e9;
    for (int run = 0; run < 3; ++run) {
        spin = std::min(spin, SpinKeys(10'000));
        updown = std::min(updown, UpDownKeys(10'000));
    }
    std::printf("10,000 Up keys: spin edit %.1f ms, edit with up-down %.1f ms\n", spin * 1000, updown * 1000);
    ok &= Check("spin edit keys / up-down keys", spin / updown, "<=", 2);

    double small = 1e9, large = 1e9;
    for (int run = 0; run < 3; ++run) {
        small = std::min(small, DropDownWidth(1'000));
        large = std::min(large, DropDownWidth(10'000));
    }
    ok &= Check("list width of 10,000 items / 1,000", large / small, "<=", 12);

    Opening ours, theirs;
    for (int run = 0; run < 3; ++run) {
        const Opening o = OpenList<TSkComboBox>(10'000, true);
        if (o.seconds < ours.seconds) ours = o;
        const Opening p = OpenList<vcl::TComboBox>(10'000, false);
        if (p.seconds < theirs.seconds) theirs = p;
    }
    std::printf("list open to first paint: skinned %.2f ms (%d item draws), class library %.2f ms (%d)\n",
                ours.seconds * 1000, ours.draws, theirs.seconds * 1000, theirs.draws);
    ok &= Check("skinned list open to first paint, ms", ours.seconds * 1000, "<=", 1000.0 / 60);
    ok &= Check("skinned / class-library list opening", ours.seconds / theirs.seconds, "<=", 1.5);
    // The list shows DropDownCount (8) rows.
    ok &= Check("item draws per opening", ours.draws, "<=", 8 + 2);

    ok &= SkinChange();
    return ok ? 0 : 1;
}
