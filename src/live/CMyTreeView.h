#pragma once
// The device tree: "所有设备" → companies → departments → device ids, every item with a check
// box. The device boxes decide which devices the live views show (ApplyTreeSelection copies
// them into the records' `shown` flags). A mouse click on a box sets the whole subtree and
// marks the selection changed; a keyboard toggle changes only the item itself.
#include <QTreeWidget>
#include <string>
#include <string_view>

struct DeviceLiveTable;
class TreeCheckDelegate;

class CMyTreeView : public QTreeWidget {
  Q_OBJECT
 public:
  enum ItemKind { kRootItem = QTreeWidgetItem::UserType + 1, kCompanyItem, kDepartmentItem, kDeviceItem };

  CMyTreeView(DeviceLiveTable& table, QWidget* parent = nullptr);

  // Builds the tree from the live table (once, after the first live refresh).
  void BuildDeviceTree();
  // Copies the device items' check states into the records' `shown` flags.
  void ApplyTreeSelection();

  // A mouse click changed check boxes since the main frame last cleared the mark: the views
  // must rebuild their rows from the new selection.
  bool SelectionChanged() const { return selectionChanged_; }
  void ClearSelectionChanged() { selectionChanged_ = false; }

  QTreeWidgetItem* RootItem() const { return rootItem_; }
  // The first child of `parent` whose text equals `gbkText` byte for byte.
  static QTreeWidgetItem* FindChildByText(QTreeWidgetItem* parent, std::string_view gbkText);
  // Sets every descendant of `item` to `check`, expanding `item` and each descendant.
  void SetSubtreeCheck(QTreeWidgetItem* item, bool check);
  // The check box of `item` in viewport coordinates (empty when the item is not laid out).
  QRect CheckBoxRect(QTreeWidgetItem* item) const;

  // The GBK text an item was built from.
  static std::string ItemText(const QTreeWidgetItem* item);

 private:
  void OnMouseToggle(const QModelIndex& index);

  DeviceLiveTable& table_;
  QTreeWidgetItem* rootItem_ = nullptr;
  TreeCheckDelegate* delegate_;
  bool selectionChanged_ = false;
};
