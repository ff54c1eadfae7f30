#pragma once
// Where test-data-screenshots writes its pictures: VELTRANE_SCREENSHOT_DIR, which
// scripts/screenshots sets. Unset is a failure: the program exists only to write them.
#include <gtest/gtest.h>

#include <QString>

inline QString ScreenshotDir() {
  const QString dir = qEnvironmentVariable("VELTRANE_SCREENSHOT_DIR");
  if (dir.isEmpty()) ADD_FAILURE() << "set VELTRANE_SCREENSHOT_DIR to the directory for the pictures";
  return dir;
}

// Saves `widget`, shown, as <dir>/<file>.
#define SAVE_SCREENSHOT(widget, file)                                                            \
  do {                                                                                           \
    const QString dir = ScreenshotDir();                                                         \
    ASSERT_FALSE(dir.isEmpty());                                                                 \
    (widget).show();                                                                             \
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&(widget)));                                        \
    EXPECT_TRUE((widget).grab().save(dir + QStringLiteral("/") + QStringLiteral(file))) << file; \
  } while (0)
