// rtl/System.h: the run-time library's ground floor: the string and byte types and the exception
// classes every other unit raises and catches.
#pragma once
#include <QString>
#include <cstdint>
#include <exception>
#include <string>
#include <vector>

namespace rtl {

using String = QString;                 // UTF-16; lengths and positions count UTF-16 units
using TBytes = std::vector<uint8_t>;
using Char = char16_t;
using TDateTime = double;               // days since 1899-12-30, the fraction is the time of day

// The class library's exception root: a message that the application shows or records.
class Exception : public std::exception {
public:
    explicit Exception(const String& Msg) : FMessage(Msg), FWhat(Msg.toStdString()) {}
    const String& Message() const { return FMessage; }
    void SetMessage(const String& Value) { FMessage = Value; FWhat = Value.toStdString(); }
    const char* what() const noexcept override { return FWhat.c_str(); }
    virtual String ClassName() const { return QStringLiteral("Exception"); }

private:
    String FMessage;
    std::string FWhat;
};

#define RTL_EXCEPTION(Name, Base)                                                       \
    class Name : public Base {                                                          \
    public:                                                                             \
        using Base::Base;                                                               \
        String ClassName() const override { return QStringLiteral(#Name); }             \
    };

RTL_EXCEPTION(EAbort, Exception)
RTL_EXCEPTION(EConvertError, Exception)
RTL_EXCEPTION(EListError, Exception)
RTL_EXCEPTION(EStringListError, EListError)
RTL_EXCEPTION(EArgumentException, Exception)
RTL_EXCEPTION(EArgumentOutOfRangeException, EArgumentException)
RTL_EXCEPTION(EInvalidOperation, Exception)
RTL_EXCEPTION(EInvalidPointer, Exception)
RTL_EXCEPTION(EInvalidCast, Exception)
RTL_EXCEPTION(ENotSupportedException, Exception)
RTL_EXCEPTION(EOutOfMemory, Exception)
RTL_EXCEPTION(EIntError, Exception)
RTL_EXCEPTION(EDivByZero, EIntError)
RTL_EXCEPTION(ERangeError, EIntError)
RTL_EXCEPTION(EIntOverflow, EIntError)
RTL_EXCEPTION(EMathError, Exception)
RTL_EXCEPTION(EZeroDivide, EMathError)
RTL_EXCEPTION(EOverflow, EMathError)
RTL_EXCEPTION(EInvalidOp, EMathError)
RTL_EXCEPTION(EStreamError, Exception)
RTL_EXCEPTION(EFileStreamError, EStreamError)
RTL_EXCEPTION(EFOpenError, EFileStreamError)
RTL_EXCEPTION(EFCreateError, EFileStreamError)
RTL_EXCEPTION(EReadError, EStreamError)
RTL_EXCEPTION(EWriteError, EStreamError)
RTL_EXCEPTION(EFilerError, EStreamError)
RTL_EXCEPTION(EComponentError, Exception)
RTL_EXCEPTION(EEncodingError, Exception)
RTL_EXCEPTION(EIniFileException, Exception)
RTL_EXCEPTION(EInOutError, Exception)
// The zlib binding's errors, with zlib's own error code where one is known (0 otherwise).
class EZLibError : public Exception {
public:
    explicit EZLibError(const String& Msg) : Exception(Msg) {}
    EZLibError(int Code, const String& Msg) : Exception(Msg), FErrorCode(Code) {}
    int ErrorCode() const { return FErrorCode; }
    String ClassName() const override { return QStringLiteral("EZLibError"); }

private:
    int FErrorCode = 0;
};
RTL_EXCEPTION(EZCompressionError, EZLibError)
RTL_EXCEPTION(EZDecompressionError, EZLibError)
RTL_EXCEPTION(EExternal, Exception)                  // faults the system reports
RTL_EXCEPTION(EAccessViolation, EExternal)
RTL_EXCEPTION(EAssertionFailed, Exception)

#undef RTL_EXCEPTION

// An error of the operating system, with its code (a Windows error code, mapped from errno).
class EOSError : public Exception {
public:
    EOSError(const String& Msg, uint32_t Code) : Exception(Msg), ErrorCode(Code) {}
    explicit EOSError(const String& Msg) : Exception(Msg) {}
    String ClassName() const override { return QStringLiteral("EOSError"); }
    uint32_t ErrorCode = 0;
};

} // namespace rtl
