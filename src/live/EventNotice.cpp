#include "EventNotice.h"

#include <QStringList>
#include <cmath>
#include <tuple>
#include <utility>

#include "CNumber.h"
#include "Gbk.h"

namespace notice {
namespace {

using readings::EventKind;

struct KindTexts {
  EventKind kind;
  const char* name;
  const char* started;
  const char* ended;
};

constexpr KindTexts kKinds[] = {
    {EventKind::TemperatureHigh, "temp_high", "温度超上限", "温度恢复正常"},
    {EventKind::TemperatureLow, "temp_low", "温度超下限", "温度恢复正常"},
    {EventKind::HumidityHigh, "hum_high", "湿度超上限", "湿度恢复正常"},
    {EventKind::HumidityLow, "hum_low", "湿度超下限", "湿度恢复正常"},
    {EventKind::ValueAlarm, "value_alarm", "报警代码异常", "报警代码恢复正常"},
    {EventKind::SensorOffline, "sensor_offline", "传感器掉线", "传感器恢复"},
    {EventKind::SupplyLost, "supply_lost", "供电中断", "供电恢复"},
    {EventKind::CommunicationLost, "comm_lost", "通讯掉线", "通讯恢复"},
};

constexpr const char* kTextPrefix = "温湿度监控：";
constexpr const char* kDatabaseLostText = "数据库未响应";
constexpr const char* kDatabaseBackText = "数据库恢复响应";
constexpr const char* kOpenForText = "（已持续%1分钟）";

const KindTexts& TextsOf(EventKind kind) {
  for (const KindTexts& texts : kKinds)
    if (texts.kind == kind) return texts;
  return kKinds[4];  // the unknown-code alarm: never reached with the detector's kinds
}

QString Value(double value) {
  return std::isfinite(value) ? QString::fromStdString(platform::FormatNumberC("%.1f", value)) : QString();
}

// The value the kind is about and its unit for the text.
std::pair<QString, const char*> ValueOf(EventKind kind, const LiveSample& sample) {
  switch (kind) {
    case EventKind::TemperatureHigh:
    case EventKind::TemperatureLow: return {Value(sample.temperature), "℃"};
    case EventKind::HumidityHigh:
    case EventKind::HumidityLow: return {Value(sample.humidity), "%RH"};
    case EventKind::SupplyLost: return {Value(sample.voltage), "V"};
    default: return {QString(), ""};
  }
}

QString Line(const QString& subject, const char* what, int openMinutes, const QString& value, const char* unit,
             const QString& time) {
  QString line = QString::fromUtf8(kTextPrefix);
  if (!subject.isEmpty()) line += subject + QLatin1Char(' ');
  line += QString::fromUtf8(what);
  if (openMinutes > 0) line += QString::fromUtf8(kOpenForText).arg(openMinutes);
  if (!value.isEmpty()) line += QLatin1Char(' ') + value + QString::fromUtf8(unit);
  if (!time.isEmpty()) line += QString::fromUtf8("，") + time;
  return line;
}

}  // namespace

const char* KindName(EventKind kind) { return TextsOf(kind).name; }

Notice DeviceNotice(const std::string& deviceId, EventKind kind, bool start, const DeviceLiveRecord* record,
                    int openMinutes) {
  Notice n;
  n.start = start;
  n.kind = QString::fromUtf8(KindName(kind));
  n.deviceId = platform::FromGbk(deviceId);
  const char* unit = "";
  if (record) {
    n.deviceName = platform::FromGbk(record->deviceName);
    n.company = platform::FromGbk(record->companyName);
    n.department = platform::FromGbk(record->departmentName);
    n.time = platform::FromGbk(record->readingTime);
    if (record->SampleCount() > 0) std::tie(n.value, unit) = ValueOf(kind, record->LatestSample());
  }
  QStringList subject;
  for (const QString* part : {&n.company, &n.department, &n.deviceName})
    if (!part->isEmpty()) subject << *part;
  subject << QStringLiteral("(%1)").arg(n.deviceId);
  const KindTexts& texts = TextsOf(kind);
  n.text =
      Line(subject.join(QLatin1Char(' ')), start ? texts.started : texts.ended, openMinutes, n.value, unit, n.time);
  return n;
}

Notice DatabaseNotice(bool start, const QString& time, int openMinutes) {
  Notice n;
  n.start = start;
  n.kind = QString::fromUtf8(kDatabaseLostKind);
  n.time = time;
  n.text = Line(QString(), start ? kDatabaseLostText : kDatabaseBackText, openMinutes, QString(), "", time);
  return n;
}

Notice RepeatNotice(const NoticeKey& key, const DeviceLiveRecord* record, const QString& now, int openMinutes) {
  for (const KindTexts& texts : kKinds)
    if (key.kind == texts.name) return DeviceNotice(key.deviceId, texts.kind, true, record, openMinutes);
  return DatabaseNotice(true, now, openMinutes);
}

std::vector<readings::DeviceEvent> NoticeLedger::Select(std::span<const readings::DeviceEvent> events,
                                                        std::int64_t nowMs, bool databaseLost) {
  std::vector<readings::DeviceEvent> told;
  for (const readings::DeviceEvent& event : events) {
    const NoticeKey key{event.deviceId, KindName(event.kind)};
    const bool ours = databaseLost && event.kind == EventKind::CommunicationLost;
    const bool tell = event.edge == readings::EventEdge::Start ? event.shown && !ours && Start(key, nowMs) : End(key);
    if (tell) told.push_back(event);
  }
  return told;
}

bool NoticeLedger::Start(const NoticeKey& key, std::int64_t nowMs) {
  return open_.try_emplace(key, Told{nowMs, nowMs}).second;
}

bool NoticeLedger::End(const NoticeKey& key) { return open_.erase(key) > 0; }

std::vector<NoticeLedger::Repeat> NoticeLedger::Due(std::int64_t nowMs, std::int64_t repeatMs) {
  std::vector<Repeat> due;
  if (repeatMs <= 0) return due;
  for (auto& [key, told] : open_) {
    if (nowMs - told.last < repeatMs) continue;
    told.last = nowMs;
    due.push_back({key, static_cast<int>((nowMs - told.opened) / 60000)});
  }
  return due;
}

}  // namespace notice
