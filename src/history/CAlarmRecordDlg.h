#pragma once
// "报警记录": the excursions of the table page's rows, one line each. A click on a column title
// sorts by it (again: the other way); the kind filter shows one kind or all. "复制" puts the
// lines shown on the clipboard as tab-separated text; the exports write them to a file named
// from the local time in the current directory, saved safely.
#include <string>
#include <vector>

#include "AlarmRecords.h"
#include "DialogBase.h"

namespace res {
class ReportListView;
}

class CAlarmRecordDlg : public res::DialogBase {
  Q_OBJECT
 public:
  explicit CAlarmRecordDlg(std::vector<history::AlarmRecord> records, QWidget* parent = nullptr);

  res::ReportListView* List() const { return list_; }
  // The records shown, in the order shown.
  const std::vector<history::AlarmRecord>& Shown() const { return shown_; }
  // 0 every kind, otherwise 1 + readings::AlarmKind.
  void ShowKind(int filterIndex);
  void SortBy(int column);
  // The lines shown as tab-separated text, a title line first.
  QString TabSeparatedText() const;
  void CopyToClipboard() const;
  // `fileName` empty: the time-based name. True when written.
  bool Export(bool workbook, const std::string& fileName = {});

 private:
  void Fill();

  std::vector<history::AlarmRecord> records_, shown_;
  res::ReportListView* list_;
  int filter_ = 0;
  int sortColumn_ = -1;
  bool descending_ = false;
};
