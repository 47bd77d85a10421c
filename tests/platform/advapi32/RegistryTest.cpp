// The key store: the defaults the program reads, the Windows size contract, and the class library's
// registry classes; the special folders against xdg-user-dir.
#include "win/advapi32/winreg.h"
#include "win/kernel32/userdirs.h"
#include "vcl/Registry.h"

#include "tests/support/Peers.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdlib>

#include <gtest/gtest.h>

namespace {

using testing_support::RunProgram;

// Sets environment variables for one test and puts them back after it.
class Environment {
public:
    void Set(const char* name, const QString& value) {
        if (!saved_.contains(name)) saved_.insert(name, qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt);
        qputenv(name, value.toUtf8());
    }
    ~Environment() {
        for (auto it = saved_.begin(); it != saved_.end(); ++it)
            if (it.value()) qputenv(it.key().constData(), *it.value());
            else qunsetenv(it.key().constData());
    }

private:
    QMap<QByteArray, std::optional<QByteArray>> saved_;
};

QString Read(HKEY root, const char16_t* key, const char16_t* name, DWORD* typeOut = nullptr) {
    HKEY h = nullptr;
    if (RegOpenKeyExW(root, key, 0, KEY_READ, &h) != ERROR_SUCCESS) return QStringLiteral("<no key>");
    char16_t buffer[1024] = {};
    DWORD size = sizeof buffer, type = 0;
    const LSTATUS r = RegQueryValueExW(h, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(h);
    if (typeOut) *typeOut = type;
    return r == ERROR_SUCCESS ? QString::fromUtf16(buffer) : QStringLiteral("<no value>");
}

constexpr const char16_t* ShellFolders = u"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

TEST(UserFolders, AgreeWithXdgUserDir) {
    TW_REQUIRE_TOOL("xdg-user-dir");
    QTemporaryDir home;
    Environment env;
    env.Set("HOME", home.path());
    env.Set("XDG_CONFIG_HOME", home.filePath(".config"));
    env.Set("XDG_VIDEOS_DIR", home.filePath("FromEnvironment"));
    QDir().mkpath(home.filePath(".config"));
    QFile dirs(home.filePath(".config/user-dirs.dirs"));
    ASSERT_TRUE(dirs.open(QIODevice::WriteOnly));
    dirs.write("# written by a test\nXDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\nXDG_MUSIC_DIR=\"$HOME/Musik\"\n"
               "XDG_DOCUMENTS_DIR=\"/srv/docs\"\nXDG_MUSIC_DIR=\"$HOME/Musik 2\"\n");
    dirs.close();
    struct Case {
        const char* xdg;
        int csidl;
    };
    // Set in the file (the last line wins), absolute, from the environment, and unset (HOME).
    for (const Case& c : {Case{"DESKTOP", 0x10}, Case{"MUSIC", 0x0D}, Case{"DOCUMENTS", 0x05}, Case{"VIDEOS", 0x0E},
                          Case{"PICTURES", 0x27}, Case{"TEMPLATES", 0x15}}) {
        const auto r = RunProgram("xdg-user-dir", {c.xdg});
        ASSERT_TRUE(r.Ok()) << r.Describe();
        char16_t buffer[512];
        const DWORD n = TwUserFolderPath(c.csidl, buffer, 512);
        EXPECT_EQ(QString::fromUtf16(buffer, n), QString::fromUtf8(r.Out.trimmed())) << c.xdg;
    }
    // A missing desktop folder in the file falls back to ~/Desktop, as xdg-user-dir does.
    ASSERT_TRUE(dirs.open(QIODevice::WriteOnly | QIODevice::Truncate));
    dirs.close();
    EXPECT_EQ(Read(HKEY_CURRENT_USER, ShellFolders, u"Desktop"), home.filePath("Desktop"));
    // The key store answers from the same mapping, at the time of the read.
    ASSERT_TRUE(dirs.open(QIODevice::WriteOnly | QIODevice::Truncate));
    dirs.write("XDG_DESKTOP_DIR=\"$HOME/Bureau\"\n");
    dirs.close();
    EXPECT_EQ(Read(HKEY_CURRENT_USER, ShellFolders, u"desktop"), home.filePath("Bureau"));
    char16_t buffer[8];
    EXPECT_EQ(TwUserFolderPath(0x0A, buffer, 8), 0u); // the recycle bin has no folder here
}

TEST(KeyStore, DefaultsThePartsRead) {
    DWORD type = 0;
    EXPECT_EQ(Read(HKEY_CURRENT_USER, u"Control Panel\\Desktop", u"MenuShowDelay", &type), "400");
    EXPECT_EQ(type, DWORD(REG_SZ));
    EXPECT_EQ(Read(HKEY_CURRENT_USER, u"AppEvents\\Schemes\\Apps\\.Default\\MenuPopup\\.Current", nullptr), "");
    EXPECT_EQ(Read(HKEY_CURRENT_USER, u"Control Panel\\Desktop", u"NoSuchValue"), "<no value>");
    EXPECT_EQ(Read(HKEY_CURRENT_USER, u"Software\\NoSuchVendor", u"x"), "<no key>");
}

TEST(KeyStore, SizesMoreDataAndWrites) {
    HKEY h = nullptr;
    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, u"Software\\TestVendor\\App", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h,
                              &disposition), ERROR_SUCCESS);
    EXPECT_EQ(disposition, DWORD(REG_CREATED_NEW_KEY));
    const char16_t text[] = u"hello";
    ASSERT_EQ(RegSetValueExW(h, u"Greeting", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), sizeof text), ERROR_SUCCESS);
    // Size query, a buffer too small (nothing written), and the exact size.
    DWORD size = 0, type = 0;
    EXPECT_EQ(RegQueryValueExW(h, u"GREETING", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, DWORD(sizeof text));
    char16_t small[3] = {u'x', u'x', u'x'};
    size = sizeof small;
    EXPECT_EQ(RegQueryValueExW(h, u"Greeting", nullptr, &type, reinterpret_cast<BYTE*>(small), &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, DWORD(sizeof text));
    EXPECT_EQ(small[0], u'x');
    char16_t exact[6];
    size = sizeof exact;
    EXPECT_EQ(RegQueryValueExW(h, u"Greeting", nullptr, &type, reinterpret_cast<BYTE*>(exact), &size), ERROR_SUCCESS);
    EXPECT_EQ(std::u16string(exact), u"hello");
    RegCloseKey(h);

    // Enumerate, then delete: a key with subkeys stays.
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\TestVendor", 0, KEY_READ, &h), ERROR_SUCCESS);
    char16_t name[16];
    DWORD n = 16;
    EXPECT_EQ(RegEnumKeyExW(h, 0, name, &n, nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(std::u16string(name), u"App");
    n = 16;
    EXPECT_EQ(RegEnumKeyExW(h, 1, name, &n, nullptr, nullptr, nullptr, nullptr), ERROR_NO_MORE_ITEMS);
    RegCloseKey(h);
    EXPECT_EQ(RegDeleteKeyW(HKEY_CURRENT_USER, u"Software\\TestVendor"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteKeyW(HKEY_CURRENT_USER, u"Software\\TestVendor\\App"), ERROR_SUCCESS);
    EXPECT_EQ(Read(HKEY_CURRENT_USER, u"Software\\TestVendor\\App", u"Greeting"), "<no key>");
}

TEST(RegistryClasses, TRegistryAndTRegIniFile) {
    {
        vcl::TRegIniFile Ini(QStringLiteral("Software\\TestVendor\\Ini"));
        EXPECT_EQ(Ini.ReadInteger(QStringLiteral("Window"), QStringLiteral("Left"), 17), 17);
        Ini.WriteInteger(QStringLiteral("Window"), QStringLiteral("Left"), 120);
        Ini.WriteString(QStringLiteral("Window"), QStringLiteral("Title"), QStringLiteral("Main"));
        EXPECT_EQ(Ini.ReadInteger(QStringLiteral("Window"), QStringLiteral("Left"), 17), 120);
        EXPECT_EQ(Ini.ReadString(QStringLiteral("Window"), QStringLiteral("Title"), {}), "Main");
        // A value of the wrong type gives the default, never an exception.
        EXPECT_EQ(Ini.ReadInteger(QStringLiteral("Window"), QStringLiteral("Title"), -1), -1);
    }
    vcl::TRegistry Reg;
    ASSERT_TRUE(Reg.OpenKeyReadOnly(QStringLiteral("\\Software\\TestVendor\\Ini\\Window")));
    EXPECT_EQ(Reg.ReadInteger(QStringLiteral("Left")), 120);
    EXPECT_EQ(Reg.ReadString(QStringLiteral("Missing")), "");
    EXPECT_THROW(Reg.ReadString(QStringLiteral("Left")), vcl::ERegistryException);
    EXPECT_THROW(Reg.ReadInteger(QStringLiteral("Missing")), vcl::ERegistryException);
    EXPECT_FALSE(Reg.OpenKey(QStringLiteral("Nested"), false));
    EXPECT_EQ(Reg.CurrentPath(), "Software\\TestVendor\\Ini\\Window"); // a failed open keeps the key
    ASSERT_TRUE(Reg.OpenKey(QStringLiteral("\\Control Panel\\Desktop"), false));
    EXPECT_EQ(Reg.ReadString(QStringLiteral("MenuShowDelay")), "400");
}

TEST(Tokens, PrivilegeCallsSucceedQuietly) {
    HANDLE token = nullptr;
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token));
    TOKEN_PRIVILEGES p{};
    ASSERT_TRUE(LookupPrivilegeValueW(nullptr, SE_SHUTDOWN_NAME, &p.Privileges[0].Luid));
    p.PrivilegeCount = 1;
    p.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    EXPECT_TRUE(AdjustTokenPrivileges(token, FALSE, &p, 0, nullptr, nullptr));
}

} // namespace
