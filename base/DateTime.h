// base/DateTime.h: clock texts from millisecond counts and date-times.
#pragma once
#include <cstdint>

#include "rtl/System.h"

namespace base {

using rtl::String;

int SecondsToMs(int Seconds);
// 65432 with widths 0 and 3 gives '65.432'.
String MsToSecText(int Ms, int SecWidth, int MsWidth);
// 'hh:mm:ss.zzz', or 'hh:mm:ss' rounded to whole seconds; hours may exceed 24.
String MsToClockText(int64_t Ms, bool RoundToSeconds);
String SecToClockText(int Seconds);
// Precision 0 'h:m', 1 'h:m:s', 2 'h:m:s.t', 3 and above 'h:m:s.z'; nothing is rounded.
String MsToClockTextEx(uint32_t Ms, uint8_t Precision, bool OmitZeroHours);
String DateTimeToTextSep(rtl::TDateTime DateTime, const String& DateSep, const String& TimeSep,
                         const String& DateTimeSep, const String& MsSep, bool WithMs);
String DateTimeToTextSepEx(rtl::TDateTime DateTime, bool WithMs, const String& DateSep, const String& TimeSep,
                           const String& DateTimeSep, const String& MsSep);

} // namespace base
