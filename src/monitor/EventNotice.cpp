#include "EventNotice.h"

#include <QStringList>
#include <cmath>
#include <tuple>
#include <utility>

#include "CNumber.h"
#include "Gbk.h"

namespace notice {
namespace {

using readings::AlarmKind;

constexpr const char* kTextPrefix = "温湿度监控：";
constexpr const char* kDatabaseLostText = "数据库未响应";
constexpr const char* kDatabaseBackText = "数据库恢复响应";
constexpr const char* kOpenForText = "（已持续%1分钟）";

QString Value(double value) {
  return std::isfinite(value) ? QString::fromStdString(platform::FormatNumberC("%.1f", value)) : QString();
}

// The value the kind is about and its unit for the text.
std::pair<QString, const char*> ValueOf(AlarmKind kind, const LiveSample& sample) {
  switch (kind) {
    case AlarmKind::TemperatureHigh:
    case AlarmKind::TemperatureLow: return {Value(sample.temperature), "℃"};
    case AlarmKind::HumidityHigh:
    case AlarmKind::HumidityLow: return {Value(sample.humidity), "%RH"};
    case AlarmKind::SupplyLost: return {Value(sample.voltage), "V"};
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

Notice DeviceNotice(const std::string& deviceId, AlarmKind kind, bool start, const DeviceLiveRecord* record,
                    int openMinutes) {
  Notice n;
  n.start = start;
  n.kind = QString::fromUtf8(readings::KindName(kind));
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
  const readings::AlarmKindInfo& info = readings::InfoOf(kind);
  n.text = Line(subject.join(QLatin1Char(' ')), start ? info.label : info.restored, openMinutes, n.value, unit, n.time);
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

}  // namespace notice
