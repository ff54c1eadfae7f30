#include "HistoryStatisticsTemplate.h"

#include "ResourceIds.h"

namespace res {
namespace {
constexpr ControlTemplate kControls[] = {
    {IDC_HS_SUMMARY, CtlKind::Static, "", 7, 7, 420, 10},
    {IDC_HS_LIST, CtlKind::ListView, "", 7, 20, 546, 155},
    {IDC_HS_COPY, CtlKind::Button, "复制", 446, 180, 50, 14},
    {IDC_HS_CLOSE, CtlKind::Button, "关闭", 503, 180, 50, 14},
};
}  // namespace

const DialogTemplate kHistoryStatisticsDialog = {IDD_HISTORY_STATISTICS, "统计", "宋体", 10, 560, 200, kControls};

}  // namespace res
