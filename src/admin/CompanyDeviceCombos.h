#pragma once
// Small pieces shared by the administration dialogs: filling drop-down lists from a result and
// picking single values out of one.
#include <QString>
#include <optional>
#include <string>

#include "DbSession.h"

class QComboBox;

namespace admin {

// Empties `combo`, then adds column 0 of every row of `result` in result order. The list is
// left without a selection: the user has to choose. Returns false when the query failed.
bool RefillCombo(QComboBox& combo, const DbResult& result);

// Selects the entry equal to `text`, otherwise the first one that begins with it. Returns the
// index chosen, or -1 with the selection left as it was.
int SelectComboEntry(QComboBox& combo, const QString& text);

// Refills `combo` with every company, in result order and without a selection, as
// res::FillCompanyCombo does (read its entries with res::CompanyNumberAt and the like).
// Returns false when the query failed.
bool LoadCompanyCombo(QComboBox& combo, DbSession& db);

// Column 0 of the first row of `result`. Empty when the query failed or returned no row
// (`result.ok` tells the two apart).
std::optional<std::string> FirstValue(const DbResult& result);

}  // namespace admin
