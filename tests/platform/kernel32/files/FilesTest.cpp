// Files, folders, searches and file times of the kernel, checked against stat and touch.
#include "win/kernel32/fileapi.h"
#include "win/kernel32/synchapi.h"
#include "win/kernel32/winbase.h"

#include "tests/support/Peers.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>

#include <set>
#include <string>
#include <thread>

#include <gtest/gtest.h>

namespace {

using testing_support::RunProgram;

std::u16string W(const QString& s) { return s.toStdU16String(); }

void Put(const QString& path, const QByteArray& data) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(data);
}

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

class Files : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString P(const QString& name) const { return dir.filePath(name); }
};

TEST_F(Files, MoveNeverReplacesAnExistingFile) {
    Put(P("a.tmp"), "new");
    Put(P("a.mp3"), "old");
    QDir().mkdir(P("folder"));
    SetLastError(0);
    EXPECT_FALSE(MoveFileW(W(P("a.tmp")).c_str(), W(P("a.mp3")).c_str()));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ALREADY_EXISTS));
    EXPECT_EQ(ReadAll(P("a.mp3")), "old");
    EXPECT_EQ(ReadAll(P("a.tmp")), "new");
    // Nor a folder, in either direction.
    EXPECT_FALSE(MoveFileW(W(P("a.tmp")).c_str(), W(P("folder")).c_str()));
    EXPECT_FALSE(MoveFileW(W(P("folder")).c_str(), W(P("a.mp3")).c_str()));
    EXPECT_EQ(ReadAll(P("a.mp3")), "old");

    // A free name takes the move; a missing folder on the way is a missing path.
    EXPECT_TRUE(MoveFileW(W(P("a.tmp")).c_str(), W(P("b.mp3")).c_str()));
    EXPECT_EQ(ReadAll(P("b.mp3")), "new");
    EXPECT_FALSE(QFile::exists(P("a.tmp")));
    EXPECT_FALSE(MoveFileW(W(P("b.mp3")).c_str(), W(P("none/b.mp3")).c_str()));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PATH_NOT_FOUND));
    EXPECT_FALSE(MoveFileW(W(P("gone")).c_str(), W(P("c.mp3")).c_str()));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));

    // Replacing is asked for explicitly.
    EXPECT_TRUE(MoveFileExW(W(P("b.mp3")).c_str(), W(P("a.mp3")).c_str(), MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(ReadAll(P("a.mp3")), "new");
}

TEST_F(Files, MoveToAnotherFileSystemCopiesWithoutReplacing) {
    struct stat here {}, shm {};
    if (::stat(dir.path().toUtf8().constData(), &here) != 0 || ::stat("/dev/shm", &shm) != 0 || here.st_dev == shm.st_dev)
        GTEST_SKIP() << "no second file system at /dev/shm";
    QTemporaryDir other(QStringLiteral("/dev/shm/tw-move-XXXXXX"));
    ASSERT_TRUE(other.isValid());
    Put(P("song.mp3"), "sound");
    Put(other.filePath("taken.mp3"), "keep");
    EXPECT_FALSE(MoveFileW(W(P("song.mp3")).c_str(), W(other.filePath("taken.mp3")).c_str()));
    EXPECT_EQ(ReadAll(other.filePath("taken.mp3")), "keep");
    EXPECT_TRUE(MoveFileW(W(P("song.mp3")).c_str(), W(other.filePath("song.mp3")).c_str()));
    EXPECT_EQ(ReadAll(other.filePath("song.mp3")), "sound");
    EXPECT_FALSE(QFile::exists(P("song.mp3")));
}

TEST_F(Files, CreateDispositionsReadWriteSeekAndTruncate) {
    const std::u16string name = W(P("data.bin"));
    HANDLE h = CreateFileW(name.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(h, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));

    h = CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD done = 0;
    ASSERT_TRUE(WriteFile(h, "0123456789", 10, &done, nullptr));
    EXPECT_EQ(done, 10u);
    LARGE_INTEGER to{}, at{};
    to.QuadPart = -4;
    ASSERT_TRUE(SetFilePointerEx(h, to, &at, FILE_END));
    EXPECT_EQ(at.QuadPart, 6);
    char buffer[16] = {};
    ASSERT_TRUE(ReadFile(h, buffer, 16, &done, nullptr)); // the end is no error
    EXPECT_EQ(std::string(buffer, done), "6789");
    to.QuadPart = 3;
    ASSERT_TRUE(SetFilePointerEx(h, to, nullptr, FILE_BEGIN));
    ASSERT_TRUE(SetEndOfFile(h));
    LARGE_INTEGER size{};
    ASSERT_TRUE(GetFileSizeEx(h, &size));
    EXPECT_EQ(size.QuadPart, 3);
    to.QuadPart = -1;
    EXPECT_FALSE(SetFilePointerEx(h, to, nullptr, FILE_BEGIN));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NEGATIVE_SEEK));
    EXPECT_TRUE(FlushFileBuffers(h));
    CloseHandle(h);
    EXPECT_EQ(ReadAll(P("data.bin")), "012");

    struct Case {
        DWORD disposition;
        bool opens;
        DWORD error;
        const char* content;
    };
    for (const Case& c : {Case{CREATE_NEW, false, ERROR_FILE_EXISTS, "012"}, Case{OPEN_ALWAYS, true, ERROR_ALREADY_EXISTS, "012"},
                          Case{CREATE_ALWAYS, true, ERROR_ALREADY_EXISTS, ""}}) {
        Put(P("data.bin"), "012");
        h = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, c.disposition, 0, nullptr);
        EXPECT_EQ(h != INVALID_HANDLE_VALUE, c.opens) << c.disposition;
        EXPECT_EQ(GetLastError(), c.error) << c.disposition;
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
        EXPECT_EQ(ReadAll(P("data.bin")), c.content) << c.disposition;
    }
    // A folder opens for its times only.
    EXPECT_EQ(CreateFileW(W(dir.path()).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr), INVALID_HANDLE_VALUE);
    h = CreateFileW(W(dir.path()).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    EXPECT_NE(h, INVALID_HANDLE_VALUE);
    CloseHandle(h);
}

