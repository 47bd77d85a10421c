// The metadata editor against files ffmpeg makes, with mutagen, ffprobe and exiftool reading ours.
#include "win/kernel32/modules.h"
#include "win/wmvcore/wmsdk.h"

#include "tests/support/Peers.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

using testing_support::RunProgram;

typedef HRESULT (*CreateEditorFn)(IWMMetadataEditor**);

struct Attr {
    WMT_ATTR_DATATYPE type;
    std::vector<BYTE> value;
};

std::u16string W(const QString& s) { return s.toStdU16String(); }
std::vector<BYTE> Text(const std::u16string& s) {
    std::vector<BYTE> v(reinterpret_cast<const BYTE*>(s.c_str()), reinterpret_cast<const BYTE*>(s.c_str() + s.size() + 1));
    return v;
}
std::u16string AsText(const std::vector<BYTE>& v) {
    std::u16string s(v.size() / 2, u'\0');
    std::memcpy(s.data(), v.data(), s.size() * 2);
    while (!s.empty() && s.back() == 0) s.pop_back();
    return s;
}
uint64_t AsInt(const std::vector<BYTE>& v) {
    uint64_t x = 0;
    for (size_t i = v.size(); i-- > 0;) x = x << 8 | v[i];
    return x;
}

// One open editor on a file, through the library's exported factory.
class Session {
public:
    explicit Session(const QString& file) {
        HMODULE lib = LoadLibraryW(u"WMVCORE.DLL");
        EXPECT_NE(lib, nullptr);
        auto create = reinterpret_cast<CreateEditorFn>(reinterpret_cast<void*>(GetProcAddress(lib, "WMCreateEditor")));
        EXPECT_NE(create, nullptr);
        EXPECT_EQ(create(&editor), S_OK);
        openResult = editor->Open(W(file).c_str());
        EXPECT_EQ(editor->QueryInterface(IID_IWMHeaderInfo3, reinterpret_cast<void**>(&info)), S_OK);
    }
    ~Session() {
        info->Release();
        editor->Close();
        editor->Release();
    }
    // Name to value, by the interface's two-step read.
    std::map<std::u16string, Attr> Read() {
        std::map<std::u16string, Attr> out;
        WORD count = 0;
        EXPECT_EQ(info->GetAttributeCountEx(0, &count), S_OK);
        for (WORD i = 0; i < count; ++i) {
            WORD nameLen = 0, lang = 0;
            DWORD len = 0;
            WMT_ATTR_DATATYPE type;
            EXPECT_EQ(info->GetAttributeByIndexEx(0, i, nullptr, &nameLen, &type, &lang, nullptr, &len), S_OK);
            std::u16string name(nameLen, u'\0');
            std::vector<BYTE> value(len);
            EXPECT_EQ(info->GetAttributeByIndexEx(0, i, name.data(), &nameLen, &type, &lang, value.data(), &len), S_OK);
            name.resize(nameLen - 1);
            out[name] = {type, value};
        }
        return out;
    }
    void Add(const std::u16string& name, WMT_ATTR_DATATYPE type, const std::vector<BYTE>& value) {
        WORD index;
        EXPECT_EQ(info->AddAttribute(0, name.c_str(), &index, type, 0, value.data(), DWORD(value.size())), S_OK)
            << QString::fromStdU16String(name).toStdString();
    }
    // What the tag unit does before writing: deletes from the last index down, outcomes ignored.
    void DeleteAll() {
        WORD count = 0;
        info->GetAttributeCountEx(0, &count);
        for (int i = count - 1; i >= 0; --i) info->DeleteAttribute(0, WORD(i));
    }

    IWMMetadataEditor* editor = nullptr;
    IWMHeaderInfo3* info = nullptr;
    HRESULT openResult = E_FAIL;
};

std::vector<BYTE> Picture(const std::u16string& mime, BYTE type, const std::u16string& desc,
                          const std::vector<BYTE>& data) {
    std::vector<BYTE> v(29, 0);
    v[8] = type;
    uint32_t n = uint32_t(data.size());
    std::memcpy(&v[17], &n, 4);
    for (auto& s : {mime, desc}) {
        auto t = Text(s);
        v.insert(v.end(), t.begin(), t.end());
    }
    v.insert(v.end(), data.begin(), data.end());
    return v;
}

