// ShellExecuteW: the desktop opens documents and addresses; programs start directly. Never a shell.
#include "win/shell32/shellapi.h"
#include "win/kernel32/winbase.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace {

TwLaunchProc launcher = nullptr;

// Starts the program detached (a grandchild that init adopts), so no zombie is left and the
// program is not waited for. The argument strings are made before the fork.
bool StartDetached(const std::vector<std::string>& args, const std::string& directory) {
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    int status[2];
    if (::pipe2(status, O_CLOEXEC) != 0) return false;
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(status[0]);
        ::close(status[1]);
        return false;
    }
    if (child == 0) {
        ::setsid();
        const pid_t grandchild = ::fork();
        if (grandchild != 0) ::_exit(grandchild < 0 ? 1 : 0);
        if (!directory.empty() && ::chdir(directory.c_str()) != 0) ::_exit(127);
        ::execvp(argv[0], argv.data());
        const char failed = 1; // tell the caller exec failed: the pipe closes without a byte otherwise
        [[maybe_unused]] ssize_t n = ::write(status[1], &failed, 1);
        ::_exit(127);
    }
    ::close(status[1]);
    int code = 0;
    ::waitpid(child, &code, 0);
    char failed = 0;
    const ssize_t n = ::read(status[0], &failed, 1);
    ::close(status[0]);
    return WIFEXITED(code) && WEXITSTATUS(code) == 0 && n <= 0;
}

BOOL CALLBACK DefaultLauncher(const LPCWSTR* argv, int argc, LPCWSTR directory, BOOL wait) {
    if (argc < 1) return FALSE;
    if (wait) {
        QStringList args;
        for (int i = 1; i < argc; ++i) args << QString::fromUtf16(argv[i]);
        QProcess p;
        if (directory) p.setWorkingDirectory(QString::fromUtf16(directory));
        p.start(QString::fromUtf16(argv[0]), args);
        if (!p.waitForFinished(10000)) {
            p.kill();
            p.waitForFinished(1000);
            return FALSE;
        }
        return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    }
    std::vector<std::string> args;
    for (int i = 0; i < argc; ++i) args.push_back(QString::fromUtf16(argv[i]).toStdString());
    return StartDetached(args, directory ? QString::fromUtf16(directory).toStdString() : std::string());
}

bool Launch(const QStringList& args, const QString& directory, bool wait = false) {
    std::vector<std::u16string> wide;
    std::vector<LPCWSTR> argv;
    for (const QString& a : args) wide.push_back(a.toStdU16String());
    for (const auto& w : wide) argv.push_back(w.c_str());
    const std::u16string dir = directory.toStdU16String();
    return (launcher ? launcher : DefaultLauncher)(argv.data(), int(argv.size()), dir.empty() ? nullptr : dir.c_str(), wait);
}

HINSTANCE Result(INT_PTR code) { return reinterpret_cast<HINSTANCE>(code); }

bool IsAddress(const QString& s) {
    const QUrl url(s, QUrl::StrictMode);
    return url.isValid() && url.scheme().size() > 1 && !s.startsWith(u'/');
}

// "/select,<file>": the file manager shows the file when it offers ShowItems, else its folder opens.
HINSTANCE ShowInFileManager(const QString& file, const QString& directory) {
    const QString uri = QUrl::fromLocalFile(file).toString(QUrl::FullyEncoded);
    if (Launch({QStringLiteral("dbus-send"), QStringLiteral("--session"), QStringLiteral("--print-reply"),
                QStringLiteral("--dest=org.freedesktop.FileManager1"), QStringLiteral("/org/freedesktop/FileManager1"),
                QStringLiteral("--reply-timeout=5000"), QStringLiteral("org.freedesktop.FileManager1.ShowItems"),
                QStringLiteral("array:string:") + uri, QStringLiteral("string:")},
               directory, true))
        return Result(42);
    return Launch({QStringLiteral("xdg-open"), QFileInfo(file).absolutePath()}, directory) ? Result(42) : Result(SE_ERR_NOASSOC);
}

} // namespace

extern "C" {

TwLaunchProc WINAPI TwSetShellLauncher(TwLaunchProc proc) {
    const TwLaunchProc old = launcher;
    launcher = proc;
    return old;
}

HINSTANCE WINAPI ShellExecuteW(HWND, LPCWSTR, LPCWSTR file, LPCWSTR parameters, LPCWSTR directory, INT) {
    if (!file || !*file) return Result(SE_ERR_FNF);
    const QString target = QString::fromUtf16(file);
    const QString params = parameters ? QString::fromUtf16(parameters) : QString();
    const QString dir = directory ? QString::fromUtf16(directory) : QString();
    if (target.compare(QLatin1String("explorer.exe"), Qt::CaseInsensitive) == 0 ||
        target.compare(QLatin1String("explorer"), Qt::CaseInsensitive) == 0) {
        const QString p = params.trimmed();
        if (p.startsWith(QLatin1String("/select,"), Qt::CaseInsensitive)) {
            QString selected = p.mid(8).trimmed();
            if (selected.size() >= 2 && selected.startsWith(u'"') && selected.endsWith(u'"')) selected = selected.mid(1, selected.size() - 2);
            return ShowInFileManager(selected, dir);
        }
        return Launch({QStringLiteral("xdg-open"), p.isEmpty() ? QDir::homePath() : p}, dir) ? Result(42) : Result(SE_ERR_NOASSOC);
    }
    if (IsAddress(target))
        return Launch({QStringLiteral("xdg-open"), target}, dir) ? Result(42) : Result(SE_ERR_NOASSOC);
    const QFileInfo fi(dir.isEmpty() || QFileInfo(target).isAbsolute() ? target : dir + u'/' + target);
    if (!fi.exists()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return Result(fi.absoluteDir().exists() ? SE_ERR_FNF : SE_ERR_PNF);
    }
    if (fi.isFile() && fi.isExecutable()) {
        QStringList args{fi.absoluteFilePath()};
        for (const auto& a : TwCommandLineToArgv(u"x " + params.toStdU16String())) args << QString::fromStdU16String(a);
        args.removeAt(1); // the placeholder program name of the split
        return Launch(args, dir) ? Result(42) : Result(SE_ERR_ACCESSDENIED);
    }
    return Launch({QStringLiteral("xdg-open"), fi.absoluteFilePath()}, dir) ? Result(42) : Result(SE_ERR_NOASSOC);
}

} // extern "C"
