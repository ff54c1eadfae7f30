// The notification program: the notice in its environment, four at a time with the rest in
// turn, and every kind of failure one note and one line on stderr.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include "Diagnostic.h"
#include "NotifyCommand.h"
#include "NotifyTestSupport.h"

namespace {

TEST(NotifyCommand, RunsFourAtATimeAndTheRestInTurnWithTheNoticeInTheEnvironment) {
  RecordingCommand command("sleep 0.3");
  NotifyCommand notifier(command.Program());
  QSignalSpy succeeded(&notifier, &NotifyCommand::succeeded);
  notice::Notice n = notice::DatabaseNotice(true, "2024-05-01 10:00:10");
  n.deviceName = QString::fromUtf8("冷库一号");
  for (int i = 0; i < 6; ++i) notifier.Run(n);
  EXPECT_EQ(notifier.Running(), NotifyCommand::kMaxRunning);
  EXPECT_EQ(notifier.Waiting(), 2);
  ASSERT_TRUE(QTest::qWaitFor([&] { return succeeded.size() == 6; }, 10000));
  EXPECT_EQ(command.Count("start", "db_lost"), 6);
  RecordingCommand::Call call = command.Calls().at(0);
  EXPECT_EQ(call["VELTRANE_DEVICE_NAME"] + " " + call["VELTRANE_TEXT"],
            "冷库一号 温湿度监控：数据库未响应，2024-05-01 10:00:10");
}

TEST(NotifyCommand, EachFailureIsOneNoteAndOneLineAndTheNextRunTriesAgain) {
  RecordingCommand exits("exit 3"), sleeps("exec sleep 60");
  QTemporaryDir dir;
  QFile plain(dir.filePath("plain.sh"));
  plain.open(QIODevice::WriteOnly);
  plain.close();
  const struct {
    QString program;
    const char *note, *reason;
  } cases[] = {
      {dir.filePath("missing.sh"), "找不到该程序", "not found"},
      {"veltrane-no-such-notifier", "找不到该程序", "not found"},
      {plain.fileName(), "该程序不可执行", "not executable"},
      {exits.Program(), "退出状态 3", "exited with status 3"},
      {sleeps.Program(), "1秒内未结束，已终止", "killed after 1 s"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> lines;
    platform::SetDiagnosticSink([&](const std::string& text) { lines.push_back(text); });
    NotifyCommand notifier(c.program, nullptr, 1000);
    QSignalSpy failed(&notifier, &NotifyCommand::failed);
    for (int run = 1; run <= 2; ++run) {
      notifier.Run(notice::DatabaseNotice(true, "t"));
      ASSERT_TRUE(QTest::qWaitFor([&] { return failed.size() == run; }, 5000)) << c.reason;
      EXPECT_EQ(failed.last().at(0).toString(), QString::fromUtf8("通知程序 %1 失败：%2").arg(c.program, c.note));
      ASSERT_EQ(lines.size(), std::size_t(run));
      EXPECT_TRUE(lines.back().ends_with(c.program.toStdString() + " failed: " + c.reason + "\n")) << lines.back();
    }
    platform::SetDiagnosticSink({});
  }
  EXPECT_EQ(exits.Count("start", "db_lost"), 2);
}

}  // namespace