// The header's size leads to the data object, and the file properties give the file's size.
void ExpectSizesOfTheFile(const QString& file) {
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    auto le64 = [&](qsizetype at) {
        uint64_t v = 0;
        std::memcpy(&v, bytes.constData() + at, 8);
        return v;
    };
    const QByteArray dataObject("\x36\x26\xB2\x75\x8E\x66\xCF\x11\xA6\xD9\x00\xAA\x00\x62\xCE\x6C", 16);
    const QByteArray fileProperties("\xA1\xDC\xAB\x8C\x47\xA9\xCF\x11\x8E\xE4\x00\xC0\x0C\x20\x53\x65", 16);
    const uint64_t headerSize = le64(16);
    ASSERT_LT(headerSize, uint64_t(bytes.size()));
    EXPECT_EQ(bytes.mid(qsizetype(headerSize), 16), dataObject);
    const qsizetype props = bytes.indexOf(fileProperties);
    ASSERT_GT(props, 0);
    EXPECT_EQ(le64(props + 40), uint64_t(bytes.size()));
}

class EditorTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = new QTemporaryDir;
        for (const char* ext : {"wma", "wmv"}) {
            QStringList args{"-v", "error", "-f", "lavfi", "-i", "sine=frequency=440:duration=1"};
            if (QString(ext) == "wmv") args << "-f" << "lavfi" << "-i" << "testsrc=size=64x48:rate=5:duration=1";
            args << "-metadata" << "title=Ffmpeg Title" << "-metadata" << "artist=Someone" << "-metadata"
                 << "album=An Album" << "-metadata" << "WM/Mood=calm" << dir_->filePath(QString("src.") + ext);
            made_ = made_ + (RunProgram("ffmpeg", args).Ok() ? 1 : 0);
        }
    }
    static void TearDownTestSuite() { delete dir_; }
    void SetUp() override {
        if (made_ != 2) GTEST_SKIP() << "ffmpeg could not make the fixtures";
    }
    // A fresh copy of a fixture for one test.
    QString Copy(const char* ext) {
        QString to = dir_->filePath(QString("%1.%2").arg(::testing::UnitTest::GetInstance()->current_test_info()->name()).arg(ext));
        QFile::remove(to);
        EXPECT_TRUE(QFile::copy(dir_->filePath(QString("src.") + ext), to));
        return to;
    }
    static QByteArray Md5(const QString& file) {
        auto r = RunProgram("ffmpeg", {"-v", "error", "-i", file, "-map", "0", "-f", "md5", "-"});
        EXPECT_TRUE(r.Ok()) << r.Describe();
        return r.Out.trimmed();
    }
    static inline QTemporaryDir* dir_ = nullptr;
    static inline int made_ = 0;
};

