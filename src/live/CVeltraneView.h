#pragma once
// The live table view: one row per device checked in the tree, with the device's latest
// reading; temperature, humidity, supply and fault cells are coloured by state.
//
// Rows are rebuilt only when the tree's selection changed (or the list is empty); otherwise
// each refresh rewrites just the texts and colours that differ, so nothing flickers.
#include <string>
#include <vector>

#include "AppConfig.h"
#include "CMyListView.h"
#include "LiveTableRules.h"

struct DeviceLiveTable;

class CVeltraneView : public CMyListView {
  Q_OBJECT
 public:
  CVeltraneView(DeviceLiveTable& table, QWidget* parent = nullptr);

  // Called by the main frame on every live refresh while this view is showing;
  // `selectionChanged`: the tree's check boxes changed since the last refresh.
  void RefreshRows(bool selectionChanged = false);
  // Seconds without a new reading before a device counts as silent.
  void SetCommTimeout(int seconds) { commTimeout_ = seconds; }
  // The device of the row at `position` of the list (viewport coordinates), or of the selected
  // row when `position` is null; empty when there is none.
  std::string DeviceIdAt(const QPoint* position) const;

 public slots:
  // The print commands print the table as shown, with its colours.
  void OnFilePrint();        // asks for the printer first
  void OnFilePrintDirect();  // default printer
  void OnFilePrintPreview();

 private:
  void OnInitialUpdate();
  void CollectRows();
  void RebuildRows();
  void UpdateRowsInPlace();

  DeviceLiveTable& table_;
  bool initialised_ = false;
  int commTimeout_ = kDefaultCommTimeout;
  std::vector<livetable::RowLook> rows_;  // the rows of the current refresh, reused
  GbkTextCache texts_;
};
