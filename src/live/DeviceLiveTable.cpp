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
