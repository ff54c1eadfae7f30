#include "DatabaseDialogs.h"

#include "MainMenu.h"

DialogFactory DatabaseDialogFactory(int commandId) {
  switch (commandId) {
    case res::ID_HISTORY_QUERY:
    case res::ID_USER_MANAGE:
    case res::ID_COMPANY_DEPT:
    case res::ID_DEVICE_MANAGE:
    case res::ID_USER_PERMISSION:
    default: return {};
  }
}
