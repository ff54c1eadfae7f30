#pragma once
// Whether a reading is in the state of an alarm kind: the one rule the live detector, the status
// bar and the alarm records share, so that the same readings give the same events everywhere.
#include <cstdint>

#include "AlarmKind.h"
#include "Reading.h"

namespace readings {

// In: the reading is in the kind's state. Out: it is not. Neither: it says nothing about it (a
// channel without a value, an unknown power code); the records let such a reading neither start
// nor end a run, the live table, which only has its latest reading, counts it as Out.
// Communication loss is no property of one reading: always Neither.
enum class Membership { In, Out, Neither };
Membership MembershipOf(AlarmKind kind, const Reading& reading);

// The value an excursion of the kind goes to its extreme by (temperature, humidity, voltage);
// NaN for the kinds without one.
double ExtremeValueOf(AlarmKind kind, const Reading& reading);
// Whether the kind's extreme is its highest value (high limits) or its lowest.
bool ExtremeIsHighest(AlarmKind kind);

}  // namespace readings
