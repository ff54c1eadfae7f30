#pragma once
// printf-style formatting of one number in the C locale, whatever locale the process runs in:
// Qt adopts the user's locale at start-up, where "%.1f" would print a decimal comma. The
// rounding is the C library's own, so the texts are those of the formats as written.
#include <string>

namespace platform {

// `format` holds exactly one conversion that takes a double (%f, %5.1f, %05.1f, ...).
std::string FormatNumberC(const char* format, double value);

}  // namespace platform
