#pragma once
#include "DialogTemplate.h"

namespace res {
// The "统计" window of the history table page: per-device figures of the rows shown.
enum HistoryStatisticsControlId : int {
  IDC_HS_SUMMARY = 1100,
  IDC_HS_LIST = 1101,
  IDC_HS_COPY = 1102,
  IDC_HS_CLOSE = 1103,
};
extern const DialogTemplate kHistoryStatisticsDialog;
}  // namespace res
