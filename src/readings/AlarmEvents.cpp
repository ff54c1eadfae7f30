#include "AlarmEvents.h"

#include <algorithm>

#include "ReadingGaps.h"

namespace readings {
namespace {

enum class Membership { In, Out, Neither };

struct Look {
  Membership membership;
  double value;  // for the extreme; NaN: none
};

constexpr double kNone = std::numeric_limits<double>::quiet_NaN();

Look ChannelLook(const Channel& channel, ChannelState wanted) {
  const ChannelState state = channel.State();
  if (state == ChannelState::NoValue) return {Membership::Neither, kNone};
  return {state == wanted ? Membership::In : Membership::Out, channel.value};
}

// A channel without a value says nothing about the sensor either; the other channel may.
Look OfflineLook(const EventReading& r) {
  const ChannelState t = r.temperature.State(), h = r.humidity.State();
  if (t == ChannelState::SensorOffline || h == ChannelState::SensorOffline) return {Membership::In, kNone};
  if (t == ChannelState::NoValue && h == ChannelState::NoValue) return {Membership::Neither, kNone};
  return {Membership::Out, kNone};
}

Look PowerLook(const EventReading& r) {
  if (r.power == kPowerBattery) return {Membership::In, HasValue(r.voltage) ? r.voltage : kNone};
  if (r.power == kPowerMains) return {Membership::Out, kNone};
  return {Membership::Neither, kNone};
}

Look LookFor(ExcursionKind kind, const EventReading& r) {
  switch (kind) {
    case ExcursionKind::TemperatureHigh: return ChannelLook(r.temperature, ChannelState::High);
    case ExcursionKind::TemperatureLow: return ChannelLook(r.temperature, ChannelState::Low);
    case ExcursionKind::HumidityHigh: return ChannelLook(r.humidity, ChannelState::High);
    case ExcursionKind::HumidityLow: return ChannelLook(r.humidity, ChannelState::Low);
    case ExcursionKind::SensorOffline: return OfflineLook(r);
    case ExcursionKind::PowerInterrupted: return PowerLook(r);
    case ExcursionKind::CommunicationInterrupted: break;
  }
  return {Membership::Neither, kNone};
}

double Further(ExcursionKind kind, double extreme, double value) {
  if (!HasValue(value)) return extreme;
  if (!HasValue(extreme)) return value;
  const bool highest = kind == ExcursionKind::TemperatureHigh || kind == ExcursionKind::HumidityHigh;
  return highest ? std::max(extreme, value) : std::min(extreme, value);
}

}  // namespace

void ExcursionDetector::Close(Run& run, long long end, bool open) {
  run.excursion.end = end;
  run.excursion.open = open;
  found_.push_back(run.excursion);
  run.active = false;
}

void ExcursionDetector::Add(const EventReading& r) {
  if (any_ && IsGap(r.time - last_, gapThreshold_)) {
    for (Run& run : runs_)
      if (run.active) Close(run, last_, false);
    Excursion gap{ExcursionKind::CommunicationInterrupted};
    gap.start = last_;
    gap.end = r.time;
    found_.push_back(gap);
  }
  for (int k = 0; k < kExcursionKindCount - 1; ++k) {
    const auto kind = static_cast<ExcursionKind>(k);
    Run& run = runs_[k];
    const Look look = LookFor(kind, r);
    if (look.membership == Membership::In) {
      if (!run.active) {
        run.active = true;
        run.excursion = Excursion{kind};
        run.excursion.start = r.time;
      }
      ++run.excursion.readings;
      run.excursion.extreme = Further(kind, run.excursion.extreme, look.value);
    } else if (look.membership == Membership::Out && run.active) {
      Close(run, r.time, false);
    }
  }
  any_ = true;
  last_ = r.time;
}

std::vector<Excursion> ExcursionDetector::Finish() {
  for (Run& run : runs_)
    if (run.active) Close(run, last_, true);
  std::stable_sort(found_.begin(), found_.end(), [](const Excursion& a, const Excursion& b) {
    return a.start != b.start ? a.start < b.start : a.kind < b.kind;
  });
  return std::move(found_);
}

std::vector<Excursion> ExcursionsOf(const std::vector<EventReading>& readingsInTimeOrder) {
  SpacingTally spacings;
  for (std::size_t i = 1; i < readingsInTimeOrder.size(); ++i)
    spacings.Add(readingsInTimeOrder[i].time - readingsInTimeOrder[i - 1].time);
  ExcursionDetector detector(spacings.Threshold());
  for (const EventReading& r : readingsInTimeOrder) detector.Add(r);
  return detector.Finish();
}

}  // namespace readings
