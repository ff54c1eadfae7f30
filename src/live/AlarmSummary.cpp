#include "AlarmSummary.h"

#include <QColor>

#include "LiveStateColours.h"

namespace alarms {
namespace {

constexpr const char* kValueAlarmLabel = "报警";
constexpr const char* kSensorOfflineLabel = "传感器掉线";
constexpr const char* kSupplyLostLabel = "供电中断";
constexpr const char* kCommunicationLostLabel = "通讯掉线";
constexpr const char* kSeparator = " · ";
constexpr const char* kPieceHtml = "<span style=\"color:%1\">%2 %3</span>";
constexpr const char* kFreshText = "数据更新于 %1";
constexpr const char* kStaleText = "数据库未响应，数据更新于 %1";
constexpr const char* kNoDataText = "数据库未响应，尚无数据";

QString Piece(const char* label, int count, QRgb alarmColour) {
  const QRgb colour = count > 0 ? alarmColour : livestate::kNormalGreen;
  return QString::fromUtf8(kPieceHtml).arg(QColor(colour).name(), QString::fromUtf8(label)).arg(count);
}

}  // namespace

QString SummaryHtml(const AlarmCounts& counts) {
  const QString separator = QString::fromUtf8(kSeparator);
  return Piece(kValueAlarmLabel, counts.valueAlarm, livestate::kAlarmRed) + separator +
         Piece(kSensorOfflineLabel, counts.sensorOffline, livestate::kAlarmRed) + separator +
         Piece(kSupplyLostLabel, counts.supplyLost, livestate::kAlarmRed) + separator +
         Piece(kCommunicationLostLabel, counts.communicationLost, livestate::kOfflineBlue);
}

Freshness FreshnessOf(const RefreshStamp& last, std::uint32_t nowTick) {
  if (!last.ok) return {QString::fromUtf8(kNoDataText), true};
  const QString time = QString::asprintf("%02d:%02d:%02d", last.hour, last.minute, last.second);
  const bool stale = nowTick - last.tick > kStaleAfterMs;
  return {QString::fromUtf8(stale ? kStaleText : kFreshText).arg(time), stale};
}

}  // namespace alarms
