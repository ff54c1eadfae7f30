#pragma once
// Shows that a long query is under way: a busy cursor at once, and after about a second a
// small window with the number of devices done. Input stays blocked while it runs (the
// queries run on the user-interface thread and must not be re-entered).
#include <QElapsedTimer>
#include <QString>

class QProgressDialog;
class QWidget;

namespace history {

class QueryProgress {
 public:
  static constexpr int kShowAfterMs = 1000;

  QueryProgress(QWidget* parent, int totalDevices);
  ~QueryProgress();
  QueryProgress(const QueryProgress&) = delete;
  QueryProgress& operator=(const QueryProgress&) = delete;

  // Called after each device.
  void DeviceDone(int done);
  bool Shown() const { return dialog_ != nullptr; }

 private:
  QWidget* parent_;
  int total_;
  QElapsedTimer timer_;
  QProgressDialog* dialog_ = nullptr;  // owned
};

}  // namespace history
