// tests/toolbars/ToolbarFixture.h: a shown main form with a menu bar in its top dock, as the menu bar
// tests and the accessibility tests use it.
#pragma once
#include "tests/toolbars/MenuFixture.h"
#include "toolbars/BarToolbar.h"

namespace bars_test {

// The main form with a top dock holding the menu bar: File (Convert, Exit), Edit (Undo), Tools and
// Themes (both marked T). A submenu's own OnClick runs when it opens, so only commands record clicks.
struct MenuBarFixture : MenuFixture {
    TBarDock* dock;
    TBarCustomToolbar* bar;
    TPlainItem *file, *convert, *exitItem, *edit, *undo, *tools, *themes;
    MenuBarFixture() {
        dock = new TBarDock(form);
        dock->SetParent(form);
        bar = new TBarCustomToolbar(form);
        bar->SetName(QStringLiteral("MenuBar"));
        bar->SetMenuBar(true);
        file = Submenu(u"&File");
        convert = Add(u"&Convert", file);
        exitItem = Add(u"E&xit", file);
        edit = Submenu(u"&Edit");
        undo = Add(u"&Undo", edit);
        tools = Submenu(u"&Tools");
        Add(u"&Options", tools);
        themes = Submenu(u"&Themes");
        Add(u"&Dark", themes);
        bar->SetParent(dock);
        h.Pump();
    }
    TPlainItem* Submenu(const char16_t* caption) {
        TPlainItem* item = Add(caption, bar->Items());
        item->AddStyle(tbisSubmenu);
        item->OnClick = nullptr;
        return item;
    }
    bool Underlined() { return bar->View()->State.Contains(vsShowAccels); }
    TBarCustomItem* SelectedItem() {
        TBarItemViewer* v = bar->View()->Selected();
        return v ? v->Item() : nullptr;
    }
    LRESULT KeyMenu(char16_t key) { return bar->Perform(WM_SYSCOMMAND, SC_KEYMENU, LPARAM(key)); }
};

} // namespace bars_test
