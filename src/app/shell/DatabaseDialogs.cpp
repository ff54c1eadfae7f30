#include "DatabaseDialogs.h"

#include "CCompanyDeptDlg.h"
#include "CDeviceManageDlg.h"
#include "CHistoryQueryDlg.h"
#include "CPermissionDlg.h"
#include "CUserManageDlg.h"
#include "MainMenu.h"

namespace {
template <class Dialog>
DialogFactory Make() {
  return [](QWidget* parent) -> std::unique_ptr<QDialog> { return std::make_unique<Dialog>(parent); };
}
}  // namespace

DialogFactory DatabaseDialogFactory(int commandId) {
  switch (commandId) {
    case res::ID_HISTORY_QUERY: return Make<CHistoryQueryDlg>();
    case res::ID_USER_MANAGE: return Make<CUserManageDlg>();
    case res::ID_COMPANY_DEPT: return Make<CCompanyDeptDlg>();
    case res::ID_DEVICE_MANAGE: return Make<CDeviceManageDlg>();
    case res::ID_USER_PERMISSION: return Make<CPermissionDlg>();
    default: return {};
  }
}
