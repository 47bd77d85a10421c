// The file list's grid as the main window designs it, filled with fixed rows: its column table, the
// selection colours by focus read back from the pixels, and the pictures of it on a real X server
// (focused; unfocused with every column shown and scrolled right). The pictures are taken when the
// suite runs under xvfb-run (ctest shell_xvfb_screenshot); TW_UPDATE_EXPECTED=1 writes them again.
#include "app/shell/FileListColumns.h"

#include <gtest/gtest.h>

#include "grid/ColumnClasses.h"
#include "tests/shell/ScreenPicture.h"

namespace {

using namespace grid;
using shell::FileListColumnIndex;
using shell::FileListColumnTable;
using shell_test::ComparePicture;
using shell_test::OnXServer;
using testing_support::FormHarness;

class TFileListForm : public vcl::TForm {
public:
    explicit TFileListForm(rtl::TComponent* AOwner) : vcl::TForm(AOwner) {
        BeginLoading();
        SetBorderStyle(vcl::bsNone); // the picture is the form alone
        SetPosition(vcl::poDesigned);
        SetBounds(20, 20, 900, 520);
        Grid = new TReportGrid(this);
        Grid->SetParent(this);
        Grid->SetBounds(0, 0, 900, 480);
        shell::SetUpFileListGrid(Grid, this);
        Other = new vcl::TButton(this);
        Other->SetBounds(10, 488, 75, 25);
        Other->SetParent(this);
        EndLoading();
    }
    TReportGrid* Grid;
    vcl::TButton* Other;
};

int Col(const char* Name) { return FileListColumnIndex(Name); }

// 40 rows of fixed files: every third unchecked, row 6 a chapter of row 5.
void Fill(TReportGrid* G) {
    G->BeginUpdate();
    G->AddRow(40);
    for (int r = 0; r < 40; ++r) {
        const bool Chapter = r == 6;
        G->GetCell(Col("colNo"), r)->SetAsInteger(r + 1);
        G->GetCell(Col("colActive"), r)->SetAsBoolean(r % 3 != 2);
        G->GetCell(Col("colFileName"), r)
            ->SetAsString(Chapter ? QStringLiteral("    Chapter 1") : QStringLiteral("Track %1.mp3").arg(40 - r, 2, 10, QLatin1Char('0')));
        G->GetCell(Col("colDirectory"), r)->SetAsString(QStringLiteral("/music/Album %1").arg(r / 10 + 1));
        G->GetCell(Col("colSize"), r)->SetAsInteger(Chapter ? 0 : 3000000 + 7919 * r);
        G->GetCell(Col("colDuration"), r)->SetAsInteger(180 + 7 * r);
        G->GetCell(Col("colAudioCodec"), r)->SetAsString(r % 2 ? QStringLiteral("MPEG Audio") : QStringLiteral("AAC"));
        G->GetCell(Col("colAudioBitrate"), r)->SetAsInteger(r % 2 ? 320 : 192);
        G->GetCell(Col("colAudioChannels"), r)->SetAsInteger(2);
        G->GetCell(Col("colStatus"), r)->SetAsString(r < 4 ? QStringLiteral("Done") : QString());
        G->GetCell(Col("colFileType"), r)->SetAsInteger(Chapter ? 1 : 0);
    }
    G->EndUpdate();
    const auto Footer = [&](const char* Name, const char* Text) {
        G->Columns()->Item(Col(Name))->Footer()->SetCaption(QString::fromLatin1(Text));
    };
    Footer("colNo", "40");
    Footer("colActive", "27");
    Footer("colSize", "120.5 MB");
    Footer("colDuration", "03:36:00");
    Footer("colAudioBitrate", "AVG  256.00");
}

struct TFileList {
    FormHarness Harness;
    TFileListForm* Form = Harness.Show<TFileListForm>();
    TReportGrid* Grid = Form->Grid;

