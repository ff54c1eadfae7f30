#pragma once
// The column descriptors shared by the PDF report and the Excel export: one per column of the
// history table page's list, in the same order; six of the eleven are printed.
#include <array>

struct ReportColumn {
  const char* title;  // UTF-8 here; converted to GBK (PDF) or UTF-16 (workbook) when written
  int x;              // PDF: left edge of the text, points from the left
  int headerOffset;   // PDF: header baseline = h - headerOffset (0 for disabled columns)
  int enabled;
};

inline constexpr int kReportColumnCount = 11;
inline constexpr int kReportHeaderOffset = 90;

inline constexpr std::array<ReportColumn, kReportColumnCount> kReportColumns = {{
    {"设备ID", 45, kReportHeaderOffset, 1},
    {"设备名称", 122, kReportHeaderOffset, 1},
    {"公司", 0, 0, 0},
    {"部门", 250, kReportHeaderOffset, 1},
    {"时间", 350, kReportHeaderOffset, 1},
    {"温度", 480, kReportHeaderOffset, 1},
    {"湿度", 530, kReportHeaderOffset, 1},
    {"设备温度", 0, 0, 0},
    {"设备电压", 0, 0, 0},
    {"设备电流", 0, 0, 0},
    {"设备故障", 0, 0, 0},
}};

// "%d-%02d-%02d %02d时%02d分%02d秒" + extension, from the local time (UTF-8).
#include <string>
std::string ReportFileName(const char* extension);
