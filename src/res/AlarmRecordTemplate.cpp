#include "AlarmRecordTemplate.h"

#include "ResourceIds.h"

namespace res {
namespace {
constexpr ControlTemplate kControls[] = {
    {kNoId, CtlKind::Static, "报警类型:", 7, 8, 38, 10},
    {IDC_AR_KIND, CtlKind::ComboList, "", 46, 6, 80, 109},
    {IDC_AR_SUMMARY, CtlKind::Static, "", 134, 8, 419, 10},
    {IDC_AR_LIST, CtlKind::ListView, "", 7, 22, 546, 153},
    {IDC_AR_COPY, CtlKind::Button, "复制", 332, 180, 50, 14},
    {IDC_AR_EXPORT_EXCEL, CtlKind::Button, "导出EXCEL", 389, 180, 50, 14},
    {IDC_AR_EXPORT_CSV, CtlKind::Button, "导出CSV", 446, 180, 50, 14},
    {IDC_AR_CLOSE, CtlKind::Button, "关闭", 503, 180, 50, 14},
};
}  // namespace

const DialogTemplate kAlarmRecordDialog = {IDD_ALARM_RECORDS, "报警记录", "宋体", 10, 560, 200, kControls};

}  // namespace res
