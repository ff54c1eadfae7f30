#include "CompanyCombo.h"

#include <QComboBox>
#include <QMap>

#include "Gbk.h"

namespace res {
namespace {
const QString kTwinNameFormat = QStringLiteral("%1 (%2)");
constexpr int kNumberRole = Qt::UserRole;
constexpr int kNameRole = Qt::UserRole + 1;
}  // namespace

void FillCompanyCombo(QComboBox& combo, std::span<const std::vector<std::string>> gbkRows) {
  combo.clear();
  QMap<QString, int> nameUses;
  std::vector<std::pair<QString, QString>> companies;
  for (const std::vector<std::string>& row : gbkRows) {
    companies.emplace_back(platform::FromGbk(row.size() > 0 ? row[0] : ""),
                           platform::FromGbk(row.size() > 1 ? row[1] : ""));
    ++nameUses[companies.back().second];
  }
  for (const auto& [number, name] : companies) {
    combo.addItem(nameUses[name] > 1 ? kTwinNameFormat.arg(name, number) : name);
    combo.setItemData(combo.count() - 1, number, kNumberRole);
    combo.setItemData(combo.count() - 1, name, kNameRole);
  }
  combo.setCurrentIndex(-1);
}

QString CompanyNumberAt(const QComboBox& combo, int index) { return combo.itemData(index, kNumberRole).toString(); }

QString CompanyNameAt(const QComboBox& combo, int index) { return combo.itemData(index, kNameRole).toString(); }

int SelectCompanyByNumber(QComboBox& combo, const QString& number) {
  const int index = combo.findData(number, kNumberRole, Qt::MatchExactly | Qt::MatchCaseSensitive);
  if (index >= 0) combo.setCurrentIndex(index);
  return index;
}

}  // namespace res