TEST_F(EditorTest, ReadsWhatFfmpegWrote) {
    for (const char* ext : {"wma", "wmv"}) {
        const QString file = Copy(ext);
        Session s(file);
        ASSERT_EQ(s.openResult, S_OK);
        auto a = s.Read();
        EXPECT_EQ(AsText(a[u"Title"].value), u"Ffmpeg Title");
        EXPECT_EQ(a[u"Title"].type, WMT_TYPE_STRING);
        EXPECT_EQ(AsText(a[u"Author"].value), u"Someone");
        EXPECT_EQ(AsText(a[u"WM/AlbumTitle"].value), u"An Album");
        EXPECT_EQ(AsText(a[u"WM/Mood"].value), u"calm");
        // One second, in 100-ns units (the preroll taken off).
        ASSERT_EQ(a[u"Duration"].type, WMT_TYPE_QWORD);
        EXPECT_NEAR(double(AsInt(a[u"Duration"].value)), 1e7, 0.15e7) << ext;
        EXPECT_EQ(AsInt(a[u"HasAudio"].value), 1u);
        EXPECT_EQ(AsInt(a[u"HasVideo"].value), QString(ext) == "wmv" ? 1u : 0u);
        EXPECT_EQ(a[u"HasAudio"].value.size(), 4u);
        // What else the header tells, and what it cannot tell (absent).
        for (const char16_t* name : {u"Is_Protected", u"HasImage", u"HasScript", u"HasAttachedImages",
                                     u"HasArbitraryDataStream", u"HasFileTransferStream"}) {
            ASSERT_TRUE(a.count(name)) << QString::fromUtf16(name).toStdString();
            EXPECT_EQ(a[name].type, WMT_TYPE_BOOL);
            EXPECT_EQ(AsInt(a[name].value), 0u) << QString::fromUtf16(name).toStdString();
        }
        for (const char16_t* name : {u"Stridable", u"Is_Trusted", u"Signature_Name", u"CurrentBitrate", u"OptimalBitrate",
                                     u"Can_Skip_Backward", u"Can_Skip_Forward", u"NumberOfFrames", u"WM/ContainerFormat"})
            EXPECT_FALSE(a.count(name)) << QString::fromUtf16(name).toStdString();
        // exiftool reads the same header: the file properties' flags and bit rate, and the stream types.
        if (testing_support::RequireTool("exiftool")) {
            auto r = RunProgram("exiftool", {"-a", "-n", "-s", "-Flags", "-MaxBitrate", "-StreamType", file});
            ASSERT_TRUE(r.Ok()) << r.Describe();
            std::multimap<QString, QString> peer;
            for (const QString& line : QString::fromUtf8(r.Out).split(u'\n', Qt::SkipEmptyParts))
                peer.emplace(line.section(u':', 0, 0).trimmed(), line.section(u':', 1).trimmed());
            const uint64_t flags = peer.find("Flags")->second.toULongLong();
            EXPECT_EQ(AsInt(a[u"Seekable"].value), (flags >> 1) & 1);
            EXPECT_EQ(AsInt(a[u"Broadcast"].value), flags & 1);
            EXPECT_EQ(AsInt(a[u"Bitrate"].value), peer.find("MaxBitrate")->second.toULongLong());
            QStringList types;
            for (auto [it, end] = peer.equal_range("StreamType"); it != end; ++it) types << it->second;
            EXPECT_EQ(AsInt(a[u"HasAudio"].value), types.contains("F8699E40-5B4D-11CF-A8FD-00805F5C442B") ? 1u : 0u);
            EXPECT_EQ(AsInt(a[u"HasVideo"].value), types.contains("BC19EFC0-5B4D-11CF-A8FD-00805F5C442B") ? 1u : 0u);
            EXPECT_EQ(types.size(), QString(ext) == "wmv" ? 2 : 1);
        }

        // The codec list, by the two-step call: the audio codec by name, and a video one in the .wmv.
        std::map<WMT_CODEC_INFO_TYPE, std::u16string> codecs;
        for (DWORD index = 0;; ++index) {
            WORD nameLen = 0, descriptionLen = 0, infoLen = 0;
            WMT_CODEC_INFO_TYPE type = WMT_CODECINFO_UNKNOWN;
            const HRESULT hr = s.info->GetCodecInfo(index, &nameLen, nullptr, &descriptionLen, nullptr, &type, &infoLen,
                                                    nullptr);
            if (hr == E_INVALIDARG) break;
            ASSERT_EQ(hr, S_OK);
            std::u16string name(nameLen, u'x'), description(descriptionLen, u'x');
            WORD tooShort = WORD(nameLen - 1);
            EXPECT_EQ(s.info->GetCodecInfo(index, &tooShort, name.data(), &descriptionLen, description.data(), &type,
                                           &infoLen, nullptr),
                      ASF_E_BUFFERTOOSMALL);
            EXPECT_EQ(tooShort, nameLen);
            ASSERT_EQ(s.info->GetCodecInfo(index, &nameLen, name.data(), &descriptionLen, description.data(), &type,
                                           &infoLen, nullptr),
                      S_OK);
            EXPECT_EQ(name.back(), u'\0');
            name.pop_back();
            codecs[type] = name;
        }
        EXPECT_EQ(QString::fromStdU16String(codecs[WMT_CODECINFO_AUDIO]).left(19), "Windows Media Audio") << ext;
        EXPECT_EQ(codecs.size(), QString(ext) == "wmv" ? 2u : 1u);
    }
}

TEST_F(EditorTest, ReadOnlyAttributesStay) {
    Session s(Copy("wma"));
    ASSERT_EQ(s.openResult, S_OK);
    EXPECT_EQ(s.info->DeleteAttribute(0, 0), NS_E_ATTRIBUTE_READ_ONLY);
    BYTE q[8] = {1};
    WORD index;
    EXPECT_EQ(s.info->AddAttribute(0, u"Duration", &index, WMT_TYPE_QWORD, 0, q, 8), NS_E_ATTRIBUTE_READ_ONLY);
    // A fixed-size type with the wrong length is refused rather than stored cut.
    EXPECT_EQ(s.info->AddAttribute(0, u"WM/TrackNumber", &index, WMT_TYPE_DWORD, 0, q, 2), E_INVALIDARG);
    s.DeleteAll();
    auto a = s.Read();
    EXPECT_TRUE(a.count(u"Duration") && a.count(u"HasAudio"));
    EXPECT_FALSE(a.count(u"Title"));
}

