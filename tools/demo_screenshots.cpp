// Pictures for docs/ from the running demo (server, demo data and collector simulator), taken
// through the station's own windows after a real login check as admin (管理员):
//
//   cd run && ../build/tools/demo-screenshots ../docs [SECONDS]
//
// The live views run SECONDS (default 130) first, so the curves have some samples and the
// devices that stopped reporting show "通讯掉线" (TIMEOUT=120).
// writes main_window.png (live table), live-curves.png, live-tiles.png, history-table.png,
// history-curve.png, history-report.pdf (for pdftoppm), and the administration dialogs
// (user_manage_dialog.png, company_page.png, department_page.png, device_manage_dialog.png,
// permission_dialog.png), the about box (about.png), and the alarm summary at 1600 pixels wide
// (live-alarm-summary.png, status-bar-alarms.png). scripts/screenshots runs it under Xvfb at 1366x768.
#include <QApplication>
#include <QComboBox>
#include <QDate>
#include <QDateEdit>
#include <QEventLoop>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTabBar>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

#include "AppConfig.h"
#include "CAboutDlg.h"
#include "CAlarmRecordDlg.h"
#include "CCompanyDeptDlg.h"
#include "CHistoryQueryDlg.h"
#include "CHistoryTablePage.h"
#include "CMainFrame.h"
#include "CompanyDeptTemplate.h"
#include "DatabaseDialogs.h"
#include "Fonts.h"
#include "HistoryExport.h"
#include "HistoryQueryTemplate.h"
#include "LoginCheck.h"
#include "LoginState.h"
#include "MainMenu.h"
#include "ReportListView.h"
#include "StationDb.h"
#include "TextTableModel.h"
#include "TickCount.h"

