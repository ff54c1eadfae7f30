#pragma once
#include "DialogTemplate.h"

namespace res {
// The "报警记录" window of the history table page: the excursions of the rows shown.
enum AlarmRecordControlId : int {
  IDC_AR_KIND = 1110,
  IDC_AR_SUMMARY = 1111,
  IDC_AR_LIST = 1112,
  IDC_AR_COPY = 1113,
  IDC_AR_EXPORT_EXCEL = 1114,
  IDC_AR_EXPORT_CSV = 1115,
  IDC_AR_CLOSE = 1116,
};
extern const DialogTemplate kAlarmRecordDialog;
}  // namespace res
