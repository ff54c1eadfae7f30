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
#include "ReportListView.h"
#include "TableFileWriter.h"

using namespace res;

namespace {

// Columns as the statement selects them; the audit id keeps the order of writing.
constexpr const char* kColumnTitles[] = {"时间", "用户", "计算机", "操作", "对象", "原值", "新值"};
constexpr int kColumnWidths[] = {130, 70, 90, 70, 130, 120, 120};
constexpr int kColumnCount = 7;
constexpr const char* kAuditColumns =
    "date_format(audit_time,'%Y-%m-%d %H:%i:%s'),user_name,host_name,action,object_key,old_value,new_value";
constexpr const char* kAuditRange = " from audit_tab where audit_time>='%s' and audit_time<'%s'";
constexpr const char* kUserFilter = " and user_name='%s'";
constexpr const char* kActionFilter = " and action='%s'";
constexpr const char* kAuditOrder = " order by audit_id limit %d";
// An export reads the rows in pieces of this many, each after the last id of the one before,
// so no piece holds more than the window does.
constexpr const char* kAfterId = " and audit_id>%d";
constexpr int kExportPiece = kAuditWindowRows;
constexpr const char* kAllActions = "全部";

}  // namespace

CAuditLogDlg::CAuditLogDlg(DbSession& db, bool auditTrail, QWidget* parent)
    : DialogBase(kAuditLogDialog, parent), db_(db), list_(Item<ReportListView>(IDC_AUDIT_LIST)) {
  for (int c = 0; c < kColumnCount; ++c) list_->InsertColumn(c, QString::fromUtf8(kColumnTitles[c]), kColumnWidths[c]);
  const QDate today = QDate::currentDate();
  Item<QDateEdit>(IDC_AUDIT_FROM)->setDate(today.addDays(-30));
  Item<QDateEdit>(IDC_AUDIT_TO)->setDate(today);
  auto* actions = Item<QComboBox>(IDC_AUDIT_ACTION);
  actions->addItem(QString::fromUtf8(kAllActions));
  for (const char* action : kAuditActionTexts) actions->addItem(QString::fromUtf8(action));
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

std::string CAuditLogDlg::Conditions() const {
  const QDate from = Item<QDateEdit>(IDC_AUDIT_FROM)->date();
  const QDate to = Item<QDateEdit>(IDC_AUDIT_TO)->date();
  const auto day = [](const QDate& d) { return d.toString(QStringLiteral("yyyy-MM-dd 00:00:00")).toStdString(); };
  std::string sql = db_.Format(kAuditRange, {day(from), day(to.addDays(1))});
  const QString user = GetDlgItemText(IDC_AUDIT_USER).trimmed();
  if (!user.isEmpty()) sql += db_.Format(kUserFilter, {platform::ToGbk(user)});
  const auto* actions = Item<QComboBox>(IDC_AUDIT_ACTION);
  if (actions->currentIndex() > 0) sql += db_.Format(kActionFilter, {platform::ToGbk(actions->currentText())});
  return sql;
}

void CAuditLogDlg::OnQuery() {
  list_->DeleteAllItems();
  rows_.clear();
  if (!platform::GbkCanHold(GetDlgItemText(IDC_AUDIT_USER))) {
    Say(QStringLiteral("用户名含有无法识别的字符"));
    return;
  }
  const DbResult result =
      db_.Select(std::string("select ") + kAuditColumns + Conditions() + db_.Format(kAuditOrder, {kAuditWindowRows}));
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
  Say(static_cast<int>(rows_.size()) >= kAuditWindowRows ? count + QStringLiteral("（已达上限，请缩小日期范围）")
                                                         : count);
}

void CAuditLogDlg::CopyToClipboard() const {
  QStringList lines;
  QStringList header;
  for (const char* title : kColumnTitles) header << QString::fromUtf8(title);
  lines << header.join('\t');
  for (const auto& row : rows_) {
    QStringList fields;
    for (const std::string& field : row) fields << platform::FromGbk(field);
    lines << tables::TabSeparatedLine(fields);  // a tab or line break inside a value never splits the row
  }
  QApplication::clipboard()->setText(lines.join('\n') + '\n');
}

std::string CAuditLogDlg::FileName(const std::string& directory, const char* extension) const {
  return directory + "/audit_" +
         QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd_hhmmss")).toStdString() + extension;
}

std::string CAuditLogDlg::ExportCsv(const std::string& directory) { return Export(directory, ".csv"); }

std::string CAuditLogDlg::ExportExcel(const std::string& directory) { return Export(directory, ".xls"); }

std::string CAuditLogDlg::Export(const std::string& directory, const char* extension) {
  const std::string path = FileName(directory, extension);
  tables::TableFileWriter file(path, tables::FormatForName(path, tables::TableFormat::kCsv),
                               tables::TextEncoding::kGbk);
  QStringList titles;
  for (const char* title : kColumnTitles) titles << QString::fromUtf8(title);
  bool ok = file.Begin(titles);
  // The window may show fewer rows than the filter names; the file holds all of them.
  const std::string select = std::string("select audit_id,") + kAuditColumns + Conditions();
  std::string lastId = "0";
  for (bool more = ok; more;) {
    const DbResult piece =
        db_.Select(select + db_.Format(kAfterId, {std::stoll(lastId)}) + db_.Format(kAuditOrder, {kExportPiece}));
    if (!piece.ok) {
      file.Discard();
      Say(QStringLiteral("导出失败：查询失败"));
      return {};
    }
    for (const DbRow& row : piece.rows) file.AddEncoded(DbRow(row.begin() + 1, row.end()));
    if (!piece.rows.empty()) lastId = piece.rows.back()[0];
    more = static_cast<int>(piece.rows.size()) == kExportPiece;
  }
  if (!ok || !file.Finish()) {
    Say(QStringLiteral("导出失败：%1").arg(QString::fromStdString(file.Error())));
    return {};
  }
  Say(QStringLiteral("导出文件:%1 成功，%2条记录").arg(QString::fromStdString(path)).arg(file.RowCount()));
  return path;
}

void CAuditLogDlg::Say(const QString& text) { SetDlgItemText(IDC_AUDIT_STATUS, text); }
