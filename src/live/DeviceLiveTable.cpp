#include "DeviceLiveTable.h"

void DeviceLiveRecord::AppendSample(const LiveSample& sample) {
  samples[static_cast<std::size_t>(ringWrite)] = sample;
  ringWrite = (ringWrite + 1) % kRingSize;
  if (ringWrite == ringStart) ringStart = (ringStart + kRingDrop) % kRingSize;
}

bool IsCommunicationLost(const DeviceLiveRecord& record, std::uint32_t nowTick, int commTimeoutSeconds) {
  if (record.changeTick == 0) return false;
  // The absolute difference on the wrapping counter: whichever direction is shorter.
  const std::uint32_t forward = nowTick - record.changeTick;
  const std::uint32_t backward = record.changeTick - nowTick;
  const std::uint32_t age = forward < backward ? forward : backward;
  return static_cast<std::uint64_t>(age) > static_cast<std::uint64_t>(commTimeoutSeconds) * 1000u;
}
