// The skinned editors as a person sees them, one picture per skin: the filter spin edit (normal, hot
// over its up half, focused, disabled), the profile combo (closed, hot, an owner-drawn item) and an
// edit with a bare edit button, side by side, compared with the expected pictures. Pixel probes taken
// from each skin's own entries keep a wrong picture from becoming the expected one. Run with
// TW_UPDATE_EXPECTED=1 to write the pictures again.
#include "skins/SkDefaultSkins.h"
#include "skins/SkEditors.h"

#include "tests/skins/SkinPicture.h"
#include "tests/support/windows/FormHarness.h"
#include "vcl/Forms.h"
#include "vcl/StdCtrls.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

using namespace skins;
using testing_support::FormHarness;

namespace {

QString SourceDir() { return qEnvironmentVariable("TW_SOURCE_DIR"); }

class TEditorsShotForm : public vcl::TForm {
public:
    explicit TEditorsShotForm(rtl::TComponent* AOwner) : vcl::TForm(AOwner) {
        BeginLoading();
        SetBorderStyle(vcl::bsNone);
        SetPosition(vcl::poDesigned);
        SetBounds(0, 0, 420, 120);
        SetColor(vcl::clBtnFace);
        Spin = new TSkSpinEdit(this);
        Spin->SetParent(this);
        Spin->SetAutoSize(false);
        Spin->SetBounds(8, 8, 90, 24);
        Spin->SetAlignment(vcl::taCenter);
        Spin->SpinButton()->SetWidth(15);
        Spin->SpinOptions()->SetIncrement(10);
        Spin->SpinOptions()->SetMaxValue(32000);
        Spin->SpinOptions()->SetMinValue(1000);
        Spin->SetValue(16000);
        Combo = new TSkComboBox(this);
        Combo->SetParent(this);
        Combo->SetBounds(110, 8, 150, 24);
        Combo->SetStyle(vcl::csOwnerDrawVariable);
        Combo->SetAutoItemHeight(false);
        Combo->SetItemHeight(20);
        Combo->SetHotTrack(false);
        Combo->Items()->Add(QStringLiteral("MP3 192 kbit/s"));
        Combo->Items()->Add(QStringLiteral("WAV"));
        Combo->OnDrawItem = TSkDrawListItemEvent([](rtl::TObject*, vcl::TCanvas* c, vcl::TRect& r, int i,
                                                    vcl::TOwnerDrawState, TSkPaintStage stage, bool& paintDefault) {
            if (stage != pstPrePaint || i != 0) return;
            // The profile in its own colours, as the main window draws its profiles.
            c->Brush()->SetStyle(vcl::bsSolid);
            c->Brush()->SetColor(0x00E0F0FF);
            c->FillRect(vcl::TRect(r.Left + 2, r.Top + 2, r.Left + 14, r.Bottom - 2));
            c->Font()->SetColor(0x00204080);
            c->Brush()->SetStyle(vcl::bsClear);
            c->TextOut(r.Left + 18, r.Top + 2, QStringLiteral("MP3 192"));
            paintDefault = false;
        });
        Edit = new TSkEdit(this);
        Edit->SetParent(this);
        Edit->SetAutoSize(false);
        Edit->SetBounds(272, 8, 100, 24);
        Edit->SetText(QStringLiteral("Folder"));
        Plain = new vcl::TEdit(this);
        Plain->SetParent(this);
        Plain->SetBounds(8, 80, 60, 22);
        EndLoading();
        Edit->AddEditButton(true, 16);
    }
    TSkSpinEdit* Spin;
    TSkComboBox* Combo;
    TSkEdit* Edit;
    vcl::TEdit* Plain;
};

constexpr int CellWidth = 160, CellHeight = 30;

struct Shot {
    FormHarness h;
    TEditorsShotForm* form;
    QImage sheet{CellWidth * 8, CellHeight, QImage::Format_RGB32};
    Shot() : form(h.Show<TEditorsShotForm>()) { sheet.fill(Qt::white); }

    void Away() {
        h.MoveTo(form, POINT{400, 110});
        form->Plain->SetFocus();
        h.Pump();
    }
    // The control with one pixel around it into cell n.
    void Cell(int n, vcl::TControl* c) {
        h.Pump();
        const QImage all = h.App().Grab(form->Handle()).convertToFormat(QImage::Format_RGB32);
        const QRect r(c->Left() - 1, c->Top() - 1, c->Width() + 2, c->Height() + 2);
        QPainter p(&sheet);
        p.drawImage(QPoint(n * CellWidth, 0), all.copy(r));
    }
    QRgb At(int n, int x, int y) const { return sheet.pixel(n * CellWidth + 1 + x, 1 + y); }

