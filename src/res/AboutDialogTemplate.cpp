#include "AboutDialogTemplate.h"

#include "ResourceIds.h"

namespace res {
namespace {
constexpr ControlTemplate kControls[] = {
    {kNoId, CtlKind::Icon, "", 11, 17, 20, 20},
    {kNoId, CtlKind::Static, "Veltrane 1.0 版", 40, 10, 119, 8},
    {kNoId, CtlKind::Static, "温湿度智能监控系统  版本 " VELTRANE_VERSION, 40, 25, 119, 8},
    {IDC_ABOUT_OK, CtlKind::Button, "确定", 178, 7, 50, 14, kGroup | kDefault},
};
}  // namespace

const DialogTemplate kAboutDialog = {IDD_ABOUTBOX, "关于 Veltrane", "宋体", 9, 235, 55, kControls};

}  // namespace res
