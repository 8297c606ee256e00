// The system's UTF-16 texts to and from Qt's strings.
#pragma once

#include <QString>

#include <string>
#include <string_view>

inline QString ToQString(std::u16string_view text) {
    return QString(reinterpret_cast<const QChar*>(text.data()), static_cast<qsizetype>(text.size()));
}

inline std::u16string ToU16String(const QString& text) {
    return text.toStdU16String();
}
