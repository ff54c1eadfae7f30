// The main frame: menu entries and ids, enabling by position and role, view switching and
// paging, the redraw after a refresh, the database hold around dialogs, and closing while the
// monitor thread waits for the window.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QSplitter>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <optional>
#include <thread>

#include "AcknowledgeCommand.h"
#include "AlarmBell.h"
#include "AlarmStatusBar.h"
#include "AuditTrail.h"
#include "CAboutDlg.h"
#include "CCurveView.h"
#include "CIconView.h"
#include "CMainFrame.h"
#include "CMyTreeView.h"
#include "CVeltraneView.h"
#include "DbSession.h"
#include "DbSessionTestSeam.h"
#include "Diagnostic.h"
#include "FakeMonitorActions.h"
#include "Gbk.h"
#include "LoginState.h"
#include "MainMenu.h"
#include "NotifyCommand.h"
#include "NotifyTestSupport.h"
#include "RefreshLiveTable.h"
#include "ResourceIds.h"
#include "ScriptedMessageBoxes.h"
#include "SharedDatabaseTest.h"
#include "TickCount.h"

namespace {

QString Text(const char* utf8) { return QString::fromUtf8(utf8); }

AppConfig WithDefMode(int defMode) {
  AppConfig config;
  config.defMode = defMode;
  return config;
}
const AppConfig kTableFirst = WithDefMode(0);
const Login kAdmin{"admin", kRoleAdministrator};

// A mouse click on the tree's root box, as the operator changes the selection.
void ClickTreeRoot(CMainFrame& frame) {
  CMyTreeView* tree = frame.TreeView();
  if (!tree->RootItem()) tree->BuildDeviceTree();
  QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->CheckBoxRect(tree->RootItem()).center());
}

TEST(MainFrameMenu, BarEntriesAndCommandsAreInPlaceWithTheirIds) {
  CMainFrame frame(kTableFirst);
  const char* titles[] = {"实时数据显示", "根据左边栏更新", "历史数据查询", "系统管理", "图表上一页", "图表下一页"};
  for (int pos = 0; pos < 6; ++pos) EXPECT_EQ(frame.MenuBarEntry(pos)->text(), Text(titles[pos])) << pos;
  EXPECT_EQ(frame.MenuBarEntry(res::kMenuPosUpdateFromTree)->data().toInt(), res::ID_UPDATE_FROM_TREE);
  EXPECT_EQ(frame.MenuBarEntry(res::kMenuPosHistory)->data().toInt(), res::ID_HISTORY_QUERY);

  struct {
    int id;
    const char* text;
    int barPosition;
  } commands[] = {
      {res::ID_SHOW_TABLE, "表格显示", 0},      {res::ID_SHOW_CURVES, "曲线显示", 0},
      {res::ID_SHOW_TILES, "图表显示", 0},      {res::ID_USER_MANAGE, "用户管理", 3},
      {res::ID_COMPANY_DEPT, "公司部门", 3},    {res::ID_DEVICE_MANAGE, "设备管理", 3},
      {res::ID_USER_PERMISSION, "用户权限", 3}, {res::ID_AUDIT_LOG, "审计记录", 3},
  };
  for (const auto& c : commands) {
    QAction* action = frame.CommandAction(c.id);
    ASSERT_NE(action, nullptr) << c.id;
    EXPECT_EQ(action->text(), Text(c.text));
    EXPECT_TRUE(frame.MenuBarEntry(c.barPosition)->menu()->actions().contains(action)) << c.id;
  }
  // "帮助" holds the about box; the untitled entries are present, but not shown in the bar.
  QAction* about = frame.CommandAction(res::ID_APP_ABOUT);
  ASSERT_NE(about, nullptr);
  EXPECT_EQ(about->text(), Text("关于 Veltrane"));
  EXPECT_TRUE(about->isEnabled());
  EXPECT_EQ(frame.MenuBarEntry(9)->text(), Text("帮助"));
  EXPECT_TRUE(frame.MenuBarEntry(9)->isVisible() && frame.MenuBarEntry(9)->isEnabled());
  for (int id : {int(res::ID_FILE_NEW), int(res::ID_CONNECT), int(res::ID_CONNECT_SETTINGS), int(res::ID_DB_CLOSE)})
    EXPECT_NE(frame.CommandAction(id), nullptr) << id;
  EXPECT_FALSE(frame.CommandAction(res::ID_DB_CLOSE)->isEnabled());
  EXPECT_FALSE(frame.CommandAction(res::ID_DB_CLOSE)->isVisible());
  EXPECT_EQ(frame.menuBar()->actions().size(), 12);
  int visible = 0;
  for (QAction* entry : frame.menuBar()->actions()) visible += entry->isVisible() ? 1 : 0;
  EXPECT_EQ(visible, 7);
}

