#pragma once
// A company drop-down whose entries carry their company's number and name, shared by the
// administration dialogs and the history dialog. Companies are told apart by number, never by
// the text shown: where two share a name both entries show the number too, e.g.
// "南城食品有限公司 (0005)".
#include <QString>
#include <span>
#include <string>
#include <vector>

class QComboBox;

namespace res {

// Empties `combo`, then adds one entry per row (company number, company name, both GBK) in
// row order. The list is left without a selection.
void FillCompanyCombo(QComboBox& combo, std::span<const std::vector<std::string>> gbkRows);
// Number and name of an entry made by FillCompanyCombo; empty for no entry.
QString CompanyNumberAt(const QComboBox& combo, int index);
QString CompanyNameAt(const QComboBox& combo, int index);
// Selects the entry of the company with `number`; returns its index or -1 (selection kept).
int SelectCompanyByNumber(QComboBox& combo, const QString& number);

}  // namespace res
