#include "CNumber.h"

#include <locale.h>

#include <clocale>
#include <cstdio>

namespace platform {
namespace {

// One C locale object for the process; uselocale() switches only the calling thread.
locale_t CLocale() {
  static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  return c;
}

}  // namespace

std::string FormatNumberC(const char* format, double value) {
  const locale_t previous = uselocale(CLocale());
  char buffer[128];
  const int n = std::snprintf(buffer, sizeof buffer, format, value);
  uselocale(previous);
  if (n < 0) return {};
  return std::string(buffer,
                     static_cast<std::size_t>(n) < sizeof buffer ? static_cast<std::size_t>(n) : sizeof buffer - 1);
}

}  // namespace platform