    void Take() {
        Away();
        Cell(0, form->Spin);
        h.MoveTo(form->Spin->SpinButton(), POINT{4, 3});
        Cell(1, form->Spin);
        Away();
        form->Spin->SetFocus();
        Cell(2, form->Spin);
        Away();
        form->Spin->SetEnabled(false);
        Cell(3, form->Spin);
        form->Spin->SetEnabled(true);
        Away();
        Cell(4, form->Combo);
        h.MoveTo(form->Combo, POINT{form->Combo->Width() - 6, 8});
        Cell(5, form->Combo);
        Away();
        form->Combo->SetItemIndex(0);
        Cell(6, form->Combo);
        form->Combo->SetItemIndex(-1);
        Cell(7, form->Edit);
    }
};

QRgb Rgb(vcl::TColor c) { return skins_test::SheetRgb(c); }

void Compare(Shot& s, const QString& name) { skins_test::CompareSheet(s.sheet, QStringLiteral("editors"), name); }

// Under a skin the frames' outer left line is the frame entry's first border colour; hot over the
// spin button, the hot entry's; the profile combo (no hot tracking) stays normal under the pointer.
void ProbeSkin(Shot& s) {
    TSkSkinOptions* skin = GetCurrentSkin();
    auto c1 = [&](TSkSkinStatesType state) { return skin->Options(skncEditFrame, state)->Borders()->Color1(); };
    const int mid = 12;
    if (c1(sknsNormal) != vcl::clNone) {
        EXPECT_EQ(s.At(0, 0, mid), Rgb(c1(sknsNormal))) << "spin edit, normal frame";
        EXPECT_EQ(s.At(4, 0, mid), Rgb(c1(sknsNormal))) << "combo, normal frame";
        EXPECT_EQ(s.At(5, 0, mid), Rgb(c1(sknsNormal))) << "combo under the pointer, normal frame";
    }
    if (c1(sknsHotTrack) != vcl::clNone) {
        EXPECT_EQ(s.At(1, 0, mid), Rgb(c1(sknsHotTrack))) << "spin edit, hot frame";
        EXPECT_EQ(s.At(2, 0, mid), Rgb(c1(sknsHotTrack))) << "spin edit, focused frame";
    }
    if (c1(sknsDisabled) != vcl::clNone) {
        EXPECT_EQ(s.At(3, 0, mid), Rgb(c1(sknsDisabled))) << "disabled frame";
    }
}

struct SkinScreenshot : ::testing::Test {
    void TearDown() override {
        GetSkinManager()->SetToDefaultSkin();
        TwSetThemeActive(FALSE);
        SeedBrushedMetal(0);
    }
};

} // namespace

TEST_F(SkinScreenshot, DefaultLookWithThemesOffAndOn) {
    for (bool themed : {false, true}) {
        SCOPED_TRACE(themed ? "themes on" : "themes off");
        GetSkinManager()->SetToDefaultSkin();
        TwSetThemeActive(themed);
        ASSERT_EQ(GetSkinManager()->GetSkinType(), themed ? sknWindows : sknNone);
        Shot s;
        s.Take();
        if (!themed) {
            EXPECT_EQ(s.At(0, 0, 12), Rgb(vcl::clBtnShadow)) << "the system's own sunken border";
        }
        Compare(s, themed ? QStringLiteral("default-themed") : QStringLiteral("default"));
    }
}

TEST_F(SkinScreenshot, BuiltInSkins) {
    SeedBrushedMetal(20261211);
    const auto* list = GetSkinManager()->SkinsList();
    std::vector<QString> names;
    for (int i = 0; i < list->Count(); ++i)
        if (list->GetSkinOption(i)->SkinClass) names.push_back(list->Strings(i));
    ASSERT_EQ(names.size(), 12u);
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        GetSkinManager()->SetSkin(name);
        ASSERT_EQ(GetSkinManager()->GetSkinType(), sknSkin);
        Shot s;
        s.Take();
        ProbeSkin(s);
        Compare(s, QStringLiteral("builtin-") + name.toLower().replace(u' ', u'-'));
    }
}

TEST_F(SkinScreenshot, ProgramSkinTexts) {
    const QDir texts(SourceDir() + QStringLiteral("/skins/texts"));
    const QStringList files = texts.entryList({QStringLiteral("*.skin")}, QDir::Files, QDir::Name);
    ASSERT_EQ(files.size(), 10) << texts.path().toStdString();
    for (const QString& file : files) {
        SCOPED_TRACE(file.toStdString());
        rtl::TStringList lines;
        lines.LoadFromFile(texts.filePath(file));
        GetSkinManager()->SkinsList()->AddSkin(&lines);
        QString name;
        for (int i = 0; i < lines.Count() && name.isEmpty(); ++i) {
            const QString line = lines.Strings(i);
            if (line.section(u'=', 0, 0).trimmed().compare(QStringLiteral("Name"), Qt::CaseInsensitive) == 0)
                name = line.section(u'=', 1).trimmed();
        }
        GetSkinManager()->SetSkin(name);
        ASSERT_EQ(GetSkinManager()->CurrentSkinName().compare(name, Qt::CaseInsensitive), 0);
        Shot s;
        s.Take();
        ProbeSkin(s);
        Compare(s, QStringLiteral("text-") + QFileInfo(file).baseName());
    }
}
