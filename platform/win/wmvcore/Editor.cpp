// The metadata editor over the ASF header parser.
#include "win/kernel32/Utf8.h"
#include "win/wmvcore/Asf.h"
#include "win/wmvcore/wmsdk.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr size_t kPictureHead = 29;
const std::u16string kPicture = u"WM/Picture";

uint32_t Get32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24; }
void Put64(uint8_t* p, uint64_t v) {
    for (int i = 0; i < 8; ++i) p[i] = uint8_t(v >> (8 * i));
}
// Length in bytes of the 0-terminated UTF-16 text at p (terminator included), 0 when none within n.
size_t TextBytes(const uint8_t* p, size_t n) {
    for (size_t i = 0; i + 1 < n; i += 2)
        if (p[i] == 0 && p[i + 1] == 0) return i + 2;
    return 0;
}

// A picture as stored (type, length, MIME, description, data) to the interface's packed head form,
// the addresses pointing into out. Empty when the stored form is malformed.
bool PictureToInterface(const std::vector<uint8_t>& stored, uint8_t* out) {
    if (stored.size() < 5) return false;
    size_t mime = TextBytes(stored.data() + 5, stored.size() - 5);
    if (mime == 0) return false;
    size_t desc = TextBytes(stored.data() + 5 + mime, stored.size() - 5 - mime);
    uint32_t len = Get32(stored.data() + 1);
    if (desc == 0 || len != stored.size() - 5 - mime - desc) return false;
    uint8_t* body = out + kPictureHead;
    std::memcpy(body, stored.data() + 5, stored.size() - 5);
    Put64(out, uint64_t(uintptr_t(body)));
    out[8] = stored[0];
    Put64(out + 9, uint64_t(uintptr_t(body + mime)));
    std::memcpy(out + 17, stored.data() + 1, 4);
    Put64(out + 21, uint64_t(uintptr_t(body + mime + desc)));
    return true;
}
std::optional<std::vector<uint8_t>> PictureFromInterface(const uint8_t* p, size_t n) {
    if (n < kPictureHead) return std::nullopt;
    size_t mime = TextBytes(p + kPictureHead, n - kPictureHead);
    if (mime == 0) return std::nullopt;
    size_t desc = TextBytes(p + kPictureHead + mime, n - kPictureHead - mime);
    uint32_t len = Get32(p + 17);
    if (desc == 0 || len > n - kPictureHead - mime - desc) return std::nullopt;
    std::vector<uint8_t> stored{p[8]};
    stored.insert(stored.end(), p + 17, p + 21);
    stored.insert(stored.end(), p + kPictureHead, p + kPictureHead + mime + desc + len);
    return stored;
}
size_t InterfaceSize(const asf::Attribute& a) {
    bool picture = a.name == kPicture && a.type == asf::Binary;
    return a.value.size() + (picture ? kPictureHead - 5 : 0);
}

bool SameIid(REFIID a, REFIID b) { return std::memcmp(&a, &b, sizeof(IID)) == 0; }

class Editor final : public IWMMetadataEditor, public IWMHeaderInfo3 {
public:
    // IUnknown, shared by both interfaces.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        static constexpr IID unknown = {0, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
        if (SameIid(riid, IID_IWMHeaderInfo3)) *ppv = static_cast<IWMHeaderInfo3*>(this);
        else if (SameIid(riid, IID_IWMMetadataEditor) || SameIid(riid, unknown))
            *ppv = static_cast<IWMMetadataEditor*>(this);
        else return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override {
        ULONG left = --refs_;
        if (left == 0) delete this;
        return left;
    }

