#include "CMainFrame.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>
#include <algorithm>

#include "AcknowledgeCommand.h"
#include "AlarmStatusBar.h"
#include "AppConfig.h"
#include "AuditTrail.h"
#include "CAboutDlg.h"
#include "CCurveView.h"
#include "CIconView.h"
#include "CMyTreeView.h"
#include "CVeltraneView.h"
#include "Gbk.h"
#include "LoginState.h"
#include "MainMenu.h"
#include "MessageBox.h"
#include "RefreshLiveTable.h"
#include "ResourceIds.h"
#include "StationDb.h"
#include "TickCount.h"

namespace {

const QString kIdleStatusText = QStringLiteral("就绪");

int ViewTypeFor(int defMode) {
  if (defMode == kViewCurves) return kViewCurves;
  if (defMode == kViewTiles) return kViewTiles;
  return kViewTable;
}

bool IsViewOfType(QWidget* view, int type) {
  switch (type) {
    case kViewTable: return qobject_cast<CVeltraneView*>(view) != nullptr;
    case kViewCurves: return qobject_cast<CCurveView*>(view) != nullptr;
    case kViewTiles: return qobject_cast<CIconView*>(view) != nullptr;
    default: return false;
  }
}

}  // namespace

CMainFrame::CMainFrame(const AppConfig& config, QWidget* parent)
    : QMainWindow(parent), config_(config), table_(DeviceLiveTable::Create()) {
  BuildBars();
  BuildMenuBar();
  BuildAccelerators();
  desk_ = new AlarmDesk({config_.commTimeout, !config_.notifyCommand.empty(), config_.notifyRepeatMinutes}, this);
  alarmBar_ = new AlarmStatusBar(*this, *desk_, *table_, config_);
  // "确认报警…" for the device selected in the table (the views' context menus offer it too).
  acknowledge_ = new AcknowledgeCommand(*this, *desk_, dialogContext_);
  acknowledge_->SetSelectedDevice([this] {
    auto* table = qobject_cast<CVeltraneView*>(LiveView());
    return table ? table->DeviceIdAt(nullptr) : std::string();
  });
  CreateClient(config_.defMode);
}

CMainFrame::~CMainFrame() {
  // The thread must be gone before the table it writes is freed.
  monitor_.Stop();
}

void CMainFrame::BuildBars() {
  auto* toolBar = new QToolBar(this);
  toolBar->setObjectName(QStringLiteral("mainToolBar"));
  toolBar->setMovable(true);
  toolBar->setFloatable(true);
  addToolBar(Qt::TopToolBarArea, toolBar);

  auto* status = new QStatusBar(this);
  setStatusBar(status);
  status->showMessage(kIdleStatusText);
  // Menu prompts replace the message while shown; the idle text comes back afterwards.
  connect(status, &QStatusBar::messageChanged, status, [status](const QString& text) {
    if (text.isEmpty()) status->showMessage(kIdleStatusText);
  });
}

void CMainFrame::BuildMenuBar() {
  QMenuBar* bar = menuBar();
  for (const res::MenuBarEntry& entry : res::MainMenuBar()) {
    const QString text = QString::fromUtf8(entry.text);
    QAction* action = nullptr;
    if (entry.popup.empty()) {
      action = bar->addAction(text);
      action->setData(entry.id);
      connect(action, &QAction::triggered, this, [this, id = entry.id] { OnCommand(id); });
    } else {
      QMenu* menu = bar->addMenu(text);
      for (const res::MenuCommand& command : entry.popup) {
        QAction* item = menu->addAction(QString::fromUtf8(command.text));
        item->setData(command.id);
        connect(item, &QAction::triggered, this, [this, id = command.id] { OnCommand(id); });
      }
      action = menu->menuAction();
    }
    if (entry.flags & res::kMenuGrayed) action->setEnabled(false);
    // An untitled entry would be an empty, clickable patch in the bar: keep it, but hidden.
    if (text.isEmpty()) action->setVisible(false);
  }
}

void CMainFrame::BuildAccelerators() {
  // The stock file keys stay usable although their popup has no text in the bar.
  auto* print = new QAction(this);
  print->setShortcut(QKeySequence::Print);
  connect(print, &QAction::triggered, this, [this] { OnCommand(res::ID_FILE_PRINT); });
  addAction(print);
}

void CMainFrame::CreateClient(int defMode) {
  splitter_ = new QSplitter(Qt::Horizontal, this);
  splitter_->setObjectName(QStringLiteral("staticSplitter"));
  splitter_->setChildrenCollapsible(false);
  auto* tree = new CMyTreeView(*table_, splitter_);
  splitter_->addWidget(tree);
  const int type = ViewTypeFor(defMode);
  splitter_->addWidget(CreateLiveView(type, splitter_));
  // Like a static splitter: the tree keeps its width when the window is resized.
  splitter_->setStretchFactor(0, 0);
  splitter_->setStretchFactor(1, 1);
  setCentralWidget(splitter_);
  connect(splitter_, &QSplitter::splitterMoved, this, [this] { userMovedSplitter_ = true; });
  UpdatePagingEntries();
  viewMode_ = static_cast<std::uint8_t>(type);
}

