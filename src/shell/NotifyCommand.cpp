#include "NotifyCommand.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>
#include <cerrno>

#include "Diagnostic.h"

namespace {

constexpr const char* kFailureNote = "通知程序 %1 失败：%2";
constexpr const char* kFailureLine = "%s: notification program %s failed: %s\n";
constexpr const char* kKilledProperty = "killedAfterTimeLimit";

QProcessEnvironment EnvironmentOf(const notice::Notice& n, QProcessEnvironment environment) {
  environment.insert(QStringLiteral("VELTRANE_EVENT"), n.start ? QStringLiteral("start") : QStringLiteral("end"));
  environment.insert(QStringLiteral("VELTRANE_KIND"), n.kind);
  environment.insert(QStringLiteral("VELTRANE_DEVICE_ID"), n.deviceId);
  environment.insert(QStringLiteral("VELTRANE_DEVICE_NAME"), n.deviceName);
  environment.insert(QStringLiteral("VELTRANE_COMPANY"), n.company);
  environment.insert(QStringLiteral("VELTRANE_DEPARTMENT"), n.department);
  environment.insert(QStringLiteral("VELTRANE_VALUE"), n.value);
  environment.insert(QStringLiteral("VELTRANE_TIME"), n.time);
  environment.insert(QStringLiteral("VELTRANE_TEXT"), n.text);
  return environment;
}

// Why the program could not be started, as the operator can act on it.
NotifyCommand::Failure StartFailure(const QString& program, const QString& errorString) {
  const QString path = program.contains(QLatin1Char('/')) ? program : QStandardPaths::findExecutable(program);
  const QFileInfo file(path);
  if (path.isEmpty() || !file.exists()) return {QString::fromUtf8("找不到该程序"), QStringLiteral("not found")};
  if (file.isDir() || !file.isExecutable())
    return {QString::fromUtf8("该程序不可执行"), QStringLiteral("not executable")};
  // An executable that still would not start: a missing interpreter, say.
  return {errorString, errorString};
}

}  // namespace

NotifyCommand::NotifyCommand(QString program, QObject* parent, int timeLimitMs)
    : QObject(parent),
      program_(std::move(program)),
      timeLimitMs_(timeLimitMs),
      base_(QProcessEnvironment::systemEnvironment()) {}

NotifyCommand::~NotifyCommand() {
  // The processes are destroyed (killed) after this object's members: none may call back.
  for (QProcess* process : findChildren<QProcess*>()) process->disconnect(this);
}

void NotifyCommand::Run(const notice::Notice& notice) {
  waiting_.push_back(EnvironmentOf(notice, base_));
  StartNext();
}

void NotifyCommand::StartNext() {
  while (running_ < kMaxRunning && !waiting_.empty()) {
    auto* process = new QProcess(this);
    process->setProgram(program_);
    process->setProcessEnvironment(waiting_.front());
    waiting_.pop_front();
    // Nothing to read from us; what it prints to stdout is nobody's, its stderr is ours.
    process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    auto* limit = new QTimer(process);
    limit->setSingleShot(true);
    connect(limit, &QTimer::timeout, process, [process] {
      process->setProperty(kKilledProperty, true);
      process->kill();
    });
    connect(process, &QProcess::errorOccurred, this, [this, process](QProcess::ProcessError error) {
      // Only a failed start ends without finished().
      if (error == QProcess::FailedToStart) Finished(process, StartFailure(program_, process->errorString()));
    });
    connect(process, &QProcess::finished, this, [this, process](int exitCode, QProcess::ExitStatus status) {
      const int seconds = timeLimitMs_ / 1000;
      if (process->property(kKilledProperty).toBool())
        Finished(process, {QString::fromUtf8("%1秒内未结束，已终止").arg(seconds),
                           QStringLiteral("killed after %1 s").arg(seconds)});
      else if (status == QProcess::CrashExit)
        Finished(process, {QString::fromUtf8("被信号终止"), QStringLiteral("ended by a signal")});
      else if (exitCode != 0)
        Finished(process, {QString::fromUtf8("退出状态 %1").arg(exitCode),
                           QStringLiteral("exited with status %1").arg(exitCode)});
      else
        Finished(process, {});
    });
    ++running_;
    limit->start(timeLimitMs_);
    process->start();
  }
}

void NotifyCommand::Finished(QProcess* process, const Failure& failure) {
  --running_;
  process->disconnect(this);
  process->deleteLater();
  if (failure.line.isEmpty()) {
    emit succeeded();
  } else {
    platform::Diagnostic(kFailureLine, program_invocation_short_name, program_.toLocal8Bit().constData(),
                         failure.line.toLocal8Bit().constData());
    emit failed(QString::fromUtf8(kFailureNote).arg(program_, failure.note));
  }
  StartNext();
}
