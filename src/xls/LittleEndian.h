#pragma once
// Little-endian byte helpers shared by the container and the record writer.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace xls {

inline void Put16(std::uint8_t* out, std::uint16_t value) {
  out[0] = static_cast<std::uint8_t>(value);
  out[1] = static_cast<std::uint8_t>(value >> 8);
}

inline void Put32(std::uint8_t* out, std::uint32_t value) {
  out[0] = static_cast<std::uint8_t>(value);
  out[1] = static_cast<std::uint8_t>(value >> 8);
  out[2] = static_cast<std::uint8_t>(value >> 16);
  out[3] = static_cast<std::uint8_t>(value >> 24);
}

inline void Put64(std::uint8_t* out, std::uint64_t value) {
  Put32(out, static_cast<std::uint32_t>(value));
  Put32(out + 4, static_cast<std::uint32_t>(value >> 32));
}

inline std::uint16_t Get16(const std::uint8_t* in) { return static_cast<std::uint16_t>(in[0] | (in[1] << 8)); }

inline std::uint32_t Get32(const std::uint8_t* in) {
  return static_cast<std::uint32_t>(in[0]) | (static_cast<std::uint32_t>(in[1]) << 8) |
         (static_cast<std::uint32_t>(in[2]) << 16) | (static_cast<std::uint32_t>(in[3]) << 24);
}

// Appends `count` zero bytes to `bytes` and returns where they start.
inline std::uint8_t* Extend(std::vector<std::uint8_t>& bytes, std::size_t count) {
  const std::size_t oldSize = bytes.size();
  bytes.resize(oldSize + count);
  return bytes.data() + oldSize;
}

// Writes UTF-16 code units little-endian.
inline void PutUtf16(std::uint8_t* out, const char16_t* text, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) Put16(out + 2 * i, static_cast<std::uint16_t>(text[i]));
}

}  // namespace xls
