// vcl/StyleFile.h: our style files (the format is described at the top of StyleFile.cpp and in
// data/styles/README). A style file gives a style's name, author, dark flag, the replacements of
// system colours, the style and font colours, and per element, part and state the colours (and
// optionally a picture and an actual size) that the style draws the element with.
#pragma once
#include "rtl/System.h"
#include "vcl/PngImage.h"
#include "vcl/Themes.h"

#include <QByteArray>

#include <map>
#include <memory>
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
    int Width = 0;     // the element's actual size ("size WxH"); 0: the style gives none
    int Height = 0;
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

// A style loaded from a style file. What the file does not give falls back to the classic drawing
// and colours, which then use the style's system colours.
class TCustomStyle : public TCustomStyleServices {
public:
    explicit TCustomStyle(TStyleFileData AData) : FData(std::move(AData)) {}
    const TStyleFileData& Data() const { return FData; }
    bool IsDark() const { return FData.Dark; }

    bool Available() const override { return true; }
    bool Enabled() const override { return true; }
    bool IsSystemStyle() const override { return false; }
    rtl::String Name() const override { return FData.Name; }

    bool DrawElement(HDC DC, const TThemedElementDetails& Details, const TRect& R, const TRect* ClipRect = nullptr,
                     int DPI = 0) override;
    bool DrawText(HDC DC, const TThemedElementDetails& Details, const rtl::String& S, TRect& R, TTextFormat Flags,
                  TColor Color = clNone, int DPI = 0) override;
    bool DrawEdge(HDC DC, const TThemedElementDetails& Details, const TRect& R, TElementEdges Edges,
                  TElementEdgeFlags Flags, TRect* ContentRect = nullptr, int DPI = 0) override;
    bool DrawParentBackground(HWND Window, HDC Target, const TThemedElementDetails* Details, bool OnlyIfTransparent,
                              const TRect* Bounds = nullptr) override;
    bool GetElementSize(HDC DC, const TThemedElementDetails& Details, TElementSize ElementSize, TSize& Size,
                        int DPI = 0) override;
    bool GetElementSize(HDC DC, const TThemedElementDetails& Details, const TRect& R, TElementSize ElementSize,
                        TSize& Size, int DPI = 0) override;
    bool GetElementColor(const TThemedElementDetails& Details, TElementColor ElementColor, TColor& Color) override;
    bool GetElementContentRect(HDC DC, const TThemedElementDetails& Details, const TRect& BoundingRect,
                               TRect& ContentRect, int DPI = 0) override;
    bool GetElementRegion(const TThemedElementDetails& Details, const TRect& R, HRGN& Region, int DPI = 0) override;
    bool HasTransparentParts(const TThemedElementDetails& Details) override;

    TColor GetSystemColor(TColor Color) override;
    TColor GetStyleColor(TStyleColor Color) override;
    TColor GetStyleFontColor(TStyleFont Font) override;

private:
    const TStyleElementLook* Look(const TThemedElementDetails& Details) const {
        return FData.Find(Details.Element, Details.Part, Details.State);
    }
    // The picture of an element, read when first drawn; nullptr when it cannot be read any more.
    TPngImage* Image(const rtl::String& Name);
    TStyleFileData FData;
    std::map<rtl::String, std::unique_ptr<TPngImage>> FImages;
};

// The names used in style files ("teButton", "scWindow", "sfButtonTextNormal").
rtl::String ElementName(TThemedElement Element);
rtl::String StyleColorName(TStyleColor Color);
rtl::String StyleFontName(TStyleFont Font);

} // namespace vcl
