// base/FileSearch.h: a breadth-first file search with a depth limit and callbacks that can stop it.
#pragma once
#include <functional>

#include "rtl/Classes.h"
#include "rtl/Files.h"

namespace base {

using rtl::String;

// Each returns true to go on, false to stop.
using TOnDirFound = std::function<bool(int DirCount, const String& Dir)>;
using TOnFileFound = std::function<bool(int DirCount, int FileCount, int DirIndex, const String& FileName)>;
using TOnEntry = std::function<bool(int Count)>;

// POSIX paths have no long-path prefix: both return Path unchanged.
String AddLongPathPrefix(const String& Path);
String RemoveLongPathPrefix(const String& Path);

bool AcceptFileEntry(const rtl::TSearchRec& Entry, bool AcceptSymLinks);
bool AcceptDirEntry(const rtl::TSearchRec& Entry, bool AcceptSymLinks);

// Adds Dir + "/" + name for every file of Dir that matches Mask (Windows wildcard rules), in the
// order the file system gives them.
void CollectFiles(const String& Mask, const String& Dir, rtl::TStrings* List, bool AcceptSymLinks);
// Pattern is a folder followed by "/*"; adds its subfolders to List (not cleared). OnEntry sees every
// entry, "." and ".." included, and stops this enumeration by returning false.
void CollectSubDirs(const String& Pattern, rtl::TStrings* List, bool AcceptSymLinks, const TOnEntry& OnEntry);

// Appends to Results the files matching FileMask in StartDir and its subfolders down to RecurseDepth
// levels (0: StartDir only), folder by folder in sorted folder order. A folder that is already on the
// way from StartDir (a link loop) is not entered again.
void SearchFiles(const String& FileMask, const String& StartDir, rtl::TStrings* Results, int RecurseDepth,
                 bool AcceptDirSymLinks, bool AcceptFileSymLinks, const TOnDirFound& OnDirFound = {},
                 const TOnFileFound& OnFileFound = {}, const TOnEntry& OnEntry = {});

} // namespace base
