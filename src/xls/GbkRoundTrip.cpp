#include "GbkRoundTrip.h"

#include <iconv.h>

#include <array>
#include <atomic>

namespace xls {
namespace {

constexpr const char* kCodePage = "CP936";
constexpr char16_t kDefaultCharacter = u'?';
constexpr char16_t kUnknown = 0;  // not looked up yet; U+0000 never reaches the table

bool IsSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDFFF; }
bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// One iconv pair per thread: a conversion descriptor must not be shared between threads.
class Converter {
 public:
  Converter() : toGbk_(iconv_open(kCodePage, "UTF-16LE")), fromGbk_(iconv_open("UTF-16LE", kCodePage)) {}
  ~Converter() {
    if (Usable(toGbk_)) iconv_close(toGbk_);
    if (Usable(fromGbk_)) iconv_close(fromGbk_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // The character `unit` becomes after GBK and back; itself when iconv has no GBK.
  char16_t RoundTrip(char16_t unit) {
    if (!Usable(toGbk_) || !Usable(fromGbk_)) return unit;
    char wide[2] = {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
    char gbk[8];
    if (!Convert(toGbk_, wide, sizeof wide, gbk, sizeof gbk)) return kDefaultCharacter;
    const std::size_t gbkLength = convertedLength_;
    char back[8];
    if (!Convert(fromGbk_, gbk, gbkLength, back, sizeof back) || convertedLength_ != 2) return kDefaultCharacter;
    return static_cast<char16_t>(static_cast<unsigned char>(back[0]) | (static_cast<unsigned char>(back[1]) << 8));
  }

 private:
  static bool Usable(iconv_t cd) { return cd != reinterpret_cast<iconv_t>(-1); }

  bool Convert(iconv_t cd, char* in, std::size_t inLength, char* out, std::size_t outLength) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* outStart = out;
    const std::size_t result = iconv(cd, &in, &inLength, &out, &outLength);
    convertedLength_ = static_cast<std::size_t>(out - outStart);
    return result != static_cast<std::size_t>(-1) && inLength == 0;
  }

  iconv_t toGbk_;
  iconv_t fromGbk_;
  std::size_t convertedLength_ = 0;
};

// What each BMP character becomes, filled as characters are met. Threads may race on an
// entry; they all store the same value.
std::array<std::atomic<char16_t>, 0x10000> roundTripTable{};

char16_t RoundTripCharacter(char16_t unit) {
  char16_t mapped = roundTripTable[unit].load(std::memory_order_relaxed);
  if (mapped == kUnknown) {
    thread_local Converter converter;
    mapped = converter.RoundTrip(unit);
    roundTripTable[unit].store(mapped, std::memory_order_relaxed);
  }
  return mapped;
}

}  // namespace

std::u16string RoundTripThroughGbk(std::u16string_view text) {
  std::u16string out(text);
  for (std::size_t i = 0; i < out.size(); ++i) {
    const char16_t unit = out[i];
    if (unit < 0x80) continue;  // ASCII is GBK unchanged
    if (!IsSurrogate(unit)) {
      out[i] = RoundTripCharacter(unit);
    } else {
      // GBK has no characters beyond the BMP: a pair becomes one default character, and
      // so does a lone surrogate.
      const bool pair = IsHighSurrogate(unit) && i + 1 < out.size() && IsLowSurrogate(out[i + 1]);
      out[i] = kDefaultCharacter;
      if (pair) out.erase(i + 1, 1);
    }
  }
  return out;
}

std::size_t CountNotInGbk(std::u16string_view text) {
  std::size_t count = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t unit = text[i];
    if (unit < 0x80) continue;
    if (!IsSurrogate(unit)) {
      count += RoundTripCharacter(unit) == kDefaultCharacter;
    } else {
      ++count;
      if (IsHighSurrogate(unit) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) ++i;
    }
  }
  return count;
}

}  // namespace xls
