#include "HistoryStatements.h"

#include <ctime>

namespace history {
namespace {

constexpr const char* kDayStartFormat = "%Y-%m-%d 00:00:00";

constexpr const char* kTableQuerySql =
    "select "
    "history_tab.device_id,company_tab.company_name,department_tab.department_name,history_tab.datetime,history_tab."
    "tempe,history_tab.tempe_alarm,\t\t\t\t\t\thistory_tab.hum,history_tab.hum_alarm,history_tab.device_tempe,history_"
    "tab.voltage,history_tab.power,device_tab.device_name,history_tab.current\t\t\t\t\t\tfrom "
    "history_tab,company_tab,department_tab,device_tab\t\t\t\t\t\twhere "
    "history_tab.company_num=company_tab.company_num \t\t\t\t\t\tand "
    "history_tab.company_num=department_tab.company_num \t\t\t\t\t\tand "
    "history_tab.department_num=department_tab.department_num \t\t\t\t\t\tand "
    "history_tab.device_id=device_tab.device_num \t\t\t\t\t\tand history_tab.device_id='%s' \t\t\t\t\t\tand "
    "history_tab.datetime>='%s' and history_tab.datetime<'%s'";
constexpr const char* kTimeOrderSql = " order by history_tab.datetime ASC";
constexpr const char* kTemperatureFilterSql = " and history_tab.tempe_alarm='%d'";
constexpr const char* kHumidityFilterSql = " and history_tab.hum_alarm='%d'";

constexpr const char* kHumidityCurveSql =
    "select history_tab.device_id,history_tab.datetime,history_tab.hum \t\t\t\t\t\t\tfrom history_tab "
    "\t\t\t\t\t\t\twhere history_tab.device_id='%s' \t\t\t\t\t\t\tand history_tab.datetime>='%s' and "
    "history_tab.datetime<'%s' \t\t\t\t\t\t\torder by history_tab.datetime ASC";
constexpr const char* kDeviceTemperatureCurveSql =
    "select history_tab.device_id,history_tab.datetime,history_tab.device_tempe \t\t\t\t\t\t\t\tfrom history_tab "
    "\t\t\t\t\t\t\t\twhere history_tab.device_id='%s' \t\t\t\t\t\t\t\tand history_tab.datetime>='%s' and "
    "history_tab.datetime<'%s' \t\t\t\t\t\t\t\torder by history_tab.datetime ASC";
constexpr const char* kVoltageCurveSql =
    "select history_tab.device_id,history_tab.datetime,history_tab.voltage \t\t\t\t\t\t\t\tfrom history_tab "
    "\t\t\t\t\t\t\t\twhere history_tab.device_id='%s' \t\t\t\t\t\t\t\tand history_tab.datetime>='%s' and "
    "history_tab.datetime<'%s' \t\t\t\t\t\t\t\torder by history_tab.datetime ASC";
constexpr const char* kTemperatureCurveSql =
    "select history_tab.device_id,history_tab.datetime,history_tab.tempe \t\t\t\t\t\t\tfrom history_tab "
    "\t\t\t\t\t\t\twhere history_tab.device_id='%s' \t\t\t\t\t\t\tand history_tab.datetime>='%s' and "
    "history_tab.datetime<'%s' \t\t\t\t\t\t\torder by history_tab.datetime ASC";

std::string FormatDay(const QDate& day, const char* format) {
  std::tm tm{};
  tm.tm_year = day.year() - 1900;
  tm.tm_mon = day.month() - 1;
  tm.tm_mday = day.day();
  char text[40] = {};
  const std::size_t n = std::strftime(text, sizeof text, format, &tm);
  return std::string(text, n);
}

}  // namespace

int NormalisedFilter(int filter) { return filter >= 0 && filter <= 2 ? filter : kFilterAny; }

std::string DayStartText(const QDate& day) { return FormatDay(day, kDayStartFormat); }
std::string DayEndText(const QDate& day) { return FormatDay(day.addDays(1), kDayStartFormat); }

std::string TableQueryStatement(const SqlEscaper& escape, std::string_view deviceId, std::string_view start,
                                std::string_view end, int temperatureFilter, int humidityFilter) {
  std::string sql = FormatSqlWith(escape, kTableQuerySql, {deviceId, start, end});
  if (NormalisedFilter(temperatureFilter) != kFilterAny)
    sql += FormatSqlWith(escape, kTemperatureFilterSql, {temperatureFilter});
  if (NormalisedFilter(humidityFilter) != kFilterAny)
    sql += FormatSqlWith(escape, kHumidityFilterSql, {humidityFilter});
  return sql;
}

std::string OrderedTableQueryStatement(const SqlEscaper& escape, std::string_view deviceId, std::string_view start,
                                       std::string_view end, int temperatureFilter, int humidityFilter) {
  return TableQueryStatement(escape, deviceId, start, end, temperatureFilter, humidityFilter) + kTimeOrderSql;
}

std::string CurveStatement(const SqlEscaper& escape, int channel, std::string_view deviceId, std::string_view start,
                           std::string_view end) {
  const char* tmpl = kTemperatureCurveSql;
  if (channel == 1) tmpl = kHumidityCurveSql;
  if (channel == 2) tmpl = kDeviceTemperatureCurveSql;
  if (channel == 3) tmpl = kVoltageCurveSql;
  return FormatSqlWith(escape, tmpl, {deviceId, start, end});
}

}  // namespace history
