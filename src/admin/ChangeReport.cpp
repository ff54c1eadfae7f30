#include "ChangeReport.h"

#include <QString>

#include "DialogBase.h"
#include "MessageBox.h"

namespace admin {
namespace {

const QString kAddedText = QStringLiteral("添加成功！");
const QString kAddFailedText = QStringLiteral("添加失败！");
const QString kRenamedText = QStringLiteral("修改成功！");
const QString kRenameFailedText = QStringLiteral("修改失败！");
const QString kDeletedText = QStringLiteral("删除成功！");
const QString kDeleteFailedText = QStringLiteral("删除失败！");
const QString kDeleteCaptionText = QStringLiteral("删除确认");

QString OutcomeText(Change change, bool succeeded) {
  switch (change) {
    case Change::kAdd: return succeeded ? kAddedText : kAddFailedText;
    case Change::kRename: return succeeded ? kRenamedText : kRenameFailedText;
    case Change::kDelete: return succeeded ? kDeletedText : kDeleteFailedText;
  }
  return {};
}

}  // namespace

bool ConfirmDelete(QWidget* dialog, const QString& question) {
  return platform::MessageBox(dialog, question, kDeleteCaptionText, platform::MB_YESNO) == platform::IDYES;
}

void ReportChange(res::DialogBase& dialog, int statusId, Change change, bool succeeded,
                  const std::function<void()>& refillList) {
  if (succeeded) refillList();
  dialog.SetDlgItemText(statusId, OutcomeText(change, succeeded));
}

}  // namespace admin
