#include "CAlarmRecordDlg.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QHeaderView>
#include <algorithm>
#include <cmath>

#include "AlarmRecordTemplate.h"
#include "HistoryStatistics.h"
#include "MessageBox.h"
#include "ReportColumns.h"
#include "ReportListView.h"
#include "TableText.h"

namespace {

constexpr const char* kAllKinds = "全部";
constexpr const char* kSummaryFormat = "%1条报警记录 (共%2条)。结束时间为\"持续中\"的记录到查询时段结束仍未结束。";
constexpr const char* kSuccessFormat = "导出文件:%1 成功";
constexpr const char* kFailure = "导出失败";
constexpr const char* kNothingToExport = "没有可导出的报警记录";
constexpr int kColumnWidths[history::kAlarmRecordColumnCount] = {90, 90, 90, 80, 80,  140, 140,
                                                                 80, 60, 60, 70, 140, 160};

// A column's order: times, durations, counts and extremes as numbers (no extreme last), the
// rest as text.
bool Before(const history::AlarmRecord& a, const history::AlarmRecord& b, int column) {
  const readings::Excursion &x = a.event, &y = b.event;
  switch (column) {
    case 0: return a.deviceId < b.deviceId;
    case 4: return x.kind < y.kind;
    case history::kArColStart: return x.start < y.start;
    case history::kArColEnd: return std::pair(x.open, x.end) < std::pair(y.open, y.end);
    case history::kArColDuration: return x.Duration() < y.Duration();
    case history::kArColReadings: return x.readings < y.readings;
    case history::kArColExtreme:
      if (std::isnan(x.extreme) || std::isnan(y.extreme)) return !std::isnan(x.extreme) && std::isnan(y.extreme);
      return x.extreme < y.extreme;
    default: break;
  }
  const QStringList ca = history::AlarmRecordCells(a), cb = history::AlarmRecordCells(b);
  return ca[column].localeAwareCompare(cb[column]) < 0;
}

}  // namespace

CAlarmRecordDlg::CAlarmRecordDlg(std::vector<history::AlarmRecord> records, QWidget* parent)
    : res::DialogBase(res::kAlarmRecordDialog, parent, kFilterEnter),
      records_(std::move(records)),
      list_(Item<res::ReportListView>(res::IDC_AR_LIST)) {
  for (int c = 0; c < history::kAlarmRecordColumnCount; ++c)
    list_->InsertColumn(c, QString::fromUtf8(history::kAlarmRecordColumnTitles[static_cast<std::size_t>(c)]),
                        kColumnWidths[c]);
  list_->setShowGrid(true);
  list_->horizontalHeader()->setSectionsClickable(true);
  connect(list_->horizontalHeader(), &QHeaderView::sectionClicked, this, &CAlarmRecordDlg::SortBy);
  auto* kind = Item<QComboBox>(res::IDC_AR_KIND);
  kind->addItem(QString::fromUtf8(kAllKinds));
  for (const readings::AlarmKindInfo& info : readings::AlarmKinds()) kind->addItem(QString::fromUtf8(info.label));
  connect(kind, &QComboBox::currentIndexChanged, this, &CAlarmRecordDlg::ShowKind);
  connect(Item<QAbstractButton>(res::IDC_AR_COPY), &QAbstractButton::clicked, this, &CAlarmRecordDlg::CopyToClipboard);
  connect(Item<QAbstractButton>(res::IDC_AR_EXPORT_EXCEL), &QAbstractButton::clicked, this, [this] { Export(true); });
  connect(Item<QAbstractButton>(res::IDC_AR_EXPORT_CSV), &QAbstractButton::clicked, this, [this] { Export(false); });
  connect(Item<QAbstractButton>(res::IDC_AR_CLOSE), &QAbstractButton::clicked, this, &QDialog::accept);
  Fill();
}

void CAlarmRecordDlg::ShowKind(int filterIndex) {
  filter_ = std::max(0, filterIndex);
  auto* kind = Item<QComboBox>(res::IDC_AR_KIND);
  if (kind->currentIndex() != filter_) kind->setCurrentIndex(filter_);  // re-enters once, same filter
  Fill();
}

void CAlarmRecordDlg::SortBy(int column) {
  descending_ = column == sortColumn_ ? !descending_ : false;
  sortColumn_ = column;
  list_->horizontalHeader()->setSortIndicatorShown(true);
  list_->horizontalHeader()->setSortIndicator(column, descending_ ? Qt::DescendingOrder : Qt::AscendingOrder);
  Fill();
}

void CAlarmRecordDlg::Fill() {
  shown_.clear();
  for (const history::AlarmRecord& r : records_)
    if (filter_ == 0 || static_cast<int>(r.event.kind) == filter_ - 1) shown_.push_back(r);
  if (sortColumn_ >= 0) {
    std::stable_sort(shown_.begin(), shown_.end(), [this](const auto& a, const auto& b) {
      return descending_ ? Before(b, a, sortColumn_) : Before(a, b, sortColumn_);
    });
  }
  std::vector<QStringList> rows;
  rows.reserve(shown_.size());
  for (const history::AlarmRecord& r : shown_) rows.push_back(history::AlarmRecordCells(r));
  list_->DeleteAllItems();
  list_->Model()->AppendRows(std::move(rows));
  SetDlgItemText(res::IDC_AR_SUMMARY, QString::fromUtf8(kSummaryFormat).arg(shown_.size()).arg(records_.size()));
}

QString CAlarmRecordDlg::TabSeparatedText() const {
  QStringList titles;
  for (const char* title : history::kAlarmRecordColumnTitles) titles << QString::fromUtf8(title);
  QString text = tables::TabSeparatedLine(titles) + QLatin1Char('\n');
  for (const history::AlarmRecord& r : shown_) text += tables::TabSeparatedLine(history::AlarmRecordCells(r)) + '\n';
  return text;
}

void CAlarmRecordDlg::CopyToClipboard() const { QApplication::clipboard()->setText(TabSeparatedText()); }

bool CAlarmRecordDlg::Export(bool workbook, const std::string& fileName) {
  if (shown_.empty()) {
    platform::MessageBox(this, QString::fromUtf8(kNothingToExport));
    return false;
  }
  const std::string name = fileName.empty() ? ReportFileName(workbook ? ".xls" : ".csv") : fileName;
  std::string error;
  // CSV as the headless export writes it by default: UTF-8 with a byte-order mark.
  const bool ok = history::WriteAlarmRecordFile(shown_, history::TextEncoding::kUtf8Bom, name, error);
  if (ok)
    platform::MessageBox(this, QString::fromUtf8(kSuccessFormat).arg(QString::fromStdString(name)));
  else
    platform::MessageBox(
        this, QString::fromUtf8(kFailure) + (error.empty() ? QString() : "\n" + QString::fromStdString(error)));
  return ok;
}
