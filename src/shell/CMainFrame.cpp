#include "CMainFrame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QInputDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>
#include <chrono>

#include "AlarmBell.h"
#include "AlarmSummary.h"
#include "AppConfig.h"
#include "AuditTrail.h"
#include "CAboutDlg.h"
#include "CCurveView.h"
#include "CIconView.h"
#include "CMyTreeView.h"
#include "CVeltraneView.h"
#include "Gbk.h"
#include "LiveStateColours.h"
#include "LocalTime.h"
#include "LoginState.h"
#include "MainMenu.h"
#include "MessageBox.h"
#include "NotifyCommand.h"
#include "RefreshLiveTable.h"
#include "ResourceIds.h"
#include "StationDb.h"
#include "TickCount.h"

namespace {

constexpr const char* kAcknowledgeText = "确认报警…";
constexpr const char* kAcknowledgeCaption = "确认报警";
constexpr const char* kAcknowledgeShortcut = "Ctrl+K";

const QString kIdleStatusText = QStringLiteral("就绪");
constexpr const char* kCommandProperty = "commandId";
constexpr const char* kSilenceText = "消音";
constexpr const char* kSilenceShortcut = "Ctrl+M";
constexpr int kFreshnessCheckMs = 1000;

int ViewTypeFor(int defMode) {
  if (defMode == kViewCurves) return kViewCurves;
  if (defMode == kViewTiles) return kViewTiles;
  return kViewTable;
}

std::int64_t MonotonicMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

QString LocalTimeText() {
  const platform::LocalTime t = platform::GetLocalTime();
  return QString::asprintf("%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute, t.second);
}

// The caller holds table.mutex.
const DeviceLiveRecord* RecordOf(const DeviceLiveTable& table, const std::string& deviceId) {
  const int count = std::clamp(table.liveCount, 0, DeviceLiveTable::kCapacity);
  const auto found = table.slotIndex.find(deviceId);
  if (found != table.slotIndex.end() && found->second < count &&
      table.records[static_cast<std::size_t>(found->second)].deviceId == deviceId)
    return &table.records[static_cast<std::size_t>(found->second)];
  for (int i = 0; i < count; ++i)
    if (table.records[static_cast<std::size_t>(i)].deviceId == deviceId)
      return &table.records[static_cast<std::size_t>(i)];
  return nullptr;
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
  BuildAlarmIndicators();
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

void CMainFrame::BuildAlarmIndicators() {
  bell_ = new AlarmBell(this);
  bell_->SetEnabled(config_.alarmSound);
  // Not in the menu bar, whose entries are fixed: a shortcut, and a button while it rings.
  silenceAction_ = new QAction(QString::fromUtf8(kSilenceText), this);
  silenceAction_->setShortcut(QKeySequence(QString::fromUtf8(kSilenceShortcut)));
  silenceAction_->setShortcutContext(Qt::ApplicationShortcut);
  silenceAction_->setEnabled(false);
  connect(silenceAction_, &QAction::triggered, bell_, &AlarmBell::Silence);
  connect(bell_, &AlarmBell::ringingChanged, silenceAction_, &QAction::setEnabled);
  addAction(silenceAction_);

  QStatusBar* status = statusBar();
  auto* silence = new QToolButton(status);
  silence->setObjectName(QStringLiteral("silenceButton"));
  silence->setDefaultAction(silenceAction_);
  silence->setAutoRaise(true);
  silence->setToolTip(QStringLiteral("%1 (%2)").arg(silenceAction_->text(), QString::fromUtf8(kSilenceShortcut)));
  overCapacity_ = new QLabel(status);
  overCapacity_->setObjectName(QStringLiteral("overCapacityNote"));
  overCapacity_->hide();
  alarmSummary_ = new QLabel(status);
  alarmSummary_->setObjectName(QStringLiteral("alarmSummary"));
  alarmSummary_->setTextFormat(Qt::RichText);
  freshness_ = new QLabel(status);
  freshness_->setObjectName(QStringLiteral("refreshFreshness"));
  notifyFailure_ = new QLabel(status);
  notifyFailure_->setObjectName(QStringLiteral("notifyFailureNote"));
  notifyFailure_->setStyleSheet(QStringLiteral("color:%1").arg(QColor(livestate::kAlarmRed).name()));
  notifyFailure_->hide();
  if (!config_.notifyCommand.empty()) {
    notifier_ = new NotifyCommand(QString::fromLocal8Bit(config_.notifyCommand), this);
    // The latest failure stays in view until a run succeeds again.
    connect(notifier_, &NotifyCommand::failed, notifyFailure_, [this](const QString& note) {
      notifyFailure_->setText(note);
      notifyFailure_->show();
    });
    connect(notifier_, &NotifyCommand::succeeded, notifyFailure_, &QLabel::hide);
  }
  status->addPermanentWidget(notifyFailure_);
  status->addPermanentWidget(overCapacity_);
  status->addPermanentWidget(alarmSummary_);
  status->addPermanentWidget(freshness_);
  status->addPermanentWidget(silence);

  // The database can stop answering between refreshes (or the thread wait on a dead link):
  // the age of the data is checked on its own clock.
  freshnessTimer_ = new QTimer(this);
  freshnessTimer_->setInterval(kFreshnessCheckMs);
  connect(freshnessTimer_, &QTimer::timeout, this, &CMainFrame::UpdateFreshness);
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
  // "确认报警…" for the device selected in the table (the views' context menus offer it too).
  acknowledgeAction_ = new QAction(QString::fromUtf8(kAcknowledgeText), this);
  acknowledgeAction_->setShortcut(QKeySequence(QString::fromUtf8(kAcknowledgeShortcut)));
  connect(acknowledgeAction_, &QAction::triggered, this, [this] {
    if (auto* table = qobject_cast<CVeltraneView*>(LiveView())) {
      const std::string id = table->DeviceIdAt(nullptr);
      if (!id.empty()) AcknowledgeDevice(id);
    }
  });
  addAction(acknowledgeAction_);

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
              [this, tiles](QPoint at) { ShowDeviceMenu(tiles, at, tiles->DeviceIdAt(at)); });
      return tiles;
    }
    default: {
      auto* table = new CVeltraneView(*table_, parent);
      table->SetCommTimeout(config_.commTimeout);
      CListCtrlCl* list = &table->List();
      list->setContextMenuPolicy(Qt::CustomContextMenu);
      connect(list, &QWidget::customContextMenuRequested, this,
              [this, table, list](QPoint at) { ShowDeviceMenu(list->viewport(), at, table->DeviceIdAt(&at)); });
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
  RefreshLiveTable(Db(), *table_, login);
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
  StartMonitorThread(std::move(actions));
  UpdateAlarmAwareness();
  freshnessTimer_->start();
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
  UpdateAlarmAwareness();
  if (drawn) emit liveViewRedrawn(viewMode_);
}

void CMainFrame::UpdateAlarmAwareness() {
  alarms::LiveScan scan;
  bool overCapacity = false;
  {
    std::lock_guard lock(table_->mutex);
    scan = alarms::ScanLiveTable(*table_, platform::GetTickCount(), config_.commTimeout);
    overCapacity = table_->overCapacity;
  }
  counts_ = scan.counts;
  if (overCapacity && overCapacity_->isHidden()) {
    overCapacity_->setText(QString::fromUtf8(alarms::kOverCapacityNote));
    overCapacity_->show();
  }
  const std::vector<readings::DeviceEvent> events = alarmEvents_.Feed(scan.devices);
  std::vector<OpenAlarm> opened;
  {
    std::lock_guard lock(table_->mutex);
    opened = acks_.Apply(events, [this](const std::string& id) {
      const DeviceLiveRecord* record = RecordOf(*table_, id);
      return record ? record->readingTime : std::string();
    });
  }
  // An event acknowledged before (at another station, or before a restart) stays acknowledged.
  bool unacknowledgedStart = !dialogContext_.auditTrail;
  for (const OpenAlarm& alarm : opened) {
    if (dialogContext_.auditTrail && IsAcknowledged(Db(), alarm.deviceId, notice::KindName(alarm.kind), alarm.start))
      acks_.MarkAcknowledged(alarm.deviceId, alarm.kind, alarm.start);
    else if (alarm.shown)
      unacknowledgedStart = true;
  }
  ShowAlarmSummary();
  if (readings::RingsBell(events) && unacknowledgedStart) {
    bell_->Ring();
    if (!isActiveWindow()) QApplication::alert(this);
  }
  NotifyDeviceEvents(events);
  UpdateFreshness();
}

void CMainFrame::NotifyDeviceEvents(const std::vector<readings::DeviceEvent>& events) {
  if (!notifier_ || events.empty()) return;
  const std::vector<readings::DeviceEvent> told = notices_.Select(events, MonotonicMs(), databaseLost_);
  std::vector<notice::Notice> out;
  {
    std::lock_guard lock(table_->mutex);
    for (const readings::DeviceEvent& event : told)
      out.push_back(notice::DeviceNotice(event.deviceId, event.kind, event.edge == readings::EventEdge::Start,
                                         RecordOf(*table_, event.deviceId)));
  }
  for (const notice::Notice& n : out) notifier_->Run(n);
}

void CMainFrame::NotifyDatabaseState(bool lost) {
  if (!notifier_ || lost == databaseLost_) return;
  databaseLost_ = lost;
  const notice::NoticeKey key{{}, notice::kDatabaseLostKind};
  if (lost ? notices_.Start(key, MonotonicMs()) : notices_.End(key))
    notifier_->Run(notice::DatabaseNotice(lost, LocalTimeText()));
}

void CMainFrame::NotifyRepeats() {
  if (!notifier_ || config_.notifyRepeatMinutes <= 0) return;
  const std::vector<notice::NoticeLedger::Repeat> due =
      notices_.Due(MonotonicMs(), std::int64_t{config_.notifyRepeatMinutes} * 60000);
  if (due.empty()) return;
  std::vector<notice::Notice> out;
  const QString now = LocalTimeText();
  {
    std::lock_guard lock(table_->mutex);
    for (const notice::NoticeLedger::Repeat& repeat : due)
      out.push_back(notice::RepeatNotice(repeat.key, RecordOf(*table_, repeat.key.deviceId), now, repeat.openMinutes));
  }
  for (const notice::Notice& n : out) notifier_->Run(n);
}

void CMainFrame::UpdateFreshness() {
  RefreshStamp last;
  {
    std::lock_guard lock(table_->mutex);
    last = table_->lastRefresh;
  }
  const alarms::Freshness freshness = alarms::FreshnessOf(last, platform::GetTickCount());
  freshness_->setText(freshness.text);
  freshness_->setStyleSheet(freshness.stale ? QStringLiteral("color:%1").arg(QColor(livestate::kAlarmRed).name())
                                            : QString());
  NotifyDatabaseState(freshness.stale);
  NotifyRepeats();
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

void CMainFrame::ShowAlarmSummary() {
  QString html = alarms::SummaryHtml(counts_);
  if (dialogContext_.auditTrail) html += QStringLiteral(" · 未确认 %1").arg(acks_.Unacknowledged());
  alarmSummary_->setText(html);
}

void CMainFrame::ShowDeviceMenu(QWidget* view, QPoint position, const std::string& deviceId) {
  if (deviceId.empty()) return;
  QMenu menu(this);
  QAction* acknowledge = menu.addAction(QString::fromUtf8(kAcknowledgeText));
  bool open = false;
  for (const OpenAlarm& alarm : acks_.OpenOf(deviceId)) open = open || !alarm.acknowledged;
  acknowledge->setEnabled(open && dialogContext_.auditTrail);
  if (menu.exec(view->mapToGlobal(position)) == acknowledge) AcknowledgeDevice(deviceId);
}

void CMainFrame::AcknowledgeDevice(const std::string& deviceId) {
  if (!dialogContext_.auditTrail) {
    platform::MessageBox(this, QString::fromUtf8(kAuditDisabledNote));
    return;
  }
  std::vector<OpenAlarm> open;
  for (const OpenAlarm& alarm : acks_.OpenOf(deviceId))
    if (!alarm.acknowledged) open.push_back(alarm);
  if (open.empty()) {
    platform::MessageBox(this, QStringLiteral("该设备没有未确认的报警"));
    return;
  }
  const std::optional<QString> typed = askComment_ ? askComment_(deviceId) : [&]() -> std::optional<QString> {
    bool ok = false;
    const QString text = QInputDialog::getMultiLineText(
        this, QString::fromUtf8(kAcknowledgeCaption),
        QStringLiteral("设备 %1：原因及处理措施").arg(platform::FromGbk(deviceId)), {}, &ok);
    return ok ? std::optional<QString>(text) : std::nullopt;
  }();
  if (!typed) return;
  const QString comment = typed->trimmed();
  if (comment.isEmpty()) {
    platform::MessageBox(this, QStringLiteral("请填写原因及处理措施"));
    return;
  }
  if (!platform::GbkCanHold(comment)) {
    platform::MessageBox(this, QStringLiteral("处理说明含有无法保存的字符"));
    return;
  }
  for (const OpenAlarm& alarm : open) {
    if (!RecordAcknowledgement(Db(), dialogContext_.Acting(), deviceId, notice::KindName(alarm.kind), alarm.start,
                               platform::ToGbk(comment))) {
      platform::MessageBox(this, QStringLiteral("确认失败！"));
      break;
    }
    acks_.MarkAcknowledged(deviceId, alarm.kind, alarm.start);
  }
  // The bell rings for unacknowledged events only.
  if (acks_.Unacknowledged() == 0) bell_->Silence();
  ShowAlarmSummary();
}
