#include "UserManageTemplate.h"

#include "ResourceIds.h"

namespace res {
namespace {
constexpr ControlTemplate kControls[] = {
    {kNoId, CtlKind::GroupBox, "用户列表", 7, 7, 196, 232},
    {kNoId, CtlKind::Static, "用户名：", 13, 24, 32, 8},
    {IDC_USER_FIND_KEY, CtlKind::Edit, "", 47, 22, 87, 12},
    {IDC_USER_FIND, CtlKind::Button, "查找", 140, 18, 57, 19},
    {kNoId, CtlKind::Static, "如果关键字为空则显示所有用户", 14, 36, 122, 11},
    {IDC_USER_LIST, CtlKind::ListView, "", 8, 51, 193, 188, kBorder},
    {kNoId, CtlKind::GroupBox, "操作", 205, 7, 129, 232},
    {kNoId, CtlKind::Static, "用户名：", 214, 33, 58, 11},
    {IDC_USER_NAME, CtlKind::Edit, "", 214, 48, 75, 14},
    {kNoId, CtlKind::Static, "密码：", 214, 67, 36, 11},
    {IDC_USER_PASSWORD, CtlKind::Edit, "", 214, 84, 75, 14, kPassword},
    {kNoId, CtlKind::Static, "密码确认：", 214, 104, 58, 11},
    {IDC_USER_PASSWORD_AGAIN, CtlKind::Edit, "", 214, 119, 75, 14, kPassword},
    {kNoId, CtlKind::Static, "用户类型：", 214, 138, 41, 11},
    {IDC_USER_TYPE, CtlKind::Static, "普通用户", 214, 150, 41, 11, kBorder},
    {IDC_USER_ADD, CtlKind::Button, "添加", 213, 164, 47, 16},
    {IDC_USER_DELETE, CtlKind::Button, "删除", 271, 164, 47, 16},
    {IDC_USER_STATUS, CtlKind::Static, "", 213, 190, 108, 13},
    {IDC_USER_EXIT, CtlKind::Button, "退出", 241, 217, 86, 22},
    {IDC_USER_DB_STATE, CtlKind::Static, "", 188, 0, 8, 11, kHidden},
};
}  // namespace

const DialogTemplate kUserManageDialog = {IDD_USER_MANAGE, "用户管理", "System", 9, 334, 246, kControls};

}  // namespace res