namespace {

QString outDir;
constexpr int kWideWidth = 1600, kWideHeight = 900;
constexpr std::uint32_t kSilentMs = 30000;

void Settle(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

bool Save(QWidget& widget, const char* name) {
  Settle(200);
  const bool ok = widget.grab().save(outDir + "/" + QString::fromLatin1(name));
  std::fprintf(stderr, "demo-screenshots: %s %s\n", name, ok ? "written" : "FAILED");
  return ok;
}

void Click(QWidget* dialog, int id) {
  if (auto* button = res::Control<QPushButton>(dialog, id)) button->click();
}

const Login kDemoLogin{"admin", kRoleAdministrator};

void ShootHistory() {
  CHistoryQueryDlg dlg(Db(), kDemoLogin);
  const QDate yesterday = QDate::currentDate().addDays(-1);
  res::Control<QDateEdit>(&dlg, res::IDC_HQ_START_DATE)->setDate(yesterday);
  res::Control<QDateEdit>(&dlg, res::IDC_HQ_END_DATE)->setDate(yesterday);
  auto* company = res::Control<QComboBox>(&dlg, res::IDC_HQ_COMPANY);
  company->setCurrentIndex(0);
  emit company->activated(0);
  Click(&dlg, res::IDC_HQ_ADD_ALL);
  dlg.show();
  Click(&dlg, res::IDC_HQ_QUERY);
  Save(dlg, "history-table.png");
  dlg.TablePage()->ShowAlarmRecords();
  if (QDialog* records = dlg.TablePage()->AlarmRecordDialog()) Save(*records, "alarm-records.png");
  ExportPdf(nullptr, *dlg.TablePage()->ResultList()->Model(), (outDir + "/history-report.pdf").toStdString());
  res::Control<QTabBar>(&dlg, res::IDC_HQ_TABS)->setCurrentIndex(1);
  Click(&dlg, res::IDC_HQ_QUERY);
  Save(dlg, "history-curve.png");
}

void ShootAdministration(QWidget* frame) {
  const struct {
    int command;
    const char* name;
  } dialogs[] = {
      {res::ID_USER_MANAGE, "user_manage_dialog.png"},
      {res::ID_DEVICE_MANAGE, "device_manage_dialog.png"},
      {res::ID_USER_PERMISSION, "permission_dialog.png"},
      {res::ID_AUDIT_LOG, "audit_log_dialog.png"},
  };
  DialogContext context{kDemoLogin};
  context.auditTrail = true;
  for (const auto& d : dialogs) {
    std::unique_ptr<QDialog> dialog = DatabaseDialogFactory(d.command, context)(frame);
    dialog->show();
    Save(*dialog, d.name);
  }
  std::unique_ptr<QDialog> dialog = DatabaseDialogFactory(res::ID_COMPANY_DEPT, context)(frame);
  dialog->show();
  Save(*dialog, "company_page.png");
  if (auto* tabs = res::Control<QTabBar>(dialog.get(), res::IDC_COMPANY_DEPT_TABS)) tabs->setCurrentIndex(1);
  Save(*dialog, "department_page.png");
}

// The live table wide enough for its fault column, with the status bar's alarm summary; then
// the status bar alone, fresh and as it reads once the database has not answered for 30 s
// (the monitor is stopped and the tick clock moved on, so no refresh comes in between).
bool ShootAlarmSummary(CMainFrame& frame) {
  const QRect maximised = frame.geometry();
  frame.showNormal();
  frame.setGeometry(0, 0, kWideWidth, kWideHeight);
  frame.OnLiveRefresh();
  bool ok = Save(frame, "live-alarm-summary.png");
  const QImage fresh = frame.statusBar()->grab().toImage();
  frame.Monitor().Stop();
  const std::uint32_t later = platform::GetTickCount() + kSilentMs;
  platform::SetTickSource([later] { return later; });
  Settle(1500);  // the freshness check runs every second
  const QImage stale = frame.statusBar()->grab().toImage();
  platform::SetTickSource({});
  QImage both(fresh.width(), fresh.height() + stale.height(), QImage::Format_RGB32);
  QPainter painter(&both);
  painter.drawImage(0, 0, fresh);
  painter.drawImage(0, fresh.height(), stale);
  painter.end();
  const bool saved = both.save(outDir + QStringLiteral("/status-bar-alarms.png"));
  std::fprintf(stderr, "demo-screenshots: status-bar-alarms.png %s\n", saved ? "written" : "FAILED");
  frame.setGeometry(maximised);
  frame.showMaximized();
  return ok && saved;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  app.setFont(res::UiFont(9));
  outDir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
  const int liveSeconds = argc > 2 ? std::atoi(argv[2]) : 130;
  const AppConfig config = LoadConfig();
  ConnectWithConfig(Db(), config);
  if (CheckLogin(Db(), "admin", "admin", kRoleAdministrator) != LoginCheckResult::kAccepted) {
    std::fprintf(stderr,
                 "demo-screenshots: admin/admin (管理员) refused; is the demo server up (scripts/demo --no-start)?\n");
    return 1;
  }
  CMainFrame frame(config);
  if (const QScreen* screen = frame.screen()) frame.setGeometry(screen->availableGeometry());
  frame.showMaximized();
  frame.StartMonitoring(kDemoLogin, true);
  frame.setWindowTitle(QStringLiteral("温湿度智能监控系统"));
  Settle(liveSeconds * 1000);  // the monitor thread refreshes every 10 s meanwhile
  frame.OnLiveRefresh();
  bool ok = Save(frame, "main_window.png");
  frame.SwitchLiveView(kViewCurves);
  frame.OnLiveRefresh();
  ok &= Save(frame, "live-curves.png");
  frame.SwitchLiveView(kViewTiles);
  frame.OnLiveRefresh();
  ok &= Save(frame, "live-tiles.png");
  frame.SwitchLiveView(kViewTable);
  ok &= ShootAlarmSummary(frame);

  // The dialogs hold the session as the menu commands do.
  Db().BeginHeldUse({});
  ShootHistory();
  ShootAdministration(&frame);
  Db().EndHeldUse();
  CAboutDlg about(&frame);
  about.show();
  ok &= Save(about, "about.png");
  frame.close();
  return ok ? 0 : 1;
}
