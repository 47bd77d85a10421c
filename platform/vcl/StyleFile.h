// vcl/StyleFile.h: our style files (the format is described at the top of StyleFile.cpp and in
// data/styles/README). A style file gives a style's name, author, dark flag, the replacements of
// system colours, the style and font colours, and per element, part and state the colours (and
// optionally a picture) that the style draws the element with.
#pragma once
#include "rtl/System.h"
#include "vcl/Themes.h"

#include <QByteArray>

#include <map>
#include <vector>

namespace vcl {

// A style file that cannot be read or holds an error; Line() is the 1-based line of the error, 0
// when the file as a whole is at fault (missing, too large, no name).
class EStyleFileError : public EStyleEngineException {
public:
    EStyleFileError(const rtl::String& Msg, int ALine) : EStyleEngineException(Msg), FLine(ALine) {}
    int Line() const { return FLine; }
    rtl::String ClassName() const override { return QStringLiteral("EStyleFileError"); }

private:
    int FLine;
};

// How a style draws one element state. clNone: the style gives no such colour.
struct TStyleElementLook {
    TColor Fill = clNone;
    TColor Border = clNone;
    TColor Glyph = clNone;
    TColor Text = clNone;
    rtl::String Image; // a PNG beside the style file, drawn stretched over the element; empty for none
    friend bool operator==(const TStyleElementLook&, const TStyleElementLook&) = default;
};

struct TStyleElementEntry {
    TThemedElement Element = teButton;
    int Part = 0;  // 0: every part
    int State = 0; // 0: every state of the part
    TStyleElementLook Look;
    friend bool operator==(const TStyleElementEntry&, const TStyleElementEntry&) = default;
};

struct TStyleFileData {
    rtl::String Name;
    rtl::String Author;
    bool Dark = false;
    std::map<int, TColor> SystemColors; // COLOR_ index -> RGB
    std::map<TStyleColor, TColor> StyleColors;
    std::map<TStyleFont, TColor> FontColors;
    std::vector<TStyleElementEntry> Elements;
    rtl::String Folder; // where the file was read from: images are looked up there

    // The look of an element state: the entry for the state, else for the whole part, else for the
    // whole element; nullptr when the style has none.
    const TStyleElementLook* Find(TThemedElement Element, int Part, int State) const;
    friend bool operator==(const TStyleFileData&, const TStyleFileData&) = default;
};

// Reading raises EStyleFileError naming the file and the line. Source names the text in messages;
// Folder is where relative image names are looked up.
TStyleFileData ParseStyleText(const QByteArray& Text, const rtl::String& Source, const rtl::String& Folder);
TStyleFileData ReadStyleFile(const rtl::String& FileName);
QByteArray StyleFileText(const TStyleFileData& Data);
// Writes through a temporary file in the same folder; false when the file could not be written.
bool WriteStyleFile(const rtl::String& FileName, const TStyleFileData& Data);

// The names used in style files ("teButton", "scWindow", "sfButtonTextNormal").
rtl::String ElementName(TThemedElement Element);
rtl::String StyleColorName(TStyleColor Color);
rtl::String StyleFontName(TStyleFont Font);

} // namespace vcl
