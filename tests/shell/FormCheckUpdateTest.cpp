// The update check against a loopback web server holding the version file: the answer read as the
// program reads it (1,024 bytes, up to a zero byte), the comparison keys, and the window's status for
// each outcome; the timer starts the check once.
#include "app/shell/FormCheckUpdate.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>

#include "app/shell/AppStrings.h"
#include "tests/support/Peers.h"
#include "tests/support/QtPrint.h"
#include "tests/support/TempDir.h"
#include "tests/support/windows/FormHarness.h"

namespace {

using shell::String;
using testing_support::FormHarness;
using testing_support::TempDir;

TEST(VersionKey, DotsGoThenZerosPadTheRightToSixAndTheLeftToTen) {
    const std::pair<const char*, const char*> cases[] = {
        {"1.5", "0000150000"}, {"1.5.0", "0000150000"}, {"1.10", "0000110000"},
        {"2.0", "0000200000"}, {"1.2.3.4.5.6.7", "0001234567"}, {"12345678901", "12345678901"},
    };
    for (auto [version, key] : cases) EXPECT_EQ(shell::VersionKey(QString::fromLatin1(version)), QString::fromLatin1(key)) << version;
}

// A web server on the loopback interface serving a folder, for the whole suite.
class CheckUpdate : public ::testing::Test {
protected:
    static inline TempDir* Site = nullptr;
    static inline QProcess* Server = nullptr;
    static inline QString Address;

    static void SetUpTestSuite() {
        if (!testing_support::MissingTool("/usr/bin/python3").isEmpty()) return;
        Site = new TempDir;
        QDir().mkpath(Site->QFile(QStringLiteral("products/tunewright")));
        Server = new QProcess;
        Server->start("/usr/bin/python3", {"-u", "-m", "http.server", "0", "--bind", "127.0.0.1", "--directory", Site->QPath()});
        if (!Server->waitForStarted(10000) || !Server->waitForReadyRead(20000)) return;
        // "Serving HTTP on 127.0.0.1 port 40123 (http://127.0.0.1:40123/) ..."
        const QStringList words = QString::fromUtf8(Server->readLine()).split(u' ');
        const qsizetype port = words.indexOf(QStringLiteral("port"));
        if (port >= 0 && port + 1 < words.size()) Address = QStringLiteral("http://127.0.0.1:") + words[port + 1];
    }
    static void TearDownTestSuite() {
        if (Server) {
            Server->kill();
            Server->waitForFinished(5000);
        }
        delete Server;
        delete Site;
        Server = nullptr;
        Site = nullptr;
    }
    void SetUp() override {
        if (Address.isEmpty()) GTEST_SKIP() << "no loopback web server (/usr/bin/python3 missing)";
        saved = shell::WebSite;
        shell::WebSite = Address;
        form = harness.Create<shell::TFormCheckUpdate>();
        form->Strings = &english;
    }
    void TearDown() override { shell::WebSite = saved; }

    void Publish(const QByteArray& Body) { Site->Write(QStringLiteral("products/tunewright/ver.ini"), Body); }
    QString Memo() const { return form->me->Lines()->Text(); }

