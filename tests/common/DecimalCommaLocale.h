#pragma once
// A decimal-comma numeric locale for the tests that prove numbers are read and printed
// independently of the C locale: de_DE.UTF-8 when the system has it, otherwise one generated
// once with localedef into VELTRANE_TEST_LOCALE_DIR and found through LOCPATH.
#include <unistd.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace testlocale {

inline constexpr const char* kDecimalComma = "de_DE.UTF-8";

inline bool HasDecimalComma() { return std::string(std::localeconv()->decimal_point) == ","; }

// Sets LC_NUMERIC to the decimal-comma locale; false (LC_NUMERIC unchanged) when none can be had.
inline bool UseDecimalComma() {
  if (std::setlocale(LC_NUMERIC, kDecimalComma) && HasDecimalComma()) return true;
  namespace fs = std::filesystem;
  const fs::path dir = VELTRANE_TEST_LOCALE_DIR;
  std::error_code ignored;
  if (!fs::exists(dir / kDecimalComma)) {
    // Built aside and renamed, so that test programs running at the same time never see half a locale.
    const fs::path scratch = dir / ("build-" + std::to_string(::getpid()));
    fs::create_directories(scratch, ignored);
    const std::string command =
        "localedef -i de_DE -f UTF-8 '" + (scratch / kDecimalComma).string() + "' >/dev/null 2>&1";
    if (std::system(command.c_str()) == 0) fs::rename(scratch / kDecimalComma, dir / kDecimalComma, ignored);
    fs::remove_all(scratch, ignored);
  }
  ::setenv("LOCPATH", dir.c_str(), 1);
  if (std::setlocale(LC_NUMERIC, kDecimalComma) && HasDecimalComma()) return true;
  std::setlocale(LC_NUMERIC, "C");
  return false;
}

}  // namespace testlocale
