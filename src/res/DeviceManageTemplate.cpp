#include "DeviceManageTemplate.h"

#include "ResourceIds.h"

namespace res {
namespace {
constexpr ControlTemplate kControls[] = {
    {kNoId, CtlKind::GroupBox, "设备列表", 7, 7, 324, 264},
    {IDC_DEVICE_SEARCH_FIELD, CtlKind::ComboList, "", 14, 22, 50, 102},
    {IDC_DEVICE_SEARCH_KEY, CtlKind::Edit, "", 65, 22, 144, 12},
    {IDC_DEVICE_SEARCH_BUTTON, CtlKind::Button, "查询", 213, 20, 57, 18},
    {kNoId, CtlKind::Static, "如果关键字为空则表示查询所有设备", 15, 38, 146, 10},
    {IDC_DEVICE_LIST, CtlKind::ListView, "", 15, 49, 310, 222, kShowSelAlways},
    {IDC_DEVICE_MODE_RENAME, CtlKind::Radio, "修改设备名称", 339, 49, 68, 16, kGroup},
    {IDC_DEVICE_MODE_ADD_DELETE, CtlKind::Radio, "添加/删除", 408, 49, 52, 16},
    {kNoId, CtlKind::Static, "设备ID", 337, 69, 56, 10},
    {IDC_DEVICE_ID, CtlKind::Edit, "", 337, 80, 147, 13},
    {kNoId, CtlKind::Static, "设备名称", 337, 96, 56, 10},
    {IDC_DEVICE_NAME, CtlKind::Edit, "", 337, 108, 147, 13},
    {kNoId, CtlKind::Static, "公司名称", 337, 124, 56, 10},
    {IDC_DEVICE_COMPANY_COMBO, CtlKind::ComboList, "", 337, 135, 147, 144},
    {kNoId, CtlKind::Static, "部门名称", 337, 152, 56, 10},
    {IDC_DEVICE_DEPARTMENT_COMBO, CtlKind::ComboList, "", 337, 162, 147, 144},
    {IDC_DEVICE_RENAME, CtlKind::Button, "修改设备名称", 337, 181, 52, 20},
    {IDC_DEVICE_ADD, CtlKind::Button, "添加", 392, 181, 47, 20},
    {IDC_DEVICE_DELETE, CtlKind::Button, "删除", 441, 181, 47, 20},
    {IDC_DEVICE_STATUS, CtlKind::Static, "", 340, 206, 140, 14, kAlignCenter},
    {IDC_DEVICE_EXIT, CtlKind::Button, "退出", 407, 249, 86, 22},
    {kNoId, CtlKind::Static, "公司编号", 332, 7, 38, 10, kHidden},
    {IDC_DEVICE_COMPANY_NUMBER, CtlKind::Edit, "", 384, 7, 102, 13, kHidden | kDisabled},
    {kNoId, CtlKind::Static, "部门编号", 331, 23, 40, 10, kHidden},
    {IDC_DEVICE_DEPARTMENT_NUMBER, CtlKind::Edit, "", 383, 21, 110, 13, kHidden | kDisabled},
};
}  // namespace

const DialogTemplate kDeviceManageDialog = {IDD_DEVICE_MANAGE, "设备管理", "System", 9, 500, 278, kControls};

}  // namespace res
