#pragma once
// The strokes of one device's day curve. A line joins two readings only when nothing is
// missing between them: a gap in time (ReadingGaps.h) or a reading without a measured value
// (codes 3 and 4, which the collector stores as 0, or no number: NULL, "nan") starts a new
// stroke, so an outage shows as an outage instead of a plausible straight line or a dive to zero.
#include <QPoint>
#include <string>
#include <string_view>
#include <vector>

#include "DbSession.h"
#include "SqlFormat.h"

namespace history {

struct CurveReading {
  int secondOfDay;
  double value;
  bool noValue;  // nothing measured (readings::IsMeasured)
};
// A row of CurveStatementWithCode: datetime, value and, for a channel with a code, the code.
CurveReading CurveReadingOf(const DbRow& row);

// Readings in time order; one point per pixel column within a stroke (AddCurvePoint).
std::vector<std::vector<QPoint>> CurveSegments(const std::vector<CurveReading>& readings, int channel);

// The curve statement of the channel with the channel's alarm code as a fourth column
// (temperature and humidity; the internal temperature and the voltage have none).
std::string CurveStatementWithCode(const SqlEscaper& escape, int channel, std::string_view deviceId,
                                   std::string_view start, std::string_view end);
bool ChannelHasCode(int channel);

}  // namespace history
