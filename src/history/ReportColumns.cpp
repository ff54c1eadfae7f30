#include "ReportColumns.h"

#include <cstdio>

#include "LocalTime.h"

namespace {
constexpr const char* kReportFileNameFormat = "%d-%02d-%02d %02d时%02d分%02d秒";
}

std::string ReportFileName(const char* extension) {
  const platform::LocalTime t = platform::GetLocalTime();
  char name[256];
  std::snprintf(name, sizeof name, kReportFileNameFormat, t.year, t.month, t.day, t.hour, t.minute, t.second);
  return std::string(name) + extension;
}