// "YYYY-MM-DD HH:MM:SS" in UTC of a file time.
std::string Utc(const FILETIME& f) {
    SYSTEMTIME s{};
    if (!FileTimeToSystemTime(&f, &s)) return "<invalid>";
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", s.wYear, s.wMonth, s.wDay, s.wHour, s.wMinute,
                  s.wSecond);
    return text;
}

TEST_F(Files, FileTimesAgreeWithTouchAndStat) {
    TW_REQUIRE_TOOL("touch");
    TW_REQUIRE_TOOL("stat");
    const QString file = P("dated.mp3");
    Put(file, "x");
    for (const char* date : {"1960-05-01 12:34:56", "1970-01-01 00:00:00", "2038-01-19 03:14:08", "2100-02-28 23:59:59"}) {
        // touch sets, we read.
        const auto t = RunProgram("touch", {"-d", QStringLiteral("%1 UTC").arg(date), file});
        ASSERT_TRUE(t.Ok()) << t.Describe();
        WIN32_FILE_ATTRIBUTE_DATA data{};
        ASSERT_TRUE(GetFileAttributesExW(W(file).c_str(), GetFileExInfoStandard, &data));
        EXPECT_EQ(Utc(data.ftLastWriteTime), date);
        EXPECT_EQ(Utc(data.ftLastAccessTime), date);

        // We set, stat reads: a day later, access time left alone.
        FILETIME later = data.ftLastWriteTime;
        const uint64_t ticks = (uint64_t(later.dwHighDateTime) << 32 | later.dwLowDateTime) + 864000000000ULL;
        later = FILETIME{DWORD(ticks), DWORD(ticks >> 32)};
        HANDLE h = CreateFileW(W(file).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        ASSERT_TRUE(SetFileTime(h, nullptr, nullptr, &later));
        FILETIME read{};
        ASSERT_TRUE(GetFileTime(h, nullptr, nullptr, &read));
        CloseHandle(h);
        const auto s = RunProgram("stat", {"-c", "%y|%x", file}, 120000);
        ASSERT_TRUE(s.Ok()) << s.Describe();
        const auto r = RunProgram("date", {"-u", "-d", QStringLiteral("%1 UTC + 1 day").arg(date), "+%s"});
        const auto statSeconds = RunProgram("stat", {"-c", "%Y|%X", file});
        ASSERT_TRUE(r.Ok() && statSeconds.Ok());
        const QList<QByteArray> both = statSeconds.Out.trimmed().split('|');
        EXPECT_EQ(both[0], r.Out.trimmed()) << date;   // write time moved
        EXPECT_NE(both[1], r.Out.trimmed()) << date;   // access time kept
        EXPECT_EQ(Utc(read), Utc(later));
    }
}

TEST_F(Files, AttributesOfFilesFoldersAndHiddenNames) {
    Put(P("plain.txt"), "abc");
    Put(P(".hidden"), "");
    QDir().mkdir(P("sub"));
    EXPECT_EQ(GetFileAttributesW(W(P("plain.txt")).c_str()), DWORD(FILE_ATTRIBUTE_NORMAL));
    EXPECT_EQ(GetFileAttributesW(W(P(".hidden")).c_str()), DWORD(FILE_ATTRIBUTE_HIDDEN));
    EXPECT_EQ(GetFileAttributesW(W(P("sub/")).c_str()), DWORD(FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_EQ(GetFileAttributesW(W(P("none/x")).c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PATH_NOT_FOUND));

    ASSERT_TRUE(SetFileAttributesW(W(P("plain.txt")).c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(GetFileAttributesW(W(P("plain.txt")).c_str()), DWORD(FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(QFileInfo(P("plain.txt")).isWritable() && ::geteuid() != 0);
    ASSERT_TRUE(SetFileAttributesW(W(P("plain.txt")).c_str(), FILE_ATTRIBUTE_NORMAL));
    EXPECT_EQ(GetFileAttributesW(W(P("plain.txt")).c_str()), DWORD(FILE_ATTRIBUTE_NORMAL));

    // Folders and files are told apart when deleting and creating.
    EXPECT_FALSE(DeleteFileW(W(P("sub")).c_str()));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
    EXPECT_FALSE(CreateDirectoryW(W(P("sub")).c_str(), nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ALREADY_EXISTS));
    EXPECT_FALSE(CreateDirectoryW(W(P("a/b")).c_str(), nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PATH_NOT_FOUND));
    Put(P("sub/x"), "");
    EXPECT_FALSE(RemoveDirectoryW(W(P("sub")).c_str()));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_DIR_NOT_EMPTY));
    EXPECT_TRUE(DeleteFileW(W(P("sub/x")).c_str()));
    EXPECT_TRUE(RemoveDirectoryW(W(P("sub")).c_str()));
}

std::set<std::u16string> Find(const QString& pattern, DWORD* error = nullptr) {
    std::set<std::u16string> names;
    WIN32_FIND_DATAW data{};
    HANDLE h = FindFirstFileW(W(pattern).c_str(), &data);
    if (h == INVALID_HANDLE_VALUE) {
        if (error) *error = GetLastError();
        return names;
    }
    do {
        std::u16string name(data.cFileName);
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) name += u"/";
        names.insert(name);
    } while (FindNextFileW(h, &data));
    if (error) *error = GetLastError();
    EXPECT_TRUE(FindClose(h));
    return names;
}

TEST_F(Files, SearchMasksWithoutCase) {
    Put(P("Clip.WEBM"), "12345");
    Put(P("song.mp3"), "");
    Put(P("noext"), "");
    QDir().mkdir(P("Folder.webm"));
    ASSERT_EQ(::symlink("missing-target", P("dangling.webm").toUtf8().constData()), 0);
    using S = std::set<std::u16string>;
    DWORD error = 0;
    EXPECT_EQ(Find(P("*.*"), &error), (S{u"./", u"../", u"Clip.WEBM", u"song.mp3", u"noext", u"Folder.webm/", u"dangling.webm"}));
    EXPECT_EQ(error, DWORD(ERROR_NO_MORE_FILES));
    EXPECT_EQ(Find(P("*.webm")), (S{u"Clip.WEBM", u"Folder.webm/", u"dangling.webm"}));
    EXPECT_EQ(Find(P("s?ng.*")), (S{u"song.mp3"}));
    EXPECT_EQ(Find(P("*.flac"), &error), S{});
    EXPECT_EQ(error, DWORD(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(Find(P("none/*.*"), &error), S{});
    EXPECT_EQ(error, DWORD(ERROR_PATH_NOT_FOUND));

    WIN32_FIND_DATAW data{};
    HANDLE h = FindFirstFileW(W(P("clip.webm")).c_str(), &data);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_EQ(data.nFileSizeLow, 5u);
    EXPECT_EQ(std::u16string(data.cFileName), u"Clip.WEBM");
    FindClose(h);
}

TEST(Times, CalendarConversions) {
    struct Case {
        SYSTEMTIME s;
        uint64_t ticks;
    };
    // wDayOfWeek: 0 = Sunday.
    const Case cases[] = {
        {{1601, 1, 1, 1, 0, 0, 0, 0}, 0},
        {{1970, 1, 4, 1, 0, 0, 0, 0}, 116444736000000000ULL},
        {{2000, 2, 2, 29, 12, 30, 15, 250}, 125963010152500000ULL},
        {{1960, 5, 0, 1, 12, 34, 56, 0}, 113393540960000000ULL},
    };
    for (const Case& c : cases) {
        FILETIME f{};
        ASSERT_TRUE(SystemTimeToFileTime(&c.s, &f)) << c.s.wYear;
        EXPECT_EQ(uint64_t(f.dwHighDateTime) << 32 | f.dwLowDateTime, c.ticks) << c.s.wYear;
        SYSTEMTIME back{};
        ASSERT_TRUE(FileTimeToSystemTime(&f, &back));
        EXPECT_EQ(std::memcmp(&back, &c.s, sizeof back), 0) << c.s.wYear << " day of week " << back.wDayOfWeek;
    }
    for (SYSTEMTIME bad : {SYSTEMTIME{1900, 2, 0, 29, 0, 0, 0, 0}, SYSTEMTIME{1600, 12, 0, 31, 0, 0, 0, 0},
                           SYSTEMTIME{2001, 13, 0, 1, 0, 0, 0, 0}, SYSTEMTIME{2001, 1, 0, 1, 24, 0, 0, 0}}) {
        FILETIME f{};
        EXPECT_FALSE(SystemTimeToFileTime(&bad, &f)) << bad.wYear << "-" << bad.wMonth;
    }
    // DOS dates: 2019-06-15 10:20:30.
    FILETIME dos{};
    ASSERT_TRUE(DosDateTimeToFileTime(WORD((39 << 9) | (6 << 5) | 15), WORD((10 << 11) | (20 << 5) | 15), &dos));
    EXPECT_EQ(Utc(dos), "2019-06-15 10:20:30");
    WORD date = 0, time = 0;
    ASSERT_TRUE(FileTimeToDosDateTime(&dos, &date, &time));
    EXPECT_EQ(date, WORD((39 << 9) | (6 << 5) | 15));
    EXPECT_EQ(time, WORD((10 << 11) | (20 << 5) | 15));
}

// Sets TZ for one scope and puts it back, also when an assertion ends the test early.
struct Zone {
    const char* saved = std::getenv("TZ");
    std::string keep = saved ? saved : "";
    explicit Zone(const char* name) { Set(name); }
    void Set(const char* name) {
        setenv("TZ", name, 1);
        tzset();
    }
    ~Zone() {
        if (saved) setenv("TZ", keep.c_str(), 1);
        else unsetenv("TZ");
        tzset();
    }
};

TEST(Times, LocalTimeFollowsTheZoneOfTheDate) {
    struct Case {
        const char* zone;
        LONG bias, daylightBias;
        WORD startMonth, startDay, startHour, endMonth, endDay, endHour; // rules: n-th Sunday, 5 = last
        int winterHour, summerHour; // local hour of 12:00 UTC on 15 January and 15 July
    };
    const Case cases[] = {
        {"Europe/Berlin", -60, -60, 3, 5, 2, 10, 5, 3, 13, 14},
        {"America/New_York", 300, -60, 3, 2, 2, 11, 1, 2, 7, 8},
        {"Australia/Sydney", -600, -60, 10, 1, 2, 4, 1, 3, 23, 22}, // summer in January
        {"Asia/Tokyo", -540, 0, 0, 0, 0, 0, 0, 0, 21, 21},          // no summer time
    };
    for (const Case& c : cases)
        if (!QFile::exists(QStringLiteral("/usr/share/zoneinfo/") + c.zone)) GTEST_SKIP() << "no zone data for " << c.zone;
    Zone zone("UTC");
    for (const Case& c : cases) {
        zone.Set(c.zone);
        TIME_ZONE_INFORMATION tz{};
        EXPECT_NE(GetTimeZoneInformation(&tz), TIME_ZONE_ID_INVALID) << c.zone;
        EXPECT_EQ(tz.Bias, c.bias) << c.zone;
        EXPECT_EQ(tz.DaylightBias, c.daylightBias) << c.zone;
        EXPECT_EQ(tz.DaylightDate.wMonth, c.startMonth) << c.zone;
        EXPECT_EQ(tz.DaylightDate.wDay, c.startDay) << c.zone;
        EXPECT_EQ(tz.DaylightDate.wHour, c.startHour) << c.zone;
        EXPECT_EQ(tz.StandardDate.wMonth, c.endMonth) << c.zone;
        EXPECT_EQ(tz.StandardDate.wDay, c.endDay) << c.zone;
        EXPECT_EQ(tz.StandardDate.wHour, c.endHour) << c.zone;
        if (c.startMonth) {
            EXPECT_EQ(tz.DaylightDate.wDayOfWeek, 0) << c.zone;
            EXPECT_EQ(tz.StandardDate.wDayOfWeek, 0) << c.zone;
        }
        // The system's data and the zone's own rules agree on a date in each half of the year.
        SYSTEMTIME winter{2020, 1, 0, 15, 12, 0, 0, 0}, summer{2020, 7, 0, 15, 12, 0, 0, 0}, local{};
        for (const TIME_ZONE_INFORMATION* given : std::initializer_list<const TIME_ZONE_INFORMATION*>{nullptr, &tz}) {
            ASSERT_TRUE(SystemTimeToTzSpecificLocalTime(given, &winter, &local));
            EXPECT_EQ(local.wHour, c.winterHour) << c.zone << (given ? " rules" : " data");
            ASSERT_TRUE(SystemTimeToTzSpecificLocalTime(given, &summer, &local));
            EXPECT_EQ(local.wHour, c.summerHour) << c.zone << (given ? " rules" : " data");
        }
    }
    // Either side of the spring change in Berlin, 2021-03-28 01:00 UTC, by the rules.
    zone.Set("Europe/Berlin");
    TIME_ZONE_INFORMATION tz{};
    GetTimeZoneInformation(&tz);
    SYSTEMTIME before{2021, 3, 0, 28, 0, 59, 59, 0}, after{2021, 3, 0, 28, 1, 0, 0, 0}, local{};
    ASSERT_TRUE(SystemTimeToTzSpecificLocalTime(&tz, &before, &local));
    EXPECT_EQ(local.wHour, 1);
    ASSERT_TRUE(SystemTimeToTzSpecificLocalTime(&tz, &after, &local));
    EXPECT_EQ(local.wHour, 3);
}

TEST(Paths, FullPathsAndBuffers) {
    char16_t buffer[512];
    LPWSTR part = nullptr;
    struct Case {
        const char16_t* in;
        const char16_t* out;
        const char16_t* part;
    };
    for (const Case& c : {Case{u"/a/./b/../c.mp3", u"/a/c.mp3", u"c.mp3"}, Case{u"/a/b/", u"/a/b/", nullptr},
                          Case{u"/..", u"/", nullptr}, Case{u"/a/b/..", u"/a/", nullptr}}) {
        ASSERT_EQ(GetFullPathNameW(c.in, 512, buffer, &part), std::char_traits<char16_t>::length(c.out));
        EXPECT_EQ(std::u16string(buffer), c.out);
        EXPECT_EQ(part ? std::u16string(part) : std::u16string(u"<none>"), c.part ? c.part : u"<none>");
    }
    const DWORD needed = GetFullPathNameW(u"relative", 0, nullptr, nullptr);
    ASSERT_EQ(GetCurrentDirectoryW(512, buffer) + 10, needed); // cwd + "/relative" + terminator
    EXPECT_EQ(GetFullPathNameW(u"relative", 512, buffer, nullptr), needed - 1);
    EXPECT_TRUE(std::u16string(buffer).ends_with(u"/relative"));

    const char* saved = std::getenv("TMPDIR");
    const std::string keep = saved ? saved : "";
    setenv("TMPDIR", "/var/tmp", 1);
    EXPECT_EQ(GetTempPathW(512, buffer), 9u);
    EXPECT_EQ(std::u16string(buffer), u"/var/tmp/");
    EXPECT_EQ(GetTempPathW(5, buffer), 10u); // the size needed, terminator included
    if (saved) setenv("TMPDIR", keep.c_str(), 1);
    else unsetenv("TMPDIR");

    ASSERT_GT(GetModuleFileNameW(nullptr, buffer, 512), 0u);
    EXPECT_TRUE(std::u16string(buffer).ends_with(u"/kernel32_files_tests"));
    EXPECT_EQ(GetModuleFileNameW(nullptr, buffer, 4), 4u); // cut, and terminated
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(std::char_traits<char16_t>::length(buffer), 3u);
}

TEST(System, CriticalSectionsNestAndExclude) {
    CRITICAL_SECTION cs;
    InitializeCriticalSection(&cs);
    EnterCriticalSection(&cs);
    EXPECT_TRUE(TryEnterCriticalSection(&cs)); // the owner enters again
    bool other = true;
    std::thread([&] { other = TryEnterCriticalSection(&cs); }).join();
    EXPECT_FALSE(other);
    LeaveCriticalSection(&cs);
    LeaveCriticalSection(&cs);
    std::thread([&] {
        other = TryEnterCriticalSection(&cs);
        if (other) LeaveCriticalSection(&cs);
    }).join();
    EXPECT_TRUE(other);
    DeleteCriticalSection(&cs);

    LONG count = 5;
    EXPECT_EQ(InterlockedIncrement(&count), 6);
    EXPECT_EQ(InterlockedDecrement(&count), 5);
    EXPECT_EQ(InterlockedExchange(&count, 9), 5);
    EXPECT_EQ(InterlockedCompareExchange(&count, 1, 8), 9); // no match, unchanged
    EXPECT_EQ(count, 9);

    OSVERSIONINFOW v{};
    EXPECT_FALSE(GetVersionExW(&v)); // the size must be set
    v.dwOSVersionInfoSize = sizeof v;
    ASSERT_TRUE(GetVersionExW(&v));
    EXPECT_EQ(v.dwPlatformId, DWORD(VER_PLATFORM_WIN32_NT));
    EXPECT_GE(v.dwMajorVersion, 6u);
}

} // namespace
