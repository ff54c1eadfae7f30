#pragma once
// The modal dialogs the main frame opens while it holds its session: history query and the
// four administration dialogs, created by command id, and the hold itself.
#include <QDialog>
#include <cstdint>
#include <functional>
#include <memory>

#include "AuditTrail.h"
#include "LoginState.h"

using DialogFactory = std::function<std::unique_ptr<QDialog>(QWidget* parent)>;

// What the shell hands the database dialogs: who is logged in, and what the history dialog
// showed when it was last closed (its curve page's group), so the next opening starts there.
struct DialogContext {
  Login login;
  std::int32_t historyCurveGroup = 0;
  // The database has the audit tables (checked once at login); changes are then audited.
  bool auditTrail = false;

  Actor Acting() const { return {login.userName, StationHostName(), auditTrail}; }
};

// The dialog for a database command, or an empty factory when the command opens none.
// `context` must outlive the factory and the dialogs it makes.
DialogFactory DatabaseDialogFactory(int commandId, DialogContext& context);

// Holds the user-interface thread's session (Db()) for a dialog's whole lifetime, as the main
// frame's commands do (the monitor thread, on its own session, runs on meanwhile and is never
// waited for): connects once if the last attempt had failed, and tells the user about lost
// links: in the dialog's status line where it has one, otherwise in a message box. Shows the
// busy cursor while the dialog is built and while a statement runs.
void RunDatabaseDialog(QWidget* parent, const DialogFactory& factory);

// What the user is told when the database cannot be reached from a dialog.
extern const char* const kDatabaseFaultText;
