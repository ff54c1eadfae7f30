#include "ReadingGaps.h"

#include <algorithm>

namespace readings {

long long MedianSpacing(std::vector<long long> spacings) {
  if (spacings.empty()) return 0;
  const auto middle = spacings.begin() + static_cast<std::ptrdiff_t>(spacings.size() / 2);
  std::nth_element(spacings.begin(), middle, spacings.end());
  return *middle;
}

long long GapThresholdSeconds(std::vector<long long> spacings) {
  return std::max(kMinimumGapSeconds, kGapMedianFactor * MedianSpacing(std::move(spacings)));
}

}  // namespace readings
