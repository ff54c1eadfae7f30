#include "PermissionTemplate.h"

#include "ResourceIds.h"

namespace res {
namespace {
// Drop-down heights are those of the opened list, as in a resource script.
constexpr ControlTemplate kControls[] = {
    {kNoId, CtlKind::GroupBox, "用户权限表", 7, 2, 324, 264},
    {IDC_PERM_FIELD, CtlKind::ComboList, "", 14, 17, 50, 102},
    {IDC_PERM_KEY, CtlKind::Edit, "", 65, 17, 144, 12},
    {IDC_PERM_FIND, CtlKind::Button, "查询", 213, 15, 57, 18},
    {kNoId, CtlKind::Static, "如果关键字为空则表示查询所有设备", 15, 33, 146, 10},
    {IDC_PERM_LIST, CtlKind::ListView, "", 15, 44, 310, 222},
    {kNoId, CtlKind::Static, "用户名", 337, 34, 56, 10},
    {IDC_PERM_USER, CtlKind::ComboList, "", 337, 47, 146, 161, kSorted},
    {kNoId, CtlKind::Static, "公司名称", 337, 61, 56, 10},
    {IDC_PERM_COMPANY, CtlKind::ComboList, "", 337, 72, 145, 144},
    {kNoId, CtlKind::Static, "公司编号", 337, 86, 56, 10},
    {IDC_PERM_COMPANY_NUM, CtlKind::Edit, "", 337, 97, 147, 13, kDisabled},
    {kNoId, CtlKind::Static, "部门名称", 337, 112, 56, 10},
    {IDC_PERM_DEPARTMENT, CtlKind::ComboList, "", 337, 122, 145, 144},
    {kNoId, CtlKind::Static, "部门编号", 337, 139, 56, 10},
    {IDC_PERM_DEPARTMENT_NUM, CtlKind::Edit, "", 337, 150, 147, 13, kDisabled},
    {IDC_PERM_ADD, CtlKind::Button, "添加", 338, 165, 59, 20},
    {IDC_PERM_DELETE, CtlKind::Button, "删除", 423, 165, 59, 20},
    {IDC_PERM_STATUS, CtlKind::Static, "", 340, 189, 140, 14, kAlignCenter},
    {IDC_PERM_EXIT, CtlKind::Button, "退出", 406, 245, 86, 22},
};
}  // namespace

const DialogTemplate kPermissionDialog = {IDD_PERMISSION, "用户权限管理", "System", 9, 499, 274, kControls};

}  // namespace res
