#pragma once
// RK numbers: the 32-bit compact form of a cell value. Bit 0 says "divide by 100",
// bit 1 "30-bit signed integer"; otherwise bits 2–31 are the top 30 bits of a double.
#include <cstdint>
#include <optional>

namespace xls {

// The RK form that reads back as exactly `value`, or nullopt when there is none.
std::optional<std::uint32_t> EncodeRk(double value);
double DecodeRk(std::uint32_t rk);

}  // namespace xls
