#include "AuditLogTemplate.h"

#include "ResourceIds.h"

namespace res {
namespace {
constexpr ControlTemplate kControls[] = {
    {kNoId, CtlKind::Static, "起始日期：", 7, 10, 40, 10},
    {IDC_AUDIT_FROM, CtlKind::DatePicker, "", 48, 7, 69, 15},
    {kNoId, CtlKind::Static, "结束日期：", 124, 10, 40, 10},
    {IDC_AUDIT_TO, CtlKind::DatePicker, "", 165, 7, 69, 15},
    {kNoId, CtlKind::Static, "用户：", 242, 10, 24, 10},
    {IDC_AUDIT_USER, CtlKind::Edit, "", 267, 7, 60, 14},
    {kNoId, CtlKind::Static, "操作：", 334, 10, 24, 10},
    {IDC_AUDIT_ACTION, CtlKind::ComboList, "", 359, 7, 70, 120},
    {IDC_AUDIT_QUERY, CtlKind::Button, "查询", 437, 6, 50, 16},
    {IDC_AUDIT_LIST, CtlKind::ListView, "", 7, 28, 480, 210, kBorder},
    {IDC_AUDIT_STATUS, CtlKind::Static, "", 7, 246, 250, 12},
    {IDC_AUDIT_COPY, CtlKind::Button, "复制", 262, 243, 50, 16},
    {IDC_AUDIT_EXPORT_CSV, CtlKind::Button, "导出CSV", 317, 243, 50, 16},
    {IDC_AUDIT_EXPORT_XLS, CtlKind::Button, "导出EXCEL", 372, 243, 55, 16},
    {IDC_AUDIT_EXIT, CtlKind::Button, "退出", 437, 243, 50, 16},
};
}  // namespace

const DialogTemplate kAuditLogDialog = {IDD_AUDIT_LOG, "审计记录", "System", 9, 494, 264, kControls};

}  // namespace res
