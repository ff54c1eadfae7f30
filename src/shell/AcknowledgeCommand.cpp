#include "AcknowledgeCommand.h"

#include <QAction>
#include <QInputDialog>
#include <QMenu>
#include <QWidget>

#include "Gbk.h"
#include "MessageBox.h"
#include "StationDb.h"

namespace {

constexpr const char* kAcknowledgeText = "确认报警…";
constexpr const char* kAcknowledgeCaption = "确认报警";
constexpr const char* kAcknowledgeShortcut = "Ctrl+K";
constexpr const char* kNothingToAcknowledge = "该设备没有未确认的报警";
constexpr const char* kCommentPrompt = "设备 %1：原因及处理措施";
constexpr const char* kCommentMissing = "请填写原因及处理措施";
constexpr const char* kCommentNotGbk = "处理说明含有无法保存的字符";
constexpr const char* kAcknowledgeFailed = "确认失败！";

}  // namespace

AcknowledgeCommand::AcknowledgeCommand(QWidget& window, AlarmDesk& desk, const DialogContext& context)
    : QObject(&window), window_(window), desk_(desk), context_(context) {
  action_ = new QAction(QString::fromUtf8(kAcknowledgeText), &window);
  action_->setShortcut(QKeySequence(QString::fromUtf8(kAcknowledgeShortcut)));
  connect(action_, &QAction::triggered, this, [this] {
    const std::string id = selected_ ? selected_() : std::string();
    if (!id.empty()) Acknowledge(id);
  });
  window.addAction(action_);
}

void AcknowledgeCommand::ShowDeviceMenu(QWidget* view, QPoint position, const std::string& deviceId) {
  if (deviceId.empty()) return;
  QMenu menu(&window_);
  QAction* acknowledge = menu.addAction(QString::fromUtf8(kAcknowledgeText));
  acknowledge->setEnabled(desk_.HasUnacknowledged(deviceId) && context_.auditTrail);
  if (menu.exec(view->mapToGlobal(position)) == acknowledge) Acknowledge(deviceId);
}

std::optional<QString> AcknowledgeCommand::AskComment(const std::string& deviceId) {
  if (askComment_) return askComment_(deviceId);
  bool ok = false;
  const QString text =
      QInputDialog::getMultiLineText(&window_, QString::fromUtf8(kAcknowledgeCaption),
                                     QString::fromUtf8(kCommentPrompt).arg(platform::FromGbk(deviceId)), {}, &ok);
  return ok ? std::optional<QString>(text) : std::nullopt;
}

void AcknowledgeCommand::Acknowledge(const std::string& deviceId) {
  if (!context_.auditTrail) {
    platform::MessageBox(&window_, QString::fromUtf8(kAuditDisabledNote));
    return;
  }
  if (!desk_.HasUnacknowledged(deviceId)) {
    platform::MessageBox(&window_, QString::fromUtf8(kNothingToAcknowledge));
    return;
  }
  const std::optional<QString> typed = AskComment(deviceId);
  if (!typed) return;
  const QString comment = typed->trimmed();
  const std::string gbk = platform::ToGbk(comment);
  const char* refusal = comment.isEmpty()                ? kCommentMissing
                        : !platform::GbkCanHold(comment) ? kCommentNotGbk
                        : !AckCommentFits(gbk)           ? kAckCommentTooLongText
                                                         : nullptr;
  if (refusal) {
    platform::MessageBox(&window_, QString::fromUtf8(refusal));
    return;
  }
  if (desk_.Acknowledge(Db(), context_.Acting(), deviceId, gbk) == AlarmDesk::AckResult::kFailed)
    platform::MessageBox(&window_, QString::fromUtf8(kAcknowledgeFailed));
}
