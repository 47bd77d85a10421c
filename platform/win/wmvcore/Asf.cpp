// The ASF header: objects kept as raw bytes, attributes parsed out of the description objects.
#include "win/wmvcore/Asf.h"

#include <algorithm>
#include <cstring>

namespace asf {
namespace {

constexpr uint8_t kHeader[16] = {0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11, 0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
constexpr uint8_t kFileProps[16] = {0xA1, 0xDC, 0xAB, 0x8C, 0x47, 0xA9, 0xCF, 0x11, 0x8E, 0xE4, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65};
constexpr uint8_t kStreamProps[16] = {0x91, 0x07, 0xDC, 0xB7, 0xB7, 0xA9, 0xCF, 0x11, 0x8E, 0xE6, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65};
constexpr uint8_t kContentDesc[16] = {0x33, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11, 0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
constexpr uint8_t kExtContentDesc[16] = {0x40, 0xA4, 0xD0, 0xD2, 0x07, 0xE3, 0xD2, 0x11, 0x97, 0xF0, 0x00, 0xA0, 0xC9, 0x5E, 0xA8, 0x50};
constexpr uint8_t kHeaderExt[16] = {0xB5, 0x03, 0xBF, 0x5F, 0x2E, 0xA9, 0xCF, 0x11, 0x8E, 0xE3, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65};
constexpr uint8_t kMetadata[16] = {0xEA, 0xCB, 0xF8, 0xC5, 0xAF, 0x5B, 0x77, 0x48, 0x84, 0x67, 0xAA, 0x8C, 0x44, 0xFA, 0x4C, 0xCA};
constexpr uint8_t kMetadataLib[16] = {0x94, 0x1C, 0x23, 0x44, 0x98, 0x94, 0xD1, 0x49, 0xA1, 0x41, 0x1D, 0x13, 0x4E, 0x45, 0x70, 0x54};
constexpr uint8_t kCodecList[16] = {0x40, 0x52, 0xD1, 0x86, 0x1D, 0x31, 0xD0, 0x11, 0xA3, 0xA4, 0x00, 0xA0, 0xC9, 0x03, 0x48, 0xF6};
constexpr uint8_t kAudio[16] = {0x40, 0x9E, 0x69, 0xF8, 0x4D, 0x5B, 0xCF, 0x11, 0xA8, 0xFD, 0x00, 0x80, 0x5F, 0x5C, 0x44, 0x2B};
constexpr uint8_t kVideo[16] = {0xC0, 0xEF, 0x19, 0xBC, 0x4D, 0x5B, 0xCF, 0x11, 0xA8, 0xFD, 0x00, 0x80, 0x5F, 0x5C, 0x44, 0x2B};
// What else the header can tell: protection, and streams of images, commands, data and file transfer.
constexpr uint8_t kContentEncryption[16] = {0xFB, 0xB3, 0x11, 0x22, 0x23, 0xBD, 0xD2, 0x11, 0xB4, 0xB7, 0x00, 0xA0, 0xC9, 0x55, 0xFC, 0x6E};
constexpr uint8_t kExtContentEncryption[16] = {0x14, 0xE6, 0x8A, 0x29, 0x22, 0x26, 0x17, 0x4C, 0xB9, 0x35, 0xDA, 0xE0, 0x7E, 0xE9, 0x28, 0x9C};
constexpr uint8_t kScriptCommand[16] = {0x30, 0x1A, 0xFB, 0x1E, 0x62, 0x0B, 0xD0, 0x11, 0xA3, 0x9B, 0x00, 0xA0, 0xC9, 0x03, 0x48, 0xF6};
constexpr uint8_t kJfif[16] = {0x00, 0xE1, 0x1B, 0xB6, 0x4E, 0x5B, 0xCF, 0x11, 0xA8, 0xFD, 0x00, 0x80, 0x5F, 0x5C, 0x44, 0x2B};
constexpr uint8_t kDegradableJpeg[16] = {0xE0, 0x7D, 0x90, 0x35, 0x15, 0xE4, 0xCF, 0x11, 0xA9, 0x17, 0x00, 0x80, 0x5F, 0x5C, 0x44, 0x2B};
constexpr uint8_t kCommand[16] = {0xC0, 0xCF, 0xDA, 0x59, 0xE6, 0x59, 0xD0, 0x11, 0xA3, 0xAC, 0x00, 0xA0, 0xC9, 0x03, 0x48, 0xF6};
constexpr uint8_t kBinary[16] = {0xE2, 0x65, 0xFB, 0x3A, 0xEF, 0x47, 0xF2, 0x40, 0xAC, 0x2C, 0x70, 0xA9, 0x0D, 0x71, 0xD3, 0x43};
constexpr uint8_t kFileTransfer[16] = {0x2C, 0x22, 0xBD, 0x91, 0x1C, 0xF2, 0x7A, 0x49, 0x8B, 0x6D, 0x5A, 0xA8, 0x6B, 0xFC, 0x01, 0x85};
constexpr uint8_t kPadding[16] = {0x74, 0xD4, 0x06, 0x18, 0xDF, 0xCA, 0x09, 0x45, 0xA4, 0xBA, 0x9A, 0xAB, 0xCB, 0x96, 0xAA, 0xE8};
constexpr uint8_t kExtReserved[16] = {0x11, 0xD2, 0xD3, 0xAB, 0xBA, 0xA9, 0xCF, 0x11, 0x8E, 0xE6, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65};

constexpr size_t kObjectHead = 24;

// The five fixed strings of the content description object, in their order there.
const char16_t* const kContentNames[5] = {u"Title", u"Author", u"Copyright", u"Description", u"Rating"};
const char16_t* const kReadOnlyNames[] = {u"Duration", u"Bitrate", u"Seekable", u"Broadcast", u"Is_Protected",
                                          u"HasAudio", u"HasImage", u"HasScript", u"HasVideo", u"HasAttachedImages",
                                          u"HasArbitraryDataStream", u"HasFileTransferStream"};

// Type numbers inside the file differ from the interface's: 0 string, 1 bytes, 2 bool, 3 dword...
constexpr AttrType kFromFile[7] = {String, Binary, Bool, Dword, Qword, Word, Guid};
uint16_t ToFile(AttrType t) {
    for (uint16_t i = 0; i < 7; ++i)
        if (kFromFile[i] == t) return i;
    return 1;
}

bool Same(const uint8_t* a, const uint8_t* b) { return std::memcmp(a, b, 16) == 0; }

uint64_t Get(const uint8_t* p, int n) {
    uint64_t v = 0;
    for (int i = n - 1; i >= 0; --i) v = (v << 8) | p[i];
    return v;
}
void Put(std::vector<uint8_t>& out, uint64_t v, int n) {
    for (int i = 0; i < n; ++i) out.push_back(uint8_t(v >> (8 * i)));
}
void PutAt(uint8_t* p, uint64_t v, int n) {
    for (int i = 0; i < n; ++i) p[i] = uint8_t(v >> (8 * i));
}

std::u16string Utf16(const uint8_t* p, size_t bytes) {
    std::u16string s;
    for (size_t i = 0; i + 1 < bytes; i += 2) {
        char16_t c = char16_t(p[i] | (p[i + 1] << 8));
        if (c == 0) break;
        s.push_back(c);
    }
    return s;
}
void PutUtf16(std::vector<uint8_t>& out, const std::u16string& s, bool terminate) {
    for (char16_t c : s) Put(out, c, 2);
    if (terminate) Put(out, 0, 2);
}

// Splits a run of objects; false when one overruns it or claims less than its own head.
bool SplitObjects(const uint8_t* p, size_t size, std::vector<Object>& out) {
    size_t at = 0;
    while (at < size) {
        if (size - at < kObjectHead) return false;
        uint64_t len = Get(p + at + 16, 8);
        if (len < kObjectHead || len > size - at) return false;
        Object o;
        std::memcpy(o.guid, p + at, 16);
        o.bytes.assign(p + at, p + at + len);
        out.push_back(std::move(o));
        at += size_t(len);
    }
    return true;
}

Object MakeObject(const uint8_t* guid, const std::vector<uint8_t>& payload) {
    Object o;
    std::memcpy(o.guid, guid, 16);
    o.bytes.assign(guid, guid + 16);
    Put(o.bytes, kObjectHead + payload.size(), 8);
    o.bytes.insert(o.bytes.end(), payload.begin(), payload.end());
    return o;
}

Attribute Make(std::u16string name, AttrType type, std::vector<uint8_t> value, bool readOnly = false) {
    Attribute a;
    a.name = std::move(name);
    a.type = type;
    a.value = std::move(value);
    a.readOnly = readOnly;
    return a;
}
std::vector<uint8_t> Le(uint64_t v, int n) {
    std::vector<uint8_t> out;
    Put(out, v, n);
    return out;
}

// Records of a metadata or metadata library object; those of stream 0 and language 0 become
// attributes, the others are kept as their raw bytes.
bool ParseMetadata(const Object& o, std::vector<Attribute>& attrs, std::vector<std::vector<uint8_t>>& kept) {
    const uint8_t* p = o.bytes.data() + kObjectHead;
    size_t size = o.bytes.size() - kObjectHead;
    if (size < 2) return false;
    size_t count = Get(p, 2), at = 2;
    for (size_t i = 0; i < count; ++i) {
        if (size - at < 12) return false;
        uint16_t lang = uint16_t(Get(p + at, 2)), stream = uint16_t(Get(p + at + 2, 2));
        uint16_t nameLen = uint16_t(Get(p + at + 4, 2)), type = uint16_t(Get(p + at + 6, 2));
        uint64_t dataLen = Get(p + at + 8, 4);
        if (type > 6 || nameLen > size - at - 12 || dataLen > size - at - 12 - nameLen) return false;
        const uint8_t* name = p + at + 12;
        const uint8_t* data = name + nameLen;
        size_t recordLen = 12 + nameLen + size_t(dataLen);
        if (stream == 0 && lang == 0) {
            std::vector<uint8_t> value(data, data + dataLen);
            // A BOOL is two bytes here, four at the interface.
            if (kFromFile[type] == Bool) value = Le(Get(data, std::min<int>(int(dataLen), 2)), 4);
            attrs.push_back(Make(Utf16(name, nameLen), kFromFile[type], std::move(value)));
        } else {
            kept.emplace_back(p + at, p + at + recordLen);
        }
        at += recordLen;
    }
    return true;
}

bool ParseContent(const Object& o, std::vector<Attribute>& attrs) {
    const uint8_t* p = o.bytes.data() + kObjectHead;
    size_t size = o.bytes.size() - kObjectHead;
    if (size < 10) return false;
    size_t at = 10;
    for (int i = 0; i < 5; ++i) {
        size_t len = Get(p + 2 * i, 2);
        if (len > size - at) return false;
        if (len > 0) {
            std::u16string text = Utf16(p + at, len);
            std::vector<uint8_t> value;
            PutUtf16(value, text, true);
            attrs.push_back(Make(kContentNames[i], String, std::move(value)));
        }
        at += len;
    }
    return true;
}

bool ParseExtContent(const Object& o, std::vector<Attribute>& attrs) {
    const uint8_t* p = o.bytes.data() + kObjectHead;
    size_t size = o.bytes.size() - kObjectHead;
    if (size < 2) return false;
    size_t count = Get(p, 2), at = 2;
    for (size_t i = 0; i < count; ++i) {
        if (size - at < 2) return false;
        size_t nameLen = Get(p + at, 2);
        at += 2;
        if (size - at < nameLen + 4) return false;
        std::u16string name = Utf16(p + at, nameLen);
        at += nameLen;
        uint16_t type = uint16_t(Get(p + at, 2));
        size_t valueLen = Get(p + at + 2, 2);
        at += 4;
        if (type > 5 || valueLen > size - at) return false;
        attrs.push_back(Make(std::move(name), kFromFile[type], std::vector<uint8_t>(p + at, p + at + valueLen)));
        at += valueLen;
    }
    return true;
}

void PutMetadataRecord(std::vector<uint8_t>& out, const Attribute& a) {
    std::vector<uint8_t> value = a.value;
    if (a.type == Bool) value = Le(Get(a.value.data(), int(std::min<size_t>(a.value.size(), 4))) != 0, 2);
    Put(out, 0, 2);
    Put(out, 0, 2);
    Put(out, 2 * (a.name.size() + 1), 2);
    Put(out, ToFile(a.type), 2);
    Put(out, value.size(), 4);
    PutUtf16(out, a.name, true);
    out.insert(out.end(), value.begin(), value.end());
}

int ContentIndex(const std::u16string& name) {
    for (int i = 0; i < 5; ++i)
        if (name == kContentNames[i]) return i;
    return -1;
}

// Whether an attribute fits the extended content description (16-bit lengths, no GUID type).
bool FitsExtContent(const Attribute& a) {
    return a.type != Guid && a.value.size() <= 0xFFFF && 2 * (a.name.size() + 1) <= 0xFFFF;
}

// The codec list: after the head a reserved GUID and the count, then per codec its type, name and
// description (lengths in characters, terminator included) and its information bytes. A list that
// runs past its object is dropped whole; it tells about the file and blocks nothing.
std::vector<Codec> ParseCodecs(const Object& o) {
    const uint8_t* p = o.bytes.data();
    const size_t end = o.bytes.size();
    size_t at = kObjectHead + 16;
    if (end < at + 4) return {};
    const uint64_t count = Get(p + at, 4);
    at += 4;
    std::vector<Codec> codecs;
    auto text = [&](std::u16string& out) {
        if (end - at < 2) return false;
        const size_t bytes = 2 * size_t(Get(p + at, 2));
        at += 2;
        if (end - at < bytes) return false;
        out = Utf16(p + at, bytes);
        at += bytes;
        return true;
    };
    for (uint64_t i = 0; i < count; ++i) {
        Codec c;
        if (end - at < 2) return {};
        c.type = uint16_t(Get(p + at, 2));
        at += 2;
        if (!text(c.name) || !text(c.description) || end - at < 2) return {};
        const size_t infoSize = size_t(Get(p + at, 2));
        at += 2;
        if (end - at < infoSize) return {};
        c.info.assign(p + at, p + at + infoSize);
        at += infoSize;
        codecs.push_back(std::move(c));
    }
    return codecs;
}

} // namespace

bool IsReadOnlyName(const std::u16string& name) {
    return std::any_of(std::begin(kReadOnlyNames), std::end(kReadOnlyNames),
                       [&](const char16_t* n) { return name == n; });
}

uint64_t Header::HeaderSize(const uint8_t* data, size_t size) {
    if (size < 30 || !Same(data, kHeader)) return 0;
    uint64_t len = Get(data + 16, 8);
    return len < 30 ? 0 : len;
}

std::optional<Header> Header::Parse(const uint8_t* data, size_t size) {
    uint64_t len = HeaderSize(data, size);
    if (len == 0 || len > size) return std::nullopt;
    Header h;
    h.originalSize = len;
    h.reserved_[0] = data[28];
    h.reserved_[1] = data[29];
    if (!SplitObjects(data + 30, size_t(len) - 30, h.objects_)) return std::nullopt;

    std::vector<Attribute> derived, editable;
    bool audio = false, video = false, image = false, script = false, arbitrary = false, transfer = false;
    bool haveProps = false, protectedContent = false;
    for (const Object& o : h.objects_) {
        const uint8_t* p = o.bytes.data();
        if (Same(o.guid, kFileProps)) {
            if (o.bytes.size() < 104) return std::nullopt;
            haveProps = true;
            uint64_t play = Get(p + 64, 8), preroll = Get(p + 80, 8) * 10000;
            uint32_t flags = uint32_t(Get(p + 88, 4));
            derived.push_back(Make(u"Duration", Qword, Le(play > preroll ? play - preroll : 0, 8), true));
            derived.push_back(Make(u"Bitrate", Dword, Le(Get(p + 100, 4), 4), true));
            derived.push_back(Make(u"Seekable", Bool, Le((flags >> 1) & 1, 4), true));
            derived.push_back(Make(u"Broadcast", Bool, Le(flags & 1, 4), true));
        } else if (Same(o.guid, kStreamProps)) {
            if (o.bytes.size() < kObjectHead + 16) return std::nullopt;
            const uint8_t* type = p + kObjectHead;
            audio = audio || Same(type, kAudio);
            video = video || Same(type, kVideo);
            image = image || Same(type, kJfif) || Same(type, kDegradableJpeg);
            script = script || Same(type, kCommand);
            arbitrary = arbitrary || Same(type, kBinary);
            transfer = transfer || Same(type, kFileTransfer);
        } else if (Same(o.guid, kContentEncryption) || Same(o.guid, kExtContentEncryption)) {
            protectedContent = true;
        } else if (Same(o.guid, kScriptCommand)) {
            script = true;
        } else if (Same(o.guid, kCodecList)) {
            h.codecs = ParseCodecs(o);
        } else if (Same(o.guid, kContentDesc)) {
            if (!ParseContent(o, editable)) return std::nullopt;
        } else if (Same(o.guid, kExtContentDesc)) {
            if (!ParseExtContent(o, editable)) return std::nullopt;
        } else if (Same(o.guid, kHeaderExt)) {
            if (o.bytes.size() < kObjectHead + 22) return std::nullopt;
            uint64_t dataLen = Get(p + kObjectHead + 18, 4);
            if (dataLen != o.bytes.size() - kObjectHead - 22) return std::nullopt;
            if (!SplitObjects(p + kObjectHead + 22, size_t(dataLen), h.extension_)) return std::nullopt;
            for (const Object& e : h.extension_) {
                if (Same(e.guid, kMetadata) && !ParseMetadata(e, editable, h.keptMetadata_)) return std::nullopt;
                if (Same(e.guid, kMetadataLib) && !ParseMetadata(e, editable, h.keptLibrary_))
                    return std::nullopt;
            }
        }
    }
    if (!haveProps) return std::nullopt;
    // Writers put a field in both description objects (an author in the content description and again
    // in the extended one): a name repeated with the same type and value is one attribute.
    std::vector<Attribute> unique;
    for (Attribute& a : editable) {
        const bool repeated = std::any_of(unique.begin(), unique.end(), [&](const Attribute& u) {
            return u.name == a.name && u.type == a.type && u.value == a.value;
        });
        if (!repeated) unique.push_back(std::move(a));
    }
    editable = std::move(unique);
    const bool pictures = std::any_of(editable.begin(), editable.end(), [](const Attribute& a) { return a.name == u"WM/Picture"; });
    derived.push_back(Make(u"Is_Protected", Bool, Le(protectedContent, 4), true));
    derived.push_back(Make(u"HasAudio", Bool, Le(audio, 4), true));
    derived.push_back(Make(u"HasImage", Bool, Le(image, 4), true));
    derived.push_back(Make(u"HasScript", Bool, Le(script, 4), true));
    derived.push_back(Make(u"HasVideo", Bool, Le(video, 4), true));
    derived.push_back(Make(u"HasAttachedImages", Bool, Le(pictures, 4), true));
    derived.push_back(Make(u"HasArbitraryDataStream", Bool, Le(arbitrary, 4), true));
    derived.push_back(Make(u"HasFileTransferStream", Bool, Le(transfer, 4), true));
    h.attributes = std::move(derived);
    h.attributes.insert(h.attributes.end(), editable.begin(), editable.end());
    h.parsed_ = h.attributes;
    return h;
}

std::vector<uint8_t> Header::Build(uint64_t restSize, uint64_t size) const {
    bool edited = attributes.size() != parsed_.size() ||
                  !std::equal(attributes.begin(), attributes.end(), parsed_.begin(), [](auto& a, auto& b) {
                      return a.name == b.name && a.type == b.type && a.value == b.value;
                  });
    std::vector<Object> objects;
    if (!edited) {
        objects = objects_;
    } else {
        std::u16string content[5];
        bool contentTaken[5] = {};
        bool anyContent = false;
        std::vector<uint8_t> ext, lib;
        size_t extCount = 0, libCount = keptLibrary_.size();
        for (const auto& r : keptLibrary_) lib.insert(lib.end(), r.begin(), r.end());
        for (const Attribute& a : attributes) {
            if (a.readOnly) continue;
            // The first of a name goes into the content description, further ones into the extended one.
            int ci = ContentIndex(a.name);
            if (ci >= 0 && a.type == String && !contentTaken[ci]) {
                contentTaken[ci] = true;
                content[ci] = Utf16(a.value.data(), a.value.size());
                anyContent = anyContent || !content[ci].empty();
            } else if (FitsExtContent(a)) {
                Put(ext, 2 * (a.name.size() + 1), 2);
                PutUtf16(ext, a.name, true);
                Put(ext, ToFile(a.type), 2);
                Put(ext, a.value.size(), 2);
                ext.insert(ext.end(), a.value.begin(), a.value.end());
                ++extCount;
            } else {
                PutMetadataRecord(lib, a);
                ++libCount;
            }
        }
        bool haveExt = false;
        for (const Object& o : objects_) {
            // Padding left by an earlier save is given back; the size asked for decides the new one.
            if (Same(o.guid, kContentDesc) || Same(o.guid, kExtContentDesc) || Same(o.guid, kPadding)) continue;
            if (Same(o.guid, kHeaderExt)) {
                haveExt = true;
                continue; // rebuilt below, at the end of the header
            }
            objects.push_back(o);
        }
        if (anyContent) {
            std::vector<uint8_t> head, body;
            for (auto& s : content) {
                Put(head, s.empty() ? 0 : 2 * (s.size() + 1), 2);
                if (!s.empty()) PutUtf16(body, s, true);
            }
            head.insert(head.end(), body.begin(), body.end());
            objects.push_back(MakeObject(kContentDesc, head));
        }
        if (extCount > 0) {
            std::vector<uint8_t> payload;
            Put(payload, extCount, 2);
            payload.insert(payload.end(), ext.begin(), ext.end());
            objects.push_back(MakeObject(kExtContentDesc, payload));
        }
        if (haveExt || libCount > 0) {
            std::vector<uint8_t> inner;
            for (const Object& e : extension_) {
                if (Same(e.guid, kMetadataLib)) continue;
                if (Same(e.guid, kMetadata)) {
                    if (keptMetadata_.empty()) continue;
                    std::vector<uint8_t> payload;
                    Put(payload, keptMetadata_.size(), 2);
                    for (const auto& r : keptMetadata_) payload.insert(payload.end(), r.begin(), r.end());
                    Object m = MakeObject(kMetadata, payload);
                    inner.insert(inner.end(), m.bytes.begin(), m.bytes.end());
                    continue;
                }
                inner.insert(inner.end(), e.bytes.begin(), e.bytes.end());
            }
            if (libCount > 0) {
                std::vector<uint8_t> payload;
                Put(payload, libCount, 2);
                payload.insert(payload.end(), lib.begin(), lib.end());
                Object m = MakeObject(kMetadataLib, payload);
                inner.insert(inner.end(), m.bytes.begin(), m.bytes.end());
            }
            std::vector<uint8_t> payload(kExtReserved, kExtReserved + 16);
            Put(payload, 6, 2);
            Put(payload, inner.size(), 4);
            payload.insert(payload.end(), inner.begin(), inner.end());
            objects.push_back(MakeObject(kHeaderExt, payload));
        }
    }

    std::vector<uint8_t> out(kHeader, kHeader + 16);
    uint64_t total = 30;
    for (const Object& o : objects) total += o.bytes.size();
    if (size >= total + kPaddingMin) {
        objects.push_back(MakeObject(kPadding, std::vector<uint8_t>(size_t(size - total - kObjectHead))));
        total = size;
    }
    Put(out, total, 8);
    Put(out, objects.size(), 4);
    out.push_back(reserved_[0]);
    out.push_back(reserved_[1]);
    for (const Object& o : objects) {
        size_t at = out.size();
        out.insert(out.end(), o.bytes.begin(), o.bytes.end());
        // The file size of a file being broadcast is not known and stays as it was.
        if (Same(o.guid, kFileProps) && !(Get(&out[at + 88], 4) & 1)) PutAt(&out[at + 40], total + restSize, 8);
    }
    return out;
}

} // namespace asf