TEST(MainFrameMenu, StatusBarSaysReadyAndTheToolBarIsEmpty) {
  CMainFrame frame(kTableFirst);
  EXPECT_EQ(frame.statusBar()->currentMessage(), Text("就绪"));
  frame.statusBar()->showMessage("prompt");
  frame.statusBar()->clearMessage();
  EXPECT_EQ(frame.statusBar()->currentMessage(), Text("就绪"));
  const QList<QToolBar*> bars = frame.findChildren<QToolBar*>();
  ASSERT_EQ(bars.size(), 1);
  EXPECT_TRUE(bars[0]->actions().isEmpty());
}

TEST(MainFrameLayout, TreeTakesOneEighthOfTheWidth) {
  CMainFrame frame(kTableFirst);
  frame.resize(1600, 900);
  frame.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
  const int width = frame.Splitter()->width();
  EXPECT_NEAR(frame.TreeView()->width(), width / 8, 4);
  EXPECT_NEAR(frame.LiveView()->width(), width / 8 * 7, 8);
  EXPECT_EQ(frame.Splitter()->widget(0), frame.TreeView());
}

struct DefModeCase {
  int defMode;
  int viewMode;
};
class MainFrameDefMode : public ::testing::TestWithParam<DefModeCase> {};

TEST_P(MainFrameDefMode, FirstViewFollowsTheConfigurationAndPagingOnlyForTiles) {
  CMainFrame frame(WithDefMode(GetParam().defMode));
  EXPECT_EQ(frame.ViewMode(), GetParam().viewMode);
  QWidget* view = frame.LiveView();
  EXPECT_EQ(qobject_cast<CVeltraneView*>(view) != nullptr, GetParam().viewMode == kViewTable);
  EXPECT_EQ(qobject_cast<CCurveView*>(view) != nullptr, GetParam().viewMode == kViewCurves);
  EXPECT_EQ(qobject_cast<CIconView*>(view) != nullptr, GetParam().viewMode == kViewTiles);
  const bool tiles = GetParam().viewMode == kViewTiles;
  EXPECT_EQ(frame.MenuBarEntry(res::kMenuPosTilePrevPage)->isEnabled(), tiles);
  EXPECT_EQ(frame.MenuBarEntry(res::kMenuPosTileNextPage)->isEnabled(), tiles);
}

INSTANTIATE_TEST_SUITE_P(Modes, MainFrameDefMode,
                         ::testing::Values(DefModeCase{0, kViewTable}, DefModeCase{1, kViewCurves},
                                           DefModeCase{2, kViewTiles}, DefModeCase{7, kViewTable},
                                           DefModeCase{-1, kViewTable}));

namespace {
QStringList capturedWarnings;
void CaptureWarning(QtMsgType type, const QMessageLogContext&, const QString& text) {
  if (type != QtDebugMsg && type != QtInfoMsg) capturedWarnings << text;
}
}  // namespace

TEST(MainFrameViews, SwitchingThroughTheMenuReplacesTheViewAndFollowsWithPaging) {
  CMainFrame frame(kTableFirst);
  frame.resize(800, 600);
  frame.show();
  capturedWarnings.clear();
  const QtMessageHandler previous = qInstallMessageHandler(CaptureWarning);
  QWidget* table = frame.LiveView();
  frame.CommandAction(res::ID_SHOW_TABLE)->trigger();
  EXPECT_EQ(frame.LiveView(), table) << "the table already shown is kept";

  frame.CommandAction(res::ID_SHOW_TILES)->trigger();
  EXPECT_NE(qobject_cast<CIconView*>(frame.LiveView()), nullptr);
  EXPECT_EQ(frame.ViewMode(), kViewTiles);
  EXPECT_TRUE(frame.MenuBarEntry(res::kMenuPosTilePrevPage)->isEnabled());
  EXPECT_TRUE(frame.MenuBarEntry(res::kMenuPosTileNextPage)->isEnabled());
  EXPECT_TRUE(frame.LiveView()->isVisible());
  EXPECT_EQ(frame.Splitter()->count(), 2);

  frame.CommandAction(res::ID_SHOW_CURVES)->trigger();
  EXPECT_NE(qobject_cast<CCurveView*>(frame.LiveView()), nullptr);
  EXPECT_EQ(frame.ViewMode(), kViewCurves);
  EXPECT_FALSE(frame.MenuBarEntry(res::kMenuPosTilePrevPage)->isEnabled());
  EXPECT_FALSE(frame.MenuBarEntry(res::kMenuPosTileNextPage)->isEnabled());

  frame.SwitchLiveView(kViewTable);
  EXPECT_NE(qobject_cast<CVeltraneView*>(frame.LiveView()), nullptr);
  EXPECT_EQ(frame.ViewMode(), kViewTable);
  EXPECT_FALSE(frame.MenuBarEntry(res::kMenuPosTileNextPage)->isEnabled());
  qInstallMessageHandler(previous);
  EXPECT_TRUE(capturedWarnings.filter(QStringLiteral("QSplitter")).isEmpty())
      << capturedWarnings.join('\n').toStdString();
}