TEST_F(EditorTest, WrittenAttributesReadBackEverywhere) {
    for (const char* ext : {"wma", "wmv"}) {
        QString file = Copy(ext);
        QByteArray before = Md5(file);
        std::vector<BYTE> big(70000);
        for (size_t i = 0; i < big.size(); ++i) big[i] = BYTE(i * 7);
        const BYTE guid[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
        {
            Session s(file);
            ASSERT_EQ(s.openResult, S_OK);
            s.DeleteAll();
            s.Add(u"Title", WMT_TYPE_STRING, Text(u"Ünïcode Title"));
            s.Add(u"Author", WMT_TYPE_STRING, Text(u"Another"));
            s.Add(u"WM/AlbumTitle", WMT_TYPE_STRING, Text(u"New Album"));
            s.Add(u"WM/TrackNumber", WMT_TYPE_DWORD, {7, 0, 0, 0});
            s.Add(u"WM/SharedUserRating", WMT_TYPE_DWORD, {99, 0, 0, 0});
            s.Add(u"IsVBR", WMT_TYPE_BOOL, {1, 0, 0, 0});
            s.Add(u"WM/Track", WMT_TYPE_QWORD, {6, 0, 0, 0, 0, 0, 0, 0});
            s.Add(u"WM/MediaClassPrimaryID", WMT_TYPE_GUID, std::vector<BYTE>(guid, guid + 16));
            s.Add(u"WM/Picture", WMT_TYPE_BINARY, Picture(u"image/png", 3, u"front", big));
            ASSERT_EQ(s.editor->Flush(), S_OK);
        }
        Session s(file);
        ASSERT_EQ(s.openResult, S_OK);
        auto a = s.Read();
        EXPECT_EQ(AsText(a[u"Title"].value), u"Ünïcode Title");
        EXPECT_FALSE(a.count(u"WM/Mood"));
        EXPECT_EQ(a[u"WM/TrackNumber"].type, WMT_TYPE_DWORD);
        EXPECT_EQ(AsInt(a[u"WM/TrackNumber"].value), 7u);
        EXPECT_EQ(a[u"IsVBR"].type, WMT_TYPE_BOOL);
        EXPECT_EQ(a[u"IsVBR"].value, (std::vector<BYTE>{1, 0, 0, 0}));
        EXPECT_EQ(AsInt(a[u"WM/Track"].value), 6u);
        EXPECT_EQ(a[u"WM/MediaClassPrimaryID"].value, std::vector<BYTE>(guid, guid + 16));
        // The picture comes back in the packed head form, its addresses into the caller's buffer.
        const auto& pic = a[u"WM/Picture"].value;
        ASSERT_EQ(pic.size(), 29 + 20u + 12u + big.size());
        EXPECT_EQ(pic[8], 3);
        uint64_t mimeAt, dataAt;
        std::memcpy(&mimeAt, &pic[0], 8);
        std::memcpy(&dataAt, &pic[21], 8);
        EXPECT_EQ(dataAt - mimeAt, 32u);
        EXPECT_TRUE(std::equal(big.begin(), big.end(), pic.end() - big.size()));
        EXPECT_EQ(AsInt(a[u"HasAttachedImages"].value), 1u);

        EXPECT_EQ(Md5(file), before) << ext;
        ExpectSizesOfTheFile(file);
        auto probe = testing_support::FfprobeJson(file);
        EXPECT_EQ(probe["format"]["tags"]["title"].toString(), QString("Ünïcode Title"));
        EXPECT_EQ(probe["format"]["tags"]["album"].toString(), QString("New Album"));

        if (testing_support::RequireTool("/usr/bin/python3", "import mutagen.asf")) {
            auto r = RunProgram("/usr/bin/python3",
                                {"-c", "import sys; from mutagen.asf import ASF; f = ASF(sys.argv[1]); "
                                       "p = f['WM/Picture'][0].value; "
                                       "print(f['Title'][0], f['WM/TrackNumber'][0].value, f['IsVBR'][0].value, "
                                       "len(p), p[0], f['WM/MediaClassPrimaryID'][0].value.hex())",
                                 file});
            ASSERT_TRUE(r.Ok()) << r.Describe();
            EXPECT_EQ(QString::fromUtf8(r.Out).trimmed(),
                      QString("Ünïcode Title 7 True %1 3 0102030405060708090a0b0c0d0e0f10").arg(5 + 20 + 12 + big.size()));
        }
        if (testing_support::RequireTool("exiftool")) {
            auto r = RunProgram("exiftool", {"-s3", "-Title", "-Author", file});
            ASSERT_TRUE(r.Ok()) << r.Describe();
            EXPECT_EQ(QString::fromUtf8(r.Out).trimmed(), QString("Ünïcode Title\nAnother"));
        }
    }
}

TEST_F(EditorTest, UneditedHeaderIsKeptByteForByte) {
    QString file = Copy("wmv");
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    QByteArray before = f.readAll();
    f.close();
    {
        Session s(file);
        ASSERT_EQ(s.openResult, S_OK);
        ASSERT_EQ(s.editor->Flush(), S_OK);
    }
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), before);
}

