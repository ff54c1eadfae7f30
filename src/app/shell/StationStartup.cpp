#include "StationStartup.h"

#include "CLoginDlg.h"
#include "CMainFrame.h"
#include "CVeltraneDoc.h"

std::unique_ptr<CMainFrame> StartStation(int defMode) {
  auto frame = std::make_unique<CMainFrame>(defMode);
  frame->showMaximized();

  CLoginDlg login;  // no parent, as at every start
  if (login.exec() != QDialog::Accepted) return nullptr;

  frame->StartMonitoring();
  CVeltraneDoc document;
  document.OnNewDocument();
  frame->setWindowTitle(document.Title());
  return frame;
}
