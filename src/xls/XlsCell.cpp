#include "XlsCell.h"

#include "GbkRoundTrip.h"

namespace xls {

void XlsCell::SetWideText(const char16_t* zeroTerminated) {
  if (zeroTerminated != nullptr) SetWideText(std::u16string_view(zeroTerminated));
}

void XlsCell::SetWideText(std::u16string_view text) {
  value_ = RoundTripThroughGbk(text.substr(0, kMaxCellTextLength));
}

void XlsCell::SetNarrowText(std::string_view latin1) { value_ = std::string(latin1.substr(0, kMaxCellTextLength)); }

std::int32_t XlsCell::Integer() const {
  const auto* value = std::get_if<std::int32_t>(&value_);
  return value ? *value : 0;
}

double XlsCell::Double() const {
  const auto* value = std::get_if<double>(&value_);
  return value ? *value : 0.0;
}

std::string_view XlsCell::NarrowText() const {
  const auto* value = std::get_if<std::string>(&value_);
  return value ? std::string_view(*value) : std::string_view();
}

std::u16string_view XlsCell::WideText() const {
  const auto* value = std::get_if<std::u16string>(&value_);
  return value ? std::u16string_view(*value) : std::u16string_view();
}

}  // namespace xls
