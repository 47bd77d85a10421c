#include "rtl/Filer.h"

#include <QByteArray>

namespace rtl {

namespace {

// DefineProperties is for the filers to call, as in the class library's own unit.
struct PersistentAccess : TPersistent {
    using TPersistent::DefineProperties;
};

void DefinePropertiesOf(TPersistent* Instance, TFiler* Filer) {
    (Instance->*&PersistentAccess::DefineProperties)(Filer);
}

constexpr int64_t MaxBinarySize = int64_t(1) << 30; // refuses absurd sizes from a damaged stream

} // namespace

// ---- TWriter ----

void TWriter::WriteValue(TValueType Value) { FStream->WriteData(static_cast<uint8_t>(Value)); }

void TWriter::WritePropName(const String& Name) {
    const QByteArray bytes = Name.toUtf8();
    if (bytes.isEmpty() || bytes.size() > 255) throw EWriteError(QStringLiteral("Invalid property name"));
    FStream->WriteData(static_cast<uint8_t>(bytes.size()));
    FStream->WriteBuffer(bytes.constData(), bytes.size());
}

void TWriter::DefineProperty(const String& Name, const TReaderProc&, const TWriterProc& WriteData, bool HasData) {
    if (!HasData || !WriteData) return;
    WritePropName(Name);
    WriteData(this);
}

void TWriter::DefineBinaryProperty(const String& Name, const TStreamProc&, const TStreamProc& WriteData,
                                   bool HasData) {
    if (!HasData || !WriteData) return;
    WritePropName(Name);
    TMemoryStream data;
    WriteData(&data);
    const int64_t size = data.Size();
    if (size > MaxBinarySize || size > INT32_MAX) throw EWriteError(QStringLiteral("Stream write error"));
    WriteValue(vaBinary);
    FStream->WriteData(static_cast<int32_t>(size));
    FStream->WriteBuffer(data.Memory(), size);
}

void TWriter::WriteProperties(TPersistent* Instance) {
    DefinePropertiesOf(Instance, this);
    WriteListEnd();
}

void TWriter::WriteInteger(int64_t Value) {
    if (Value >= INT8_MIN && Value <= INT8_MAX) {
        WriteValue(vaInt8);
        FStream->WriteData(static_cast<int8_t>(Value));
    } else if (Value >= INT16_MIN && Value <= INT16_MAX) {
        WriteValue(vaInt16);
        FStream->WriteData(static_cast<int16_t>(Value));
    } else if (Value >= INT32_MIN && Value <= INT32_MAX) {
        WriteValue(vaInt32);
        FStream->WriteData(static_cast<int32_t>(Value));
    } else {
        WriteValue(vaInt64);
        FStream->WriteData(Value);
    }
}

void TWriter::WriteBoolean(bool Value) { WriteValue(Value ? vaTrue : vaFalse); }

void TWriter::WriteString(const String& Value) {
    const QByteArray bytes = Value.toUtf8();
    WriteValue(vaUTF8String);
    FStream->WriteData(static_cast<int32_t>(bytes.size()));
    FStream->WriteBuffer(bytes.constData(), bytes.size());
}

void TWriter::WriteListBegin() { WriteValue(vaList); }
void TWriter::WriteListEnd() { WriteValue(vaNull); }

// ---- TReader ----

void TReader::PropValueError() { throw EReadError(QStringLiteral("Invalid property value")); }

TValueType TReader::ReadValue() {
    uint8_t b = 0;
    if (!FStream->ReadData(b)) throw EReadError(QStringLiteral("Stream read error"));
    return static_cast<TValueType>(b);
}

TValueType TReader::NextValue() {
    const TValueType v = ReadValue();
    FStream->Seek(-1, soCurrent);
    return v;
}

void TReader::CheckValue(TValueType Expected) {
    if (ReadValue() != Expected) {
        FStream->Seek(-1, soCurrent);
        PropValueError();
    }
}

String TReader::ReadStr() {
    uint8_t len = 0;
    if (!FStream->ReadData(len)) throw EReadError(QStringLiteral("Stream read error"));
    QByteArray bytes(len, '\0');
    FStream->ReadBuffer(bytes.data(), len);
    return String::fromUtf8(bytes);
}

void TReader::DefineProperty(const String& Name, const TReaderProc& ReadData, const TWriterProc&, bool) {
    if (FPropName.isEmpty() || !ReadData || Name.compare(FPropName, Qt::CaseInsensitive) != 0) return;
    ReadData(this);
    FPropName.clear();
}

void TReader::DefineBinaryProperty(const String& Name, const TStreamProc& ReadData, const TStreamProc&, bool) {
    if (FPropName.isEmpty() || !ReadData || Name.compare(FPropName, Qt::CaseInsensitive) != 0) return;
    CheckValue(vaBinary);
    int32_t size = 0;
    if (!FStream->ReadData(size)) throw EReadError(QStringLiteral("Stream read error"));
    if (size < 0 || size > FStream->Size() - FStream->Position()) PropValueError();
    TMemoryStream data;
    data.SetSize(size);
    FStream->ReadBuffer(data.Memory(), size);
    data.SetPosition(0);
    ReadData(&data);
    FPropName.clear();
}

void TReader::ReadProperties(TPersistent* Instance) {
    while (!EndOfList()) {
        FPropName = ReadStr();
        const String name = FPropName;
        DefinePropertiesOf(Instance, this);
        if (!FPropName.isEmpty()) {
            FPropName.clear();
            throw EReadError(QStringLiteral("Property %1 does not exist").arg(name));
        }
    }
    ReadListEnd();
}

int64_t TReader::ReadInteger() {
    switch (ReadValue()) {
    case vaInt8: {
        int8_t v = 0;
        if (FStream->ReadData(v)) return v;
        break;
    }
    case vaInt16: {
        int16_t v = 0;
        if (FStream->ReadData(v)) return v;
        break;
    }
    case vaInt32: {
        int32_t v = 0;
        if (FStream->ReadData(v)) return v;
        break;
    }
    case vaInt64: {
        int64_t v = 0;
        if (FStream->ReadData(v)) return v;
        break;
    }
    default:
        FStream->Seek(-1, soCurrent);
        PropValueError();
    }
    throw EReadError(QStringLiteral("Stream read error"));
}

bool TReader::ReadBoolean() {
    const TValueType v = ReadValue();
    if (v == vaTrue) return true;
    if (v == vaFalse) return false;
    FStream->Seek(-1, soCurrent);
    PropValueError();
}

String TReader::ReadString() {
    const TValueType v = ReadValue();
    int32_t len = 0;
    if (v == vaString) {
        uint8_t shortLen = 0;
        if (!FStream->ReadData(shortLen)) throw EReadError(QStringLiteral("Stream read error"));
        len = shortLen;
    } else if (v == vaLString || v == vaUTF8String || v == vaWString) {
        if (!FStream->ReadData(len)) throw EReadError(QStringLiteral("Stream read error"));
    } else {
        FStream->Seek(-1, soCurrent);
        PropValueError();
    }
    const int64_t bytes = v == vaWString ? int64_t(len) * 2 : len;
    if (len < 0 || bytes > FStream->Size() - FStream->Position()) PropValueError();
    QByteArray data(static_cast<qsizetype>(bytes), '\0');
    FStream->ReadBuffer(data.data(), bytes);
    if (v == vaWString) return String(reinterpret_cast<const QChar*>(data.constData()), len);
    if (v == vaUTF8String) return String::fromUtf8(data);
    return String::fromLatin1(data);
}

void TReader::ReadListBegin() { CheckValue(vaList); }
void TReader::ReadListEnd() { CheckValue(vaNull); }
bool TReader::EndOfList() { return NextValue() == vaNull; }

} // namespace rtl
