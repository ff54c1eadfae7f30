#pragma once
// Item delegate of the device tree: tells the tree when a check box is toggled by the mouse
// (keyboard toggles pass through unannounced), and where an item's check box lies.
#include <QStyledItemDelegate>
#include <functional>

class TreeCheckDelegate : public QStyledItemDelegate {
  Q_OBJECT
 public:
  using MouseToggleHandler = std::function<void(const QModelIndex&)>;

  TreeCheckDelegate(MouseToggleHandler onMouseToggle, QObject* parent);

  QRect CheckRect(const QStyleOptionViewItem& option, const QModelIndex& index) const;

  bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;

 private:
  MouseToggleHandler onMouseToggle_;
};
