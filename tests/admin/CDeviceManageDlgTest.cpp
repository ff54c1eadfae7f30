// The device dialog against the private server: its list, the two modes, click-to-fill, the
// company and department choice, add / delete / rename, the ID width and escaping.
#include <QAbstractItemView>
#include <QRadioButton>

#include "CDeviceManageDlg.h"
#include "CompanyDeviceTestSupport.h"
#include "DeviceManageTemplate.h"
#include "ScriptedMessageBoxes.h"

using namespace res;
using namespace testing_admin;

namespace {

enum Column { kId, kName, kCompanyName, kDepartmentName, kCompanyNum, kDepartmentNum };

class DeviceManageTest : public AdminDialogTest<CDeviceManageDlg> {
 protected:
  ReportListView* list() { return dialog_->Item<ReportListView>(IDC_DEVICE_LIST); }
  QComboBox* companies() { return dialog_->Item<QComboBox>(IDC_DEVICE_COMPANY_COMBO); }
  QComboBox* departments() { return dialog_->Item<QComboBox>(IDC_DEVICE_DEPARTMENT_COMBO); }
  QString text(int id) { return Text(*dialog_, id); }
  void ClickDevice(const char* id) {
    const int row = FindRow(list(), kId, QString::fromUtf8(id));
    ASSERT_GE(row, 0) << id;
    ClickRow(list(), row);
  }
  void AddDeleteMode() { Click(dialog_.get(), IDC_DEVICE_MODE_ADD_DELETE); }
  QStringList Search(const char* field, const char* key) {
    auto* fields = dialog_->Item<QComboBox>(IDC_DEVICE_SEARCH_FIELD);
    if (field)
      Choose(fields, QString::fromUtf8(field));
    else
      fields->setCurrentIndex(-1);
    Type(dialog_.get(), IDC_DEVICE_SEARCH_KEY, QString::fromUtf8(key));
    Click(dialog_.get(), IDC_DEVICE_SEARCH_BUTTON);
    return ColumnTexts(list(), kId);
  }

