#pragma once
// Rows of history text as the Excel export writes them: device id, device name,
// department, time, temperature and humidity as the history table displays them.
#include <array>
#include <cstdio>
#include <ctime>
#include <string>

namespace xls_test {

inline std::u16string Widen(const char* ascii) {
  std::u16string out;
  for (; *ascii != '\0'; ++ascii) out += static_cast<char16_t>(*ascii);
  return out;
}

inline std::array<std::u16string, 6> HistoryRow(int row) {
  static const char16_t* const kNames[] = {u"一号冷库", u"二号冷库温湿度", u"疫苗柜A", u"药品库房", u"成品仓"};
  static const char16_t* const kDepartments[] = {u"质检部", u"仓储部", u"生产车间"};
  static const char16_t* const kAlarms[] = {u"  ", u" ↑", u" ↓"};
  char id[16], time[32], temperature[16], humidity[16];
  std::snprintf(id, sizeof id, "10010%05d", row % 300);
  const std::time_t at = 1796112000 + static_cast<std::time_t>(row) * 60;  // 2026-12-01 08:00:00 UTC
  std::tm parts{};
  gmtime_r(&at, &parts);
  std::strftime(time, sizeof time, "%Y-%m-%d %H:%M:%S", &parts);
  std::snprintf(temperature, sizeof temperature, "%5.1f", -5.0 + (row * 37 % 400) / 10.0);
  std::snprintf(humidity, sizeof humidity, "%4.1f   ", 30.0 + (row * 13 % 500) / 10.0);
  return {Widen(id),
          kNames[row % 5],
          kDepartments[row % 3],
          Widen(time),
          Widen(temperature) + kAlarms[row % 7 == 0 ? 1 + row % 2 : 0],
          Widen(humidity)};
}

}  // namespace xls_test
