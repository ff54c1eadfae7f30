// The device choice and the query list of the history dialog, against the private server.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <memory>

#include "CHistoryCurvePage.h"
#include "CHistoryTablePage.h"
#include "HistoryTestData.h"
#include "LocalTime.h"
#include "ScriptedMessageBoxes.h"

using namespace history_test;

namespace {

class HistoryDeviceChoice : public SharedDatabaseTest<HistoryDeviceChoice> {
 protected:
  static void SetUpTestSuite() {
    if (!OpenDatabase("t_history_choice")) return;
    WriteCatalogue(*db_);
    db_->ConnectProcessSession();
  }
  void SetUp() override { REQUIRE_DB(*db_); }

  static QString Hidden(CHistoryQueryDlg& dlg, int id) { return res::Control<QLineEdit>(&dlg, id)->text(); }
  static QString CountText(CHistoryQueryDlg& dlg) { return dlg.GetDlgItemText(res::IDC_HQ_QUERY_COUNT); }

  Login login_ = kAdminLogin;
};

TEST_F(HistoryDeviceChoice, CompanyListFollowsTheRole) {
  EXPECT_EQ(ComboTexts(*std::make_unique<CHistoryQueryDlg>(Db(), login_), res::IDC_HQ_COMPANY),
            QStringList({"华东公司", "华南公司", "空公司"}));

  login_ = TestLogin("张三", kRoleNormalUser);
  CHistoryQueryDlg granted(Db(), login_);
  EXPECT_EQ(ComboTexts(granted, res::IDC_HQ_COMPANY), QStringList({"华南公司"}));
  EXPECT_EQ(res::Control<QComboBox>(&granted, res::IDC_HQ_COMPANY)->currentIndex(), -1);  // nothing chosen yet

  login_ = TestLogin("李四", kRoleNormalUser);
  EXPECT_TRUE(ComboTexts(*std::make_unique<CHistoryQueryDlg>(Db(), login_), res::IDC_HQ_COMPANY).isEmpty());

  // A name with a quote is only a name.
  login_ = TestLogin("x' or '1'='1", kRoleNormalUser);
  EXPECT_TRUE(ComboTexts(*std::make_unique<CHistoryQueryDlg>(Db(), login_), res::IDC_HQ_COMPANY).isEmpty());
}

TEST_F(HistoryDeviceChoice, ChoosingACompanySelectsItsFirstDepartmentAndListsItsDevices) {
  CHistoryQueryDlg dlg(Db(), login_);
  ChooseCombo(dlg, res::IDC_HQ_COMPANY, "华东公司");
  EXPECT_EQ(Hidden(dlg, res::IDC_HQ_COMPANY_NUM), "0001");
  EXPECT_EQ(ComboTexts(dlg, res::IDC_HQ_DEPARTMENT), QStringList({"仓库一", "仓库二"}));
  EXPECT_EQ(dlg.GetDlgItemText(res::IDC_HQ_DEPARTMENT), QString::fromUtf8("仓库一"));
  EXPECT_EQ(Hidden(dlg, res::IDC_HQ_DEPARTMENT_NUM), "01");
  ASSERT_EQ(dlg.DeviceList()->GetItemCount(), 2);
  EXPECT_EQ(dlg.DeviceList()->GetItemText(0, 0), "D000000001");
  EXPECT_EQ(dlg.DeviceList()->GetItemText(0, 1), QString::fromUtf8("一号探头"));
  EXPECT_EQ(dlg.DeviceList()->GetItemText(0, 2), QString::fromUtf8("华东公司"));
  EXPECT_EQ(dlg.DeviceList()->GetItemText(0, 3), QString::fromUtf8("仓库一"));

  ChooseCombo(dlg, res::IDC_HQ_DEPARTMENT, "仓库二");
  EXPECT_EQ(Hidden(dlg, res::IDC_HQ_DEPARTMENT_NUM), "02");
  ASSERT_EQ(dlg.DeviceList()->GetItemCount(), 1);
  EXPECT_EQ(dlg.DeviceList()->GetItemText(0, 0), "D000000003");

  ChooseCombo(dlg, res::IDC_HQ_COMPANY, "空公司");
  EXPECT_TRUE(ComboTexts(dlg, res::IDC_HQ_DEPARTMENT).isEmpty());
  EXPECT_EQ(dlg.DeviceList()->GetItemCount(), 0);
}

TEST_F(HistoryDeviceChoice, NormalUserSeesOnlyGrantedDepartments) {
  db_->Exec(Gbk("insert into department_tab values ('02','0002','外库')"));
  login_ = TestLogin("张三", kRoleNormalUser);
  CHistoryQueryDlg dlg(Db(), login_);
  ChooseCombo(dlg, res::IDC_HQ_COMPANY, "华南公司");
  EXPECT_EQ(ComboTexts(dlg, res::IDC_HQ_DEPARTMENT), QStringList({"冷库"}));
  EXPECT_EQ(dlg.DeviceList()->GetItemCount(), 2);
  db_->Exec("delete from department_tab where company_num='0002' and department_num='02'");
}

TEST_F(HistoryDeviceChoice, TwinCompanyNamesAreToldApartByNumber) {
  db_->Exec(Gbk("insert into company_tab values ('0004','华南公司')"));
  db_->Exec(Gbk("insert into department_tab values ('01','0004','北库')"));
  db_->Exec(Gbk("insert into device_tab values ('D000000009','北库探头','0004','01')"));
  CHistoryQueryDlg dlg(Db(), login_);
  EXPECT_EQ(ComboTexts(dlg, res::IDC_HQ_COMPANY),
            QStringList({"华东公司", "华南公司 (0002)", "空公司", "华南公司 (0004)"}));
  ChooseCombo(dlg, res::IDC_HQ_COMPANY, "华南公司 (0004)");
  EXPECT_EQ(Hidden(dlg, res::IDC_HQ_COMPANY_NUM), "0004");
  EXPECT_EQ(ComboTexts(dlg, res::IDC_HQ_DEPARTMENT), QStringList({"北库"}));
  ASSERT_EQ(dlg.DeviceList()->GetItemCount(), 1);
  EXPECT_EQ(dlg.DeviceList()->GetItemText(0, 0), "D000000009");
  ChooseCombo(dlg, res::IDC_HQ_COMPANY, "华南公司 (0002)");
  EXPECT_EQ(Hidden(dlg, res::IDC_HQ_COMPANY_NUM), "0002");
  EXPECT_EQ(dlg.DeviceList()->GetItemCount(), 2);

  login_ = TestLogin("张三", kRoleNormalUser);  // granted 0002 only: no twin in sight
  EXPECT_EQ(ComboTexts(*std::make_unique<CHistoryQueryDlg>(Db(), login_), res::IDC_HQ_COMPANY),
            QStringList({"华南公司"}));
  db_->Exec("delete from device_tab where device_num='D000000009'");
  db_->Exec("delete from department_tab where company_num='0004'");
  db_->Exec("delete from company_tab where company_num='0004'");
}

TEST_F(HistoryDeviceChoice, QueryListTakesEachDeviceOnce) {
  CHistoryQueryDlg dlg(Db(), login_);
  ChooseCombo(dlg, res::IDC_HQ_COMPANY, "华东公司");
  dlg.DeviceList()->SelectRow(1);
  QTest::mouseClick(res::Control<QPushButton>(&dlg, res::IDC_HQ_ADD_SELECTED), Qt::LeftButton);
  QTest::mouseClick(res::Control<QPushButton>(&dlg, res::IDC_HQ_ADD_SELECTED), Qt::LeftButton);
  EXPECT_EQ(dlg.QueryList()->GetItemCount(), 1);
  EXPECT_EQ(CountText(dlg), QString::fromUtf8("查询设备个数:1"));

  QTest::mouseClick(res::Control<QPushButton>(&dlg, res::IDC_HQ_ADD_ALL), Qt::LeftButton);
  ChooseCombo(dlg, res::IDC_HQ_DEPARTMENT, "仓库二");
  QTest::mouseClick(res::Control<QPushButton>(&dlg, res::IDC_HQ_ADD_ALL), Qt::LeftButton);
  QTest::mouseClick(res::Control<QPushButton>(&dlg, res::IDC_HQ_ADD_ALL), Qt::LeftButton);
  ASSERT_EQ(dlg.QueryList()->GetItemCount(), 3);
  EXPECT_EQ(dlg.QueryDeviceIds(), (std::vector<std::string>{"D000000002", "D000000001", "D000000003"}));
  EXPECT_EQ(dlg.QueryList()->GetItemText(2, 3), QString::fromUtf8("仓库二"));
  EXPECT_EQ(CountText(dlg), QString::fromUtf8("查询设备个数:3"));
  // The device already listed becomes the list's current item.
  EXPECT_EQ(dlg.QueryList()->currentIndex().row(), 2);
}

TEST_F(HistoryDeviceChoice, RemoveDeletesExactlyTheSelectedAndClearAsksFirst) {
  CHistoryQueryDlg dlg(Db(), login_);
  for (const char* id : {"A", "B", "C", "D", "E"}) AddQueryRow(dlg, id);
  auto* selection = dlg.QueryList()->selectionModel();
  for (int row : {1, 2, 3})
    selection->select(dlg.QueryList()->Model()->index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
  QTest::mouseClick(res::Control<QPushButton>(&dlg, res::IDC_HQ_REMOVE), Qt::LeftButton);
  EXPECT_EQ(dlg.QueryDeviceIds(), (std::vector<std::string>{"A", "E"}));
  EXPECT_EQ(CountText(dlg), QString::fromUtf8("查询设备个数:2"));

  ScriptedMessageBoxes boxes;
  boxes.QueueAnswer(platform::IDNO);
  dlg.SetDlgItemText(res::IDC_HQ_QUERY_COUNT, QString());
  QTest::mouseClick(res::Control<QPushButton>(&dlg, res::IDC_HQ_CLEAR), Qt::LeftButton);
  EXPECT_EQ(boxes.LastText(), QString::fromUtf8("确认清空查询列表?"));
  EXPECT_EQ(boxes.LastCaption(), QString::fromUtf8("清空"));
  EXPECT_EQ(boxes.Requests().back().type & platform::MB_YESNO, platform::MB_YESNO);
  EXPECT_EQ(dlg.QueryList()->GetItemCount(), 2);
  EXPECT_EQ(CountText(dlg), QString::fromUtf8("查询设备个数:2"));  // rewritten either way

  boxes.QueueAnswer(platform::IDYES);
  QTest::mouseClick(res::Control<QPushButton>(&dlg, res::IDC_HQ_CLEAR), Qt::LeftButton);
  EXPECT_EQ(dlg.QueryList()->GetItemCount(), 0);
  EXPECT_EQ(CountText(dlg), QString::fromUtf8("查询设备个数:0"));
}

TEST_F(HistoryDeviceChoice, StartsOnTodayWithTheTablePageAndIgnoresEnterAndEscape) {
  platform::SetLocalTimeSource([] { return platform::LocalTime{2024, 5, 1, 9, 30, 0, 0, 3}; });
  CHistoryQueryDlg dlg(Db(), login_);
  platform::SetLocalTimeSource({});
  EXPECT_EQ(dlg.StartDate(), QDate(2024, 5, 1));
  EXPECT_EQ(dlg.EndDate(), QDate(2024, 5, 1));
  auto* tabs = res::Control<QTabBar>(&dlg, res::IDC_HQ_TABS);
  ASSERT_EQ(tabs->count(), 2);
  EXPECT_EQ(tabs->tabText(0), QString::fromUtf8("表格"));
  EXPECT_EQ(tabs->tabText(1), QString::fromUtf8("曲线"));
  EXPECT_FALSE(dlg.TablePage()->isHidden());
  EXPECT_TRUE(dlg.CurvePage()->isHidden());
  tabs->setCurrentIndex(1);
  EXPECT_TRUE(dlg.TablePage()->isHidden());
  EXPECT_FALSE(dlg.CurvePage()->isHidden());

  dlg.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
  QTest::keyClick(dlg.QueryList(), Qt::Key_Escape);
  QTest::keyClick(dlg.CurvePage(), Qt::Key_Escape);
  QTest::keyClick(res::Control<QPushButton>(&dlg, res::IDC_HQ_CLEAR), Qt::Key_Return);
  EXPECT_TRUE(dlg.isVisible());
  dlg.close();  // the close box ends the dialog with cancel
  EXPECT_EQ(dlg.result(), QDialog::Rejected);
}

}  // namespace