    TFileList() {
        Fill(Grid);
        Grid->Columns()->Item(Col("colFileName"))->SetSorted(true);
        Grid->SetSelectedRow(3);
        Grid->SetSelectedFlag(4, true);
        Grid->SetSelectedFlag(5, true);
        Grid->SetFocus();
        Harness.Pump();
    }
    // The centre of a body cell of a shown column.
    vcl::TColor CellPixel(const char* Name, int Row) {
        TRgCustomColumn* C = Grid->Columns()->Item(Col(Name));
        const vcl::TRect R = Grid->GetCellRect(C->Index(), Row);
        auto Bmp = std::make_unique<vcl::TBitmap>();
        Bmp->SetPixelFormat(vcl::pf24bit);
        Bmp->SetSize(Grid->Width(), Grid->Height());
        Grid->PaintTo(Bmp->Canvas()->Handle(), 0, 0);
        return Bmp->Canvas()->Pixels(R.Right - 3, (R.Top + R.Bottom) / 2);
    }
};

} // namespace

TEST(FileListGrid, ThirtyTwoColumnsAsDesigned) {
    FormHarness Harness;
    auto* Form = Harness.Show<TFileListForm>();
    TReportGrid* G = Form->Grid;
    ASSERT_EQ(G->Columns()->Count(), 32);
    int Shown = 0;
    for (int i = 0; i < 32; ++i) {
        TRgCustomColumn* C = G->Columns()->Item(i);
        EXPECT_EQ(C->Name(), QString::fromLatin1(FileListColumnTable[size_t(i)].Name));
        EXPECT_EQ(C->Position(), i);
        Shown += C->Visible();
    }
    EXPECT_EQ(Shown, 11);
    TRgCustomColumn* File = G->Columns()->Item(Col("colFileName"));
    EXPECT_EQ(File->Header()->Caption(), QStringLiteral("File"));
    EXPECT_EQ(File->Width(), 220);
    EXPECT_TRUE(File->Font()->Style().Contains(vcl::fsBold));
    EXPECT_NE(dynamic_cast<TRgCheckBoxColumn*>(G->Columns()->Item(Col("colActive"))), nullptr);
    EXPECT_NE(dynamic_cast<TRgImageColumn*>(G->Columns()->Item(Col("colIcon"))), nullptr);
    EXPECT_EQ(G->Columns()->Item(Col("colSize"))->Alignment(), vcl::taCenter);
    EXPECT_EQ(G->Columns()->Item(Col("colStatusInt"))->Tag(), 100);
    EXPECT_EQ(G->HeaderSize(), 22);
    EXPECT_EQ(G->RowSize(), 22);
    EXPECT_TRUE(G->Options().Contains(goIndicator) && G->Options().Contains(goFooter));
}

TEST(FileListGrid, SelectedRowsInTheFocusedColourAndOrangeWithoutTheFocus) {
    TFileList t;
    EXPECT_EQ(t.CellPixel("colDirectory", 4), vcl::TColor(0xBFCCD0));
    EXPECT_EQ(t.CellPixel("colDirectory", 8), vcl::ColorToRGB(vcl::clWindow));
    t.Form->Other->SetFocus();
    t.Harness.Pump();
    EXPECT_EQ(t.CellPixel("colDirectory", 4), vcl::TColor(0x0080FF));
}

TEST(FileListGrid, PicturesOnARealXServer) {
    if (!OnXServer()) GTEST_SKIP() << "needs a real X server; ctest runs it as shell_xvfb_screenshot under xvfb-run";
    TFileList t;
    ComparePicture(t.Harness, t.Form, "filelist-focused");
    t.Form->Other->SetFocus();
    for (int i = 0; i < 32; ++i)
        if (t.Grid->Columns()->Item(i)->Tag() != 100) t.Grid->Columns()->Item(i)->SetVisible(true);
    t.Grid->Perform(UINT(WM_HSCROLL), WPARAM(SB_PAGEDOWN), LPARAM(0));
    t.Harness.Pump();
    ComparePicture(t.Harness, t.Form, "filelist-unfocused-scrolled");
}
