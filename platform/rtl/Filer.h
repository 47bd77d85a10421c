// rtl/Filer.h: component property streaming as far as components define their own properties:
// TFiler with DefineProperty/DefineBinaryProperty, and the TReader/TWriter pair over the class
// library's binary value format (a value-type byte, then the value, little-endian).
#pragma once
#include "rtl/Classes.h"
#include "rtl/Event.h"
#include "rtl/Streams.h"
#include "rtl/System.h"

#include <cstdint>

namespace rtl {

class TWriter;

enum TValueType : uint8_t {
    vaNull, vaList, vaInt8, vaInt16, vaInt32, vaExtended, vaString, vaIdent, vaFalse, vaTrue, vaBinary,
    vaSet, vaLString, vaNil, vaCollection, vaSingle, vaCurrency, vaDate, vaWString, vaInt64, vaUTF8String,
    vaDouble
};

using TReaderProc = TEvent<void(TReader* Reader)>;
using TWriterProc = TEvent<void(TWriter* Writer)>;
using TStreamProc = TEvent<void(TStream* Stream)>;

class TFiler : public TObject {
public:
    explicit TFiler(TStream* Stream) : FStream(Stream) {}

    // A property the component reads and writes itself: the reader calls ReadData when the stream
    // holds Name; the writer writes Name and calls WriteData when HasData.
    virtual void DefineProperty(const String& Name, const TReaderProc& ReadData, const TWriterProc& WriteData,
                                bool HasData) = 0;
    // The same for a block of bytes, which the procedures read from or write to a stream of their own.
    virtual void DefineBinaryProperty(const String& Name, const TStreamProc& ReadData,
                                      const TStreamProc& WriteData, bool HasData) = 0;

    TStream* Stream() const { return FStream; }

protected:
    TStream* FStream;
};

class TWriter : public TFiler {
public:
    using TFiler::TFiler;

    void DefineProperty(const String& Name, const TReaderProc& ReadData, const TWriterProc& WriteData,
                        bool HasData) override;
    void DefineBinaryProperty(const String& Name, const TStreamProc& ReadData, const TStreamProc& WriteData,
                              bool HasData) override;

    // The properties Instance defines, then the end of the list.
    void WriteProperties(TPersistent* Instance);

    void WriteInteger(int64_t Value); // in the smallest of vaInt8, vaInt16, vaInt32, vaInt64
    void WriteBoolean(bool Value);
    void WriteString(const String& Value);
    void WriteListBegin();
    void WriteListEnd();

private:
    void WritePropName(const String& Name);
    void WriteValue(TValueType Value);
};

class TReader : public TFiler {
public:
    using TFiler::TFiler;

    void DefineProperty(const String& Name, const TReaderProc& ReadData, const TWriterProc& WriteData,
                        bool HasData) override;
    void DefineBinaryProperty(const String& Name, const TStreamProc& ReadData, const TStreamProc& WriteData,
                              bool HasData) override;

    // Reads a property list written by WriteProperties into Instance. A property Instance does not
    // define raises EReadError "Property <name> does not exist"; a damaged stream raises EReadError.
    void ReadProperties(TPersistent* Instance);

    int64_t ReadInteger(); // EReadError "Invalid property value" when the next value is no integer
    bool ReadBoolean();
    String ReadString();
    void ReadListBegin();
    void ReadListEnd();
    bool EndOfList();
    TValueType NextValue(); // without consuming it

private:
    TValueType ReadValue();
    String ReadStr();
    void CheckValue(TValueType Expected);
    [[noreturn]] void PropValueError();

    String FPropName; // the property being read, cleared when a definition took it
};

} // namespace rtl