    FormHarness harness;
    shell::TAppStrings english;
    shell::TFormCheckUpdate* form = nullptr;
    String saved;
};

TEST_F(CheckUpdate, EachAnswerGivesItsStatus) {
    const auto& t = english.CheckUpdate;
    const QByteArray longPadding = "[VersionInfo]\r\n" + QByteArray(1100, ';') + "\r\nLastVersion=1.6\r\n";
    struct Case {
        const char* name;
        QByteArray body;
        String text;    // the memo's first lines
        bool failed, update;
        const char* latest;
    };
    const Case cases[] = {
        {"same", "[VersionInfo]\nLastVersion=1.5\nReleaseDate=2020-01-01\n", t.NoUpdates, false, false, "1.5"},
        {"same, longer", "  [VersionInfo]\r\nLastVersion=1.5.0\r\n", t.NoUpdates, false, false, "1.5.0"},
        {"newer", "[VersionInfo]\nLastVersion=1.6\nReleaseDate=June 2021\n", t.UpdatesAvailable, false, true, "1.6"},
        {"major", "[VersionInfo]\nLastVersion=2.0\n", t.UpdatesAvailable, false, true, "2.0"},
        {"1.10 sorts before 1.5", "[VersionInfo]\nLastVersion=1.10\n", String(), false, false, "1.10"},
        {"no section", "[Other]\nLastVersion=1.6\n", t.CannotCheck, true, false, ""},
        {"empty version", "[VersionInfo]\nLastVersion=\n", t.CannotCheck, true, false, ""},
        {"beyond 1024 bytes", longPadding, t.CannotCheck, true, false, ""},
        {"after a zero byte", QByteArray("[VersionInfo]\n\0LastVersion=1.6\n", 32), t.CannotCheck, true, false, ""},
    };
    for (const Case& c : cases) {
        Publish(c.body);
        form->actCheckNow->Execute();
        EXPECT_TRUE(Memo().startsWith(shell::FormatLangStr(c.text))) << c.name << ": " << Memo().toStdString();
        if (c.text.isEmpty()) {
            EXPECT_EQ(Memo(), String()) << c.name;
        }
        const shell::TStatusColors expected =
            c.failed ? form->StatusFailed : (c.update ? form->StatusUpdateAvailable : form->StatusNoUpdates);
        EXPECT_EQ(form->me->Color(), expected.Background) << c.name;
        EXPECT_EQ(form->me->Font()->Color(), expected.Font) << c.name;
        EXPECT_EQ(form->actGoToDownloadPage->Visible(), c.update) << c.name;
        EXPECT_EQ(form->lblLatestVersion->Caption(), QString::fromLatin1(c.latest)) << c.name;
        EXPECT_TRUE(form->actCheckNow->Enabled()) << c.name;
    }
    Publish("[VersionInfo]\nLastVersion=1.6\nReleaseDate=June 2021\n");
    form->actCheckNow->Execute();
    EXPECT_EQ(Memo(), shell::FormatLangStr(t.UpdatesAvailable) + "\r\n\r\nLatest version: 1.6\r\nRelease date: June 2021\r\n");
}

TEST_F(CheckUpdate, TheEnvironmentNamesAnotherVersionFile) {
    Publish("[VersionInfo]\nLastVersion=1.5\n");
    QDir().mkpath(Site->QFile(QStringLiteral("mirror")));
    Site->Write(QStringLiteral("mirror/v.ini"), "[VersionInfo]\nLastVersion=1.7\n");
    shell::WebSite = QStringLiteral("http://127.0.0.1:9"); // the usual address would fail
    qputenv("TUNEWRIGHT_UPDATE_URL", (Address + QStringLiteral("/mirror/v.ini")).toUtf8());
    form->actCheckNow->Execute();
    qunsetenv("TUNEWRIGHT_UPDATE_URL");
    EXPECT_EQ(form->lblLatestVersion->Caption(), "1.7");
    EXPECT_EQ(shell::VersionFileAddress(), "http://127.0.0.1:9/products/tunewright/ver.ini");
}

TEST_F(CheckUpdate, NoServerMeansConnectionFailedAndTheTimerChecksOnce) {
    shell::WebSite = QStringLiteral("http://127.0.0.1:9"); // nothing listens on the discard port
    form->tmCheckUpdate->SetEnabled(true);
    harness.Advance(std::chrono::milliseconds(999));
    EXPECT_EQ(Memo(), String()) << "not before its second";
    harness.Advance(std::chrono::milliseconds(1));
    EXPECT_EQ(Memo(), shell::FormatLangStr(english.CheckUpdate.ConnectionFailed));
    EXPECT_EQ(form->me->Color(), form->StatusFailed.Background);
    EXPECT_FALSE(form->tmCheckUpdate->Enabled());
    form->ClearStatus();
    EXPECT_EQ(Memo(), String());
    EXPECT_EQ(form->me->Color(), form->StatusNone.Background);
}

TEST_F(CheckUpdate, TheSystemStyleFramesTheMemoFlatAndShowsTheStripsTopBorder) {
    for (const char* style : {"Windows", "Carbon"}) {
        const bool system = style[0] == 'W';
        form->SetStyleColors(QString::fromLatin1(style));
        EXPECT_EQ(form->me->BevelKind(), system ? vcl::bkFlat : vcl::bkNone) << style;
        EXPECT_EQ(form->me->BorderStyle(), system ? vcl::bsNone : vcl::bsSingle) << style;
        EXPECT_EQ(form->pnBottom->Appearance()->Borders()->Top()->Visible(), system) << style;
    }
}

} // namespace
