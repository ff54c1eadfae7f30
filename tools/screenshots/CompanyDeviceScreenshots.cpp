// The company/department and device dialogs with the dialog tests' rows.
#include "CCompanyDeptDlg.h"
#include "CCompanyPage.h"
#include "CDepartmentPage.h"
#include "CDeviceManageDlg.h"
#include "CompanyDeviceTestSupport.h"
#include "CompanyPageTemplate.h"
#include "DepartmentPageTemplate.h"
#include "DeviceManageTemplate.h"
#include "ScreenshotDir.h"

using namespace res;
using namespace testing_admin;

namespace {

using CompanyDeptShots = AdminDialogTest<CCompanyDeptDlg>;
using DeviceManageShots = AdminDialogTest<CDeviceManageDlg>;

TEST_F(CompanyDeptShots, BothPages) {
  ClickRow(dialog_->CompanyPage()->Item<ReportListView>(IDC_COMPANY_LIST), 1);
  SAVE_SCREENSHOT(*dialog_, "company_page.png");
  dialog_->Tabs()->setCurrentIndex(1);
  CDepartmentPage& department = *dialog_->DepartmentPage();
  Choose(department.Item<QComboBox>(IDC_DEPT_COMPANY_COMBO), QStringLiteral("甲公司"));
  ClickRow(department.Item<ReportListView>(IDC_DEPT_LIST), 1);
  SAVE_SCREENSHOT(*dialog_, "department_page.png");
}

TEST_F(DeviceManageShots, ADeviceClicked) {
  auto* list = dialog_->Item<ReportListView>(IDC_DEVICE_LIST);
  const int row = FindRow(list, 0, QStringLiteral("0000000002"));
  ASSERT_GE(row, 0);
  ClickRow(list, row);
  SAVE_SCREENSHOT(*dialog_, "device_manage.png");
}

}  // namespace
