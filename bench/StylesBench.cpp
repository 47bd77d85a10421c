// bench/StylesBench.cpp: the style engine's costs in one run. Switching the style of a window with 200
// controls (notifications, colours and the repaint it causes) against a full repaint of the same
// window; drawing a push-button face through a loaded style against the classic DrawFrameControl of
// the same size. Prints the numbers; exits non-zero when a bound is missed.
// bench-libs: vcl win Qt6::Gui
#include "BenchSupport.h"
#include "vcl/StyleFile.h"
#include "vcl/Themes.h"
#include "win/windows.h"

#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {

using namespace vcl;

// A dark and a light style written for the run, each with its own system colours and button faces.
TCustomStyleServices* MakeStyle(const QTemporaryDir& Dir, const QString& Name, TColor Face, TColor Text) {
    TStyleFileData d;
    d.Name = Name;
    d.Dark = Face < Text;
    d.SystemColors = {{COLOR_BTNFACE, Face}, {COLOR_WINDOW, Face}, {COLOR_BTNTEXT, Text}, {COLOR_WINDOWTEXT, Text}};
    for (int state = 1; state <= 6; ++state)
        d.Elements.push_back({teButton, 1, state, {TColor(Face + 0x080808 * state), Text, Text, Text, {}}});
    const QString file = Dir.filePath(Name + QStringLiteral(".vsf"));
    WriteStyleFile(file, d);
    return TStyleManager::LoadFromFile(file);
}

void Repaint(HWND Top) {
    RedrawWindow(Top, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

} // namespace

int main(int argc, char** argv) {
    TwStartGui(&argc, argv, TRUE); // offscreen unless QT_QPA_PLATFORM names a platform
    QTemporaryDir dir;
    TCustomStyleServices* dark = MakeStyle(dir, QStringLiteral("Bench Dark"), TColor(0x202020), TColor(0xE0E0E0));
    TCustomStyleServices* light = MakeStyle(dir, QStringLiteral("Bench Light"), TColor(0xF0F0F0), TColor(0x101010));

    HWND top = CreateWindowExW(0, u"#32770", u"bench", WS_POPUP | WS_VISIBLE, 0, 0, 1000, 800, nullptr, nullptr,
                               nullptr, nullptr);
    for (int i = 0; i < 200; ++i) {
        const DWORD kind = i % 3 == 0 ? BS_PUSHBUTTON : i % 3 == 1 ? BS_AUTOCHECKBOX : BS_AUTORADIOBUTTON;
        CreateWindowExW(0, u"Button", u"Control", WS_CHILD | WS_VISIBLE | kind, (i % 10) * 100, (i / 10) * 40, 96, 36,
                        top, nullptr, nullptr, nullptr);
    }
    Repaint(top);

    // Best of several rounds, the two timed back to back.
    double repaint = 1e9, switching = 1e9;
    for (int round = 0; round < 5; ++round) {
        QElapsedTimer t;
        t.start();
        Repaint(top);
        repaint = std::min(repaint, t.nsecsElapsed() / 1e9);
        t.restart();
        TStyleManager::SetStyle(round % 2 ? light : dark);
        UpdateWindow(top);
        RedrawWindow(top, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        switching = std::min(switching, t.nsecsElapsed() / 1e9);
    }
    TStyleManager::SetStyle(TStyleManager::SystemStyle());
    DestroyWindow(top);
    std::printf("%-60s %8.4f s\n", "full repaint of 200 controls", repaint);
    bool ok = bench_support::Check("style switch of 200 controls / full repaint", switching / repaint, "<=", 2.0);

    // A button face, 20,000 times each, into the same memory bitmap.
    TBitmap target(120, 40);
    HDC dc = target.Canvas()->Handle();
    const TRect face = Rect(0, 0, 96, 36);
    const TThemedElementDetails details = dark->GetElementDetails(tbPushButtonHot);
    double styled = 1e9, classic = 1e9;
    for (int round = 0; round < 3; ++round) {
        QElapsedTimer t;
        t.start();
        for (int i = 0; i < 20'000; ++i) {
            RECT r = face;
            DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_HOT);
        }
        classic = std::min(classic, t.nsecsElapsed() / 1e9);
        t.restart();
        for (int i = 0; i < 20'000; ++i) dark->DrawElement(dc, details, face);
        styled = std::min(styled, t.nsecsElapsed() / 1e9);
    }
    std::printf("%-60s %8.4f s\n", "DrawFrameControl of a button face, 20,000 times", classic);
    ok &= bench_support::Check("DrawElement of a button face / DrawFrameControl", styled / classic, "<=", 2.0);
    return ok ? 0 : 1;
}
