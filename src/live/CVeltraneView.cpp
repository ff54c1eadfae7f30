#include "CVeltraneView.h"

#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <algorithm>
#include <mutex>

#include "DeviceLiveTable.h"
#include "Gbk.h"
#include "ListCtrlPrinter.h"
#include "TickCount.h"

using namespace livetable;

namespace {

// Columns written as plain texts on an in-place update; the coloured ones follow separately.
constexpr std::array<int, 6> kPlainColumns = {kColDeviceName,          kColCompany, kColDepartment, kColReadingTime,
                                              kColInternalTemperature, kColCurrent};

}  // namespace

CVeltraneView::CVeltraneView(DeviceLiveTable& table, QWidget* parent) : CMyListView(parent), table_(table) {
  OnInitialUpdate();
}

void CVeltraneView::OnInitialUpdate() {
  if (!initialised_) {
    CListCtrlCl& list = List();
    list.AddExtendedStyle(CListCtrlCl::kGridLines | CListCtrlCl::kTrackSelect | CListCtrlCl::kFullRowSelect);
    for (int column = 0; column < kColumnCount; ++column) {
      const ColumnHeading& heading = kColumns[static_cast<std::size_t>(column)];
      list.InsertColumn(column, QString::fromUtf8(heading.caption), listctrl::kFormatLeft, heading.widthPixels);
    }
    initialised_ = true;
  }
  RebuildRows();
}

void CVeltraneView::RefreshRows(bool selectionChanged) {
  if (List().GetItemCount() > 0 && !selectionChanged)
    UpdateRowsInPlace();
  else
    RebuildRows();
}

void CVeltraneView::CollectRows() {
  rows_.clear();
  const std::uint32_t now = platform::GetTickCount();
  const int timeout = commTimeout_;
  std::lock_guard lock(table_.mutex);
  const int count = table_.LiveCount();
  for (int slot = 0; slot < count; ++slot) {
    const DeviceLiveRecord& record = table_.records[static_cast<std::size_t>(slot)];
    if (GetsRow(record)) rows_.push_back(RowFor(record, now, timeout, texts_));
  }
}

void CVeltraneView::RebuildRows() {
  CollectRows();
  CListCtrlCl& list = List();
  list.DeleteAllItems();
  std::vector<QStringList> texts;
  texts.reserve(rows_.size());
  for (const RowLook& row : rows_) texts.emplace_back(row.texts.begin(), row.texts.end());
  list.Model()->AppendRows(std::move(texts));
  for (std::size_t j = 0; j < rows_.size(); ++j)
    for (int column : kColouredColumns)
      list.SetCellTextColor(column, static_cast<int>(j), rows_[j].colours[static_cast<std::size_t>(column)]);
}

void CVeltraneView::UpdateRowsInPlace() {
  CollectRows();
  CListCtrlCl& list = List();
  int expected = 0;  // rows follow the table's order, so the next match is usually here
  for (const RowLook& look : rows_) {
    // Exact match on the device id: a prefix match would let "A1" write into the row of "A10".
    const int row = list.FindRowByFirstColumn(look.texts[kColDeviceId], expected);
    if (row < 0) continue;  // a device that appeared since the last rebuild waits for the next one
    expected = row + 1;
    // SetItemText leaves an unchanged text (and its cell's paint) alone.
    for (int column : kPlainColumns) list.SetItemText(row, column, look.texts[static_cast<std::size_t>(column)]);
    for (int column : kColouredColumns) {
      const QRgb colour = look.colours[static_cast<std::size_t>(column)];
      QRgb current = 0;
      if (!list.GetCellTextColor(column, row, current) || current != colour) list.SetCellTextColor(column, row, colour);
      list.SetItemText(row, column, look.texts[static_cast<std::size_t>(column)]);
    }
  }
}

void CVeltraneView::OnFilePrint() {
  QPrinter printer(QPrinter::HighResolution);
  QPrintDialog dialog(&printer, this);
  if (dialog.exec() == QDialog::Accepted) PrintListPages(List(), printer);
}

void CVeltraneView::OnFilePrintDirect() {
  QPrinter printer(QPrinter::HighResolution);
  PrintListPages(List(), printer);
}

void CVeltraneView::OnFilePrintPreview() {
  QPrintPreviewDialog dialog(this);
  connect(&dialog, &QPrintPreviewDialog::paintRequested, this,
          [this](QPrinter* printer) { PrintListPages(List(), *printer); });
  dialog.exec();
}

std::string CVeltraneView::DeviceIdAt(const QPoint* position) const {
  const int row = position ? List().rowAt(position->y()) : List().FirstSelectedRow();
  if (row < 0 || row >= List().GetItemCount()) return {};
  return platform::ToGbk(List().GetItemText(row, livetable::kColDeviceId));
}
