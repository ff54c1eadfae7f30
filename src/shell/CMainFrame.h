#pragma once
// The single top-level window: the device tree and one live view side by side, the menu that
// switches views, pages the tiles and opens the database dialogs, the redraw after every live
// refresh, and the monitor thread's start and stop. Owns the live device table, the monitor
// thread's own database session and the alarm desk, which the thread consults after every
// refresh; the status bar (AlarmStatusBar) shows what the desk says.
#include <QMainWindow>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "AlarmDesk.h"
#include "AppConfig.h"
#include "DatabaseDialogs.h"
#include "DbSession.h"
#include "DeviceLiveTable.h"
#include "MonitorThread.h"

class QSplitter;
class AcknowledgeCommand;
class AlarmStatusBar;
class CMyTreeView;

// The view in the right pane: 0 table, 1 curves, 2 tiles.
enum LiveViewType : std::uint8_t { kViewTable = 0, kViewCurves = 1, kViewTiles = 2 };

class CMainFrame : public QMainWindow {
  Q_OBJECT
 public:
  // `config.defMode` chooses the first live view: 1 curves, 2 tiles, anything else the table;
  // the communication time-out and the alarm sound come from `config` too.
  explicit CMainFrame(const AppConfig& config, QWidget* parent = nullptr);
  ~CMainFrame() override;

  DeviceLiveTable& LiveTable() { return *table_; }

  // After a successful login: first refresh (on the user-interface thread's session), device
  // tree, role-dependent menu, and the monitor thread on its own session, configured like
  // Db() and opened by the thread. The frame keeps `login` for the live query and the dialogs.
  // `auditTrail`: the database keeps the audit tables (the administration changes are then
  // audited; an administrator is told once when it does not).
  void StartMonitoring(const Login& login, bool auditTrail = false);
  const Login& CurrentLogin() const { return dialogContext_.login; }
  // The type of the live view shown (LiveViewType).
  std::uint8_t ViewMode() const { return viewMode_; }
  // Starts the monitor thread with the given actions (StartMonitoring passes the real ones).
  void StartMonitorThread(MonitorActions actions);
  MonitorThread& Monitor() { return monitor_; }
  // The monitor thread's session; never used by a dialog.
  DbSession& MonitorDb() { return monitorDb_; }
  // Test seam: the clock of the monitor loop StartMonitoring starts (the tick count if unset),
  // so a test can run the 10 s and 60 s steps faster.
  void SetMonitorClock(std::function<std::uint32_t()> clock) { monitorClock_ = std::move(clock); }

  void SwitchLiveView(int type);
  // After every live refresh: applies changed tree check boxes, redraws the live view.
  void OnLiveRefresh();
  // Runs a menu command by id; false when the frame has no handler for it.
  bool OnCommand(int id);

  // Lookups by id and position (tests and callers that speak in command ids).
  QAction* CommandAction(int id) const;
  QAction* MenuBarEntry(int position) const;
  CMyTreeView* TreeView() const;
  QWidget* LiveView() const;
  QSplitter* Splitter() const { return splitter_; }

  // Replaces the dialog a database command opens (an empty factory: the command shows nothing).
  void SetDialogFactory(int commandId, DialogFactory factory);

  // The alarm desk, the status bar's alarm indicators and "确认报警…" (tests look at them here).
  AlarmDesk& Desk() { return *desk_; }
  AlarmStatusBar& AlarmBar() const { return *alarmBar_; }
  AcknowledgeCommand& Acknowledgement() const { return *acknowledge_; }

 signals:
  // Emitted by the refresh handler after it redrew the view of type `viewMode`.
  void liveViewRedrawn(int viewMode);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void BuildMenuBar();
  void BuildBars();
  void BuildAccelerators();
  void CreateClient(int defMode);
  QWidget* CreateLiveView(int type, QWidget* parent);
  void ApplyInitialSplit();
  void EnableMenuPosition(int position, bool enable);
  void UpdatePagingEntries();
  // Holds the user-interface thread's session for the dialog's whole lifetime.
  void OpenDatabaseDialog(int commandId);
  void ShowAboutBox();
  const AppConfig config_;
  DialogContext dialogContext_;
  std::uint8_t viewMode_ = kViewTable;
  // The live curve view's group of ten devices; kept while another view is shown.
  std::int32_t curveGroup_ = 0;
  std::unique_ptr<DeviceLiveTable> table_;
  QSplitter* splitter_ = nullptr;
  bool userMovedSplitter_ = false;
  std::map<int, DialogFactory> dialogFactories_;
  AlarmDesk* desk_ = nullptr;
  AlarmStatusBar* alarmBar_ = nullptr;
  AcknowledgeCommand* acknowledge_ = nullptr;
  // The first refresh failed: the tree is built again after the first one that succeeds.
  bool treePending_ = false;
  std::function<std::uint32_t()> monitorClock_;
  DbSession monitorDb_;    // outlives the thread, which opens and closes its connection
  MonitorThread monitor_;  // declared last: stopped before anything above is destroyed
};
