// The figure README quotes for the live data while a dialog is open, on the real 10 s period:
// the history dialog stays open for a minute while readings (one of them an alarm) arrive at
// varying phases of the refresh. A GoogleTest program that ctest does not run (it takes a
// minute): build with the tests, start the test server (scripts/db up) and run
// build/bench/live_delay_measure.
#include <gtest/gtest.h>

#include <QAction>
#include <QDialog>
#include <QElapsedTimer>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstdio>

#include "AlarmBell.h"
#include "AlarmStatusBar.h"
#include "AppConfig.h"
#include "CMainFrame.h"
#include "DatabaseDialogs.h"
#include "LoginState.h"
#include "MainMenu.h"
#include "MonitorLoop.h"
#include "ResourceIds.h"
#include "SharedDatabaseTest.h"

namespace {

QString Text(const char* utf8) { return QString::fromUtf8(utf8); }
const Login kAdmin{"admin", kRoleAdministrator};

class MainFrameMonitoring : public SharedDatabaseTest<MainFrameMonitoring> {
 protected:
  static void SetUpTestSuite() {
    if (!OpenDatabase("t_live_delay")) return;
    db_->Exec("insert into company_tab values ('C001','c')");
    db_->Exec("insert into department_tab values ('01','C001','d')");
    db_->Exec("insert into device_tab values ('D000000001','n','C001','01'),('D000000002','m','C001','01')");
    db_->Exec(
        "insert into monitordat_tab values "
        "('D000000001','C001','01','2024-05-01 10:00:00',1,0,2,0,3,4,1,5),"
        "('D000000002','C001','01','2024-05-01 10:00:00',1,0,2,0,3,4,1,5)");
  }
};

TEST_F(MainFrameMonitoring, MeasuredDelayOfLiveDataWhileTheHistoryDialogIsOpenForAMinute) {
  AppConfig tableFirst;
  tableFirst.defMode = 0;
  CMainFrame frame(tableFirst);
  frame.StartMonitoring(kAdmin);
  const auto readingTime = [&] {
    std::lock_guard lock(frame.LiveTable().mutex);
    return frame.LiveTable().Find("D000000002")->readingTime;
  };
  constexpr qint64 kLimitMs = MonitorLoop::kRefreshIntervalMs + 2000;
  DialogContext context{kAdmin};
  frame.SetDialogFactory(res::ID_HISTORY_QUERY, [&](QWidget* parent) {
    std::unique_ptr<QDialog> dialog = DatabaseDialogFactory(res::ID_HISTORY_QUERY, context)(parent);
    QTimer::singleShot(0, dialog.get(), [&, d = dialog.get()] {
      QElapsedTimer open, delay;
      open.start();
      bool stale = false;
      qint64 worst = 0, alarmDelay = -1;
      // Each reading lands at another phase of the 10 s period: so long after the previous one
      // was shown (which was right after a refresh).
      const qint64 pauses[] = {1000, 2500, 5000, 7500, 9500};
      qint64 shownAt = 0;
      for (int i = 0; i < 5; ++i) {
        EXPECT_TRUE(QTest::qWaitFor([&] { return open.elapsed() >= shownAt + pauses[i]; }, 15000));
        const bool alarm = i == 3;
        const std::string time = "2024-05-01 11:0" + std::to_string(i) + ":00";
        if (alarm) frame.AlarmBar().SilenceAction()->trigger();
        db_->Exec("replace into monitordat_tab values ('D000000002','C001','01','" + time + "'," +
                  (alarm ? "41,1" : "1,0") + ",2,0,3,4,1,5)");
        const qint64 insertedAt = open.elapsed();
        delay.start();
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
              stale = stale || frame.AlarmBar().FreshnessLabel()->text().startsWith(Text("数据库未响应"));
              return readingTime() == time &&
                     (!alarm || (frame.AlarmBar().SummaryLabel()->text().contains(Text("报警 1")) &&
                                 frame.AlarmBar().Bell().IsRinging()));
            },
            int(kLimitMs)))
            << i;
        worst = std::max(worst, delay.elapsed());
        if (alarm) alarmDelay = delay.elapsed();
        shownAt = open.elapsed();
        std::printf("measured: %s inserted %lld ms after the dialog opened, shown %lld ms later\n",
                    alarm ? "alarm" : "reading", static_cast<long long>(insertedAt),
                    static_cast<long long>(delay.elapsed()));
      }
      EXPECT_TRUE(QTest::qWaitFor(
          [&] {
            stale = stale || frame.AlarmBar().FreshnessLabel()->text().startsWith(Text("数据库未响应"));
            return open.elapsed() >= 60000;
          },
          60000));
      std::printf(
          "measured: dialog open %lld ms; new reading in the live table after at most %lld ms; "
          "alarm in the summary and ringing after %lld ms\n",
          static_cast<long long>(open.elapsed()), static_cast<long long>(worst), static_cast<long long>(alarmDelay));
      EXPECT_LE(worst, kLimitMs);
      EXPECT_GE(alarmDelay, 0);
      EXPECT_FALSE(stale) << "数据库未响应 shown while the dialog was open";
      d->reject();
    });
    return dialog;
  });
  frame.CommandAction(res::ID_HISTORY_QUERY)->trigger();
  db_->Exec("replace into monitordat_tab values ('D000000002','C001','01','2024-05-01 10:00:00',1,0,2,0,3,4,1,5)");
}

}  // namespace
