#pragma once
// "确认报警…": the window's command that asks the operator for the cause and the action taken and
// has the alarm desk store one acknowledgement per open, unacknowledged event of a device, on
// the window's session. Offered by Ctrl+K and by the live views' context menus.
#include <QObject>
#include <QPoint>
#include <QString>
#include <functional>
#include <optional>
#include <string>

#include "AlarmDesk.h"
#include "DatabaseDialogs.h"

class QAction;
class QWidget;

class AcknowledgeCommand : public QObject {
  Q_OBJECT
 public:
  // `window` owns the command; `context` says who acts and whether the audit tables exist.
  AcknowledgeCommand(QWidget& window, AlarmDesk& desk, const DialogContext& context);

  // The shortcut's action; `selectedDevice` names the device it acknowledges (empty: none).
  QAction* Action() const { return action_; }
  void SetSelectedDevice(std::function<std::string()> selectedDevice) { selected_ = std::move(selectedDevice); }

  // The context menu of a live view at `position` over the device `deviceId` (GBK).
  void ShowDeviceMenu(QWidget* view, QPoint position, const std::string& deviceId);
  void Acknowledge(const std::string& deviceId);

  // Test seam: asks for the comment (std::nullopt: cancelled); a text input dialog by default.
  using CommentPrompt = std::function<std::optional<QString>(const std::string& deviceId)>;
  void SetCommentPrompt(CommentPrompt prompt) { askComment_ = std::move(prompt); }

 private:
  std::optional<QString> AskComment(const std::string& deviceId);

  QWidget& window_;
  AlarmDesk& desk_;
  const DialogContext& context_;
  QAction* action_;
  std::function<std::string()> selected_;
  CommentPrompt askComment_;
};
