#include "CAuditLogDlg.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDateEdit>
#include <QDateTime>
#include <QPushButton>

#include "AuditLogTemplate.h"
#include "AuditTrail.h"
#include "DbSession.h"
#include "Gbk.h"
#include "HistoryCsv.h"
#include "HistoryStatistics.h"
#include "ReportListView.h"
#include "SaveFile.h"
#include "XlsBook.h"

using namespace res;

namespace {

// Columns as the statement selects them; the audit id keeps the order of writing.
constexpr const char* kColumnTitles[] = {"时间", "用户", "计算机", "操作", "对象", "原值", "新值"};
constexpr int kColumnWidths[] = {130, 70, 90, 70, 130, 120, 120};
constexpr int kColumnCount = 7;
constexpr const char* kAuditSelect =
    "select date_format(audit_time,'%%Y-%%m-%%d %%H:%%i:%%s'),user_name,host_name,action,object_key,old_value,"
    "new_value from audit_tab where audit_time>='%s' and audit_time<'%s'";
constexpr const char* kUserFilter = " and user_name='%s'";
constexpr const char* kActionFilter = " and action='%s'";
constexpr const char* kAuditOrder = " order by audit_id limit %d";
// More rows than an inspector reads in one window: the range is then to be narrowed.
constexpr int kRowLimit = 50000;
constexpr const char* kAllActions = "全部";
// The actions the filter offers (UTF-8), as the station writes them.
constexpr const char* kActions[] = {"添加用户", "删除用户",           "添加公司",          "修改公司",
                                    "删除公司", "添加部门",           "修改部门",          "删除部门",
                                    "添加设备", "修改设备",           "删除设备",          "授予权限",
                                    "撤销权限", kLoginAcceptedAction, kLoginRefusedAction, kExportAction};

}  // namespace

CAuditLogDlg::CAuditLogDlg(DbSession& db, bool auditTrail, QWidget* parent)
    : DialogBase(kAuditLogDialog, parent), db_(db), list_(Item<ReportListView>(IDC_AUDIT_LIST)) {
  for (int c = 0; c < kColumnCount; ++c) list_->InsertColumn(c, QString::fromUtf8(kColumnTitles[c]), kColumnWidths[c]);
  const QDate today = QDate::currentDate();
  Item<QDateEdit>(IDC_AUDIT_FROM)->setDate(today.addDays(-30));
  Item<QDateEdit>(IDC_AUDIT_TO)->setDate(today);
  auto* actions = Item<QComboBox>(IDC_AUDIT_ACTION);
  actions->addItem(QString::fromUtf8(kAllActions));
  for (const char* action : kActions) actions->addItem(QString::fromUtf8(action));
  connect(Item<QPushButton>(IDC_AUDIT_QUERY), &QPushButton::clicked, this, &CAuditLogDlg::OnQuery);
  connect(Item<QPushButton>(IDC_AUDIT_COPY), &QPushButton::clicked, this, &CAuditLogDlg::CopyToClipboard);
  connect(Item<QPushButton>(IDC_AUDIT_EXPORT_CSV), &QPushButton::clicked, this, [this] { ExportCsv(); });
  connect(Item<QPushButton>(IDC_AUDIT_EXPORT_XLS), &QPushButton::clicked, this, [this] { ExportExcel(); });
  connect(Item<QPushButton>(IDC_AUDIT_EXIT), &QPushButton::clicked, this, &QDialog::reject);
  if (!auditTrail) {
    for (int id : {IDC_AUDIT_QUERY, IDC_AUDIT_COPY, IDC_AUDIT_EXPORT_CSV, IDC_AUDIT_EXPORT_XLS})
      GetDlgItem(id)->setEnabled(false);
    Say(QString::fromUtf8(kAuditDisabledNote));
    return;
  }
  OnQuery();
}

