#include "app/engine/ToolsReport.h"

#include <QDir>
#include <algorithm>
#include <zlib.h>

#include "app/engine/Procs.h"
#include "base/HashCRC32.h"
#include "base/PeFile.h"
#include "base/SHA1.h"
#include "base/Strings.h"
#include "base/VersionInfo.h"
#include "rtl/Files.h"
#include "rtl/Streams.h"

namespace engine {

namespace {

const String CRLF = QStringLiteral("\r\n");

struct TChecksums {
    bool Ok = false;
    uint32_t Crc = 0;
    String Sha1;
};

// Both checksums in one pass over the file; the hashes dominate the report's time.
TChecksums ReadChecksums(const String& FileName) {
    TChecksums R;
    try {
        rtl::TFileStream S(FileName, rtl::fmOpenRead | rtl::fmShareDenyWrite);
        base::THashContext Ctx;
        base::SHA1Init(Ctx);
        std::vector<uint8_t> Buf(1 << 20);
        uLong Crc = crc32(0, nullptr, 0);
        for (;;) {
            int64_t N = S.Read(Buf.data(), int64_t(Buf.size()));
            if (N <= 0) break;
            Crc = base::CRC32Update(uint32_t(Crc), Buf.data(), size_t(N));
            base::SHA1Update(Ctx, Buf.data(), size_t(N));
        }
        base::TSHA1Digest D;
        base::SHA1Final(Ctx, D);
        R.Crc = uint32_t(Crc);
        R.Sha1 = QByteArray(reinterpret_cast<const char*>(D), 20).toHex();
        R.Ok = true;
    } catch (const std::exception&) {
        // An unreadable file gets no checksum lines.
    }
    return R;
}

} // namespace

String GetFileInfoText(const String& FileName, int LabelWidth) {
    if (!rtl::FileExists(FileName)) return {};
    QStringList Lines;
    auto Label = [&](const char* Text) { return String::fromLatin1(Text).rightJustified(LabelWidth, u' '); };
    auto Add = [&](const char* L, const String& Value) { Lines << Label(L) + u' ' + Value; };

    base::TPeFile Pe;
    Pe.SetFileName(FileName);
    try {
        Pe.ReadFileInfo();
    } catch (const std::exception&) {
    }
    const int64_t Size = Pe.FFileSize;
    Add("File name:", FileName);
    Add("File size:", base::GroupDigits(Size, u' ') + " bytes (" + base::FormatFileSizeText(Size, " bytes").trimmed() +
                          ")");
    const TChecksums Sums = ReadChecksums(FileName);
    if (Sums.Ok) {
        Lines << Label("File CRC32:") + " $" + QString::number(Sums.Crc, 16).toUpper().rightJustified(8, u'0');
        Add("File SHA-1:", Sums.Sha1);
    }
    if (Pe.FIsValidPeFile) Add("Binary type:", QString::number(Pe.FBits) + "-bit " + Pe.FInfoStr);
    base::TKwVersionInfo Ver;
    Ver.SetFileName(FileName);
    if (Ver.HaveInfo()) {
        Add("Product version:", Ver.ProductVersion());
        Add("File version:", Ver.FileVersion());
        Add("File description:", Ver.FileDescription());
    }
    return Lines.join(CRLF);
}

String GetToolsInfoText(int LabelWidth) {
    const String Ffmpeg = GetFFmpegExe(AppParams);
    const String Ffplay = GetFFplayExe(AppParams);
    const String Ffprobe = GetFFprobeExe(AppParams);
    const String MediaInfo = GetMediaInfoDll(AppParams);
    const String Sep = CRLF + String(83, u'-');
    auto Report = [&](const String& F) { return F.isEmpty() ? String() : GetFileInfoText(F, LabelWidth); };

    String Text = "FFmpeg" + CRLF + Report(Ffmpeg) + Sep;
    Text += CRLF + "FFplay" + CRLF + Report(Ffplay) + Sep;
    Text += CRLF + "FFprobe" + CRLF + Report(Ffprobe) + Sep;
    Text += CRLF + "MediaInfo" + CRLF + Report(MediaInfo) + Sep;

    const String Dir = Ffmpeg.isEmpty() ? String() : rtl::ExtractFileDir(Ffmpeg);
    if (!Dir.isEmpty() && rtl::DirectoryExists(Dir)) {
        Text += CRLF + "FFMPEG LIBRARIES" + CRLF;
        for (const char* Mask : {"av*.dll", "sw*.dll", "post*.dll"}) {
            QStringList Files;
            for (const QString& N : QDir(Dir).entryList({QString::fromLatin1(Mask)}, QDir::Files))
                Files << Dir + u'/' + N;
            std::sort(Files.begin(), Files.end());
            for (const QString& F : Files) Text += CRLF + GetFileInfoText(F, LabelWidth) + Sep;
        }
    }
    return Text;
}

} // namespace engine