QWidget* CMainFrame::CreateLiveView(int type, QWidget* parent) {
  switch (type) {
    case kViewCurves: {
      auto* curves = new CCurveView(*table_, parent);
      curves->SetGroupIndex(curveGroup_);
      return curves;
    }
    case kViewTiles: {
      auto* tiles = new CIconView(*table_, parent);
      tiles->SetCommTimeout(config_.commTimeout);
      tiles->setContextMenuPolicy(Qt::CustomContextMenu);
      connect(tiles, &QWidget::customContextMenuRequested, this,
              [this, tiles](QPoint at) { acknowledge_->ShowDeviceMenu(tiles, at, tiles->DeviceIdAt(at)); });
      return tiles;
    }
    default: {
      auto* table = new CVeltraneView(*table_, parent);
      table->SetCommTimeout(config_.commTimeout);
      CListCtrlCl* list = &table->List();
      list->setContextMenuPolicy(Qt::CustomContextMenu);
      connect(list, &QWidget::customContextMenuRequested, this, [this, table, list](QPoint at) {
        acknowledge_->ShowDeviceMenu(list->viewport(), at, table->DeviceIdAt(&at));
      });
      return table;
    }
  }
}

void CMainFrame::ApplyInitialSplit() {
  const int width = splitter_->width();
  splitter_->setSizes({width / 8, width / 8 * 7});
}

void CMainFrame::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  // Until the user drags the divider, the tree keeps one eighth of the width: the window
  // reaches its maximised size only after it was first shown.
  if (!userMovedSplitter_) ApplyInitialSplit();
}

void CMainFrame::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (!userMovedSplitter_) ApplyInitialSplit();
}

QAction* CMainFrame::MenuBarEntry(int position) const {
  const QList<QAction*> entries = menuBar()->actions();
  return position >= 0 && position < entries.size() ? entries[position] : nullptr;
}

QAction* CMainFrame::CommandAction(int id) const {
  for (QAction* action : menuBar()->findChildren<QAction*>())
    if (action->data().isValid() && action->data().toInt() == id) return action;
  return nullptr;
}

void CMainFrame::EnableMenuPosition(int position, bool enable) {
  if (QAction* entry = MenuBarEntry(position)) entry->setEnabled(enable);
}

void CMainFrame::UpdatePagingEntries() {
  const bool tiles = qobject_cast<CIconView*>(LiveView()) != nullptr;
  EnableMenuPosition(res::kMenuPosTilePrevPage, tiles);
  EnableMenuPosition(res::kMenuPosTileNextPage, tiles);
}

CMyTreeView* CMainFrame::TreeView() const { return qobject_cast<CMyTreeView*>(splitter_->widget(0)); }

QWidget* CMainFrame::LiveView() const { return splitter_->widget(1); }

void CMainFrame::SwitchLiveView(int type) {
  QWidget* old = LiveView();
  if (!IsViewOfType(old, type)) {
    const QList<int> sizes = splitter_->sizes();
    // Created without a parent: QSplitter::replaceWidget refuses (and warns about) a sibling.
    if (auto* curves = qobject_cast<CCurveView*>(old)) curveGroup_ = curves->GroupIndex();
    QWidget* fresh = CreateLiveView(type, nullptr);
    splitter_->replaceWidget(1, fresh);
    delete old;
    fresh->show();
    splitter_->setSizes(sizes);
    UpdatePagingEntries();
  }
  viewMode_ = static_cast<std::uint8_t>(type);
}

void CMainFrame::StartMonitoring(const Login& login, bool auditTrail) {
  dialogContext_.login = login;
  dialogContext_.auditTrail = auditTrail;
  if (login.role == kRoleAdministrator && !auditTrail) statusBar()->showMessage(QString::fromUtf8(kAuditDisabledNote));
  // The first refresh fills the table the tree is built from. It runs on the session the login
  // has just used, before the thread exists; the monitor's own is opened by the thread, so a
  // slow or dead server never holds up the window here.
  desk_->SetAcknowledgements(auditTrail);
  alarmBar_->ShowAcknowledgements(auditTrail);
  if (RefreshLiveTable(Db(), *table_, login)) desk_->AfterRefresh(Db(), *table_, platform::GetTickCount());
  if (CMyTreeView* tree = TreeView()) tree->BuildDeviceTree();
  {
    std::lock_guard lock(table_->mutex);
    treePending_ = !table_->lastRefresh.ok;
  }
  if (login.role != kRoleAdministrator) EnableMenuPosition(res::kMenuPosAdministration, false);
  // Started whether or not the server answers now: the thread keeps trying (at once, then
  // backing off to the refresh period), and the status bar says "数据库未响应" meanwhile. It
  // only reads what the collector wrote: no need to wait for the cluster before each read.
  monitorDb_.ConfigureLike(Db());
  monitorDb_.SetReadsOwnWrites(false);
  MonitorActions actions = DatabaseMonitorActions(monitorDb_, *table_, login);
  if (monitorClock_) actions.tickCount = monitorClock_;
  // The desk's statements follow the refresh on the thread's own session, before the redraw.
  actions.refresh = [this, refresh = std::move(actions.refresh)] {
    if (!refresh()) return false;
    desk_->AfterRefresh(monitorDb_, *table_, platform::GetTickCount());
    return true;
  };
  StartMonitorThread(std::move(actions));
  alarmBar_->Update();
  alarmBar_->Start();
}

