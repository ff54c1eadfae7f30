#pragma once
// Outcome texts and the confirmation caption shared by the administration dialogs.
#include <QString>

namespace admin {
inline const QString kAddedText = QStringLiteral("添加成功！");
inline const QString kAddFailedText = QStringLiteral("添加失败！");
inline const QString kRenamedText = QStringLiteral("修改成功！");
inline const QString kRenameFailedText = QStringLiteral("修改失败！");
inline const QString kDeletedText = QStringLiteral("删除成功！");
inline const QString kDeleteFailedText = QStringLiteral("删除失败！");
inline const QString kDeleteCaptionText = QStringLiteral("删除确认");
}  // namespace admin
