#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Diagnostic.h"
#include "LocalTime.h"
#include "MessageBox.h"
#include "TickCount.h"

using namespace platform;

TEST(TickCount, SeamReplacesTheClockAndElapsedSurvivesWrapAround) {
  std::uint32_t fake = 0xFFFFFF00u;
  SetTickSource([&] { return fake; });
  const std::uint32_t before = GetTickCount();
  fake += 0x200;  // wraps past zero
  EXPECT_EQ(GetTickCount(), 0x100u);
  EXPECT_EQ(TickElapsed(before, GetTickCount()), 0x200u);
  SetTickSource({});
  const std::uint32_t a = GetTickCount();
  Sleep(20);
  EXPECT_GE(TickElapsed(a, GetTickCount()), 15u);
}

TEST(LocalTimeSeam, FixedClockIsReturned) {
  SetLocalTimeSource([] { return LocalTime{2026, 3, 4, 5, 6, 7, 8, 3}; });
  const LocalTime t = GetLocalTime();
  EXPECT_EQ(t.year, 2026);
  EXPECT_EQ(t.second, 7);
  SetLocalTimeSource({});
  EXPECT_GE(GetLocalTime().year, 2024);
}

TEST(MessageBoxSeam, DefaultsAreHarmlessAndPresenterSeesTheRequest) {
  auto previous = SetMessageBoxPresenter({});
  EXPECT_EQ(MessageBox(nullptr, QStringLiteral("删除?"), QStringLiteral("删除确认"), MB_YESNO), IDNO);
  EXPECT_EQ(MessageBox(nullptr, QStringLiteral("导出成功")), IDOK);

  MessageBoxRequest seen;
  SetMessageBoxPresenter([&](const MessageBoxRequest& r) {
    seen = r;
    return int(IDYES);
  });
  EXPECT_EQ(MessageBox(nullptr, QStringLiteral("text"), QString(), MB_YESNO), IDYES);
  EXPECT_EQ(seen.caption, QStringLiteral("客户端"));
  EXPECT_EQ(seen.type, unsigned(MB_YESNO));
  SetMessageBoxPresenter(std::move(previous));
}

TEST(DiagnosticSeam, SinkGetsTheWholeTextAsWrittenAndStderrHasItWithout) {
  std::vector<std::string> seen;
  DiagnosticSink previous = SetDiagnosticSink([&](const std::string& text) { seen.push_back(text); });
  const std::string longName(5000, 'x');  // longer than any line buffer
  Diagnostic("veltrane: 设备数超过%d，部分设备未显示\n", 1024);
  Diagnostic("%s: %s\n", "veltrane", longName.c_str());
  SetDiagnosticSink(std::move(previous));
  EXPECT_EQ(seen,
            (std::vector<std::string>{"veltrane: 设备数超过1024，部分设备未显示\n", "veltrane: " + longName + "\n"}));
  testing::internal::CaptureStderr();
  Diagnostic("veltrane: %s\n", "cannot connect");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "veltrane: cannot connect\n");
}
