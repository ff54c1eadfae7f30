#pragma once
// "审计记录": the audit trail for administrators, filtered by date range, user and action,
// copied as tab-separated text or exported to CSV and .xls. It only reads: the station has no
// path that changes or deletes an audit row. The window shows at most kAuditWindowRows rows
// (and says so); an export reads again and writes every row the filter names.
#include <QString>
#include <string>
#include <vector>

#include "DialogBase.h"

class DbSession;
namespace res {
class ReportListView;
}

// The most rows the window shows.
inline constexpr int kAuditWindowRows = 50000;

class CAuditLogDlg : public res::DialogBase {
  Q_OBJECT
 public:
  // `auditTrail`: the database has the audit tables (otherwise the window says how to add them).
  CAuditLogDlg(DbSession& db, bool auditTrail, QWidget* parent = nullptr);

  void OnQuery();
  void CopyToClipboard() const;
  // Writes every row the filter names into `directory` (CSV in GBK, or .xls with as many sheets
  // as needed), the name from the local time; the outcome goes to the status line. Returns the
  // file's path, empty on failure (then no file was written).
  std::string ExportCsv(const std::string& directory = ".");
  std::string ExportExcel(const std::string& directory = ".");

  res::ReportListView* List() const { return list_; }
  // The rows shown, GBK, as the server returned them.
  const std::vector<std::vector<std::string>>& Rows() const { return rows_; }

 private:
  std::string Conditions() const;
  std::string Export(const std::string& directory, const char* extension);
  std::string FileName(const std::string& directory, const char* extension) const;
  void Say(const QString& text);

  DbSession& db_;
  res::ReportListView* list_;
  std::vector<std::vector<std::string>> rows_;
};