// Saves written into the file itself: a header that grows gets whole blocks inserted in front of the
// audio, one that shrinks or grows into what an earlier save left keeps the file's size; each time the
// data object and all behind it are the original's bytes, and the attributes read back.
TEST_F(EditorTest, SavesInPlaceKeepEverythingBehindTheHeader) {
    const QString file = Copy("wma");
    auto contents = [&] {
        QFile f(file);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        return f.readAll();
    };
    auto headerSize = [](const QByteArray& b) {
        uint64_t v = 0;
        std::memcpy(&v, b.constData() + 16, 8);
        return qsizetype(v);
    };
    const QByteArray original = contents();
    const QByteArray behind = original.mid(headerSize(original));
    const std::vector<BYTE> picture = Picture(u"image/jpeg", 3, u"", std::vector<BYTE>(5000, 0xAB));
    struct Step {
        const char* what;
        bool withPicture;
        std::u16string title;
        int sizeChange;   // -1 any growth, 0 none
    };
    const Step steps[] = {{"a picture added", true, u"T", -1},
                          {"the picture taken out", false, u"T", 0},
                          {"a longer title in the room left", false, std::u16string(300, u'x'), 0},
                          {"the picture again, into its old room", true, u"T", 0}};
    for (const Step& step : steps) {
        const qsizetype before = contents().size();
        {
            Session s(file);
            ASSERT_EQ(s.openResult, S_OK) << step.what;
            s.DeleteAll();
            s.Add(u"Title", WMT_TYPE_STRING, Text(step.title));
            if (step.withPicture) s.Add(u"WM/Picture", WMT_TYPE_BINARY, picture);
            ASSERT_EQ(s.editor->Flush(), S_OK) << step.what;
        }
        const QByteArray now = contents();
        EXPECT_EQ(now.mid(headerSize(now)), behind) << step.what;
        if (step.sizeChange == 0) EXPECT_EQ(now.size(), before) << step.what;
        else EXPECT_GT(now.size(), before) << step.what;
        ExpectSizesOfTheFile(file);
        Session back(file);
        auto a = back.Read();
        EXPECT_EQ(AsText(a[u"Title"].value), step.title) << step.what;
        EXPECT_EQ(a.count(u"WM/Picture"), step.withPicture ? 1u : 0u) << step.what;
        if (step.withPicture) {   // the head holds addresses into the caller's buffer: compared from the texts on
            const auto& pic = a[u"WM/Picture"].value;
            ASSERT_EQ(pic.size(), picture.size()) << step.what;
            EXPECT_TRUE(std::equal(pic.begin() + 29, pic.end(), picture.begin() + 29)) << step.what;
        }
    }
    // Peers read the padded header.
    auto probe = testing_support::FfprobeJson(file);
    EXPECT_EQ(probe["format"]["tags"]["title"].toString(), QString("T"));
    if (testing_support::RequireTool("/usr/bin/python3", "import mutagen.asf")) {
        auto r = RunProgram("/usr/bin/python3", {"-c", "import sys; from mutagen.asf import ASF; f = ASF(sys.argv[1]); "
                                                       "print(f['Title'][0], len(f['WM/Picture'][0].value))", file});
        ASSERT_TRUE(r.Ok()) << r.Describe();
        EXPECT_EQ(QString::fromUtf8(r.Out).trimmed(), QString("T %1").arg(5 + 22 + 2 + 5000));
    }
}

