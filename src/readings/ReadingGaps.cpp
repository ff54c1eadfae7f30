#include "ReadingGaps.h"

#include <algorithm>

namespace readings {

long long MedianSpacing(std::vector<long long> spacings) {
  if (spacings.empty()) return 0;
  const auto middle = spacings.begin() + static_cast<std::ptrdiff_t>(spacings.size() / 2);
  std::nth_element(spacings.begin(), middle, spacings.end());
  return *middle;
}

long long GapThresholdForMedian(long long median) { return std::max(kMinimumGapSeconds, kGapMedianFactor * median); }

long long GapThresholdSeconds(std::vector<long long> spacings) {
  return GapThresholdForMedian(MedianSpacing(std::move(spacings)));
}

long long SpacingTally::Median() const {
  // The element MedianSpacing picks: index size / 2 of the sorted spacings.
  long long seen = 0;
  for (const auto& [spacing, count] : counts_) {
    seen += count;
    if (seen > total_ / 2) return spacing;
  }
  return 0;
}

}  // namespace readings
