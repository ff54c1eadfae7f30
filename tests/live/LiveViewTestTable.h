#pragma once
// Live tables for the view tests: devices "D000", "D001", ... present, shown, one sample each.
#include <QString>
#include <memory>

#include "DeviceLiveTable.h"
#include "Gbk.h"

inline LiveSample NormalSample(float temperature = 24.5f) {
  LiveSample s;
  s.temperature = temperature;
  s.humidity = 55.0f;
  s.internalTemperature = 30.0f;
  s.voltage = 12.0f;
  s.powerSource = kPowerMains;
  s.current = 40.0f;
  return s;
}

inline std::unique_ptr<DeviceLiveTable> MakeLiveTable(int devices) {
  auto table = DeviceLiveTable::Create();
  for (int i = 0; i < devices; ++i) {
    DeviceLiveRecord& r = *table->Add(platform::ToGbk(QString::asprintf("D%03d", i)));
    r.deviceName = platform::ToGbk(QStringLiteral("冷库%1").arg(i));
    r.AppendSample(NormalSample());
  }
  return table;
}
