#pragma once
// The live device table: a fixed block of 1024 device records, each with a ring of the 400
// most recent samples, filled by the monitor thread from the latest readings.
//
// Locking rule: the monitor thread rewrites records only while holding `mutex`; every reader
// on the user-interface thread (view painting, the refresh handler) and every write of
// `shown` must hold `mutex` too. Hold it briefly: copy what you need, then draw.
#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

#include "Reading.h"  // the alarm and power codes

// One refresh's reading. A value the collector did not deliver as a finite number is NaN; a
// code column that was no number is kCodeNotReported (see Reading.h).
struct LiveSample {
  float temperature = 0;
  std::int32_t temperatureAlarm = 0;
  float humidity = 0;
  std::int32_t humidityAlarm = 0;
  float internalTemperature = 0;
  float voltage = 0;
  std::int32_t powerSource = 0;
  float current = 0;
};

struct DeviceLiveRecord {
  static constexpr int kRingSize = 400;
  static constexpr int kRingDrop = 200;  // a full ring drops its oldest 200 samples at once

  std::string deviceId;  // GBK texts
  std::string deviceName;
  std::string companyName;
  std::string departmentName;
  std::string readingTime;
  std::uint32_t changeTick = 0;  // tick of the refresh that last saw readingTime change; 0 = never
  std::array<LiveSample, kRingSize> samples{};
  std::int32_t ringStart = 0;
  std::int32_t ringWrite = 0;
  std::int32_t present = 0;
  std::int32_t shown = 0;

  // Index of the newest sample.
  int LatestSampleIndex() const { return ringWrite == 0 ? kRingSize - 1 : ringWrite - 1; }
  const LiveSample& LatestSample() const { return samples[static_cast<std::size_t>(LatestSampleIndex())]; }
  // Number of samples held (ringStart .. ringWrite-1, wrapping).
  int SampleCount() const { return (ringWrite - ringStart + kRingSize) % kRingSize; }
  // Appends at ringWrite and advances the ring (dropping 200 when it fills up).
  void AppendSample(const LiveSample& sample);
};

// When the live query last succeeded, by tick count and local clock.
struct RefreshStamp {
  bool ok = false;  // false until the first successful refresh
  std::uint32_t tick = 0;
  int hour = 0, minute = 0, second = 0;
};

struct DeviceLiveTable {
  static constexpr int kCapacity = 1024;

  std::array<DeviceLiveRecord, kCapacity> records;  // records[0 .. LiveCount()) are in use
  mutable std::mutex mutex;                         // see the locking rule above
  RefreshStamp lastRefresh;
  // Set once a refresh had to drop a device because all slots were in use.
  bool overCapacity = false;

  // Records are only ever added here, so the index by id is always the table's own.
  int LiveCount() const { return liveCount_; }
  // The in-use record of `deviceId`, nullptr when there is none.
  DeviceLiveRecord* Find(const std::string& deviceId);
  const DeviceLiveRecord* Find(const std::string& deviceId) const;
  // Takes the next free slot for `deviceId` (present, shown, no samples); nullptr when the table
  // is full or the id has a record already.
  DeviceLiveRecord* Add(const std::string& deviceId);

  // Allocated once by the main frame (about 13 MB): never on the stack.
  static std::unique_ptr<DeviceLiveTable> Create() { return std::make_unique<DeviceLiveTable>(); }

 private:
  std::int32_t liveCount_ = 0;
  std::unordered_map<std::string, int> slotOf_;  // a refresh never walks the table per row
};

// Milliseconds between two ticks of the wrapping 32-bit tick counter, |now - since|.
std::uint32_t TickAgeMs(std::uint32_t sinceTick, std::uint32_t nowTick);
// Communication loss (Reading.h) by the age of changeTick; a record whose reading time never
// changed (changeTick 0) is never lost.
bool IsCommunicationLost(const DeviceLiveRecord& record, std::uint32_t nowTick, int commTimeoutSeconds);
