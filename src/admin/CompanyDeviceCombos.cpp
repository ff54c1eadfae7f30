#include "CompanyDeviceCombos.h"

#include <QComboBox>

#include "DbSession.h"
#include "Gbk.h"

namespace admin {

bool RefillCombo(QComboBox& combo, DbSession& db, const std::string& sql) {
  combo.clear();
  const DbResult result = db.Select(sql, DbFetch::Use);
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

std::optional<std::string> FirstValue(DbSession& db, const std::string& sql, bool* queryOk) {
  const DbResult result = db.Select(sql, DbFetch::Use);
  if (queryOk) *queryOk = result.ok;
  if (!result.ok || result.rows.empty() || result.rows.front().empty()) return std::nullopt;
  return result.rows.front()[0];
}

void FitComboHeights(QWidget* dialog) {
  for (QComboBox* combo : dialog->findChildren<QComboBox*>(Qt::FindDirectChildrenOnly))
    combo->resize(combo->width(), combo->sizeHint().height());
}

}  // namespace admin
