// win/comctl32/richedit.h: the rich-edit messages and character formats that style hooks send. The
// stand-in has no rich-edit window; foreign windows of the rich-edit classes answer these. Sizes are
// those of the system headers.
#pragma once

#include "win/gdi32/wingdi.h"
#include "win/windef.h"
#include "win/user32/winuser.h"

extern "C" {

#define EM_GETCHARFORMAT (WM_USER + 58)
#define EM_SETBKGNDCOLOR (WM_USER + 67)
#define EM_SETCHARFORMAT (WM_USER + 68)
#define SCF_DEFAULT 0x0000
#define SCF_SELECTION 0x0001
#define SCF_ALL 0x0004

#define CFM_BOLD 0x00000001
#define CFM_ITALIC 0x00000002
#define CFM_UNDERLINE 0x00000004
#define CFM_STRIKEOUT 0x00000008
#define CFM_PROTECTED 0x00000010
#define CFM_LINK 0x00000020
#define CFM_SIZE 0x80000000
#define CFM_COLOR 0x40000000
#define CFM_FACE 0x20000000
#define CFM_OFFSET 0x10000000
#define CFM_CHARSET 0x08000000
#define CFM_BACKCOLOR 0x04000000
#define CFM_ALL 0xF800003F
#define CFE_AUTOCOLOR 0x40000000
#define CFE_AUTOBACKCOLOR 0x04000000

typedef struct _charformatw {
    UINT cbSize;
    DWORD dwMask;
    DWORD dwEffects;
    LONG yHeight;
    LONG yOffset;
    COLORREF crTextColor;
    BYTE bCharSet;
    BYTE bPitchAndFamily;
    WCHAR szFaceName[LF_FACESIZE];
} CHARFORMATW;

typedef struct _charformat2w {
    UINT cbSize;
    DWORD dwMask;
    DWORD dwEffects;
    LONG yHeight;
    LONG yOffset;
    COLORREF crTextColor;
    BYTE bCharSet;
    BYTE bPitchAndFamily;
    WCHAR szFaceName[LF_FACESIZE];
    WORD wWeight;
    SHORT sSpacing;
    COLORREF crBackColor;
    DWORD lcid;
    DWORD dwReserved;
    SHORT sStyle;
    WORD wKerning;
    BYTE bUnderlineType;
    BYTE bAnimation;
    BYTE bRevAuthor;
    BYTE bUnderlineColor;
} CHARFORMAT2W;

} // extern "C"

static_assert(sizeof(CHARFORMATW) == 92 && sizeof(CHARFORMAT2W) == 116);
static_assert(offsetof(CHARFORMAT2W, crBackColor) == 96);
