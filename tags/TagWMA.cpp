// tags/TagWMA.cpp: WMA attributes through the metadata editor. The editor is found at run time: its
// library by name through the process's LoadLibraryW/GetProcAddress, its interfaces declared here by
// their vtable layout, so that this unit links nothing beyond the runtime library.
#include "tags/TagWMA.h"

#include "tags/TagItems.h"

#include "rtl/Classes.h"
#include "rtl/Files.h"
#include "rtl/Streams.h"
#include "rtl/SysUtils.h"

#include <cstring>
#include <dlfcn.h>

using namespace Qt::Literals::StringLiterals;

namespace tags {

const char16_t* const g_wszWMDuration = u"Duration";
const char16_t* const g_wszWMBitrate = u"Bitrate";
const char16_t* const g_wszWMSeekable = u"Seekable";
const char16_t* const g_wszWMStridable = u"Stridable";
const char16_t* const g_wszWMBroadcast = u"Broadcast";
const char16_t* const g_wszWMIsProtected = u"Is_Protected";
const char16_t* const g_wszWMIsTrusted = u"Is_Trusted";
const char16_t* const g_wszWMSignatureName = u"Signature_Name";
const char16_t* const g_wszWMHasAudio = u"HasAudio";
const char16_t* const g_wszWMHasImage = u"HasImage";
const char16_t* const g_wszWMHasScript = u"HasScript";
const char16_t* const g_wszWMHasVideo = u"HasVideo";
const char16_t* const g_wszWMCurrentBitrate = u"CurrentBitrate";
const char16_t* const g_wszWMOptimalBitrate = u"OptimalBitrate";
const char16_t* const g_wszWMHasAttachedImages = u"HasAttachedImages";
const char16_t* const g_wszWMCanSkipBackward = u"Can_Skip_Backward";
const char16_t* const g_wszWMCanSkipForward = u"Can_Skip_Forward";
const char16_t* const g_wszWMNumberOfFrames = u"NumberOfFrames";
const char16_t* const g_wszWMHasArbitraryDataStream = u"HasArbitraryDataStream";
const char16_t* const g_wszWMHasFileTransferStream = u"HasFileTransferStream";
const char16_t* const g_wszWMContainerFormat = u"WM/ContainerFormat";
const char16_t* const g_wszWMTitle = u"Title";
const char16_t* const g_wszWMAuthor = u"Author";
const char16_t* const g_wszWMDescription = u"Description";
const char16_t* const g_wszWMCopyright = u"Copyright";
const char16_t* const g_wszWMAlbumTitle = u"WM/AlbumTitle";
const char16_t* const g_wszWMTrack = u"WM/Track";
const char16_t* const g_wszWMPromotionURL = u"WM/PromotionURL";
const char16_t* const g_wszWMGenre = u"WM/Genre";
const char16_t* const g_wszWMYear = u"WM/Year";
const char16_t* const g_wszWMComposer = u"WM/Composer";
const char16_t* const g_wszWMLyrics = u"WM/Lyrics";
const char16_t* const g_wszWMTrackNumber = u"WM/TrackNumber";
const char16_t* const g_wszWMAlbumArtist = u"WM/AlbumArtist";
const char16_t* const g_wszWMWriter = u"WM/Writer";
const char16_t* const g_wszWMConductor = u"WM/Conductor";
const char16_t* const g_wszWMProducer = u"WM/Producer";
const char16_t* const g_wszWMContentGroupDescription = u"WM/ContentGroupDescription";
const char16_t* const g_wszWMSubTitle = u"WM/SubTitle";
const char16_t* const g_wszWMPartOfSet = u"WM/PartOfSet";
const char16_t* const g_wszWMPicture = u"WM/Picture";
const char16_t* const g_wszWMOriginalLyricist = u"WM/OriginalLyricist";
const char16_t* const g_wszWMOriginalArtist = u"WM/OriginalArtist";
const char16_t* const g_wszWMOriginalReleaseYear = u"WM/OriginalReleaseYear";
const char16_t* const g_wszWMOriginalFilename = u"WM/OriginalFilename";
const char16_t* const g_wszWMPublisher = u"WM/Publisher";
const char16_t* const g_wszWMEncodedBy = u"WM/EncodedBy";
const char16_t* const g_wszWMEncodingSettings = u"WM/EncodingSettings";
const char16_t* const g_wszWMAuthorURL = u"WM/AuthorURL";
const char16_t* const g_wszWMAudioFileURL = u"WM/AudioFileURL";
const char16_t* const g_wszWMAudioSourceURL = u"WM/AudioSourceURL";
const char16_t* const g_wszWMLanguage = u"WM/Language";
const char16_t* const g_wszWMBeatsPerMinute = u"WM/BeatsPerMinute";
const char16_t* const g_wszWMInitialKey = u"WM/InitialKey";
const char16_t* const g_wszWMMood = u"WM/Mood";
const char16_t* const g_wszWMModifiedBy = u"WM/ModifiedBy";
const char16_t* const g_wszWMRadioStationName = u"WM/RadioStationName";
const char16_t* const g_wszWMRadioStationOwner = u"WM/RadioStationOwner";
const char16_t* const g_wszWMISRC = u"WM/ISRC";
const char16_t* const g_wszWMSharedUserRating = u"WM/SharedUserRating";
const char16_t* const g_wszWMReleaseYear = u"WM/ReleaseYear";
const char16_t* const g_wszWMStudio = u"WM/Studio";
const char16_t* const g_wszWMProduced = u"WM/Produced";
const char16_t* const g_wszWMCatalogNo = u"WM/CatalogNo";
const char16_t* const g_wszWMSetSubTitle = u"WM/SetSubTitle";
const char16_t* const g_wszWMPartOfSeries = u"WM/PartOfSeries";
const char16_t* const g_wszWMMedia = u"WM/Media";
const char16_t* const g_wszWMArranger = u"WM/Arranger";
const char16_t* const g_wszWMEngineer = u"WM/Engineer";
const char16_t* const g_wszWMDJMixer = u"WM/DJMixer";
const char16_t* const g_wszWMMixer = u"WM/Mixer";
const char16_t* const g_wszWMPopularity = u"WM/Popularity";
const char16_t* const g_wszWMQuality = u"WM/Quality";
const char16_t* const g_wszWMSituation = u"WM/Situation";
const char16_t* const g_wszWMPreference = u"WM/Preference";
const char16_t* const g_wszWMTempo = u"WM/Tempo";
const char16_t* const g_wszWMArtistSortOrder = u"WM/ArtistSortOrder";
const char16_t* const g_wszWMTitleSortOrder = u"WM/TitleSortOrder";
const char16_t* const g_wszWMAlbumArtistSortOrder = u"WM/AlbumArtistSortOrder";
const char16_t* const g_wszWMAlbumSortOrder = u"WM/AlbumSortOrder";
const char16_t* const g_wszWMOriginalTitle = u"WM/OriginalTitle";
const char16_t* const g_wszWMBuyCDURL = u"WM/BuyCDURL";
const char16_t* const g_wszWMPublisherURL = u"WM/PublisherURL";
const char16_t* const g_wszWMRadioURL = u"WM/RadioURL";
const char16_t* const g_wszWMCopyrightURL = u"CopyrightURL";
const char16_t* const g_wszWMPaymentURL = u"WM/PaymentURL";
const char16_t* const g_wszWMFileOwner = u"WM/FileOwner";
const char16_t* const g_wszWMPlaycount = u"WM/Playcount";
const char16_t* const g_wszWMTIPL = u"WM/TIPL";
const char16_t* const g_wszWMTMCL = u"WM/TMCL";
const char16_t* const WMAttributeNames[90] = {
    g_wszWMDuration, g_wszWMBitrate, g_wszWMSeekable, g_wszWMStridable, g_wszWMBroadcast, g_wszWMIsProtected,
    g_wszWMIsTrusted, g_wszWMSignatureName, g_wszWMHasAudio, g_wszWMHasImage, g_wszWMHasScript, g_wszWMHasVideo,
    g_wszWMCurrentBitrate, g_wszWMOptimalBitrate, g_wszWMHasAttachedImages, g_wszWMCanSkipBackward,
    g_wszWMCanSkipForward, g_wszWMNumberOfFrames, g_wszWMHasArbitraryDataStream, g_wszWMHasFileTransferStream,
    g_wszWMContainerFormat, g_wszWMTitle, g_wszWMAuthor, g_wszWMDescription, g_wszWMCopyright, g_wszWMAlbumTitle,
    g_wszWMTrack, g_wszWMPromotionURL, g_wszWMGenre, g_wszWMYear, g_wszWMComposer, g_wszWMLyrics, g_wszWMTrackNumber,
    g_wszWMAlbumArtist, g_wszWMWriter, g_wszWMConductor, g_wszWMProducer, g_wszWMContentGroupDescription,
    g_wszWMSubTitle, g_wszWMPartOfSet, g_wszWMPicture, g_wszWMOriginalLyricist, g_wszWMOriginalArtist,
    g_wszWMOriginalReleaseYear, g_wszWMOriginalFilename, g_wszWMPublisher, g_wszWMEncodedBy, g_wszWMEncodingSettings,
    g_wszWMAuthorURL, g_wszWMAudioFileURL, g_wszWMAudioSourceURL, g_wszWMLanguage, g_wszWMBeatsPerMinute,
    g_wszWMInitialKey, g_wszWMMood, g_wszWMModifiedBy, g_wszWMRadioStationName, g_wszWMRadioStationOwner, g_wszWMISRC,
    g_wszWMSharedUserRating, g_wszWMReleaseYear, g_wszWMStudio, g_wszWMProduced, g_wszWMCatalogNo, g_wszWMSetSubTitle,
    g_wszWMPartOfSeries, g_wszWMMedia, g_wszWMArranger, g_wszWMEngineer, g_wszWMDJMixer, g_wszWMMixer,
    g_wszWMPopularity, g_wszWMQuality, g_wszWMSituation, g_wszWMPreference, g_wszWMTempo, g_wszWMArtistSortOrder,
    g_wszWMTitleSortOrder, g_wszWMAlbumArtistSortOrder, g_wszWMAlbumSortOrder, g_wszWMOriginalTitle, g_wszWMBuyCDURL,
    g_wszWMPublisherURL, g_wszWMRadioURL, g_wszWMCopyrightURL, g_wszWMPaymentURL, g_wszWMFileOwner, g_wszWMPlaycount,
    g_wszWMTIPL, g_wszWMTMCL,
};

bool WMANormalizeRatingTo255 = false;

// ---- the editor's interfaces, as the editor library lays them out ----
// Outside the unnamed namespace on purpose: types with internal linkage and no overrider in this unit
// let the optimiser turn every call through them into a pure-virtual call.
namespace wmeditor {
typedef int32_t HRESULT;
struct IID { uint32_t Data1; uint16_t Data2, Data3; uint8_t Data4[8]; };
constexpr IID IID_IWMHeaderInfo3 = {0x15CC68E3, 0x27CC, 0x4ECD, {0xB2, 0x22, 0x3F, 0x5D, 0x02, 0xD8, 0x0B, 0xD5}};

struct IUnknown {
    virtual HRESULT QueryInterface(const IID& riid, void** ppv) = 0;
    virtual uint32_t AddRef() = 0;
    virtual uint32_t Release() = 0;
};
struct IWMMetadataEditor : IUnknown {
    virtual HRESULT Open(const char16_t* pwszFilename) = 0;
    virtual HRESULT Close() = 0;
    virtual HRESULT Flush() = 0;
};
struct IWMHeaderInfo3 : IUnknown {
    virtual HRESULT GetCodecInfo(uint32_t wIndex, uint16_t* pcchName, char16_t* pwszName, uint16_t* pcchDescription,
                                 char16_t* pwszDescription, int* pCodecType, uint16_t* pcbCodecInfo,
                                 uint8_t* pbCodecInfo) = 0;
    virtual HRESULT GetAttributeCountEx(uint16_t wStreamNum, uint16_t* pcAttributes) = 0;
    virtual HRESULT GetAttributeByIndexEx(uint16_t wStreamNum, uint16_t wIndex, char16_t* pwszName, uint16_t* pwNameLen,
                                          int* pType, uint16_t* pwLangIndex, uint8_t* pValue,
                                          uint32_t* pdwDataLength) = 0;
    virtual HRESULT AddAttribute(uint16_t wStreamNum, const char16_t* pszName, uint16_t* pwIndex, int Type,
                                 uint16_t wLangIndex, const uint8_t* pValue, uint32_t dwLength) = 0;
    virtual HRESULT DeleteAttribute(uint16_t wStreamNum, uint16_t wIndex) = 0;
};
typedef HRESULT (*TWMCreateEditor)(IWMMetadataEditor** ppEditor);
} // namespace wmeditor
using namespace wmeditor;

namespace {

// The editor's objects carry its own type information, not these declarations': calls into them
// are checked by their layout only.
#define TW_EDITOR_CALLS __attribute__((no_sanitize("vptr")))
bool Failed(HRESULT hr) { return hr < 0; }

// ---- the library: loaded once, kept for the life of the process ----
void* g_Library = nullptr;
TWMCreateEditor g_CreateEditor = nullptr;

template <class F> F ProcessFunction(const char* Name) { return reinterpret_cast<F>(dlsym(RTLD_DEFAULT, Name)); }

bool LoadEditorLibrary()
{
    if (!g_Library) {
        auto loadLibrary = ProcessFunction<void* (*)(const char16_t*)>("LoadLibraryW");
        auto setErrorMode = ProcessFunction<unsigned (*)(unsigned)>("SetErrorMode");
        if (!loadLibrary) return false;
        // No "file not found" box for the user while the library is looked for.
        const unsigned oldMode = setErrorMode ? setErrorMode(0x8000) : 0;
        g_Library = loadLibrary(u"WMVCORE.DLL");
        if (setErrorMode) setErrorMode(oldMode);
    }
    return g_Library != nullptr;
}

void FindCreateEditor()
{
    auto getProcAddress = ProcessFunction<void* (*)(void*, const char*)>("GetProcAddress");
    g_CreateEditor = getProcAddress ? reinterpret_cast<TWMCreateEditor>(getProcAddress(g_Library, "WMCreateEditor")) : nullptr;
}

// Closes and releases what a load or save made, and forgets the entry point.
TW_EDITOR_CALLS void Finish(IWMMetadataEditor*& Editor, IWMHeaderInfo3*& Info)
{
    if (Info) Info->Release();
    if (Editor) {
        Editor->Close();
        Editor->Release();
    }
    Info = nullptr;
    Editor = nullptr;
    g_CreateEditor = nullptr;
}

std::u16string Units(const String& S) { return S.toStdU16String(); }

void AppendUnits(std::vector<uint8_t>& Out, const std::u16string& S)
{
    const auto* p = reinterpret_cast<const uint8_t*>(S.data());
    Out.insert(Out.end(), p, p + 2 * S.size());
}

void PutAddress(std::vector<uint8_t>& V, size_t At, const uint8_t* Address)
{
    const uint64_t a = uint64_t(reinterpret_cast<uintptr_t>(Address));
    std::memcpy(V.data() + At, &a, 8);
}

// UTF-16 text from At up to its 0 unit; At moves past the unit. False when there is none.
bool ReadTextZ(const std::vector<uint8_t>& V, size_t& At, String& Text)
{
    std::u16string s;
    for (; At + 1 < V.size(); At += 2) {
        const char16_t c = char16_t(V[At] | (V[At + 1] << 8));
        if (c == 0) {
            At += 2;
            Text = String::fromStdU16String(s);
            return true;
        }
        s.push_back(c);
    }
    return false;
}

constexpr size_t PictureHead = 29;

} // namespace

// ---- TWMATagFrame ----

String TWMATagFrame::GetAsText() const
{
    switch (Format) {
    case WMT_TYPE_STRING: {
        std::u16string s;
        for (size_t i = 0; i + 1 < Stream.size(); i += 2) {
            const char16_t c = char16_t(Stream[i] | (Stream[i + 1] << 8));
            if (c != 0) s.push_back(c);
        }
        return String::fromStdU16String(s);
    }
    case WMT_TYPE_GUID: {
        uint8_t g[16];
        if (!GetAsGUID(g)) return {};
        const uint32_t d1 = g[0] | g[1] << 8 | g[2] << 16 | uint32_t(g[3]) << 24;
        String out = u"{%1-%2-%3-"_s.arg(d1, 8, 16, QChar(u'0'))
                         .arg(g[4] | g[5] << 8, 4, 16, QChar(u'0'))
                         .arg(g[6] | g[7] << 8, 4, 16, QChar(u'0'));
        for (int i = 8; i < 16; ++i) {
            if (i == 10) out += u'-';
            out += u"%1"_s.arg(g[i], 2, 16, QChar(u'0'));
        }
        return (out + u'}').toUpper();
    }
    default: return String::number(GetAsInteger());
    }
}

bool TWMATagFrame::SetAsText(const String& Text)
{
    Stream.clear();
    AppendUnits(Stream, Units(Text) + u'\0');
    Format = WMT_TYPE_STRING;
    return true;
}

int64_t TWMATagFrame::GetAsInteger() const
{
    size_t n = 0;
    switch (Format) {
    case WMT_TYPE_DWORD: case WMT_TYPE_BOOL: n = 4; break;
    case WMT_TYPE_QWORD: n = 8; break;
    case WMT_TYPE_WORD: n = 2; break;
    default: return 0;
    }
    uint64_t v = 0;
    for (size_t i = std::min(n, Stream.size()); i-- > 0;) v = v << 8 | Stream[i];
    return int64_t(v);
}

bool TWMATagFrame::SetAsInteger(int64_t Value, WMT_ATTR_DATATYPE _Format)
{
    Stream.clear();
    size_t n = 0;
    switch (_Format) {
    case WMT_TYPE_DWORD: case WMT_TYPE_BOOL: n = 4; break;
    case WMT_TYPE_QWORD: n = 8; break;
    case WMT_TYPE_WORD: n = 2; break;
    default: return false;
    }
    for (size_t i = 0; i < n; ++i) Stream.push_back(uint8_t(uint64_t(Value) >> (8 * i)));
    Format = _Format;
    return true;
}

bool TWMATagFrame::GetAsGUID(uint8_t (&Value)[16]) const
{
    std::memset(Value, 0, 16);
    std::memcpy(Value, Stream.data(), std::min<size_t>(16, Stream.size()));
    return true;
}

bool TWMATagFrame::GetAsList(rtl::TStrings& List) const
{
    List.Clear();
    if (Format != WMT_TYPE_STRING) return false;
    std::vector<std::u16string> lines(1);
    for (size_t i = 0; i + 1 < Stream.size(); i += 2) {
        const char16_t c = char16_t(Stream[i] | (Stream[i + 1] << 8));
        if (c == 0x0A0D) lines.emplace_back();
        else lines.back().push_back(c);
    }
    bool any = false;
    for (size_t i = 0; i + 1 < lines.size(); i += 2) {
        any = true;
        const String name = String::fromStdU16String(lines[i]), value = String::fromStdU16String(lines[i + 1]);
        if (!rtl::Trim(name).isEmpty() && !rtl::Trim(value).isEmpty()) List.Add(name + u'=' + value);
    }
    return any;
}

bool TWMATagFrame::SetAsList(const rtl::TStrings& List)
{
    Stream.clear();
    for (int i = 0; i < List.Count(); ++i) {
        // Each line ends with the bytes CR LF: read as UTF-16, the single unit 0x0A0D.
        AppendUnits(Stream, Units(List.Names(i)) + u'\x0A0D' + Units(List.ValueFromIndex(i)) + u'\x0A0D');
    }
    Format = WMT_TYPE_STRING;
    return true;
}

// ---- TWMATag ----

TWMATag::TWMATag() : NormalizeRatingTo255(WMANormalizeRatingTo255) { Frames.reserve(256); }
TWMATag::~TWMATag() { Clear(); }

void TWMATag::DeleteAllFrames()
{
    Frames.clear();
    Frames.reserve(256);
}

void TWMATag::Clear()
{
    DeleteAllFrames();
    FileName.clear();
    FCodecInfo.clear();
    FCodecDescription.clear();
    Loaded = false;
}

int TWMATag::LoadFromFile(const String& _FileName)
{
    Loaded = false;
    FileName = _FileName;
    FFileSize = rtl::FileSizeByName(_FileName);
    if (!rtl::FileExists(_FileName)) return WMATAGLIBRARY_ERROR_FILE_NOT_FOUND;
    try {
        return LoadTags(_FileName);
    } catch (...) {
        return WMATAGLIBRARY_ERROR;
    }
}

TW_EDITOR_CALLS int TWMATag::LoadTags(const String& _FileName)
{
    if (!LoadEditorLibrary()) return WMATAGLIBRARY_ERROR_WMVCORE_NOT_FOUND;
    FindCreateEditor();
    Clear();
    FileName = _FileName;
    if (!rtl::FileExists(_FileName) || !g_CreateEditor) return WMATAGLIBRARY_ERROR_FILE_NOT_FOUND;
    IWMMetadataEditor* editor = nullptr;
    IWMHeaderInfo3* info = nullptr;
    if (Failed(g_CreateEditor(&editor)) || !editor) {
        Finish(editor, info);
        return WMATAGLIBRARY_ERROR_EDITOR_FAILED;
    }
    const std::u16string name = Units(_FileName);
    editor->Open(name.c_str());
    if (Failed(editor->QueryInterface(IID_IWMHeaderInfo3, reinterpret_cast<void**>(&info))) || !info) {
        Finish(editor, info);
        return WMATAGLIBRARY_ERROR_HEADER_INFO_FAILED;
    }
    uint16_t count = 0;
    if (Failed(info->GetAttributeCountEx(0, &count))) {
        Finish(editor, info);
        return WMATAGLIBRARY_ERROR_ATTRIBUTE_COUNT_FAILED;
    }
    Loaded = count != 0;
    for (uint16_t i = 0; i < count; ++i) {
        uint16_t nameLen = 0, lang = 0;
        uint32_t valueLen = 0;
        int type = WMT_TYPE_UNKNOWN;
        info->GetAttributeByIndexEx(0, i, nullptr, &nameLen, &type, &lang, nullptr, &valueLen);
        std::u16string attrName(nameLen, u'\0');
        std::vector<uint8_t> value(valueLen);
        lang = 0;
        if (Failed(info->GetAttributeByIndexEx(0, i, attrName.data(), &nameLen, &type, &lang, value.data(), &valueLen)))
            continue;
        if (valueLen == 0) continue;
        attrName.resize(std::char_traits<char16_t>::length(attrName.c_str()));
        TWMATagFrame* frame = AddFrame(String::fromStdU16String(attrName));
        frame->Format = WMT_ATTR_DATATYPE(type);
        value.resize(valueLen);
        frame->Stream = std::move(value);
        if (NormalizeRatingTo255 && frame->Name == String::fromUtf16(g_wszWMSharedUserRating))
            frame->SetAsInteger(int64_t(double(frame->GetAsInteger()) / 99 * 255), frame->Format);
    }
    char16_t codec[128] = {}, description[128] = {};
    uint16_t codecLen = 128, descriptionLen = 128;
    int codecType = 0;
    uint16_t codecInfoLen = 0;
    if (!Failed(info->GetCodecInfo(0, &codecLen, codec, &descriptionLen, description, &codecType, &codecInfoLen, nullptr))) {
        FCodecInfo = String::fromUtf16(codec);
        FCodecDescription = String::fromUtf16(description);
    }
    Finish(editor, info);
    return WMATAGLIBRARY_SUCCESS;
}

TW_EDITOR_CALLS int TWMATag::SaveToFile(const String& _FileName)
{
    if (!rtl::FileExists(_FileName)) return WMATAGLIBRARY_ERROR_FILE_NOT_FOUND;
    if (!LoadEditorLibrary()) return WMATAGLIBRARY_ERROR_WMVCORE_NOT_FOUND;
    FindCreateEditor();
    IWMMetadataEditor* editor = nullptr;
    IWMHeaderInfo3* info = nullptr;
    // A library without the entry point cannot make an editor.
    if (!g_CreateEditor || Failed(g_CreateEditor(&editor)) || !editor) {
        Finish(editor, info);
        return WMATAGLIBRARY_ERROR_EDITOR_FAILED;
    }
    if (Failed(editor->QueryInterface(IID_IWMHeaderInfo3, reinterpret_cast<void**>(&info))) || !info) {
        Finish(editor, info);
        return WMATAGLIBRARY_ERROR_HEADER_INFO_FAILED;
    }
    const std::u16string name = Units(_FileName);
    editor->Open(name.c_str());
    uint16_t count = 0;
    info->GetAttributeCountEx(0, &count);
    for (int i = count - 1; i >= 0; --i) info->DeleteAttribute(0, uint16_t(i));
    const String picture = String::fromUtf16(g_wszWMPicture);
    uint16_t index = 0;
    for (const auto& frame : Frames) {
        if (frame->Name == picture) continue;
        std::vector<uint8_t> value = frame->Stream;
        uint32_t length = uint32_t(value.size());
        if (NormalizeRatingTo255 && frame->Name == String::fromUtf16(g_wszWMSharedUserRating)) {
            TWMATagFrame scaled(this);
            scaled.SetAsInteger(int64_t(double(frame->GetAsInteger()) / 255 * 99), frame->Format);
            value = scaled.Stream;
            length = uint32_t(value.size());
        }
        if (frame->Format == WMT_TYPE_STRING) {
            const std::u16string text = Units(frame->GetAsText());
            value.clear();
            AppendUnits(value, text + u'\0');
            length = uint32_t(2 * text.size());
        }
        if (length == 0 || frame->Format == WMT_TYPE_UNKNOWN) continue;
        const std::u16string attr = Units(frame->Name);
        info->AddAttribute(0, attr.c_str(), &index, frame->Format, 0, value.data(), length);
    }
    for (int i = 0; i < Count(); ++i) {
        if (Frames[size_t(i)]->Name != picture) continue;
        ValidatePictureFrame(i);
        const auto& value = Frames[size_t(i)]->Stream;
        if (!value.empty())
            info->AddAttribute(0, g_wszWMPicture, &index, WMT_TYPE_BINARY, 0, value.data(), uint32_t(value.size()));
    }
    const HRESULT flushed = editor->Flush();
    Finish(editor, info);
    return Failed(flushed) ? WMATAGLIBRARY_ERROR : WMATAGLIBRARY_SUCCESS;
}

int64_t TWMATag::CalculateTagSize() const
{
    int64_t size = 0;
    for (const auto& f : Frames) size += 2 * f->Name.size() + int64_t(f->Stream.size()) + 7;
    return size;
}

TWMATagFrame* TWMATag::AddFrame(const String& Name)
{
    if (Frames.size() == Frames.capacity()) Frames.reserve(Frames.capacity() + 256);
    return AppendNamedItem(Frames, this, Name);
}

bool TWMATag::DeleteFrame(int Index) { return DeleteItemAt(Frames, Index); }

String TWMATag::ReadFrameByNameAsText(const String& Name) const
{
    for (const auto& f : Frames)
        if (rtl::SameText(f->Name, Name))
            return f->Format == WMT_TYPE_STRING ? f->GetAsText() : String::number(f->GetAsInteger());
    return {};
}

int64_t TWMATag::ReadAsInteger(const String& Name) const
{
    for (const auto& f : Frames)
        if (rtl::SameText(f->Name, Name)) return f->GetAsInteger();
    return 0;
}

bool TWMATag::SetTextFrameText(const String& Name, const String& Text)
{
    for (int i = 0; i < Count(); ++i) {
        if (!rtl::SameText(Frames[size_t(i)]->Name, Name)) continue;
        if (Text.isEmpty()) return DeleteFrame(i);
        return Frames[size_t(i)]->SetAsText(Text);
    }
    return Text.isEmpty() || AddFrame(Name)->SetAsText(Text);
}

void TWMATag::DeleteAllCoverArts()
{
    DeleteItemsWhere(Frames, [](const TWMATagFrame& f) { return f.Name == String::fromUtf16(g_wszWMPicture); });
}

int TWMATag::AddCoverArtFrame(rtl::TStream& PictureStream, const String& MIMEType, uint8_t PictureType,
                              const String& Description)
{
    AddFrame(String::fromUtf16(g_wszWMPicture));
    const int index = Count() - 1;
    if (SetCoverArtFrame(index, &PictureStream, MIMEType, PictureType, Description)) return index;
    DeleteFrame(index);
    return -1;
}

bool TWMATag::SetCoverArtFrame(int Index, rtl::TStream* PictureStream, const String& MIMEType, uint8_t PictureType,
                               const String& Description)
{
    if (Index < 0 || Index >= Count()) return false;
    try {
        TWMATagFrame& frame = *Frames[size_t(Index)];
        const int64_t size = PictureStream ? PictureStream->Size() : 0;
        if (size < 0 || size > 0xFFFFFFFFLL) return false;
        const std::u16string mime = Units(MIMEType), description = Units(Description);
        std::vector<uint8_t> v(PictureHead, 0);
        v[8] = PictureType;
        const uint32_t length = uint32_t(size);
        std::memcpy(&v[17], &length, 4);
        AppendUnits(v, mime + u'\0');
        AppendUnits(v, description + u'\0');
        const size_t dataAt = v.size();
        v.resize(dataAt + size_t(size));
        if (PictureStream) {
            PictureStream->SetPosition(0);
            PictureStream->ReadBuffer(v.data() + dataAt, size);
        }
        const size_t mimeAt = PictureHead, descriptionAt = mimeAt + 2 * (mime.size() + 1);
        PutAddress(v, 0, v.data() + mimeAt);
        PutAddress(v, 9, v.data() + descriptionAt);
        PutAddress(v, 21, v.data() + descriptionAt + 2 * (description.size() + 1));
        frame.Format = WMT_TYPE_BINARY;
        frame.Stream = std::move(v); // the buffer moves with its addresses
        return true;
    } catch (...) {
        return false;
    }
}

bool TWMATag::GetCoverArtFromFrame(int Index, rtl::TStream& PictureStream, String& MIMEType, uint8_t& PictureType,
                                   String& Description)
{
    MIMEType.clear();
    Description.clear();
    if (Index < 0 || Index >= Count()) return false;
    const TWMATagFrame& frame = *Frames[size_t(Index)];
    const auto& v = frame.Stream;
    if (frame.Format != WMT_TYPE_BINARY || v.size() < PictureHead) return false;
    PictureType = v[8];
    uint32_t length = 0;
    std::memcpy(&length, &v[17], 4);
    size_t at = PictureHead;
    if (!ReadTextZ(v, at, MIMEType) || !ReadTextZ(v, at, Description)) return false;
    // The length comes from the file: it must lie within the value.
    if (length > v.size() - at) return false;
    try {
        PictureStream.WriteBuffer(v.data() + at, length);
        PictureStream.SetPosition(0);
    } catch (...) {
        return false;
    }
    return true;
}

bool TWMATag::ValidatePictureFrame(int Index)
{
    rtl::TMemoryStream picture;
    String mime, description;
    uint8_t type = 0;
    return GetCoverArtFromFrame(Index, picture, mime, type, description) &&
           SetCoverArtFrame(Index, &picture, mime, type, description);
}

int64_t TWMATag::GetDuration() const { return ReadAsInteger(String::fromUtf16(g_wszWMDuration)) / 10000; }
int64_t TWMATag::GetNumberOfFrames() const { return ReadAsInteger(String::fromUtf16(g_wszWMNumberOfFrames)); }

int TWMATag::GetBitRate() const
{
    const int64_t bits = ReadAsInteger(String::fromUtf16(g_wszWMBitrate));
    int64_t kbit = bits / 1000;
    const int64_t rest = bits % 1000;
    if (rest > 500 || (rest == 500 && (kbit & 1))) ++kbit;
    return int(kbit);
}

namespace {

bool Flag(const TWMATag& Tag, const char16_t* Name) { return Tag.ReadAsInteger(String::fromUtf16(Name)) > 0; }

} // namespace

bool TWMATag::GetSeekable() const { return Flag(*this, g_wszWMSeekable); }
bool TWMATag::GetStridable() const { return Flag(*this, g_wszWMStridable); }
bool TWMATag::GetBroadcast() const { return Flag(*this, g_wszWMBroadcast); }
bool TWMATag::GetIsProtected() const { return Flag(*this, g_wszWMIsProtected); }
bool TWMATag::GetIsTrusted() const { return Flag(*this, g_wszWMIsTrusted); }
String TWMATag::GetSignatureName() const { return ReadFrameByNameAsText(String::fromUtf16(g_wszWMSignatureName)); }
bool TWMATag::GetHasAudio() const { return Flag(*this, g_wszWMHasAudio); }
bool TWMATag::GetHasImage() const { return Flag(*this, g_wszWMHasImage); }
bool TWMATag::GetHasScript() const { return Flag(*this, g_wszWMHasScript); }
bool TWMATag::GetHasVideo() const { return Flag(*this, g_wszWMHasVideo); }
int64_t TWMATag::GetCurrentBitrate() const { return ReadAsInteger(String::fromUtf16(g_wszWMCurrentBitrate)); }
int64_t TWMATag::GetOptimalBitrate() const { return ReadAsInteger(String::fromUtf16(g_wszWMOptimalBitrate)); }
bool TWMATag::GetHasAttachedImages() const { return Flag(*this, g_wszWMHasAttachedImages); }
bool TWMATag::GetCanSkipBackward() const { return Flag(*this, g_wszWMCanSkipBackward); }
bool TWMATag::GetCanSkipForward() const { return Flag(*this, g_wszWMCanSkipForward); }
bool TWMATag::GetHasArbitraryDataStream() const { return Flag(*this, g_wszWMHasArbitraryDataStream); }
bool TWMATag::GetHasFileTransferStream() const { return Flag(*this, g_wszWMHasFileTransferStream); }
bool TWMATag::GetContainerFormat() const { return Flag(*this, g_wszWMContainerFormat); }

} // namespace tags
