#pragma once
// Numeric ids of dialogs, commands and strings, shared by the tables and the classes.

namespace res {

enum DialogId : int {
  IDD_ABOUTBOX = 100,
  IDD_USER_MANAGE = 130,
  IDD_DEVICE_MANAGE = 131,
  IDD_PERMISSION = 133,
  IDD_COMPANY_DEPT = 135,
  IDD_COMPANY_PAGE = 136,
  IDD_DEPARTMENT_PAGE = 137,
  IDD_HISTORY_QUERY = 140,
  IDD_HISTORY_TABLE = 141,
  IDD_HISTORY_CURVE = 142,
  IDD_HISTORY_STATISTICS = 143,
  IDD_ALARM_RECORDS = 144,
  IDD_LOGIN = 146,
  IDD_AUDIT_LOG = 160,
};

enum StandardId : int { IDOK_BUTTON = 1, IDCANCEL_BUTTON = 2 };

inline constexpr int IDR_MAINFRAME = 128;
inline constexpr int IDS_APP_TITLE = 57344;     // "客户端"
inline constexpr int IDS_IDLE_MESSAGE = 57345;  // "就绪"
inline constexpr int ID_APP_ABOUT = 57664;
inline constexpr int ID_FILE_NEW = 57600;
inline constexpr int ID_FILE_OPEN = 57601;
inline constexpr int ID_FILE_PRINT_SETUP = 57606;

}  // namespace res
