#pragma once
// Private-profile (.ini) access with the semantics the station's configuration relies on:
// case-insensitive sections and keys, values cut to the caller's buffer, integers read from
// their leading decimal digits, and writes that keep the rest of the file as it was.
#include <cstddef>
#include <string>

namespace platform {

// Copies the value (or `defaultValue` when the section or key is missing) into `buffer`,
// cut to `size` - 1 characters and terminated. Returns the number of characters copied.
std::size_t GetPrivateProfileStringA(const char* section, const char* key, const char* defaultValue, char* buffer,
                                     std::size_t size, const char* fileName);

// The value's leading decimal digits (an optional sign allowed), 0 when it has none,
// `defaultValue` when the section or key is missing.
int GetPrivateProfileIntA(const char* section, const char* key, int defaultValue, const char* fileName);

// Sets section/key to `value`, creating the file, the section or the key as needed.
// Returns false when the file cannot be written.
bool WritePrivateProfileStringA(const char* section, const char* key, const char* value, const char* fileName);

}  // namespace platform
