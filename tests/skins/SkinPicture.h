// tests/skins/SkinPicture.h: comparing a sheet of skinned pictures with the expected picture
// tests/skins/expected/<prefix>-<name>.png (TW_UPDATE_EXPECTED=1 writes it instead), and a colour as
// the sheet stores it. A differing sheet is saved in the temporary folder beside the failure.
#pragma once
#include "skins/SkSkins.h"
#include "vcl/Graphics.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>

#include <gtest/gtest.h>

namespace skins_test {

inline QRgb SheetRgb(vcl::TColor c) {
    const vcl::TColor v = vcl::ColorToRGB(c);
    return qRgb(v & 0xFF, (v >> 8) & 0xFF, (v >> 16) & 0xFF);
}

// Adds the program's skin text File (skins/texts/<File>) to the skins and returns the name it declares;
// Edit may change the text's lines first.
inline QString AddSkinText(const QString& File, void (*Edit)(rtl::TStringList&) = nullptr) {
    rtl::TStringList lines;
    lines.LoadFromFile(qEnvironmentVariable("TW_SOURCE_DIR") + QStringLiteral("/skins/texts/") + File);
    if (Edit) Edit(lines);
    skins::GetSkinManager()->SkinsList()->AddSkin(&lines);
    for (int i = 0; i < lines.Count(); ++i) {
        const QString line = lines.Strings(i);
        if (line.section(u'=', 0, 0).trimmed().compare(QStringLiteral("Name"), Qt::CaseInsensitive) == 0)
            return line.section(u'=', 1).trimmed();
    }
    return QString();
}

inline void CompareSheet(const QImage& sheet, const QString& prefix, const QString& name) {
    const QString file = QStringLiteral("%1-%2").arg(prefix, name);
    const QString path = qEnvironmentVariable("TW_SOURCE_DIR") + QStringLiteral("/tests/skins/expected/%1.png").arg(file);
    if (qEnvironmentVariableIsSet("TW_UPDATE_EXPECTED")) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        ASSERT_TRUE(sheet.save(path, "PNG"));
        return;
    }
    const QImage expected = QImage(path).convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(expected.isNull()) << "missing " << path.toStdString();
    if (sheet != expected) {
        const QString saved = QDir::temp().filePath(file + QStringLiteral("-actual.png"));
        sheet.save(saved, "PNG");
        ADD_FAILURE() << "differs from " << path.toStdString() << "; saved " << saved.toStdString();
    }
}

} // namespace skins_test
