#include "StationStartup.h"

#include <QScreen>

#include "CLoginDlg.h"
#include "CMainFrame.h"
#include "CVeltraneDoc.h"

std::unique_ptr<CMainFrame> StartStation(const AppConfig& config) {
  auto frame = std::make_unique<CMainFrame>(config);
  // Without a window manager "maximised" is only a flag: cover the screen's work area anyway.
  if (const QScreen* screen = frame->screen()) frame->setGeometry(screen->availableGeometry());
  frame->showMaximized();

  CLoginDlg login;  // no parent, as at every start
  if (login.exec() != QDialog::Accepted) return nullptr;

  frame->StartMonitoring(login.LoggedIn(), login.AuditTrail());
  CVeltraneDoc document;
  document.OnNewDocument();
  frame->setWindowTitle(document.Title());
  return frame;
}
