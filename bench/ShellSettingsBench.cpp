// bench/ShellSettingsBench.cpp: the main window's settings column and languages, offscreen, with the ten
// windows the program makes, all shown.
// - A language switch across the ten windows (German <-> English, with the shipped German.ini), the
//   repaint it causes included: at most 2x one full repaint of the ten windows.
// - GetProfiles over 100 and 1,000 profiles (the profile combo filled): ten times the profiles in at most
//   12x the time; the ratio to `cat` reading the same files is reported.
// - InitControls, the panel rules included, on 10,000 rows with a third selected: under 16 ms.
// Exits non-zero when a bound is missed.
// bench-libs: shell engine components vcl win rtl tw_qt Qt6::Gui
#include "app/engine/Procs.h"
#include "app/engine/Profiles.h"
#include "app/shell/FormMainLang.h"
#include "bench/ShellBenchWindows.h"
#include "qt/QtBackend.h"
#include "win/windows.h"

#include <QTemporaryDir>

namespace {

using namespace shell;

using bench_support::Best;
using bench_support::Time;

// Count profiles in their own folder, saved as the program saves them (made once); the file names.
QStringList MakeProfiles(TFormMain* W, const QString& Folder, int Count) {
    QDir().mkpath(Folder);
    QStringList files;
    for (int i = 0; i < Count; ++i) {
        const QString f = QStringLiteral("%1/profile %2.ini").arg(Folder).arg(i, 4, 10, QLatin1Char('0'));
        W->EncoderPanel.cbOutputFormat.SetItemIndex(i % 3);
        engine::SaveProfile(W->EncoderPanel, f, QStringLiteral("user"),
                            QString::number((i * 7919) % Count - Count / 2));
        files << f;
    }
    return files;
}

} // namespace

int main(int argc, char** argv) {
    if (!TwStartGui(&argc, argv, TRUE) || !twqt::Install()) return 1;
    QTemporaryDir program, files;
    engine::SetProgramDirOverride(program.path());
    // The shipped German.ini beside a plain English one (an English switch only resets to the built-in
    // texts).
    QDir(program.path()).mkpath(QStringLiteral("lang"));
    const QString german = QStringLiteral(TW_SOURCE_DIR "/app/shell/lang/German.ini");
    if (!QFile::copy(german, program.filePath(QStringLiteral("lang/German.ini")))) {
        std::fprintf(stderr, "no %s\n", qUtf8Printable(german));
        return 1;
    }
    QFile english(program.filePath(QStringLiteral("lang/English.ini")));
    english.open(QIODevice::WriteOnly);
    english.write("[INFO]\r\nLangName_InEnglish=English\r\nLangName_Native=English\r\n");
    english.close();
    StartArgs = QStringList();
    vcl::Application->Initialize();
    bool ok = true;

    const std::vector<vcl::TForm*> windows = bench_support::MakeTheTenWindows();
    auto* w = static_cast<TFormMain*>(windows.front());

    // ---- a language switch against one full repaint of the ten windows ----
    bool toGerman = true;
    auto switchOnce = [&] {
        if (!SwitchLanguage(toGerman ? QStringLiteral("Deutsch") : QStringLiteral("English")))
            std::printf("switch refused\n");
        vcl::Application->ProcessMessages();
        toGerman = !toGerman;
    };
    switchOnce(); // warm: every text once in each language
    switchOnce();
    bench_support::TPair lang;
    for (int round = 0; round < 9; ++round) {
        const double full = bench_support::RepaintAll(windows);
        const double sw = Time(switchOnce);
        lang.Add(sw, full);
    }
    std::printf("language switch %.2f ms (repaint included), one full repaint of the ten windows %.2f ms\n",
                lang.Ours * 1e3, lang.Peer * 1e3);
    ok &= bench_support::Check("language switch / full repaint of the ten windows", lang.Ours / lang.Peer,
                               "<=", 2);
    if (!toGerman) switchOnce(); // back to English
    for (vcl::TForm* f : windows)
        if (f != w) f->Hide();

    // ---- GetProfiles: 100 and 1,000 profiles, and cat over the same files ----
    engine::TAppParams& p = engine::AppParams;
    const String profilesDir = p.ProfilesDir;
    const QStringList small = MakeProfiles(w, files.filePath(QStringLiteral("p100")), 100);
    const QStringList large = MakeProfiles(w, files.filePath(QStringLiteral("p1000")), 1000);
    ::sync();
    // Ours and cat's best over the same files, measured alternately.
    auto profiles = [&](const QString& Folder, const QStringList& Files) {
        p.ProfilesDir = Folder;
        bench_support::TPair pair;
        for (int round = 0; round < 7; ++round)
            pair.Add(Time([&] { w->GetProfiles(); }),
                     bench_support::TimeProgram(QStringLiteral("cat"), Files));
        if (w->cbProfileNew->Items()->Count() != Files.size() + 2)
            std::printf("%d profile items, expected %d\n", w->cbProfileNew->Items()->Count(),
                        int(Files.size()) + 2);
        return pair;
    };
    const bench_support::TPair get100 = profiles(files.filePath(QStringLiteral("p100")), small);
    const bench_support::TPair get1000 = profiles(files.filePath(QStringLiteral("p1000")), large);
    p.ProfilesDir = profilesDir;
    std::printf("GetProfiles: 100 profiles %.2f ms (cat %.2f ms), 1,000 profiles %.2f ms (cat %.2f ms)\n",
                get100.Ours * 1e3, get100.Peer * 1e3, get1000.Ours * 1e3, get1000.Peer * 1e3);
    ok &= bench_support::Check("GetProfiles: 1,000 profiles / 100 profiles", get1000.Ours / get100.Ours,
                               "<=", 12);
    std::printf("GetProfiles / cat of the same files: 100 profiles %.2f, 1,000 profiles %.2f (reported)\n",
                get100.Ours / get100.Peer, get1000.Ours / get1000.Peer);

    // ---- InitControls with the panel rules on 10,000 rows ----
    const QString flat = files.filePath(QStringLiteral("flat"));
    QDir().mkpath(flat);
    QStringList names;
    for (int i = 0; i < 10000; ++i) {
        const QString f = QStringLiteral("%1/clip %2.webm").arg(flat).arg(i, 5, 10, QLatin1Char('0'));
        QFile file(f);
        file.open(QIODevice::WriteOnly);
        names << f;
    }
    p.FileAnalysis = engine::faNone;
    w->DropFiles(names);
    for (int r = 0; r < w->ng->RowCount(); r += 3) w->ng->SetSelected(r, true);
    if (w->ng->RowCount() != 10000) std::printf("rows %d, expected 10000\n", w->ng->RowCount());
    const double init = Best(
        9, [] {}, [&] { w->InitControls(); });
    ok &= bench_support::Check("InitControls with the panel rules on 10,000 rows, ms", init * 1e3, "<=", 16);

    w->Close();
    engine::SetProgramDirOverride({});
    twqt::Uninstall();
    TwStopGui();
    return ok ? 0 : 1;
}
