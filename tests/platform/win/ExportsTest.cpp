// Each library of the stand-in exports its declared interface and nothing of its own inside.
#include "tests/support/Peers.h"

#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>

namespace {

// Functions declared with WINAPI in the stand-in's headers, and every word of the C++ headers the
// libraries share (the declarations between TW_SHARED_BEGIN and TW_SHARED_END).
struct Declared {
    QSet<QString> functions;
    QSet<QString> sharedWords;
};

Declared ReadDeclarations() {
    Declared d;
    static const QRegularExpression api(R"(\bWINAPI\s+\**\s*([A-Za-z_]\w*)\s*\()");
    static const QRegularExpression shared(R"(TW_SHARED_BEGIN(.*?)TW_SHARED_END)",
                                           QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression word(R"([A-Za-z_]\w*)");
    QDirIterator it(QStringLiteral(TW_WIN_SOURCE_DIR), {QStringLiteral("*.h")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile f(it.next());
        if (!f.open(QIODevice::ReadOnly)) continue;
        const QString text = QString::fromUtf8(f.readAll());
        if (f.fileName().endsWith(QLatin1String("/windef.h"))) continue;  // the macros themselves
        for (auto m = api.globalMatch(text); m.hasNext();) d.functions.insert(m.next().captured(1));
        for (auto s = shared.globalMatch(text); s.hasNext();) {
            const QString block = s.next().captured(1);
            for (auto w = word.globalMatch(block); w.hasNext();) d.sharedWords.insert(w.next().captured(0));
        }
    }
    return d;
}

// What is wrong with one dynamic symbol (nm -DC), or empty when it is part of the declared interface.
QString Undeclared(const QString& name, const Declared& d) {
    static const QSet<QString> linker{"__bss_start", "_edata", "_end", "_init", "_fini"};
    if (name.contains(QLatin1String("(anonymous namespace)"))) return QStringLiteral("a helper of one file");
    static const QRegularExpression cName(R"(^[A-Za-z_]\w*$)");
    if (cName.match(name).hasMatch())
        return d.functions.contains(name) || linker.contains(name) ? QString() : QStringLiteral("no WINAPI declaration");
    // C++: every name the stand-in owns must be one its shared headers declare. Library templates
    // (std::, Qt) instantiated over public types carry no name of ours.
    // Clang gives the standard library's operator templates the default visibility of namespace std
    // even over a hidden type; they are vague-linkage copies, not interface (g++ hides them).
    if (name.startsWith(QLatin1String("std::operator"))) return {};
    static const QRegularExpression own(R"(\b(wingdi|winuser|winkernel|twuser|twkernel|twcomctl|twtheme)::(\w+))");
    for (auto m = own.globalMatch(name); m.hasNext();) {
        const auto hit = m.next();
        if (!d.sharedWords.contains(hit.captured(2))) return hit.captured(0) + QStringLiteral(" is not shared");
    }
    static const QRegularExpression tw(R"((^|[\s*&(])(Tw\w+)\()");
    if (const auto m = tw.match(name); m.hasMatch() && !d.sharedWords.contains(m.captured(2)))
        return m.captured(2) + QStringLiteral(" is not shared");
    return {};
}

TEST(Exports, EveryLibraryExportsOnlyItsDeclaredInterface) {
    TW_REQUIRE_TOOL("nm");
    const Declared d = ReadDeclarations();
    ASSERT_GT(d.functions.size(), 400) << "the headers were not found in " << TW_WIN_SOURCE_DIR;
    for (const QString& library : QStringLiteral(TW_WIN_LIBRARIES).split(u'|')) {
        const auto nm = testing_support::RunProgram(QStringLiteral("nm"), {"-DC", "--defined-only", library});
        ASSERT_TRUE(nm.Ok()) << nm.Describe();
        int exported = 0;
        for (const QByteArray& line : nm.Out.split('\n')) {
            // "address type name"; the name may hold blanks (demangled)
            const QString l = QString::fromUtf8(line);
            const int first = l.indexOf(u' '), second = first < 0 ? -1 : l.indexOf(u' ', first + 1);
            if (second < 0) continue;
            const QString name = l.mid(second + 1);
            ++exported;
            const QString why = Undeclared(name, d);
            EXPECT_TRUE(why.isEmpty()) << library.toStdString() << ": " << name.toStdString() << " (" << why.toStdString() << ")";
        }
        EXPECT_GT(exported, 3) << library.toStdString();
    }
}

TEST(Exports, HelpersAreToldFromTheInterface) {
    Declared d;
    d.functions = {"CreateWindowExW"};
    d.sharedWords = {"Region", "Offset", "SetBackend", "TwNewHandle"};
    EXPECT_TRUE(Undeclared("CreateWindowExW", d).isEmpty());
    EXPECT_TRUE(Undeclared("_edata", d).isEmpty());
    EXPECT_FALSE(Undeclared("EnumTree", d).isEmpty());
    EXPECT_TRUE(Undeclared("wingdi::Region::Offset(int, int)", d).isEmpty());
    EXPECT_FALSE(Undeclared("wingdi::Spans::Fill(int)", d).isEmpty());
    EXPECT_FALSE(Undeclared("(anonymous namespace)::Registry::lock", d).isEmpty());
    EXPECT_TRUE(Undeclared("typeinfo for std::_Mutex_base<(__gnu_cxx::_Lock_policy)2>", d).isEmpty());
    EXPECT_TRUE(Undeclared("TwNewHandle(std::shared_ptr<TwKernelObject>, unsigned int)", d).isEmpty());
    EXPECT_FALSE(Undeclared("TwHelper(int)", d).isEmpty());
}

} // namespace
