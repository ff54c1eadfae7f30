#include "CompanyPageTemplate.h"

#include "ResourceIds.h"

namespace res {
namespace {
constexpr ControlTemplate kControls[] = {
    {kNoId, CtlKind::GroupBox, "公司表", 7, 7, 211, 236},
    {IDC_COMPANY_SEARCH_FIELD, CtlKind::ComboList, "", 11, 21, 44, 113},
    {IDC_COMPANY_SEARCH_KEY, CtlKind::Edit, "", 57, 21, 102, 12},
    {IDC_COMPANY_SEARCH_BUTTON, CtlKind::Button, "查询", 163, 20, 47, 16},
    {kNoId, CtlKind::Static, "关键字为空查询所有公司", 12, 36, 147, 11},
    {IDC_COMPANY_LIST, CtlKind::ListView, "", 9, 50, 205, 187, kBorder},
    {kNoId, CtlKind::Static, "公司编号：", 229, 59, 44, 9},
    {IDC_COMPANY_NUMBER, CtlKind::Edit, "", 228, 72, 115, 13},
    {kNoId, CtlKind::Static, "公司名称：", 228, 88, 44, 9},
    {IDC_COMPANY_NAME, CtlKind::Edit, "", 228, 101, 115, 13},
    {IDC_COMPANY_ADD, CtlKind::Button, "添加", 227, 119, 31, 18},
    {IDC_COMPANY_RENAME, CtlKind::Button, "修改名称", 262, 119, 43, 18},
    {IDC_COMPANY_DELETE, CtlKind::Button, "删除", 309, 119, 31, 18},
    {IDC_COMPANY_STATUS, CtlKind::Static, "", 228, 140, 114, 14, kAlignCenter},
    {IDC_COMPANY_HIDDEN_EXIT, CtlKind::Button, "退出", 228, 160, 112, 28, kHidden},
};
}  // namespace

const DialogTemplate kCompanyPage = {IDD_COMPANY_PAGE, "", "System", 9, 359, 250, kControls};

}  // namespace res
