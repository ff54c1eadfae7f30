#pragma once
// The steps every add, rename and delete of the administration dialogs shares.
#include <functional>

#include "AdminChanges.h"

class QString;
class QWidget;

namespace res {
class DialogBase;
}

namespace admin {

enum class Change { kAdd, kRename, kDelete };

// Asks `question` under the delete caption; true when the answer is yes.
bool ConfirmDelete(QWidget* dialog, const QString& question);

// A failure is only said in the status line `statusId`; after a success the list is refilled
// first (with the statement that last filled it, so a search stays in force), then the success
// is said. An outcome that could not be confirmed refills the list too (the user sees what is
// there) and says so.
void ReportChange(res::DialogBase& dialog, int statusId, Change change, const ChangeOutcome& outcome,
                  const std::function<void()>& refillList);

}  // namespace admin
