#include "CHistoryStatisticsDlg.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>

#include "HistoryStatisticsTemplate.h"
#include "ReportListView.h"
#include "TableText.h"

namespace {
constexpr const char* kSummaryFormat =
    "%1台设备，%2条记录。温湿度统计不含传感器掉线和无值的记录；MKT按ΔH/R=10000K计算。";
constexpr int kFirstColumnsWidth = 90, kColumnWidth = 70, kTimeColumnWidth = 140;
}  // namespace

CHistoryStatisticsDlg::CHistoryStatisticsDlg(const std::vector<history::DeviceSummary>& summaries, long long rowCount,
                                             QWidget* parent)
    : res::DialogBase(res::kHistoryStatisticsDialog, parent, kFilterEnter),
      list_(Item<res::ReportListView>(res::IDC_HS_LIST)) {
  for (int c = 0; c < history::kSummaryColumnCount; ++c) {
    const int width = c < 2 ? kFirstColumnsWidth : (c == 3 || c == 4) ? kTimeColumnWidth : kColumnWidth;
    list_->InsertColumn(c, QString::fromUtf8(history::kSummaryColumnTitles[static_cast<std::size_t>(c)]), width);
  }
  list_->setShowGrid(true);
  std::vector<QStringList> rows;
  for (const auto& summary : summaries) rows.push_back(history::SummaryCells(summary));
  list_->Model()->AppendRows(std::move(rows));
  SetDlgItemText(res::IDC_HS_SUMMARY, QString::fromUtf8(kSummaryFormat).arg(summaries.size()).arg(rowCount));
  connect(Item<QAbstractButton>(res::IDC_HS_COPY), &QAbstractButton::clicked, this,
          &CHistoryStatisticsDlg::CopyToClipboard);
  connect(Item<QAbstractButton>(res::IDC_HS_CLOSE), &QAbstractButton::clicked, this, &QDialog::accept);
}

QString CHistoryStatisticsDlg::TabSeparatedText() const {
  QStringList titles;
  for (const char* title : history::kSummaryColumnTitles) titles << QString::fromUtf8(title);
  QString text = tables::TabSeparatedLine(titles) + QLatin1Char('\n');
  for (int r = 0; r < list_->GetItemCount(); ++r) {
    QStringList cells;
    for (int c = 0; c < list_->ColumnCount(); ++c) cells << list_->GetItemText(r, c);
    text += tables::TabSeparatedLine(std::move(cells)) + QLatin1Char('\n');
  }
  return text;
}

void CHistoryStatisticsDlg::CopyToClipboard() const { QApplication::clipboard()->setText(TabSeparatedText()); }
