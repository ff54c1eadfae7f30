#include "RkNumber.h"

#include <bit>
#include <cmath>

namespace xls {
namespace {

constexpr std::uint32_t kRkTimes100 = 0x1;
constexpr std::uint32_t kRkInteger = 0x2;
constexpr double kRkIntegerLimit = 536870912.0;               // 2^29: the integer form is 30 bits signed
constexpr std::uint64_t kDroppedDoubleBits = 0x3FFFFFFFFull;  // the 34 bits RK cannot hold

std::optional<std::uint32_t> AsInteger(double value) {
  // −0.0 keeps its sign only in the double form.
  if (!(value >= -kRkIntegerLimit && value < kRkIntegerLimit) || value != std::trunc(value) ||
      (value == 0.0 && std::signbit(value)))
    return std::nullopt;
  const auto integer = static_cast<std::int32_t>(value);
  return static_cast<std::uint32_t>(integer) << 2;
}

std::optional<std::uint32_t> AsTruncatedDouble(double value) {
  const auto bits = std::bit_cast<std::uint64_t>(value);
  if ((bits & kDroppedDoubleBits) != 0) return std::nullopt;
  return static_cast<std::uint32_t>(bits >> 32);
}

}  // namespace

std::optional<std::uint32_t> EncodeRk(double value) {
  if (auto rk = AsInteger(value)) return *rk | kRkInteger;
  if (auto rk = AsTruncatedDouble(value)) return *rk;
  const double scaled = value * 100.0;
  if (auto rk = AsInteger(scaled); rk && DecodeRk(*rk | kRkInteger | kRkTimes100) == value)
    return *rk | kRkInteger | kRkTimes100;
  if (auto rk = AsTruncatedDouble(scaled); rk && DecodeRk(*rk | kRkTimes100) == value) return *rk | kRkTimes100;
  return std::nullopt;
}

double DecodeRk(std::uint32_t rk) {
  double value = 0.0;
  if (rk & kRkInteger)
    value = static_cast<double>(static_cast<std::int32_t>(rk) >> 2);
  else
    value = std::bit_cast<double>(static_cast<std::uint64_t>(rk & ~3u) << 32);
  return (rk & kRkTimes100) ? value / 100.0 : value;
}

}  // namespace xls
