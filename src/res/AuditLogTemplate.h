#pragma once
#include "DialogTemplate.h"

namespace res {

// Control ids of the audit record window.
enum AuditLogControlId : int {
  IDC_AUDIT_FROM = 1000,
  IDC_AUDIT_TO = 1001,
  IDC_AUDIT_USER = 1002,
  IDC_AUDIT_ACTION = 1003,
  IDC_AUDIT_QUERY = 1004,
  IDC_AUDIT_LIST = 1005,
  IDC_AUDIT_COPY = 1006,
  IDC_AUDIT_EXPORT_CSV = 1007,
  IDC_AUDIT_EXPORT_XLS = 1008,
  IDC_AUDIT_STATUS = 1010,
  IDC_AUDIT_EXIT = 1074,
};

extern const DialogTemplate kAuditLogDialog;

}  // namespace res