TEST(MainFrameRefresh, HandlerRedrawsTheShownViewAndClearsSelectionChanged) {
  CMainFrame frame(kTableFirst);
  frame.resize(800, 600);
  frame.show();
  QSignalSpy redrawn(&frame, &CMainFrame::liveViewRedrawn);
  for (int type : {kViewTable, kViewCurves, kViewTiles}) {
    frame.SwitchLiveView(type);
    ClickTreeRoot(frame);
    ASSERT_TRUE(frame.TreeView()->SelectionChanged());
    redrawn.clear();
    frame.OnLiveRefresh();
    EXPECT_FALSE(frame.TreeView()->SelectionChanged());
    ASSERT_EQ(redrawn.size(), 1);
    EXPECT_EQ(redrawn.takeFirst().at(0).toInt(), type);
  }
  // "根据左边栏更新" runs the same handler at once.
  ClickTreeRoot(frame);
  redrawn.clear();
  frame.CommandAction(res::ID_UPDATE_FROM_TREE)->trigger();
  EXPECT_EQ(redrawn.size(), 1);
  EXPECT_FALSE(frame.TreeView()->SelectionChanged());
}

TEST(MainFrameRefresh, PagingCommandsOnlyActOnTheTiles) {
  CMainFrame frame(WithDefMode(2));
  frame.CommandAction(res::ID_TILE_NEXT_PAGE)->trigger();
  frame.CommandAction(res::ID_TILE_PREV_PAGE)->trigger();
  frame.SwitchLiveView(kViewTable);
  EXPECT_TRUE(frame.OnCommand(res::ID_TILE_NEXT_PAGE));  // ignored without tiles
  EXPECT_NE(qobject_cast<CVeltraneView*>(frame.LiveView()), nullptr);
}

LiveRow AlarmRow(const std::string& id, const char* tempeAlarm, const char* humAlarm) {
  return {id, "c", "d", "2024-05-01 10:00:00", "21.5", tempeAlarm, "45.0", humAlarm, "30", "3.6", "1", "12", id};
}

// A refresh as the monitor thread makes it: the rows merged, then the alarm desk.
void Merge(CMainFrame& frame, const std::vector<LiveRow>& rows) {
  ApplyLiveRows(frame.LiveTable(), rows, platform::GetTickCount());
  frame.LiveTable().lastRefresh = {true, platform::GetTickCount(), 9, 5, 7};
  frame.Desk().AfterRefresh(Db(), frame.LiveTable(), platform::GetTickCount());
}

TEST(MainFrameAlarms, SummaryAndBellFollowEachRefreshUntilSilenced) {
  CMainFrame frame(kTableFirst);
  const auto summary = [&] { return frame.AlarmBar().SummaryLabel()->text(); };
  Merge(frame, {AlarmRow("A", "0", "0"), AlarmRow("B", "0", "0")});
  frame.OnLiveRefresh();
  EXPECT_TRUE(summary().contains(Text("报警 0"))) << summary().toStdString();
  EXPECT_EQ(frame.AlarmBar().FreshnessLabel()->text(), Text("数据更新于 09:05:07"));
  EXPECT_FALSE(frame.AlarmBar().Bell().IsRinging());
  EXPECT_FALSE(frame.AlarmBar().SilenceAction()->isEnabled());

  struct Step {
    const char* what;
    std::vector<LiveRow> rows;
    bool silenceFirst, ringing;
    const char* shows;
  } steps[] = {
      {"A high", {AlarmRow("A", "1", "0")}, false, true, "报警 1"},
      {"silenced, A still high", {AlarmRow("A", "1", "0")}, true, false, "报警 1"},
      {"B sensor offline", {AlarmRow("A", "1", "0"), AlarmRow("B", "0", "3")}, false, true, "传感器掉线 1"},
      {"all normal again, not silenced", {AlarmRow("A", "0", "0"), AlarmRow("B", "0", "0")}, false, true, "报警 0"},
  };
  for (const Step& step : steps) {
    if (step.silenceFirst) frame.AlarmBar().SilenceAction()->trigger();
    Merge(frame, step.rows);
    frame.OnLiveRefresh();
    EXPECT_EQ(frame.AlarmBar().Bell().IsRinging(), step.ringing) << step.what;
    EXPECT_EQ(frame.AlarmBar().SilenceAction()->isEnabled(), step.ringing) << step.what;
    EXPECT_TRUE(summary().contains(Text(step.shows))) << step.what << ": " << summary().toStdString();
  }
  EXPECT_EQ(frame.statusBar()->currentMessage(), Text("就绪"));
}

