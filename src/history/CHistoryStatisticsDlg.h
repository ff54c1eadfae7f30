#pragma once
// "统计": the figures of the table page's rows, one line per device. "复制" puts them on the
// clipboard as tab-separated text, ready to paste into a spreadsheet.
#include <vector>

#include "DialogBase.h"
#include "HistoryStatistics.h"

namespace res {
class ReportListView;
}

class CHistoryStatisticsDlg : public res::DialogBase {
  Q_OBJECT
 public:
  CHistoryStatisticsDlg(const std::vector<history::DeviceSummary>& summaries, long long rowCount,
                        QWidget* parent = nullptr);

  res::ReportListView* List() const { return list_; }
  // The figures as tab-separated lines, a title line first.
  QString TabSeparatedText() const;
  void CopyToClipboard() const;

 private:
  res::ReportListView* list_;
};
