#pragma once
// Fills a DeviceLiveTable directly, the way a refresh would, from UTF-8 test texts.
#include <string>

#include "DeviceLiveTable.h"
#include "Gbk.h"

struct RecordTexts {
  std::string deviceId, deviceName, companyName, departmentName, readingTime = "2024-05-01 10:00:00";
};

// Appends a record with one sample (or none) in the next free slot and returns it.
inline DeviceLiveRecord& AddRecord(DeviceLiveTable& table, const RecordTexts& texts, const LiveSample& sample = {},
                                   bool withSample = true) {
  DeviceLiveRecord& r = *table.Add(platform::Utf8ToGbk(texts.deviceId));
  r.deviceName = platform::Utf8ToGbk(texts.deviceName);
  r.companyName = platform::Utf8ToGbk(texts.companyName);
  r.departmentName = platform::Utf8ToGbk(texts.departmentName);
  r.readingTime = texts.readingTime;
  if (withSample) r.AppendSample(sample);
  return r;
}

inline LiveSample Sample(float temperature, int temperatureAlarm, float humidity, int humidityAlarm,
                         int powerSource = kPowerMains, float voltage = 12.0f, float current = 35.9f,
                         float internalTemperature = 30.5f) {
  return {temperature, temperatureAlarm, humidity, humidityAlarm, internalTemperature, voltage, powerSource, current};
}
