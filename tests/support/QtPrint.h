// tests/support/QtPrint.h: readable Qt strings in assertion messages, for every test folder.
#pragma once
#include <QString>
#include <QStringList>
#include <ostream>

inline void PrintTo(const QString& S, std::ostream* Os) {
    *Os << '"' << S.toStdString() << '"';
}
inline void PrintTo(const QStringList& L, std::ostream* Os) {
    *Os << '[' << L.join(QStringLiteral(", ")).toStdString() << ']';
}