  ScriptedMessageBoxes boxes_;
};

TEST_F(DeviceManageTest, ListsRegisteredDevicesInSixColumns) {
  db().Exec(G("insert into device_tab values ('0000000009','孤儿','0009','01')"));  // no such company
  Click(dialog_.get(), IDC_DEVICE_SEARCH_BUTTON);
  ASSERT_EQ(list()->GetItemCount(), 3);
  const int row = FindRow(list(), kId, "0000000003");
  ASSERT_GE(row, 0);
  EXPECT_EQ(list()->GetItemText(row, kName), QStringLiteral("化验1号"));
  EXPECT_EQ(list()->GetItemText(row, kCompanyName), QStringLiteral("乙公司"));
  EXPECT_EQ(list()->GetItemText(row, kDepartmentName), QStringLiteral("化验室"));
  EXPECT_EQ(list()->GetItemText(row, kCompanyNum), QStringLiteral("0002"));
  EXPECT_EQ(list()->GetItemText(row, kDepartmentNum), QStringLiteral("01"));
  EXPECT_EQ(companies()->count(), 2);
  EXPECT_EQ(companies()->currentIndex(), -1);
}

TEST_F(DeviceManageTest, OpensInNameChangeModeAndTheRadiosSwitchModes) {
  const auto enabled = [&](int id) { return dialog_->GetDlgItem(id)->isEnabled(); };
  const int addDeleteControls[] = {IDC_DEVICE_ID, IDC_DEVICE_COMPANY_COMBO, IDC_DEVICE_DEPARTMENT_COMBO, IDC_DEVICE_ADD,
                                   IDC_DEVICE_DELETE};
  EXPECT_TRUE(dialog_->Item<QRadioButton>(IDC_DEVICE_MODE_RENAME)->isChecked());
  for (int id : addDeleteControls) EXPECT_FALSE(enabled(id)) << id;
  EXPECT_TRUE(enabled(IDC_DEVICE_RENAME));

  AddDeleteMode();
  EXPECT_TRUE(dialog_->Item<QRadioButton>(IDC_DEVICE_MODE_ADD_DELETE)->isChecked());
  EXPECT_FALSE(dialog_->Item<QRadioButton>(IDC_DEVICE_MODE_RENAME)->isChecked());
  for (int id : addDeleteControls) EXPECT_TRUE(enabled(id)) << id;
  EXPECT_FALSE(enabled(IDC_DEVICE_RENAME));
}

TEST_F(DeviceManageTest, ClickFillsEverythingSoRenameAddressesThatDevice) {
  ClickDevice("0000000002");
  EXPECT_EQ(text(IDC_DEVICE_ID), QStringLiteral("0000000002"));
  EXPECT_EQ(text(IDC_DEVICE_NAME), QStringLiteral("冷库2号"));
  EXPECT_EQ(companies()->currentText(), QStringLiteral("甲公司"));
  EXPECT_EQ(departments()->currentText(), QStringLiteral("仓库"));
  EXPECT_EQ(departments()->count(), 2);
  EXPECT_EQ(text(IDC_DEVICE_COMPANY_NUMBER), QStringLiteral("0001"));
  EXPECT_EQ(text(IDC_DEVICE_DEPARTMENT_NUMBER), QStringLiteral("02"));

  Type(dialog_.get(), IDC_DEVICE_NAME, QStringLiteral("O'Brien\\運"));
  Click(dialog_.get(), IDC_DEVICE_RENAME);
  EXPECT_EQ(text(IDC_DEVICE_STATUS), QStringLiteral("修改成功！"));
  const DbResult names = db().Query("select device_num,device_name from device_tab order by device_num");
  ASSERT_EQ(names.rows.size(), 3u);
  EXPECT_EQ(names.rows[1][1], G("O'Brien\\運"));
  EXPECT_EQ(names.rows[0][1], G("冷库1号"));
  EXPECT_EQ(list()->GetItemText(FindRow(list(), kId, "0000000002"), kName), QStringLiteral("O'Brien\\運"));

  Type(dialog_.get(), IDC_DEVICE_NAME, {});  // an empty name is sent too
  Click(dialog_.get(), IDC_DEVICE_RENAME);
  EXPECT_EQ(text(IDC_DEVICE_STATUS), QStringLiteral("修改成功！"));
  EXPECT_EQ(CountRows(db(), "select count(*) from device_tab where device_name=''"), 1);
}

TEST_F(DeviceManageTest, ClickPicksTheExactCompanyNameBeforeALongerOne) {
  db().Exec(G("insert into company_tab values ('0000','甲公司分部')"));  // listed first
  db().Exec(G("insert into department_tab values ('01','0000','分部')"));
  dialog_ = std::make_unique<CDeviceManageDlg>(Db(), "admin");
  dialog_->show();
  ASSERT_EQ(companies()->itemText(0), QStringLiteral("甲公司分部"));
  ClickDevice("0000000001");
  EXPECT_EQ(companies()->currentText(), QStringLiteral("甲公司"));
  EXPECT_EQ(departments()->currentText(), QStringLiteral("生产部"));
}

TEST_F(DeviceManageTest, ChoosingACompanyClearsTheDepartmentUntilOneIsChosen) {
  AddDeleteMode();
  ClickDevice("0000000001");
  Choose(companies(), QStringLiteral("乙公司"));
  EXPECT_EQ(text(IDC_DEVICE_COMPANY_NUMBER), QStringLiteral("0002"));
  EXPECT_EQ(departments()->currentIndex(), -1);
  EXPECT_EQ(departments()->count(), 1);
  EXPECT_EQ(text(IDC_DEVICE_DEPARTMENT_NUMBER), QString());

  Type(dialog_.get(), IDC_DEVICE_ID, QStringLiteral("0000000004"));
  Click(dialog_.get(), IDC_DEVICE_ADD);  // no department: ignored
  EXPECT_EQ(text(IDC_DEVICE_STATUS), QString());
  EXPECT_EQ(boxes_.Count(), 0);

  Choose(departments(), QStringLiteral("化验室"));
  EXPECT_EQ(text(IDC_DEVICE_DEPARTMENT_NUMBER), QStringLiteral("01"));
  Click(dialog_.get(), IDC_DEVICE_ADD);
  EXPECT_EQ(text(IDC_DEVICE_STATUS), QStringLiteral("添加成功！"));
  EXPECT_EQ(CountRows(db(),
                      "select count(*) from device_tab where device_num='0000000004' and company_num='0002'"
                      " and department_num='01'"),
            1);
  EXPECT_GE(FindRow(list(), kId, "0000000004"), 0);

  Click(dialog_.get(), IDC_DEVICE_ADD);  // same ID again
  EXPECT_EQ(text(IDC_DEVICE_STATUS), QStringLiteral("添加失败！"));
  Type(dialog_.get(), IDC_DEVICE_ID, QStringLiteral("0000000005"));  // typing clears the status
  EXPECT_EQ(text(IDC_DEVICE_STATUS), QString());
}

TEST_F(DeviceManageTest, DeviceIdIsTenGbkBytes) {
  AddDeleteMode();
  ClickDevice("0000000003");
  for (const char* refused : {"000000001", "00000000001", "五个汉字"}) {
    Type(dialog_.get(), IDC_DEVICE_ID, QString::fromUtf8(refused));
    for (int button : {IDC_DEVICE_ADD, IDC_DEVICE_DELETE}) {
      boxes_.Clear();
      Click(dialog_.get(), button);
      EXPECT_EQ(boxes_.LastText(), QStringLiteral("设备ID必须是10个字符！")) << refused;
      EXPECT_EQ(boxes_.LastCaption(), QStringLiteral("客户端"));
    }
  }
  EXPECT_EQ(CountRows(db(), "select count(*) from device_tab"), 3);

  Type(dialog_.get(), IDC_DEVICE_ID, QStringLiteral("五個漢字運"));  // five characters, ten bytes
  Click(dialog_.get(), IDC_DEVICE_ADD);
  EXPECT_EQ(text(IDC_DEVICE_STATUS), QStringLiteral("添加成功！"));
  EXPECT_EQ(CountRows(db(), G("select count(*) from device_tab where device_num='五個漢字運'")), 1);

  Click(dialog_.get(), IDC_DEVICE_MODE_RENAME);
  Type(dialog_.get(), IDC_DEVICE_ID, QStringLiteral("123"));
  boxes_.Clear();
  Click(dialog_.get(), IDC_DEVICE_RENAME);
  EXPECT_EQ(boxes_.LastText(), QStringLiteral("设备ID必须是10个字符！"));
}

TEST_F(DeviceManageTest, IdsAreTrimmedUnsavableTextRefusedAndAGoneDepartmentGetsNoDevice) {
  AddDeleteMode();
  ClickDevice("0000000003");
  Type(dialog_.get(), IDC_DEVICE_ID, QStringLiteral(" 0000000004 "));
  Click(dialog_.get(), IDC_DEVICE_ADD);
  EXPECT_EQ(text(IDC_DEVICE_STATUS), QStringLiteral("添加成功！"));
  EXPECT_EQ(text(IDC_DEVICE_ID), QStringLiteral("0000000004"));

  Type(dialog_.get(), IDC_DEVICE_ID, QStringLiteral("TH0000000한"));
  Click(dialog_.get(), IDC_DEVICE_ADD);
  EXPECT_EQ(text(IDC_DEVICE_STATUS), QStringLiteral("设备ID含有无法保存的字符"));
  Type(dialog_.get(), IDC_DEVICE_ID, QStringLiteral("0000000005"));
  Type(dialog_.get(), IDC_DEVICE_NAME, QStringLiteral("냉장고"));
  Click(dialog_.get(), IDC_DEVICE_ADD);
  EXPECT_EQ(text(IDC_DEVICE_STATUS), QStringLiteral("设备名称含有无法保存的字符"));
  EXPECT_EQ(CountRows(db(), "select count(*) from device_tab where concat(device_num,device_name) like '%?%'"), 0);

  db().Exec("delete from department_tab where company_num='0002'");  // by another station
  Type(dialog_.get(), IDC_DEVICE_NAME, QStringLiteral("孤儿"));
  Click(dialog_.get(), IDC_DEVICE_ADD);
  EXPECT_EQ(text(IDC_DEVICE_STATUS), QStringLiteral("添加失败！"));
}

TEST_F(DeviceManageTest, TwinCompaniesAreToldApartByNumberAndReturnChoosesInAnOpenList) {
  db().Exec(G("insert into company_tab values ('0005','南城食品有限公司'),('0006','南城食品有限公司')"));
  db().Exec(G("insert into department_tab values ('01','0005','五部'),('01','0006','六部')"));
  db().Exec(G("insert into device_tab values ('0000000006','六号','0006','01')"));
  dialog_ = ShowDialog<CDeviceManageDlg>();
  ASSERT_TRUE(dialog_);
  ClickDevice("0000000006");
  EXPECT_EQ(companies()->currentText(), QStringLiteral("南城食品有限公司 (0006)"));
  EXPECT_EQ(departments()->currentText(), QStringLiteral("六部"));

  AddDeleteMode();
  companies()->showPopup();
  QAbstractItemView* view = companies()->view();
  ASSERT_TRUE(QTest::qWaitFor([&] { return view->isVisible(); }, 1000));
  view->setCurrentIndex(view->model()->index(companies()->findText(QStringLiteral("南城食品有限公司 (0005)")), 0));
  QTest::keyClick(view, Qt::Key_Return);
  EXPECT_TRUE(QTest::qWaitFor([&] { return !view->isVisible(); }, 1000));
  EXPECT_EQ(text(IDC_DEVICE_COMPANY_NUMBER), QStringLiteral("0005"));
  EXPECT_EQ(departments()->itemText(0), QStringLiteral("五部"));
  EXPECT_TRUE(dialog_->isVisible());
}

TEST_F(DeviceManageTest, DeleteAsksFirstAndRemovesOnlyThatDevice) {
  AddDeleteMode();
  ClickDevice("0000000001");
  boxes_.QueueAnswer(platform::IDNO);
  Click(dialog_.get(), IDC_DEVICE_DELETE);
  EXPECT_EQ(boxes_.LastCaption(), QStringLiteral("删除确认"));
  EXPECT_EQ(boxes_.LastText(), QStringLiteral("确认删除此设备？"));
  EXPECT_EQ(CountRows(db(), "select count(*) from device_tab"), 3);

  Click(dialog_.get(), IDC_DEVICE_DELETE);
  EXPECT_EQ(text(IDC_DEVICE_STATUS), QStringLiteral("删除成功！"));
  EXPECT_EQ(ColumnTexts(list(), kId), QStringList({"0000000002", "0000000003"}));
  EXPECT_EQ(CountRows(db(), "select count(*) from permission_tab"), 3);

  Type(dialog_.get(), IDC_DEVICE_ID, {});
  boxes_.Clear();
  Click(dialog_.get(), IDC_DEVICE_DELETE);  // asks, then nothing
  EXPECT_EQ(boxes_.Count(), 1);
  EXPECT_EQ(CountRows(db(), "select count(*) from device_tab"), 2);
}

TEST_F(DeviceManageTest, SearchByFieldWithLiteralKeysAndWildcards) {
  db().Exec(G("insert into device_tab values ('A''B\\\\運0001','a_c','0002','01'),('ABC0000002','abc','0002','01')"));
  EXPECT_EQ(Search(nullptr, "冷库").size(), 5);  // no field: everything
  EXPECT_EQ(Search("设备名称", "").size(), 5);   // no key: everything
  EXPECT_EQ(Search("设备名称", "冷库"), QStringList({"0000000001", "0000000002"}));
  EXPECT_EQ(Search("公司名称", "乙"), QStringList({"0000000003", "A'B\\運0001", "ABC0000002"}));
  EXPECT_EQ(Search("部门名称", "仓"), QStringList({"0000000002"}));
  EXPECT_EQ(Search("设备ID", "'B\\運"), QStringList({"A'B\\運0001"}));
  EXPECT_EQ(Search("设备名称", "' or '1'='1"), QStringList());
  EXPECT_EQ(Search("设备名称", "a_c"), QStringList({"A'B\\運0001", "ABC0000002"}));

  // The search stays in force after a change.
  Search("设备名称", "冷库");
  ClickDevice("0000000001");
  Type(dialog_.get(), IDC_DEVICE_NAME, QStringLiteral("冷库一号"));
  Click(dialog_.get(), IDC_DEVICE_RENAME);
  EXPECT_EQ(ColumnTexts(list(), kId), QStringList({"0000000001", "0000000002"}));
}

TEST_F(DeviceManageTest, WithoutConnectionStatementsFailAndListsStay) {
  AddDeleteMode();
  ClickDevice("0000000001");
  DropConnection();
  Click(dialog_.get(), IDC_DEVICE_DELETE);
  EXPECT_EQ(text(IDC_DEVICE_STATUS), QStringLiteral("删除失败！"));
  Type(dialog_.get(), IDC_DEVICE_ID, QStringLiteral("0000000008"));
  Click(dialog_.get(), IDC_DEVICE_ADD);
  EXPECT_EQ(text(IDC_DEVICE_STATUS), QStringLiteral("添加失败！"));
  EXPECT_EQ(list()->GetItemCount(), 3);
  Search(nullptr, "");
  EXPECT_EQ(list()->GetItemCount(), 3);

  // Choosing a company only drops the department choice.
  Choose(companies(), QStringLiteral("乙公司"));
  EXPECT_EQ(text(IDC_DEVICE_COMPANY_NUMBER), QStringLiteral("0001"));
  EXPECT_EQ(departments()->currentIndex(), -1);
  EXPECT_EQ(departments()->count(), 2);
  EXPECT_EQ(text(IDC_DEVICE_DEPARTMENT_NUMBER), QString());

  Click(dialog_.get(), IDC_DEVICE_MODE_RENAME);
  Click(dialog_.get(), IDC_DEVICE_RENAME);  // no department number: nothing sent
  EXPECT_EQ(text(IDC_DEVICE_STATUS), QString());
}

TEST_F(DeviceManageTest, ReturnNeverClosesTheDialog) {
  AddDeleteMode();
  QWidget* id = dialog_->GetDlgItem(IDC_DEVICE_ID);
  id->setFocus();
  QTest::keyClick(id, Qt::Key_Return);
  QTest::keyClick(dialog_->GetDlgItem(IDC_DEVICE_EXIT), Qt::Key_Return);
  EXPECT_TRUE(dialog_->isVisible());
}

}  // namespace
