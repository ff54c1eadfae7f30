#pragma once
// One cell of a worksheet: empty, a 32-bit integer, a double, 8-bit text or UTF-16 text.
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

namespace xls {

enum class XlsCellKind : std::uint8_t { Empty = 0, Integer = 1, Double = 2, NarrowText = 3, WideText = 4 };

// A cell holds at most this many characters (the spreadsheet's own limit); longer text is
// cut there, so the shared string table never overflows its 16-bit character count.
inline constexpr std::size_t kMaxCellTextLength = 32767;

class XlsCell {
 public:
  XlsCellKind Kind() const { return static_cast<XlsCellKind>(value_.index()); }
  bool IsEmpty() const { return Kind() == XlsCellKind::Empty; }

  // Text as the workbook stores it: through the GBK code page and back (see
  // GbkRoundTrip.h). A null pointer leaves the cell unchanged.
  void SetWideText(const char16_t* zeroTerminated);
  void SetWideText(std::u16string_view text);
  // 8-bit text, each byte one Latin-1 character.
  void SetNarrowText(std::string_view latin1);
  void SetInteger(std::int32_t value) { value_ = value; }
  void SetDouble(double value) { value_ = value; }
  void Clear() { value_ = std::monostate{}; }

  // Values read back; a getter of another kind gives 0 or an empty text.
  std::int32_t Integer() const;
  double Double() const;
  std::string_view NarrowText() const;
  std::u16string_view WideText() const;

 private:
  std::variant<std::monostate, std::int32_t, double, std::string, std::u16string> value_;
};

}  // namespace xls
