#include "DepartmentPageTemplate.h"

#include "ResourceIds.h"

namespace res {
namespace {
constexpr ControlTemplate kControls[] = {
    {kNoId, CtlKind::GroupBox, "部门表", 7, 3, 211, 236},
    {kNoId, CtlKind::Static, "请在下面选择一家公司", 11, 16, 133, 10},
    {IDC_DEPT_COMPANY_COMBO, CtlKind::ComboList, "", 9, 33, 106, 126},
    {IDC_DEPT_COMPANY_NUMBER, CtlKind::Edit, "", 118, 33, 87, 12, kDisabled},
    {IDC_DEPT_LIST, CtlKind::ListView, "", 9, 48, 205, 185, kBorder},
    {kNoId, CtlKind::Static, "部门编号：", 229, 33, 44, 9},
    {IDC_DEPT_NUMBER, CtlKind::Edit, "", 228, 46, 115, 13},
    {kNoId, CtlKind::Static, "部门名称：", 228, 62, 44, 9},
    {IDC_DEPT_NAME, CtlKind::Edit, "", 228, 75, 115, 13},
    {IDC_DEPT_ADD, CtlKind::Button, "添加", 227, 93, 31, 18},
    {IDC_DEPT_RENAME, CtlKind::Button, "修改名称", 262, 93, 43, 18},
    {IDC_DEPT_DELETE, CtlKind::Button, "删除", 309, 93, 31, 18},
    {IDC_DEPT_STATUS, CtlKind::Static, "", 228, 114, 114, 14, kAlignCenter},
};
}  // namespace

const DialogTemplate kDepartmentPage = {IDD_DEPARTMENT_PAGE, "", "System", 9, 361, 248, kControls};

}  // namespace res
