#pragma once
#include "DialogTemplate.h"

namespace res {
// Controls of the history curve page. The channel radios run in tab order: a button's offset
// from IDC_HC_TEMPERATURE is the channel number.
enum HistoryCurvePageControlId : int {
  IDC_HC_EXPORT_PDF = 1073,  // the chart as a one-page PDF
  IDC_HC_TEMPERATURE = 1074,
  IDC_HC_HUMIDITY = 1075,
  IDC_HC_DEVICE_TEMPERATURE = 1076,
  IDC_HC_VOLTAGE = 1077,
  IDC_HC_PREV_GROUP = 1082,
  IDC_HC_NEXT_GROUP = 1083,
  IDC_HC_PREV_DAY = 1084,
  IDC_HC_NEXT_DAY = 1085,
  IDC_HC_DATE = 1087,  // shows the plotted day; disabled
};
extern const DialogTemplate kHistoryCurvePage;
}  // namespace res
