#include "HistoryQueryTemplate.h"

#include "ResourceIds.h"

namespace res {
namespace {
constexpr ControlTemplate kControls[] = {
    {kNoId, CtlKind::GroupBox, "设备选择", 7, 2, 259, 127},
    {kNoId, CtlKind::Static, "公司:", 10, 14, 28, 11},
    {IDC_HQ_COMPANY, CtlKind::ComboList, "", 42, 13, 160, 109},
    {IDC_HQ_COMPANY_NUM, CtlKind::Edit, "", 205, 13, 33, 12, kHidden | kReadOnly},
    {kNoId, CtlKind::Static, "部门:", 10, 29, 28, 11},
    {IDC_HQ_DEPARTMENT, CtlKind::ComboList, "", 42, 30, 160, 109},
    {IDC_HQ_DEPARTMENT_NUM, CtlKind::Edit, "", 205, 30, 33, 12, kHidden | kReadOnly},
    {kNoId, CtlKind::Static, "设备:", 10, 47, 28, 11},
    {IDC_HQ_DEVICE_LIST, CtlKind::ListView, "", 42, 47, 219, 60, kShowSelAlways},
    {IDC_HQ_ADD_SELECTED, CtlKind::Button, "加入查询列表", 126, 109, 66, 18},
    {IDC_HQ_ADD_ALL, CtlKind::Button, "全部加入", 195, 109, 66, 18},
    {kNoId, CtlKind::GroupBox, "查询条件", 289, 2, 291, 127},
    {kNoId, CtlKind::Static, "开始日期:", 291, 16, 36, 9},
    {IDC_HQ_START_DATE, CtlKind::DatePicker, "", 336, 9, 69, 18},
    {kNoId, CtlKind::Static, "结束日期:", 440, 16, 38, 9},
    {IDC_HQ_END_DATE, CtlKind::DatePicker, "", 481, 8, 67, 19},
    {IDC_HQ_QUERY_LIST, CtlKind::ListView, "", 292, 29, 288, 78, kShowSelAlways},
    {IDC_HQ_QUERY_COUNT, CtlKind::Static, "", 276, 110, 74, 14},
    {IDC_HQ_REMOVE, CtlKind::Button, "从列表删除", 353, 109, 66, 18},
    {IDC_HQ_CLEAR, CtlKind::Button, "清空", 422, 109, 66, 18},
    {IDC_HQ_QUERY, CtlKind::Button, "查询", 491, 109, 66, 18},
    {IDC_HQ_TABS, CtlKind::TabControl, "", 7, 130, 573, 291},
    {IDC_HQ_EXIT, CtlKind::Button, "退出", 497, 415, 83, 6, kHidden},
};
}  // namespace

const DialogTemplate kHistoryQueryDialog = {IDD_HISTORY_QUERY, "历史数据查询", "宋体", 10, 587, 428, kControls};

}  // namespace res