AppConfig Notifying(const QString& program) {
  AppConfig config = kTableFirst;
  config.notifyCommand = program.toStdString();
  return config;
}

TEST(MainFrameAlarms, SupplyLossAndDatabaseLossAreToldOnceAtTheirStartAndEnd) {
  RecordingCommand command;
  CMainFrame frame(Notifying(command.Program()));
  LiveRow battery = AlarmRow("A", "0", "0");
  battery[kColPowerSource] = "0";
  // On battery and back (the bell and the count are the summary's tests).
  for (const LiveRow& row : {AlarmRow("A", "0", "0"), battery, AlarmRow("A", "0", "0")}) {
    Merge(frame, {row});
    frame.OnLiveRefresh();
  }
  // No successful refresh for a period and its grace (twice: told once), then one again.
  frame.LiveTable().lastRefresh.tick = platform::GetTickCount() - 20000;
  frame.OnLiveRefresh();
  frame.OnLiveRefresh();
  Merge(frame, {AlarmRow("A", "0", "0")});
  frame.OnLiveRefresh();
  ASSERT_TRUE(QTest::qWaitFor([&] { return command.Calls().size() == 4; }));
  for (const char* kind : {"supply_lost", "db_lost"})
    EXPECT_TRUE(command.Count("start", kind) == 1 && command.Count("end", kind) == 1) << kind;
  for (RecordingCommand::Call& call : command.Calls())
    EXPECT_TRUE(call["VELTRANE_KIND"] != "supply_lost" ||
                call["VELTRANE_DEVICE_NAME"] + call["VELTRANE_VALUE"] == "A3.6");
}

TEST(MainFrameAlarms, DevicesBeyondTheCapacityAreNotedOnce) {
  CMainFrame frame(kTableFirst);
  std::vector<LiveRow> rows;
  for (int i = 0; i < DeviceLiveTable::kCapacity + 1; ++i) rows.push_back(AlarmRow("D" + std::to_string(i), "0", "0"));
  Merge(frame, std::vector<LiveRow>(rows.begin(), rows.end() - 1));
  frame.OnLiveRefresh();
  EXPECT_TRUE(frame.AlarmBar().OverCapacityLabel()->isHidden());
  testing::internal::CaptureStderr();
  Merge(frame, rows);
  Merge(frame, rows);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "veltrane: 设备数超过1024，部分设备未显示\n");
  frame.OnLiveRefresh();
  EXPECT_FALSE(frame.AlarmBar().OverCapacityLabel()->isHidden());
  EXPECT_EQ(frame.AlarmBar().OverCapacityLabel()->text(), Text("设备数超过1024，部分设备未显示"));
}

TEST(MainFrameDialogs, DatabaseIsHeldForTheDialogsWholeLifetime) {
  CMainFrame frame(kTableFirst);
  ASSERT_FALSE(DbSessionTestSeam::IsHeld(Db()));
  for (int id : {res::ID_HISTORY_QUERY, res::ID_USER_MANAGE, res::ID_COMPANY_DEPT, res::ID_DEVICE_MANAGE,
                 res::ID_USER_PERMISSION}) {
    bool busyWhileOpen = false, opened = false;
    QWidget* parentSeen = nullptr;
    frame.SetDialogFactory(id, [&](QWidget* parent) {
      parentSeen = parent;
      auto dialog = std::make_unique<QDialog>(parent);
      QTimer::singleShot(0, dialog.get(), [&, d = dialog.get()] {
        opened = d->isVisible();
        busyWhileOpen = DbSessionTestSeam::IsHeld(Db());
        d->reject();
      });
      return dialog;
    });
    frame.CommandAction(id)->trigger();
    EXPECT_TRUE(opened) << id;
    EXPECT_TRUE(busyWhileOpen) << id;
    EXPECT_EQ(parentSeen, &frame);
    EXPECT_FALSE(DbSessionTestSeam::IsHeld(Db())) << id;
  }
}

