// app/shell/CmdLine.h: the command-line options (tool paths, the unattended run, overwrite rule, output
// folder and file, silence, profile) and file arguments, and the plain file list they fill until the
// main window's grid takes them.
#pragma once
#include <QStringList>

#include <functional>

#include "app/engine/Conversion.h"
#include "app/engine/Types.h"

namespace shell {

using rtl::String;

// What file arguments and -PROFILE= lead to in the main window.
struct TRunParamsActions {
    std::function<void(const String& FileName)> AddToList;    // AddToList(file, true)
    std::function<void(const String& LstFile)> LoadFileList;  // a ".lst" argument
    std::function<void()> SetDefaultEncoderSettings;          // -PROFILE=default
    std::function<void(const String& ProfileFile)> LoadProfile;
    // An argument that is no option and names no file (ignored; an unattended run says so).
    std::function<void(const String& Argument)> NotFound;
};

// Reads the arguments (without the program itself) in order into Params and its RunParams; options are
// case-insensitive, values keep their case and lose every double quote; unknown options and arguments
// that name no existing file are ignored without a word.
void ParseRunParams(const QStringList& Args, engine::TAppParams& Params, const TRunParamsActions& Actions);
// The process's own arguments (1 to N).
QStringList ProcessArgs();

// ---- the file list without a grid ------------------------------------------------------------------

// Adds a file row (and, with chapter splitting, one checked row per chapter under an unchecked file
// row, at most 256) when the extension is accepted, the file exists and it is not listed yet.
// Returns the rows added.
int AddToList(engine::TFileRows& Rows, const String& FileName, bool Checked, engine::TAppParams& Params);
// Every line of a file list as a path; a BOM decides the encoding, else UTF-8 when valid, else
// Windows-1252. Raises rtl::EFOpenError when the list cannot be read.
void LoadFileList(engine::TFileRows& Rows, const String& LstFile, engine::TAppParams& Params);
// The non-blank lines of a file list; a BOM decides the encoding, else UTF-8 when valid, else
// Windows-1252. Raises rtl::EFOpenError when the list cannot be read.
QStringList ReadFileListLines(const String& LstFile);
// A line of a file list as the path it names: one trailing "." and then one trailing delimiter are
// removed from its folder part.
String FileListLinePath(const String& Line);

} // namespace shell
