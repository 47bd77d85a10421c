// WinInet over libcurl against a loopback server (plain HTTP and TLS with a certificate made for the
// run): the update check's page, a redirect, a redirect loop, a time-out and a 404.
#include "win/wininet/wininet.h"

#include "tests/support/Peers.h"

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class InternetTest : public ::testing::Test {
protected:
    static inline QTemporaryDir* dir = nullptr;
    static inline QProcess* server = nullptr;
    static inline QString plain, secure;

    static void SetUpTestSuite() {
        if (!testing_support::MissingTool("openssl").isEmpty() || !testing_support::MissingTool("/usr/bin/python3").isEmpty())
            return;
        dir = new QTemporaryDir;
        const auto made = testing_support::RunProgram(
            "openssl", {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj", "/CN=localhost", "-addext",
                        "subjectAltName=IP:127.0.0.1,DNS:localhost", "-keyout", dir->filePath("key.pem"), "-out",
                        dir->filePath("cert.pem")});
        if (!made.Ok()) return;
        server = new QProcess;
        server->start("/usr/bin/python3", {QStringLiteral(TW_WININET_TEST_DIR "/loopback_server.py"), dir->filePath("cert.pem"),
                                           dir->filePath("key.pem")});
        if (!server->waitForStarted(10000) || !server->waitForReadyRead(20000)) return;
        const QStringList words = QString::fromUtf8(server->readLine()).split(u' ');
        if (words.size() == 3) {
            plain = QStringLiteral("http://127.0.0.1:%1").arg(words[1]);
            secure = QStringLiteral("https://127.0.0.1:%1").arg(words[2].trimmed());
        }
    }
    static void TearDownTestSuite() {
        if (server) {
            server->closeWriteChannel();
            if (!server->waitForFinished(5000)) server->kill();
            server->waitForFinished(5000);
        }
        delete server;
        delete dir;
        server = nullptr;
        dir = nullptr;
    }
    void SetUp() override {
        if (plain.isEmpty()) GTEST_SKIP() << "no loopback server (openssl or /usr/bin/python3 missing)";
        session = InternetOpenW(u"Mozilla/4.0 (compatible; MSIE 7.0; Windows NT 5.1)", INTERNET_OPEN_TYPE_PRECONFIG,
                                u"", u"", 0);
        ASSERT_NE(session, nullptr);
    }
    void TearDown() override {
        if (session) InternetCloseHandle(session);
        TwInternetSetCertificateAuthorities(nullptr);
    }

    // One read of at most 1024 bytes, as the update check does it; "<error N>" when the open fails.
    QString Fetch(const QString& url, DWORD* status = nullptr) {
        const std::u16string u = url.toStdU16String();
        HINTERNET h = InternetOpenUrlW(session, u.c_str(), u"Accept: */*", DWORD(-1),
                                       INTERNET_FLAG_RELOAD | INTERNET_FLAG_HYPERLINK, 0);
        if (!h) return QStringLiteral("<error %1>").arg(GetLastError());
        char buffer[1024] = {};
        DWORD read = 0;
        EXPECT_TRUE(InternetReadFile(h, buffer, sizeof buffer, &read));
        if (status) *status = TwInternetStatus(h);
        DWORD more = 1;
        EXPECT_TRUE(InternetReadFile(h, buffer + read, sizeof buffer - read, &more));
        EXPECT_EQ(more, 0u); // the whole page came in the first read
        InternetCloseHandle(h);
        return QString::fromUtf8(buffer, int(read));
    }

    HINTERNET session = nullptr;
};

TEST_F(InternetTest, PageRedirectAndNotFound) {
    DWORD status = 0;
    EXPECT_EQ(Fetch(plain + "/version.txt", &status),
              "1.4.2\nagent=Mozilla/4.0 (compatible; MSIE 7.0; Windows NT 5.1)\naccept=*/*\n");
    EXPECT_EQ(status, 200u);
    EXPECT_TRUE(Fetch(plain + "/redirect", &status).startsWith("1.4.2\n"));
    EXPECT_EQ(status, 200u);
    // An error page is an answer, as on Windows; its status tells it apart.
    EXPECT_EQ(Fetch(plain + "/missing", &status), "not here");
    EXPECT_EQ(status, 404u);
    EXPECT_EQ(Fetch(plain + "/loop"), QStringLiteral("<error %1>").arg(ERROR_HTTP_REDIRECT_NEEDS_CONFIRMATION));
    EXPECT_EQ(Fetch("ftp://127.0.0.1/x"), QStringLiteral("<error %1>").arg(ERROR_INTERNET_UNRECOGNIZED_SCHEME));
}

TEST_F(InternetTest, SlowAnswerIsCutByTheTimeOut) {
    DWORD ms = 400;
    ASSERT_TRUE(InternetSetOptionW(session, INTERNET_OPTION_RECEIVE_TIMEOUT, &ms, sizeof ms));
    EXPECT_EQ(Fetch(plain + "/slow"), QStringLiteral("<error %1>").arg(ERROR_INTERNET_TIMEOUT));
}

TEST_F(InternetTest, TlsIsVerified) {
    // Our own authority is unknown to the system: refused.
    const QString refused = Fetch(secure + "/version.txt");
    EXPECT_TRUE(refused == QStringLiteral("<error %1>").arg(ERROR_INTERNET_SEC_INVALID_CERT) ||
                refused == QStringLiteral("<error %1>").arg(ERROR_INTERNET_SEC_CERT_ERRORS))
        << refused.toStdString();
    TwInternetSetCertificateAuthorities(dir->filePath("cert.pem").toStdU16String().c_str());
    EXPECT_TRUE(Fetch(secure + "/version.txt").startsWith("1.4.2\n"));
}

} // namespace
