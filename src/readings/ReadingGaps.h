#pragma once
// When the time between two consecutive readings counts as a gap: more than three times the
// usual spacing (the median of the series) and at least five minutes. The curve page breaks
// its lines there, and the statistics do not let one reading stand for the hours of an outage.
#include <vector>

namespace readings {

inline constexpr long long kMinimumGapSeconds = 300;
inline constexpr long long kGapMedianFactor = 3;

// Threshold for spacings (seconds, in time order); kMinimumGapSeconds when there are none.
long long GapThresholdSeconds(std::vector<long long> spacings);
// Median of the spacings, 0 when there are none.
long long MedianSpacing(std::vector<long long> spacings);

}  // namespace readings
