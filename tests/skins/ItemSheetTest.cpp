// The skinned items as a person sees them, one picture per skin: the same items in toolbar style (top
// row) and in menu style (bottom row) in each state, drawn offscreen in plain bar views and compared
// with the expected pictures. Pixel probes from each skin's own entries keep a wrong picture from
// becoming the expected one. Run with TW_UPDATE_EXPECTED=1 to write the pictures again.
#include "tests/skins/SkItemFixture.h"
#include "tests/skins/SkinPicture.h"

#include "skins/SkDefaultSkins.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>

using namespace skins;
using namespace skins_test;
using vcl::TRect;

namespace {

constexpr int CellWidth = 140, RowHeight = 30, Cells = 12;

struct Sheet : ItemFixture {
    QImage sheet{CellWidth * Cells, RowHeight * 2, QImage::Format_RGB32};
    std::vector<TRect> toolbarCells, menuCells;
    TSkSubmenuItem* popupParent = nullptr;

    void TearDown() override {
        ItemFixture::TearDown();
        SeedBrushedMetal(0);
    }

    // Paints one viewer at the top-left of cell (Column, Row) on the bar's background; returns its rectangle.
    TRect PaintCell(TTestView* View, TBarCustomItem* Item, int Column, int Row, bool Popup) {
        auto* v = View->Find(Item);
        // A menu separator measures only its height: it spans the popup, here the cell.
        int w = CellWidth - 4, h = 0;
        vcl::TBitmap cell;
        cell.SetPixelFormat(vcl::pf32bit);
        cell.SetSize(CellWidth, RowHeight);
        const TRect all(0, 0, CellWidth, RowHeight);
        if (Popup)
            DrawPopupBackground(cell.Canvas(), all, TRect(), true, 16);
        else {
            cell.Canvas()->Brush()->SetColor(vcl::clBtnFace);
            cell.Canvas()->FillRect(all);
            DrawToolbarBackground(cell.Canvas(), all, true, false, false, true, false, skncToolbar);
        }
        v->MeasureSize(cell.Canvas(), w, h);
        // A separator on a bar spans the bar's thickness.
        if (!Popup && Item->ItemStyle().Contains(bars::tbisSeparator)) h = 22;
        w = std::min(w, CellWidth - 4);
        h = std::min(h, RowHeight - 4);
        const TRect r(2, 2, 2 + w, 2 + h);
        const int saved = SaveDC(cell.Canvas()->Handle());
        SetWindowOrgEx(cell.Canvas()->Handle(), -2, -2, nullptr);
        cell.Canvas()->Brush()->SetStyle(vcl::bsClear);
        v->Paint(cell.Canvas(), TRect(0, 0, w, h), View->Selected() == v, false, false);
        RestoreDC(cell.Canvas()->Handle(), saved);
        for (int y = 0; y < RowHeight; ++y) {
            // Rows of the 32-bit bitmap hold blue, green, red and a spare byte: the sheet's own layout.
            const auto* from = static_cast<const uint32_t*>(cell.ScanLine(y));
            auto* to = reinterpret_cast<QRgb*>(sheet.scanLine(Row * RowHeight + y)) + Column * CellWidth;
            for (int x = 0; x < CellWidth; ++x) to[x] = 0xFF000000u | (from[x] & 0x00FFFFFFu);
        }
        return TRect(Column * CellWidth + 2, Row * RowHeight + 2, Column * CellWidth + 2 + w, Row * RowHeight + 2 + h);
    }

