#pragma once
// Re-reads the latest reading of every visible device from monitordat_tab into the live table.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "DeviceLiveTable.h"
#include "LoginState.h"

class DbSession;

using LiveRow = std::vector<std::string>;  // the 13 columns of the live query, GBK texts

// Column order of both live queries.
enum LiveColumn : int {
  kColDeviceId = 0,
  kColCompanyName,
  kColDepartmentName,
  kColDateTime,
  kColTemperature,
  kColTemperatureAlarm,
  kColHumidity,
  kColHumidityAlarm,
  kColInternalTemperature,
  kColVoltage,
  kColPowerSource,
  kColCurrent,
  kColDeviceName,
  kLiveColumnCount
};

// The live query for the logged-in user: every registered device for an administrator, the
// granted departments' devices for anyone else (the name escaped by `db`).
std::string BuildLiveQuery(DbSession& db, int role, const std::string& userName);

// Merges one refresh's rows into the table: finds or creates each device's record (up to
// the table's capacity, beyond which rows are dropped and overCapacity is set, with one line
// on stderr), stamps changeTick when the reading's time text changed and appends one sample
// per row. A new record's first changeTick is set back by its reading's age against
// `localNowSeconds` (liveclock::CivilSeconds of the local clock) when given. The caller holds
// table.mutex.
void ApplyLiveRows(DeviceLiveTable& table, std::span<const LiveRow> rows, std::uint32_t nowTick,
                   std::optional<std::int64_t> localNowSeconds = std::nullopt);

// Pings `db`, runs the live query for `login` and merges the rows.
// Does nothing (and returns false) when the server does not answer or the query fails; a
// successful query is stamped in table.lastRefresh. Takes table.mutex only while the records
// are rewritten, never during the query.
bool RefreshLiveTable(DbSession& db, DeviceLiveTable& table, const Login& login);
