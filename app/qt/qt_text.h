// The program core's texts (UTF-8) as Qt strings.
#pragma once

#include <QString>

#include <string_view>

namespace tarvo::app::qt {

inline QString Qs(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace tarvo::app::qt
