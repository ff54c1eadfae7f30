#pragma once
// The table query of the history dialog as a function of its inputs, so the dialog and the
// headless export run the very same statements. Rows are handed on one by one as they arrive
// from the server, so a month of readings is never held twice.
#include <QDate>
#include <functional>
#include <string>
#include <vector>

#include "DbSession.h"

namespace history {
class HistoryRowModel;
}

struct HistoryTableQueryOutcome {
  bool ok = false;         // false: a device's statement failed (rows so far were handed on)
  long long rowCount = 0;  // rows of the devices that succeeded
};

// One statement per device id (GBK), in order, over [from 00:00:00, the day after to 00:00:00),
// under the long read time-out (the caller shows progress), filtered by the alarm filters
// (0 normal, 1 high, 2 low, anything else every code). Every row goes to `onRow` (thirteen
// columns, under the connection lock: no database work inside); `deviceDone(n)` is called
// after each device whose statement succeeded.
HistoryTableQueryOutcome QueryHistoryRows(DbSession& db, const std::vector<std::string>& deviceIds, const QDate& from,
                                          const QDate& to, int temperatureFilter, int humidityFilter,
                                          const std::function<void(const DbRow&)>& onRow,
                                          const std::function<void(int)>& deviceDone = {});

// The same into the table page's rows: appended, and shown device by device (also the rows of
// a device whose statement failed part way).
HistoryTableQueryOutcome QueryHistoryIntoRows(DbSession& db, history::HistoryRowModel& rows,
                                              const std::vector<std::string>& deviceIds, const QDate& from,
                                              const QDate& to, int temperatureFilter, int humidityFilter,
                                              const std::function<void(int)>& deviceDone = {});
