#pragma once
// The main window's status bar beside its message: the alarm summary, how fresh the data is,
// the over-capacity note, the notification program's last failure and the silence button, with
// the bell and the notification program behind them. It subscribes to the alarm desk; the
// freshness is checked on its own one-second clock, since the database can stop answering
// between refreshes.
#include <QObject>

#include "AlarmDesk.h"
#include "AppConfig.h"
#include "DeviceLiveTable.h"

class QAction;
class QLabel;
class QMainWindow;
class QTimer;
class AlarmBell;
class NotifyCommand;

class AlarmStatusBar : public QObject {
  Q_OBJECT
 public:
  AlarmStatusBar(QMainWindow& window, AlarmDesk& desk, const DeviceLiveTable& table, const AppConfig& config);

  // After the monitoring started: the freshness clock runs.
  void Start();
  // After a refresh: the summary, the over-capacity note and the freshness.
  void Update();
  // Whether the summary counts acknowledgements ("未确认 n").
  void ShowAcknowledgements(bool on) { acknowledgements_ = on; }

  AlarmBell& Bell() const { return *bell_; }
  QAction* SilenceAction() const { return silenceAction_; }
  QLabel* SummaryLabel() const { return summary_; }
  QLabel* FreshnessLabel() const { return freshness_; }
  QLabel* OverCapacityLabel() const { return overCapacity_; }
  NotifyCommand* Notifier() const { return notifier_; }
  QLabel* NotifyFailureLabel() const { return notifyFailure_; }

 private:
  void ShowSummary();
  void UpdateFreshness();
  void Ring();

  QMainWindow& window_;
  AlarmDesk& desk_;
  const DeviceLiveTable& table_;
  bool acknowledgements_ = false;
  AlarmBell* bell_ = nullptr;
  QAction* silenceAction_ = nullptr;
  QLabel* summary_ = nullptr;
  QLabel* freshness_ = nullptr;
  QLabel* overCapacity_ = nullptr;
  QLabel* notifyFailure_ = nullptr;
  NotifyCommand* notifier_ = nullptr;
  QTimer* freshnessTimer_ = nullptr;
};
