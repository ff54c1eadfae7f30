// The audit record window on the private server: filters, a copy that never splits a row,
// exports a spreadsheet opens, and nothing to do on a database without the trail.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDate>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
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

TEST_F(AuditLogDialog, WithoutTheTrailTheWindowSaysHowToAddIt) {
  CAuditLogDlg dlg(Db(), false);
  EXPECT_EQ(dlg.List()->GetItemCount(), 0);
  EXPECT_EQ(dlg.GetDlgItemText(res::IDC_AUDIT_STATUS), QString::fromUtf8(kAuditDisabledNote));
  EXPECT_FALSE(dlg.GetDlgItem(res::IDC_AUDIT_QUERY)->isEnabled());
}

}  // namespace
