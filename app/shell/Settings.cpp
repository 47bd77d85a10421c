#include "app/shell/Settings.h"

#include "app/engine/Procs.h"
#include "rtl/Files.h"
#include "vcl/StdCtrls.h"

namespace shell {

String ColumnInfoToIniStr(const engine::TColumnInfo& ci) {
    return QStringLiteral("%1,%2,%3").arg(ci.Position).arg(ci.Width).arg(ci.Visible ? 1 : 0);
}

bool ngTryIniStrToColumnInfo(const String& IniValue, engine::TColumnInfo& ci) {
    String value = IniValue;
    value.remove(u' ');
    const QStringList parts = value.split(u',');
    if (parts.size() != 3) return false;
    int numbers[3];
    for (int i = 0; i < 3; ++i) {
        bool ok = false;
        numbers[i] = parts[i].toInt(&ok);
        if (!ok) return false;
    }
    ci.Position = numbers[0];
    ci.Width = numbers[1];
    ci.Visible = numbers[2] != 0;
    return true;
}

void LoadListFiles(engine::TAppParams& Params) {
    engine::LoadListFile(Params.ListFile_Directories, Params.ArrListOutputDirectories, true);
    engine::RemoveDuplicateDirs(Params.ArrListOutputDirectories, false);
}

void SaveListFiles(engine::TAppParams& Params) {
    const String dir = rtl::ExtractFileDir(Params.ListFile_Directories);
    try {
        if (!rtl::DirectoryExists(dir) && !rtl::ForceDirectories(dir)) return;
    } catch (const rtl::Exception&) {
        return;
    }
    engine::RemoveDuplicateDirs(Params.ArrListOutputDirectories, false);
    engine::SaveListFile(Params.ListFile_Directories, Params.ArrListOutputDirectories, true,
                         QStringLiteral("\r\n;List of directories\r\n;"), true);
}

void LoadComboList(vcl::TCustomComboBox* cb, const engine::TListFileArray& Arr) {
    const String text = cb->Text();
    cb->Items()->Clear();
    cb->SetText(String());
    for (const auto& entry : Arr)
        if (entry.Active) cb->Items()->Add(entry.ItemValue);
    if (!text.isEmpty()) cb->SetText(text);
}

} // namespace shell