TEST(MainFrameDialogs, CommandWithoutADialogShowsNothingAndLeavesTheDatabaseFree) {
  CMainFrame frame(kTableFirst);
  frame.SetDialogFactory(res::ID_USER_MANAGE, {});
  frame.CommandAction(res::ID_USER_MANAGE)->trigger();
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  EXPECT_FALSE(DbSessionTestSeam::IsHeld(Db()));
}

TEST(MainFrameDialogs, EachDatabaseCommandCreatesItsDialog) {
  QWidget parent;
  DialogContext context{kAdmin};
  struct {
    int command;
    int dialogId;
  } cases[] = {
      {res::ID_HISTORY_QUERY, res::IDD_HISTORY_QUERY}, {res::ID_USER_MANAGE, res::IDD_USER_MANAGE},
      {res::ID_COMPANY_DEPT, res::IDD_COMPANY_DEPT},   {res::ID_DEVICE_MANAGE, res::IDD_DEVICE_MANAGE},
      {res::ID_USER_PERMISSION, res::IDD_PERMISSION},  {res::ID_AUDIT_LOG, res::IDD_AUDIT_LOG},
  };
  for (const auto& c : cases) {
    const DialogFactory factory = DatabaseDialogFactory(c.command, context);
    ASSERT_TRUE(factory) << c.command;
    std::unique_ptr<QDialog> dialog = factory(&parent);
    auto* built = qobject_cast<res::DialogBase*>(dialog.get());
    ASSERT_NE(built, nullptr) << c.command;
    EXPECT_EQ(built->TemplateId(), c.dialogId);
    EXPECT_EQ(dialog->parentWidget(), &parent);
  }
  EXPECT_FALSE(DatabaseDialogFactory(res::ID_SHOW_TABLE, context));
}

TEST(MainFrameDialogs, AboutCommandShowsTheAboutBox) {
  CMainFrame frame(kTableFirst);
  int shownId = 0;
  QTimer::singleShot(0, [&] {
    if (auto* about = qobject_cast<CAboutDlg*>(QApplication::activeModalWidget())) {
      shownId = about->TemplateId();
      about->accept();
    }
  });
  EXPECT_TRUE(frame.OnCommand(res::ID_APP_ABOUT));
  EXPECT_EQ(shownId, res::IDD_ABOUTBOX);
}

TEST(MainFrameClose, ClosingWhileTheMonitorWaitsForTheWindowEndsTheThread) {
  std::atomic<int> refreshes{0};
  auto frame = std::make_unique<CMainFrame>(kTableFirst);
  frame->show();
  QSignalSpy redrawn(frame.get(), &CMainFrame::liveViewRedrawn);
  frame->StartMonitorThread(FakeMonitorActions(refreshes, 100000));
  EXPECT_EQ(frame->Monitor().monitorRunning.load(), 1);
  ASSERT_TRUE(QTest::qWaitFor([&] { return redrawn.size() >= 2; }));  // redraws arrive through the event loop
  // Now leave the event loop alone until the thread blocks on its next redraw request, and
  // close the window in exactly that state.
  while (!frame->Monitor().IsWaitingForUi()) std::this_thread::yield();
  EXPECT_TRUE(frame->close());
  EXPECT_FALSE(frame->Monitor().IsStarted());
  EXPECT_EQ(frame->Monitor().monitorRunning.load(), 0);
  const int redrawsAtClose = static_cast<int>(redrawn.size());
  QCoreApplication::processEvents();
  EXPECT_EQ(redrawn.size(), redrawsAtClose) << "no redraw after the window closed";
  frame.reset();  // frees the table: the thread is gone
}

TEST(MainFrameClose, DestroyingAFrameWithARunningThreadStopsItFirst) {
  std::atomic<int> refreshes{0};
  auto frame = std::make_unique<CMainFrame>(kTableFirst);
  frame->StartMonitorThread(FakeMonitorActions(refreshes, 100000));
  ASSERT_TRUE(QTest::qWaitFor([&] { return refreshes.load() >= 1; }));
  frame.reset();
  SUCCEED();
}

// --- with the database ---------------------------------------------------------------------

class MainFrameMonitoring : public SharedDatabaseTest<MainFrameMonitoring> {
 protected:
  static void SetUpTestSuite() {
    if (!OpenDatabase("t_main_frame")) return;
    db_->Exec("insert into company_tab values ('C001','c')");
    db_->Exec("insert into department_tab values ('01','C001','d')");
    db_->Exec("insert into device_tab values ('D000000001','n','C001','01'),('D000000002','m','C001','01')");
    db_->Exec(
        "insert into monitordat_tab values "
        "('D000000001','C001','01','2024-05-01 10:00:00',1,0,2,0,3,4,1,5),"
        "('D000000002','C001','01','2024-05-01 10:00:00',1,0,2,0,3,4,1,5)");
    db_->Exec("insert into user_tab values ('li','pw',2)");
    db_->Exec("insert into permission_tab values ('li','C001','01')");
  }
};

