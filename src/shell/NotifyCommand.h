#pragma once
// Runs the notification program ([ALARM_CONFIG] COMMAND) once per notice: the program itself,
// without a shell and without arguments, the notice in its environment (VELTRANE_EVENT,
// VELTRANE_KIND, ...; UTF-8). At most kMaxRunning run at a time, later notices wait their turn
// in order; each is killed after its time limit. Starting is asynchronous, so a slow or hanging
// program never holds up the window or the monitor thread. Lives on the user-interface thread.
//
// A run that fails (the program is missing or not executable, exits non-zero, is killed or
// ends by a signal) is one line on stderr (platform::Diagnostic) and one failed() signal; the
// next notice tries again.
#include <QObject>
#include <QProcessEnvironment>
#include <QString>
#include <deque>

#include "EventNotice.h"

class QProcess;

class NotifyCommand : public QObject {
  Q_OBJECT
 public:
  static constexpr int kMaxRunning = 4;
  static constexpr int kTimeLimitMs = 30000;

  explicit NotifyCommand(QString program, QObject* parent = nullptr, int timeLimitMs = kTimeLimitMs);
  // Kills the programs still running: a notice in flight when the station ends is lost.
  ~NotifyCommand() override;

  void Run(const notice::Notice& notice);

  const QString& Program() const { return program_; }
  int Running() const { return running_; }
  int Waiting() const { return static_cast<int>(waiting_.size()); }

 signals:
  // The note for the status bar, naming the program and the reason.
  void failed(const QString& note);
  void succeeded();

 public:
  // Why a run failed, for the status bar and for stderr; empty for one that succeeded.
  struct Failure {
    QString note, line;
  };

 private:
  void StartNext();
  void Finished(QProcess* process, const Failure& failure);

  QString program_;
  int timeLimitMs_;
  QProcessEnvironment base_;
  std::deque<QProcessEnvironment> waiting_;
  int running_ = 0;
};
