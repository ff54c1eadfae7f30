#include "Profile.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <fstream>
#include <optional>
#include <sstream>
#include <vector>

#include "SaveFile.h"

namespace platform {
namespace {

constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";

std::string Trim(const std::string& s) {
  const auto first = s.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return {};
  const auto last = s.find_last_not_of(" \t\r\n");
  return s.substr(first, last - first + 1);
}

bool SameName(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
           return std::tolower(x) == std::tolower(y);
         });
}

std::vector<std::string> ReadLines(const char* fileName, bool* exists) {
  std::vector<std::string> lines;
  std::ifstream in(fileName, std::ios::binary);
  *exists = static_cast<bool>(in);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  // Editors may save a UTF-8 byte-order mark; it must not hide the first section.
  if (!lines.empty() && lines.front().rfind(kUtf8Bom, 0) == 0) lines.front().erase(0, sizeof kUtf8Bom - 1);
  return lines;
}

// "[name]" → name, otherwise nullopt.
std::optional<std::string> SectionName(const std::string& line) {
  const std::string t = Trim(line);
  if (t.size() >= 2 && t.front() == '[') {
    const auto close = t.find(']');
    if (close != std::string::npos) return Trim(t.substr(1, close - 1));
  }
  return std::nullopt;
}

// "key=value" → key (trimmed); value via out-parameter.
std::optional<std::string> KeyOf(const std::string& line, std::string* value) {
  const auto eq = line.find('=');
  if (eq == std::string::npos) return std::nullopt;
  const std::string key = Trim(line.substr(0, eq));
  if (key.empty() || key[0] == ';') return std::nullopt;
  if (value) *value = Trim(line.substr(eq + 1));
  return key;
}

std::optional<std::string> Lookup(const char* section, const char* key, const char* fileName) {
  bool exists = false;
  const auto lines = ReadLines(fileName, &exists);
  bool inSection = false;
  for (const auto& line : lines) {
    if (auto name = SectionName(line)) {
      inSection = SameName(*name, section);
      continue;
    }
    std::string value;
    if (inSection) {
      if (auto k = KeyOf(line, &value); k && SameName(*k, key)) {
        // A value wrapped in matching quotes is returned without them, as Windows does.
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
          value = value.substr(1, value.size() - 2);
        return value;
      }
    }
  }
  return std::nullopt;
}

}  // namespace

std::size_t GetPrivateProfileStringA(const char* section, const char* key, const char* defaultValue, char* buffer,
                                     std::size_t size, const char* fileName) {
  if (!buffer || size == 0) return 0;
  const auto found = Lookup(section, key, fileName);
  const std::string value = found ? *found : std::string(defaultValue ? defaultValue : "");
  const std::size_t n = std::min(value.size(), size - 1);
  std::memcpy(buffer, value.data(), n);
  buffer[n] = '\0';
  return n;
}

int GetPrivateProfileIntA(const char* section, const char* key, int defaultValue, const char* fileName) {
  const auto found = Lookup(section, key, fileName);
  if (!found) return defaultValue;
  const std::string& v = *found;
  std::size_t i = 0;
  bool negative = false;
  if (i < v.size() && (v[i] == '-' || v[i] == '+')) negative = v[i++] == '-';
  long long n = 0;
  for (; i < v.size() && std::isdigit(static_cast<unsigned char>(v[i])); ++i) {
    n = n * 10 + (v[i] - '0');
    if (n > 0xFFFFFFFFLL) n = 0xFFFFFFFFLL;  // saturate like a 32-bit accumulator would not crash
  }
  return static_cast<int>(static_cast<unsigned int>(negative ? -n : n));
}

bool WritePrivateProfileStringA(const char* section, const char* key, const char* value, const char* fileName) {
  bool exists = false;
  auto lines = ReadLines(fileName, &exists);
  if (!exists && ::access(fileName, F_OK) == 0) return false;  // there but unreadable: keep it
  const std::string entry = std::string(key) + "=" + (value ? value : "");

  std::optional<std::size_t> sectionLine, lastInSection;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (auto name = SectionName(lines[i])) {
      if (sectionLine) break;  // left our section
      if (SameName(*name, section)) sectionLine = lastInSection = i;
      continue;
    }
    if (!sectionLine) continue;
    if (!Trim(lines[i]).empty()) lastInSection = i;
    if (auto k = KeyOf(lines[i], nullptr); k && SameName(*k, key)) {
      lines[i] = entry;
      lastInSection.reset();
      break;
    }
  }
  if (!sectionLine) {
    lines.push_back("[" + std::string(section) + "]");
    lines.push_back(entry);
  } else if (lastInSection) {
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(*lastInSection) + 1, entry);
  }

  // Saved safely: a failed write keeps the file as it was, and a link at the file's name
  // is replaced, never written through.
  std::string text;
  for (const auto& line : lines) text += line + "\r\n";
  return SaveFileContents(fileName, text);
}

}  // namespace platform