TEST_F(EditorTest, MutagenAttributesAreRead) {
    TW_REQUIRE_TOOL("/usr/bin/python3", "import mutagen.asf");
    QString file = Copy("wma");
    auto r = RunProgram("/usr/bin/python3",
                        {"-c", "import sys; from mutagen.asf import ASF, ASFDWordAttribute, ASFByteArrayAttribute; "
                               "f = ASF(sys.argv[1]); f['WM/Composer'] = ['Comp']; "
                               "f['WM/BeatsPerMinute'] = [ASFDWordAttribute(120)]; "
                               "f['WM/Picture'] = [ASFByteArrayAttribute(b'\\x03\\x04\\x00\\x00\\x00'"
                               " + 'a/b'.encode('utf-16-le') + b'\\0\\0' + b'\\0\\0' + b'DATA')]; f.save()",
                         file});
    ASSERT_TRUE(r.Ok()) << r.Describe();
    Session s(file);
    ASSERT_EQ(s.openResult, S_OK);
    auto a = s.Read();
    EXPECT_EQ(AsText(a[u"WM/Composer"].value), u"Comp");
    EXPECT_EQ(AsInt(a[u"WM/BeatsPerMinute"].value), 120u);
    const auto& pic = a[u"WM/Picture"].value;
    ASSERT_EQ(pic.size(), 29u + 8 + 2 + 4);
    EXPECT_EQ(pic[8], 3);
    EXPECT_EQ(std::string(pic.end() - 4, pic.end()), "DATA");
}

TEST_F(EditorTest, BadFilesFailToOpenAndLeaveEveryCallFailing) {
    QByteArray good;
    {
        QFile f(dir_->filePath("src.wma"));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        good = f.readAll();
    }
    QByteArray hugeHeader = good.left(64);
    hugeHeader[23] = char(0x7F); // header size far beyond the file
    QByteArray badChild = good;
    badChild[30 + 16] = char(0xFF); // the first child claims more than the header holds
    badChild[30 + 17] = char(0xFF);
    const std::pair<const char*, QByteArray> cases[] = {
        {"empty", QByteArray()}, {"not asf", QByteArray(100, 'x')}, {"huge header", hugeHeader},
        {"bad child", badChild}, {"cut", good.left(200)}};
    for (const auto& [name, bytes] : cases) {
        QString file = dir_->filePath(QString("bad-%1.wma").arg(name));
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        f.close();
        Session s(file);
        EXPECT_TRUE(FAILED(s.openResult)) << name;
        WORD count;
        EXPECT_TRUE(FAILED(s.info->GetAttributeCountEx(0, &count))) << name;
        EXPECT_TRUE(FAILED(s.editor->Flush())) << name;
    }
    Session missing(dir_->filePath("no-such.wma"));
    EXPECT_EQ(missing.openResult, NS_E_FILE_OPEN_FAILED);
}


// The factory and the interface query say what went wrong instead of handing out nothing.
TEST(EditorFactory, FailureCodes) {
    HMODULE lib = LoadLibraryW(u"wmvcore.dll");
    ASSERT_NE(lib, nullptr);
    auto create = reinterpret_cast<CreateEditorFn>(reinterpret_cast<void*>(GetProcAddress(lib, "WMCreateEditor")));
    ASSERT_NE(create, nullptr);
    EXPECT_EQ(create(nullptr), E_POINTER);
    IWMMetadataEditor* editor = nullptr;
    ASSERT_EQ(create(&editor), S_OK);
    ASSERT_NE(editor, nullptr);
    static constexpr IID other = {0x12345678, 0x1234, 0x1234, {1, 2, 3, 4, 5, 6, 7, 8}};
    void* out = &lib;   // anything but null
    EXPECT_EQ(editor->QueryInterface(other, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(editor->QueryInterface(IID_IWMHeaderInfo3, nullptr), E_POINTER);
    // Nothing opened: every call fails, and closing twice does no harm.
    IWMHeaderInfo3* info = nullptr;
    ASSERT_EQ(editor->QueryInterface(IID_IWMHeaderInfo3, reinterpret_cast<void**>(&info)), S_OK);
    WORD count = 0;
    EXPECT_TRUE(FAILED(info->GetAttributeCountEx(0, &count)));
    EXPECT_TRUE(FAILED(editor->Flush()));
    info->Release();
    editor->Close();
    editor->Close();
    EXPECT_EQ(editor->Release(), 0u);
}

} // namespace