    // One item per state, each shown alone in its own view so the state belongs to that item.
    void Take() {
        sheet.fill(Qt::white);
        toolbarCells.clear();
        menuCells.clear();
        struct State { const char16_t* caption; bool hot, pushed, open, checked, disabled, split, arrow, image, label, separator, radio, sub, shortcut; };
        const State states[Cells] = {
            {u"Normal", false, false, false, false, false, false, false, false, false, false, false, false, false},
            {u"&Hot", true, false, false, false, false, false, false, false, false, false, false, false, false},
            {u"Pushed", true, true, false, false, false, false, false, false, false, false, false, false, false},
            {u"Checked", false, false, false, true, false, false, false, false, false, false, false, false, false},
            {u"Chk hot", true, false, false, true, false, false, false, false, false, false, true, false, false},
            {u"Disabled", true, false, false, false, true, false, false, false, false, false, false, false, false},
            {u"Split", true, false, true, false, false, true, false, false, false, false, false, false, false},
            {u"Open", true, false, true, false, false, false, true, false, false, false, false, true, false},
            {u"Arrow", false, false, false, false, false, false, true, false, false, false, false, true, true},
            {u"Image", true, false, false, false, false, false, false, true, false, false, false, false, true},
            {u"Label:", false, false, false, false, false, false, false, false, true, false, false, false, false},
            {u"", false, false, false, false, false, false, false, false, false, true, false, false, false},
        };
        for (int row = 0; row < 2; ++row)
            for (int i = 0; i < Cells; ++i) {
                const State& s = states[i];
                auto* parent = new TSkRootItem(owner.get());
                TBarCustomItem* item;
                if (s.separator)
                    item = new TSkSeparatorItem(owner.get());
                else if (s.label)
                    item = new TSkCustomLabelItem(owner.get());
                else if (s.split || s.sub) {
                    auto* sub = new TSkSubmenuItem(owner.get());
                    sub->SetDropdownCombo(s.split);
                    item = sub;
                } else
                    item = new TSkItem(owner.get());
                item->SetCaption(rtl::String::fromUtf16(s.caption));
                item->SetChecked(s.checked);
                item->SetRadioItem(s.radio);
                item->SetEnabled(!s.disabled);
                if (s.arrow && row == 0) item->SetOptions(bars::TBarItemOptions{bars::tboDropdownArrow});
                if (s.image) {
                    item->SetImages(images);
                    item->SetImageIndex(0);
                }
                if (s.shortcut) item->SetShortCut(vcl::ShortCut('O', vcl::TShiftState{vcl::ssCtrl}));
                parent->Add(item);
                views.push_back(std::make_unique<TTestView>(parent, row == 0));
                TTestView* view = views.back().get();
                auto* v = view->Find(item);
                view->Set(s.hot ? v : nullptr, s.open ? v : nullptr, s.pushed, s.pushed);
                (row == 0 ? toolbarCells : menuCells).push_back(PaintCell(view, item, i, row, row == 1));
            }
    }

    QRgb Px(int X, int Y) const { return sheet.pixel(X, Y); }
    static QRgb Rgb(vcl::TColor c) { return SheetRgb(c); }
    void Compare(const QString& name) { CompareSheet(sheet, QStringLiteral("items"), name); }

    // Under a skin: the left edge, half-way down, of the hot, checked-and-hot and disabled toolbar
    // items and of the hot menu item shows the border colour of its state's entry.
    void ProbeSkin() {
        TSkSkinOptions* skin = GetCurrentSkin();
        auto probe = [&](const TRect& r, TSkSkinComponentsType c, TSkSkinStatesType s, const char* what) {
            const vcl::TColor border = skin->Options(c, s)->Borders()->Color1();
            if (border == vcl::clNone) return;
            EXPECT_EQ(Px(r.Left, (r.Top + r.Bottom) / 2), Rgb(border)) << what;
        };
        probe(toolbarCells[1], skncToolbarItem, sknsHotTrack, "toolbar hot");
        probe(toolbarCells[2], skncToolbarItem, sknsPushed, "toolbar pushed");
        probe(toolbarCells[4], skncToolbarItem, sknsCheckedAndHotTrack, "toolbar checked and hot");
        probe(menuCells[1], skncMenuItem, sknsHotTrack, "menu hot");
    }
};

} // namespace

TEST_F(Sheet, DefaultLookWithThemesOffAndOn) {
    for (TSkSkinType type : {sknNone, sknWindows}) {
        Use(type);
        Take();
        if (type == sknNone) {
            // The hot toolbar item's raised edge, the hot menu item's highlight.
            EXPECT_EQ(Px(toolbarCells[1].Left, toolbarCells[1].Top + 5), Rgb(vcl::clBtnHighlight));
            EXPECT_EQ(Px(menuCells[1].Left + 1, menuCells[1].Top + 5), Rgb(vcl::clHighlight));
        }
        Compare(type == sknNone ? QStringLiteral("default") : QStringLiteral("default-themed"));
    }
}

TEST_F(Sheet, BuiltInSkins) {
    SeedBrushedMetal(20261211);
    const auto* list = GetSkinManager()->SkinsList();
    std::vector<QString> names;
    for (int i = 0; i < list->Count(); ++i)
        if (list->GetSkinOption(i)->SkinClass && list->Strings(i) != QString::fromUtf16(TRecordingSkin::Name))
            names.push_back(list->Strings(i));
    ASSERT_EQ(names.size(), 12u);
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        GetSkinManager()->SetSkin(name);
        ASSERT_EQ(GetSkinManager()->GetSkinType(), sknSkin);
        Take();
        ProbeSkin();
        Compare(QStringLiteral("builtin-") + name.toLower().replace(u' ', u'-'));
    }
}

TEST_F(Sheet, ProgramSkinTexts) {
    const QDir texts(qEnvironmentVariable("TW_SOURCE_DIR") + QStringLiteral("/skins/texts"));
    const QStringList files = texts.entryList({QStringLiteral("*.skin")}, QDir::Files, QDir::Name);
    ASSERT_EQ(files.size(), 10) << texts.path().toStdString();
    for (const QString& file : files) {
        SCOPED_TRACE(file.toStdString());
        GetSkinManager()->SetSkin(skins_test::AddSkinText(file));
        Take();
        ProbeSkin();
        Compare(QStringLiteral("text-") + QFileInfo(file).baseName());
    }
}