std::string CAuditLogDlg::Statement() const {
  const QDate from = Item<QDateEdit>(IDC_AUDIT_FROM)->date();
  const QDate to = Item<QDateEdit>(IDC_AUDIT_TO)->date();
  const auto day = [](const QDate& d) { return d.toString(QStringLiteral("yyyy-MM-dd 00:00:00")).toStdString(); };
  std::string sql = db_.Format(kAuditSelect, {day(from), day(to.addDays(1))});
  const QString user = GetDlgItemText(IDC_AUDIT_USER).trimmed();
  if (!user.isEmpty()) sql += db_.Format(kUserFilter, {platform::ToGbk(user)});
  const auto* actions = Item<QComboBox>(IDC_AUDIT_ACTION);
  if (actions->currentIndex() > 0) sql += db_.Format(kActionFilter, {platform::ToGbk(actions->currentText())});
  return sql + db_.Format(kAuditOrder, {kRowLimit});
}

void CAuditLogDlg::OnQuery() {
  list_->DeleteAllItems();
  rows_.clear();
  if (!platform::GbkCanHold(GetDlgItemText(IDC_AUDIT_USER))) {
    Say(QStringLiteral("用户名含有无法识别的字符"));
    return;
  }
  const DbResult result = db_.Select(Statement());
  if (!result.ok) {
    Say(QStringLiteral("查询失败！"));
    return;
  }
  for (const DbRow& row : result.rows) {
    QStringList texts;
    for (const std::string& field : row) texts << platform::FromGbk(field);
    list_->AppendRow(texts);
    rows_.push_back(row);
  }
  const QString count = QStringLiteral("查询结果：%1条记录").arg(rows_.size());
  Say(static_cast<int>(rows_.size()) >= kRowLimit ? count + QStringLiteral("（已达上限，请缩小日期范围）") : count);
}

void CAuditLogDlg::CopyToClipboard() const {
  QStringList lines;
  QStringList header;
  for (const char* title : kColumnTitles) header << QString::fromUtf8(title);
  lines << header.join('\t');
  for (const auto& row : rows_) {
    QStringList fields;
    for (const std::string& field : row) fields << platform::FromGbk(field);
    lines << history::SummaryLine(fields);  // a tab or line break inside a value never splits the row
  }
  QApplication::clipboard()->setText(lines.join('\n') + '\n');
}

std::string CAuditLogDlg::FileName(const std::string& directory, const char* extension) const {
  return directory + "/audit_" +
         QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd_hhmmss")).toStdString() + extension;
}

std::string CAuditLogDlg::ExportCsv(const std::string& directory) {
  std::vector<std::string> header;
  for (const char* title : kColumnTitles) header.push_back(platform::Utf8ToGbk(title));
  std::string text = history::CsvLine(header);
  for (const auto& row : rows_) text += history::CsvLine(row);
  const std::string path = FileName(directory, ".csv");
  std::string error;
  if (!platform::SaveFileContents(path, text, &error)) {
    Say(QStringLiteral("导出失败：%1").arg(QString::fromStdString(error)));
    return {};
  }
  Say(QStringLiteral("导出文件:%1 成功").arg(QString::fromStdString(path)));
  return path;
}

std::string CAuditLogDlg::ExportExcel(const std::string& directory) {
  xls::XlsBook book;
  book.CreateNew(1);
  xls::XlsSheet& sheet = *book.SheetAt(0);
  for (int c = 0; c < kColumnCount; ++c)
    sheet.CellAt(0, c)->SetWideText(QString::fromUtf8(kColumnTitles[c]).toStdU16String());
  // One sheet holds 65,536 rows: the limit of the window stays below it.
  for (std::size_t r = 0; r < rows_.size(); ++r)
    for (int c = 0; c < kColumnCount && c < static_cast<int>(rows_[r].size()); ++c)
      sheet.CellAt(static_cast<int>(r) + 1, c)->SetWideText(platform::FromGbk(rows_[r][c]).toStdU16String());
  const std::string path = FileName(directory, ".xls");
  if (!book.SaveToFile(path)) {
    Say(QStringLiteral("导出失败：%1").arg(QString::fromStdString(book.SaveError())));
    return {};
  }
  Say(QStringLiteral("导出文件:%1 成功").arg(QString::fromStdString(path)));
  return path;
}

void CAuditLogDlg::Say(const QString& text) { SetDlgItemText(IDC_AUDIT_STATUS, text); }
