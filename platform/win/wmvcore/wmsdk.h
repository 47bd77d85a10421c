// win/wmvcore/wmsdk.h: the metadata editor of the Win32 stand-in ("wmvcore.dll"): reads the
// attributes of an ASF file and writes them back, the rest of the file untouched.
#pragma once

#include "win/shell32/objbase.h"

extern "C" {

typedef enum WMT_ATTR_DATATYPE {
    WMT_TYPE_DWORD = 0, WMT_TYPE_STRING = 1, WMT_TYPE_BINARY = 2, WMT_TYPE_BOOL = 3, WMT_TYPE_QWORD = 4,
    WMT_TYPE_WORD = 5, WMT_TYPE_GUID = 6
} WMT_ATTR_DATATYPE;

typedef enum WMT_CODEC_INFO_TYPE { WMT_CODECINFO_AUDIO = 0, WMT_CODECINFO_VIDEO = 1, WMT_CODECINFO_UNKNOWN = -1 }
    WMT_CODEC_INFO_TYPE;

#define NS_E_INVALID_REQUEST ((HRESULT)0xC00D002BL)
#define NS_E_FILE_OPEN_FAILED ((HRESULT)0xC00D001DL)
#define NS_E_INVALID_INPUT_FORMAT ((HRESULT)0xC00D0BBBL)
#define NS_E_ATTRIBUTE_READ_ONLY ((HRESULT)0xC00D07E8L)
#define NS_E_FILE_WRITE ((HRESULT)0xC00D0014L)
#define ASF_E_BUFFERTOOSMALL ((HRESULT)0xC00D07D2L)

} // extern "C"

// {15CC68E3-27CC-4ECD-B222-3F5D02D80BD5}
inline constexpr IID IID_IWMHeaderInfo3 = {0x15CC68E3, 0x27CC, 0x4ECD, {0xB2, 0x22, 0x3F, 0x5D, 0x02, 0xD8, 0x0B, 0xD5}};
// {96406BD9-2B2B-11D3-B36B-00C04F6108FF}
inline constexpr IID IID_IWMMetadataEditor = {0x96406BD9, 0x2B2B, 0x11D3, {0xB3, 0x6B, 0x00, 0xC0, 0x4F, 0x61, 0x08, 0xFF}};

// Open reads the header; a file that is missing or not ASF fails here and leaves every later call
// failing. Flush writes the edited header into a new file beside the original and renames it over
// it, so the original stays as it was on any failure.
struct IWMMetadataEditor : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Open(LPCWSTR pwszFilename) = 0;
    virtual HRESULT STDMETHODCALLTYPE Close() = 0;
    virtual HRESULT STDMETHODCALLTYPE Flush() = 0;
};

// Only stream 0 (the file's own attributes) and language 0 are served. Duration, Bitrate, Seekable,
// Broadcast, Is_Protected, HasAudio, HasImage, HasScript, HasVideo, HasAttachedImages,
// HasArbitraryDataStream and HasFileTransferStream come from the header and are read-only; what the
// header cannot tell (Stridable, Is_Trusted, Signature_Name, the current and optimal bit rates, skipping,
// NumberOfFrames, WM/ContainerFormat) is absent. A name repeated with the same value is one attribute. The value of "WM/Picture"
// is given and taken as a packed head (MIME address, type byte, description address, data length,
// data address: 29 bytes) followed by the MIME type, description and data.
struct IWMHeaderInfo3 : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetCodecInfo(DWORD wIndex, WORD* pcchName, WCHAR* pwszName,
                                                   WORD* pcchDescription, WCHAR* pwszDescription,
                                                   WMT_CODEC_INFO_TYPE* pCodecType, WORD* pcbCodecInfo,
                                                   BYTE* pbCodecInfo) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetAttributeCountEx(WORD wStreamNum, WORD* pcAttributes) = 0;
    // With null name and value buffers, gives the name length (characters, terminator included)
    // and the value length (bytes); with buffers too small, ASF_E_BUFFERTOOSMALL.
    virtual HRESULT STDMETHODCALLTYPE GetAttributeByIndexEx(WORD wStreamNum, WORD wIndex, LPWSTR pwszName,
                                                            WORD* pwNameLen, WMT_ATTR_DATATYPE* pType,
                                                            WORD* pwLangIndex, BYTE* pValue,
                                                            DWORD* pdwDataLength) = 0;
    virtual HRESULT STDMETHODCALLTYPE AddAttribute(WORD wStreamNum, LPCWSTR pszName, WORD* pwIndex,
                                                   WMT_ATTR_DATATYPE Type, WORD wLangIndex, const BYTE* pValue,
                                                   DWORD dwLength) = 0;
    virtual HRESULT STDMETHODCALLTYPE DeleteAttribute(WORD wStreamNum, WORD wIndex) = 0;
};

extern "C" {
HRESULT WINAPI WMCreateEditor(IWMMetadataEditor** ppEditor);
}