TEST_F(MainFrameMonitoring, AdministratorKeepsTheAdministrationMenuAndTheThreadRuns) {
  CMainFrame frame(kTableFirst);
  QSignalSpy redrawn(&frame, &CMainFrame::liveViewRedrawn);
  frame.StartMonitoring(kAdmin);
  EXPECT_EQ(frame.LiveTable().LiveCount(), 2) << "first refresh on the user-interface thread";
  EXPECT_TRUE(frame.MenuBarEntry(res::kMenuPosAdministration)->isEnabled());
  EXPECT_EQ(frame.statusBar()->currentMessage(), QString::fromUtf8(kAuditDisabledNote)) << "no audit trail";
  EXPECT_TRUE(frame.Monitor().IsStarted());
  ASSERT_TRUE(QTest::qWaitFor([&] { return redrawn.size() >= 1; }));  // the thread's first refresh comes at once
  {
    std::lock_guard lock(frame.LiveTable().mutex);
    EXPECT_EQ(frame.LiveTable().records[0].SampleCount(), 2);
  }
  frame.close();
  EXPECT_FALSE(frame.Monitor().IsStarted());
  EXPECT_FALSE(DbSessionTestSeam::IsHeld(Db()));
}

TEST_F(MainFrameMonitoring, NormalUserFindsTheAdministrationMenuGreyed) {
  CMainFrame frame(kTableFirst);
  frame.StartMonitoring({"li", kRoleNormalUser});
  EXPECT_NE(frame.statusBar()->currentMessage(), QString::fromUtf8(kAuditDisabledNote)) << "for administrators";
  EXPECT_FALSE(frame.MenuBarEntry(res::kMenuPosAdministration)->isEnabled());
  EXPECT_TRUE(frame.MenuBarEntry(res::kMenuPosHistory)->isEnabled());
  EXPECT_EQ(frame.LiveTable().LiveCount(), 2);
}

// The user-interface thread's link is gone at the first refresh: the monitor thread starts all
// the same, opens a connection of its own, and fills the table and then the tree.
TEST_F(MainFrameMonitoring, ThreadStartsWhenTheFirstRefreshFailsAndTheTreeFollowsItsData) {
  Db().Close();
  CMainFrame frame(kTableFirst);
  frame.StartMonitoring(kAdmin);
  EXPECT_TRUE(frame.Monitor().IsStarted());
  ASSERT_NE(frame.TreeView()->RootItem(), nullptr);
  EXPECT_EQ(frame.TreeView()->RootItem()->childCount(), 0) << "built from the empty table";
  ASSERT_TRUE(QTest::qWaitFor([&] { return frame.TreeView()->RootItem()->childCount() == 1; }));
  std::lock_guard lock(frame.LiveTable().mutex);
  EXPECT_EQ(frame.LiveTable().LiveCount(), 2);
}

