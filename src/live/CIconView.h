#pragma once
// Placeholder: filled by the live display work.
#include <QWidget>

struct DeviceLiveTable;

class CIconView : public QWidget {
  Q_OBJECT
 public:
  CIconView(DeviceLiveTable& table, QWidget* parent = nullptr);
  void DrawTilePage(int mode);

 private:
  DeviceLiveTable& table_;
};
