#include "LoginDialogTemplate.h"

#include "ResourceIds.h"

namespace res {
namespace {
constexpr ControlTemplate kControls[] = {
    {kNoId, CtlKind::Static, "用户名：", 19, 21, 49, 11, kAlignRight},
    {kNoId, CtlKind::Static, "密码：", 19, 38, 49, 11, kAlignRight},
    {IDC_LOGIN_USER, CtlKind::Edit, "", 68, 18, 71, 12, kBorder},
    {IDC_LOGIN_PASSWORD, CtlKind::Edit, "", 68, 36, 71, 12, kBorder | kPassword},
    {kNoId, CtlKind::Static, "用户类型：", 19, 56, 49, 11, kAlignRight},
    {IDC_LOGIN_ROLE, CtlKind::ComboList, "", 68, 55, 71, 103},
    {IDC_LOGIN_OK, CtlKind::Button, "登陆", 152, 15, 43, 19},
    {IDC_LOGIN_CANCEL, CtlKind::Button, "取消", 152, 49, 43, 19},
    {IDC_LOGIN_STATUS, CtlKind::Static, "", 7, 72, 198, 14, kAlignCenter},
};
}  // namespace

const DialogTemplate kLoginDialog = {IDD_LOGIN, "登陆", "System", 9, 212, 100, kControls};

}  // namespace res
