#pragma once
// Placeholder: filled by the live display work.
#include <QWidget>

struct DeviceLiveTable;

class CVeltraneView : public QWidget {
  Q_OBJECT
 public:
  CVeltraneView(DeviceLiveTable& table, QWidget* parent = nullptr);
  void RefreshRows();

 private:
  DeviceLiveTable& table_;
};
