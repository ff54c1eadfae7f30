#pragma once
// "用户管理": lists the accounts of user_tab, finds them by name, adds normal users and
// deletes accounts. Outcomes go to the status line; message boxes only ask for confirmation.
// It works on the session it is given.
#include <string>

#include "AuditTrail.h"
#include "ChangeReport.h"
#include "DialogBase.h"

class DbSession;

namespace res {
class ReportListView;
}

class CUserManageDlg : public res::DialogBase {
  Q_OBJECT
 public:
  // `actingUser` (GBK) is who makes the changes.
  CUserManageDlg(DbSession& db, Actor actingUser, QWidget* parent = nullptr);

  // Clears the list and fills it from `query`, newest result row on top. Leaves the list alone
  // when the query is empty or the session is not connected.
  void FillUserList(const std::string& query);

 private:
  void OnListClick(int row);
  void OnFind();
  void OnAdd();
  void OnDelete();
  void Report(admin::Change change, const admin::ChangeOutcome& outcome);
  void SetStatus(const QString& text);

  DbSession& db_;
  const Actor actingUser_;
  res::ReportListView* list_;
  std::string listQuery_;  // the statement that last filled the list; add and delete refill with it
};
