// tests/toolbars/BarAccTest.cpp: what an assistive tool reads from a menu bar, its popups and a
// toolbar through their accessibility objects: children by number, names, keyboard shortcuts,
// default actions, states, hosted controls, objects that outlive their bar, and a missing library.
#include "tests/toolbars/ToolbarFixture.h"
#include "toolbars/BarAcc.h"

#include "vcl/StdCtrls.h"

#include <thread>

using namespace bars_test;

namespace {

VARIANT Child(LONG n) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = n;
    return v;
}
const VARIANT Self = Child(CHILDID_SELF);

// A counted reference to an object, released with the test.
struct Ref {
    IAccessible* p = nullptr;
    Ref() = default;
    explicit Ref(IDispatch* d) {
        if (d) {
            d->QueryInterface(IID_IAccessible, reinterpret_cast<void**>(&p));
            d->Release();
        }
    }
    Ref(const Ref&) = delete;
    Ref(Ref&& o) noexcept : p(o.p) { o.p = nullptr; }
    ~Ref() {
        if (p) p->Release();
    }
    IAccessible* operator->() const { return p; }
};

Ref ObjectOf(HWND wnd, LONG id = OBJID_CLIENT) {
    void* object = nullptr;
    AccessibleObjectFromWindow(wnd, DWORD(id), IID_IDispatch, &object);
    return Ref(static_cast<IDispatch*>(object));
}

Ref ChildOf(const Ref& parent, LONG n) {
    IDispatch* d = nullptr;
    parent->get_accChild(Child(n), &d);
    return Ref(d);
}

// The text a BSTR getter gives, "<none>" for nothing, or the failure code.
template <class Getter> std::string Read(Getter&& get) {
    BSTR s = nullptr;
    const HRESULT hr = get(&s);
    if (FAILED(hr)) return "hr " + std::to_string(unsigned(hr));
    if (!s) return "<none>";
    std::string out = QString::fromUtf16(s, int(SysStringLen(s))).toStdString();
    SysFreeString(s);
    return out;
}
std::string Name(const Ref& o) { return Read([&](BSTR* s) { return o->get_accName(Self, s); }); }
std::string Shortcut(const Ref& o) { return Read([&](BSTR* s) { return o->get_accKeyboardShortcut(Self, s); }); }
std::string Action(const Ref& o) { return Read([&](BSTR* s) { return o->get_accDefaultAction(Self, s); }); }
LONG IntOf(HRESULT (IAccessible::*get)(VARIANT, VARIANT*), const Ref& o) {
    VARIANT v;
    VariantInit(&v);
    ((*o.p).*get)(Self, &v);
    return v.vt == VT_I4 ? v.lVal : -1;
}
LONG Role(const Ref& o) { return IntOf(&IAccessible::get_accRole, o); }
LONG State(const Ref& o) { return IntOf(&IAccessible::get_accState, o); }

Ref ItemObject(TBarView* view, TBarCustomItem* item) {
    TBarBaseAccObject* o = view->Find(item)->GetAccObject();
    o->AddRef();
    return Ref(o);
}

std::string AltPlus(const char* key) { return GetAltKeyName().toStdString() + "+" + key; }

TEST(Accessibility, TheViewGivesItselfAsChildZeroAndItsItemsByNumber) {
    MenuBarFixture f;
    Ref bar = ObjectOf(f.bar->Handle());
    ASSERT_NE(bar.p, nullptr);
    EXPECT_EQ(Role(bar), ROLE_SYSTEM_MENUBAR);
    EXPECT_EQ(Shortcut(bar), GetAltKeyName().toStdString());
    LONG count = 0;
    EXPECT_EQ(bar->get_accChildCount(&count), S_OK);
    EXPECT_EQ(count, 4);
    Ref self = ChildOf(bar, 0);
    EXPECT_EQ(self.p, bar.p);
    EXPECT_EQ(Name(ChildOf(bar, 4)), "Themes");
    IDispatch* none = nullptr;
    EXPECT_EQ(bar->get_accChild(Child(5), &none), E_INVALIDARG);
    VARIANT empty;
    VariantInit(&empty);
    EXPECT_EQ(bar->get_accChild(empty, &none), E_INVALIDARG);
    BSTR s = nullptr;
    EXPECT_EQ(bar->get_accName(Child(1), &s), E_INVALIDARG);  // children are objects, not numbers
    // Its parent is the window's standard object.
    IDispatch* parent = nullptr;
    EXPECT_EQ(bar->get_accParent(&parent), S_OK);
    EXPECT_EQ(Role(Ref(parent)), ROLE_SYSTEM_WINDOW);
}

