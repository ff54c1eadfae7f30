#pragma once
// What a notification program is told about a live event: the texts it finds in its
// environment, one of them a line ready for a text message. Which events it is told of is the
// alarm desk's decision (AlarmDesk.h); the shell runs the program (NotifyCommand).
#include <QMetaType>
#include <QString>
#include <string>

#include "AlarmKind.h"
#include "DeviceLiveTable.h"

namespace notice {

// Besides the devices' states, the station's own: the database has not answered for a refresh
// period and its grace (the status bar's "数据库未响应").
inline constexpr const char* kDatabaseLostKind = "db_lost";

struct Notice {
  bool start = true;
  QString kind;  // temp_high, temp_low, hum_high, hum_low, value_alarm, sensor_offline, supply_lost, comm_lost, db_lost
  QString deviceId, deviceName, company, department;  // UTF-8 on their way out; empty for db_lost
  QString value;  // the measured value the kind is about ("41.0"), empty when there is none
  QString time;   // the reading's time; for db_lost when the station saw the change
  QString text;   // one line for a person
  bool operator==(const Notice&) const = default;
};

// The notice of one device event from the device's record (nullptr when the table holds none:
// then only the id is known). `openMinutes` > 0 marks a repeat. The caller holds the table's
// mutex.
Notice DeviceNotice(const std::string& deviceId, readings::AlarmKind kind, bool start, const DeviceLiveRecord* record,
                    int openMinutes = 0);
Notice DatabaseNotice(bool start, const QString& time, int openMinutes = 0);

}  // namespace notice

Q_DECLARE_METATYPE(notice::Notice)
