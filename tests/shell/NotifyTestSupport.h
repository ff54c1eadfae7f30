#pragma once
// A notification program for tests: a script in a temporary directory that writes its VELTRANE_
// environment into a file of its own per call (then runs `tail`), and the calls read back.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <map>
#include <string>
#include <vector>

class RecordingCommand {
 public:
  using Call = std::map<std::string, std::string>;

  explicit RecordingCommand(const std::string& tail = "") {
    QDir(dir_.path()).mkdir(QStringLiteral("calls"));
    QFile script(Program());
    script.open(QIODevice::WriteOnly);
    // Written aside and moved in whole, so a reader never finds a call half written.
    const std::string dir = dir_.path().toStdString();
    script.write(("#!/bin/sh\nf=$(mktemp '" + dir + "/call.XXXXXX')\nenv | grep '^VELTRANE_' > \"$f\"\nmv \"$f\" '" +
                  dir + "/calls/'\n" + tail + "\n")
                     .c_str());
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  }
  QString Program() const { return dir_.filePath(QStringLiteral("notify.sh")); }

  std::vector<Call> Calls() const {
    std::vector<Call> calls;
    for (const QFileInfo& file : QDir(dir_.filePath(QStringLiteral("calls"))).entryInfoList(QDir::Files)) {
      QFile in(file.filePath());
      in.open(QIODevice::ReadOnly);
      Call& call = calls.emplace_back();
      for (const QByteArray& line : in.readAll().split('\n'))
        if (const qsizetype equals = line.indexOf('='); equals > 0)
          call[line.left(equals).toStdString()] = line.mid(equals + 1).toStdString();
    }
    return calls;
  }
  // The calls of one event and kind ("start", "temp_high").
  int Count(const std::string& event, const std::string& kind) const {
    int n = 0;
    for (Call& call : Calls()) n += call["VELTRANE_EVENT"] == event && call["VELTRANE_KIND"] == kind;
    return n;
  }

 private:
  QTemporaryDir dir_;
};
