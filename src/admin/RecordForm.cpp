#include "RecordForm.h"

#include "DialogBase.h"
#include "ReportListView.h"

namespace admin {

RecordForm::RecordForm(res::DialogBase& page, Ids ids, NumberRule rule, QString nameLabel,
                       std::function<void()> refillList)
    : page_(page),
      ids_(ids),
      rule_(std::move(rule)),
      nameLabel_(std::move(nameLabel)),
      refillList_(std::move(refillList)) {}

bool RecordForm::ShowListRow(const res::ReportListView& list, int row) {
  if (row < 0) return false;
  page_.SetDlgItemText(ids_.number, list.GetItemText(row, 0));
  page_.SetDlgItemText(ids_.name, list.GetItemText(row, 1));
  return true;
}

std::optional<TypedRecord> RecordForm::Take(bool nameRequired, bool othersPresent) {
  TypedRecord typed{TakeTrimmedNumber(page_, ids_.number), page_.GetDlgItemText(ids_.name)};
  if (typed.number.isEmpty() || (nameRequired && typed.name.isEmpty()) || !othersPresent) return std::nullopt;
  if (!CheckNumberAndName(page_, ids_.status, rule_, typed.number, {nameLabel_, typed.name})) return std::nullopt;
  return typed;
}

std::optional<QString> RecordForm::TakeNumber(bool othersPresent) {
  const QString number = TakeTrimmedNumber(page_, ids_.number);
  if (number.isEmpty() || !othersPresent) return std::nullopt;
  if (!CheckNumberAndName(page_, ids_.status, rule_, number, {nameLabel_, QString()})) return std::nullopt;
  return number;
}

void RecordForm::Report(Change change, const ChangeOutcome& outcome) {
  ReportChange(page_, ids_.status, change, outcome, refillList_);
}

}  // namespace admin
