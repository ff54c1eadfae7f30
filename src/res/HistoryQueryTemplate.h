#pragma once
#include "DialogTemplate.h"

namespace res {
// Controls of the history query dialog.
enum HistoryQueryControlId : int {
  IDC_HQ_REMOVE = 1006,
  IDC_HQ_DEPARTMENT = 1013,
  IDC_HQ_COMPANY_NUM = 1037,  // hidden: company_num of the chosen company
  IDC_HQ_START_DATE = 1038,
  IDC_HQ_END_DATE = 1040,
  IDC_HQ_ADD_SELECTED = 1051,
  IDC_HQ_ADD_ALL = 1052,
  IDC_HQ_QUERY = 1053,
  IDC_HQ_TABS = 1054,
  IDC_HQ_COMPANY = 1056,
  IDC_HQ_CLEAR = 1057,
  IDC_HQ_DEPARTMENT_NUM = 1058,  // hidden: department_num of the chosen department
  IDC_HQ_DEVICE_LIST = 1059,
  IDC_HQ_QUERY_LIST = 1060,
  IDC_HQ_EXIT = 1074,  // hidden "退出"
  IDC_HQ_QUERY_COUNT = 1092,
};
extern const DialogTemplate kHistoryQueryDialog;
}  // namespace res
