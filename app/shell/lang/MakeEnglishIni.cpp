// Writes the shipped English.ini from the program's built-in texts, so the file a translator starts
// from always holds every key the program reads. Usage: tw_make_english_ini <output file>
#include <QFile>
#include <QMap>
#include <QStringList>

#include <cstdio>

#include "app/shell/AppStrings.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <English.ini>\n", argv[0]);
        return 2;
    }
    shell::TAppStrings strings;
    strings.SetEN();
    QStringList sections;
    QMap<QString, QStringList> lines;
    strings.ForEachText([&](const rtl::String& Section, const rtl::String& Key, rtl::String& Value) {
        // Texts the program never reads from a file stay out (the empty ones and UAuto).
        if (Value.isEmpty() || (Section == QStringLiteral("MAIN") && Key == QStringLiteral("UAuto"))) return;
        if (!sections.contains(Section)) sections << Section;
        // Two texts are read from keys named otherwise than their fields.
        QString key = Key;
        if (Section == QStringLiteral("MAIN") && (Key == QStringLiteral("chKeepDates") || Key == QStringLiteral("KeepDates")))
            key = Key.chopped(5) + QStringLiteral("FileDates");
        lines[Section] << key + u'=' + Value;
    });
    lines[QStringLiteral("INFO")] << QStringLiteral("LangName_Native=English");
    QByteArray text;
    for (const QString& section : sections) {
        text += ("[" + section + "]\r\n").toUtf8();
        for (const QString& line : lines[section]) text += (line + QStringLiteral("\r\n")).toUtf8();
        text += "\r\n";
    }
    QFile out(QString::fromLocal8Bit(argv[1]));
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(text) != text.size()) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
