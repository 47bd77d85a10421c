// tests/tags/TagTestSupport.h: building ID3v2 tags and containers byte by byte for the tag tests.
#pragma once
#include "rtl/Streams.h"
#include "tags/SafeFile.h"
#include "tests/support/Peers.h"
#include "tests/support/TempDir.h"

#include <QString>

#include <sys/stat.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace tagtest {

using Bytes = std::vector<uint8_t>;

inline Bytes B(std::initializer_list<int> Values)
{
    Bytes b;
    for (int v : Values) b.push_back(uint8_t(v));
    return b;
}

inline Bytes S(const std::string& Text) { return Bytes(Text.begin(), Text.end()); }

inline Bytes Cat(std::initializer_list<Bytes> Parts)
{
    Bytes out;
    for (const auto& p : Parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

inline Bytes Synchsafe(uint32_t v) { return B({int((v >> 21) & 0x7F), int((v >> 14) & 0x7F), int((v >> 7) & 0x7F), int(v & 0x7F)}); }
inline Bytes BE32(uint32_t v) { return B({int(v >> 24), int((v >> 16) & 0xFF), int((v >> 8) & 0xFF), int(v & 0xFF)}); }
inline Bytes LE32(uint32_t v) { return B({int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF), int(v >> 24)}); }
inline Bytes LE16(uint16_t v) { return B({v & 0xFF, v >> 8}); }
inline Bytes BE16(uint16_t v) { return B({v >> 8, v & 0xFF}); }
inline Bytes LE64(uint64_t v) { return Cat({LE32(uint32_t(v)), LE32(uint32_t(v >> 32))}); }
inline Bytes BE64(uint64_t v) { return Cat({BE32(uint32_t(v >> 32)), BE32(uint32_t(v))}); }

inline Bytes Frame3(const std::string& Id, const Bytes& Data, int Status = 0, int Format = 0)
{
    return Cat({S(Id), BE32(uint32_t(Data.size())), B({Status, Format}), Data});
}

inline Bytes Frame4(const std::string& Id, const Bytes& Data, int Status = 0, int Format = 0)
{
    return Cat({S(Id), Synchsafe(uint32_t(Data.size())), B({Status, Format}), Data});
}

inline Bytes Frame2(const std::string& Id, const Bytes& Data)
{
    const auto n = uint32_t(Data.size());
    return Cat({S(Id), B({int(n >> 16), int((n >> 8) & 0xFF), int(n & 0xFF)}), Data});
}

inline Bytes Tag(int Version, int Flags, const Bytes& Body, int Padding = 0)
{
    return Cat({S("ID3"), B({Version, 0, Flags}), Synchsafe(uint32_t(Body.size() + Padding)), Body, Bytes(size_t(Padding), 0)});
}

inline void Fill(rtl::TMemoryStream& Stream, const Bytes& Data)
{
    Stream.Clear();
    if (!Data.empty()) Stream.WriteBuffer(Data.data(), int64_t(Data.size()));
    Stream.SetPosition(0);
}

inline Bytes Contents(rtl::TCustomMemoryStream& Stream)
{
    const auto* p = static_cast<const uint8_t*>(Stream.Memory());
    return Bytes(p, p + Stream.Size());
}

// Containers: chunks with their pad bytes, RIFF and FORM files, DSF files.
inline Bytes Riff(const std::string& Form, const Bytes& Chunks) { return Cat({S("RIFF"), LE32(uint32_t(Chunks.size() + 4)), S(Form), Chunks}); }
inline Bytes ChunkLE(const std::string& Id, const Bytes& Data)
{
    return Cat({S(Id), LE32(uint32_t(Data.size())), Data, Data.size() % 2 ? B({0}) : Bytes{}});
}
inline Bytes ChunkBE(const std::string& Id, const Bytes& Data)
{
    return Cat({S(Id), BE32(uint32_t(Data.size())), Data, Data.size() % 2 ? B({0}) : Bytes{}});
}
inline Bytes Form(const std::string& Type, const Bytes& Chunks)
{
    return Cat({S("FORM"), BE32(uint32_t(Chunks.size() + 4)), S(Type), Chunks});
}
inline Bytes Chunk64(const std::string& Id, const Bytes& Data)
{
    return Cat({S(Id), BE64(Data.size()), Data, Data.size() % 2 ? B({0}) : Bytes{}});
}

inline Bytes Dsf(uint64_t MetadataPointer, const Bytes& Tail)
{
    const Bytes fmt = Cat({S("fmt "), LE64(52), LE32(1), LE32(0), LE32(2), LE32(2), LE32(2822400), LE32(1),
                           LE64(28224000), LE32(4096), LE32(0)});
    return Cat({S("DSD "), LE64(28), LE64(0), LE64(MetadataPointer), fmt, Tail});
}


// The whole file as bytes; a file of these bytes in a test folder.
inline Bytes FileBytes(const QString& Path)
{
    const QByteArray b = testing_support::ReadFileBytes(Path);
    return Bytes(b.begin(), b.end());
}

inline QString WriteFile(const testing_support::TempDir& Dir, const QString& Name, const Bytes& Data)
{
    return Dir.Write(Name, QByteArray(reinterpret_cast<const char*>(Data.data()), qsizetype(Data.size())));
}

// The file's inode: the same after a write in place, another after a replacement.
inline ino_t Inode(const QString& File)
{
    struct stat st {};
    return ::stat(File.toLocal8Bit().constData(), &st) == 0 ? st.st_ino : 0;
}

// Where the committed fixtures are.
inline QString FixturePath(const QString& Name)
{
    const QByteArray root = qgetenv("TW_SOURCE_DIR");
    return (root.isEmpty() ? QStringLiteral(".") : QString::fromLocal8Bit(root)) + QStringLiteral("/tests/tags/fixtures/") + Name;
}

// The md5 of the decoded audio, which a tag save must leave as it was (ffmpeg, the caller checks for it).
inline QByteArray DecodedAudioMd5(const QString& File)
{
    const auto run = testing_support::RunProgram(QStringLiteral("ffmpeg"),
        {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-i"), File, QStringLiteral("-map"),
         QStringLiteral("0:a"), QStringLiteral("-f"), QStringLiteral("md5"), QStringLiteral("-")});
    EXPECT_TRUE(run.Ok()) << run.Describe();
    return run.Out.trimmed();
}

// The fault hook is process-wide: every test that sets it clears it again.
struct TFaultGuard {
    explicit TFaultGuard(tags::TFileStep Failing)
    {
        tags::SetFileFaultHook([Failing](tags::TFileStep Step) { return Step == Failing; });
    }
    ~TFaultGuard() { tags::SetFileFaultHook(nullptr); }
};

} // namespace tagtest
