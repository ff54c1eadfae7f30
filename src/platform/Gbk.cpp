#include "Gbk.h"

#include <iconv.h>

#include <cerrno>
#include <cstring>
#include <tuple>
#include <vector>

namespace platform {
namespace {

constexpr const char* kGbkCodePage = "CP936";

// Converts `input` with iconv; an unconvertible unit is replaced by `replacement`
// (already in the target encoding) and skipped by `skipWidth` input bytes.
// Opening a descriptor costs far more than converting a short text: keep one per thread and
// direction for the life of the thread.
iconv_t CachedDescriptor(const char* to, const char* from) {
  struct Cache {
    std::vector<std::tuple<const char*, const char*, iconv_t>> entries;
    ~Cache() {
      for (auto& [t, f, cd] : entries)
        if (cd != reinterpret_cast<iconv_t>(-1)) iconv_close(cd);
    }
  };
  thread_local Cache cache;
  for (auto& [t, f, cd] : cache.entries)
    if (std::strcmp(t, to) == 0 && std::strcmp(f, from) == 0) return cd;
  iconv_t cd = iconv_open(to, from);
  cache.entries.emplace_back(to, from, cd);
  return cd;
}

// `unitWidth` tells how many input bytes the unit starting at a byte spans.
// `replaced`, when given, counts the units that had to be replaced.
std::string Convert(const char* to, const char* from, const char* input, std::size_t length,
                    std::string_view replacement, std::size_t (*unitWidth)(const char*, std::size_t),
                    std::size_t* replaced = nullptr) {
  iconv_t cd = CachedDescriptor(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return {};
  iconv(cd, nullptr, nullptr, nullptr, nullptr);  // reset the shift state left by an earlier call
  std::string out;
  out.reserve(length * 2);
  char* in = const_cast<char*>(input);
  std::size_t inLeft = length;
  std::vector<char> buffer(4096);
  while (inLeft > 0) {
    char* outPtr = buffer.data();
    std::size_t outLeft = buffer.size();
    const std::size_t rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    out.append(buffer.data(), buffer.size() - outLeft);
    if (rc != static_cast<std::size_t>(-1)) continue;
    if (errno == E2BIG) continue;
    // EILSEQ or EINVAL (truncated sequence at the end): replace and go on.
    out.append(replacement);
    if (replaced) ++*replaced;
    const std::size_t skip = std::max<std::size_t>(1, std::min(unitWidth(in, inLeft), inLeft));
    in += skip;
    inLeft -= skip;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
  return out;
}

std::size_t OneByte(const char*, std::size_t) { return 1; }

std::size_t Utf8Unit(const char* p, std::size_t) {
  const unsigned char c = static_cast<unsigned char>(*p);
  if (c >= 0xF0) return 4;
  if (c >= 0xE0) return 3;
  if (c >= 0xC0) return 2;
  return 1;
}

// Little-endian UTF-16: a high surrogate and its partner go together.
std::size_t Utf16Unit(const char* p, std::size_t left) {
  const unsigned char high = static_cast<unsigned char>(p[1 < left ? 1 : 0]);
  return (high >= 0xD8 && high <= 0xDB) ? 4 : 2;
}

}  // namespace

std::string GbkToUtf8(std::string_view gbk) {
  return Convert("UTF-8", kGbkCodePage, gbk.data(), gbk.size(), "\xEF\xBF\xBD", OneByte);
}

std::string Utf8ToGbk(std::string_view utf8) {
  return Convert(kGbkCodePage, "UTF-8", utf8.data(), utf8.size(), "?", Utf8Unit);
}

std::u16string GbkToUtf16(std::string_view gbk) {
  const std::string bytes =
      Convert("UTF-16LE", kGbkCodePage, gbk.data(), gbk.size(), std::string_view("\xFD\xFF", 2), OneByte);
  std::u16string out(bytes.size() / 2, u'\0');
  for (std::size_t i = 0; i < out.size(); ++i)
    out[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                   (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
  return out;
}

namespace {
std::string Utf16ToGbkCounting(std::u16string_view utf16, std::size_t* replaced) {
  std::string bytes(utf16.size() * 2, '\0');
  for (std::size_t i = 0; i < utf16.size(); ++i) {
    bytes[2 * i] = static_cast<char>(utf16[i] & 0xFF);
    bytes[2 * i + 1] = static_cast<char>(utf16[i] >> 8);
  }
  return Convert(kGbkCodePage, "UTF-16LE", bytes.data(), bytes.size(), "?", Utf16Unit, replaced);
}
}  // namespace

std::string Utf16ToGbk(std::u16string_view utf16) { return Utf16ToGbkCounting(utf16, nullptr); }

QString FromGbk(std::string_view gbk) {
  const std::u16string wide = GbkToUtf16(gbk);
  return QString::fromUtf16(wide.data(), static_cast<qsizetype>(wide.size()));
}

std::string ToGbk(const QString& text) {
  return Utf16ToGbk(
      std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())));
}

std::size_t GbkByteLength(const QString& text) { return ToGbk(text).size(); }

bool GbkCanHold(const QString& text) {
  std::size_t replaced = 0;
  Utf16ToGbkCounting(
      std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())),
      &replaced);
  return replaced == 0;
}

}  // namespace platform
