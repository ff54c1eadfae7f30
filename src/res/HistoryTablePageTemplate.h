#pragma once
#include "DialogTemplate.h"

namespace res {
// Controls of the history table page. The radio ids run in each group's tab order, so a
// button's offset from the group's first id is the alarm code it filters on.
enum HistoryTablePageControlId : int {
  IDC_HT_LIST = 1067,
  IDC_HT_TEMP_NORMAL = 1068,  // first of the temperature group
  IDC_HT_TEMP_HIGH = 1069,
  IDC_HT_TEMP_LOW = 1070,
  IDC_HT_TEMP_ANY = 1071,
  IDC_HT_HUM_NORMAL = 1072,  // first of the humidity group
  IDC_HT_HUM_HIGH = 1073,
  IDC_HT_HUM_LOW = 1074,
  IDC_HT_HUM_ANY = 1075,
  IDC_HT_RESULT = 1093,
  IDC_HT_EXPORT_PDF = 1095,
  IDC_HT_EXPORT_EXCEL = 1096,
  IDC_HT_STATISTICS = 1097,
  IDC_HT_ALARM_RECORDS = 1098,
};
extern const DialogTemplate kHistoryTablePage;
}  // namespace res