TEST(Accessibility, NamesShortcutsActionsAndStatesInsideTheMenuLoop) {
    MenuBarFixture f;
    TPlainItem* open = f.Add(u"&Open", f.file);
    open->SetShortCut(vcl::ShortCut('O', vcl::TShiftState{vcl::ssCtrl}));
    f.exitItem->SetEnabled(false);
    f.convert->SetChecked(true);
    std::map<std::string, std::string> seen;
    std::map<std::string, LONG> states;
    f.Then([] { Key('F', u"f"); });
    f.Then([&] {
        TBarView* bar = f.bar->View();
        TBarView* popup = bar->OpenViewerView();
        ASSERT_NE(popup, nullptr);
        Ref file = ItemObject(bar, f.file), edit = ItemObject(bar, f.edit);
        Ref convert = ItemObject(popup, f.convert), openObj = ItemObject(popup, open), exitObj = ItemObject(popup, f.exitItem);
        seen["file name"] = Name(file);
        seen["file key"] = Shortcut(file);
        seen["file action"] = Action(file);
        seen["edit action"] = Action(edit);
        seen["open name"] = Name(openObj);
        seen["open key"] = Shortcut(openObj);
        seen["open action"] = Action(openObj);
        seen["exit action"] = Action(exitObj);
        seen["popup name"] = Name(Ref([&] {
            TBarBaseAccObject* o = popup->GetAccObject();
            o->AddRef();
            return static_cast<IDispatch*>(o);
        }()));
        states["file"] = State(file);
        states["edit"] = State(edit);
        states["convert"] = State(convert);
        states["exit"] = State(exitObj);
        LONG children = -1;
        file->get_accChildCount(&children);
        states["file children"] = children;
        Key(VK_ESCAPE);
        Key(VK_ESCAPE);
    });
    Key(VK_MENU);
    f.h.Pump();
    EXPECT_EQ(seen["file name"], "File");
    EXPECT_EQ(seen["file key"], AltPlus("f"));
    EXPECT_EQ(seen["file action"], "Close");  // its popup is open
    EXPECT_EQ(seen["edit action"], "Open");
    EXPECT_EQ(seen["open name"], "Open\tCtrl+O");
    EXPECT_EQ(seen["open key"], "o");
    EXPECT_EQ(seen["open action"], "Execute");
    EXPECT_EQ(seen["exit action"], "<none>");  // disabled
    EXPECT_EQ(seen["popup name"], "File");
    // File stays the bar's selection while its popup is open.
    EXPECT_EQ(states["file"], STATE_SYSTEM_HOTTRACKED | STATE_SYSTEM_FOCUSED | STATE_SYSTEM_HASPOPUP |
                                  STATE_SYSTEM_FOCUSABLE);
    EXPECT_EQ(states["edit"], STATE_SYSTEM_HASPOPUP | STATE_SYSTEM_FOCUSABLE);
    EXPECT_EQ(states["convert"], STATE_SYSTEM_HOTTRACKED | STATE_SYSTEM_FOCUSED | STATE_SYSTEM_FOCUSABLE |
                                     STATE_SYSTEM_CHECKED);
    EXPECT_EQ(states["exit"], STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_UNAVAILABLE);
    EXPECT_EQ(states["file children"], 1);
}

TEST(Accessibility, DefaultActionOnAnOpenMenuBarItemClosesItAndEndsTheLoop) {
    MenuBarFixture f;
    HRESULT hr = E_FAIL;
    f.Then([] { Key('F', u"f"); });
    f.Then([&] { hr = ItemObject(f.bar->View(), f.file)->accDoDefaultAction(Self); });
    Key(VK_MENU);
    f.h.Pump();
    EXPECT_EQ(hr, S_OK);
    EXPECT_EQ(PopupOf(f.file), nullptr);
    EXPECT_FALSE(f.bar->View()->State.Contains(vsModal));
    EXPECT_TRUE(f.clicks.empty());
}

struct ToolbarAccFixture : MenuFixture {
    TBarCustomToolbar* bar;
    TPlainItem *save, *hidden;
    vcl::TEdit* edit;
    ToolbarAccFixture() {
        bar = new TBarCustomToolbar(form);
        save = Add(u"&Save", bar->Items());
        save->SetShortCut(vcl::ShortCut('S', vcl::TShiftState{vcl::ssCtrl}));
        hidden = Add(u"Hidden", bar->Items());
        hidden->SetVisible(false);
        bar->SetParent(form);
        bar->SetBounds(10, 10, 300, 26);
        edit = new vcl::TEdit(form);
        edit->SetText(QStringLiteral("typed"));
        edit->SetParent(bar);
        h.Pump();
    }
};

