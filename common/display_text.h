#pragma once

#include <QString>

#include <string_view>

namespace tarvo {

// Bytes from a file or the system as text to show: UTF-8 where they are valid UTF-8, else
// Latin-1, so that no character of a table in a legacy 8-bit encoding is lost or replaced.
QString displayText(std::string_view bytes);

} // namespace tarvo
