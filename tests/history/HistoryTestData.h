#pragma once
// A small catalogue of companies, departments, devices and grants for the history tests,
// and helpers to write readings. Texts are written in GBK as the collector writes them.
#include <QComboBox>
#include <QDateEdit>
#include <string>

#include "CHistoryQueryDlg.h"
#include "DbSession.h"
#include "Gbk.h"
#include "HistoryQueryTemplate.h"
#include "LoginState.h"
#include "ReportListView.h"
#include "SharedDatabaseTest.h"

namespace history_test {

inline std::string Gbk(const char* utf8) { return platform::Utf8ToGbk(utf8); }

// 华东公司 (0001): 仓库一 (01) with D000000001, D000000002; 仓库二 (02) with D000000003.
// 华南公司 (0002): 冷库 (01) with D000000004 and the quoted id D'00000005.
// 空公司 (0003): no departments. 张三 is granted 华南公司/冷库, 李四 nothing.
inline void WriteCatalogue(TestDatabase& db) {
  db.Exec(Gbk("insert into company_tab values ('0001','华东公司'),('0002','华南公司'),('0003','空公司')"));
  db.Exec(
      Gbk("insert into department_tab values ('01','0001','仓库一'),('02','0001','仓库二'),"
          "('01','0002','冷库')"));
  db.Exec(
      Gbk("insert into device_tab values ('D000000001','一号探头','0001','01'),"
          "('D000000002','二号探头','0001','01'),('D000000003','三号探头','0001','02'),"
          "('D000000004','冷库探头','0002','01'),('D''00000005','引号探头','0002','01')"));
  db.Exec(Gbk("insert into user_tab values ('admin','a',1),('张三','b',2),('李四','c',2)"));
  db.Exec(Gbk("insert into permission_tab values ('张三','0002','01')"));
}

struct Reading {
  std::string device;
  std::string datetime;
  const char* tempe = "20.0";
  int tempeAlarm = 0;
  const char* hum = "50.0";
  int humAlarm = 0;
  const char* voltage = "3.6";
  int power = 1;
};

inline void WriteReading(TestDatabase& db, const Reading& r, const char* company = "0001",
                         const char* department = "01") {
  db.Exec("insert into history_tab values ('" + EscapeGbkLiteral(r.device) + "','" + company + "','" + department +
          "','" + r.datetime + "'," + r.tempe + "," + std::to_string(r.tempeAlarm) + "," + r.hum + "," +
          std::to_string(r.humAlarm) + ",30.0," + r.voltage + "," + std::to_string(r.power) + ",12.0)");
}

inline Login TestLogin(const char* utf8Name, int role) { return {Gbk(utf8Name), role}; }
inline const Login kAdminLogin{"admin", kRoleAdministrator};

inline void ChooseCombo(CHistoryQueryDlg& dlg, int id, const char* utf8Text) {
  auto* combo = res::Control<QComboBox>(&dlg, id);
  const int index = combo->findText(QString::fromUtf8(utf8Text));
  combo->setCurrentIndex(index);
  emit combo->activated(index);
}

inline void AddQueryRow(CHistoryQueryDlg& dlg, const char* id) {
  dlg.QueryList()->AppendRow({platform::FromGbk(id), QString(), QString(), QString()});
}

inline void SetDates(CHistoryQueryDlg& dlg, QDate start, QDate end) {
  res::Control<QDateEdit>(&dlg, res::IDC_HQ_START_DATE)->setDate(start);
  res::Control<QDateEdit>(&dlg, res::IDC_HQ_END_DATE)->setDate(end);
}

inline QStringList ComboTexts(CHistoryQueryDlg& dlg, int id) {
  auto* combo = res::Control<QComboBox>(&dlg, id);
  QStringList texts;
  for (int i = 0; i < combo->count(); ++i) texts << combo->itemText(i);
  return texts;
}

}  // namespace history_test