TEST(Accessibility, AToolbarButtonIsPressedAndAHostedControlAnswersThroughItsWindow) {
    ToolbarAccFixture f;
    Ref bar = ObjectOf(f.bar->Handle());
    EXPECT_EQ(Role(bar), ROLE_SYSTEM_TOOLBAR);
    EXPECT_EQ(Shortcut(bar), "<none>");
    LONG count = 0;
    bar->get_accChildCount(&count);
    EXPECT_EQ(count, 2);  // Save and the control; the invisible item is not a child
    Ref save = ChildOf(bar, 1);
    EXPECT_EQ(Name(save), "Save");  // no shortcut part on a toolbar
    EXPECT_EQ(Role(save), ROLE_SYSTEM_PUSHBUTTON);
    EXPECT_EQ(Action(save), "Press");
    EXPECT_EQ(State(ItemObject(f.bar->View(), f.hidden)), STATE_SYSTEM_INVISIBLE);
    // The control: its window's standard object, by number and by hit testing.
    Ref control = ChildOf(bar, 2);
    EXPECT_EQ(Role(control), ROLE_SYSTEM_WINDOW);
    EXPECT_EQ(Name(control), "typed");
    RECT r;
    GetWindowRect(f.edit->Handle(), &r);
    VARIANT hit;
    EXPECT_EQ(bar->accHitTest((r.left + r.right) / 2, (r.top + r.bottom) / 2, &hit), S_OK);
    ASSERT_EQ(hit.vt, VT_DISPATCH);
    EXPECT_EQ(Name(Ref(hit.pdispVal)), "typed");
    // A point on Save gives Save's object; one outside the bar nothing.
    LONG x, y, w, h;
    ASSERT_EQ(save->accLocation(&x, &y, &w, &h, Self), S_OK);
    EXPECT_EQ(bar->accHitTest(x + w / 2, y + h / 2, &hit), S_OK);
    ASSERT_EQ(hit.vt, VT_DISPATCH);
    EXPECT_EQ(Ref(hit.pdispVal).p, save.p);
    EXPECT_EQ(bar->accHitTest(r.right + 400, r.bottom + 400, &hit), S_FALSE);
    // Its default action runs the button once, through the toolbar's own loop.
    EXPECT_EQ(save->accDoDefaultAction(Self), S_OK);
    f.h.Pump();
    EXPECT_EQ(f.clicks, std::vector<std::string>{"&Save"});
}

TEST(Accessibility, AKeptObjectFailsOnceItsToolbarIsFreedAndMayBeReleasedOnAnotherThread) {
    ToolbarAccFixture f;
    const int views = ViewAccObjectCount(), viewers = ItemViewerAccObjectCount();
    std::vector<Ref> kept;
    {
        Ref bar = ObjectOf(f.bar->Handle());
        kept.push_back(ChildOf(bar, 1));
        kept.push_back(ChildOf(bar, 0));
    }
    EXPECT_EQ(ViewAccObjectCount(), views + 1);
    EXPECT_EQ(ItemViewerAccObjectCount(), viewers + 1);
    delete f.bar;
    EXPECT_EQ(Name(kept[0]), "hr " + std::to_string(unsigned(E_FAIL)));
    EXPECT_EQ(Name(kept[1]), "hr " + std::to_string(unsigned(E_FAIL)));
    LONG count = 0;
    EXPECT_EQ(kept[1]->get_accChildCount(&count), E_FAIL);
    // The last references go on another thread while this one makes and drops objects of its own.
    MenuBarFixture other;
    std::thread releaser([&] { kept.clear(); });
    for (int i = 0; i < 50; ++i) Ref o = ItemObject(other.bar->View(), other.file);
    releaser.join();
    EXPECT_EQ(ViewAccObjectCount(), views);
    EXPECT_EQ(ItemViewerAccObjectCount(), viewers);
}

TEST(Accessibility, WithoutTheLibraryThereAreNoObjectsAndWindowsAnswerAsDefault) {
    MenuBarFixture f;
    const HMODULE oleacc = TwFindModule(u"oleacc.dll");
    ASSERT_NE(oleacc, nullptr);
    TwHideExport(oleacc, "LresultFromObject", TRUE);
    ForgetOleAcc();
    EXPECT_EQ(f.bar->View()->GetAccObject(), nullptr);
    EXPECT_EQ(f.bar->View()->Find(f.file)->GetAccObject(), nullptr);
    EXPECT_EQ(SendMessageW(f.bar->Handle(), WM_GETOBJECT, 0, OBJID_CLIENT), 0);
    // Menus work as before.
    f.Then([&] { Key(VK_ESCAPE); });
    Key(VK_MENU);
    f.h.Pump();
    TwHideExport(oleacc, "LresultFromObject", FALSE);
    ForgetOleAcc();
    EXPECT_NE(f.bar->View()->GetAccObject(), nullptr);
}

} // namespace
