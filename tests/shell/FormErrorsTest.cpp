// The error log and tools information windows: Clear keeps the run's numbering, the saved log is UTF-8
// with a byte-order mark, Esc closes, Ctrl+A selects the whole report; the strip's border and the
// buttons follow the style.
#include "app/shell/FormErrors.h"

#include <gtest/gtest.h>

#include "tests/support/QtPrint.h"
#include "tests/support/TempDir.h"
#include "tests/support/windows/FormHarness.h"
#include "win/comdlg32/commdlg.h"

namespace {

using shell::String;
using testing_support::FormHarness;
using testing_support::TempDir;

void AddEntry(engine::TErrorLog& Log, const String& Input) {
    engine::AddErrorLogEntry(Log, QStringLiteral("encoder said no"), Input, QStringLiteral("/out/a.mp3"), ++Log.Count,
                             String());
}

TEST(ErrorLogWindow, ClearKeepsTheNumberingAndTheSavedLogIsUtf8WithAMark) {
    FormHarness h;
    h.Create<vcl::TForm>(); // the main window
    auto* form = h.Create<shell::TFormErrors>();
    engine::TErrorLog log;
    form->Log = &log;
    AddEntry(log, QStringLiteral("/in/first.webm"));
    form->ShowErrorLog(log, false);
    h.Pump();
    EXPECT_TRUE(form->me->Lines()->Text().contains(QStringLiteral("Error # 1")));
    form->actClearLog->Execute();
    EXPECT_EQ(form->me->Lines()->Count(), 0);
    EXPECT_EQ(log.Lines.Count(), 0);
    AddEntry(log, QStringLiteral("/in/Ünïcødé ёжик 日本.webm"));
    form->ShowErrorLog(log, false);
    const String text = form->me->Lines()->Text();
    EXPECT_TRUE(text.contains(QStringLiteral("Error # 2"))) << text.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("Error # 1"))) << text.toStdString();

    TempDir dir;
    const QString target = dir.QFile(QStringLiteral("errors.log"));
    h.Script({FormHarness::Answer(IDOK, [&](const FormHarness::Dialog& d) {
        EXPECT_EQ(d.commonKind, UINT(TW_DIALOG_SAVE_FILE));
        SetDlgItemTextW(d.window, edt1, reinterpret_cast<LPCWSTR>(target.utf16()));
    })});
    EXPECT_EQ(form->dlgSaveLog->FileName(), QStringLiteral("TunewrightApp_Errors.log"));
    form->actSaveLog->Execute();
    const QByteArray saved = testing_support::ReadFileBytes(target);
    EXPECT_TRUE(saved.startsWith("\xEF\xBB\xBF"));
    EXPECT_TRUE(saved.contains(QStringLiteral("Ünïcødé ёжик 日本").toUtf8()));

    h.Keys(VK_ESCAPE);
    EXPECT_FALSE(form->Visible());
}

TEST(ToolsInfoWindow, CtrlASelectsTheWholeReportAndTheStyleSetsTheStrip) {
    FormHarness h;
    auto* form = h.Show<shell::TFormToolsInfo>();
    form->me->Lines()->SetText(QStringLiteral("ffmpeg   : /usr/bin/ffmpeg\r\nffprobe  : /usr/bin/ffprobe"));
    form->me->SetFocus();
    h.Keys('A', {VK_CONTROL});
    EXPECT_EQ(form->me->SelStart(), 0);
    EXPECT_EQ(form->me->SelLength(), form->me->Lines()->Text().size());
    for (const char* style : {"Windows", "Carbon"}) {
        form->SetStyleColors(QString::fromLatin1(style));
        EXPECT_EQ(form->pnBottom->Appearance()->Borders()->Top()->Visible(), style[0] == 'W') << style;
    }
}

} // namespace
