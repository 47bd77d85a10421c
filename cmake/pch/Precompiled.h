// The headers nearly every unit parses: the standard library and Qt's core classes, and Qt's GUI
// classes where the target links them. Compiled once per target (TW_PCH) instead of once per unit,
// which is where most of a unit's compile time went. Only outside headers belong here, so a unit
// that forgets one of our own includes still fails to build.
#pragma once

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <unordered_map>
#include <utility>
#include <variant>
#include <vector>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QList>
#include <QLocale>
#include <QString>
#include <QStringList>

#if __has_include(<QImage>)
#include <QFont>
#include <QImage>
#endif
