#pragma once
// The table query of the history dialog as a function of its inputs, so the dialog and the
// headless export run the very same statements into the very same page model.
#include <QDate>
#include <functional>
#include <string>
#include <vector>

class CHistoryTablePage;

struct HistoryTableQueryOutcome {
  bool ok = false;         // false: a device's statement failed (rows so far stay listed)
  long long rowCount = 0;  // rows appended
};

// One statement per device id (GBK), in order, over [from 00:00:00, the day after to 00:00:00),
// under the long read time-out (the caller shows progress), filtered by
// the alarm filters (0 normal, 1 high, 2 low, anything else every code); rows appended to
// `page`. `deviceDone(n)` is called after each device.
HistoryTableQueryOutcome QueryHistoryIntoPage(CHistoryTablePage& page, const std::vector<std::string>& deviceIds,
                                              const QDate& from, const QDate& to, int temperatureFilter,
                                              int humidityFilter, const std::function<void(int)>& deviceDone = {});
