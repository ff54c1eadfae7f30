#pragma once
// When the time between two consecutive readings counts as a gap: more than three times the
// usual spacing (the median of the series) and more than five minutes. The curve page breaks
// its lines there, the statistics do not let one reading stand for the hours of an outage, and
// the alarm records report it as a communication interruption.
#include <map>
#include <vector>

namespace readings {

inline constexpr long long kMinimumGapSeconds = 300;
inline constexpr long long kGapMedianFactor = 3;

// Threshold for spacings (seconds, in time order); kMinimumGapSeconds when there are none.
long long GapThresholdSeconds(std::vector<long long> spacings);
// Median of the spacings, 0 when there are none.
long long MedianSpacing(std::vector<long long> spacings);
// The threshold for a series whose median spacing is `median`.
long long GapThresholdForMedian(long long median);
// The one comparison every view makes against the threshold.
inline bool IsGap(long long spacing, long long threshold) { return spacing > threshold; }

// The same median and threshold from spacings counted one by one: memory grows with the number
// of distinct spacings (a handful for a device reporting on a clock), not with the readings.
class SpacingTally {
 public:
  void Add(long long spacing) {
    ++counts_[spacing];
    ++total_;
  }
  long long Median() const;
  long long Threshold() const { return GapThresholdForMedian(Median()); }
  std::size_t DistinctSpacings() const { return counts_.size(); }

 private:
  std::map<long long, long long> counts_;
  long long total_ = 0;
};

}  // namespace readings
