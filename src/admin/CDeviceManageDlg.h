#pragma once
// "设备管理": the registered devices with their company and department. Two modes: changing a
// device's name (the device is chosen by clicking it), or adding and deleting devices. The
// company and department are chosen in drop-down lists; the hidden number fields carry what the
// statements use.
#include <string>

#include "AdminChanges.h"
#include "AuditTrail.h"
#include "DialogBase.h"
#include "RecordForm.h"

class DbSession;
class QComboBox;

namespace res {
class ReportListView;
}

class CDeviceManageDlg : public res::DialogBase {
  Q_OBJECT
 public:
  // `actingUser` (GBK) is who makes the changes.
  CDeviceManageDlg(DbSession& db, Actor actingUser, QWidget* parent = nullptr);

  // Enables the controls of the add/delete mode (true) or of the name-change mode (false).
  void ApplyEditMode(bool addDelete);
  void FillDeviceList(const std::string& query);
  void LoadCompanyNames();
  // The departments of the company number in the hidden field; clears the department choice.
  void LoadDepartmentNames();
  const std::string& CurrentListQuery() const { return listQuery_; }

 private:
  void OnSearch();
  void OnListClicked(int row);
  void OnCompanyChosen();
  void OnDepartmentChosen();
  void OnAdd();
  void OnDelete();
  void OnRename();
  // A company and a department are in the hidden number fields.
  bool PlaceChosen() const;
  // Device `id` in the company and department of the hidden number fields.
  admin::DeviceKey ChosenDevice(const QString& id) const;
  void SetStatus(const QString& text);

  DbSession& db_;
  const Actor actingUser_;
  res::ReportListView* list_;
  admin::RecordForm form_;  // ID, name, status line; the 10-byte ID rule
  QComboBox* companies_;
  QComboBox* departments_;
  std::string listQuery_;  // refilled after every change, so the last search stays in force
};
