#pragma once
// The number (or id) and name fields of an administration page, with its status line and its
// list: the steps every add, rename and delete of a company, department or device begins and
// ends with.
#include <QString>
#include <functional>
#include <optional>

#include "ChangeReport.h"
#include "FieldRules.h"

namespace res {
class DialogBase;
class ReportListView;
}  // namespace res

namespace admin {

struct TypedRecord {
  QString number;  // without surrounding blanks
  QString name;
};

class RecordForm {
 public:
  struct Ids {
    int number;
    int name;
    int status;
  };
  // `refillList` lists the page again after a change (with the query that last filled it).
  RecordForm(res::DialogBase& page, Ids ids, NumberRule rule, QString nameLabel, std::function<void()> refillList);

  // Puts the number and name of list row `row` (columns 0 and 1) into the fields; false for no row.
  bool ShowListRow(const res::ReportListView& list, int row);
  // The typed number (the field then shows it trimmed) and name. Nothing when the number is
  // empty, the name is required and empty, `othersPresent` is false (another field the change
  // needs is empty), or the check of the typed text refuses it (see CheckNumberAndName).
  std::optional<TypedRecord> Take(bool nameRequired, bool othersPresent = true);
  // The same for a delete, which needs only the number.
  std::optional<QString> TakeNumber(bool othersPresent = true);
  // Says the outcome in the status line; after a success the list is refilled first.
  void Report(Change change, const ChangeOutcome& outcome);

 private:
  res::DialogBase& page_;
  Ids ids_;
  NumberRule rule_;
  QString nameLabel_;
  std::function<void()> refillList_;
};

}  // namespace admin
