// Test entry point: widget tests run offscreen (also during test discovery at build time).
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

// ThreadSanitizer sees no synchronisation inside the distribution's Qt, which is not built with
// it: Qt's own pool threads (painting, fonts) and the queued calls of UiHandoff are ordered by
// Qt's event-queue mutex. Calls made from inside Qt are therefore not checked; races between
// our own threads on our own data still are. The same goes for the sound output behind the
// alarm bell (Qt Multimedia and the PulseAudio client with its own threads).
extern "C" const char* __tsan_default_suppressions() {
  return "called_from_lib:libQt6Core.so.6\n"
         "called_from_lib:libQt6Gui.so.6\n"
         "called_from_lib:libQt6Multimedia.so.6\n"
         "called_from_lib:libpulse.so.0\n"
         "called_from_lib:libpulsecommon-*.so\n"
         "race:UiHandoff::RunAndWait\n";
}

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