    HRESULT STDMETHODCALLTYPE Open(LPCWSTR name) override {
        if (!name) return E_INVALIDARG;
        if (header_) return NS_E_INVALID_REQUEST;
        std::string path = winkernel::Utf16ToUtf8(std::u16string(name));
        int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) return NS_E_FILE_OPEN_FAILED;
        HRESULT hr = Read(fd);
        ::close(fd);
        if (SUCCEEDED(hr)) path_ = path;
        return hr;
    }
    HRESULT STDMETHODCALLTYPE Close() override {
        if (!header_) return NS_E_INVALID_REQUEST;
        header_.reset();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Flush() override {
        if (!header_) return NS_E_INVALID_REQUEST;
        return Write() ? S_OK : NS_E_FILE_WRITE;
    }

    // Lengths in and out: name and description in characters with their terminator, information in
    // bytes; a buffer given too small gets nothing and the lengths it needs.
    HRESULT STDMETHODCALLTYPE GetCodecInfo(DWORD index, WORD* nameLen, WCHAR* name, WORD* descriptionLen,
                                           WCHAR* description, WMT_CODEC_INFO_TYPE* type, WORD* infoLen,
                                           BYTE* info) override {
        if (!header_) return NS_E_INVALID_REQUEST;
        if (index >= header_->codecs.size() || !nameLen || !descriptionLen || !infoLen) return E_INVALIDARG;
        const asf::Codec& c = header_->codecs[index];
        const WORD needName = WORD(c.name.size() + 1), needDescription = WORD(c.description.size() + 1);
        const WORD needInfo = WORD(c.info.size());
        const bool small = (name && *nameLen < needName) || (description && *descriptionLen < needDescription) ||
                           (info && *infoLen < needInfo);
        *nameLen = needName;
        *descriptionLen = needDescription;
        *infoLen = needInfo;
        if (small) return ASF_E_BUFFERTOOSMALL;
        if (name) std::memcpy(name, c.name.c_str(), needName * sizeof(WCHAR));
        if (description) std::memcpy(description, c.description.c_str(), needDescription * sizeof(WCHAR));
        if (info && needInfo > 0) std::memcpy(info, c.info.data(), needInfo);
        if (type)
            *type = c.type == 1 ? WMT_CODECINFO_VIDEO : c.type == 2 ? WMT_CODECINFO_AUDIO : WMT_CODECINFO_UNKNOWN;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetAttributeCountEx(WORD stream, WORD* count) override {
        if (!header_) return NS_E_INVALID_REQUEST;
        if (!count) return E_INVALIDARG;
        *count = stream == 0 ? WORD(header_->attributes.size()) : 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetAttributeByIndexEx(WORD stream, WORD index, LPWSTR name, WORD* nameLen,
                                                    WMT_ATTR_DATATYPE* type, WORD* lang, BYTE* value,
                                                    DWORD* valueLen) override {
        if (!header_) return NS_E_INVALID_REQUEST;
        if (stream != 0 || index >= header_->attributes.size() || !nameLen || !valueLen) return E_INVALIDARG;
        const asf::Attribute& a = header_->attributes[index];
        WORD needName = WORD(a.name.size() + 1);
        DWORD needValue = DWORD(InterfaceSize(a));
        if ((name && *nameLen < needName) || (value && *valueLen < needValue)) {
            *nameLen = needName;
            *valueLen = needValue;
            return ASF_E_BUFFERTOOSMALL;
        }
        *nameLen = needName;
        *valueLen = needValue;
        if (type) *type = WMT_ATTR_DATATYPE(a.type);
        if (lang) *lang = 0;
        if (name) std::memcpy(name, a.name.c_str(), needName * sizeof(WCHAR));
        if (value) {
            if (needValue != a.value.size()) {
                if (!PictureToInterface(a.value, value)) return NS_E_INVALID_INPUT_FORMAT;
            } else if (!a.value.empty()) {
                std::memcpy(value, a.value.data(), a.value.size());
            }
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE AddAttribute(WORD stream, LPCWSTR name, WORD* index, WMT_ATTR_DATATYPE type,
                                           WORD lang, const BYTE* value, DWORD len) override {
        if (!header_) return NS_E_INVALID_REQUEST;
        if (stream != 0 || lang != 0 || !name || !*name || unsigned(type) > WMT_TYPE_GUID || (len && !value))
            return E_INVALIDARG;
        asf::Attribute a;
        a.name = name;
        if (asf::IsReadOnlyName(a.name)) return NS_E_ATTRIBUTE_READ_ONLY;
        a.type = asf::AttrType(type);
        static const DWORD fixed[7] = {4, 0, 0, 4, 8, 2, 16};
        if (fixed[type] && len != fixed[type]) return E_INVALIDARG;
        if (a.name == kPicture && type == WMT_TYPE_BINARY) {
            auto stored = PictureFromInterface(value, len);
            if (!stored) return E_INVALIDARG;
            a.value = std::move(*stored);
        } else {
            a.value.assign(value, value + len);
            // Strings are kept with their terminator, as the header stores them.
            if (type == WMT_TYPE_STRING && (len < 2 || value[len - 1] || value[len - 2]))
                a.value.insert(a.value.end(), {0, 0});
        }
        if (header_->attributes.size() >= 0xFFFF) return E_OUTOFMEMORY;
        header_->attributes.push_back(std::move(a));
        if (index) *index = WORD(header_->attributes.size() - 1);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DeleteAttribute(WORD stream, WORD index) override {
        if (!header_) return NS_E_INVALID_REQUEST;
        if (stream != 0 || index >= header_->attributes.size()) return E_INVALIDARG;
        if (header_->attributes[index].readOnly) return NS_E_ATTRIBUTE_READ_ONLY;
        header_->attributes.erase(header_->attributes.begin() + index);
        return S_OK;
    }

private:
    HRESULT Read(int fd) {
        struct stat st {};
        uint8_t head[30];
        if (::fstat(fd, &st) != 0 || ::pread(fd, head, 30, 0) != 30) return NS_E_INVALID_INPUT_FORMAT;
        uint64_t size = asf::Header::HeaderSize(head, 30);
        // The size is checked against the file before anything is allocated for it.
        if (size == 0 || size > uint64_t(st.st_size)) return NS_E_INVALID_INPUT_FORMAT;
        std::vector<uint8_t> bytes(static_cast<size_t>(size));
        if (!ReadAll(fd, bytes.data(), bytes.size(), 0)) return NS_E_INVALID_INPUT_FORMAT;
        header_ = asf::Header::Parse(bytes.data(), bytes.size());
        return header_ ? S_OK : NS_E_INVALID_INPUT_FORMAT;
    }
    static bool ReadAll(int fd, uint8_t* p, size_t n, off_t at) {
        while (n > 0) {
            ssize_t got = ::pread(fd, p, n, at);
            if (got <= 0) return false;
            p += got, n -= size_t(got), at += got;
        }
        return true;
    }
    static bool WriteAll(int fd, const uint8_t* p, size_t n) {
        while (n > 0) {
            ssize_t put = ::write(fd, p, n);
            if (put < 0 && errno == EINTR) continue;
            if (put <= 0) return false;
            p += put, n -= size_t(put);
        }
        return true;
    }
    // The original from At to its end onto the end of the new file: by the kernel where it can (without
    // passing the bytes through us), else through a buffer.
    static bool CopyRest(int in, int out, off_t at, off_t end) {
        while (at < end) {
            const ssize_t n = ::copy_file_range(in, &at, out, nullptr, size_t(std::min<off_t>(end - at, 1 << 30)), 0);
            if (n > 0) continue;
            if (n < 0 && errno == EINTR) continue;
            if (n == 0) return false;
            break;
        }
        std::vector<uint8_t> buf(1 << 20);
        while (at < end) {
            const size_t n = size_t(std::min<off_t>(off_t(buf.size()), end - at));
            if (!ReadAll(in, buf.data(), n, at) || !WriteAll(out, buf.data(), n)) return false;
            at += off_t(n);
        }
        return true;
    }
    static bool WriteAllAt(int fd, const uint8_t* p, size_t n, off_t at) {
        while (n > 0) {
            ssize_t put = ::pwrite(fd, p, n, at);
            if (put < 0 && errno == EINTR) continue;
            if (put <= 0) return false;
            p += put, n -= size_t(put), at += put;
        }
        return true;
    }
    // The new header goes into the file itself where the audio can stay where it is on the disk: into
    // the old header's room (the rest padded), or into room the file system inserts in front of it in
    // whole blocks (the audio's blocks move in the file's map, its bytes are not copied). A failed step
    // takes the room out again and puts the old header back. Elsewhere the file is replaced.
    bool Write() {
        int fd = ::open(path_.c_str(), O_RDWR | O_CLOEXEC);
        if (fd < 0) return Replace();
        struct stat st {};
        const uint64_t oldSize = header_->originalSize;
        if (::fstat(fd, &st) != 0 || uint64_t(st.st_size) < oldSize) {
            ::close(fd);
            return false;
        }
        const uint64_t rest = uint64_t(st.st_size) - oldSize;
        const uint64_t needed = header_->Build(rest).size();
        const uint64_t block = st.st_blksize > 0 ? uint64_t(st.st_blksize) : 4096;
        uint64_t size = oldSize;
        if (needed < oldSize && needed + asf::Header::kPaddingMin > oldSize) {
            size = oldSize + block;   // too little room left over for a padding object
        } else if (needed > oldSize) {
            const uint64_t grow = needed - oldSize;
            size = oldSize + (grow % block == 0 ? grow : (grow + asf::Header::kPaddingMin + block - 1) / block * block);
        }
        std::vector<uint8_t> old(static_cast<size_t>(oldSize));
        if (!ReadAll(fd, old.data(), old.size(), 0)) {
            ::close(fd);
            return false;
        }
        const off_t inserted = off_t(size - oldSize);
        if (inserted > 0 && ::fallocate(fd, FALLOC_FL_INSERT_RANGE, 0, inserted) != 0) {
            ::close(fd);
            return Replace();
        }
        const std::vector<uint8_t> head = header_->Build(rest, size);
        bool ok = WriteAllAt(fd, head.data(), head.size(), 0) && ::fsync(fd) == 0;
        if (!ok) {
            if (inserted > 0) (void)::fallocate(fd, FALLOC_FL_COLLAPSE_RANGE, 0, inserted);
            (void)WriteAllAt(fd, old.data(), old.size(), 0);
            (void)::fsync(fd);
        }
        ::close(fd);
        if (ok) header_->originalSize = head.size();
        return ok;
    }
    // The new header and the rest of the original into a unique file beside it, renamed over it.
    bool Replace() {
        int in = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
        if (in < 0) return false;
        struct stat st {};
        if (::fstat(in, &st) != 0 || uint64_t(st.st_size) < header_->originalSize) {
            ::close(in);
            return false;
        }
        uint64_t rest = uint64_t(st.st_size) - header_->originalSize;
        std::string temp = path_ + ".XXXXXX";
        int out = ::mkstemp(temp.data());
        if (out < 0) {
            ::close(in);
            return false;
        }
        std::vector<uint8_t> head = header_->Build(rest);
        bool ok = WriteAll(out, head.data(), head.size()) && CopyRest(in, out, off_t(header_->originalSize), st.st_size);
        ok = ok && ::fchmod(out, st.st_mode & 07777) == 0 && ::fsync(out) == 0;
        ok = (::close(out) == 0) && ok;
        ::close(in);
        if (ok) ok = ::rename(temp.c_str(), path_.c_str()) == 0;
        if (!ok) {
            ::unlink(temp.c_str());
            return false;
        }
        header_->originalSize = head.size();
        return true;
    }

    std::atomic<ULONG> refs_{1};
    std::optional<asf::Header> header_;
    std::string path_;
};

} // namespace

extern "C" HRESULT WINAPI WMCreateEditor(IWMMetadataEditor** ppEditor) {
    if (!ppEditor) return E_POINTER;
    *ppEditor = new Editor;
    return S_OK;
}
