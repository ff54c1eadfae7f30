#include "DeviceLiveTable.h"

void DeviceLiveRecord::AppendSample(const LiveSample& sample) {
  samples[static_cast<std::size_t>(ringWrite)] = sample;
  ringWrite = (ringWrite + 1) % kRingSize;
  if (ringWrite == ringStart) ringStart = (ringStart + kRingDrop) % kRingSize;
}

std::uint32_t TickAgeMs(std::uint32_t sinceTick, std::uint32_t nowTick) {
  // The absolute difference on the wrapping counter: whichever direction is shorter.
  const std::uint32_t forward = nowTick - sinceTick;
  const std::uint32_t backward = sinceTick - nowTick;
  return forward < backward ? forward : backward;
}

bool IsCommunicationLost(const DeviceLiveRecord& record, std::uint32_t nowTick, int commTimeoutSeconds) {
  if (record.changeTick == 0) return false;
  return readings::IsCommunicationLost(TickAgeMs(record.changeTick, nowTick), commTimeoutSeconds);
}

DeviceLiveRecord* DeviceLiveTable::Find(const std::string& deviceId) {
  const auto found = slotOf_.find(deviceId);
  return found == slotOf_.end() ? nullptr : &records[static_cast<std::size_t>(found->second)];
}

const DeviceLiveRecord* DeviceLiveTable::Find(const std::string& deviceId) const {
  return const_cast<DeviceLiveTable*>(this)->Find(deviceId);
}

DeviceLiveRecord* DeviceLiveTable::Add(const std::string& deviceId) {
  if (liveCount_ >= kCapacity || !slotOf_.try_emplace(deviceId, liveCount_).second) return nullptr;
  DeviceLiveRecord& fresh = records[static_cast<std::size_t>(liveCount_++)];
  fresh.deviceId = deviceId;
  fresh.ringWrite = 0;
  fresh.ringStart = 0;
  fresh.present = 1;
  fresh.shown = 1;
  return &fresh;
}
