#pragma once
// Placeholder: filled by the live display work.
#include <QTreeWidget>

struct DeviceLiveTable;

class CMyTreeView : public QTreeWidget {
  Q_OBJECT
 public:
  CMyTreeView(DeviceLiveTable& table, QWidget* parent = nullptr);
  void BuildDeviceTree();
  void ApplyTreeSelection();

 private:
  DeviceLiveTable& table_;
};
