// win/kernel32/winnls.h: code pages, case mapping, collation and locale settings of the Win32 stand-in.
//
// The ANSI code page is Windows-1252 and the OEM code page 437. Conversions to a single-byte page map
// only the characters the page holds: anything else becomes the default character (no "best fit",
// which would turn look-alike letters into path separators or quotes behind the caller's back).
#pragma once

#include "win/windef.h"

extern "C" {

#define CP_ACP 0
#define CP_OEMCP 1
#define CP_MACCP 2
#define CP_THREAD_ACP 3
#define CP_UTF7 65000
#define CP_UTF8 65001

#define MB_PRECOMPOSED 0x00000001
#define MB_COMPOSITE 0x00000002
#define MB_USEGLYPHCHARS 0x00000004
#define MB_ERR_INVALID_CHARS 0x00000008

#define WC_COMPOSITECHECK 0x00000200
#define WC_DISCARDNS 0x00000010
#define WC_SEPCHARS 0x00000020
#define WC_DEFAULTCHAR 0x00000040
#define WC_ERR_INVALID_CHARS 0x00000080
#define WC_NO_BEST_FIT_CHARS 0x00000400

#define ERROR_INVALID_FLAGS 1004L
#define ERROR_NO_UNICODE_TRANSLATION 1113L

#define MAX_LEADBYTES 12
#define MAX_DEFAULTCHAR 2

typedef DWORD LCID;
typedef DWORD LCTYPE;
typedef WORD LANGID;

typedef struct _cpinfo {
    UINT MaxCharSize;
    BYTE DefaultChar[MAX_DEFAULTCHAR];
    BYTE LeadByte[MAX_LEADBYTES];
} CPINFO, *LPCPINFO;

typedef struct _cpinfoexW {
    UINT MaxCharSize;
    BYTE DefaultChar[MAX_DEFAULTCHAR];
    BYTE LeadByte[MAX_LEADBYTES];
    WCHAR UnicodeDefaultChar;
    UINT CodePage;
    WCHAR CodePageName[260];
} CPINFOEXW, *LPCPINFOEXW;

// Code pages known here: 1252 (CP_ACP), 437 (CP_OEMCP), 20127 (ASCII), 28591 (Latin-1), 65001 (UTF-8).
UINT WINAPI GetACP(void);
UINT WINAPI GetOEMCP(void);
BOOL WINAPI IsValidCodePage(UINT CodePage);
BOOL WINAPI GetCPInfo(UINT CodePage, LPCPINFO lpCPInfo);
BOOL WINAPI GetCPInfoExW(UINT CodePage, DWORD dwFlags, LPCPINFOEXW lpCPInfoEx);
// No double-byte page is known, so no byte leads one.
BOOL WINAPI IsDBCSLeadByte(BYTE TestChar);
BOOL WINAPI IsDBCSLeadByteEx(UINT CodePage, BYTE TestChar);

// The Windows contract: a length of -1 converts up to and including the terminator; an output size of
// 0 asks for the size needed; a buffer too small fails with ERROR_INSUFFICIENT_BUFFER. Invalid UTF-8
// becomes U+FFFD for each maximal invalid part (as Unicode recommends), or fails with
// ERROR_NO_UNICODE_TRANSLATION under MB_ERR_INVALID_CHARS. The five bytes 1252 leaves undefined
// decode to the C1 controls of the same value.
int WINAPI MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCSTR lpMultiByteStr, int cbMultiByte,
                               LPWSTR lpWideCharStr, int cchWideChar);
// For UTF-8 lpDefaultChar and lpUsedDefaultChar must be null; a lone surrogate becomes U+FFFD, or fails
// under WC_ERR_INVALID_CHARS. For a single-byte page an unmappable character (or a surrogate pair)
// becomes one default character ("?" unless lpDefaultChar gives another) and sets *lpUsedDefaultChar.
int WINAPI WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWSTR lpWideCharStr, int cchWideChar,
                               LPSTR lpMultiByteStr, int cbMultiByte, LPCSTR lpDefaultChar,
                               LPBOOL lpUsedDefaultChar);

