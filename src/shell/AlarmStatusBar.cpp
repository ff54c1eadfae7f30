#include "AlarmStatusBar.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>

#include "AlarmBell.h"
#include "AlarmSummary.h"
#include "LiveStateColours.h"
#include "LocalTime.h"
#include "NotifyCommand.h"
#include "TickCount.h"

namespace {

constexpr const char* kSilenceText = "消音";
constexpr const char* kSilenceShortcut = "Ctrl+M";
constexpr const char* kUnacknowledgedText = " · 未确认 %1";
constexpr int kFreshnessCheckMs = 1000;

QString LocalTimeText() {
  const platform::LocalTime t = platform::GetLocalTime();
  return QString::asprintf("%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute, t.second);
}

QString RedStyle() { return QStringLiteral("color:%1").arg(QColor(livestate::kAlarmRed).name()); }

}  // namespace

AlarmStatusBar::AlarmStatusBar(QMainWindow& window, AlarmDesk& desk, const DeviceLiveTable& table,
                               const AppConfig& config)
    : QObject(&window), window_(window), desk_(desk), table_(table) {
  bell_ = new AlarmBell(this);
  bell_->SetEnabled(config.alarmSound);
  // Not in the menu bar, whose entries are fixed: a shortcut, and a button while it rings.
  silenceAction_ = new QAction(QString::fromUtf8(kSilenceText), &window);
  silenceAction_->setShortcut(QKeySequence(QString::fromUtf8(kSilenceShortcut)));
  silenceAction_->setShortcutContext(Qt::ApplicationShortcut);
  silenceAction_->setEnabled(false);
  connect(silenceAction_, &QAction::triggered, bell_, &AlarmBell::Silence);
  connect(bell_, &AlarmBell::ringingChanged, silenceAction_, &QAction::setEnabled);
  window.addAction(silenceAction_);

  QStatusBar* status = window.statusBar();
  auto* silence = new QToolButton(status);
  silence->setObjectName(QStringLiteral("silenceButton"));
  silence->setDefaultAction(silenceAction_);
  silence->setAutoRaise(true);
  silence->setToolTip(QStringLiteral("%1 (%2)").arg(silenceAction_->text(), QString::fromUtf8(kSilenceShortcut)));
  overCapacity_ = new QLabel(status);
  overCapacity_->setObjectName(QStringLiteral("overCapacityNote"));
  overCapacity_->hide();
  summary_ = new QLabel(status);
  summary_->setObjectName(QStringLiteral("alarmSummary"));
  summary_->setTextFormat(Qt::RichText);
  freshness_ = new QLabel(status);
  freshness_->setObjectName(QStringLiteral("refreshFreshness"));
  notifyFailure_ = new QLabel(status);
  notifyFailure_->setObjectName(QStringLiteral("notifyFailureNote"));
  notifyFailure_->setStyleSheet(RedStyle());
  notifyFailure_->hide();
  if (!config.notifyCommand.empty()) {
    notifier_ = new NotifyCommand(QString::fromLocal8Bit(config.notifyCommand), this);
    // The latest failure stays in view until a run succeeds again.
    connect(notifier_, &NotifyCommand::failed, notifyFailure_, [this](const QString& note) {
      notifyFailure_->setText(note);
      notifyFailure_->show();
    });
    connect(notifier_, &NotifyCommand::succeeded, notifyFailure_, &QLabel::hide);
    connect(&desk_, &AlarmDesk::noticeDue, notifier_, &NotifyCommand::Run);
  }
  status->addPermanentWidget(notifyFailure_);
  status->addPermanentWidget(overCapacity_);
  status->addPermanentWidget(summary_);
  status->addPermanentWidget(freshness_);
  status->addPermanentWidget(silence);

  connect(&desk_, &AlarmDesk::summaryChanged, this, &AlarmStatusBar::ShowSummary);
  connect(&desk_, &AlarmDesk::ringing, this, &AlarmStatusBar::Ring);
  connect(&desk_, &AlarmDesk::allAcknowledged, bell_, &AlarmBell::Silence);
  freshnessTimer_ = new QTimer(this);
  freshnessTimer_->setInterval(kFreshnessCheckMs);
  connect(freshnessTimer_, &QTimer::timeout, this, &AlarmStatusBar::UpdateFreshness);
}

void AlarmStatusBar::Start() { freshnessTimer_->start(); }

void AlarmStatusBar::Update() {
  bool overCapacity = false;
  {
    std::lock_guard lock(table_.mutex);
    overCapacity = table_.overCapacity;
  }
  if (overCapacity && overCapacity_->isHidden()) {
    overCapacity_->setText(QString::fromUtf8(alarms::kOverCapacityNote));
    overCapacity_->show();
  }
  ShowSummary();
  UpdateFreshness();
}

void AlarmStatusBar::ShowSummary() {
  QString html = alarms::SummaryHtml(desk_.Counts());
  if (acknowledgements_) html += QString::fromUtf8(kUnacknowledgedText).arg(desk_.Unacknowledged());
  summary_->setText(html);
}

void AlarmStatusBar::Ring() {
  bell_->Ring();
  if (!window_.isActiveWindow()) QApplication::alert(&window_);
}

void AlarmStatusBar::UpdateFreshness() {
  RefreshStamp last;
  {
    std::lock_guard lock(table_.mutex);
    last = table_.lastRefresh;
  }
  const alarms::Freshness freshness = alarms::FreshnessOf(last, platform::GetTickCount());
  freshness_->setText(freshness.text);
  freshness_->setStyleSheet(freshness.stale ? RedStyle() : QString());
  const QString now = LocalTimeText();
  desk_.SetDatabaseLost(freshness.stale, now);
  desk_.TellRepeats(table_, now);
}
