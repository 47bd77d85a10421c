#include "app/shell/FileIcons.h"

#include "base/Strings.h"
#include "rtl/Files.h"
#include "vcl/Graphics.h"
#include "vcl/ImgList.h"
#include "win/shell32/shellapi.h"

#include <memory>

namespace shell {

namespace {

String KeyOf(const String& Ext) { return base::UpperTrim(Ext); }

} // namespace

int TFileIcons::AddIcon(const String& Ext, vcl::TIcon* Icon) {
    if (!Icon) return -1;
    String key = KeyOf(Ext);
    if (!key.startsWith(u'.')) key.prepend(u'.');
    auto it = FIconList.find(key);
    if (it == FIconList.end()) it = FIconList.emplace(key, FImageList->AddIcon(Icon)).first;
    return it->second;
}

int TFileIcons::GetFileIconIndex(const String& fName) {
    const String key = KeyOf(rtl::ExtractFileExt(fName));
    if (auto it = FIconList.find(key); it != FIconList.end()) return it->second;
    // Stored before asking, so that an extension the shell fails on is asked once only.
    int& index = FIconList[key];
    index = -1;
    try {
        const std::u16string path = fName.toStdU16String();
        SHFILEINFOW info{};
        if (SHGetFileInfoW(reinterpret_cast<LPCWSTR>(path.c_str()), 0, &info, sizeof info, SHGFI_ICON | SHGFI_SMALLICON) &&
            info.hIcon) {
            auto icon = std::make_unique<vcl::TIcon>();
            icon->SetHandle(info.hIcon); // the icon releases the shell's handle
            index = FImageList->AddIcon(icon.get());
        }
    } catch (...) {
    }
    return index;
}

} // namespace shell
