#include "LiveScan.h"

namespace alarms {

std::uint8_t StateBits(const LiveSample& latest, bool communicationLost) {
  readings::Reading reading;
  reading.temperature = {latest.temperature, latest.temperatureAlarm};
  reading.humidity = {latest.humidity, latest.humidityAlarm};
  reading.power = latest.powerSource;
  reading.voltage = latest.voltage;
  return readings::StateBitsOf(reading, communicationLost);
}

LiveScan ScanLiveTable(const DeviceLiveTable& table, std::uint32_t nowTick, int commTimeoutSeconds) {
  LiveScan scan;
  const auto count = static_cast<std::size_t>(table.LiveCount());
  scan.devices.resize(count);
  for (std::size_t i = 0; i < count; ++i) {
    const DeviceLiveRecord& record = table.records[i];
    readings::DeviceStates& device = scan.devices[i];
    device.deviceId = record.deviceId;
    device.shown = record.shown != 0;
    const bool hasSample =
        record.ringWrite >= 0 && record.ringWrite < DeviceLiveRecord::kRingSize && record.ringWrite != record.ringStart;
    if (!hasSample) continue;
    const std::uint8_t bits =
        StateBits(record.LatestSample(), IsCommunicationLost(record, nowTick, commTimeoutSeconds));
    device.bits = bits;
    if (!device.shown) continue;
    scan.counts.valueAlarm += (bits & kValueAlarmBits) != 0;
    scan.counts.sensorOffline += (bits & kBitSensorOffline) != 0;
    scan.counts.communicationLost += (bits & kBitCommunicationLost) != 0;
    scan.counts.supplyLost += (bits & kBitSupplyLost) != 0;
  }
  return scan;
}

}  // namespace alarms
