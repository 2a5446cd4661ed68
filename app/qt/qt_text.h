// The program core's texts (UTF-8 std::string) as Qt strings.
#pragma once

#include <QString>

#include <string>

namespace tarvo::app::qt {

inline QString Qs(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace tarvo::app::qt
