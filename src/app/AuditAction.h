#pragma once
// Every action an audit row can name: the one list the trail is written from and the audit
// window filters by, so no action can be written that the window cannot find.
#include <array>
#include <cstddef>

enum class AuditAction {
  kAddUser,
  kDeleteUser,
  kAddCompany,
  kRenameCompany,
  kDeleteCompany,
  kAddDepartment,
  kRenameDepartment,
  kDeleteDepartment,
  kAddDevice,
  kRenameDevice,
  kDeleteDevice,
  kGrantPermission,
  kRevokePermission,
  kLoginAccepted,
  kLoginRefused,
  kExport,
  kAcknowledge,
};

// The texts as the rows carry them (UTF-8 here, GBK in the table), in the order above.
inline constexpr std::array<const char*, 17> kAuditActionTexts = {
    "添加用户", "删除用户", "添加公司", "修改公司", "删除公司", "添加部门", "修改部门", "删除部门", "添加设备",
    "修改设备", "删除设备", "授予权限", "撤销权限", "登录成功", "登录失败", "导出",     "确认报警",
};
inline constexpr std::size_t kAuditActionCount = kAuditActionTexts.size();
static_assert(static_cast<std::size_t>(AuditAction::kAcknowledge) + 1 == kAuditActionCount);

// UTF-8.
inline constexpr const char* AuditActionText(AuditAction action) {
  return kAuditActionTexts[static_cast<std::size_t>(action)];
}
