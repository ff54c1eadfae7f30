#include "CompanyDeviceCombos.h"

#include <QComboBox>

#include "Catalogue.h"
#include "CompanyCombo.h"
#include "Gbk.h"

namespace admin {

bool LoadCompanyCombo(QComboBox& combo, DbSession& db) {
  const DbResult result = catalogue::Companies(db);
  res::FillCompanyCombo(combo, result.rows);
  return result.ok;
}

bool RefillCombo(QComboBox& combo, const DbResult& result) {
  combo.clear();
  for (const DbRow& row : result.rows) combo.addItem(platform::FromGbk(row.empty() ? "" : row[0]));
  combo.setCurrentIndex(-1);
  return result.ok;
}

int SelectComboEntry(QComboBox& combo, const QString& text) {
  int index = combo.findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
  if (index < 0) index = combo.findText(text, Qt::MatchStartsWith);
  if (index >= 0) combo.setCurrentIndex(index);
  return index;
}

std::optional<std::string> FirstValue(const DbResult& result) {
  if (!result.ok || result.rows.empty() || result.rows.front().empty()) return std::nullopt;
  return result.rows.front()[0];
}

}  // namespace admin
