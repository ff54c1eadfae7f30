#pragma once
// Placeholder: filled by the live display work.
#include <QWidget>

struct DeviceLiveTable;

class CCurveView : public QWidget {
  Q_OBJECT
 public:
  CCurveView(DeviceLiveTable& table, QWidget* parent = nullptr);
  void DrawCurveGroup(int mode);

 private:
  DeviceLiveTable& table_;
};
