// The audit record window on the private server: filters offering every action the trail can
// name, a copy that never splits a row, exports a spreadsheet opens holding every row the
// filter names (more than the window shows), and nothing to do on a database without the trail.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDate>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "AuditLogTemplate.h"
#include "AuditTrail.h"
#include "CAuditLogDlg.h"
#include "DialogBase.h"
#include "Gbk.h"
#include "ReportListView.h"
#include "SharedDatabaseTest.h"
#include "StationDb.h"

namespace {

std::string G(const char* utf8) { return platform::Utf8ToGbk(utf8); }

class AuditLogDialog : public SharedDatabaseTest<AuditLogDialog> {
 protected:
  static void SetUpTestSuite() {
    if (!OpenDatabase("t_audit_log") || !TestSchemaHasAuditTrail()) return;
    db_->Exec(
        G("insert into audit_tab (audit_time,user_name,host_name,action,object_key,old_value,new_value) values "
          "(now(),'admin','pc1','添加公司','0003','','丙\t公司'),"
          "(now(),'li','pc2','登录成功','li','','2'),"
          "(now()-interval 40 day,'admin','pc1','删除公司','0009','旧','')"));
  }
  QStringList Column(CAuditLogDlg& dlg, int column) {
    QStringList texts;
    for (int r = 0; r < dlg.List()->GetItemCount(); ++r) texts << dlg.List()->GetItemText(r, column);
    return texts;
  }
};

TEST_F(AuditLogDialog, ShowsTheLastMonthAndFiltersByUserAndAction) {
  REQUIRE_AUDIT_TRAIL();
  CAuditLogDlg dlg(Db(), true);
  EXPECT_EQ(Column(dlg, 4), QStringList({"0003", "li"})) << "40 days ago is outside the default range";
  dlg.Item<QDateEdit>(res::IDC_AUDIT_FROM)->setDate(QDate::currentDate().addDays(-60));
  dlg.Item<QLineEdit>(res::IDC_AUDIT_USER)->setText("admin");
  dlg.OnQuery();
  EXPECT_EQ(Column(dlg, 3), QStringList({"添加公司", "删除公司"}));
  auto* action = dlg.Item<QComboBox>(res::IDC_AUDIT_ACTION);
  action->setCurrentIndex(action->findText("删除公司"));
  dlg.OnQuery();
  EXPECT_EQ(Column(dlg, 4), QStringList({"0009"}));
  EXPECT_EQ(dlg.GetDlgItemText(res::IDC_AUDIT_STATUS), "查询结果：1条记录");
}

TEST_F(AuditLogDialog, CopyKeepsEveryRowOnOneLineAndTheExportsAreWritten) {
  REQUIRE_AUDIT_TRAIL();
  CAuditLogDlg dlg(Db(), true);
  dlg.CopyToClipboard();
  const QStringList lines = QApplication::clipboard()->text().split('\n', Qt::SkipEmptyParts);
  ASSERT_EQ(lines.size(), 3);
  EXPECT_EQ(lines[1].split('\t').size(), 7) << lines[1].toStdString();
  QTemporaryDir dir;
  const std::string csv = dlg.ExportCsv(dir.path().toStdString());
  ASSERT_FALSE(csv.empty());
  std::ifstream in(csv, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_NE(text.str().find(G("丙\t公司")), std::string::npos) << "in GBK, as stored";
  EXPECT_FALSE(dlg.ExportExcel(dir.path().toStdString()).empty());
}

TEST_F(AuditLogDialog, TheActionFilterOffersEveryActionTheTrailCanName) {
  CAuditLogDlg dlg(Db(), false);
  const auto* actions = dlg.Item<QComboBox>(res::IDC_AUDIT_ACTION);
  for (const char* action : kAuditActionTexts) EXPECT_GE(actions->findText(QString::fromUtf8(action)), 1) << action;
  EXPECT_EQ(actions->count(), static_cast<int>(kAuditActionCount) + 1) << "and 全部";
}

std::string Output(const std::string& command) {
  std::string out;
  if (FILE* pipe = ::popen(command.c_str(), "r")) {
    char buffer[128];
    while (std::fgets(buffer, sizeof buffer, pipe)) out += buffer;
    ::pclose(pipe);
  }
  return out;
}

// Sheet row counts of a workbook as an independent reader sees them.
std::string SheetRows(const std::string& file) {
  return Output(
      "/usr/bin/python3 -c \"import sys,xlrd; print(*[s.nrows for s in "
      "xlrd.open_workbook(sys.argv[1]).sheets()])\" '" +
      file + "'");
}

TEST_F(AuditLogDialog, AnExportWritesEveryRowTheFilterNamesBeyondWhatTheWindowShows) {
  REQUIRE_AUDIT_TRAIL();
  constexpr int kRows = kAuditWindowRows + 20000;  // past one window and past one workbook sheet
  db_->Exec(
      "insert into audit_tab (audit_time,user_name,host_name,action,object_key) select "
      "'2001-02-03 04:05:06','bulk','pc9','x',seq from seq_1_to_" +
      std::to_string(kRows));
  CAuditLogDlg dlg(Db(), true);
  dlg.Item<QDateEdit>(res::IDC_AUDIT_FROM)->setDate(QDate(2001, 2, 3));
  dlg.Item<QDateEdit>(res::IDC_AUDIT_TO)->setDate(QDate(2001, 2, 3));
  dlg.OnQuery();
  EXPECT_EQ(dlg.List()->GetItemCount(), kAuditWindowRows);
  EXPECT_TRUE(dlg.GetDlgItemText(res::IDC_AUDIT_STATUS).contains("已达上限"));
  QTemporaryDir dir;
  const std::string csv = dlg.ExportCsv(dir.path().toStdString());
  ASSERT_FALSE(csv.empty());
  EXPECT_TRUE(dlg.GetDlgItemText(res::IDC_AUDIT_STATUS).contains(QString::number(kRows)));
  std::ifstream in(csv, std::ios::binary);
  int lines = 0;
  for (std::string line; std::getline(in, line);) ++lines;
  EXPECT_EQ(lines, kRows + 1) << "the titles and every row";
  const std::string xls = dlg.ExportExcel(dir.path().toStdString());
  db_->Exec("delete from audit_tab where user_name='bulk'");
  ASSERT_FALSE(xls.empty());
  if (Output("/usr/bin/python3 -c 'import xlrd' 2>&1; echo $?") != "0\n") GTEST_SKIP() << "python3-xlrd missing";
  EXPECT_EQ(SheetRows(xls), "65536 " + std::to_string(kRows - 65535 + 1) + "\n") << "titles on each sheet";
}

TEST_F(AuditLogDialog, WithoutTheTrailTheWindowSaysHowToAddIt) {
  CAuditLogDlg dlg(Db(), false);
  EXPECT_EQ(dlg.List()->GetItemCount(), 0);
  EXPECT_EQ(dlg.GetDlgItemText(res::IDC_AUDIT_STATUS), QString::fromUtf8(kAuditDisabledNote));
  EXPECT_FALSE(dlg.GetDlgItem(res::IDC_AUDIT_QUERY)->isEnabled());
}

}  // namespace
