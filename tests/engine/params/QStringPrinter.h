// tests/engine/params/QStringPrinter.h: failure messages show texts, not UTF-16 units.
#pragma once
#include <QString>

#include <ostream>

inline void PrintTo(const QString& Text, std::ostream* Out) { *Out << '"' << Text.toStdString() << '"'; }
