// A metadata editor library for the WMA unit's tests: its calls are written to a log, and any one of
// them can be made to fail. It serves one attribute, "Title" = "Fake".
//     FakeEditorFailAt("create" | "query" | "count" | "flush" | "")   the call that fails from now on
//     FakeEditorCalls()                                               the calls since the last look
#include <cstdint>
#include <cstring>
#include <string>

#define FAKE_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

typedef int32_t HRESULT;
constexpr HRESULT Ok = 0, Fail = int32_t(0x80004005u), NoInterface = int32_t(0x80004002u);
struct IID { uint32_t Data1; uint16_t Data2, Data3; uint8_t Data4[8]; };

std::string Failing, Calls;

HRESULT Call(const char* Name, const char* Step = "")
{
    Calls += Calls.empty() ? "" : " ";
    Calls += Name;
    return *Step && Failing == Step ? Fail : Ok;
}

// The layouts the editor library gives its callers.
struct Unknown {
    virtual HRESULT QueryInterface(const IID& riid, void** ppv) = 0;
    virtual uint32_t AddRef() = 0;
    virtual uint32_t Release() = 0;
};
struct Editor : Unknown {
    virtual HRESULT Open(const char16_t* Name) = 0;
    virtual HRESULT Close() = 0;
    virtual HRESULT Flush() = 0;
};
struct HeaderInfo : Unknown {
    virtual HRESULT GetCodecInfo(uint32_t, uint16_t*, char16_t*, uint16_t*, char16_t*, int*, uint16_t*, uint8_t*) = 0;
    virtual HRESULT GetAttributeCountEx(uint16_t Stream, uint16_t* Count) = 0;
    virtual HRESULT GetAttributeByIndexEx(uint16_t Stream, uint16_t Index, char16_t* Name, uint16_t* NameLength,
                                          int* Type, uint16_t* Language, uint8_t* Value, uint32_t* Length) = 0;
    virtual HRESULT AddAttribute(uint16_t, const char16_t*, uint16_t*, int, uint16_t, const uint8_t*, uint32_t) = 0;
    virtual HRESULT DeleteAttribute(uint16_t, uint16_t) = 0;
};

struct FakeInfo final : HeaderInfo {
    HRESULT QueryInterface(const IID&, void**) override { return NoInterface; }
    uint32_t AddRef() override { return 1; }
    uint32_t Release() override { return Call("info-release"), 0; }
    HRESULT GetCodecInfo(uint32_t, uint16_t*, char16_t*, uint16_t*, char16_t*, int*, uint16_t*, uint8_t*) override
    {
        return Call("codec"), Fail;
    }
    HRESULT GetAttributeCountEx(uint16_t, uint16_t* Count) override
    {
        const HRESULT hr = Call("count", "count");
        if (hr == Ok) *Count = 1;
        return hr;
    }
    HRESULT GetAttributeByIndexEx(uint16_t, uint16_t, char16_t* Name, uint16_t* NameLength, int* Type, uint16_t*,
                                  uint8_t* Value, uint32_t* Length) override
    {
        static const char16_t title[] = u"Title", text[] = u"Fake";
        *NameLength = 6;
        *Length = sizeof text;
        *Type = 1;
        if (Name) std::memcpy(Name, title, sizeof title);
        if (Value) std::memcpy(Value, text, sizeof text);
        return Ok;
    }
    HRESULT AddAttribute(uint16_t, const char16_t*, uint16_t*, int, uint16_t, const uint8_t*, uint32_t) override
    {
        return Call("add");
    }
    HRESULT DeleteAttribute(uint16_t, uint16_t) override { return Call("delete"); }
} Info;

struct FakeEditor final : Editor {
    HRESULT QueryInterface(const IID&, void** ppv) override
    {
        const HRESULT hr = Call("query", "query");
        *ppv = hr == Ok ? static_cast<HeaderInfo*>(&Info) : nullptr;
        return hr == Ok ? Ok : NoInterface;
    }
    uint32_t AddRef() override { return 1; }
    uint32_t Release() override { return Call("release"), 0; }
    HRESULT Open(const char16_t*) override { return Call("open"); }
    HRESULT Close() override { return Call("close"); }
    HRESULT Flush() override { return Call("flush", "flush"); }
} TheEditor;

} // namespace

FAKE_EXPORT HRESULT WMCreateEditor(Editor** Made)
{
    const HRESULT hr = Call("create", "create");
    *Made = hr == Ok ? &TheEditor : nullptr;
    return hr;
}

FAKE_EXPORT void FakeEditorFailAt(const char* Step) { Failing = Step; }

FAKE_EXPORT const char* FakeEditorCalls()
{
    static std::string last;
    last = Calls;
    Calls.clear();
    return last.c_str();
}
