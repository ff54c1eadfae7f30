#pragma once
// "用户权限管理": lists the rows of permission_tab with company and department names, searches
// them by field, grants a user one department of one company and withdraws such grants. The
// company and department are chosen by name; the two read-only number fields hold what grant
// and withdraw use. It works on the session it is given.
#include <string>

#include "AuditTrail.h"
#include "ChangeReport.h"
#include "DialogBase.h"

class DbSession;
class QComboBox;
namespace res {
class ReportListView;
}

class CPermissionDlg : public res::DialogBase {
  Q_OBJECT
 public:
  // `actingUser` (GBK) is who makes the changes.
  CPermissionDlg(DbSession& db, Actor actingUser, QWidget* parent = nullptr);

  // Refills the list from `query` in result order; nothing happens when not connected.
  void FillPermissionList(const std::string& query);

 private:
  void LoadCompanyNames();
  void LoadUserNames();
  void LoadDepartmentNames();

  void OnFind();
  void OnListClick(int row);
  void OnCompanyChosen();
  void OnDepartmentChosen();
  void OnGrant();
  void OnWithdraw();
  void Report(admin::Change change, const admin::ChangeOutcome& outcome);
  void SetStatus(const QString& text);

  DbSession& db_;
  const Actor actingUser_;
  QComboBox* userCombo_;
  QComboBox* companyCombo_;
  QComboBox* departmentCombo_;
  res::ReportListView* list_;
  std::string listQuery_;
};
