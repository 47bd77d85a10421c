// app/engine/Procs.h: routines the engine and the windows share: the application parameters and the
// location of the external tools, folder list files, and small helpers.
#pragma once
#include <QByteArray>
#include <QStringList>

#include "app/engine/Types.h"

namespace engine {

// ---- application parameters and tool location ------------------------------------------------------

// The folder of the executable, without a trailing '/'. Tests may point it elsewhere.
String GetProgramDir();
void SetProgramDirOverride(const String& Dir); // empty: the real folder again

// Folders searched for the analysis library after everything else (the system library path).
extern QStringList SystemLibraryPath;

void InitAppParams(TAppParams& Params);

// Each locator tries the configured path, then the program's own tools folder, then descriptor
// files beside the program folder, then the PATH (programs) or the system library path (library).
// The result, or empty text, is stored back into the field and returned.
String GetFFmpegExe(TAppParams& Params);
String GetFFplayExe(TAppParams& Params);
String GetFFprobeExe(TAppParams& Params);
String GetMediaInfoDll(TAppParams& Params);
// A tool whose descriptor search found nothing is not searched for again in this run (the configured
// path, the tools folder and the PATH are still tried every time); this forgets those results.
void ForgetMissingTools();

// A tool found through its descriptor (".ver" file: section MAIN, keys tool, bits, ver) in
// <parent of ProgramFolder>/_common, then in the parent itself, three folder levels deep. Empty when
// nothing matches or Tool is none of ffmpeg, ffplay, ffprobe, MediaInfo.
String FindToolByVerFile(const String& ProgramFolder, const String& Tool, const String& Bits,
                         const String& Ver);
// One folder tree: the first descriptor named VerFileName whose three keys equal Tool, Bits and Ver
// (upper case) gives the first of FileNames that exists beside it; a matching descriptor without its
// file ends the search with empty text.
String SearchToolVerFiles(const String& Dir, int Depth, const String& VerFileName, const String& Tool,
                          const String& Bits, const String& Ver, const QStringList& FileNames);

// ---- folder list files ---------------------------------------------------------------------------------

int AddListFileItem(bool Active, const String& Value, TListFileArray& List);
void ClearListFileArray(TListFileArray& List);
// Appends the file's entries; nothing when the file does not exist.
void LoadListFile(const String& FileName, TListFileArray& List, bool RemoveTrailingDelimiter);
// Writes UTF-8 with a BOM and CR LF line ends, replacing the file through a temporary one; false when
// that fails (nothing is raised, and an existing file is then left as it was).
bool SaveListFile(const String& FileName, const TListFileArray& List, bool WriteEncodingLine,
                  const String& Comment, bool RemoveTrailingDelimiter);
// Of several entries naming one folder the last survives; lists over 1000 entries are left alone.
void RemoveDuplicateDirs(TListFileArray& List, bool IgnoreCase);

// ---- helpers ---------------------------------------------------------------------------------------------

// The first word of a visual-style name ("Windows10 Blue" gives "Windows10", "Tablet.Dark" "Tablet").
String GetStyleNameToken(const String& StyleName);
// Whether a style name means the system's own look: "Windows" (any letter case), or no name.
bool IsSystemStyleName(const String& StyleName);
// One byte per character in the OEM code page: ASCII stays, anything else becomes '?'.
QByteArray StrToOem(const String& Text);
bool HasLeadingDigits(const String& Text);
bool IsSupportedInputExt(const String& Ext); // WEBM, MP4, FLV, 3GP, with or without the dot, any case

struct TFileTimes {
    rtl::TDateTime CreationTime = 0;
    rtl::TDateTime LastAccessTime = 0;
    rtl::TDateTime LastWriteTime = 0;
};
// Each time separately; a failure of one is swallowed and the others are still handled. Always true.
bool GetFileTimes(const String& FileName, TFileTimes& Times);
bool SetFileTimes(const String& FileName, const TFileTimes& Times);

void ClearGridInfo(TGridInfo& Info);

} // namespace engine
