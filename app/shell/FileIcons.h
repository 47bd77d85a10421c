// app/shell/FileIcons.h: the file list's icons, one shell lookup per file extension.
#pragma once
#include <map>

#include "rtl/System.h"

namespace vcl {
class TCustomImageList;
class TIcon;
} // namespace vcl

namespace shell {

using rtl::String;

class TFileIcons {
public:
    explicit TFileIcons(vcl::TCustomImageList* ImageList) : FImageList(ImageList) {}
    virtual ~TFileIcons() = default;

    // Appends Icon under Ext (a key already known keeps its first picture); -1 for no icon.
    int AddIcon(const String& Ext, vcl::TIcon* Icon);
    // The picture of the file's extension, asking the shell only for an extension not seen before; -1
    // when the shell had none, for every later file of that extension too.
    int GetFileIconIndex(const String& fName);

private:
    std::map<String, int> FIconList;
    vcl::TCustomImageList* FImageList; // not owned
};

} // namespace shell
