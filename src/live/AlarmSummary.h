#pragma once
// The status bar's texts: the alarm desk's counts (LiveScan.h) in their state colours, and how
// fresh the shown data is.
#include <QString>
#include <cstdint>
#include <vector>

#include "DeviceLiveTable.h"
#include "LiveScan.h"

namespace alarms {

// "报警 3 · 传感器掉线 1 · 供电中断 1 · 通讯掉线 2" as rich text, each count in its state colour when it is
// not 0, in normal green when it is.
QString SummaryHtml(const AlarmCounts& counts);

// How old the shown data is: "数据更新于 hh:mm:ss", or, once the database has not answered for
// longer than one refresh period and a grace, "数据库未响应，数据更新于 hh:mm:ss" (or
// "数据库未响应，尚无数据" before the first successful refresh).
struct Freshness {
  QString text;
  bool stale = false;
  bool operator==(const Freshness&) const = default;
};
inline constexpr std::uint32_t kStaleAfterMs = 10000 + 5000;  // refresh period + grace
Freshness FreshnessOf(const RefreshStamp& last, std::uint32_t nowTick);

}  // namespace alarms
