#pragma once
// Turning a failed library call into the text the program logs and shows.

#include <QString>
#include <cstdint>

namespace ondrelle {

/// "Emberline_<function>() failed, exception %d, status %d, text "%s"".
/// `function` is the name without the "Emberline_" prefix; `text` is the
/// library's NUL-terminated exception text (read up to 1024 characters).
QString EmberlineFailureText(const char* function, std::uint8_t code, std::uint32_t status, const char* text);

}  // namespace ondrelle
