#pragma once
// The "部门" page: the departments of one company, chosen by name in a drop-down list. The
// company the page works on is the number shown in its read-only field, which keeps its last
// value when a name cannot be looked up.
#include "DialogBase.h"

class DbSession;
class QComboBox;

namespace res {
class ReportListView;
}

class CDepartmentPage : public res::DialogBase {
  Q_OBJECT
 public:
  CDepartmentPage(DbSession& db, QWidget* parent);

  // Refills the company names; the list is left without a selection.
  void LoadCompanyNames();
  // Puts the number of the company named in the drop-down list into the number field.
  void LookUpCompanyNumber();
  // Looks the number up, then lists that company's departments.
  void FillDepartmentList();

 private:
  void OnListClicked(int row);
  void OnAdd();
  void OnRename();
  void OnDelete();
  // The 2-byte rule; shows the OK box when it is broken.
  bool CheckDepartmentNumber(const QString& number);
  void SetStatus(const QString& text);

  DbSession& db_;
  res::ReportListView* list_;
  QComboBox* companies_;
};