// The history dialog holds the user-interface thread's session exactly as the menu command
// does; the monitor thread, on a connection of its own, goes on reading meanwhile: its
// statements keep reaching the server, and a new reading with an alarm reaches the table, the
// summary and the bell while the dialog is open.
TEST_F(MainFrameMonitoring, LiveDataAndAlarmsGoOnWhileTheHistoryDialogIsOpen) {
  CMainFrame frame(kTableFirst);
  QSignalSpy redrawn(&frame, &CMainFrame::liveViewRedrawn);
  frame.SetMonitorClock(AcceleratedMonitorClock(50));  // a refresh every 200 ms
  frame.StartMonitoring(kAdmin);
  ASSERT_TRUE(QTest::qWaitFor([&] { return redrawn.size() >= 1; }));
  const auto readingTime = [&] {
    std::lock_guard lock(frame.LiveTable().mutex);
    return frame.LiveTable().Find("D000000001")->readingTime;
  };
  const auto stampTick = [&] {
    std::lock_guard lock(frame.LiveTable().mutex);
    return frame.LiveTable().lastRefresh.tick;
  };
  // The server's id of the newest statement of every connection but the dialog's and ours.
  std::string dialogConnection;
  const auto otherQueryIds = [&] {
    std::vector<std::string> ids;
    for (const DbRow& row : db_->Query("select QUERY_ID from information_schema.PROCESSLIST where DB=database() "
                                       "and ID<>connection_id() and ID<>" +
                                       dialogConnection)
                                .rows)
      ids.push_back(row.at(0));
    return ids;
  };

  bool held = false;
  DialogContext context{kAdmin};
  frame.SetDialogFactory(res::ID_HISTORY_QUERY, [&](QWidget* parent) {
    std::unique_ptr<QDialog> dialog = DatabaseDialogFactory(res::ID_HISTORY_QUERY, context)(parent);
    QTimer::singleShot(0, dialog.get(), [&, d = dialog.get()] {
      held = DbSessionTestSeam::IsHeld(Db());
      dialogConnection = Db().Select("select connection_id()").rows.at(0).at(0);
      const std::vector<std::string> before = otherQueryIds();
      EXPECT_EQ(before.size(), 1u) << "the monitor thread's own connection";
      EXPECT_TRUE(QTest::qWaitFor([&] { return otherQueryIds() != before; })) << "its statements go on";
      const std::uint32_t stampAtOpen = stampTick();
      frame.AlarmBar().SilenceAction()->trigger();  // the old readings rang for their communication loss
      EXPECT_FALSE(frame.AlarmBar().Bell().IsRinging());
      db_->Exec("replace into monitordat_tab values ('D000000001','C001','01','2024-05-01 10:00:10',41,1,2,0,3,4,1,5)");
      EXPECT_TRUE(QTest::qWaitFor(
          [&] { return readingTime() == "2024-05-01 10:00:10" && frame.AlarmBar().Bell().IsRinging(); }));
      EXPECT_TRUE(frame.AlarmBar().SummaryLabel()->text().contains(Text("报警 1")))
          << frame.AlarmBar().SummaryLabel()->text().toStdString();
      EXPECT_NE(stampTick(), stampAtOpen);
      EXPECT_TRUE(DbSessionTestSeam::IsHeld(Db()));
      d->reject();
    });
    return dialog;
  });
  frame.CommandAction(res::ID_HISTORY_QUERY)->trigger();
  EXPECT_TRUE(held);
  EXPECT_FALSE(DbSessionTestSeam::IsHeld(Db()));
  db_->Exec("replace into monitordat_tab values ('D000000001','C001','01','2024-05-01 10:00:00',1,0,2,0,3,4,1,5)");
  frame.close();
  EXPECT_FALSE(frame.Monitor().IsStarted());
  EXPECT_NE(frame.MonitorDb().Ping(), 0) << "the thread closed its connection";
  EXPECT_EQ(Db().Ping(), 0);
}

constexpr int kAcceleration = 50;  // a refresh every 200 ms

TEST_F(MainFrameMonitoring, AnAlarmIsToldOnceAtItsStartAndOnceAtItsEnd) {
  RecordingCommand command;
  CMainFrame frame(Notifying(command.Program()));
  QSignalSpy redrawn(&frame, &CMainFrame::liveViewRedrawn);
  frame.SetMonitorClock(AcceleratedMonitorClock(kAcceleration));
  frame.StartMonitoring(kAdmin);
  constexpr int kWithinMs = MonitorLoop::kRefreshIntervalMs / kAcceleration + 2000;
  for (const char* edge : {"start", "end"}) {
    const bool start = edge == std::string("start");
    db_->Exec(std::string("replace into monitordat_tab values ('D000000001','C001','01','2024-05-01 10:00:") +
              (start ? "10',41,1" : "00',1,0") + ",2,0,3,4,1,5)");
    ASSERT_TRUE(QTest::qWaitFor([&] { return command.Count(edge, "temp_high") == 1; }, kWithinMs)) << edge;
  }
  const qsizetype redraws = redrawn.size();
  ASSERT_TRUE(QTest::qWaitFor([&] { return redrawn.size() >= redraws + 3; }));
  EXPECT_EQ(command.Count("start", "temp_high") + command.Count("end", "temp_high"), 2);
}

// The old readings are lost at once: their notices start the program at the first refresh.
TEST_F(MainFrameMonitoring, AHangingOrMissingProgramNeverHoldsUpTheRefresh) {
  RecordingCommand hangs("exec sleep 60");
  for (const QString& program : {hangs.Program(), QStringLiteral("/nonexistent/notify")}) {
    platform::SetDiagnosticSink([](const std::string&) {});
    CMainFrame frame(Notifying(program));
    QSignalSpy redrawn(&frame, &CMainFrame::liveViewRedrawn);
    frame.SetMonitorClock(AcceleratedMonitorClock(kAcceleration));
    frame.StartMonitoring(kAdmin);
    const bool hanging = program == hangs.Program();
    ASSERT_TRUE(QTest::qWaitFor([&] {
      return hanging ? frame.AlarmBar().Notifier()->Running() > 0 : !frame.AlarmBar().NotifyFailureLabel()->isHidden();
    }));
    QElapsedTimer since;
    since.start();
    qint64 last = 0, longest = 0;
    const qsizetype first = redrawn.size();
    QObject::connect(&frame, &CMainFrame::liveViewRedrawn, [&] {
      longest = std::max(longest, since.elapsed() - last);
      last = since.elapsed();
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return redrawn.size() >= first + 8; }, 4000));
    EXPECT_LT(longest, 1000);
    if (hanging) {
      EXPECT_GT(frame.AlarmBar().Notifier()->Running(), 0);
    } else {
      EXPECT_EQ(frame.AlarmBar().NotifyFailureLabel()->text(), Text("通知程序 /nonexistent/notify 失败：找不到该程序"));
    }
    frame.close();
    platform::SetDiagnosticSink({});
  }
}

