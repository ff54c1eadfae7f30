#include "CompanyDeviceCombos.h"

#include <QComboBox>
#include <QMap>
#include <vector>

#include "Catalogue.h"
#include "Gbk.h"

namespace admin {
namespace {
const QString kTwinNameFormat = QStringLiteral("%1 (%2)");
constexpr int kNumberRole = Qt::UserRole;
constexpr int kNameRole = Qt::UserRole + 1;
}  // namespace

bool LoadCompanyCombo(QComboBox& combo, DbSession& db) {
  combo.clear();
  const DbResult result = catalogue::Companies(db);
  QMap<QString, int> nameUses;
  std::vector<std::pair<QString, QString>> companies;
  for (const DbRow& row : result.rows) {
    companies.emplace_back(platform::FromGbk(row.size() > 0 ? row[0] : ""), platform::FromGbk(row.size() > 1 ? row[1] : ""));
    ++nameUses[companies.back().second];
  }
  for (const auto& [number, name] : companies) {
    combo.addItem(nameUses[name] > 1 ? kTwinNameFormat.arg(name, number) : name);
    combo.setItemData(combo.count() - 1, number, kNumberRole);
    combo.setItemData(combo.count() - 1, name, kNameRole);
  }
  combo.setCurrentIndex(-1);
  return result.ok;
}

QString CompanyNumberAt(const QComboBox& combo, int index) { return combo.itemData(index, kNumberRole).toString(); }

QString CompanyNameAt(const QComboBox& combo, int index) { return combo.itemData(index, kNameRole).toString(); }

int SelectCompanyByNumber(QComboBox& combo, const QString& number) {
  const int index = combo.findData(number, kNumberRole, Qt::MatchExactly | Qt::MatchCaseSensitive);
  if (index >= 0) combo.setCurrentIndex(index);
  return index;
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
