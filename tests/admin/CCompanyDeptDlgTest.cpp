// The company and department dialog against the private server: search, add, rename and
// delete on both pages, the width rules, the page switch and escaping. What a change removes or
// touches in the tables is AdminChangesTest's; here, what the dialog shows, asks and sends.
#include <QAbstractItemView>
#include <QApplication>
#include <QMessageBox>
#include <QTabBar>
#include <QTimer>

#include "CCompanyDeptDlg.h"
#include "CCompanyPage.h"
#include "CDepartmentPage.h"
#include "CompanyDeptTemplate.h"
#include "CompanyDeviceTestSupport.h"
#include "CompanyPageTemplate.h"
#include "DepartmentPageTemplate.h"
#include "QtMessageBox.h"
#include "ScriptedMessageBoxes.h"

using namespace res;
using namespace testing_admin;

namespace {

const QString kCaption = QStringLiteral("客户端");

class CompanyDeptTest : public AdminDialogTest<CCompanyDeptDlg> {
 protected:
  void ShowDepartmentTab() { dialog_->Tabs()->setCurrentIndex(1); }

  CCompanyPage& company() { return *dialog_->CompanyPage(); }
  CDepartmentPage& department() { return *dialog_->DepartmentPage(); }
  ReportListView* companyList() { return company().Item<ReportListView>(IDC_COMPANY_LIST); }
  ReportListView* departmentList() { return department().Item<ReportListView>(IDC_DEPT_LIST); }
  QComboBox* companyCombo() { return department().Item<QComboBox>(IDC_DEPT_COMPANY_COMBO); }