// An acknowledgement is stored with the reading time that began the event; it silences the bell
// for that event only, and the same device's next excursion is a new event that rings again.
TEST_F(MainFrameMonitoring, AnAcknowledgementIsStoredAndSilencesTheBellForItsEventOnly) {
  REQUIRE_AUDIT_TRAIL();
  db_->Exec("delete from alarm_ack_tab");
  CMainFrame frame(kTableFirst);
  frame.SetMonitorClock(AcceleratedMonitorClock(50));
  frame.Acknowledgement().SetCommentPrompt(
      [](const std::string&) { return std::optional<QString>(Text("冷库门未关，已关门")); });
  frame.StartMonitoring(kAdmin, true);
  const auto summary = [&] { return frame.AlarmBar().SummaryLabel()->text(); };
  // The old readings open a communication loss on each device.
  ASSERT_TRUE(QTest::qWaitFor([&] { return summary().contains(Text("未确认 2")); })) << summary().toStdString();
  ASSERT_TRUE(frame.AlarmBar().Bell().IsRinging());
  {
    // A comment the column cannot hold is refused with its limit named, and nothing is stored.
    ScriptedMessageBoxes boxes;
    frame.Acknowledgement().SetCommentPrompt([](const std::string&) { return std::optional(QString(300, u'冷')); });
    frame.Acknowledgement().Acknowledge("D000000001");
    EXPECT_EQ(boxes.LastText(), Text(kAckCommentTooLongText));
    EXPECT_EQ(db_->Query("select count(*) from alarm_ack_tab").rows[0][0], "0");
    frame.Acknowledgement().SetCommentPrompt(
        [](const std::string&) { return std::optional<QString>(Text("冷库门未关，已关门")); });
  }
  frame.Acknowledgement().Acknowledge("D000000001");
  EXPECT_TRUE(frame.AlarmBar().Bell().IsRinging()) << "the other device's event is still unacknowledged";
  frame.Acknowledgement().Acknowledge("D000000002");
  EXPECT_FALSE(frame.AlarmBar().Bell().IsRinging());
  EXPECT_TRUE(summary().contains(Text("未确认 0")));

  db_->Exec("replace into monitordat_tab values ('D000000001','C001','01','2024-05-01 10:00:10',41,1,2,0,3,4,1,5)");
  ASSERT_TRUE(QTest::qWaitFor([&] { return frame.AlarmBar().Bell().IsRinging(); }));
  EXPECT_TRUE(summary().contains(Text("未确认 1")));
  frame.Acknowledgement().Acknowledge("D000000001");
  EXPECT_FALSE(frame.AlarmBar().Bell().IsRinging());
  const DbResult acks =
      db_->Query("select device_id,event_start,user_name,comment from alarm_ack_tab where kind='temp_high'");
  ASSERT_EQ(acks.rows.size(), 1u);
  EXPECT_EQ(acks.rows[0],
            (DbRow{"D000000001", "2024-05-01 10:00:10", "admin", platform::Utf8ToGbk("冷库门未关，已关门")}));
  EXPECT_EQ(db_->Query("select count(*) from audit_tab where object_key like 'D000000001 temp_high %'").rows[0][0],
            "1");
  db_->Exec("replace into monitordat_tab values ('D000000001','C001','01','2024-05-01 10:00:00',1,0,2,0,3,4,1,5)");
}

TEST_F(MainFrameMonitoring, CloseConnectionCommandClosesTheSession) {
  CMainFrame frame(kTableFirst);
  ASSERT_EQ(Db().Ping(), 0);
  frame.OnCommand(res::ID_DB_CLOSE);
  EXPECT_NE(Db().Ping(), 0);
  EXPECT_EQ(Db().LastConnectSucceeded(), 1) << "no flag changes";
}

}  // namespace
