#include "AlarmEvents.h"

#include <algorithm>

#include "AlarmState.h"
#include "ReadingGaps.h"

namespace readings {
namespace {

double Further(AlarmKind kind, double extreme, double value) {
  if (!HasValue(value)) return extreme;
  if (!HasValue(extreme)) return value;
  return ExtremeIsHighest(kind) ? std::max(extreme, value) : std::min(extreme, value);
}

}  // namespace

void ExcursionDetector::Close(Run& run, long long end, bool open) {
  run.excursion.end = end;
  run.excursion.open = open;
  found_.push_back(run.excursion);
  run.active = false;
}

void ExcursionDetector::Add(const Reading& r) {
  if (any_ && IsGap(r.time - last_, gapThreshold_)) {
    for (Run& run : runs_)
      if (run.active) Close(run, last_, false);
    Excursion gap{AlarmKind::CommunicationLost};
    gap.start = last_;
    gap.end = r.time;
    found_.push_back(gap);
  }
  for (int k = 0; k < kAlarmKindCount; ++k) {
    const auto kind = static_cast<AlarmKind>(k);
    if (kind == AlarmKind::CommunicationLost) continue;
    Run& run = runs_[k];
    const Membership membership = MembershipOf(kind, r);
    if (membership == Membership::In) {
      if (!run.active) {
        run.active = true;
        run.excursion = Excursion{kind};
        run.excursion.start = r.time;
      }
      ++run.excursion.readings;
      run.excursion.extreme = Further(kind, run.excursion.extreme, ExtremeValueOf(kind, r));
    } else if (membership == Membership::Out && run.active) {
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

std::vector<Excursion> ExcursionsOf(const std::vector<Reading>& readingsInTimeOrder) {
  SpacingTally spacings;
  for (std::size_t i = 1; i < readingsInTimeOrder.size(); ++i)
    spacings.Add(readingsInTimeOrder[i].time - readingsInTimeOrder[i - 1].time);
  ExcursionDetector detector(spacings.Threshold());
  for (const Reading& r : readingsInTimeOrder) detector.Add(r);
  return detector.Finish();
}

}  // namespace readings
