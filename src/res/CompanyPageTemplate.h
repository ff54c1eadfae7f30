#pragma once
#include "DialogTemplate.h"

namespace res {
// The "公司" page of the company and department dialog.
enum CompanyPageControlId : int {
  IDC_COMPANY_SEARCH_BUTTON = 1001,
  IDC_COMPANY_STATUS = 1010,
  IDC_COMPANY_LIST = 1028,
  IDC_COMPANY_NUMBER = 1029,
  IDC_COMPANY_NAME = 1030,
  IDC_COMPANY_ADD = 1031,
  IDC_COMPANY_DELETE = 1032,
  IDC_COMPANY_SEARCH_FIELD = 1033,
  IDC_COMPANY_SEARCH_KEY = 1034,
  IDC_COMPANY_RENAME = 1035,
  IDC_COMPANY_HIDDEN_EXIT = 1074,
};
extern const DialogTemplate kCompanyPage;
}  // namespace res
