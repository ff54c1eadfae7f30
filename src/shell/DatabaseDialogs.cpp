#include "DatabaseDialogs.h"

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <optional>

#include "CAuditLogDlg.h"
#include "CCompanyDeptDlg.h"
#include "CDeviceManageDlg.h"
#include "CHistoryCurvePage.h"
#include "CHistoryQueryDlg.h"
#include "CPermissionDlg.h"
#include "CUserManageDlg.h"
#include "DialogBase.h"
#include "MainMenu.h"
#include "MessageBox.h"
#include "StationDb.h"

const char* const kDatabaseFaultText = "数据库连接失败!";

namespace {

// How every status text about the link begins ("数据库连接失败!", "数据库连接中断，…").
constexpr const char* kLinkLostPrefix = "数据库连接";

// Every administration dialog and page keeps its outcome line under this id.
constexpr int kStatusLineId = 1010;

// Every database dialog works on the process-wide session; the administration dialogs make
// their changes in the logged-in user's name, audited when the database keeps a trail.
template <class Dialog>
DialogFactory MakeAdministration(const DialogContext& context) {
  return [&context](QWidget* parent) -> std::unique_ptr<QDialog> {
    return std::make_unique<Dialog>(Db(), context.Acting(), parent);
  };
}

DialogFactory MakeHistoryQuery(DialogContext& context) {
  return [&context](QWidget* parent) -> std::unique_ptr<QDialog> {
    auto dialog = std::make_unique<CHistoryQueryDlg>(Db(), context.login, parent);
    CHistoryCurvePage* curves = dialog->CurvePage();
    curves->SetGroupIndex(context.historyCurveGroup);
    QObject::connect(dialog.get(), &QDialog::finished, curves,
                     [&context, curves] { context.historyCurveGroup = curves->GroupIndex(); });
    return dialog;
  };
}

class BusyCursor {
 public:
  BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~BusyCursor() { QApplication::restoreOverrideCursor(); }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;
};

// The visible status line of the dialog (or of its visible page), if it has one.
res::DialogBase* StatusLineOwner(QWidget* dialog) {
  for (QWidget* control : dialog->findChildren<QWidget*>()) {
    if (res::ControlId(control) != kStatusLineId || !control->isVisibleTo(dialog)) continue;
    if (auto* owner = qobject_cast<res::DialogBase*>(control->parentWidget())) return owner;
  }
  return nullptr;
}

// Collects the faults of one user action into one notice, shown once the action is over.
struct FaultNotice {
  QPointer<QWidget> dialog;
  bool pending = false;

  static void Schedule(const std::shared_ptr<FaultNotice>& notice) {
    if (notice->pending) return;
    notice->pending = true;
    QTimer::singleShot(0, qApp, [notice] { notice->Show(); });
  }
  void Show() {
    pending = false;
    // The action that met the fault got over it (it reconnected and found out what happened)
    // and has said so itself.
    if (!Db().LinkFaultPending()) return;
    const QString text = QString::fromUtf8(kDatabaseFaultText);
    if (dialog) {
      if (res::DialogBase* owner = StatusLineOwner(dialog)) {
        // An outcome that already tells of the lost link (a change left unconfirmed) stays.
        if (!owner->GetDlgItemText(kStatusLineId).startsWith(QString::fromUtf8(kLinkLostPrefix)))
          owner->SetDlgItemText(kStatusLineId, text);
      } else {
        platform::MessageBox(dialog, text);
      }
    }
    Db().ClearLinkFault();
  }
};

}  // namespace

DialogFactory DatabaseDialogFactory(int commandId, DialogContext& context) {
  switch (commandId) {
    case res::ID_HISTORY_QUERY: return MakeHistoryQuery(context);
    case res::ID_USER_MANAGE: return MakeAdministration<CUserManageDlg>(context);
    case res::ID_COMPANY_DEPT: return MakeAdministration<CCompanyDeptDlg>(context);
    case res::ID_DEVICE_MANAGE: return MakeAdministration<CDeviceManageDlg>(context);
    case res::ID_USER_PERMISSION: return MakeAdministration<CPermissionDlg>(context);
    case res::ID_AUDIT_LOG:
      return [&context](QWidget* parent) -> std::unique_ptr<QDialog> {
        return std::make_unique<CAuditLogDlg>(Db(), context.auditTrail, parent);
      };
    default: return {};
  }
}

void RunDatabaseDialog(QWidget* parent, const DialogFactory& factory) {
  DbSession& db = Db();
  auto notice = std::make_shared<FaultNotice>();
  std::unique_ptr<QDialog> dialog;
  std::optional<BusyCursor> waiting(std::in_place);
  // The dialog holds the user-interface thread's session for its lifetime. The monitor thread
  // has a session of its own and runs on meanwhile: there is nobody to wait for.
  DbSession::HeldUseHooks hooks;
  hooks.onLinkFault = [notice] { FaultNotice::Schedule(notice); };
  hooks.onStatementStart = [] { QApplication::setOverrideCursor(Qt::WaitCursor); };
  hooks.onStatementEnd = [] { QApplication::restoreOverrideCursor(); };
  db.BeginHeldUse(std::move(hooks));
  // The last connect failed: try once more now, or the dialog would stay empty.
  if (!db.LastConnectSucceeded()) {
    db.ConnectDatabase();
    if (!db.LastConnectSucceeded()) db.ReportLinkFault();
  }
  dialog = factory(parent);
  notice->dialog = dialog.get();
  waiting.reset();

  if (dialog) dialog->exec();
  // A notice still queued belongs to a dialog that is gone.
  notice->dialog = nullptr;
  db.EndHeldUse();
}
