#pragma once
// What the alarm desk asks the database about its events: where an event began in the history,
// and the acknowledgements stored by any station.
#include <optional>
#include <string>
#include <vector>

#include "AlarmKind.h"

class DbSession;

namespace desk {

// How far back the history is read to find where an event began: a day of minute readings. An
// event older than that is named by the oldest reading read.
inline constexpr int kStartLookbackReadings = 1440;

// The first reading of the run of `kind` that is still open at the reading of `readingTime`,
// found by the alarm records' own rule (AlarmEvents.h) in the device's latest history; nullopt
// when the history shows no such run or the statement failed.
std::optional<std::string> HistoryStartOf(DbSession& db, const std::string& deviceId, readings::AlarmKind kind,
                                          const std::string& readingTime);

struct StoredAck {
  unsigned long long id = 0;
  std::string deviceId, kind, start;
};
// The acknowledgements stored after `afterId`, oldest first; nullopt when the statement failed.
std::optional<std::vector<StoredAck>> AcknowledgementsAfter(DbSession& db, unsigned long long afterId);
// The newest acknowledgement's id (0: none); nullopt when the statement failed.
std::optional<unsigned long long> LatestAcknowledgementId(DbSession& db);

}  // namespace desk
