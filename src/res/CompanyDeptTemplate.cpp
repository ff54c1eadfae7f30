#include "CompanyDeptTemplate.h"

#include "ResourceIds.h"

namespace res {
namespace {
constexpr ControlTemplate kControls[] = {
    {IDC_COMPANY_DEPT_TABS, CtlKind::TabControl, "", 7, 7, 413, 270},
    {IDC_COMPANY_DEPT_EXIT, CtlKind::Button, "退出", 334, 280, 86, 22},
};
}  // namespace

const DialogTemplate kCompanyDeptDialog = {IDD_COMPANY_DEPT, "公司以及部门管理", "System", 9, 427, 309, kControls};

}  // namespace res
