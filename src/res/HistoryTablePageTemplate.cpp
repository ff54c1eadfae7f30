#include "HistoryTablePageTemplate.h"

#include "ResourceIds.h"

namespace res {
namespace {
// In tab order; "不限" sits first on screen but last in its group.
constexpr ControlTemplate kControls[] = {
    {kNoId, CtlKind::Static, "温度:", 13, 16, 22, 10},
    {kNoId, CtlKind::Static, "湿度:", 190, 16, 22, 10},
    {kNoId, CtlKind::GroupBox, "", 0, 7, 174, 25},
    {kNoId, CtlKind::GroupBox, "", 177, 7, 176, 25},
    {IDC_HT_LIST, CtlKind::ListView, "", 0, 34, 561, 234},
    {IDC_HT_TEMP_NORMAL, CtlKind::Radio, "正常", 68, 14, 29, 12, kGroup},
    {IDC_HT_TEMP_HIGH, CtlKind::Radio, "高温", 98, 14, 29, 12},
    {IDC_HT_TEMP_LOW, CtlKind::Radio, "低温", 128, 14, 29, 12},
    {IDC_HT_TEMP_ANY, CtlKind::Radio, "不限", 38, 14, 29, 12},
    {IDC_HT_HUM_NORMAL, CtlKind::Radio, "正常", 247, 15, 29, 12, kGroup},
    {IDC_HT_HUM_HIGH, CtlKind::Radio, "高湿", 278, 15, 29, 12},
    {IDC_HT_HUM_LOW, CtlKind::Radio, "低湿", 309, 15, 29, 12},
    {IDC_HT_HUM_ANY, CtlKind::Radio, "不限", 216, 15, 29, 12},
    {IDC_HT_RESULT, CtlKind::Static, "", 357, 13, 83, 15, kGroup},
    {IDC_HT_EXPORT_PDF, CtlKind::Button, "导出PDF", 442, 12, 36, 20},
    {IDC_HT_EXPORT_EXCEL, CtlKind::Button, "导出EXCEL", 480, 12, 43, 20},
    // In the free space right of the export buttons; nothing else moves.
    {IDC_HT_STATISTICS, CtlKind::Button, "统计", 525, 12, 34, 20},
    // Above the export buttons, right-aligned with "统计": the only free strip of the row.
    {IDC_HT_ALARM_RECORDS, CtlKind::Button, "报警记录", 510, 0, 49, 11},
};
}  // namespace

const DialogTemplate kHistoryTablePage = {IDD_HISTORY_TABLE, "", "宋体", 10, 567, 268, kControls};

}  // namespace res
