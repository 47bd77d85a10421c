// app/engine/FFprobe.h: the probing tool's report of a file (format, streams, chapters) as ordered
// key-value lists, read from its INI print format; and the chapters alone into a TVideoFileInfo.
#pragma once
#include <memory>
#include <utility>
#include <vector>

#include "app/engine/Types.h"
#include "rtl/Classes.h"

namespace engine {

// One "key=value" line of the report, and the lines of one section in the tool's order.
using TFFKeyValue = std::pair<String, String>;
using TFFKeyValueList = std::vector<TFFKeyValue>;

enum TFFStreamType : uint8_t { ffstUnknown, ffstAudio, ffstVideo, ffstSubtitle };

class TFFFormat {
public:
    // Refills both lists from the report text (sections "format" and "format.tags").
    void ParseIniString(const String& Text);
    String AsText(const String& Sep) const;
    void ClearAll();

    TFFKeyValueList FFormatInfo;
    TFFKeyValueList FFormatTags;
};

class TFFStream {
public:
    String AsText(const String& Sep) const;

    TFFKeyValueList FStreamInfo;
    TFFKeyValueList FStreamDisposition;
    TFFKeyValueList FStreamTags;
    TFFStreamType FStreamType = ffstUnknown;
};

class TFFStreams {
public:
    // Appends the sections "streams.stream.0", ".1", ... up to the first missing one (at most 201).
    void ParseIniString(const String& Text);
    String AsText(const String& Sep) const;
    void ClearAll() { FItems.clear(); }

    std::vector<std::unique_ptr<TFFStream>> FItems;
};

class TFFChapter {
public:
    String AsText(const String& Sep) const;

    TFFKeyValueList FChapterInfo;
    TFFKeyValueList FChapterTags;
};

class TFFChapters {
public:
    // Appends the sections "chapters.chapter.0", ".1", ... up to the first missing one (at most 201).
    void ParseIniString(const String& Text);
    String AsText(const String& Sep) const;
    void ClearAll() { FItems.clear(); }

    std::vector<std::unique_ptr<TFFChapter>> FItems;
};

class TFFProbe {
public:
    TFFProbe() = default;
    TFFProbe(const TFFProbe&) = delete;
    TFFProbe& operator=(const TFFProbe&) = delete;

    // Empties the three parts and the file name.
    void ClearAll();
    // Runs the tool once per enabled part (format, streams, chapters) and reads its output. False, with
    // an empty report, when the file or the tool does not exist; the tool's exit code is not judged.
    // A runner failure raises rtl::EOSError.
    bool ReadFile(const String& FFProbeExe, const String& FileName);
    // The whole report, every line ended by CR LF, nested parts indented by Sep.
    String AsText(const String& Sep) const;

    bool ReadFormatInfo() const { return FReadFormatInfo; }
    void SetReadFormatInfo(bool Value) { FReadFormatInfo = Value; }
    bool ReadStreamsInfo() const { return FReadStreamsInfo; }
    void SetReadStreamsInfo(bool Value) { FReadStreamsInfo = Value; }
    bool ReadChapters() const { return FReadChapters; }
    void SetReadChapters(bool Value) { FReadChapters = Value; }

    const TFFFormat& Format() const { return FFormat; }
    const TFFStreams& Streams() const { return FStreams; }
    const TFFChapters& Chapters() const { return FChapters; }
    const String& FileName() const { return FFileName; }

private:
    bool FReadFormatInfo = true;
    bool FReadStreamsInfo = true;
    bool FReadChapters = true;
    TFFFormat FFormat;
    TFFStreams FStreams;
    TFFChapters FChapters;
    String FFileName;
};

// Removes from the captured output what is not part of the report: the tool's own messages (blank or
// indented lines, "Input #..." lines, "[...] message" lines) and lines that are neither a section
// header nor hold "=".
void FilterFFprobeIniOutput(rtl::TStrings* Lines);

// Undoes the tool's INI escapes in one left-to-right pass: "\\" a backslash, "\n" and "\r" a line
// break (CR LF), "\t", "\b", "\f" those controls, "\x00HH" the control character HH, and a backslash
// before ':', '=', '#', ';', '\'', '"' or '?' that character. Anything else stays as it is.
String UnescapeFFprobeIniValue(const String& Text);

// Reads the file's chapters into Info.Chapters (slot N for chapter N, at most 256) and adds them to
// Info.ChapterCount. Nothing happens when the file or the tool does not exist. A runner failure raises
// rtl::EOSError.
void GetMediaChapters(const String& FileName, const String& FFProbeExe, TVideoFileInfo& Info);

} // namespace engine