  ScriptedMessageBoxes boxes_;
};

// --- company page ---------------------------------------------------------------------

TEST_F(CompanyDeptTest, OpensOnTheCompanyPageWithEveryCompany) {
  EXPECT_EQ(dialog_->windowTitle(), QStringLiteral("公司以及部门管理"));
  EXPECT_TRUE(company().isVisible());
  EXPECT_FALSE(department().isVisible());
  EXPECT_EQ(ColumnTexts(companyList(), 0), QStringList({"0001", "0002"}));
  EXPECT_EQ(ColumnTexts(companyList(), 1), QStringList({"甲公司", "乙公司"}));
  EXPECT_EQ(company().Item<QComboBox>(IDC_COMPANY_SEARCH_FIELD)->currentIndex(), -1);
}

TEST_F(CompanyDeptTest, SearchNeedsBothAFieldAndAKey) {
  db().Exec(G("insert into company_tab values ('0003','丙公司分部')"));
  Type(&company(), IDC_COMPANY_SEARCH_KEY, QStringLiteral("分部"));
  Click(&company(), IDC_COMPANY_SEARCH_BUTTON);  // no field chosen: everything
  EXPECT_EQ(companyList()->GetItemCount(), 3);

  Choose(company().Item<QComboBox>(IDC_COMPANY_SEARCH_FIELD), QStringLiteral("公司名称"));
  Click(&company(), IDC_COMPANY_SEARCH_BUTTON);
  EXPECT_EQ(ColumnTexts(companyList(), 0), QStringList({"0003"}));

  Type(&company(), IDC_COMPANY_SEARCH_KEY, {});
  Click(&company(), IDC_COMPANY_SEARCH_BUTTON);
  EXPECT_EQ(companyList()->GetItemCount(), 3);
}

TEST_F(CompanyDeptTest, SearchKeysAreLiteralsButWildcardsStayWildcards) {
  db().Exec(G("insert into company_tab values ('0003','O''Brien\\\\運'),('0004','a_c'),('0005','abc')"));
  Choose(company().Item<QComboBox>(IDC_COMPANY_SEARCH_FIELD), QStringLiteral("公司名称"));
  const auto search = [&](const char* key) {
    Type(&company(), IDC_COMPANY_SEARCH_KEY, QString::fromUtf8(key));
    Click(&company(), IDC_COMPANY_SEARCH_BUTTON);
    return ColumnTexts(companyList(), 0);
  };
  EXPECT_EQ(search("O'Brien\\運"), QStringList({"0003"}));
  EXPECT_EQ(search("' or '1'='1"), QStringList());
  EXPECT_EQ(search("a_c"), QStringList({"0004", "0005"}));  // "_" matches any one character
  EXPECT_EQ(search("运"), QStringList());                   // a 0x5C trail byte is not a backslash
}

TEST_F(CompanyDeptTest, AddChecksTheNumberWidthInGbkBytes) {
  Type(&company(), IDC_COMPANY_NAME, QStringLiteral("新公司"));
  for (const char* refused : {"12345", "123", "运1"}) {
    Type(&company(), IDC_COMPANY_NUMBER, QString::fromUtf8(refused));
    boxes_.Clear();
    Click(&company(), IDC_COMPANY_ADD);
    ASSERT_EQ(boxes_.Count(), 1) << refused;
    EXPECT_EQ(boxes_.LastText(), QStringLiteral("公司编号必须是4个字符！"));
    EXPECT_EQ(boxes_.LastCaption(), kCaption);
  }
  EXPECT_EQ(CountRows(db(), "select count(*) from company_tab"), 2);

  boxes_.Clear();
  Type(&company(), IDC_COMPANY_NUMBER, QStringLiteral("運誠"));  // two characters, 4 bytes
  Type(&company(), IDC_COMPANY_NAME, QStringLiteral("O'Brien\\"));
  Click(&company(), IDC_COMPANY_ADD);
  EXPECT_EQ(boxes_.Count(), 0);
  EXPECT_EQ(Text(company(), IDC_COMPANY_STATUS), QStringLiteral("添加成功！"));
  const DbResult stored = db().Query(G("select company_name from company_tab where company_num='運誠'"));
  ASSERT_EQ(stored.rows.size(), 1u);
  EXPECT_EQ(stored.rows[0][0], "O'Brien\\");
  EXPECT_GE(FindRow(companyList(), 0, QStringLiteral("運誠")), 0);

  Click(&company(), IDC_COMPANY_ADD);  // the same number again
  EXPECT_EQ(Text(company(), IDC_COMPANY_STATUS), QStringLiteral("添加失败！"));
  Type(&company(), IDC_COMPANY_NAME, {});  // typing clears the status; an empty name does nothing
  EXPECT_EQ(Text(company(), IDC_COMPANY_STATUS), QString());
  Click(&company(), IDC_COMPANY_ADD);
  EXPECT_EQ(Text(company(), IDC_COMPANY_STATUS), QString());
}

TEST_F(CompanyDeptTest, ClickThenRenameKeepsTheSearchInForce) {
  Choose(company().Item<QComboBox>(IDC_COMPANY_SEARCH_FIELD), QStringLiteral("公司编号"));
  Type(&company(), IDC_COMPANY_SEARCH_KEY, QStringLiteral("2"));
  Click(&company(), IDC_COMPANY_SEARCH_BUTTON);
  ASSERT_EQ(companyList()->GetItemCount(), 1);

  ClickRow(companyList(), 0);
  EXPECT_EQ(Text(company(), IDC_COMPANY_NUMBER), QStringLiteral("0002"));
  EXPECT_EQ(Text(company(), IDC_COMPANY_NAME), QStringLiteral("乙公司"));
  Type(&company(), IDC_COMPANY_NAME, QStringLiteral("乙'公司"));
  Click(&company(), IDC_COMPANY_RENAME);
  EXPECT_EQ(Text(company(), IDC_COMPANY_STATUS), QStringLiteral("修改成功！"));
  EXPECT_EQ(ColumnTexts(companyList(), 1), QStringList({"乙'公司"}));
  EXPECT_EQ(CountRows(db(), G("select count(*) from company_tab where company_name='甲公司'")), 1);

  Type(&company(), IDC_COMPANY_NUMBER, QStringLiteral("9999"));  // no such company: still accepted
  Click(&company(), IDC_COMPANY_RENAME);
  EXPECT_EQ(Text(company(), IDC_COMPANY_STATUS), QStringLiteral("修改成功！"));
}

TEST_F(CompanyDeptTest, DeleteAsksFirstThenRemovesTheCompany) {
  Type(&company(), IDC_COMPANY_NUMBER, QStringLiteral("0001"));
  boxes_.QueueAnswer(platform::IDNO);
  Click(&company(), IDC_COMPANY_DELETE);
  EXPECT_EQ(boxes_.LastCaption(), QStringLiteral("删除确认"));
  EXPECT_EQ(boxes_.LastText(),
            QStringLiteral("确认删除公司？删除此公司后将同时删除'部门表','设备表','用户权限表'中与此公司相关的记录"));
  EXPECT_EQ(CountRows(db(), "select count(*) from company_tab"), 2);

  Type(&company(), IDC_COMPANY_NUMBER, QStringLiteral("001"));
  Click(&company(), IDC_COMPANY_DELETE);  // asks, then refuses the width
  EXPECT_EQ(boxes_.LastText(), QStringLiteral("公司编号必须是4个字符！"));

  Type(&company(), IDC_COMPANY_NUMBER, QStringLiteral("0001"));
  Click(&company(), IDC_COMPANY_DELETE);
  EXPECT_EQ(Text(company(), IDC_COMPANY_STATUS), QStringLiteral("删除成功！"));
  EXPECT_EQ(ColumnTexts(companyList(), 0), QStringList({"0002"}));
}

TEST_F(CompanyDeptTest, RefusedCompanyDeleteTouchesNothingElse) {
  db().Exec(
      "create trigger keep_companies before delete on company_tab for each row "
      "signal sqlstate '45000' set message_text='kept'");
  Type(&company(), IDC_COMPANY_NUMBER, QStringLiteral("0001"));
  Click(&company(), IDC_COMPANY_DELETE);
  EXPECT_EQ(Text(company(), IDC_COMPANY_STATUS), QStringLiteral("删除失败！"));
  EXPECT_EQ(CountRows(db(), "select count(*) from department_tab where company_num='0001'"), 2);
  EXPECT_EQ(CountRows(db(), "select count(*) from device_tab where company_num='0001'"), 2);
  db().Exec("drop trigger keep_companies");
}

// A dependent delete refused by the server undoes the whole cascade, on either page.
TEST_F(CompanyDeptTest, AFailedDependentDeleteUndoesTheWholeCascade) {
  const auto count = [&](const char* table, const char* where) {
    return CountRows(db(), std::string("select count(*) from ") + table + " where " + where);
  };
  db().Exec(
      "create trigger keep_devices before delete on device_tab for each row "
      "signal sqlstate '45000' set message_text='kept'");
  Type(&company(), IDC_COMPANY_NUMBER, QStringLiteral("0001"));
  Click(&company(), IDC_COMPANY_DELETE);
  EXPECT_EQ(Text(company(), IDC_COMPANY_STATUS), QStringLiteral("删除失败！"));
  EXPECT_EQ(count("company_tab", "company_num='0001'"), 1);
  EXPECT_EQ(count("department_tab", "company_num='0001'"), 2);  // deleted before the devices, then undone
  EXPECT_EQ(count("device_tab", "company_num='0001'"), 2);
  EXPECT_EQ(count("permission_tab", "company_num='0001'"), 2);

  ShowDepartmentTab();
  Type(&department(), IDC_DEPT_NUMBER, QStringLiteral("01"));
  Click(&department(), IDC_DEPT_DELETE);
  EXPECT_EQ(Text(department(), IDC_DEPT_STATUS), QStringLiteral("删除失败！"));
  EXPECT_EQ(count("department_tab", "company_num='0001' and department_num='01'"), 1);
  db().Exec("drop trigger keep_devices");

  db().Exec(
      "create trigger keep_grants before delete on permission_tab for each row "
      "signal sqlstate '45000' set message_text='kept'");
  Click(&department(), IDC_DEPT_DELETE);
  EXPECT_EQ(Text(department(), IDC_DEPT_STATUS), QStringLiteral("删除失败！"));
  db().Exec("drop trigger keep_grants");
}

TEST_F(CompanyDeptTest, WithoutConnectionStatementsFailAndListsStay) {
  DropConnection();
  Type(&company(), IDC_COMPANY_NUMBER, QStringLiteral("0003"));
  Type(&company(), IDC_COMPANY_NAME, QStringLiteral("丙"));
  Click(&company(), IDC_COMPANY_ADD);
  EXPECT_EQ(Text(company(), IDC_COMPANY_STATUS), QStringLiteral("添加失败！"));
  Click(&company(), IDC_COMPANY_RENAME);
  EXPECT_EQ(Text(company(), IDC_COMPANY_STATUS), QStringLiteral("修改失败！"));
  Click(&company(), IDC_COMPANY_DELETE);
  EXPECT_EQ(Text(company(), IDC_COMPANY_STATUS), QStringLiteral("删除失败！"));
  Click(&company(), IDC_COMPANY_SEARCH_BUTTON);
  EXPECT_EQ(companyList()->GetItemCount(), 2);

  ShowDepartmentTab();
  EXPECT_EQ(ColumnTexts(departmentList(), 0), QStringList({"01", "02"}));
  EXPECT_EQ(companyCombo()->count(), 2);
  EXPECT_EQ(companyCombo()->currentText(), QStringLiteral("甲公司"));  // not reloaded
  Type(&department(), IDC_DEPT_NUMBER, QStringLiteral("03"));
  Type(&department(), IDC_DEPT_NAME, QStringLiteral("新部门"));
  Click(&department(), IDC_DEPT_ADD);
  EXPECT_EQ(Text(department(), IDC_DEPT_STATUS), QStringLiteral("添加失败！"));
}

// --- department page ------------------------------------------------------------------

TEST_F(CompanyDeptTest, DepartmentPageStartsOnTheFirstCompany) {
  EXPECT_EQ(companyCombo()->count(), 2);
  EXPECT_EQ(companyCombo()->currentText(), QStringLiteral("甲公司"));
  EXPECT_EQ(Text(department(), IDC_DEPT_COMPANY_NUMBER), QStringLiteral("0001"));
  EXPECT_FALSE(department().GetDlgItem(IDC_DEPT_COMPANY_NUMBER)->isEnabled());
  EXPECT_EQ(ColumnTexts(departmentList(), 1), QStringList({"生产部", "仓库"}));

  ShowDepartmentTab();
  Choose(companyCombo(), QStringLiteral("乙公司"));
  EXPECT_EQ(Text(department(), IDC_DEPT_COMPANY_NUMBER), QStringLiteral("0002"));
  EXPECT_EQ(ColumnTexts(departmentList(), 1), QStringList({"化验室"}));
}

TEST_F(CompanyDeptTest, SwitchingPagesRefillsTheListBeforeTheCompanyNames) {
  ShowDepartmentTab();
  Choose(companyCombo(), QStringLiteral("乙公司"));
  dialog_->Tabs()->setCurrentIndex(0);
  EXPECT_TRUE(company().isVisible());
  EXPECT_FALSE(department().isVisible());

  Type(&company(), IDC_COMPANY_NUMBER, QStringLiteral("0003"));
  Type(&company(), IDC_COMPANY_NAME, QStringLiteral("丙公司"));
  Click(&company(), IDC_COMPANY_ADD);
  db().Exec(G("insert into department_tab values ('07','0002','新部门')"));

  ShowDepartmentTab();
  EXPECT_TRUE(department().isVisible());
  EXPECT_EQ(companyCombo()->currentIndex(), -1);
  EXPECT_EQ(companyCombo()->count(), 3);
  EXPECT_EQ(Text(department(), IDC_DEPT_COMPANY_NUMBER), QStringLiteral("0002"));
  EXPECT_EQ(ColumnTexts(departmentList(), 0), QStringList({"01", "07"}));
}

TEST_F(CompanyDeptTest, ACompanyDeletedOnTheOtherPageIsForgotten) {
  ShowDepartmentTab();
  Choose(companyCombo(), QStringLiteral("乙公司"));
  dialog_->Tabs()->setCurrentIndex(0);
  Type(&company(), IDC_COMPANY_NUMBER, QStringLiteral("0002"));
  Click(&company(), IDC_COMPANY_DELETE);
  ASSERT_EQ(Text(company(), IDC_COMPANY_STATUS), QStringLiteral("删除成功！"));

  ShowDepartmentTab();
  EXPECT_EQ(Text(department(), IDC_DEPT_COMPANY_NUMBER), QString());
  EXPECT_EQ(departmentList()->GetItemCount(), 0);
  EXPECT_EQ(companyCombo()->count(), 1);
  Type(&department(), IDC_DEPT_NUMBER, QStringLiteral("05"));
  Type(&department(), IDC_DEPT_NAME, QStringLiteral("孤儿部"));
  Click(&department(), IDC_DEPT_ADD);  // no company: ignored
  EXPECT_EQ(CountRows(db(),
                      "select count(*) from department_tab where company_num not in "
                      "(select company_num from company_tab)"),
            0);
}

TEST_F(CompanyDeptTest, ACompanyRenamedOrDeletedElsewhereIsForgottenAndNeverAddedTo) {
  ShowDepartmentTab();
  db().Exec(G("update company_tab set company_name='乙公司（旧）' where company_num='0002'"));
  Choose(companyCombo(), QStringLiteral("乙公司"));  // the combo still offers the old name
  EXPECT_EQ(Text(department(), IDC_DEPT_COMPANY_NUMBER), QString());
  EXPECT_EQ(departmentList()->GetItemCount(), 0);
  EXPECT_GE(companyCombo()->findText(QStringLiteral("乙公司（旧）")), 0);  // reloaded

  Choose(companyCombo(), QStringLiteral("甲公司"));
  db().Exec("delete from company_tab where company_num='0001'");  // by another station
  Type(&department(), IDC_DEPT_NUMBER, QStringLiteral("05"));
  Type(&department(), IDC_DEPT_NAME, QStringLiteral("孤儿部"));
  Click(&department(), IDC_DEPT_ADD);
  EXPECT_EQ(Text(department(), IDC_DEPT_STATUS), QStringLiteral("添加失败！"));
  EXPECT_EQ(Text(department(), IDC_DEPT_COMPANY_NUMBER), QString());
}

TEST_F(CompanyDeptTest, TwinCompanyNamesShowTheirNumberAndTheChosenOneGetsTheDepartment) {
  db().Exec(G("insert into company_tab values ('0005','南城食品有限公司'),('0006','南城食品有限公司')"));
  ShowDepartmentTab();
  EXPECT_GE(companyCombo()->findText(QStringLiteral("甲公司")), 0);  // unique names stay as they are
  Choose(companyCombo(), QStringLiteral("南城食品有限公司 (0006)"));
  EXPECT_EQ(Text(department(), IDC_DEPT_COMPANY_NUMBER), QStringLiteral("0006"));
  Type(&department(), IDC_DEPT_NUMBER, QStringLiteral("01"));
  Type(&department(), IDC_DEPT_NAME, QStringLiteral("冷链部"));
  Click(&department(), IDC_DEPT_ADD);
  EXPECT_EQ(Text(department(), IDC_DEPT_STATUS), QStringLiteral("添加成功！"));
  EXPECT_EQ(
      CountRows(db(), G("select count(*) from department_tab where department_name='冷链部' and company_num='0006'")),
      1);
  EXPECT_EQ(ColumnTexts(departmentList(), 1), QStringList({QStringLiteral("冷链部")}));
}

// Blanks around numbers are dropped before the byte count; text without a GBK form is refused.
TEST_F(CompanyDeptTest, NumbersAreTrimmedAndUnsavableTextIsRefusedBeforeAnyStatement) {
  Type(&company(), IDC_COMPANY_NAME, QStringLiteral("丙公司"));
  Type(&company(), IDC_COMPANY_NUMBER, QStringLiteral("009 "));
  Click(&company(), IDC_COMPANY_ADD);
  EXPECT_EQ(boxes_.LastText(), QStringLiteral("公司编号必须是4个字符！"));
  Type(&company(), IDC_COMPANY_NUMBER, QStringLiteral(" 0009 "));
  Click(&company(), IDC_COMPANY_ADD);
  EXPECT_EQ(Text(company(), IDC_COMPANY_STATUS), QStringLiteral("添加成功！"));
  EXPECT_EQ(Text(company(), IDC_COMPANY_NUMBER), QStringLiteral("0009"));
  EXPECT_EQ(CountRows(db(), "select count(*) from company_tab where length(company_num)<>4"), 0);

  Type(&company(), IDC_COMPANY_NUMBER, QStringLiteral("0010"));
  Type(&company(), IDC_COMPANY_NAME, QStringLiteral("kr한국"));
  Click(&company(), IDC_COMPANY_ADD);
  EXPECT_EQ(Text(company(), IDC_COMPANY_STATUS), QStringLiteral("公司名称含有无法保存的字符"));
  Type(&company(), IDC_COMPANY_NUMBER, QStringLiteral("00한"));
  Click(&company(), IDC_COMPANY_RENAME);
  EXPECT_EQ(Text(company(), IDC_COMPANY_STATUS), QStringLiteral("公司编号含有无法保存的字符"));

  ShowDepartmentTab();
  Type(&department(), IDC_DEPT_NAME, QStringLiteral("한국"));
  Type(&department(), IDC_DEPT_NUMBER, QStringLiteral("05"));
  Click(&department(), IDC_DEPT_ADD);
  EXPECT_EQ(Text(department(), IDC_DEPT_STATUS), QStringLiteral("部门名称含有无法保存的字符"));
  Type(&department(), IDC_DEPT_NAME, QStringLiteral("新部门"));
  Type(&department(), IDC_DEPT_NUMBER, QStringLiteral(" 05"));
  Click(&department(), IDC_DEPT_ADD);
  EXPECT_EQ(Text(department(), IDC_DEPT_STATUS), QStringLiteral("添加成功！"));
  EXPECT_EQ(CountRows(db(), "select count(*) from department_tab where department_num='05' and company_num='0001'"), 1);
  EXPECT_EQ(CountRows(db(), "select count(*) from company_tab where concat(company_num,company_name) like '%?%'"), 0);
  EXPECT_EQ(CountRows(db(), "select count(*) from department_tab where department_name like '%?%'"), 0);
}

TEST_F(CompanyDeptTest, DepartmentAddChecksTwoBytesAndStoresTextAsTyped) {
  ShowDepartmentTab();
  Type(&department(), IDC_DEPT_NAME, QStringLiteral("O'Brien\\誠"));
  for (const char* refused : {"1", "123", "运1"}) {
    Type(&department(), IDC_DEPT_NUMBER, QString::fromUtf8(refused));
    boxes_.Clear();
    Click(&department(), IDC_DEPT_ADD);
    ASSERT_EQ(boxes_.Count(), 1) << refused;
    EXPECT_EQ(boxes_.LastText(), QStringLiteral("部门编号必须是2个字符！"));
    EXPECT_EQ(boxes_.LastCaption(), kCaption);
  }
  Type(&department(), IDC_DEPT_NUMBER, QStringLiteral("誠"));
  Click(&department(), IDC_DEPT_ADD);
  EXPECT_EQ(Text(department(), IDC_DEPT_STATUS), QStringLiteral("添加成功！"));
  const DbResult stored = db().Query(G("select department_name from department_tab where department_num='誠'"));
  ASSERT_EQ(stored.rows.size(), 1u);
  EXPECT_EQ(stored.rows[0][0], G("O'Brien\\誠"));
  EXPECT_EQ(ColumnTexts(departmentList(), 0), QStringList({"01", "02", "誠"}));

  Type(&department(), IDC_DEPT_NUMBER, QStringLiteral("01"));
  Click(&department(), IDC_DEPT_ADD);
  EXPECT_EQ(Text(department(), IDC_DEPT_STATUS), QStringLiteral("添加失败！"));
}

TEST_F(CompanyDeptTest, DepartmentRenameNamesBothNumbers) {
  ShowDepartmentTab();
  ClickRow(departmentList(), 0);
  EXPECT_EQ(Text(department(), IDC_DEPT_NUMBER), QStringLiteral("01"));
  EXPECT_EQ(Text(department(), IDC_DEPT_NAME), QStringLiteral("生产部"));
  Type(&department(), IDC_DEPT_NAME, QStringLiteral("包装部"));
  Click(&department(), IDC_DEPT_RENAME);
  EXPECT_EQ(Text(department(), IDC_DEPT_STATUS), QStringLiteral("修改成功！"));
  EXPECT_EQ(departmentList()->GetItemText(0, 1), QStringLiteral("包装部"));
}

TEST_F(CompanyDeptTest, DepartmentDeleteAsksFirstThenDropsItsRow) {
  ShowDepartmentTab();
  Type(&department(), IDC_DEPT_NUMBER, QStringLiteral("01"));
  boxes_.QueueAnswer(platform::IDNO);
  Click(&department(), IDC_DEPT_DELETE);
  EXPECT_EQ(boxes_.LastCaption(), QStringLiteral("删除确认"));
  EXPECT_EQ(boxes_.LastText(),
            QStringLiteral("确认删除部门？删除此公司部门后将同时删除'设备表','用户权限表'中与此公司部门相关的记录"));
  EXPECT_EQ(CountRows(db(), "select count(*) from department_tab"), 3);

  Click(&department(), IDC_DEPT_DELETE);
  EXPECT_EQ(Text(department(), IDC_DEPT_STATUS), QStringLiteral("删除成功！"));
  EXPECT_EQ(ColumnTexts(departmentList(), 0), QStringList({"02"}));
}

// --- keys -------------------------------------------------------------------------------

TEST_F(CompanyDeptTest, ReturnAndEscapeOnAPageNeverCloseTheDialog) {
  Type(&company(), IDC_COMPANY_NUMBER, QStringLiteral("0003"));
  Type(&company(), IDC_COMPANY_NAME, QStringLiteral("丙"));
  for (QWidget* target : {company().GetDlgItem(IDC_COMPANY_NAME), company().GetDlgItem(IDC_COMPANY_ADD)}) {
    target->setFocus();
    QTest::keyClick(target, Qt::Key_Return);
    QTest::keyClick(target, Qt::Key_Escape);
  }
  ShowDepartmentTab();
  QWidget* number = department().GetDlgItem(IDC_DEPT_NUMBER);
  number->setFocus();
  QTest::keyClick(number, Qt::Key_Return);
  QTest::keyClick(number, Qt::Key_Escape);

  EXPECT_TRUE(dialog_->isVisible());
  EXPECT_TRUE(department().isVisible());
  EXPECT_EQ(Text(company(), IDC_COMPANY_STATUS), QString());  // "添加" was not pressed
  EXPECT_EQ(CountRows(db(), "select count(*) from company_tab"), 2);
}

// An open drop-down list and a yes/no box keep their own Return and Escape.
TEST_F(CompanyDeptTest, ReturnAndEscapeReachAnOpenListAndAYesNoBox) {
  ShowDepartmentTab();
  companyCombo()->showPopup();
  QAbstractItemView* view = companyCombo()->view();
  ASSERT_TRUE(QTest::qWaitFor([&] { return view->isVisible(); }, 1000));
  view->setCurrentIndex(view->model()->index(1, 0));
  QTest::keyClick(view, Qt::Key_Return);
  EXPECT_TRUE(QTest::qWaitFor([&] { return !view->isVisible(); }, 1000));
  EXPECT_EQ(Text(department(), IDC_DEPT_COMPANY_NUMBER), QStringLiteral("0002"));  // chosen

  auto* field = company().Item<QComboBox>(IDC_COMPANY_SEARCH_FIELD);
  dialog_->Tabs()->setCurrentIndex(0);
  field->showPopup();
  ASSERT_TRUE(QTest::qWaitFor([&] { return field->view()->isVisible(); }, 1000));
  QTest::keyClick(field->view(), Qt::Key_Escape);
  EXPECT_TRUE(QTest::qWaitFor([&] { return !field->view()->isVisible(); }, 1000));
  EXPECT_TRUE(dialog_->isVisible());

  ShowDepartmentTab();
  res::InstallQtMessageBoxPresenter();  // a real box; ScriptedMessageBoxes restores its own
  bool escapeSent = false, stillOpen = false;
  QTimer escape;
  QObject::connect(&escape, &QTimer::timeout, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return;
    if (escapeSent) {  // Escape did not close it: close it here so the run never hangs
      stillOpen = true;
      box->reject();
      return;
    }
    QTest::keyClick(box, Qt::Key_Escape);
    escapeSent = true;
  });
  escape.start(50);
  Type(&department(), IDC_DEPT_NUMBER, QStringLiteral("01"));
  Click(&department(), IDC_DEPT_DELETE);
  EXPECT_TRUE(escapeSent);
  EXPECT_FALSE(stillOpen);
  EXPECT_EQ(CountRows(db(), "select count(*) from department_tab"), 3);  // Escape answered No
}

}  // namespace
