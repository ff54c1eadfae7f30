#pragma once
// The "公司" page: lists, searches, adds, renames and deletes companies. Deleting a company
// also deletes its departments, devices and permission rows, in one transaction.
#include <string>

#include "ChangeReport.h"
#include "DialogBase.h"

class DbSession;

namespace res {
class ReportListView;
}

class CCompanyPage : public res::DialogBase {
  Q_OBJECT
 public:
  CCompanyPage(DbSession& db, QWidget* parent);

  void FillCompanyList(const std::string& query);
  const std::string& CurrentListQuery() const { return listQuery_; }

 private:
  void OnSearch();
  void OnListClicked(int row);
  void OnAdd();
  void OnRename();
  void OnDelete();
  // The number as typed without surrounding blanks; the field is set to it.
  QString TypedNumber();
  // Text GBK cannot hold, and the 4-byte rule of the number (see admin::CheckNumberAndName).
  bool CheckTyped(const QString& number, const QString& name);
  // The company and its departments, devices and grants, all or nothing.
  bool DeleteWithDependents(const std::string& gbkNumber);
  void Report(admin::Change change, bool succeeded);
  void SetStatus(const QString& text);

  DbSession& db_;
  res::ReportListView* list_;
  std::string listQuery_;  // refilled after every change, so the last search stays in force
};
