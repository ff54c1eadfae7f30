#pragma once
// Alarm records: the excursions a device's readings show, each a maximal run of consecutive
// readings in one state, as the warehouse rules want them reported (when it began, when it
// ended, how long, how many readings, how far it went).
//
// Whether a reading is in a kind's state is the live table's rule (AlarmState.h). A reading that
// says nothing about a kind (a channel without a value: NULL, no number, code 4; an unknown power
// code) neither starts nor ends its run; it still counts for the spacing between readings. A
// spacing longer than the gap threshold (ReadingGaps.h) is itself an excursion, the
// communication interruption, and ends every run open before it at the last reading before it.
// Runs of different kinds may overlap.
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "AlarmKind.h"
#include "Reading.h"

namespace readings {

struct Excursion {
  AlarmKind kind;
  long long start = 0;     // the first reading in the state (a gap: the reading before it)
  long long end = 0;       // the first reading out of it; when open, the device's last reading
  bool open = false;       // the readings ended inside it
  long long readings = 0;  // readings in the state (0 for a gap: none arrived)
  double extreme = std::numeric_limits<double>::quiet_NaN();  // highest above, lowest below and
                                                              // lowest voltage; NaN: none
  long long Duration() const { return end - start; }
};

// Readings of one device in time order go in one by one; it keeps one open run per kind and
// the excursions found, never the readings.
class ExcursionDetector {
 public:
  explicit ExcursionDetector(long long gapThresholdSeconds) : gapThreshold_(gapThresholdSeconds) {}
  void Add(const Reading& reading);
  // Leaves what is still open as ongoing; the excursions by start, then kind.
  std::vector<Excursion> Finish();

 private:
  struct Run {
    bool active = false;
    Excursion excursion{};
  };
  void Close(Run& run, long long end, bool open);

  long long gapThreshold_;
  bool any_ = false;
  long long last_ = 0;
  Run runs_[kAlarmKindCount];  // by kind; communication loss is found from the spacing instead
  std::vector<Excursion> found_;
};

// The excursions of one device's readings in time order, gaps judged by their own spacings.
std::vector<Excursion> ExcursionsOf(const std::vector<Reading>& readingsInTimeOrder);

}  // namespace readings
