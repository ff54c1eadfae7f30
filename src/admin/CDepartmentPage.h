#pragma once
// The "部门" page: the departments of one company, chosen in a drop-down list. The company the
// page works on is the number shown in its read-only field; when that company is deleted or
// renamed meanwhile, the page forgets it (empty number, empty list, names reloaded).
#include <string>

#include "AuditTrail.h"
#include "DialogBase.h"
#include "RecordForm.h"

class DbSession;
class QComboBox;

namespace res {
class ReportListView;
}

class CDepartmentPage : public res::DialogBase {
  Q_OBJECT
 public:
  // `actingUser` (GBK) is who makes the changes.
  CDepartmentPage(DbSession& db, Actor actingUser, QWidget* parent);

  // Refills the company names; the list is left without a selection.
  void LoadCompanyNames();
  // Puts the number of the company chosen in the drop-down list into the number field.
  void LookUpCompanyNumber();
  // Looks the number up, checks that the company is still there, then lists its departments.
  void FillDepartmentList();

 private:
  void OnAdd();
  void OnRename();
  void OnDelete();
  void ForgetCompany();
  void SetStatus(const QString& text);

  DbSession& db_;
  const Actor actingUser_;
  res::ReportListView* list_;
  admin::RecordForm form_;  // number, name, status line; the 2-byte number rule
  QComboBox* companies_;
  QString companyName_;  // the name the company in the number field was chosen by
};
