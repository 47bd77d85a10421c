// app/engine/OutputNames.h: the output file of each row of a conversion run: its folder (command-line
// options or the output-folder mode), chapter names, and what happens when the file exists already.
#pragma once
#include <QHash>
#include <QSet>

#include <functional>
#include <set>
#include <utility>

#include "app/engine/EncoderPanel.h"
#include "app/engine/Types.h"

namespace engine {

// The name itself when nothing is there; otherwise the first free "name" + Separator + counter (padded with
// "0" to Width digits) + extension, for counters 1 to 100000; empty text when all are taken. Taken, when
// given, is asked in place of the file-existence test.
String GetUniqueFileName(const String& FileName, const String& Separator, int Width,
                         const std::function<bool(const String&)>& Taken = {});
// The same from counter First on; Used receives the counter of the name returned (0: the name itself).
String GetUniqueFileName(const String& FileName, const String& Separator, int Width,
                         const std::function<bool(const String&)>& Taken, int First, int* Used);

// Linux refuses a file name over 255 bytes: the stem of the last path part is cut at a character
// boundary so that stem + Reserve + extension fit (Reserve: room kept for a counter suffix).
constexpr int MaxNameBytes = 255;
String FitFileNameLength(const String& FileName, int ReserveBytes = 0);

// The absolute path with links and "." / ".." resolved as far as the path exists; the missing rest is
// kept as given.
String CanonicalFileName(const String& FileName);
// Both names lead to one file: the same device and inode when both exist, else the same canonical path.
bool IsSameFile(const String& A, const String& B);

// What the naming shows outside itself. Empty members do nothing.
struct TOutputNameHooks {
    // The existing-file rule skipped the row: the progress window shows Status and FileName, and the
    // row's status cell shows Status when ShowInRow (not while a batch script is written).
    std::function<void(const String& Status, const String& FileName, bool ShowInRow)> OnSkip;
    // The output folder of an unattended run cannot be created: show Message and close the main window.
    std::function<void(const String& Message)> OnFolderError;
};

// The naming of one conversion run. It remembers every name it handed out, so that the run never
// overwrites a file it wrote itself (several rows with one -OUTFILE name, or two rows of one name).
class TOutputNamer {
public:
    TOutputNamer(const TEncoderPanel& Panel, const TRunParams& RunParams, bool bSaveAsBatch)
        : FPanel(Panel), FRunParams(RunParams), FSaveAsBatch(bSaveAsBatch) {}

    TOutputNameHooks Hooks;

    // The output path for the row. Ext is the output extension with its dot; bChapter: a chapter row.
    // Empty text after a folder failure (sErr then holds the message). sStatus receives the row's
    // status text when the file existed (left alone otherwise); sErr "skip" when the row is skipped.
    String GetOutputFileName(const TFileRowInfo& Row, const String& Ext, bool bChapter, String& sStatus, String& sErr);

    // The run writes this file (GetOutputFileName claims what it returns, unless skipped).
    void Claim(const String& FileName);
    bool Claimed(const String& FileName) const;

private:
    String UniqueName(const String& FileName);

    const TEncoderPanel& FPanel;
    const TRunParams& FRunParams;
    bool FSaveAsBatch;
    // Names given out, kept so that each test is a lookup: naming stays linear in the rows.
    QSet<String> FClaimed;                             // canonical names
    std::set<std::pair<uint64_t, uint64_t>> FClaimedIds; // device and inode of those that existed
    QHash<String, int> FNextCounter;                   // per name: the counter after the last one given
};

} // namespace engine