// user32's text helpers. CharToOemW writes the OEM page (437) into a byte buffer; source and
// destination may be the same buffer only for the ANSI variant, which is not provided.
BOOL WINAPI CharToOemW(LPCWSTR pSrc, LPSTR pDst);
BOOL WINAPI CharToOemBuffW(LPCWSTR lpszSrc, LPSTR lpszDst, DWORD cchDstLength);
DWORD WINAPI CharUpperBuffW(LPWSTR lpsz, DWORD cchLength);
DWORD WINAPI CharLowerBuffW(LPWSTR lpsz, DWORD cchLength);
// A pointer whose high bits are zero carries one character in its low word and returns it converted.
LPWSTR WINAPI CharUpperW(LPWSTR lpsz);
LPWSTR WINAPI CharLowerW(LPWSTR lpsz);

// ---- locales ---------------------------------------------------------------------------------------

#define LANG_NEUTRAL 0x00
#define LANG_ENGLISH 0x09
#define SUBLANG_DEFAULT 0x01
#define MAKELANGID(p, s) ((((WORD)(s)) << 10) | (WORD)(p))
#define PRIMARYLANGID(lgid) ((WORD)(lgid)&0x3ff)
#define SUBLANGID(lgid) ((WORD)(lgid) >> 10)
#define MAKELCID(lgid, srtid) ((DWORD)((((DWORD)((WORD)(srtid))) << 16) | ((DWORD)((WORD)(lgid)))))
#define LANGIDFROMLCID(lcid) ((WORD)(lcid))

#define LOCALE_SYSTEM_DEFAULT 0x0800
#define LOCALE_USER_DEFAULT 0x0400
#define LOCALE_INVARIANT 0x007f

#define LOCALE_NOUSEROVERRIDE 0x80000000
#define LOCALE_RETURN_NUMBER 0x20000000
#define LOCALE_ILANGUAGE 0x00000001
#define LOCALE_SENGLANGUAGE 0x00001001
#define LOCALE_SLIST 0x0000000C
#define LOCALE_SDECIMAL 0x0000000E
#define LOCALE_STHOUSAND 0x0000000F
#define LOCALE_SCURRENCY 0x00000014
#define LOCALE_SDATE 0x0000001D
#define LOCALE_STIME 0x0000001E
#define LOCALE_SSHORTDATE 0x0000001F
#define LOCALE_SLONGDATE 0x00000020
#define LOCALE_S1159 0x00000028
#define LOCALE_S2359 0x00000029
#define LOCALE_STIMEFORMAT 0x00001003
#define LOCALE_IDEFAULTANSICODEPAGE 0x00001004
#define LOCALE_IDEFAULTCODEPAGE 0x0000000B

// Flags of CompareStringW and LCMapStringW.
#define NORM_IGNORECASE 0x00000001
#define NORM_IGNORENONSPACE 0x00000002
#define NORM_IGNORESYMBOLS 0x00000004
#define SORT_STRINGSORT 0x00001000
#define LINGUISTIC_IGNORECASE 0x00000010
#define LCMAP_LOWERCASE 0x00000100
#define LCMAP_UPPERCASE 0x00000200

#define CSTR_LESS_THAN 1
#define CSTR_EQUAL 2
#define CSTR_GREATER_THAN 3

// The language of the process's locale (LC_ALL, LC_MESSAGES, LANG), as a Windows LCID: 0x0409 for
// English and for a locale without a language ("C", "POSIX").
LCID WINAPI GetThreadLocale(void);
LCID WINAPI GetUserDefaultLCID(void);
LANGID WINAPI GetUserDefaultUILanguage(void);
// The number and date settings of the process's locale.
int WINAPI GetLocaleInfoW(LCID Locale, LCTYPE LCType, LPWSTR lpLCData, int cchData);
// One collation for every locale: Unicode's, with NORM_IGNORECASE comparing without case.
int WINAPI CompareStringW(LCID Locale, DWORD dwCmpFlags, PCWSTR lpString1, int cchCount1, PCWSTR lpString2,
                          int cchCount2);
// LCMAP_UPPERCASE or LCMAP_LOWERCASE only.
int WINAPI LCMapStringW(LCID Locale, DWORD dwMapFlags, LPCWSTR lpSrcStr, int cchSrc, LPWSTR lpDestStr,
                        int cchDest);

// The English name of a language with its country, as "English (United States)"; "Language Neutral"
// for 0 and for identifiers not known here. The length written without the terminator (cut to fit).
DWORD WINAPI VerLanguageNameW(DWORD wLang, LPWSTR szLang, DWORD cchLang);

// The command line of the process: its arguments joined and quoted by the Windows rules, so that
// splitting it gives them back. The text stays valid for the life of the process.
LPWSTR WINAPI GetCommandLineW(void);

} // extern "C"
