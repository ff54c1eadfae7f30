#include "HistoryCurvePageTemplate.h"

#include "ResourceIds.h"

namespace res {
namespace {
constexpr ControlTemplate kControls[] = {
    {IDC_HC_TEMPERATURE, CtlKind::Radio, "温度", 15, 12, 28, 13, kGroup},
    {IDC_HC_HUMIDITY, CtlKind::Radio, "湿度", 42, 12, 28, 13},
    {IDC_HC_DEVICE_TEMPERATURE, CtlKind::Radio, "设备内部温度", 70, 12, 63, 13},
    {IDC_HC_VOLTAGE, CtlKind::Radio, "电压", 132, 12, 28, 13},
    {IDC_HC_PREV_GROUP, CtlKind::Button, "上一组", 12, 59, 17, 44, kFlat | kMultiLine},
    {IDC_HC_NEXT_GROUP, CtlKind::Button, "下一组", 12, 128, 17, 44, kFlat | kMultiLine},
    {IDC_HC_PREV_DAY, CtlKind::Button, "上一页", 129, 193, 42, 20, kFlat},
    {IDC_HC_NEXT_DAY, CtlKind::Button, "下一页", 251, 193, 42, 20, kFlat},
    {IDC_HC_DATE, CtlKind::DatePicker, "", 187, 196, 55, 12, kAlignRight | kDisabled},
    {IDC_HC_EXPORT_PDF, CtlKind::Button, "导出PDF", 397, 7, 61, 22},
};
}  // namespace

const DialogTemplate kHistoryCurvePage = {IDD_HISTORY_CURVE, "", "System", 10, 484, 220, kControls};

}  // namespace res
