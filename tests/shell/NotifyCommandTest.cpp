// The notification program: the notice in its environment, four at a time with the rest in
// turn, and every kind of failure one note and one line on stderr.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include "Diagnostic.h"
#include "NotifyCommand.h"
#include "NotifyTestSupport.h"

namespace {

notice::Notice Sample(const char* kind) {
  return {true,
          kind,
          "D01",
          QString::fromUtf8("冷库一号"),
          QString::fromUtf8("华东公司"),
          QString::fromUtf8("仓储部"),
          "41.0",
          "2024-05-01 10:00:10",
          QString::fromUtf8("温湿度监控：冷库一号 温度超上限")};
}

struct DiagnosticLines {
  std::vector<std::string> lines;
  DiagnosticLines() {
    platform::SetDiagnosticSink([this](const std::string& text) { lines.push_back(text); });
  }
  ~DiagnosticLines() { platform::SetDiagnosticSink({}); }
};

TEST(NotifyCommand, RunsFourAtATimeAndTheRestInTurnWithTheNoticeInTheEnvironment) {
  RecordingCommand command("sleep 0.3");
  NotifyCommand notifier(command.Program());
  QSignalSpy succeeded(&notifier, &NotifyCommand::succeeded);
  for (int i = 0; i < 6; ++i) notifier.Run(Sample(i == 5 ? "hum_low" : "temp_high"));
  EXPECT_EQ(notifier.Running(), NotifyCommand::kMaxRunning);
  EXPECT_EQ(notifier.Waiting(), 2);
  ASSERT_TRUE(QTest::qWaitFor([&] { return succeeded.size() == 6; }, 10000));
  EXPECT_EQ(notifier.Running(), 0);
  EXPECT_EQ(command.Count("start", "temp_high"), 5);
  EXPECT_EQ(command.Count("start", "hum_low"), 1);
  const RecordingCommand::Call call = command.Calls().at(0);
  EXPECT_EQ(call.at("VELTRANE_DEVICE_NAME"), "冷库一号");
  EXPECT_EQ(call.at("VELTRANE_COMPANY"), "华东公司");
  EXPECT_EQ(call.at("VELTRANE_DEPARTMENT"), "仓储部");
  EXPECT_EQ(call.at("VELTRANE_DEVICE_ID"), "D01");
  EXPECT_EQ(call.at("VELTRANE_VALUE"), "41.0");
  EXPECT_EQ(call.at("VELTRANE_TIME"), "2024-05-01 10:00:10");
  EXPECT_EQ(call.at("VELTRANE_TEXT"), "温湿度监控：冷库一号 温度超上限");
}

TEST(NotifyCommand, EachFailureIsOneNoteAndOneLineAndTheNextRunTriesAgain) {
  RecordingCommand exits("exit 3"), sleeps("exec sleep 60");
  QTemporaryDir dir;
  QFile plain(dir.filePath("plain.sh"));
  plain.open(QIODevice::WriteOnly);
  plain.write("#!/bin/sh\n");
  plain.close();
  const struct {
    QString program;
    const char* note;
    const char* reason;
  } cases[] = {
      {dir.filePath("missing.sh"), "找不到该程序", "not found"},
      {"veltrane-no-such-notifier", "找不到该程序", "not found"},
      {plain.fileName(), "该程序不可执行", "not executable"},
      {exits.Program(), "退出状态 3", "exited with status 3"},
      {sleeps.Program(), "1秒内未结束，已终止", "killed after 1 s"},
  };
  for (const auto& c : cases) {
    DiagnosticLines diagnostics;
    NotifyCommand notifier(c.program, nullptr, 1000);
    QSignalSpy failed(&notifier, &NotifyCommand::failed);
    for (int run = 1; run <= 2; ++run) {
      notifier.Run(Sample("db_lost"));
      ASSERT_TRUE(QTest::qWaitFor([&] { return failed.size() == run; }, 5000)) << c.reason;
      EXPECT_EQ(failed.last().at(0).toString(), QString::fromUtf8("通知程序 %1 失败：%2").arg(c.program, c.note));
      ASSERT_EQ(diagnostics.lines.size(), std::size_t(run));
      EXPECT_NE(diagnostics.lines.back().find(c.program.toStdString() + " failed: " + c.reason + "\n"),
                std::string::npos)
          << diagnostics.lines.back();
    }
    EXPECT_EQ(notifier.Running(), 0);
  }
  EXPECT_EQ(exits.Count("start", "db_lost"), 2);
}

}  // namespace
