#pragma once
// The "公司" page: lists, searches, adds, renames and deletes companies. Deleting a company
// also deletes its departments, devices and permission rows, in one transaction.
#include <string>

#include "AuditTrail.h"
#include "DialogBase.h"
#include "RecordForm.h"

class DbSession;

namespace res {
class ReportListView;
}

class CCompanyPage : public res::DialogBase {
  Q_OBJECT
 public:
  // `actingUser` (GBK) is who makes the changes.
  CCompanyPage(DbSession& db, Actor actingUser, QWidget* parent);

  void FillCompanyList(const std::string& query);
  const std::string& CurrentListQuery() const { return listQuery_; }

 private:
  void OnSearch();
  void OnAdd();
  void OnRename();
  void OnDelete();
  void SetStatus(const QString& text);

  DbSession& db_;
  const Actor actingUser_;
  res::ReportListView* list_;
  admin::RecordForm form_;  // number, name, status line; the 4-byte number rule
  std::string listQuery_;   // refilled after every change, so the last search stays in force
};
