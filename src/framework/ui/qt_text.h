#pragma once

#include "platform/cp1250.h"

#include <QString>
#include <string>
#include <string_view>

namespace ravlo {

// Stored texts (code page 1250) to and from what the widgets show.
inline QString FromCp1250(std::string_view text) {
    return QString::fromStdString(Cp1250ToUtf8(text));
}

inline std::string ToCp1250(const QString& text) {
    return Utf8ToCp1250(text.toStdString());
}

// Whether ToCp1250 keeps every character of text (it gives "?" for one the code page lacks).
inline bool FitsCp1250(const QString& text) {
    return FitsCp1250(text.toStdString());
}

} // namespace ravlo
