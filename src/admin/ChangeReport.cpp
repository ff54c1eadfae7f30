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
const QString kAddUnconfirmedText = QStringLiteral("数据库连接中断，添加结果未确认，请核对列表！");
const QString kRenameUnconfirmedText = QStringLiteral("数据库连接中断，修改结果未确认，请核对列表！");
const QString kDeleteUnconfirmedText = QStringLiteral("数据库连接中断，删除结果未确认，请核对列表！");
const QString kDeleteCaptionText = QStringLiteral("删除确认");

QString OutcomeText(Change change, const ChangeOutcome& outcome) {
  const bool succeeded = outcome.Succeeded();
  const bool unconfirmed = outcome.kind == ChangeOutcome::Kind::kUnconfirmed;
  switch (change) {
    case Change::kAdd: return unconfirmed ? kAddUnconfirmedText : succeeded ? kAddedText : kAddFailedText;
    case Change::kRename: return unconfirmed ? kRenameUnconfirmedText : succeeded ? kRenamedText : kRenameFailedText;
    case Change::kDelete: return unconfirmed ? kDeleteUnconfirmedText : succeeded ? kDeletedText : kDeleteFailedText;
  }
  return {};
}

}  // namespace

bool ConfirmDelete(QWidget* dialog, const QString& question) {
  return platform::MessageBox(dialog, question, kDeleteCaptionText, platform::MB_YESNO) == platform::IDYES;
}

void ReportChange(res::DialogBase& dialog, int statusId, Change change, const ChangeOutcome& outcome,
                  const std::function<void()>& refillList) {
  if (outcome.Succeeded() || outcome.kind == ChangeOutcome::Kind::kUnconfirmed) refillList();
  dialog.SetDlgItemText(statusId, OutcomeText(change, outcome));
}

}  // namespace admin
