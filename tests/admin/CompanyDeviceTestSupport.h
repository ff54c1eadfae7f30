#pragma once
// Shared pieces of the company/department and device dialog tests: a scratch database with
// two companies, their departments, devices and grants, and ways to drive controls by id.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <memory>
#include <string>

#include "DbSession.h"
#include "DbSessionTestSeam.h"
#include "DialogBase.h"
#include "DialogTemplate.h"
#include "Gbk.h"
#include "ReportListView.h"
#include "SharedDatabaseTest.h"

namespace testing_admin {

inline std::string G(const char* utf8) { return platform::Utf8ToGbk(utf8); }

// Every test starts from the same rows.
inline void SeedTables(TestDatabase& db) {
  for (const char* table : {"company_tab", "department_tab", "device_tab", "permission_tab", "user_tab"})
    db.Exec(std::string("delete from ") + table);
  db.Exec(G("insert into company_tab values ('0001','甲公司'),('0002','乙公司')"));
  db.Exec(G("insert into department_tab values ('01','0001','生产部'),('02','0001','仓库'),('01','0002','化验室')"));
  db.Exec(
      G("insert into device_tab values ('0000000001','冷库1号','0001','01'),"
        "('0000000002','冷库2号','0001','02'),('0000000003','化验1号','0002','01')"));
  db.Exec("insert into permission_tab values ('li','0001','01'),('li','0002','01'),('wang','0001','02')");
}

inline int CountRows(TestDatabase& db, const std::string& sql) {
  const DbResult r = db.Query(sql);
  return r.rows.empty() ? -1 : std::atoi(r.rows[0][0].c_str());
}

// One scratch database per test program; every test reseeds it and reconnects Db().
class AdminDbTest : public SharedDatabaseTest<AdminDbTest> {
 protected:
  static void SetUpTestSuite() { OpenDatabase("t_company_device"); }
  static void TearDownTestSuite() {
    Db().Close();
    SharedDatabaseTest::TearDownTestSuite();
  }
  void SetUp() override {
    REQUIRE_DB(*db_);
    SeedTables(*db_);
    db_->ConnectProcessSession();
    ASSERT_EQ(Db().LastConnectSucceeded(), 1);
  }
  TestDatabase& db() { return *db_; }
};

// `Dialog` on the process session, shown; null when it never reached the screen.
template <class Dialog>
std::unique_ptr<Dialog> ShowDialog() {
  auto dialog = std::make_unique<Dialog>(Db(), "admin");
  dialog->show();
  if (!QTest::qWaitForWindowExposed(dialog.get())) return nullptr;
  return dialog;
}

// A fixture whose tests start with `Dialog` shown on the freshly seeded database.
template <class Dialog>
class AdminDialogTest : public AdminDbTest {
 protected:
  void SetUp() override {
    AdminDbTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    dialog_ = ShowDialog<Dialog>();
    ASSERT_TRUE(dialog_);
  }
  // Closed before the deriving fixture's members (its scripted message boxes) go.
  void TearDown() override { dialog_.reset(); }
  std::unique_ptr<Dialog> dialog_;
};

inline void Click(QWidget* dialog, int id) {
  QTest::mouseClick(res::Control<QAbstractButton>(dialog, id), Qt::LeftButton);
}

inline void Type(QWidget* dialog, int id, const QString& text) { res::Control<QLineEdit>(dialog, id)->setText(text); }

inline QString Text(const res::DialogBase& dialog, int id) { return dialog.GetDlgItemText(id); }

// A user's choice in a drop-down list (code that selects does not count as one).
inline void Choose(QComboBox* combo, const QString& text) {
  const int index = combo->findText(text);
  ASSERT_GE(index, 0) << text.toStdString();
  combo->setCurrentIndex(index);
  emit combo->activated(index);
}

inline void ClickRow(res::ReportListView* list, int row) {
  const QRect cell = list->visualRect(list->model()->index(row, 0));
  ASSERT_TRUE(cell.isValid());
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell.center());
}

inline int FindRow(const res::ReportListView* list, int column, const QString& text) {
  for (int row = 0; row < list->GetItemCount(); ++row)
    if (list->GetItemText(row, column) == text) return row;
  return -1;
}

inline QStringList ColumnTexts(const res::ReportListView* list, int column) {
  QStringList texts;
  for (int row = 0; row < list->GetItemCount(); ++row) texts << list->GetItemText(row, column);
  return texts;
}

// Without a connection: statements fail, and `connected` says so. The server is out of reach
// too, as a change connects again on its own when it finds the connection closed.
inline void DropConnection() {
  Db().Close();
  Db().Configure("127.0.0.1", 1, "root", "", "none");
  DbSessionTestSeam::ForgetConnectOutcome(Db());
}

}  // namespace testing_admin
