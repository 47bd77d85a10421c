// grid/shared/Classes.h: the enumerations the grid suite shares, the locale values its number columns read,
// and the control enumerations columns carry (alignment, reading order, anchors, cursors) as the class
// library names them.
#pragma once
#include "rtl/Classes.h"
#include "rtl/SysUtils.h"
#include "vcl/Controls.h"
#include "vcl/StdCtrls.h"

#include <cstdint>

namespace grid {

enum TDirection { diLeftToRight, diRightToLeft };
enum TButtonStateItem { btHover, btDown };
using TButtonState = rtl::TSet<TButtonStateItem>;
enum TDrawingOptions { doNormal, doBackgroundOnly, doCustom, doCustomOnly };
enum TEncodingKind { ekAnsi, ekUnicode, ekUnicodeBigEndian };
enum TUniEncoding { enUnspecified, enISO_8859_1, enUTF_16, enUTF_8 };
enum TWrapKind { wkNone, wkEllipsis, wkPathEllipsis, wkWordWrap };

// The run-time library's current locale values, read where the suite needs one separator.
class TLocalSettings {
public:
    static rtl::Char DateSeparator() { return rtl::FormatSettings.DateSeparator; }
    static rtl::Char DecimalSeparator() { return rtl::FormatSettings.DecimalSeparator; }
    static rtl::Char ListSeparator() { return rtl::FormatSettings.ListSeparator; }
    static rtl::String LongTimeFormat() { return rtl::FormatSettings.LongTimeFormat; }
    static rtl::Char TimeSeparator() { return rtl::FormatSettings.TimeSeparator; }
};

// The class library's control enumerations, as the columns carry them.
using vcl::TAlignment;
using enum vcl::TAlignment;
enum TVerticalAlignment { taAlignTop, taAlignBottom, taVerticalCenter };
using vcl::TBiDiMode;
using enum vcl::TBiDiMode;
using vcl::TAnchorKind;
using enum vcl::TAnchorKind;
using vcl::TAnchors;
using vcl::TCursor;
using vcl::crDefault;
using TCaption = rtl::String;

} // namespace grid