void CMainFrame::StartMonitorThread(MonitorActions actions) {
  monitor_.Start(
      this, [this] { OnLiveRefresh(); }, std::move(actions));
}

void CMainFrame::OnLiveRefresh() {
  if (treePending_) {
    bool refreshed = false;
    {
      std::lock_guard lock(table_->mutex);
      refreshed = table_->lastRefresh.ok;
    }
    if (CMyTreeView* tree = TreeView(); tree && refreshed) {
      tree->BuildDeviceTree();
      treePending_ = false;
    }
  }
  CMyTreeView* tree = TreeView();
  const bool selectionChanged = tree && tree->SelectionChanged();
  if (selectionChanged) tree->ApplyTreeSelection();
  QWidget* view = LiveView();
  bool drawn = false;
  switch (viewMode_) {
    case kViewTable:
      if (auto* table = qobject_cast<CVeltraneView*>(view)) table->RefreshRows(selectionChanged), drawn = true;
      break;
    case kViewCurves:
      if (auto* curves = qobject_cast<CCurveView*>(view)) curves->DrawCurveGroup(CCurveView::kRedraw), drawn = true;
      break;
    case kViewTiles:
      if (auto* tiles = qobject_cast<CIconView*>(view)) tiles->DrawTilePage(CIconView::kRedraw), drawn = true;
      break;
    default: break;
  }
  if (tree) tree->ClearSelectionChanged();
  if (selectionChanged) desk_->Recount(*table_, platform::GetTickCount());
  alarmBar_->Update();
  if (drawn) emit liveViewRedrawn(viewMode_);
}

bool CMainFrame::OnCommand(int id) {
  switch (id) {
    case res::ID_SHOW_TABLE: SwitchLiveView(kViewTable); return true;
    case res::ID_SHOW_CURVES: SwitchLiveView(kViewCurves); return true;
    case res::ID_SHOW_TILES: SwitchLiveView(kViewTiles); return true;
    case res::ID_TILE_PREV_PAGE:
    case res::ID_TILE_NEXT_PAGE:
      if (auto* tiles = qobject_cast<CIconView*>(LiveView()))
        tiles->DrawTilePage(id == res::ID_TILE_PREV_PAGE ? CIconView::kPrevious : CIconView::kNext);
      return true;
    case res::ID_UPDATE_FROM_TREE:
      if (TreeView()) OnLiveRefresh();
      return true;
    case res::ID_HISTORY_QUERY:
    case res::ID_USER_MANAGE:
    case res::ID_COMPANY_DEPT:
    case res::ID_DEVICE_MANAGE:
    case res::ID_USER_PERMISSION:
    case res::ID_AUDIT_LOG: OpenDatabaseDialog(id); return true;
    case res::ID_CONNECT: return true;
    case res::ID_DB_CLOSE: Db().Close(); return true;
    case res::ID_APP_ABOUT: ShowAboutBox(); return true;
    case res::ID_FILE_PRINT:
    case res::ID_FILE_PRINT_PREVIEW:
      // Printing is the live table's; the other views have nothing to print.
      if (auto* table = qobject_cast<CVeltraneView*>(LiveView()))
        id == res::ID_FILE_PRINT ? table->OnFilePrint() : table->OnFilePrintPreview();
      return true;
    default: return false;
  }
}

void CMainFrame::SetDialogFactory(int commandId, DialogFactory factory) {
  dialogFactories_[commandId] = std::move(factory);
}

void CMainFrame::OpenDatabaseDialog(int commandId) {
  const auto custom = dialogFactories_.find(commandId);
  const DialogFactory factory =
      custom != dialogFactories_.end() ? custom->second : DatabaseDialogFactory(commandId, dialogContext_);
  if (!factory) return;
  RunDatabaseDialog(this, factory);
}

void CMainFrame::ShowAboutBox() {
  CAboutDlg dlg(this);
  dlg.exec();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  // End the thread before the window goes away; Stop breaks off a statement the thread is still
  // stuck in on its own connection, and the thread closes that connection.
  monitor_.Stop();
  event->accept();
}
